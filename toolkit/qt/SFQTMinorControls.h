#pragma once
// Control kinds the program does not use: thin classes over their Qt widgets with the common
// contract (Create, show/hide, move, enable, texts), Qt's own look and no skin of their own.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QFrame>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <map>

class CSFQTFrame final : public SFQt::CSFQTWidget<QFrame, CSFFrameWnd> {
public:
    explicit CSFQTFrame(ISFFrameEvent* sink) : CSFQTWidget(sink) {}
    int Create(const wchar_t* className, const wchar_t* title, uint32_t style, const tagRECT* rect,
               void* parent, const wchar_t* menuName, uint32_t exStyle, void* param) override;
};

class CSFQTChildWnd final : public SFQt::CSFQTWidget<QWidget, CSFChildWnd> {
public:
    explicit CSFQTChildWnd(ISFChildWndEvent* sink) : CSFQTWidget(sink) {}
    int Create(uint32_t id, const wchar_t* name, uint32_t flag) override;
};

class CSFQTCheckBox final : public SFQt::CSFQTWidget<QPushButton, CSFCheckBox> {
public:
    explicit CSFQTCheckBox(ISFCheckBoxEvent* sink);
    int Create(const char* text8, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    void SetCheck(int check) override { setChecked(check != 0); }
    int GetCheck() override { return isChecked() ? 1 : 0; }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override { setText(t); }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
};

class CSFQTPictureEx final : public SFQt::CSFQTWidget<QLabel, CSFPictureEx> {
public:
    explicit CSFQTPictureEx(ISFPictureExEvent* sink) : CSFQTWidget(sink) {}
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    // Animated images (GIF) play; still ones are shown scaled.
    int SetImage(const wchar_t* path) override;
};

class CSFQTGroupBox final : public SFQt::CSFQTWidget<QGroupBox, CSFGroupBox> {
public:
    explicit CSFQTGroupBox(ISFGroupBoxEvent* sink) : CSFQTWidget(sink) {}
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;

protected:
    QString ControlText() const override { return title(); }
    void SetControlText(const QString& t) override { setTitle(t); }
};

class CSFQTListBox final : public SFQt::CSFQTWidget<QListWidget, CSFListBox> {
public:
    explicit CSFQTListBox(ISFListBoxEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    int AddString(const wchar_t* text) override;
    int GetCount() override { return count(); }
    int GetCurSel() override { return currentRow(); }
    int SetCurSel(int index) override;
    void ResetContent() override { clear(); }
};

class CSFQTTreeCtrl final : public SFQt::CSFQTWidget<QTreeWidget, CSFTreeCtrl> {
public:
    explicit CSFQTTreeCtrl(ISFTreeCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    int InsertItem(const wchar_t* text) override;
    void DeleteAllItems() override { clear(); }
};

class CSFQTSliderCtrl final : public SFQt::CSFQTWidget<QSlider, CSFSliderCtrl> {
public:
    explicit CSFQTSliderCtrl(ISFSliderCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetRange(int min, int max) override { setRange(min, max); }
    void SetPos(int pos) override { setValue(pos); }
    int GetPos() override { return value(); }
};

class CSFQTProgressCtrl final : public SFQt::CSFQTWidget<QProgressBar, CSFProgressCtrl> {
public:
    explicit CSFQTProgressCtrl(ISFProgressCtrlEvent* sink) : CSFQTWidget(sink) {}
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetRange(int min, int max) override { setRange(min, max); }
    void SetPos(int pos) override { setValue(pos); }
    int GetPos() override { return value(); }
};

class CSFQTDateTimeCtrl final : public SFQt::CSFQTWidget<QDateTimeEdit, CSFDateTimeCtrl> {
public:
    explicit CSFQTDateTimeCtrl(ISFDateTimeCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
};

class CSFQtCalendarCtrl final : public SFQt::CSFQTWidget<QCalendarWidget, CSFCalendarCtrl> {
public:
    explicit CSFQtCalendarCtrl(ISFCalendarCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
};

class CSFQTImagePanel final : public SFQt::CSFQTWidget<QWidget, CSFImagePanel> {
public:
    explicit CSFQTImagePanel(ISFImagePanelEvent* sink) : CSFQTWidget(sink) {}
    int Create(const wchar_t* text, const tagRECT* rect, void* parent, uint32_t id) override;
};

// Items are kept by id with their information; each is shown as a row of text.
class CSFQTGraphicList final : public SFQt::CSFQTWidget<QListWidget, CSFGraphicList> {
public:
    explicit CSFQTGraphicList(ISFGraphicListEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    int AddListItem(const tagGListItem_Info* info) override;
    int DeleteListItem(int itemId) override;
    void DeleteAllListItem() override;
    void DeleteSelectedItem() override;
    int GetItemInfoByID(int itemId, tagGListItem_Info* info) override;
    int GetItemNumber() override { return static_cast<int>(m_items.size()); }
    int IsItemIDExist(int itemId) override { return m_items.count(itemId) != 0 ? 1 : 0; }
    int SetItemPicture(int itemId, const wchar_t* path) override;
    int SetItemFileTime(int itemId, const wchar_t* text) override;
    int SetItemFileSize(int itemId, const wchar_t* text) override;
    int SetItemProgressPos(int itemId, int pos) override;
    int SetItemSelected(int itemId, int selected) override;
    void ChangeOthersSelectedState(int itemId) override;
    void SetItemSize(int cx, int cy) override;
    int SetItemBtnSkin(const ImageButtonStyle* style) override { return style != nullptr; }

private:
    QListWidgetItem* Row(int itemId) const;
    void Refresh(int itemId);
    std::map<int, tagGListItem_Info> m_items;
};

class CSFQTPlayProgressPanel final : public SFQt::CSFQTWidget<QWidget, CSFPlayProgressPanel> {
public:
    explicit CSFQTPlayProgressPanel(IPlayProgressEvent* sink) : CSFQTWidget(sink) {}
};
