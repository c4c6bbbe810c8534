#include "toolkit/qt/SFQTLists.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <climits>

using SFQt::CssColor;
using SFQt::FromW;

namespace {

constexpr int kTitlePadding = 8;  // left and right of a column title (the style sheet's)

}  // namespace

// ======================================================================= Combo box

CSFQTComboBox::CSFQTComboBox(ISFComboBoxEvent* sink) : CSFQTWidget(sink) {
    setFrame(false);
    setFocusPolicy(Qt::NoFocus);
    // The list's view is made when the list first opens (showPopup), not here: QComboBox makes
    // it at the first view() or setIconSize(), and its popup window with its scroll bars was
    // most of the cost of building a combo box.
    QObject::connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_quiet && m_pEvent != nullptr) {
            m_pEvent->SelectChanged(m_id, index);
        }
    });
}

int CSFQTComboBox::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTComboBox::SetSkin(const ImageComboBoxStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    m_strip = SFLoadSkinImage(style->image);
    for (int i = 0; i < 7; ++i) {
        m_rects[i] = SFParseSkinRect(style->stateRects[i]);
        m_stretch[i] = style->stateModes[i] == L"stretch";
    }
    m_skinned = true;
    update();
    return 1;
}

int CSFQTComboBox::AddString(const wchar_t* text) {
    // Every row 25 pixels tall: a transparent 1 x 25 icon sets the row height.
    static const QIcon spacer = [] {
        QPixmap pm(1, 25);
        pm.fill(Qt::transparent);
        return QIcon(pm);
    }();
    m_quiet = true;
    addItem(spacer, FromW(text));
    m_quiet = false;
    return count() - 1;
}

int CSFQTComboBox::DeleteString(int index) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    m_quiet = true;
    removeItem(index);
    m_quiet = false;
    return count();
}

int CSFQTComboBox::GetLBText(int index, wchar_t* buffer, int size) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    const QString t = itemText(index);
    SFQt::CopyOut(t, buffer, size);
    return static_cast<int>(t.size());
}

int CSFQTComboBox::SetLBText(int index, const wchar_t* text) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    setItemText(index, FromW(text));
    return index;
}

int CSFQTComboBox::SetCurSel(int index) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    m_quiet = true;
    setCurrentIndex(index);
    m_quiet = false;
    return currentIndex();
}

void CSFQTComboBox::SetOriginStyle(int origin) {
    m_origin = origin == 1;
    update();
}

void CSFQTComboBox::Clear() {
    m_quiet = true;
    clear();
    m_quiet = false;
}

void CSFQTComboBox::SetControlText(const QString& t) {
    m_quiet = true;
    setCurrentText(t);
    m_quiet = false;
}

int CSFQTComboBox::LookState() const {
    return isEnabled() ? m_look : kDisabled;
}

void CSFQTComboBox::SetLook(int look) {
    if (look != m_look) {
        m_look = look;
        update();
    }
}

void CSFQTComboBox::showPopup() {
    if (count() <= 0) {
        return;  // Qt opens no list without items, and would never close one either
    }
    // The list opens above when its rows (25 pixels each) would run off the screen below.
    const int rows = std::min(count(), maxVisibleItems());
    const QScreen* s = screen();
    const int screenHeight = s != nullptr ? s->geometry().bottom() + 1 : INT_MAX;
    const bool above = rows * 25 + mapToGlobal(QPoint(0, 0)).y() + height() > screenHeight;
    m_popupShown = true;
    SetLook(above ? kOpenAbove : kOpenBelow);
    view()->setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(1, 25));  // with AddString's spacer icon: rows 25 pixels tall
    QComboBox::showPopup();
}

void CSFQTComboBox::hidePopup() {
    QComboBox::hidePopup();
    m_popupShown = false;
    SetLook(kNormal);
}

void CSFQTComboBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void CSFQTComboBox::enterEvent(QEnterEvent* event) {
    if (!m_popupShown) {
        SetLook(kHover);
    }
    QComboBox::enterEvent(event);
}

