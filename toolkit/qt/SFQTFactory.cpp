// The factories: each allocates its Qt implementation and hands out the abstract part.
#include "toolkit/SFFactory.h"

#include "toolkit/qt/SFQTButtons.h"
#include "toolkit/qt/SFQTControls.h"
#include "toolkit/qt/SFQTEdits.h"
#include "toolkit/qt/SFQTLabels.h"
#include "toolkit/qt/SFQTLists.h"
#include "toolkit/qt/SFQTMinorControls.h"
#include "toolkit/qt/SFQTScrollMenu.h"
#include "toolkit/qt/SFQTSkinnedWindow.h"

CSFDialog* SFCreateDialog(ISFDialogEvent* sink, void* parent, uint32_t windowFlags) {
    return SFQt::Make<CSFQTDialog>(sink, SFQt::ParentWidget(parent),
                                   Qt::WindowFlags::fromInt(static_cast<int>(windowFlags)));
}
CSFDialog* SFCreateMainWindow(ISFDialogEvent* sink, void* parent) {
    return SFQt::Make<CSFQTMainWindow>(sink, SFQt::ParentWidget(parent));
}
CSFFrameWnd* SFCreateFrame(ISFFrameEvent* sink) {
    return SFQt::Make<CSFQTFrame>(sink);
}
CSFChildWnd* SFCreateChildWnd(ISFChildWndEvent* sink) {
    return SFQt::Make<CSFQTChildWnd>(sink);
}
CSFView* SFCreateView(ISFViewEvent* sink) {
    return SFQt::Make<CSFQTView>(sink);
}
CSFButton* SFCreateButton(ISFButtonEvent* sink) {
    return SFQt::Make<CSFQTButton>(sink);
}
CSFCheckBox* SFCreateCheckBox(ISFCheckBoxEvent* sink) {
    return SFQt::Make<CSFQTCheckBox>(sink);
}
CSFRadioBox* SFCreateRadioBox(ISFRadioBoxEvent* sink) {
    return SFQt::Make<CSFQTRadioBox>(sink);
}
CSFStatic* SFCreateStatic(ISFStaticEvent* sink) {
    return SFQt::Make<CSFQTStatic>(sink);
}
CSFPictureCtrl* SFCreatePictureCtrl(ISFPictureCtrlEvent* sink) {
    return SFQt::Make<CSFQTPictureCtrl>(sink);
}
CSFPictureEx* SFCreatePictureEx(ISFPictureExEvent* sink) {
    return SFQt::Make<CSFQTPictureEx>(sink);
}
CSFEditCtrl* SFCreateEditCtrl(ISFEditCtrlEvent* sink) {
    return SFQt::Make<CSFQTEditCtrl>(sink);
}
CSFComboBox* SFCreateComboBox(ISFComboBoxEvent* sink) {
    return SFQt::Make<CSFQTComboBox>(sink);
}
CSFListBox* SFCreateListBox(ISFListBoxEvent* sink) {
    return SFQt::Make<CSFQTListBox>(sink);
}
CSFListCtrl* SFCreateListCtrl(ISFListCtrlEvent* sink) {
    return SFQt::Make<CSFQTListCtrl>(sink);
}
CSFTreeCtrl* SFCreateTreeCtrl(ISFTreeCtrlEvent* sink) {
    return SFQt::Make<CSFQTTreeCtrl>(sink);
}
CSFGroupBox* SFCreateGroupBox(ISFGroupBoxEvent* sink) {
    return SFQt::Make<CSFQTGroupBox>(sink);
}
CSFSliderCtrl* SFCreateSliderCtrl(ISFSliderCtrlEvent* sink) {
    return SFQt::Make<CSFQTSliderCtrl>(sink);
}
CSFProgressCtrl* SFCreateProgressCtrl(ISFProgressCtrlEvent* sink) {
    return SFQt::Make<CSFQTProgressCtrl>(sink);
}
CSFDateTimeCtrl* SFCreateDateTimeCtrl(ISFDateTimeCtrlEvent* sink) {
    return SFQt::Make<CSFQTDateTimeCtrl>(sink);
}
CSFCalendarCtrl* SFCreateCalendarCtrl(ISFCalendarCtrlEvent* sink) {
    return SFQt::Make<CSFQtCalendarCtrl>(sink);
}
CSFNumSpiner* SFCreateNumSpiner(ISFNumSpinerEvent* sink) {
    return SFQt::Make<CSFQTNumSpiner>(sink);
}
CSFDoubleSpiner* SFCreateDoubleSpiner(ISFDoubleSpinerEvent* sink) {
    return SFQt::Make<CSFQTDoubleSpiner>(sink);
}
CSFImagePanel* SFCreateImagePanel(ISFImagePanelEvent* sink) {
    return SFQt::Make<CSFQTImagePanel>(sink);
}
CSFGraphicList* SFCreateGraphicList(ISFGraphicListEvent* sink) {
    return SFQt::Make<CSFQTGraphicList>(sink);
}
CSFScrollArea* SFCreateScrollArea(ISFScrollAreaEvent* sink) {
    return SFQt::Make<CSFQTScrollArea>(sink);
}
CSFMenu* SFCreateMenu(ISFMenuEvent* sink) {
    return SFQt::Make<CSFQTMenu>(sink);
}
CSFPlayProgressPanel* SFCreatePlayProgressPanel(IPlayProgressEvent* sink) {
    return SFQt::Make<CSFQTPlayProgressPanel>(sink);
}

void SFDestroyControl(CSFControl* control) {
    delete control;
}
