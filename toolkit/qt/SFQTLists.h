#pragma once
// Choosing from lists: the combo box and the list control. Each derives from its Qt widget first
// and its abstract control second; the toolkit hands out the abstract part only. GUI thread only; a
// null sink is allowed everywhere and silences the control.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QComboBox>
#include <QTableWidget>

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

// List control on a table: whole-row single selection; a selection change reports
// OnSelected(first selected row), a key press OnLVKeyPress(id, Qt key). A column title wider
// than its column ends in "…" (Qt's header would cut it, even inside a character) and is shown
// whole in the title's tool tip.
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
    void ElideTitle(int column);
    std::map<int, int> m_columnAlign;
    int m_checkColumn = -1;
};
