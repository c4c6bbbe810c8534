#include "toolkit/qt/SFQTControls.h"

#include "toolkit/SFCustomEvent.h"

#include <QMouseEvent>
#include <QPainter>

using SFQt::FromW;
using SFQt::PointOf;

// ======================================================================= View

CSFQTView::CSFQTView(ISFViewEvent* sink) : CSFQTWidget(sink) {
    if (sink != nullptr) {
        sink->SetUIWnd(static_cast<QWidget*>(this));
    }
    SFQt::RegisterWindow(this);
}

CSFQTView::~CSFQTView() {
    SFQt::UnregisterWindow(this);
    if (m_pEvent != nullptr && m_pEvent->GetUIWnd() == static_cast<QWidget*>(this)) {
        m_pEvent->SetUIWnd(nullptr);
    }
}

int CSFQTView::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                      const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(FromW(title));
    ApplyCreate(parent, rect, style, id);
    if (m_pEvent != nullptr) {
        m_pEvent->OnCreate();
    }
    return 1;
}

void CSFQTView::SetBgColor(SFCOLORREF color, int fill) {
    m_background = fill != 0 ? SFQt::FromColorRef(color) : QColor();
    update();
}

void CSFQTView::paintEvent(QPaintEvent* /*event*/) {
    if (m_background.isValid()) {
        QPainter p(this);
        p.fillRect(rect(), m_background);
    }
}

void CSFQTView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnSize(0, width(), height());
    }
}

void CSFQTView::mousePressEvent(QMouseEvent* event) {
    if (m_pEvent != nullptr && event->button() == Qt::LeftButton) {
        m_pEvent->OnLButtonDown(0, PointOf(event));
    }
}

void CSFQTView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_pEvent != nullptr && event->button() == Qt::LeftButton) {
        m_pEvent->OnLButtonDblClk(0, PointOf(event));
    }
}

void CSFQTView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnEnter();
    }
}

void CSFQTView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnLeave();
    }
}

void CSFQTView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnShowWindow(1);
    }
}

void CSFQTView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnShowWindow(0);
    }
}

void CSFQTView::customEvent(QEvent* event) {
    if (event->type() != CSFCustomEvent::EventType()) {
        QWidget::customEvent(event);
        return;
    }
    int handled = 0;
    if (SFQt::DeliverToMap(this, m_pEvent, *static_cast<const CSFCustomEvent*>(event), handled)) {
        event->setAccepted(handled != 0);
    }
}
