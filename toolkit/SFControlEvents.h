#pragma once
// The event interfaces: what a control tells the application's logic. The logic class derives
// from the interfaces of the controls it listens to, overrides the callbacks it needs (the
// others do nothing) and passes itself as the sink when it creates a control. Callbacks run on
// the GUI thread, synchronously, from inside the control's Qt event handling; "id" is the
// control id given at Create. A sink must outlive the controls that report to it.
//
// Only the window sinks (ISFDialogEvent, ISFViewEvent) derive from OrvexBase::CSFEventBase and
// so carry a message map and the UI window pointer; the control interfaces are plain, so one
// logic class can implement a window sink and any number of control interfaces.
#include "framework/SFEventBase.h"
#include "toolkit/SFRect.h"

#include <cstdint>

class ISFButtonEvent {
public:
    virtual ~ISFButtonEvent() = default;
    virtual void BTN_OnLButtonDown(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void BTN_OnLButtonUp(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void BTN_OnMouseMove(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void BTN_OnMouseMoveX(uint32_t /*id*/, uint32_t /*flags*/, int /*x*/) {}
    virtual void BTN_OnMouseLeave(uint32_t /*id*/, uint32_t /*flags*/, long /*lparam*/) {}
    virtual void BTN_OnClicked(uint32_t /*id*/) {}
    virtual void BTN_OnCustomerClicked() {}
};

// Sink of dialogs and main windows. Dlg_OnInit(1) is called by Create after the title is set,
// Dlg_OnInit(0) by DoModalDlg just before the modal loop; the logic creates its controls there.
class ISFDialogEvent : public OrvexBase::CSFEventBase {
public:
    virtual int Dlg_OnInit(int created) = 0;
    virtual void Dlg_OnOK() {}
    virtual void Dlg_OnCancel() {}
    // After every resize, with the new window size (type 0).
    virtual void OnDlgSize(uint32_t /*type*/, int& /*cx*/, int& /*cy*/) {}
    // The window is asked to close: a non-zero result keeps it open.
    virtual int Dlg_Close() { return 0; }
    virtual void Dlg_Destroy() {}
    virtual void OnDlgNcActivate(int /*active*/) {}
    virtual void OnDlgFileDrop(const wchar_t* /*path*/) {}
    virtual void OnDlgCopyData(long /*data*/) {}
    virtual void OnDlgMouseLeave() {}
    virtual void OnDlgMouseHover() {}
    virtual void OnDlgMouseMove() {}
    virtual void OnDlgShowWindow(int /*show*/, uint32_t /*status*/) {}
    virtual void OnDlgHideWindow(int /*show*/, uint32_t /*status*/) {}
    virtual void OnDlgTimer(uint32_t /*timerId*/) {}
    // The Qt keyboard modifiers and Qt key code of a key press.
    virtual void OnDlgKeyDown(uint32_t /*modifiers*/, int /*key*/) {}
    virtual void OnMsgScreenLock(int /*locked*/) {}
    virtual void OnLButtonDown(uint32_t /*flags*/, tagPOINT /*pt*/) {}
};

class ISFViewEvent : public OrvexBase::CSFEventBase {
public:
    virtual void OnCreate() {}
    virtual void OnDestroy() {}
    virtual void OnSize(uint32_t /*type*/, int /*cx*/, int /*cy*/) {}
    virtual void OnLButtonDown(uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void OnLButtonDblClk(uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void OnEnter() {}
    virtual void OnLeave() {}
    virtual void OnShowWindow(int /*show*/) {}
};

class ISFComboBoxEvent {
public:
    virtual ~ISFComboBoxEvent() = default;
    virtual void SelectChanged(uint32_t /*id*/, int /*index*/) {}
};

class ISFNumSpinerEvent {
public:
    virtual ~ISFNumSpinerEvent() = default;
    virtual void OnCurrentNumChanged(uint32_t /*id*/, int /*value*/) {}
};

class ISFDoubleSpinerEvent {
public:
    virtual ~ISFDoubleSpinerEvent() = default;
    virtual void OnCurrentNumChanged(uint32_t /*id*/, double /*value*/) {}
};

class ISFRadioBoxEvent {
public:
    virtual ~ISFRadioBoxEvent() = default;
    // state: the check mark after the click (1 checked, 0 not).
    virtual void RADIO_OnClicked(uint32_t /*id*/, int /*state*/, tagPOINT /*pt*/) {}
    virtual void RADIO_OnShowWindow(uint32_t /*id*/, int /*show*/, uint32_t /*status*/) {}
};

class ISFEditCtrlEvent {
public:
    virtual ~ISFEditCtrlEvent() = default;
    virtual void EDIT_OnTextChange(uint32_t /*id*/, const wchar_t* /*text*/) {}
    virtual void EDIT_OnEnterPressed(uint32_t /*id*/, const wchar_t* /*text*/) {}
    virtual void EDIT_OnMousePressed(uint32_t /*id*/, const wchar_t* /*text*/) {}
    virtual void edit_FocusOutEvent(uint32_t /*id*/, const wchar_t* /*text*/) {}
    virtual void edit_FocusInEvent(uint32_t /*id*/, const wchar_t* /*text*/) {}
    virtual void edit_ClearPsw() {}
};

class ISFStaticEvent {
public:
    virtual ~ISFStaticEvent() = default;
    virtual void STATIC_OnLButtonDown(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void STATIC_OnLButtonUp(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void STATIC_OnMouseMove(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
};

class ISFPictureCtrlEvent {
public:
    virtual ~ISFPictureCtrlEvent() = default;
    virtual void PICTRL_OnLButtonDown(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void PICTRL_OnLButtonUp(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
    virtual void PICTRL_OnMouseMove(uint32_t /*id*/, uint32_t /*flags*/, tagPOINT /*pt*/) {}
};

class ISFPictureExEvent : public ISFPictureCtrlEvent {};

class ISFListCtrlEvent {
public:
    virtual ~ISFListCtrlEvent() = default;
    virtual void OnLVKeyPress(uint32_t /*id*/, int /*key*/) {}
    virtual void OnSelected(int /*row*/) {}
};

class ISFGraphicListEvent {
public:
    virtual ~ISFGraphicListEvent() = default;
    virtual void OnListItemClick(int /*itemId*/) {}
    virtual void OnListItemDelete(int /*itemId*/) {}
    virtual void OnListItemDbClick(int /*itemId*/) {}
    virtual void OnListDragEnterEvent(const wchar_t* /*path*/) {}
};

class ISFScrollAreaEvent {
public:
    virtual ~ISFScrollAreaEvent() = default;
    virtual void OnChange(uint32_t /*id*/, int /*value*/, int /*max*/) {}
};

class ISFMenuEvent {
public:
    virtual ~ISFMenuEvent() = default;
    virtual void Menu_OnAction(int /*actionId*/) {}
};

// The video window's sink; its callbacks belong to the video window.
// The video window's reports (video/qt/SFVideoWindow.h); index is the sub-window's index among
// the cells, id its own number.
class ISFVideoWindowEvent {
public:
    virtual ~ISFVideoWindowEvent() = default;
    virtual void OnLayoutChanged() {}
    virtual void OnFocusWndChanged(int /*index*/, int /*id*/) {}
    virtual void VideoWidow_OnLButtonDown(int /*index*/, int /*id*/, tagPOINT& /*point*/) {}
    virtual void VideoWidow_OnLButtonUp(int /*index*/, int /*id*/, tagPOINT& /*point*/) {}
    virtual void VideoWidow_OnMouseWheel(int /*index*/, int /*id*/, int /*delta*/) {}
};

class ISFCheckBoxEvent {
public:
    virtual ~ISFCheckBoxEvent() = default;
    virtual void BTN_OnLButtonDown() {}
    virtual void BTN_OnLButtonUp() {}
    virtual void BTN_OnMouseMove() {}
};

class ISFGroupBoxEvent {
public:
    virtual ~ISFGroupBoxEvent() = default;
    virtual void BTN_OnLButtonDown() {}
    virtual void BTN_OnLButtonUp() {}
    virtual void BTN_OnMouseMove() {}
};

class ISFSliderCtrlEvent {
public:
    virtual ~ISFSliderCtrlEvent() = default;
    virtual void BTN_OnLButtonDown(uint32_t /*id*/, float) {}
    virtual void BTN_OnLButtonUp(uint32_t /*id*/, float) {}
    virtual void BTN_OnMouseMove(uint32_t /*id*/, float) {}
    virtual void BTN_OnLButtonDownCutMode(uint32_t /*id*/, float, float) {}
    virtual void SF_OnSliderPos(uint32_t /*id*/, int) {}
    virtual void SF_OnSliderPosF(uint32_t /*id*/, float) {}
    virtual void SF_OnSliderPosCutMode(uint32_t /*id*/, float, float) {}
    virtual void SF_OnSliderCutBtnPos(uint32_t /*id*/, int, int) {}
};

class ISFImagePanelEvent {
public:
    virtual ~ISFImagePanelEvent() = default;
    virtual void IMGPNL_OnPlayImage(const wchar_t* /*path*/) {}
};

enum VIDEOCUT_TYPE { VIDEOCUT_NONE = 0, VIDEOCUT_START = 1, VIDEOCUT_END = 2 };

class IPlayProgressEvent {
public:
    virtual ~IPlayProgressEvent() = default;
    virtual void OnPositionChanged(uint32_t /*id*/, int, int, int, VIDEOCUT_TYPE) {}
    virtual void OnSetHighlight(uint32_t /*id*/, int) {}
    virtual void OnMouseOverChannel(uint32_t /*id*/, int, tagPOINT, int) {}
    virtual void PPP_OnMouseLeave(uint32_t /*id*/) {}
};

class ISFFrameEvent {
public:
    virtual ~ISFFrameEvent() = default;
    virtual void OnFrameCreate() = 0;
    virtual void OnDistroy() {}
};

// Events of the kinds the program does not use.
class ISFChildWndEvent {
public:
    virtual ~ISFChildWndEvent() = default;
};
class ISFListBoxEvent {
public:
    virtual ~ISFListBoxEvent() = default;
    virtual void OnListBoxSelected(uint32_t /*id*/, int /*row*/) {}
};
class ISFTreeCtrlEvent {
public:
    virtual ~ISFTreeCtrlEvent() = default;
    virtual void OnTreeItemClicked(uint32_t /*id*/, const wchar_t* /*text*/) {}
};
class ISFProgressCtrlEvent {
public:
    virtual ~ISFProgressCtrlEvent() = default;
};
class ISFDateTimeCtrlEvent {
public:
    virtual ~ISFDateTimeCtrlEvent() = default;
    virtual void OnDateTimeChanged(uint32_t /*id*/) {}
};
class ISFCalendarCtrlEvent {
public:
    virtual ~ISFCalendarCtrlEvent() = default;
    virtual void OnDateSelected(uint32_t /*id*/, int /*year*/, int /*month*/, int /*day*/) {}
};