void CSFQTComboBox::leaveEvent(QEvent* event) {
    if (!m_popupShown) {
        SetLook(kNormal);
    }
    QComboBox::leaveEvent(event);
}

void CSFQTComboBox::mousePressEvent(QMouseEvent* event) {
    SetLook(kOpenBelow);
    QComboBox::mousePressEvent(event);
}

void CSFQTComboBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_popupShown) {
        SetLook(kNormal);
    }
    QComboBox::mouseReleaseEvent(event);
}

void CSFQTComboBox::focusInEvent(QFocusEvent* event) {
    SetLook(kNormal);
    QComboBox::focusInEvent(event);
}

void CSFQTComboBox::paintEvent(QPaintEvent* event) {
    if (!m_skinned || m_origin) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // State rectangles 1, 2, 3, 4, 5 of the record: normal, hover, open below, open above,
    // disabled. A state without a rectangle falls back to the normal one.
    const int look = LookState();
    QRect src = m_rects[look];
    bool stretch = m_stretch[look];
    if (src.width() <= 0 || src.height() <= 0) {
        src = m_rects[0];
        stretch = m_stretch[0];
    }
    if (!m_strip.isNull() && src.width() > 0 && src.height() > 0) {
        const QRect cut = SFSkinSourceRect(m_strip, src);
        if (stretch) {
            p.drawPixmap(rect(), m_strip, cut);
        } else {
            p.drawPixmap(QPoint(0, (height() - src.height()) / 2), m_strip, cut);
        }
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(look == kNormal || look == kDisabled ? SFQt::kBorder : SFQt::kAccent);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    p.setPen(isEnabled() ? SFQt::kText : SFQt::kDisabledText);
    p.setFont(font());
    // The strip's right part holds the arrow: keep the text clear of it.
    const QRect textRect = rect().adjusted(8, 0, -std::min(24, width() / 4), 0);
    const QString elided =
        fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
}

// ======================================================================= List control

CSFQTListCtrl::CSFQTListCtrl(ISFListCtrlEvent* sink) : CSFQTWidget(sink) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setShowGrid(false);
    // A cell too narrow for its text wraps it and may still cut it: the whole text is also the
    // cell's tool tip.
    setAlternatingRowColors(false);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(28);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    QObject::connect(horizontalHeader(), &QHeaderView::sectionResized, this,
                     [this](int column, int, int) { ElideTitle(column); });
    QObject::connect(this, &QTableWidget::itemSelectionChanged, this, [this] {
        if (m_pEvent != nullptr) {
            m_pEvent->OnSelected(GetFirstSelectedRow());
        }
    });
    ListCtrlStyle defaults;
    SetSkin(&defaults);
}

int CSFQTListCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id,
                          int /*flag*/) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTListCtrl::SetSkin(const ListCtrlStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    auto pick = [](const std::wstring& text, const QColor& fallback) {
        return text.empty() ? fallback : SFParseSkinColor(text);
    };
    const QColor headerBg = pick(style->headerBackground, QColor(240, 243, 248));
    const QColor headerText = pick(style->headerText, SFQt::kTextMuted);
    const QColor rowBg = pick(style->rowBackground, Qt::white);
    const QColor altBg = pick(style->alternateRowBackground, QColor(249, 250, 252));
    const QColor selected = pick(style->selectedBackground, QColor(232, 239, 255));
    const QColor text = pick(style->text, SFQt::kText);
    const QColor grid = pick(style->grid, SFQt::kBorder);
    setAlternatingRowColors(!style->alternateRowBackground.empty());
    setStyleSheet(
        QStringLiteral("QTableWidget { background: %1; alternate-background-color: %2; color: %3;"
                       " gridline-color: %4; selection-background-color: %5;"
                       " selection-color: %3; border: 0; outline: 0; }"
                       " QTableWidget::item { padding-left: 8px; border: 0; }"
                       " QTableWidget::item:selected { background: %5; color: %3; }"
                       " QHeaderView::section { background: %6; color: %7; border: 0;"
                       " border-bottom: 1px solid %4; padding: 4px %8px; font-weight: 600; }")
            .arg(CssColor(rowBg), CssColor(altBg), CssColor(text), CssColor(grid),
                 CssColor(selected), CssColor(headerBg), CssColor(headerText),
                 QString::number(kTitlePadding)));
    return 1;
}

