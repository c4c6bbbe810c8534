#include "toolkit/qt/SFQTMinorControls.h"

#include <QMouseEvent>
#include <QMovie>

using SFQt::FromW;

int CSFQTFrame::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                       const tagRECT* rect, void* parent, const wchar_t* /*menuName*/,
                       uint32_t /*exStyle*/, void* /*param*/) {
    setWindowTitle(FromW(title));
    ApplyCreate(parent, rect, style, 0);
    if (m_pEvent != nullptr) {
        m_pEvent->OnFrameCreate();
    }
    return 1;
}

int CSFQTChildWnd::Create(uint32_t id, const wchar_t* name, uint32_t /*flag*/) {
    setObjectName(FromW(name));
    m_id = id;
    return 1;
}

CSFQTCheckBox::CSFQTCheckBox(ISFCheckBoxEvent* sink) : CSFQTWidget(sink) {
    setCheckable(true);
}

int CSFQTCheckBox::Create(const char* text8, uint32_t style, const tagRECT* rect, void* parent,
                          uint32_t id) {
    setText(QString::fromUtf8(text8 != nullptr ? text8 : ""));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

void CSFQTCheckBox::mousePressEvent(QMouseEvent* event) {
    if (m_pEvent != nullptr) {
        m_pEvent->BTN_OnLButtonDown();
    }
    QPushButton::mousePressEvent(event);
}

void CSFQTCheckBox::mouseReleaseEvent(QMouseEvent* event) {
    if (m_pEvent != nullptr) {
        m_pEvent->BTN_OnLButtonUp();
    }
    QPushButton::mouseReleaseEvent(event);
}

void CSFQTCheckBox::enterEvent(QEnterEvent* event) {
    if (m_pEvent != nullptr) {
        m_pEvent->BTN_OnMouseMove();
    }
    QPushButton::enterEvent(event);
}

int CSFQTPictureEx::Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
                           uint32_t id) {
    setText(FromW(text));
    setScaledContents(true);
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTPictureEx::SetImage(const wchar_t* path) {
    const QString p = FromW(path);
    if (p.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive)) {
        auto* movie = new QMovie(p, QByteArray(), this);
        if (movie->isValid()) {
            setMovie(movie);
            movie->start();
            return 1;
        }
        delete movie;
    }
    const QPixmap pm = SFQt::LoadPicture(p);
    setPixmap(pm);
    return pm.isNull() ? 0 : 1;
}

int CSFQTGroupBox::Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
                          uint32_t id) {
    setTitle(FromW(text));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

CSFQTListBox::CSFQTListBox(ISFListBoxEvent* sink) : CSFQTWidget(sink) {
    QObject::connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_pEvent != nullptr) {
            m_pEvent->OnListBoxSelected(m_id, row);
        }
    });
}

int CSFQTListBox::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTListBox::AddString(const wchar_t* text) {
    addItem(FromW(text));
    return count() - 1;
}

int CSFQTListBox::SetCurSel(int index) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    setCurrentRow(index);
    return index;
}

CSFQTTreeCtrl::CSFQTTreeCtrl(ISFTreeCtrlEvent* sink) : CSFQTWidget(sink) {
    setHeaderHidden(true);
    QObject::connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (m_pEvent != nullptr && item != nullptr) {
            m_pEvent->OnTreeItemClicked(m_id, item->text(0).toStdWString().c_str());
        }
    });
}

int CSFQTTreeCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTTreeCtrl::InsertItem(const wchar_t* text) {
    addTopLevelItem(new QTreeWidgetItem(QStringList{FromW(text)}));
    return topLevelItemCount() - 1;
}

CSFQTSliderCtrl::CSFQTSliderCtrl(ISFSliderCtrlEvent* sink) : CSFQTWidget(sink) {
    setOrientation(Qt::Horizontal);
    QObject::connect(this, &QSlider::valueChanged, this, [this](int v) {
        if (m_pEvent != nullptr) {
            m_pEvent->SF_OnSliderPos(m_id, v);
        }
    });
}

int CSFQTSliderCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTProgressCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

CSFQTDateTimeCtrl::CSFQTDateTimeCtrl(ISFDateTimeCtrlEvent* sink) : CSFQTWidget(sink) {
    QObject::connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (m_pEvent != nullptr) {
            m_pEvent->OnDateTimeChanged(m_id);
        }
    });
}

int CSFQTDateTimeCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

CSFQtCalendarCtrl::CSFQtCalendarCtrl(ISFCalendarCtrlEvent* sink) : CSFQTWidget(sink) {
    QObject::connect(this, &QCalendarWidget::clicked, this, [this](QDate d) {
        if (m_pEvent != nullptr) {
            m_pEvent->OnDateSelected(m_id, d.year(), d.month(), d.day());
        }
    });
}

int CSFQtCalendarCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTImagePanel::Create(const wchar_t* text, const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(FromW(text));
    ApplyCreate(parent, rect, 0, id, false);
    return 1;
}

CSFQTGraphicList::CSFQTGraphicList(ISFGraphicListEvent* sink) : CSFQTWidget(sink) {
    QObject::connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (m_pEvent != nullptr && item != nullptr) {
            m_pEvent->OnListItemClick(item->data(Qt::UserRole).toInt());
        }
    });
    QObject::connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (m_pEvent != nullptr && item != nullptr) {
            m_pEvent->OnListItemDbClick(item->data(Qt::UserRole).toInt());
        }
    });
}

int CSFQTGraphicList::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

QListWidgetItem* CSFQTGraphicList::Row(int itemId) const {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(Qt::UserRole).toInt() == itemId) {
            return item(i);
        }
    }
    return nullptr;
}

void CSFQTGraphicList::Refresh(int itemId) {
    const auto found = m_items.find(itemId);
    QListWidgetItem* row = Row(itemId);
    if (found == m_items.end() || row == nullptr) {
        return;
    }
    const tagGListItem_Info& info = found->second;
    QString text = QString::fromStdWString(info.title);
    if (!info.fileSize.empty()) {
        text += QStringLiteral("  ") + QString::fromStdWString(info.fileSize);
    }
    row->setText(text);
    row->setSelected(info.selected);
    const QPixmap pm = SFQt::LoadPicture(QString::fromStdWString(info.picture));
    row->setIcon(pm.isNull() ? QIcon() : QIcon(pm));
}

int CSFQTGraphicList::AddListItem(const tagGListItem_Info* info) {
    if (info == nullptr || m_items.count(info->itemId) != 0) {
        return 0;
    }
    m_items[info->itemId] = *info;
    auto* row = new QListWidgetItem(this);
    row->setData(Qt::UserRole, info->itemId);
    Refresh(info->itemId);
    return 1;
}

int CSFQTGraphicList::DeleteListItem(int itemId) {
    QListWidgetItem* row = Row(itemId);
    if (row == nullptr) {
        return 0;
    }
    m_items.erase(itemId);
    delete row;
    if (m_pEvent != nullptr) {
        m_pEvent->OnListItemDelete(itemId);
    }
    return 1;
}

void CSFQTGraphicList::DeleteAllListItem() {
    m_items.clear();
    clear();
}

void CSFQTGraphicList::DeleteSelectedItem() {
    std::vector<int> ids;
    for (const auto& [id, info] : m_items) {
        if (info.selected) {
            ids.push_back(id);
        }
    }
    for (int id : ids) {
        DeleteListItem(id);
    }
}

int CSFQTGraphicList::GetItemInfoByID(int itemId, tagGListItem_Info* info) {
    const auto found = m_items.find(itemId);
    if (found == m_items.end() || info == nullptr) {
        return 0;
    }
    *info = found->second;
    return 1;
}

int CSFQTGraphicList::SetItemPicture(int itemId, const wchar_t* path) {
    const auto found = m_items.find(itemId);
    if (found == m_items.end()) {
        return 0;
    }
    found->second.picture = path != nullptr ? path : L"";
    Refresh(itemId);
    return 1;
}

int CSFQTGraphicList::SetItemFileTime(int itemId, const wchar_t* text) {
    const auto found = m_items.find(itemId);
    if (found == m_items.end()) {
        return 0;
    }
    found->second.fileTime = text != nullptr ? text : L"";
    return 1;
}

int CSFQTGraphicList::SetItemFileSize(int itemId, const wchar_t* text) {
    const auto found = m_items.find(itemId);
    if (found == m_items.end()) {
        return 0;
    }
    found->second.fileSize = text != nullptr ? text : L"";
    Refresh(itemId);
    return 1;
}

int CSFQTGraphicList::SetItemProgressPos(int itemId, int pos) {
    const auto found = m_items.find(itemId);
    if (found == m_items.end()) {
        return 0;
    }
    found->second.progress = pos;
    return 1;
}

int CSFQTGraphicList::SetItemSelected(int itemId, int selected) {
    const auto found = m_items.find(itemId);
    if (found == m_items.end()) {
        return 0;
    }
    found->second.selected = selected != 0;
    Refresh(itemId);
    return 1;
}

void CSFQTGraphicList::ChangeOthersSelectedState(int itemId) {
    for (auto& [id, info] : m_items) {
        if (id != itemId && info.selected) {
            info.selected = false;
            Refresh(id);
        }
    }
}

void CSFQTGraphicList::SetItemSize(int cx, int cy) {
    for (int i = 0; i < count(); ++i) {
        item(i)->setSizeHint(QSize(std::max(0, cx), std::max(0, cy)));
    }
}
