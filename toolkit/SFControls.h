#pragma once
// The abstract controls: what the application sees of every window and control. Each class
// declares its operations as virtual functions whose default bodies do nothing and return 0,
// and holds its event sink (may be null: the control then works and reports nothing). The
// application creates controls through the factories of SFFactory.h, keeps only these abstract
// pointers and never names a Qt class of the toolkit; the Qt implementation is the same object.
//
// Conventions of every operation:
//  - GUI thread only.
//  - Texts are NUL-terminated wide strings; a null text counts as empty.
//  - "parent" is a window's UI pointer (ISFDialogEvent::GetUIWnd, CSFControl::GetUIWnd).
//  - A tagRECT gives (left, top, width right-left, height bottom-top); MoveWindow(x, y, cx, cy)
//    takes width and height. A null rectangle pointer is ignored.
//  - Create shows the widget when the style word has SF_WS_VISIBLE, else hides it; returns 1.
//  - SetSkin(null) returns 0 and changes nothing.
//  - Index arguments out of range return -1 and change nothing.
//  - Colours are SFCOLORREF values built with SFRGB (red in the low byte, as on Win32).
#include "toolkit/SFControlEvents.h"
#include "toolkit/SFRect.h"
#include "toolkit/SFSkin.h"

#include <cstdint>

inline constexpr uint32_t SF_WS_VISIBLE = 0x10000000u;

