#pragma once
// The Qt implementations of the controls the program's windows use. Each derives from its Qt
// widget first and its abstract control second; the toolkit hands out the abstract part only.
// GUI thread only. Notification rules (what reports and what stays silent) are stated at each
// class; a null sink is allowed everywhere and silences the control.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>

#include <map>

// Button: press → BTN_OnLButtonDown, state pressed; release → state normal, BTN_OnLButtonUp,
// then Qt decides on a click; click → BTN_OnClicked(id), then a command (273, code 0, id) sent
// synchronously to the parent window's message map (ids 1 and 2 run its OK and Cancel paths).
// Enter → BTN_OnMouseMove, hovered; leave → BTN_OnMouseLeave, normal. Unskinned buttons keep
// Qt's look (and the application style sheet); skinned ones draw their state image and text.
class CSFQTButton final : public SFQt::CSFQTWidget<QPushButton, CSFButton> {
public:
    enum State { kHovered = 0, kPressed = 1, kNormal = 2 };

    explicit CSFQTButton(ISFButtonEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    int SetSkin(const ImageButtonStyle* style) override;
    void SetTextColor(SFCOLORREF color) override;
    void SetTextOffset(int dx, int dy) override;
    void SetTextAlign(int flags) override;
    void GetBTNWindowRect(tagRECT* rect) override;
    void SetTextSize(int pixelSize, int bold) override;
    void SetUnderline(int on) override;
    void TextAdjust(int dx, int dy) override { SetTextOffset(dx, dy); }

    int VisualState() const { return m_state; }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override { setText(t); }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void OnClicked();
    void SetState(int state);

    QPixmap m_images[4];  // normal, hover, pressed, disabled
    bool m_skinned = false;
    int m_state = kNormal;
    QColor m_textColor = SFQt::kText;
    QPoint m_textOffset;
    int m_align = SF_ALIGN_CENTER;
};

// Radio box: a release inside flips its own check mark on every click (also when it was
// checked) and reports RADIO_OnClicked(id, new state, point); SetCheck is silent. Keeping a
// group exclusive is the sink's business.
class CSFQTRadioBox final : public SFQt::CSFQTWidget<QRadioButton, CSFRadioBox> {
public:
    explicit CSFQTRadioBox(ISFRadioBoxEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    int SetSkin(const ImageRadioBox* style) override;
    void SetCheck(int check) override;
    int GetCheck() override { return m_checked ? 1 : 0; }
    void SetTextColor(SFCOLORREF normal) override;
    void SetSelectedTextColor(SFCOLORREF selected) override;
    void SetTextSize(int pixelSize) override;
    void SetTextOffset(int dx, int dy) override;
    void SetTextAlign(int flags) override;
    void SetIconOffset(int dx, int dy) override;
    void SetIconAlign(int flags) override { m_iconAlign = flags; }
    void SetBgColor(SFCOLORREF normal, SFCOLORREF selected) override;
    void SetBgRect(const tagRECT* rect) override;
    uint32_t GetRadioId() override { return m_id; }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override {
        setText(t);
        update();
    }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPixmap m_images[6];  // checked, unchecked, checked hover, unchecked hover, disabled x2
    bool m_skinned = false;
    bool m_checked = false;
    QColor m_textColor = SFQt::kTextMuted;
    QColor m_selectedTextColor;
    QColor m_bgColor;
    QColor m_selectedBgColor;
    QRect m_bgRect;
    QPoint m_textOffset;
    QPoint m_iconOffset;
    int m_textAlign = 0;  // 0: automatic (centred over a background image, else left)
    int m_iconAlign = SF_ALIGN_LEFT | SF_ALIGN_VCENTER;
};

// Static text. Colour, size, weight and background become the label's own style sheet, so
// they win over the application style sheet; SetObjectName lets that sheet style the rest.
class CSFQTStatic final : public SFQt::CSFQTWidget<QLabel, CSFStatic> {
public:
    explicit CSFQTStatic(ISFStaticEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    void SetStaticText(const wchar_t* text, bool redraw) override;
    int GetStaticText(wchar_t* buffer, int size) override;
    void SetTextAlignFlag(int flags) override;
    int GetTextAlignFlag() override { return static_cast<int>(alignment().toInt()); }
    void SetTextColor(SFCOLORREF color) override;
    void SetTextBold(int bold) override;
    int GetTextSize() override { return m_pixelSize; }
    void SetBgColor(SFCOLORREF color, int fill) override;
    void SetObjectName(const wchar_t* name) override;
    void SetTextSize(int pixelSize) override;
    void GetStaticCtrolPos(tagRECT* rect) override;
    void SetTextOffset(int dx, int dy) override;
    void SetWordWrap(int on) override;
    void SetWrapAnywhere(int on) override;
    void GetGeometry(tagRECT* rect) override { GetStaticCtrolPos(rect); }
    void* GetHandle() override { return static_cast<QWidget*>(this); }
    int GetTextHeight(int width) override;

protected:
    QString ControlText() const override { return m_text; }
    void SetControlText(const QString& t) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ApplyStyle();

    QString m_text;
    bool m_wrapAnywhere = false;
    int m_pixelSize = 12;
    bool m_bold = false;
    QColor m_color;
    QColor m_background;
};

// Picture: an image drawn scaled to the control, with an optional text over it.
class CSFQTPictureCtrl : public SFQt::CSFQTWidget<QLabel, CSFPictureCtrl> {
public:
    explicit CSFQTPictureCtrl(ISFPictureCtrlEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    int SetImage(const wchar_t* path) override;
    void SetDrawPicture(int draw) override;
    void* GetHWnd() override { return static_cast<QWidget*>(this); }
    void SetPictureCtrlText(const wchar_t* text) override;
    const QPixmap& Picture() const { return m_picture; }

protected:
    QString ControlText() const override { return m_text; }
    void SetControlText(const QString& t) override {
        m_text = t;
        update();
    }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QString m_text;
    bool m_draw = true;
};

// Edit: every text change reports EDIT_OnTextChange (programmatic ones too, as Qt's
// textChanged does); Enter, mouse press and focus changes report with the current text.
class CSFQTEditCtrl final : public SFQt::CSFQTWidget<QLineEdit, CSFEditCtrl> {
public:
    explicit CSFQTEditCtrl(ISFEditCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id,
               int password) override;
    void SetSkin(const wchar_t* styleSheet) override;
    void SetReadOnly(int on) override { setReadOnly(on != 0); }
    void SetRegExp(const wchar_t* pattern) override;
    void SetNumberOnly() override;
    void SetPhoneNumberOnly() override;
    void SetEmailNumberOnly() override;
    void SetPasswordWordOnly() override;
    void SetMaxCharacterLength(int length) override;
    void SetWordLimit(int length) override { SetMaxCharacterLength(length); }
    void SetTip(const wchar_t* text) override { setPlaceholderText(SFQt::FromW(text)); }
    void SetTipAfterwards(const wchar_t* text) override { setToolTip(SFQt::FromW(text)); }
    void AddTips(const wchar_t* text) override;
    void ShowTipList(int show) override;
    void SetFocus() override { setFocus(); }
    int HasFocus() override { return hasFocus() ? 1 : 0; }
    void SetNoMenu(int on) override;
    void SetTextSize(int pixelSize) override;

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override { setText(t); }
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetPattern(const QString& pattern);
    QStringList m_tips;
};

// Combo box: only user changes report SelectChanged; AddString, DeleteString, SetCurSel, Clear,
// ResetContent and SetWindowTextW (which selects the item with that text) are silent. The wheel
// never changes the selection. Skinned boxes paint the state slice of their strip (normal, hover,
// open below, open above, disabled) and the text.
class CSFQTComboBox final : public SFQt::CSFQTWidget<QComboBox, CSFComboBox> {
public:
    enum Look { kNormal = 0, kHover = 1, kOpenBelow = 2, kOpenAbove = 3, kDisabled = 4 };

