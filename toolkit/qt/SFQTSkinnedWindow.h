#pragma once
// Skinned frameless top-level windows: CSFQTDialog (on QDialog) and CSFQTMainWindow (on
// QMainWindow), both implementing CSFDialog and reporting to an ISFDialogEvent.
//
// The frame is composed from one image by twelve pieces (ComposeFrame); four title-bar
// buttons sit at their skin positions (button 1 closes, 2 maximises/restores, 3 minimises,
// 4 only changes its picture). Moving and resizing go through the window system
// (QWindow::startSystemMove / startSystemResize, which also work on Wayland); where the
// platform refuses them (offscreen) the window moves itself while the title is dragged.
//
// Shadow and outline: a translucent drop shadow needs a compositor. With one (Wayland, or X
// with a compositing manager) and SetFrameShadow(true), the window background is translucent,
// a shadow band of 10 pixels surrounds the frame and the rounded outline is antialiased.
// Without one the window stays opaque, has no shadow, and rounded corners come from a window
// mask. A skin whose frame image does not load composes nothing: the window shows the plain
// light surface. The shadow band is part of the window: the frame and every skin coordinate start
// at (s, s) with s the active shadow width (0 without shadow); GetDlgClientRect gives that inner
// rectangle.
//
// GUI thread only. The sink must outlive the window.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QDialog>
#include <QMainWindow>
#include <QPixmap>

#include <map>

class QLabel;
class QEventLoop;

// The composition of a frame of size `size` from `frame` (pieces in DialogStyle order), over a
// background image scaled to the size or, without one, a fill with `background`. Pieces are
// copied unscaled; a repeated piece (B, K horizontally, E, H vertically) is drawn whole in
// steps of its size while it starts before the next fixed piece, which covers any overhang.
// An empty repeated piece is skipped. A null frame image composes the background only.
QPixmap SFComposeFrame(const QPixmap& frame, const QRect pieces[12], const QPixmap& background,
                       const QColor& backgroundColor, QSize size);

template <class QtBase>
class CSFQTSkinnedWindow : public QtBase, public CSFDialog {
public:
    CSFQTSkinnedWindow(ISFDialogEvent* sink, QWidget* parent, Qt::WindowFlags flags);
    ~CSFQTSkinnedWindow() override;

    // CSFControl
    int ShowWindow(int show) override;
    int MoveWindow(const tagRECT* rect) override;
    int MoveWindow(int x, int y, int cx, int cy) override;
    int EnableWindow(int enable) override;
    int GetWindowTextW(wchar_t* buffer, int size) override;
    void SetWindowTextW(const wchar_t* title) override;
    void* GetUIWnd() override { return static_cast<QWidget*>(this); }

    // CSFDialog
    int CreateDlg(void* parent) override;
    int DoModalDlg() override;
    int Create(const wchar_t* title, void* parent) override;
    void MFCOK() override;
    void MFCCancel() override;
    void CenterWindow(void* parent) override;
    int SetSkin(const DialogStyle* style) override;
    void Screen2Client(tagPOINT* pt) override;
    void Screen2Client(tagRECT* rect) override;
    void GetDlgClientRect(tagRECT* rect) override;
    void GetDlgWindowRect(tagRECT* rect) override;
    intptr_t SendDlgMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
    int IsDlgZoomed() override { return this->isMaximized() ? 1 : 0; }
    void SetDrawBackGround(int draw) override;
    int DlgIsWindow() override { return 1; }
    int SetDlgWindowPos(void* insertAfter, int x, int y, int cx, int cy, uint32_t flags) override;
    void SetDlgIcon(const wchar_t* path) override;
    int IsDlgVisible() override { return this->isVisible() ? 1 : 0; }
    void EnableNcLBtnDown(int enable) override { m_ncLButtonDown = enable != 0; }
    int SetDlgTimer(uint32_t id, uint32_t ms) override;
    int KillDlgTimer(uint32_t id) override;
    void SetSizeRoundCorner(const wchar_t* radii) override;
    void MacShowFullScreen(bool on) override;
    void MacShowMinimize(bool on) override;
    void MacShowMaximize(bool on) override;
    int HasFocus() override { return this->hasFocus() ? 1 : 0; }
    void SetFocus() override { this->setFocus(); }
    int IsActiveWindow() override { return this->isActiveWindow() ? 1 : 0; }
    void ActiveWindow() override { this->activateWindow(); }
    void VariableSize(bool on) override { m_resizable = on; }
    void SetMinimumSize(int cx, int cy) override { this->setMinimumSize(cx, cy); }
    void SetFrameShadow(bool on) override;
    void SetTitleToTopDistance(int y) override;
    void SetCanMoved(bool on) override;

