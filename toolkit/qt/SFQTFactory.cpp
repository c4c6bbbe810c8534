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

#include <new>

namespace {

// Null when the allocation fails (a widget constructor reports that by std::bad_alloc).
template <class Impl, class... Args>
Impl* Make(Args&&... args) {
    try {
        return new Impl(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

CSFDialog* SFCreateDialog(ISFDialogEvent* sink, void* parent, uint32_t windowFlags) {
    return Make<CSFQTDialog>(sink, SFQt::ParentWidget(parent),
                             Qt::WindowFlags::fromInt(static_cast<int>(windowFlags)));
}
CSFDialog* SFCreateMainWindow(ISFDialogEvent* sink, void* parent) {
    return Make<CSFQTMainWindow>(sink, SFQt::ParentWidget(parent));
}
CSFFrameWnd* SFCreateFrame(ISFFrameEvent* sink) {
    return Make<CSFQTFrame>(sink);
}
CSFChildWnd* SFCreateChildWnd(ISFChildWndEvent* sink) {
    return Make<CSFQTChildWnd>(sink);
}
CSFView* SFCreateView(ISFViewEvent* sink) {
    return Make<CSFQTView>(sink);
}
CSFButton* SFCreateButton(ISFButtonEvent* sink) {
    return Make<CSFQTButton>(sink);
}
CSFCheckBox* SFCreateCheckBox(ISFCheckBoxEvent* sink) {
    return Make<CSFQTCheckBox>(sink);
}
CSFRadioBox* SFCreateRadioBox(ISFRadioBoxEvent* sink) {
    return Make<CSFQTRadioBox>(sink);
}
CSFStatic* SFCreateStatic(ISFStaticEvent* sink) {
    return Make<CSFQTStatic>(sink);
}
CSFPictureCtrl* SFCreatePictureCtrl(ISFPictureCtrlEvent* sink) {
    return Make<CSFQTPictureCtrl>(sink);
}
CSFPictureEx* SFCreatePictureEx(ISFPictureExEvent* sink) {
    return Make<CSFQTPictureEx>(sink);
}
CSFEditCtrl* SFCreateEditCtrl(ISFEditCtrlEvent* sink) {
    return Make<CSFQTEditCtrl>(sink);
}
CSFComboBox* SFCreateComboBox(ISFComboBoxEvent* sink) {
    return Make<CSFQTComboBox>(sink);
}
CSFListBox* SFCreateListBox(ISFListBoxEvent* sink) {
    return Make<CSFQTListBox>(sink);
}
CSFListCtrl* SFCreateListCtrl(ISFListCtrlEvent* sink) {
    return Make<CSFQTListCtrl>(sink);
}
CSFTreeCtrl* SFCreateTreeCtrl(ISFTreeCtrlEvent* sink) {
    return Make<CSFQTTreeCtrl>(sink);
}
CSFGroupBox* SFCreateGroupBox(ISFGroupBoxEvent* sink) {
    return Make<CSFQTGroupBox>(sink);
}
CSFSliderCtrl* SFCreateSliderCtrl(ISFSliderCtrlEvent* sink) {
    return Make<CSFQTSliderCtrl>(sink);
}
CSFProgressCtrl* SFCreateProgressCtrl(ISFProgressCtrlEvent* sink) {
    return Make<CSFQTProgressCtrl>(sink);
}
CSFDateTimeCtrl* SFCreateDateTimeCtrl(ISFDateTimeCtrlEvent* sink) {
    return Make<CSFQTDateTimeCtrl>(sink);
}
CSFCalendarCtrl* SFCreateCalendarCtrl(ISFCalendarCtrlEvent* sink) {
    return Make<CSFQtCalendarCtrl>(sink);
}
CSFNumSpiner* SFCreateNumSpiner(ISFNumSpinerEvent* sink) {
    return Make<CSFQTNumSpiner>(sink);
}
CSFDoubleSpiner* SFCreateDoubleSpiner(ISFDoubleSpinerEvent* sink) {
    return Make<CSFQTDoubleSpiner>(sink);
}
CSFImagePanel* SFCreateImagePanel(ISFImagePanelEvent* sink) {
    return Make<CSFQTImagePanel>(sink);
}
CSFGraphicList* SFCreateGraphicList(ISFGraphicListEvent* sink) {
    return Make<CSFQTGraphicList>(sink);
}
CSFScrollArea* SFCreateScrollArea(ISFScrollAreaEvent* sink) {
    return Make<CSFQTScrollArea>(sink);
}
CSFMenu* SFCreateMenu(ISFMenuEvent* sink) {
    return Make<CSFQTMenu>(sink);
}
CSFPlayProgressPanel* SFCreatePlayProgressPanel(IPlayProgressEvent* sink) {
    return Make<CSFQTPlayProgressPanel>(sink);
}

void SFDestroyControl(CSFControl* control) {
    delete control;
}