using SFCOLORREF = uint32_t;
constexpr SFCOLORREF SFRGB(int r, int g, int b) {
    return static_cast<SFCOLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Text alignment flags (the values of Qt::Alignment).
inline constexpr int SF_ALIGN_LEFT = 0x0001;
inline constexpr int SF_ALIGN_RIGHT = 0x0002;
inline constexpr int SF_ALIGN_HCENTER = 0x0004;
inline constexpr int SF_ALIGN_TOP = 0x0020;
inline constexpr int SF_ALIGN_BOTTOM = 0x0040;
inline constexpr int SF_ALIGN_VCENTER = 0x0080;
inline constexpr int SF_ALIGN_CENTER = SF_ALIGN_HCENTER | SF_ALIGN_VCENTER;

// Root of every control: the operations nearly all of them share, and the virtual destructor
// through which SFDestroyControl deletes the whole Qt object.
class CSFControl {
public:
    CSFControl() = default;
    CSFControl(const CSFControl&) = delete;
    CSFControl& operator=(const CSFControl&) = delete;
    virtual ~CSFControl() = default;

    virtual int ShowWindow(int /*show*/) { return 0; }
    virtual int MoveWindow(const tagRECT* /*rect*/) { return 0; }
    virtual int MoveWindow(int /*x*/, int /*y*/, int /*cx*/, int /*cy*/) { return 0; }
    virtual int EnableWindow(int /*enable*/) { return 0; }
    virtual void SetCursor() {}
    virtual void SetToolTipText(const wchar_t* /*text*/) {}
    virtual void SetTooltipEnable(int /*enable*/) {}
    // Copies at most size - 1 characters and a terminating NUL; returns the characters copied.
    virtual int GetWindowTextW(wchar_t* /*buffer*/, int /*size*/) { return 0; }
    virtual void SetWindowTextW(const wchar_t* /*text*/) {}
    // The Qt widget of this control (the parent to pass when creating children inside it).
    virtual void* GetUIWnd() { return nullptr; }
    virtual uint32_t GetCtrlID() { return 0; }
};

// ---- Windows

class CSFDialog : public CSFControl {
public:
    explicit CSFDialog(ISFDialogEvent* sink) : m_pEvent(sink) {
        if (sink != nullptr) {
            sink->SetDialogWord(0);
        }
    }
    ISFDialogEvent* GetEvent() const { return m_pEvent; }

    virtual int CreateDlg(void* /*parent*/) { return 0; }
    // Runs the window modally: 1 accepted, 2 rejected or closed.
    virtual int DoModalDlg() { return 0; }
    virtual int Create(const wchar_t* /*title*/, void* /*parent*/) { return 0; }
    virtual void MFCOK() {}
    virtual void MFCCancel() {}
    virtual void CenterWindow(void* /*parent*/) {}
    virtual int SetSkin(const DialogStyle* /*style*/) { return 0; }
    virtual void Screen2Client(tagPOINT* /*pt*/) {}
    virtual void Screen2Client(tagRECT* /*rect*/) {}
    virtual void GetDlgClientRect(tagRECT* /*rect*/) {}
    virtual void GetDlgWindowRect(tagRECT* /*rect*/) {}
    // Delivers a message to the sink's message map synchronously; returns 1 if a handler ran.
    virtual intptr_t SendDlgMessage(uint32_t /*msg*/, uintptr_t /*wparam*/, intptr_t /*lparam*/) {
        return 0;
    }
    virtual int IsDlgZoomed() { return 0; }
    virtual void SetDrawBackGround(int /*draw*/) {}
    virtual int DlgIsWindow() { return 0; }
    virtual int SetDlgWindowPos(void* /*insertAfter*/, int /*x*/, int /*y*/, int /*cx*/, int /*cy*/,
                                uint32_t /*flags*/) {
        return 0;
    }
    virtual int ModifyDlgStyleEx(uint32_t /*remove*/, uint32_t /*add*/, uint32_t /*flags*/) {
        return 0;
    }
    virtual void SetDlgIcon(int /*resourceId*/) {}
    virtual void SetDlgIcon(const wchar_t* /*path*/) {}
    virtual int IsDlgVisible() { return 0; }
    virtual void EnableNcLBtnDown(int /*enable*/) {}
    // Starts a timer for the application id unless one runs for it; returns the Qt timer id.
    virtual int SetDlgTimer(uint32_t /*id*/, uint32_t /*ms*/) { return 0; }
    virtual int KillDlgTimer(uint32_t /*id*/) { return 0; }
    // Corner radii as a pair ("6,6").
    virtual void SetSizeRoundCorner(const wchar_t* /*radii*/) {}
    virtual void MacShowFullScreen(bool /*on*/) {}
    virtual void MacShowMinimize(bool /*on*/) {}
    virtual void MacShowMaximize(bool /*on*/) {}
    virtual int HasFocus() { return 0; }
    virtual void SetFocus() {}
    virtual int IsActiveWindow() { return 0; }
    virtual void ActiveWindow() {}
    virtual void VariableSize(bool /*on*/) {}
    virtual void SetMinimumSize(int /*cx*/, int /*cy*/) {}
    virtual void SetFrameShadow(bool /*on*/) {}
    virtual void SetTitleToTopDistance(int /*y*/) {}
    virtual void SetCanMoved(bool /*on*/) {}

protected:
    ISFDialogEvent* m_pEvent;
};

class CSFView : public CSFControl {
public:
    explicit CSFView(ISFViewEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, uint32_t /*style*/,
                       const tagRECT* /*rect*/, void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    // Background fill; without one the view is transparent over its parent.
    virtual void SetBgColor(SFCOLORREF /*color*/, int /*fill*/) {}
    virtual void Invalidate() {}

protected:
    ISFViewEvent* m_pEvent;
};

class CSFFrameWnd : public CSFControl {
public:
    explicit CSFFrameWnd(ISFFrameEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, uint32_t /*style*/,
                       const tagRECT* /*rect*/, void* /*parent*/, const wchar_t* /*menuName*/,
                       uint32_t /*exStyle*/, void* /*param*/) {
        return 0;
    }

protected:
    ISFFrameEvent* m_pEvent;
};

class CSFChildWnd : public CSFControl {
public:
    explicit CSFChildWnd(ISFChildWndEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*id*/, const wchar_t* /*name*/, uint32_t /*flag*/) { return 0; }

protected:
    ISFChildWndEvent* m_pEvent;
};

// ---- Buttons and texts

class CSFButton : public CSFControl {
public:
    explicit CSFButton(ISFButtonEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, uint32_t /*style*/, const tagRECT* /*rect*/,
                       void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual int SetSkin(const ImageButtonStyle* /*style*/) { return 0; }
    virtual void SetTextColor(SFCOLORREF /*color*/) {}
    virtual void SetTextOffset(int /*dx*/, int /*dy*/) {}
    virtual void SetTextAlign(int /*flags*/) {}
    virtual void GetBTNWindowRect(tagRECT* /*rect*/) {}
    // Pixel size of the text and its weight (0 normal, non-zero bold).
    virtual void SetTextSize(int /*pixelSize*/, int /*bold*/) {}
    virtual void SetUnderline(int /*on*/) {}
    virtual void TextAdjust(int /*dx*/, int /*dy*/) {}

protected:
    ISFButtonEvent* m_pEvent;
};

class CSFCheckBox : public CSFControl {
public:
    explicit CSFCheckBox(ISFCheckBoxEvent* sink) : m_pEvent(sink) {}
    // The text is UTF-8.
    virtual int Create(const char* /*text8*/, uint32_t /*style*/, const tagRECT* /*rect*/,
                       void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual void SetCheck(int /*check*/) {}
    virtual int GetCheck() { return 0; }

protected:
    ISFCheckBoxEvent* m_pEvent;
};

class CSFRadioBox : public CSFControl {
public:
    explicit CSFRadioBox(ISFRadioBoxEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, uint32_t /*style*/, const tagRECT* /*rect*/,
                       void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual int SetSkin(const ImageRadioBox* /*style*/) { return 0; }
    virtual void SetCheck(int /*check*/) {}
    virtual int GetCheck() { return 0; }
    virtual void SetTextColor(SFCOLORREF /*normal*/) {}
    virtual void SetSelectedTextColor(SFCOLORREF /*selected*/) {}
    virtual void SetTextSize(int /*pixelSize*/) {}
    virtual void SetTextOffset(int /*dx*/, int /*dy*/) {}
    virtual void SetTextAlign(int /*flags*/) {}
    virtual void SetIconOffset(int /*dx*/, int /*dy*/) {}
    virtual void SetIconAlign(int /*flags*/) {}
    virtual void SetBgColor(SFCOLORREF /*normal*/, SFCOLORREF /*selected*/) {}
    virtual void SetBgRect(const tagRECT* /*rect*/) {}
    virtual void SetAnimation(int /*on*/) {}
    virtual uint32_t GetRadioId() { return 0; }

protected:
    ISFRadioBoxEvent* m_pEvent;
};

class CSFStatic : public CSFControl {
public:
    explicit CSFStatic(ISFStaticEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, uint32_t /*style*/, const tagRECT* /*rect*/,
                       void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual void SetStaticText(const wchar_t* /*text*/, bool /*redraw*/) {}
    virtual int GetStaticText(wchar_t* /*buffer*/, int /*size*/) { return 0; }
    virtual void SetTextAlignFlag(int /*flags*/) {}
    virtual int GetTextAlignFlag() { return 0; }
    virtual void SetTextColor(SFCOLORREF /*color*/) {}
    virtual void SetTextBold(int /*bold*/) {}
    virtual int GetTextSize() { return 0; }
    // fill non-zero: the background is filled with the colour; zero: transparent.
    virtual void SetBgColor(SFCOLORREF /*color*/, int /*fill*/) {}
    virtual void SetObjectName(const wchar_t* /*name*/) {}
    virtual void SetTextSize(int /*pixelSize*/) {}
    virtual void GetStaticCtrolPos(tagRECT* /*rect*/) {}
    virtual void SetTextOffset(int /*dx*/, int /*dy*/) {}
    virtual void SetWordWrap(int /*on*/) {}
    virtual void SetWrapAnywhere(int /*on*/) {}
    virtual void GetGeometry(tagRECT* /*rect*/) {}
    virtual void* GetHandle() { return nullptr; }
    // The height the current text needs at the given width with the current font and wrapping.
    virtual int GetTextHeight(int /*width*/) { return 0; }

protected:
    ISFStaticEvent* m_pEvent;
};

class CSFPictureCtrl : public CSFControl {
public:
    explicit CSFPictureCtrl(ISFPictureCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, uint32_t /*style*/, const tagRECT* /*rect*/,
                       void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    // A name without a directory is looked up in the skin directory; a path is used as given.
    // A file that does not load leaves the picture empty. Returns 1 when an image loaded.
    virtual int SetImage(const wchar_t* /*path*/) { return 0; }
    // Non-zero: the picture is drawn scaled to the control (the default); zero: not drawn.
    virtual void SetDrawPicture(int /*draw*/) {}
    virtual void* GetHWnd() { return nullptr; }
    virtual void SetPictureCtrlText(const wchar_t* /*text*/) {}

protected:
    ISFPictureCtrlEvent* m_pEvent;
};

class CSFPictureEx : public CSFPictureCtrl {
public:
    explicit CSFPictureEx(ISFPictureExEvent* sink) : CSFPictureCtrl(sink) {}
};

class CSFGroupBox : public CSFControl {
public:
    explicit CSFGroupBox(ISFGroupBoxEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, uint32_t /*style*/, const tagRECT* /*rect*/,
                       void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }

protected:
    ISFGroupBoxEvent* m_pEvent;
};

// ---- Input

class CSFEditCtrl : public CSFControl {
public:
    explicit CSFEditCtrl(ISFEditCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/, int /*password*/) {
        return 0;
    }
    // A style sheet for this field.
    virtual void SetSkin(const wchar_t* /*styleSheet*/) {}
    virtual void SetReadOnly(int /*on*/) {}
    virtual void SetRegExp(const wchar_t* /*pattern*/) {}
    virtual void SetNumberOnly() {}
    virtual void SetPhoneNumberOnly() {}
    virtual void SetEmailNumberOnly() {}
    virtual void SetPasswordWordOnly() {}
    virtual void SetMaxCharacterLength(int /*length*/) {}
    virtual void SetWordLimit(int /*length*/) {}
    virtual void SetTip(const wchar_t* /*text*/) {}
    virtual void SetTipAfterwards(const wchar_t* /*text*/) {}
    virtual void AddTips(const wchar_t* /*text*/) {}
    virtual void ShowTipList(int /*show*/) {}
    virtual void SetFocus() {}
    virtual int HasFocus() { return 0; }
    virtual void SetNoMenu(int /*on*/) {}
    virtual void SetTextSize(int /*pixelSize*/) {}

protected:
    ISFEditCtrlEvent* m_pEvent;
};

class CSFComboBox : public CSFControl {
public:
    explicit CSFComboBox(ISFComboBoxEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    virtual int SetSkin(const ImageComboBoxStyle* /*style*/) { return 0; }
    // Appends; returns the new count - 1. Never reports SelectChanged.
    virtual int AddString(const wchar_t* /*text*/) { return 0; }
    // Returns the new count, or -1 for an index outside 0..count-1.
    virtual int DeleteString(int /*index*/) { return 0; }
    // Copies at most size - 1 characters and a NUL; returns the text length, or -1.
    virtual int GetLBText(int /*index*/, wchar_t* /*buffer*/, int /*size*/) { return 0; }
    virtual int SetLBText(int /*index*/, const wchar_t* /*text*/) { return 0; }
    virtual int GetCurSel() { return 0; }
    // Returns the new current index, or -1 (nothing changed). Never reports SelectChanged.
    virtual int SetCurSel(int /*index*/) { return 0; }
    virtual int GetCount() { return 0; }
    // 1: Qt's standard look instead of the skin.
    virtual void SetOriginStyle(int /*origin*/) {}
    virtual void Clear() {}
    virtual void ResetContent() {}

protected:
    ISFComboBoxEvent* m_pEvent;
};

class CSFNumSpiner : public CSFControl {
public:
    explicit CSFNumSpiner(ISFNumSpinerEvent* sink) : m_pEvent(sink) {}
    // The text is not used; the control is neither shown nor hidden here.
    virtual int Create(const wchar_t* /*text*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    // SetRange and SetCurrentNum report a change of the value like user input does.
    virtual void SetRange(int /*min*/, int /*max*/) {}
    virtual void GetRange(int* /*min*/, int* /*max*/) {}
    virtual void SetStep(int /*step*/) {}
    virtual int GetStep() { return 0; }
    virtual void SetCurrentNum(int /*value*/) {}
    virtual int GetCurrentNum() { return 0; }
    virtual void StepUp() {}
    virtual void StepDown() {}
    virtual int SetSkin(const ImageNumSpinerStyle* /*style*/) { return 0; }
    virtual void SetCircleStep(int /*on*/) {}

protected:
    ISFNumSpinerEvent* m_pEvent;
};

class CSFDoubleSpiner : public CSFControl {
public:
    explicit CSFDoubleSpiner(ISFDoubleSpinerEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    // SetRange and SetCurrentNum never report; only user input does.
    virtual void SetRange(double /*min*/, double /*max*/) {}
    virtual void GetRange(double* /*min*/, double* /*max*/) {}
    virtual void SetStep(double /*step*/) {}
    virtual double GetStep() { return 0; }
    virtual void SetCurrentNum(double /*value*/) {}
    virtual double GetCurrentNum() { return 0; }
    virtual void StepUp() {}
    virtual void StepDown() {}
    virtual int SetSkin(const ImageNumSpinerStyle* /*style*/) { return 0; }
    virtual void SetCircleStep(int /*on*/) {}
    virtual void SetRectTimes(float /*times*/) {}
    virtual void SetDecimals(int /*decimals*/) {}

protected:
    ISFDoubleSpinerEvent* m_pEvent;
};

class CSFSliderCtrl : public CSFControl {
public:
    explicit CSFSliderCtrl(ISFSliderCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    virtual void SetRange(int /*min*/, int /*max*/) {}
    virtual void SetPos(int /*pos*/) {}
    virtual int GetPos() { return 0; }

protected:
    ISFSliderCtrlEvent* m_pEvent;
};

class CSFProgressCtrl : public CSFControl {
public:
    explicit CSFProgressCtrl(ISFProgressCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    virtual void SetRange(int /*min*/, int /*max*/) {}
    virtual void SetPos(int /*pos*/) {}
    virtual int GetPos() { return 0; }

protected:
    ISFProgressCtrlEvent* m_pEvent;
};

class CSFDateTimeCtrl : public CSFControl {
public:
    explicit CSFDateTimeCtrl(ISFDateTimeCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }

protected:
    ISFDateTimeCtrlEvent* m_pEvent;
};

class CSFCalendarCtrl : public CSFControl {
public:
    explicit CSFCalendarCtrl(ISFCalendarCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }

protected:
    ISFCalendarCtrlEvent* m_pEvent;
};

// ---- Lists

class CSFListBox : public CSFControl {
public:
    explicit CSFListBox(ISFListBoxEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    virtual int AddString(const wchar_t* /*text*/) { return 0; }
    virtual int GetCount() { return 0; }
    virtual int GetCurSel() { return 0; }
    virtual int SetCurSel(int /*index*/) { return 0; }
    virtual void ResetContent() {}

protected:
    ISFListBoxEvent* m_pEvent;
};

class CSFTreeCtrl : public CSFControl {
public:
    explicit CSFTreeCtrl(ISFTreeCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    // Adds a top-level item; returns its index.
    virtual int InsertItem(const wchar_t* /*text*/) { return 0; }
    virtual void DeleteAllItems() {}

protected:
    ISFTreeCtrlEvent* m_pEvent;
};

class CSFListCtrl : public CSFControl {
public:
    explicit CSFListCtrl(ISFListCtrlEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/, int /*flag*/) {
        return 0;
    }
    virtual int SetSkin(const ListCtrlStyle* /*style*/) { return 0; }
    // Columns. format: alignment flags of the column's texts. Returns the column index or -1.
    virtual int InsertColumn(int /*index*/, const wchar_t* /*title*/, int /*format*/, int /*width*/,
                             int /*subItem*/) {
        return 0;
    }
    virtual int InsertColumnCheck(int /*index*/, const wchar_t* /*title*/, int /*width*/) {
        return 0;
    }
    virtual int GetColumnCount() { return 0; }
    virtual void SetColumnWidth(int /*column*/, int /*width*/) {}
    virtual void SetColumnHidden(int /*column*/, int /*hidden*/) {}
    virtual void SetColumnTextAlign(int /*column*/, int /*flags*/) {}
    virtual void SetHeaderViewTextAlignLeft() {}
    virtual void SetHorizontalHeaderVisible(int /*visible*/) {}
    // Rows. InsertItem inserts a row at index (clamped to 0..count) with the first column's
    // text and returns its index; InsertRow inserts an empty row.
    virtual int InsertItem(int /*row*/, const wchar_t* /*text*/) { return 0; }
    virtual int InsertRow(int /*row*/) { return 0; }
    virtual int GetItemCount() { return 0; }
    virtual int DeleteItem(int /*row*/) { return 0; }
    virtual void DeleteAllItems() {}
    virtual int SetItemText(int /*row*/, int /*column*/, const wchar_t* /*text*/) { return 0; }
    virtual int GetItemText(int /*row*/, int /*column*/, wchar_t* /*buffer*/, int /*size*/) {
        return 0;
    }
    virtual int SetItemData(int /*row*/, uintptr_t /*data*/) { return 0; }
    virtual uintptr_t GetItemData(int /*row*/) { return 0; }
    virtual int SetItemIcon(int /*row*/, int /*column*/, const wchar_t* /*image*/) { return 0; }
    virtual void SetIconSize(int /*cx*/, int /*cy*/) {}
    // Places a control created with this list as parent into a cell.
    virtual int SetItemWidget(int /*row*/, int /*column*/, CSFControl* /*control*/) { return 0; }
    virtual int SetRowColor(int /*row*/, SFCOLORREF /*color*/) { return 0; }
    virtual int SetTextColor(int /*row*/, int /*column*/, SFCOLORREF /*color*/) { return 0; }
    virtual int SetItemToolTipText(int /*row*/, int /*column*/, const wchar_t* /*text*/) {
        return 0;
    }
    // Selection; positions are row + 1, 0 meaning none (iterate with GetNextSelectedItem).
    virtual int GetFirstSelectedRow() { return -1; }
    virtual int SetRowSelected(int /*row*/) { return 0; }
    virtual int SetItemSelected(int /*row*/, int /*column*/) { return 0; }
    virtual int GetFirstSelectedItemPosition() { return 0; }
    virtual int GetNextSelectedItem(int& /*position*/) { return -1; }
    virtual int SetCheck(int /*row*/, int /*check*/) { return 0; }
    virtual int GetCheck(int /*row*/) { return 0; }
    virtual void ScrollToTop() {}
    virtual void ScrollToBottom() {}
    virtual void SetShowGrid(int /*show*/) {}

protected:
    ISFListCtrlEvent* m_pEvent;
};

struct tagGListItem_Info {
    int itemId = 0;
    std::wstring title;
    std::wstring picture;
    std::wstring fileTime;
    std::wstring fileSize;
    int progress = 0;
    bool selected = false;
};

class CSFGraphicList : public CSFControl {
public:
    explicit CSFGraphicList(ISFGraphicListEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    virtual int AddListItem(const tagGListItem_Info* /*info*/) { return 0; }
    virtual int DeleteListItem(int /*itemId*/) { return 0; }
    virtual void DeleteAllListItem() {}
    virtual void DeleteSelectedItem() {}
    virtual int GetItemInfoByID(int /*itemId*/, tagGListItem_Info* /*info*/) { return 0; }
    virtual int GetItemNumber() { return 0; }
    virtual int IsItemIDExist(int /*itemId*/) { return 0; }
    virtual int SetItemPicture(int /*itemId*/, const wchar_t* /*path*/) { return 0; }
    virtual int SetItemFileTime(int /*itemId*/, const wchar_t* /*text*/) { return 0; }
    virtual int SetItemFileSize(int /*itemId*/, const wchar_t* /*text*/) { return 0; }
    virtual int SetItemProgressPos(int /*itemId*/, int /*pos*/) { return 0; }
    virtual int SetItemSelected(int /*itemId*/, int /*selected*/) { return 0; }
    virtual void ChangeOthersSelectedState(int /*itemId*/) {}
    virtual void SetItemSize(int /*cx*/, int /*cy*/) {}
    virtual void Set4KSize(int /*on*/) {}
    virtual int SetItemBtnSkin(const ImageButtonStyle* /*style*/) { return 0; }

protected:
    ISFGraphicListEvent* m_pEvent;
};

// ---- Containers, menus, odds and ends

class CSFScrollArea : public CSFControl {
public:
    explicit CSFScrollArea(ISFScrollAreaEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, int /*contentWidth*/,
                       int /*contentHeight*/, void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    // Size of the scrolled content (GetUIWnd returns the content, the parent of children).
    virtual void ResizeScrollArea(int /*cx*/, int /*cy*/) {}
    virtual void SetRange(int /*min*/, int /*max*/) {}
    // notify false: the change is not reported through OnChange.
    virtual void SetValue(int /*value*/, bool /*notify*/) {}
    virtual int GetValue() { return 0; }
    virtual void SetUPNextValue(int /*step*/) {}
    virtual void SetDownNextValue(int /*step*/) {}
    virtual void SrollToTop() {}
    virtual void SetEnableScrollBar(int /*enable*/) {}
    virtual int SetSkin(const ScrollAreaStyle* /*style*/) { return 0; }

protected:
    ISFScrollAreaEvent* m_pEvent;
};

class CSFMenu : public CSFControl {
public:
    explicit CSFMenu(ISFMenuEvent* sink) : m_pEvent(sink) {}
    virtual int Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }
    virtual void SetSkin(const wchar_t* /*styleSheet*/) {}
    // A sub-menu owned by this menu, reporting to the same sink; null on failure.
    virtual CSFMenu* AddMenu(const wchar_t* /*title*/) { return nullptr; }
    // An icon name is looked up in the skin directory. Returns 1, or 0 for a duplicate id.
    virtual int AddAction(const wchar_t* /*icon*/, const wchar_t* /*text*/, int /*actionId*/) {
        return 0;
    }
    virtual int AddAction(const wchar_t* /*text*/, int /*actionId*/) { return 0; }
    virtual void AddSeparator() {}
    virtual void SetActionEnable(int /*actionId*/, int /*enable*/) {}
    virtual void SetActionCheckable(int /*actionId*/, int /*checkable*/) {}
    virtual void SetActionChecked(int /*actionId*/, int /*checked*/) {}
    virtual int IsActionChecked(int /*actionId*/) { return 0; }
    virtual void SetActionVisible(int /*actionId*/, int /*visible*/) {}
    virtual void SetActionText(int /*actionId*/, const wchar_t* /*text*/) {}
    // Shows the menu at a global (screen) position; returns at once.
    virtual void Popup(int /*x*/, int /*y*/) {}

protected:
    ISFMenuEvent* m_pEvent;
};

class CSFImagePanel : public CSFControl {
public:
    explicit CSFImagePanel(ISFImagePanelEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*text*/, const tagRECT* /*rect*/, void* /*parent*/,
                       uint32_t /*id*/) {
        return 0;
    }

protected:
    ISFImagePanelEvent* m_pEvent;
};

class CSFPlayProgressPanel : public CSFControl {
public:
    explicit CSFPlayProgressPanel(IPlayProgressEvent* sink) : m_pEvent(sink) {}

protected:
    IPlayProgressEvent* m_pEvent;
};