    // Inspection (tests, tools): the composed frame, a title-bar button's current rectangle in
    // window coordinates and its state (0 normal, 1 hover, 2 pressed), the active shadow width.
    const QPixmap& ComposedFrame() const;
    QRect TitleButtonRect(int button) const;
    int TitleButtonState(int button) const;
    int ShadowWidth() const { return m_shadowOn ? m_shadowWidth : 0; }
    QLabel* TitleLabel() const { return m_titleLabel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Accept / reject of the modal run (QDialog's own for dialogs).
    void EndModal(int result);

private:
    struct TitleButton {
        QRect position;  // as given by the skin (negative x: from the right edge)
        QRect states[3];
        QPixmap images[3];
        bool Exists() const { return !position.isEmpty(); }
    };

    QPoint FrameOrigin() const { return QPoint(ShadowWidth(), ShadowWidth()); }
    QSize FrameSize() const;
    QRect CurrentButtonRect(int button) const;  // frame coordinates
    int ButtonAt(const QPoint& framePos) const;
    void SetButtonState(int button, int state);
    void ButtonAction(int button);
    void Recompose() const;
    void PlaceTitle();
    void UpdateOutline();
    void ApplyTranslucency();
    Qt::Edges ResizeEdgesAt(const QPoint& pos) const;
    void ClampAfterDrag();

    QPixmap m_frameImage;
    QPixmap m_backgroundImage;
    QColor m_backgroundColor = SFQt::kSurface;
    QRect m_pieces[12];
    TitleButton m_buttons[5];  // 1..4
    int m_skinWidth = 0;       // width when the skin was read: positive-x buttons shift from it
    bool m_skinned = false;
    mutable QPixmap m_composed;  // recomposed lazily when the frame size changed

    int m_activeButton = 0;  // 0 none, 1-4
    int m_activeState = 0;   // 0 normal, 1 hover, 2 pressed

    bool m_dragging = false;
    QPoint m_dragOffset;
    bool m_ncLButtonDown = true;
    bool m_movable = true;
    bool m_resizable = false;
    bool m_shadowOn = false;
    int m_shadowWidth = 10;
    bool m_drawBackground = true;
    QPoint m_cornerRadii;

    QLabel* m_titleLabel = nullptr;
    QColor m_titleColor = SFQt::kText;
    int m_titleAlign = 0;
    int m_titleTop = -1;  // -1: centred in the title area
    QRect m_titleArea;

    std::map<uint32_t, int> m_timers;   // application id → Qt timer id
    QEventLoop* m_modalLoop = nullptr;  // main window modal run
    int m_modalResult = 0;
};

class CSFQTDialog final : public CSFQTSkinnedWindow<QDialog> {
public:
    CSFQTDialog(ISFDialogEvent* sink, QWidget* parent, Qt::WindowFlags flags)
        : CSFQTSkinnedWindow<QDialog>(sink, parent, flags) {}
};

class CSFQTMainWindow final : public CSFQTSkinnedWindow<QMainWindow> {
public:
    CSFQTMainWindow(ISFDialogEvent* sink, QWidget* parent)
        : CSFQTSkinnedWindow<QMainWindow>(sink, parent, Qt::Window) {}
};

extern template class CSFQTSkinnedWindow<QDialog>;
extern template class CSFQTSkinnedWindow<QMainWindow>;
