#pragma once
// Views: plain child windows whose sink has a message map, and the wall preview's window. Each
// derives from its Qt widget first and its abstract control second; the toolkit hands out the
// abstract part only. GUI thread only; a null sink is allowed everywhere. The other control
// families have their own files (SFQTButtons, SFQTLabels, SFQTEdits, SFQTLists, SFQTScrollMenu).
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QWidget>

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