    explicit CSFQTComboBox(ISFComboBoxEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    int SetSkin(const ImageComboBoxStyle* style) override;
    int AddString(const wchar_t* text) override;
    int DeleteString(int index) override;
    int GetLBText(int index, wchar_t* buffer, int size) override;
    int SetLBText(int index, const wchar_t* text) override;
    int GetCurSel() override { return currentIndex(); }
    int SetCurSel(int index) override;
    int GetCount() override { return count(); }
    void SetOriginStyle(int origin) override;
    void Clear() override;
    void ResetContent() override { Clear(); }
    void showPopup() override;
    void hidePopup() override;

    int LookState() const;

protected:
    QString ControlText() const override { return currentText(); }
    void SetControlText(const QString& t) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void SetLook(int look);

    QPixmap m_strip;
    QRect m_rects[7];
    bool m_stretch[7] = {};
    bool m_skinned = false;
    bool m_origin = false;
    bool m_quiet = false;  // a programmatic change is in progress
    bool m_popupShown = false;
    int m_look = kNormal;
};

// Number spinner: valueChanged reports OnCurrentNumChanged, for user input and for SetRange /
// SetCurrentNum that change the value alike.
class CSFQTNumSpiner final : public SFQt::CSFQTWidget<QSpinBox, CSFNumSpiner> {
public:
    explicit CSFQTNumSpiner(ISFNumSpinerEvent* sink);
    int Create(const wchar_t* text, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetRange(int min, int max) override;
    void GetRange(int* min, int* max) override;
    void SetStep(int step) override { setSingleStep(step); }
    int GetStep() override { return singleStep(); }
    void SetCurrentNum(int value) override { setValue(value); }
    int GetCurrentNum() override { return value(); }
    void StepUp() override { stepUp(); }
    void StepDown() override { stepDown(); }
    int SetSkin(const ImageNumSpinerStyle* style) override;
    void SetCircleStep(int on) override { setWrapping(on != 0); }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString&) override {}
};

// Double spinner: only user input reports; SetRange and SetCurrentNum never do.
class CSFQTDoubleSpiner final : public SFQt::CSFQTWidget<QDoubleSpinBox, CSFDoubleSpiner> {
public:
    explicit CSFQTDoubleSpiner(ISFDoubleSpinerEvent* sink);
    int Create(const wchar_t* text, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetRange(double min, double max) override;
    void GetRange(double* min, double* max) override;
    void SetStep(double step) override { setSingleStep(step); }
    double GetStep() override { return singleStep(); }
    void SetCurrentNum(double value) override;
    double GetCurrentNum() override { return value(); }
    void StepUp() override { stepUp(); }
    void StepDown() override { stepDown(); }
    int SetSkin(const ImageNumSpinerStyle* style) override;
    void SetCircleStep(int on) override { setWrapping(on != 0); }
    void SetRectTimes(float times) override { m_rectTimes = times; }
    void SetDecimals(int decimals) override;

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString&) override {}

private:
    float m_rectTimes = 1.0f;
};

// List control on a table: whole-row single selection; a selection change reports
// OnSelected(first selected row), a key press OnLVKeyPress(id, Qt key).
class CSFQTListCtrl final : public SFQt::CSFQTWidget<QTableWidget, CSFListCtrl> {
public:
    explicit CSFQTListCtrl(ISFListCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id, int flag) override;
    int SetSkin(const ListCtrlStyle* style) override;
    int InsertColumn(int index, const wchar_t* title, int format, int width, int subItem) override;
    int InsertColumnCheck(int index, const wchar_t* title, int width) override;
    int GetColumnCount() override { return columnCount(); }
    void SetColumnWidth(int column, int width) override;
    void SetColumnHidden(int column, int hidden) override;
    void SetColumnTextAlign(int column, int flags) override;
    void SetHeaderViewTextAlignLeft() override;
    void SetHorizontalHeaderVisible(int visible) override;
    int InsertItem(int row, const wchar_t* text) override;
    int InsertRow(int row) override;
    int GetItemCount() override { return rowCount(); }
    int DeleteItem(int row) override;
    void DeleteAllItems() override { setRowCount(0); }
    int SetItemText(int row, int column, const wchar_t* text) override;
    int GetItemText(int row, int column, wchar_t* buffer, int size) override;
    int SetItemData(int row, uintptr_t value) override;
    uintptr_t GetItemData(int row) override;
    int SetItemIcon(int row, int column, const wchar_t* image) override;
    void SetIconSize(int cx, int cy) override { setIconSize(QSize(cx, cy)); }
    int SetItemWidget(int row, int column, CSFControl* control) override;
    int SetRowColor(int row, SFCOLORREF color) override;
    int SetTextColor(int row, int column, SFCOLORREF color) override;
    int SetItemToolTipText(int row, int column, const wchar_t* text) override;
    int GetFirstSelectedRow() override;
    int SetRowSelected(int row) override;
    int SetItemSelected(int row, int column) override;
    int GetFirstSelectedItemPosition() override;
    int GetNextSelectedItem(int& position) override;
    int SetCheck(int row, int check) override;
    int GetCheck(int row) override;
    void ScrollToTop() override { scrollToTop(); }
    void ScrollToBottom() override { scrollToBottom(); }
    void SetShowGrid(int show) override { setShowGrid(show != 0); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool ValidCell(int row, int column) const;
    QTableWidgetItem* Cell(int row, int column);  // created on demand; null when out of range
    std::map<int, int> m_columnAlign;
    int m_checkColumn = -1;
};

// Scroll area: GetUIWnd is the scrolled content (the parent for children). Vertical scrolling
// reports OnChange(id, value, maximum) unless SetValue was asked not to.
class CSFQTScrollArea final : public SFQt::CSFQTWidget<QScrollArea, CSFScrollArea> {
public:
    explicit CSFQTScrollArea(ISFScrollAreaEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, int contentWidth, int contentHeight,
               void* parent, uint32_t id) override;
    void ResizeScrollArea(int cx, int cy) override;
    void SetRange(int min, int max) override;
    void SetValue(int value, bool notify) override;
    int GetValue() override;
    void SetUPNextValue(int step) override;
    void SetDownNextValue(int step) override;
    void SrollToTop() override { SetValue(0, true); }
    void SetEnableScrollBar(int enable) override;
    int SetSkin(const ScrollAreaStyle* style) override;
    void* GetUIWnd() override { return m_content; }

private:
    QWidget* m_content;
    bool m_quiet = false;
};

// Menu: a triggered action reports Menu_OnAction(action id). Popup shows it at a screen
// position and returns at once.
class CSFQTMenu final : public SFQt::CSFQTWidget<QMenu, CSFMenu> {
public:
    explicit CSFQTMenu(ISFMenuEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetSkin(const wchar_t* styleSheet) override { setStyleSheet(SFQt::FromW(styleSheet)); }
    CSFMenu* AddMenu(const wchar_t* title) override;
    int AddAction(const wchar_t* icon, const wchar_t* text, int actionId) override;
    int AddAction(const wchar_t* text, int actionId) override;
    void AddSeparator() override { addSeparator(); }
    void SetActionEnable(int actionId, int enable) override;
    void SetActionCheckable(int actionId, int checkable) override;
    void SetActionChecked(int actionId, int checked) override;
    int IsActionChecked(int actionId) override;
    void SetActionVisible(int actionId, int visible) override;
    void SetActionText(int actionId, const wchar_t* text) override;
    void Popup(int x, int y) override { popup(QPoint(x, y)); }
    QAction* Action(int actionId) const;

protected:
    QString ControlText() const override { return title(); }
    void SetControlText(const QString& t) override { setTitle(t); }

private:
    std::map<int, QAction*> m_actions;
};

// View: a plain child window whose sink (ISFViewEvent) has a message map; commands of its
// child controls are delivered there. Reports size, press, double click, enter, leave and
// show/hide; OnCreate after Create.
class CSFQTView final : public SFQt::CSFQTWidget<QWidget, CSFView> {
public:
    explicit CSFQTView(ISFViewEvent* sink);
    ~CSFQTView() override;
    int Create(const wchar_t* className, const wchar_t* title, uint32_t style, const tagRECT* rect,
               void* parent, uint32_t id) override;
    void SetBgColor(SFCOLORREF color, int fill) override;
    void Invalidate() override { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    QColor m_background;
};
