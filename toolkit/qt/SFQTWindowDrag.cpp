#include "toolkit/qt/SFQTWindowDrag.h"

#include "toolkit/qt/SFQTCommon.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// A moved window keeps its title bar on the screen: its top stays between the area's top and
// 20 pixels above its bottom.
int ClampTop(int top, const QRect& area) {
    return std::clamp(top, area.top(), std::max(area.top(), area.bottom() - 20));
}

// The new [first, last] extent of one axis when the pointer moved by `delta`: the dragged side
// follows, the other stays, and the length keeps within [minimum, maximum].
void ResizeAxis(int& first, int& last, int delta, bool dragFirst, bool dragLast, int minimum,
                int maximum) {
    if (dragFirst) {
        first = std::clamp(first + delta, last + 1 - maximum, last + 1 - minimum);
    } else if (dragLast) {
        last = first - 1 + std::clamp(last - first + 1 + delta, minimum, maximum);
    }
}

}  // namespace

Qt::Edges CSFQTWindowDrag::EdgesAt(const QRect& frame, const QPoint& pos, int band) {
    Qt::Edges edges;
    if (!frame.adjusted(-band, -band, band, band).contains(pos)) {
        return edges;
    }
    if (pos.x() < frame.left() + band) {
        edges |= Qt::LeftEdge;
    } else if (pos.x() > frame.right() - band) {
        edges |= Qt::RightEdge;
    }
    if (pos.y() < frame.top() + band) {
        edges |= Qt::TopEdge;
    } else if (pos.y() > frame.bottom() - band) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

Qt::CursorShape CSFQTWindowDrag::CursorFor(Qt::Edges edges) {
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge)) {
        return Qt::SizeFDiagCursor;
    }
    if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge)) {
        return Qt::SizeBDiagCursor;
    }
    if (edges & (Qt::LeftEdge | Qt::RightEdge)) {
        return Qt::SizeHorCursor;
    }
    if (edges & (Qt::TopEdge | Qt::BottomEdge)) {
        return Qt::SizeVerCursor;
    }
    return Qt::ArrowCursor;
}

void CSFQTWindowDrag::BeginResize(Qt::Edges edges, const QPoint& globalPos) {
    m_mode = Mode::None;
    QWindow* handle = m_window->windowHandle();
    if (handle != nullptr && handle->startSystemResize(edges)) {
        return;
    }
    m_mode = Mode::Resize;
    m_edges = edges;
    m_pressGlobal = globalPos;
    m_startGeometry = m_window->geometry();
}

void CSFQTWindowDrag::BeginMove(const QPoint& globalPos) {
    m_mode = Mode::None;
    QWindow* handle = m_window->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return;
    }
    m_mode = Mode::Move;
    m_pressGlobal = globalPos;
    m_startGeometry = QRect(m_window->pos(), m_window->size());
}

void CSFQTWindowDrag::Follow(const QPoint& globalPos) {
    const QPoint delta = globalPos - m_pressGlobal;
    if (m_mode == Mode::Move) {
        QPoint target = m_startGeometry.topLeft() + delta;
        const QRect area = SFQt::ScreenArea(m_window);
        if (area.isValid()) {
            target.setY(ClampTop(target.y(), area));
        }
        m_window->move(target);
    } else if (m_mode == Mode::Resize) {
        const QSize minimum = m_window->minimumSize().expandedTo(QSize(1, 1));
        const QSize maximum = m_window->maximumSize();
        int left = m_startGeometry.left(), right = m_startGeometry.right();
        int top = m_startGeometry.top(), bottom = m_startGeometry.bottom();
        ResizeAxis(left, right, delta.x(), m_edges.testFlag(Qt::LeftEdge),
                   m_edges.testFlag(Qt::RightEdge), minimum.width(), maximum.width());
        ResizeAxis(top, bottom, delta.y(), m_edges.testFlag(Qt::TopEdge),
                   m_edges.testFlag(Qt::BottomEdge), minimum.height(), maximum.height());
        m_window->setGeometry(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
}

void CSFQTWindowDrag::End() {
    const bool moved = m_mode == Mode::Move;
    m_mode = Mode::None;
    const QRect area = SFQt::ScreenArea(m_window);
    if (!moved || !area.isValid()) {
        return;
    }
    QPoint p = m_window->pos();
    const int w = m_window->width();
    p.setY(ClampTop(p.y(), area));
    p.setX(
        std::clamp(p.x(), area.left() - w + 40, std::max(area.left() - w + 40, area.right() - 40)));
    if (p != m_window->pos()) {
        m_window->move(p);
    }
}
