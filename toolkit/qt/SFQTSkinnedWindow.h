#pragma once
// Skinned frameless top-level windows: CSFQTDialog (on QDialog) and CSFQTMainWindow (on
// QMainWindow), both implementing CSFDialog and reporting to an ISFDialogEvent.
//
// The frame is composed from one image by twelve pieces (ComposeFrame); four title-bar
// buttons sit at their skin positions (CSFQTTitleButtons). A press on the title area (or, on a
// resizable window, on any free area) moves the window, a press within 6 pixels of the frame's
// edge of a resizable window resizes it (CSFQTWindowDrag: through the window system where it
// can, by hand where it refuses).
//
// Closing: the title bar's close button, QWidget::close, SFPostUIMessage(window, SF_UI_CLOSE, 0)
// and SendDlgMessage(SF_UI_CLOSE, 0, 0) all take one path: the sink's Dlg_Close decides (a
// non-zero result keeps the window open), then the Qt window closes (a dialog is rejected, a
// main window's modal run ends with 2). The close button and the close message act queued, so
// the handler that caused them returns first.
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
#include "toolkit/qt/SFQTTitleButtons.h"
#include "toolkit/qt/SFQTWindowDrag.h"

#include <QDialog>
#include <QMainWindow>
#include <QPixmap>

#include <map>

class QLabel;
class QPainter;
class QEventLoop;

// The composition of a frame of size `size` from `frame` (pieces in DialogStyle order), over a
// background image scaled to the size or, without one, a fill with `background`. Pieces are
// copied unscaled; a repeated piece (B, K horizontally, E, H vertically) is drawn whole in
// steps of its size while it starts before the next fixed piece, which covers any overhang.
// An empty repeated piece is skipped. A null frame image composes the background only.
// Pieces are given in logical pixels; a frame image of device pixel ratio 2 (a skin "@2x" twin)
// is cut at twice their rectangles and the result has ratio 2 and the same logical size.
QPixmap SFComposeFrame(const QPixmap& frame, const QRect pieces[12], const QPixmap& background,
                       const QColor& backgroundColor, QSize size);
// The same frame painted on p with its top left corner at origin, over what p's device already
// shows there: where a piece has transparent pixels, that shows through, not the background.
// An opaque window's first paint at a size paints its frame this way; its later paints at that
// size, and a translucent window's, copy the composition.
void SFPaintFrame(QPainter& p, QPoint origin, const QPixmap& frame, const QRect pieces[12],
                  const QPixmap& background, const QColor& backgroundColor, QSize size);

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
    // window coordinates (empty when it does not exist) and its state, the active shadow width.
    const QPixmap& ComposedFrame() const;
    QRect TitleButtonRect(SFTitleButton button) const;
    SFTitleButtonState TitleButtonState(SFTitleButton button) const {
        return m_titleButtons.State(button);
    }
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
    QPoint FrameOrigin() const { return QPoint(ShadowWidth(), ShadowWidth()); }
    QSize FrameSize() const;
    // What a title button does when released on itself; queued, as the window system's own
    // title buttons act, so the handler that caused it returns first and a window destroyed
    // meanwhile receives nothing.
    void ButtonAction(SFTitleButton button);
    void DropComposedFrame() const;
    void PlaceTitle();
    void UpdateOutline();
    void ApplyTranslucency();

    QPixmap m_frameImage;
    QPixmap m_backgroundImage;
    QColor m_backgroundColor = SFQt::kSurface;
    QRect m_pieces[12];
    CSFQTTitleButtons m_titleButtons{this};
    CSFQTWindowDrag m_drag{this};
    bool m_skinned = false;
    mutable QPixmap m_composed;  // composed lazily (ComposedFrame), dropped by any change
    QSize m_lastPaintedSize;     // the frame's size at the last paint of an opaque window

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