int CSFQTListCtrl::InsertColumn(int index, const wchar_t* title, int format, int width,
                                int /*subItem*/) {
    const int at = std::clamp(index, 0, columnCount());
    insertColumn(at);
    auto* header = new QTableWidgetItem(FromW(title));
    header->setData(Qt::UserRole, header->text());  // the whole title, for ElideTitle
    header->setTextAlignment(Qt::Alignment(format != 0 ? format : SF_ALIGN_LEFT) |
                             Qt::AlignVCenter);
    setHorizontalHeaderItem(at, header);
    if (width > 0) {
        setColumnWidth(at, width);
    }
    ElideTitle(at);
    if (format != 0) {
        m_columnAlign[at] = format;
    }
    return at;
}

int CSFQTListCtrl::InsertColumnCheck(int index, const wchar_t* title, int width) {
    const int at = InsertColumn(index, title, SF_ALIGN_CENTER, width, 0);
    m_checkColumn = at;
    return at;
}

void CSFQTListCtrl::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < columnCount()) {
        setColumnWidth(column, std::max(0, width));
    }
}

void CSFQTListCtrl::SetColumnHidden(int column, int hidden) {
    if (column >= 0 && column < columnCount()) {
        setColumnHidden(column, hidden != 0);
    }
}

void CSFQTListCtrl::SetColumnTextAlign(int column, int flags) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    m_columnAlign[column] = flags;
    for (int row = 0; row < rowCount(); ++row) {
        if (QTableWidgetItem* it = item(row, column)) {
            it->setTextAlignment(Qt::Alignment(flags));
        }
    }
}

void CSFQTListCtrl::SetHeaderViewTextAlignLeft() {
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CSFQTListCtrl::SetHorizontalHeaderVisible(int visible) {
    horizontalHeader()->setVisible(visible != 0);
}

void CSFQTListCtrl::ElideTitle(int column) {
    QTableWidgetItem* header = horizontalHeaderItem(column);
    if (header == nullptr) {
        return;
    }
    const QString title = header->data(Qt::UserRole).toString();
    QFont font = horizontalHeader()->font();
    font.setBold(true);  // the style sheet's weight, or a little wider
    const int room = std::max(0, columnWidth(column) - 2 * kTitlePadding - 1);
    const QString shown = QFontMetrics(font).elidedText(title, Qt::ElideRight, room);
    header->setText(shown);
    header->setToolTip(shown == title ? QString() : title);
}

bool CSFQTListCtrl::ValidCell(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

QTableWidgetItem* CSFQTListCtrl::Cell(int row, int column) {
    if (!ValidCell(row, column)) {
        return nullptr;
    }
    QTableWidgetItem* it = item(row, column);
    if (it == nullptr) {
        it = new QTableWidgetItem();
        const auto align = m_columnAlign.find(column);
        it->setTextAlignment(align != m_columnAlign.end() ? Qt::Alignment(align->second)
                                                          : (Qt::AlignLeft | Qt::AlignVCenter));
        setItem(row, column, it);
    }
    return it;
}

int CSFQTListCtrl::InsertItem(int row, const wchar_t* text) {
    const int at = InsertRow(row);
    if (columnCount() == 0) {
        setColumnCount(1);
    }
    if (QTableWidgetItem* it = Cell(at, 0)) {
        it->setText(FromW(text));
        it->setToolTip(it->text());
    }
    return at;
}

int CSFQTListCtrl::InsertRow(int row) {
    const int at = std::clamp(row, 0, rowCount());
    insertRow(at);
    return at;
}

int CSFQTListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    removeRow(row);
    return 1;
}

int CSFQTListCtrl::SetItemText(int row, int column, const wchar_t* text) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setText(FromW(text));
    it->setToolTip(it->text());
    return 1;
}

