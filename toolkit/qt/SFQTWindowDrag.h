#pragma once
// Moving and resizing a frameless top-level window with the pointer. The window system does it
// where it can (QWindow::startSystemMove / startSystemResize, which also work on Wayland);
// where it refuses (offscreen, X without a window manager that supports it) the window follows
// the mouse moves of the held button by hand. A press on the resize border only ever resizes,
// a press on a movable area only ever moves. GUI thread only.
#include <QPoint>
#include <QRect>

class QWidget;

class CSFQTWindowDrag {
public:
    explicit CSFQTWindowDrag(QWidget* window) : m_window(window) {}

    // Which border a point lies on: within `band` pixels inside or outside `frame`'s edges
    // (corners give two edges); none elsewhere.
    static Qt::Edges EdgesAt(const QRect& frame, const QPoint& pos, int band);
    // The pointer shape over those edges (the arrow when none).
    static Qt::CursorShape CursorFor(Qt::Edges edges);

    // A left press at the global position: resize by `edges`, or move the window.
    void BeginResize(Qt::Edges edges, const QPoint& globalPos);
    void BeginMove(const QPoint& globalPos);
    // A mouse move with the left button held: a manual move or resize follows the pointer. A
    // moved window keeps its top between the available area's top and 20 pixels above its
    // bottom; a resized one keeps within its minimum and maximum size, the opposite edges
    // staying where they were.
    void Follow(const QPoint& globalPos);
    // The release: a manual move ends with the window kept reachable (top inside the available
    // area, at least 40 pixels of it on the area horizontally, whichever edge a task bar holds).
    void End();
    // The window was hidden: whatever was going on stops.
    void Cancel() { m_mode = Mode::None; }

private:
    enum class Mode { None, Move, Resize };

    QWidget* m_window;
    Mode m_mode = Mode::None;
    Qt::Edges m_edges;
    QPoint m_pressGlobal;
    QRect m_startGeometry;
};
