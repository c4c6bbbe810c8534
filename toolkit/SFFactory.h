#pragma once
// One factory per control kind. Each allocates the Qt implementation, constructs it with the
// given sink (and, for windows, parent and flags) and returns the abstract pointer, or null
// when allocation failed. The control lives until SFDestroyControl or until its Qt parent is
// destroyed (after which the pointer must not be used). Defined by the toolkit_qt library.
// GUI thread only.
#include "toolkit/SFControls.h"

CSFDialog* SFCreateDialog(ISFDialogEvent* sink, void* parent, uint32_t windowFlags);
CSFDialog* SFCreateMainWindow(ISFDialogEvent* sink, void* parent);
CSFFrameWnd* SFCreateFrame(ISFFrameEvent* sink);
CSFChildWnd* SFCreateChildWnd(ISFChildWndEvent* sink);
CSFView* SFCreateView(ISFViewEvent* sink);
CSFButton* SFCreateButton(ISFButtonEvent* sink);
CSFCheckBox* SFCreateCheckBox(ISFCheckBoxEvent* sink);
CSFRadioBox* SFCreateRadioBox(ISFRadioBoxEvent* sink);
CSFStatic* SFCreateStatic(ISFStaticEvent* sink);
CSFPictureCtrl* SFCreatePictureCtrl(ISFPictureCtrlEvent* sink);
CSFPictureEx* SFCreatePictureEx(ISFPictureExEvent* sink);
CSFEditCtrl* SFCreateEditCtrl(ISFEditCtrlEvent* sink);
CSFComboBox* SFCreateComboBox(ISFComboBoxEvent* sink);
CSFListBox* SFCreateListBox(ISFListBoxEvent* sink);
CSFListCtrl* SFCreateListCtrl(ISFListCtrlEvent* sink);
CSFTreeCtrl* SFCreateTreeCtrl(ISFTreeCtrlEvent* sink);
CSFGroupBox* SFCreateGroupBox(ISFGroupBoxEvent* sink);
CSFSliderCtrl* SFCreateSliderCtrl(ISFSliderCtrlEvent* sink);
CSFProgressCtrl* SFCreateProgressCtrl(ISFProgressCtrlEvent* sink);
CSFDateTimeCtrl* SFCreateDateTimeCtrl(ISFDateTimeCtrlEvent* sink);
CSFCalendarCtrl* SFCreateCalendarCtrl(ISFCalendarCtrlEvent* sink);
CSFNumSpiner* SFCreateNumSpiner(ISFNumSpinerEvent* sink);
CSFDoubleSpiner* SFCreateDoubleSpiner(ISFDoubleSpinerEvent* sink);
CSFImagePanel* SFCreateImagePanel(ISFImagePanelEvent* sink);
CSFGraphicList* SFCreateGraphicList(ISFGraphicListEvent* sink);
CSFScrollArea* SFCreateScrollArea(ISFScrollAreaEvent* sink);
CSFMenu* SFCreateMenu(ISFMenuEvent* sink);
CSFPlayProgressPanel* SFCreatePlayProgressPanel(IPlayProgressEvent* sink);

// Deletes the whole Qt object through its virtual destructor; null is ignored.
void SFDestroyControl(CSFControl* control);