int CSFQTListCtrl::GetItemText(int row, int column, wchar_t* buffer, int size) {
    if (!ValidCell(row, column)) {
        return -1;
    }
    const QTableWidgetItem* it = item(row, column);
    return SFQt::CopyOut(it != nullptr ? it->text() : QString(), buffer, size);
}

int CSFQTListCtrl::SetItemData(int row, uintptr_t value) {
    QTableWidgetItem* it = Cell(row, 0);
    if (it == nullptr) {
        return -1;
    }
    it->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(value));
    return 1;
}

uintptr_t CSFQTListCtrl::GetItemData(int row) {
    if (!ValidCell(row, 0) || item(row, 0) == nullptr) {
        return 0;
    }
    return static_cast<uintptr_t>(item(row, 0)->data(Qt::UserRole).toULongLong());
}

int CSFQTListCtrl::SetItemIcon(int row, int column, const wchar_t* image) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setIcon(QIcon(SFQt::LoadPicture(FromW(image))));
    return 1;
}

int CSFQTListCtrl::SetItemWidget(int row, int column, CSFControl* control) {
    if (!ValidCell(row, column) || control == nullptr || control->GetUIWnd() == nullptr) {
        return -1;
    }
    setCellWidget(row, column, static_cast<QWidget*>(control->GetUIWnd()));
    return 1;
}

int CSFQTListCtrl::SetRowColor(int row, SFCOLORREF color) {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    for (int c = 0; c < columnCount(); ++c) {
        Cell(row, c)->setBackground(SFQt::FromColorRef(color));
    }
    return 1;
}

int CSFQTListCtrl::SetTextColor(int row, int column, SFCOLORREF color) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setForeground(SFQt::FromColorRef(color));
    return 1;
}

int CSFQTListCtrl::SetItemToolTipText(int row, int column, const wchar_t* text) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setToolTip(FromW(text));
    return 1;
}

int CSFQTListCtrl::GetFirstSelectedRow() {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

int CSFQTListCtrl::SetRowSelected(int row) {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    selectRow(row);
    return 1;
}

int CSFQTListCtrl::SetItemSelected(int row, int column) {
    if (!ValidCell(row, column)) {
        return -1;
    }
    setCurrentCell(row, column);
    return 1;
}

int CSFQTListCtrl::GetFirstSelectedItemPosition() {
    const int row = GetFirstSelectedRow();
    return row < 0 ? 0 : row + 1;
}

int CSFQTListCtrl::GetNextSelectedItem(int& position) {
    if (position <= 0 || position > rowCount()) {
        position = 0;
        return -1;
    }
    const int row = position - 1;
    // Advance to the next selected row after this one (0 when none is left).
    position = 0;
    for (int r = row + 1; r < rowCount(); ++r) {
        if (selectionModel()->isRowSelected(r, QModelIndex())) {
            position = r + 1;
            break;
        }
    }
    return row;
}

int CSFQTListCtrl::SetCheck(int row, int check) {
    const int column = m_checkColumn >= 0 ? m_checkColumn : 0;
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
    it->setCheckState(check != 0 ? Qt::Checked : Qt::Unchecked);
    return 1;
}

int CSFQTListCtrl::GetCheck(int row) {
    const int column = m_checkColumn >= 0 ? m_checkColumn : 0;
    if (!ValidCell(row, column) || item(row, column) == nullptr) {
        return 0;
    }
    return item(row, column)->checkState() == Qt::Checked ? 1 : 0;
}

void CSFQTListCtrl::keyPressEvent(QKeyEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFListCtrlEvent::OnLVKeyPress, m_id, event->key())) {
        return;  // the sink destroyed this control
    }
    QTableWidget::keyPressEvent(event);
}
