#include "toolkit/qt/SFQTSkinnedWindow.h"

#include "toolkit/SFCustomEvent.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include <cmath>
#include <type_traits>

namespace {

constexpr int kResizeBand = 6;

// A rectangle with a non-positive side is no piece at all.
QRect Piece(const QRect& r) {
    return (r.width() > 0 && r.height() > 0) ? r : QRect(r.x(), r.y(), 0, 0);
}

QRect ScreenArea(const QWidget* w) {
    const QScreen* screen = w->screen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

}  // namespace

QPixmap SFComposeFrame(const QPixmap& frame, const QRect pieces[12], const QPixmap& background,
                       const QColor& backgroundColor, QSize size) {
    if (size.width() <= 0 || size.height() <= 0) {
        return QPixmap();
    }
    QPixmap out(size);
    out.fill(Qt::transparent);
    QPainter p(&out);
    const int W = size.width();
    const int Hh = size.height();
    if (!background.isNull()) {
        p.drawPixmap(QRect(0, 0, W, Hh), background);
    } else if (backgroundColor.isValid()) {
        p.fillRect(QRect(0, 0, W, Hh), backgroundColor);
    }
    if (frame.isNull()) {
        return out;
    }
    p.setCompositionMode(QPainter::CompositionMode_Source);
    auto draw = [&](const QRect& src, int x, int y) {
        if (src.width() > 0 && src.height() > 0) {
            p.drawPixmap(QPoint(x, y), frame, src);
        }
    };
    const QRect A = Piece(pieces[0]), B = Piece(pieces[1]), C = Piece(pieces[2]);
    const QRect D = Piece(pieces[3]), E = Piece(pieces[4]), F = Piece(pieces[5]);
    const QRect J = Piece(pieces[6]), K = Piece(pieces[7]), L = Piece(pieces[8]);
    const QRect I = Piece(pieces[9]), H = Piece(pieces[10]), G = Piece(pieces[11]);

    // Top.
    draw(A, 0, 0);
    if (B.width() > 0) {
        for (int x = A.width(); x < W - C.width(); x += B.width()) {
            draw(B, x, 0);
        }
    }
    draw(C, W - C.width(), 0);
    // Left edge.
    draw(D, 0, A.height());
    if (E.height() > 0) {
        for (int y = A.height() + D.height(); y < Hh - F.height() - J.height(); y += E.height()) {
            draw(E, 0, y);
        }
    }
    draw(F, 0, Hh - F.height() - J.height());
    // Right edge.
    draw(G, W - G.width(), A.height());
    if (H.height() > 0) {
        for (int y = A.height() + G.height(); y < Hh - I.height() - J.height(); y += H.height()) {
            draw(H, W - H.width(), y);
        }
    }
    draw(I, W - I.width(), Hh - I.height() - J.height());
    // Bottom.
    draw(J, 0, Hh - J.height());
    if (K.width() > 0) {
        for (int x = J.width(); x < W - L.width(); x += K.width()) {
            draw(K, x, Hh - K.height());
        }
    }
    draw(L, W - L.width(), Hh - L.height());
    return out;
}

template <class QtBase>
CSFQTSkinnedWindow<QtBase>::CSFQTSkinnedWindow(ISFDialogEvent* sink, QWidget* parent,
                                               Qt::WindowFlags flags)
    : QtBase(parent, flags | (std::is_same_v<QtBase, QDialog> ? Qt::Dialog : Qt::Window) |
                         Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint),
      CSFDialog(sink) {
    if (SFQt::CompositorActive()) {
        this->setAttribute(Qt::WA_TranslucentBackground);
    }
    this->setMouseTracking(true);
    this->setFocusPolicy(Qt::StrongFocus);
    this->setAcceptDrops(true);
    if (sink != nullptr) {
        sink->SetUIWnd(static_cast<QWidget*>(this));
    }
    SFQt::RegisterWindow(this);
}

template <class QtBase>
CSFQTSkinnedWindow<QtBase>::~CSFQTSkinnedWindow() {
    SFQt::UnregisterWindow(this);
    if (m_modalLoop != nullptr) {
        m_modalLoop->exit(0);
    }
    if (m_pEvent != nullptr && m_pEvent->GetUIWnd() == static_cast<QWidget*>(this)) {
        m_pEvent->SetUIWnd(nullptr);
    }
}

// ---- CSFControl

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::ShowWindow(int show) {
    if (!this->isVisible()) {
        this->setWindowModality(Qt::NonModal);
    }
    this->setVisible(show != 0);
    return 1;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::MoveWindow(const tagRECT* rect) {
    if (rect == nullptr) {
        return 0;
    }
    this->setGeometry(SFQt::ToQRect(*rect));
    return 1;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::MoveWindow(int x, int y, int cx, int cy) {
    this->setGeometry(x, y, std::max(0, cx), std::max(0, cy));
    return 1;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::EnableWindow(int enable) {
    this->setEnabled(enable != 0);
    return 1;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::GetWindowTextW(wchar_t* buffer, int size) {
    return SFQt::CopyOut(this->windowTitle(), buffer, size);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetWindowTextW(const wchar_t* title) {
    const QString text = SFQt::FromW(title);
    this->setWindowTitle(text);
    if (m_titleLabel == nullptr) {
        m_titleLabel = new QLabel(this);
        m_titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont font = m_titleLabel->font();
        font.setPixelSize(13);
        font.setWeight(QFont::DemiBold);
        m_titleLabel->setFont(font);
    }
    m_titleLabel->setText(text);
    m_titleLabel->show();
    PlaceTitle();
}

// ---- CSFDialog

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::CreateDlg(void* parent) {
    if (QWidget* p = SFQt::ParentWidget(parent)) {
        this->setParent(p, this->windowFlags());
    }
    return 1;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::Create(const wchar_t* title, void* parent) {
    CreateDlg(parent);
    SetWindowTextW(title);
    if (m_pEvent != nullptr) {
        m_pEvent->Dlg_OnInit(1);
    }
    return 1;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::DoModalDlg() {
    QPointer<QWidget> guard(this);
    this->setWindowModality(Qt::ApplicationModal);
    if (m_pEvent != nullptr) {
        m_pEvent->Dlg_OnInit(0);
    }
    if (guard.isNull()) {
        return 2;
    }
    this->setFocus();
    int result = 0;
    if constexpr (std::is_same_v<QtBase, QDialog>) {
        result = this->exec();
    } else {
        QEventLoop loop;
        m_modalLoop = &loop;
        m_modalResult = 0;
        this->show();
        loop.exec(QEventLoop::DialogExec);
        if (guard.isNull()) {
            return 2;
        }
        m_modalLoop = nullptr;
        result = m_modalResult;
        this->setWindowModality(Qt::NonModal);
    }
    return result == 0 ? 2 : result;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::EndModal(int result) {
    if constexpr (std::is_same_v<QtBase, QDialog>) {
        if (result != 0) {
            this->accept();
        } else {
            this->reject();
        }
    } else {
        m_modalResult = result;
        this->hide();
        if (m_modalLoop != nullptr) {
            m_modalLoop->exit(result);
        }
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::MFCOK() {
    QPointer<QWidget> guard(this);
    if (m_pEvent != nullptr) {
        m_pEvent->Dlg_OnOK();
    }
    if (!guard.isNull()) {
        EndModal(1);
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::MFCCancel() {
    QPointer<QWidget> guard(this);
    if (m_pEvent != nullptr) {
        m_pEvent->Dlg_OnCancel();
    }
    if (!guard.isNull()) {
        EndModal(0);
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::CenterWindow(void* parent) {
    QWidget* p = parent != nullptr ? SFQt::ParentWidget(parent) : this->parentWidget();
    QPoint centre;
    if (p != nullptr) {
        centre = p->mapToGlobal(p->rect().center());
    } else {
        const QRect area = ScreenArea(this);
        centre = area.isValid() ? area.center() : QPoint(this->width() / 2, this->height() / 2);
    }
    this->move(centre - QPoint(this->width() / 2, this->height() / 2));
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::SetSkin(const DialogStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    m_frameImage = SFLoadSkinImage(style->frameImage);
    m_backgroundImage = SFLoadSkinImage(style->backgroundImage);
    m_backgroundColor = SFParseSkinColor(style->backgroundColor);
    for (int i = 0; i < 12; ++i) {
        m_pieces[i] = SFParseSkinRect(style->pieces[i].rect);
    }
    // State rectangles and positions are listed for buttons 4, 3, 2, 1; images for 1, 3, 2, 4.
    static const int kRectOrder[4] = {4, 3, 2, 1};
    static const int kImageOrder[4] = {1, 3, 2, 4};
    for (int k = 0; k < 4; ++k) {
        TitleButton& rectButton = m_buttons[kRectOrder[k]];
        rectButton.position = SFParseSkinRect(style->buttonPositions[k]);
        TitleButton& imageButton = m_buttons[kImageOrder[k]];
        for (int s = 0; s < 3; ++s) {
            rectButton.states[s] = SFParseSkinRect(style->buttonStateRects[k * 3 + s]);
            imageButton.images[s] = SFLoadSkinImage(style->buttonImages[k * 3 + s]);
        }
    }
    m_titleColor = SFParseSkinColor(style->titleColor);
    m_titleAlign = SFParseSkinAlign(style->titleAlign);
    m_titleArea = SFParseSkinRect(style->titleArea);
    m_cornerRadii = SFParseSkinPair(style->cornerRadii);
    m_activeButton = 0;
    m_activeState = 0;
    m_skinned = true;
    const QPoint initial = SFParseSkinPair(style->initialSize);
    if (initial.x() > 0 && initial.y() > 0) {
        this->resize(initial.x(), initial.y());
        CenterWindow(nullptr);
    }
    m_skinWidth = FrameSize().width();
    m_titleArea.setWidth(FrameSize().width());
    Recompose();
    PlaceTitle();
    UpdateOutline();
    this->update();
    return 1;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::Screen2Client(tagPOINT* pt) {
    if (pt == nullptr) {
        return;
    }
    const QPoint local = this->mapFromGlobal(QPoint(pt->x, pt->y));
    pt->x = local.x();
    pt->y = local.y();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::Screen2Client(tagRECT* rect) {
    if (rect == nullptr) {
        return;
    }
    const QPoint offset = this->mapFromGlobal(QPoint(0, 0));
    CSFRect r(*rect);
    r.OffsetRect(offset.x(), offset.y());
    *rect = r;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::GetDlgClientRect(tagRECT* rect) {
    if (rect != nullptr) {
        const int s = ShadowWidth();
        *rect = SFQt::ToRect(QRect(QPoint(s, s), FrameSize()));
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::GetDlgWindowRect(tagRECT* rect) {
    if (rect != nullptr) {
        *rect = SFQt::ToRect(QRect(this->pos(), this->size()));
    }
}

template <class QtBase>
intptr_t CSFQTSkinnedWindow<QtBase>::SendDlgMessage(uint32_t msg, uintptr_t wparam,
                                                    intptr_t lparam) {
    // A command's wparam packs the id (low word) and the code (high word), as on Win32.
    const uint32_t id = static_cast<uint32_t>(wparam & 0xFFFFu);
    const uint32_t code = static_cast<uint32_t>((wparam >> 16) & 0xFFFFu);
    CSFCustomEvent event(msg, code, static_cast<uint32_t>(lparam), id);
    QCoreApplication::sendEvent(this, &event);
    return event.isAccepted() ? 1 : 0;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetDrawBackGround(int draw) {
    m_drawBackground = draw != 0;
    Recompose();
    this->update();
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::SetDlgWindowPos(void* /*insertAfter*/, int x, int y, int cx, int cy,
                                                uint32_t flags) {
    constexpr uint32_t kNoSize = 0x0001, kNoMove = 0x0002, kShow = 0x0040, kHide = 0x0080;
    if ((flags & kNoMove) == 0) {
        this->move(x, y);
    }
    if ((flags & kNoSize) == 0) {
        this->resize(std::max(0, cx), std::max(0, cy));
    }
    if ((flags & kShow) != 0) {
        this->show();
    } else if ((flags & kHide) != 0) {
        this->hide();
    }
    return 1;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetDlgIcon(const wchar_t* path) {
    const QPixmap icon = SFQt::LoadPicture(SFQt::FromW(path));
    if (!icon.isNull()) {
        this->setWindowIcon(QIcon(icon));
    }
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::SetDlgTimer(uint32_t id, uint32_t ms) {
    const auto found = m_timers.find(id);
    if (found != m_timers.end()) {
        return found->second;
    }
    const int qtId = this->startTimer(static_cast<int>(std::min<uint32_t>(ms, 0x7FFFFFFF)));
    if (qtId != 0) {
        m_timers.emplace(id, qtId);
    }
    return qtId;
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::KillDlgTimer(uint32_t id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) {
        return 0;
    }
    this->killTimer(found->second);
    m_timers.erase(found);
    return 1;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetSizeRoundCorner(const wchar_t* radii) {
    m_cornerRadii = SFParseSkinPair(radii != nullptr ? std::wstring(radii) : std::wstring());
    UpdateOutline();
    this->update();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::MacShowFullScreen(bool on) {
    on ? this->showFullScreen() : this->showNormal();
}
template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::MacShowMinimize(bool on) {
    on ? this->showMinimized() : this->showNormal();
}
template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::MacShowMaximize(bool on) {
    on ? this->showMaximized() : this->showNormal();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetFrameShadow(bool on) {
    m_shadowOn = on && this->testAttribute(Qt::WA_TranslucentBackground);
    m_titleArea.setWidth(FrameSize().width());
    Recompose();
    PlaceTitle();
    UpdateOutline();
    this->update();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetTitleToTopDistance(int y) {
    m_titleTop = y;
    PlaceTitle();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetCanMoved(bool on) {
    if constexpr (std::is_same_v<QtBase, QMainWindow>) {
        m_movable = on;
    } else {
        (void)on;  // dialogs are always movable
    }
}

// ---- Inspection

template <class QtBase>
QRect CSFQTSkinnedWindow<QtBase>::TitleButtonRect(int button) const {
    if (button < 1 || button > 4 || !m_buttons[button].Exists()) {
        return QRect();
    }
    return CurrentButtonRect(button).translated(FrameOrigin());
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::TitleButtonState(int button) const {
    return (button != 0 && button == m_activeButton) ? m_activeState : 0;
}

// ---- Geometry helpers

template <class QtBase>
QSize CSFQTSkinnedWindow<QtBase>::FrameSize() const {
    const int s = ShadowWidth();
    return QSize(std::max(0, this->width() - 2 * s), std::max(0, this->height() - 2 * s));
}

template <class QtBase>
QRect CSFQTSkinnedWindow<QtBase>::CurrentButtonRect(int button) const {
    const QRect& p = m_buttons[button].position;
    const int width = FrameSize().width();
    // Buttons follow the right edge: a negative x counts from it, a positive one is shifted
    // by how much the window grew since the skin was read.
    if (p.x() < 0) {
        return SFResolveSkinPosition(p, width);
    }
    return p.translated(width - m_skinWidth, 0);
}

template <class QtBase>
int CSFQTSkinnedWindow<QtBase>::ButtonAt(const QPoint& framePos) const {
    for (int b = 1; b <= 4; ++b) {
        if (m_buttons[b].Exists() && CurrentButtonRect(b).contains(framePos)) {
            return b;
        }
    }
    return 0;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetButtonState(int button, int state) {
    if (button == 0) {
        return;
    }
    if (state == 0) {
        if (m_activeButton == button) {
            m_activeButton = 0;
            m_activeState = 0;
        }
    } else {
        m_activeButton = button;
        m_activeState = state;
    }
    this->update();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::ButtonAction(int button) {
    // Queued, as the window system's own title buttons act: the handler that caused it
    // returns first, and a window destroyed meanwhile receives nothing.
    QWidget* self = this;
    switch (button) {
        case 1:
            QMetaObject::invokeMethod(
                self, [self] { self->close(); }, Qt::QueuedConnection);
            break;
        case 2:
            QMetaObject::invokeMethod(
                self, [self] { self->isMaximized() ? self->showNormal() : self->showMaximized(); },
                Qt::QueuedConnection);
            break;
        case 3:
            QMetaObject::invokeMethod(
                self, [self] { self->isMaximized() ? self->showNormal() : self->showMinimized(); },
                Qt::QueuedConnection);
            break;
        default:
            break;
    }
}

template <class QtBase>
const QPixmap& CSFQTSkinnedWindow<QtBase>::ComposedFrame() const {
    // A hidden window gets its resize event only when shown: compose for the size it has now.
    if (m_skinned && m_composed.size() != FrameSize()) {
        Recompose();
    }
    return m_composed;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::Recompose() const {
    // Without a frame image (a missing skin) nothing is composed and the window keeps the plain
    // light surface: a record's background colour alone ("000000" in the program's records,
    // black when empty) would leave a dark window under dark texts.
    if (!m_skinned || m_frameImage.isNull()) {
        m_composed = QPixmap();
        return;
    }
    m_composed =
        SFComposeFrame(m_frameImage, m_pieces, m_drawBackground ? m_backgroundImage : QPixmap(),
                       m_drawBackground ? m_backgroundColor : QColor(), FrameSize());
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::PlaceTitle() {
    if (m_titleLabel == nullptr) {
        return;
    }
    QPalette palette = m_titleLabel->palette();
    palette.setColor(QPalette::WindowText, m_titleColor);
    m_titleLabel->setPalette(palette);
    const QFontMetrics fm(m_titleLabel->font());
    const int w = fm.horizontalAdvance(m_titleLabel->text()) + 1;
    const int h = fm.height() + 1;
    const int s = ShadowWidth();
    const int top = m_titleTop >= 0 ? m_titleTop
                                    : m_titleArea.y() + std::max(0, (m_titleArea.height() - h) / 2);
    int left = m_titleArea.x() + s;
    if (m_titleAlign == 1) {
        left = (this->width() - w) / 2;
    } else if (m_titleAlign == 2) {
        left = this->width() - s - w;
    }
    m_titleLabel->setGeometry(left, top + s, w, h);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::UpdateOutline() {
    const int rx = m_cornerRadii.x();
    const int ry = m_cornerRadii.y();
    // Translucent windows draw an antialiased outline themselves; opaque ones are cut by a
    // mask (a mask is one bit deep, so its corners are not antialiased).
    if (this->testAttribute(Qt::WA_TranslucentBackground) || rx <= 0 || ry <= 0 ||
        this->width() <= 0 || this->height() <= 0) {
        this->clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(this->rect()), rx, ry);
    this->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

template <class QtBase>
Qt::Edges CSFQTSkinnedWindow<QtBase>::ResizeEdgesAt(const QPoint& pos) const {
    const QRect frame(FrameOrigin(), FrameSize());
    Qt::Edges edges;
    if (!frame.adjusted(-kResizeBand, -kResizeBand, kResizeBand, kResizeBand).contains(pos)) {
        return edges;
    }
    if (pos.x() < frame.left() + kResizeBand) {
        edges |= Qt::LeftEdge;
    } else if (pos.x() > frame.right() - kResizeBand) {
        edges |= Qt::RightEdge;
    }
    if (pos.y() < frame.top() + kResizeBand) {
        edges |= Qt::TopEdge;
    } else if (pos.y() > frame.bottom() - kResizeBand) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::ClampAfterDrag() {
    const QRect area = ScreenArea(this);
    if (!area.isValid()) {
        return;
    }
    // Keep the title reachable: the top inside the available area, and at least 40 pixels of
    // the window on it horizontally, whichever edge a task bar occupies.
    QPoint p = this->pos();
    p.setY(std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() - 20)));
    p.setX(std::clamp(p.x(), area.left() - this->width() + 40,
                      std::max(area.left() - this->width() + 40, area.right() - 40)));
    if (p != this->pos()) {
        this->move(p);
    }
}

// ---- Events

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const int s = ShadowWidth();
    const QRect frameRect(FrameOrigin(), FrameSize());
    const bool translucent = this->testAttribute(Qt::WA_TranslucentBackground);
    const qreal rx = m_cornerRadii.x() > 0 && m_cornerRadii.y() > 0 ? m_cornerRadii.x() : 0;
    const qreal ry = rx > 0 ? m_cornerRadii.y() : 0;
    if (s > 0) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(82, 82, 82));
        p.drawRoundedRect(QRectF(frameRect), rx, ry);
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < s; ++i) {
            const int alpha = std::max(0, static_cast<int>(90 - 30 * std::sqrt(double(i))));
            p.setPen(QColor(82, 82, 82, alpha));
            const int inset = s - i;
            p.drawRoundedRect(QRectF(this->rect()).adjusted(inset, inset, -inset, -inset), rx + i,
                              ry + i);
        }
    }
    const QPixmap surface = ComposedFrame();
    if (translucent) {
        // Antialiased rounded outline: the frame is painted as the texture of a rounded shape.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        if (surface.isNull()) {
            p.setBrush(SFQt::kSurface);
        } else {
            p.setBrush(QBrush(surface));
            p.setBrushOrigin(frameRect.topLeft());
        }
        p.drawRoundedRect(QRectF(frameRect), rx, ry);
        p.setBrushOrigin(0, 0);
    } else if (surface.isNull()) {
        p.fillRect(frameRect, SFQt::kSurface);
    } else {
        p.drawPixmap(frameRect.topLeft(), surface);
    }
    // Title-bar buttons: their own images when given, else cut from the frame image.
    for (int b = 1; b <= 4; ++b) {
        const TitleButton& button = m_buttons[b];
        if (!button.Exists()) {
            continue;
        }
        const int state = TitleButtonState(b);
        const QRect target = CurrentButtonRect(b).translated(FrameOrigin());
        if (!button.images[0].isNull()) {
            const QPixmap& pm =
                button.images[state].isNull() ? button.images[0] : button.images[state];
            p.drawPixmap(target, pm);
        } else if (!m_frameImage.isNull()) {
            QRect src = button.states[state];
            if (src.width() <= 0 || src.height() <= 0) {
                src = button.states[0];
            }
            if (src.width() > 0 && src.height() > 0) {
                p.drawPixmap(target, m_frameImage, src);
            }
        }
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::resizeEvent(QResizeEvent* event) {
    QtBase::resizeEvent(event);
    m_titleArea.setWidth(FrameSize().width());
    Recompose();
    PlaceTitle();
    UpdateOutline();
    if (m_pEvent != nullptr) {
        int cx = this->width();
        int cy = this->height();
        m_pEvent->OnDlgSize(0, cx, cy);
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QtBase::mousePressEvent(event);
        return;
    }
    QPointer<QWidget> guard(this);
    if (m_pEvent != nullptr) {
        m_pEvent->OnLButtonDown(0, tagPOINT{0, 0});
        if (guard.isNull()) {
            return;
        }
    }
    const QPoint pos = event->position().toPoint();
    const QPoint framePos = pos - FrameOrigin();
    m_dragging = false;
    if (const int button = ButtonAt(framePos)) {
        SetButtonState(button, 2);
        return;
    }
    QWindow* handle = this->windowHandle();
    if (m_resizable && !this->isMaximized()) {
        const Qt::Edges edges = ResizeEdgesAt(pos);
        if (edges != Qt::Edges() && handle != nullptr && handle->startSystemResize(edges)) {
            return;
        }
    }
    // Resizable windows move by any free area, the others by their title area.
    const bool inTitle = m_skinned && m_titleArea.contains(framePos);
    if ((inTitle || m_resizable) && !this->isMaximized() && m_ncLButtonDown && m_movable) {
        if (handle == nullptr || !handle->startSystemMove()) {
            m_dragging = true;
            m_dragOffset = event->globalPosition().toPoint() - this->pos();
        }
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int under = ButtonAt(pos - FrameOrigin());
    if ((event->buttons() & Qt::LeftButton) != 0) {
        if (m_dragging && !this->isMaximized()) {
            QPoint target = event->globalPosition().toPoint() - m_dragOffset;
            const QRect area = ScreenArea(this);
            if (area.isValid()) {
                target.setY(
                    std::clamp(target.y(), area.top(), std::max(area.top(), area.bottom() - 20)));
            }
            this->move(target);
        }
        if (m_activeState == 2) {
            return;  // the pressed button keeps its picture until the release
        }
    } else if (m_resizable && !this->isMaximized()) {
        const Qt::Edges edges = ResizeEdgesAt(pos);
        if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge)) {
            this->setCursor(Qt::SizeFDiagCursor);
        } else if (edges == (Qt::RightEdge | Qt::TopEdge) ||
                   edges == (Qt::LeftEdge | Qt::BottomEdge)) {
            this->setCursor(Qt::SizeBDiagCursor);
        } else if (edges & (Qt::LeftEdge | Qt::RightEdge)) {
            this->setCursor(Qt::SizeHorCursor);
        } else if (edges & (Qt::TopEdge | Qt::BottomEdge)) {
            this->setCursor(Qt::SizeVerCursor);
        } else {
            this->unsetCursor();
        }
    }
    if (under != m_activeButton) {
        SetButtonState(m_activeButton, 0);
        if (under != 0) {
            SetButtonState(under, 1);
        }
    }
    if (under != 0 && m_pEvent != nullptr) {
        m_pEvent->OnDlgMouseHover();
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QtBase::mouseReleaseEvent(event);
        return;
    }
    if (m_dragging) {
        m_dragging = false;
        ClampAfterDrag();
    }
    const int under = ButtonAt(event->position().toPoint() - FrameOrigin());
    if (m_activeButton != 0 && m_activeState == 2) {
        const int pressed = m_activeButton;
        if (under == pressed) {
            SetButtonState(pressed, 1);
            ButtonAction(pressed);
        } else {
            SetButtonState(pressed, 0);
            SetButtonState(under, 1);
        }
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::leaveEvent(QEvent* event) {
    if (m_activeButton != 0 && m_activeState != 2) {
        SetButtonState(m_activeButton, 0);
    }
    QtBase::leaveEvent(event);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::closeEvent(QCloseEvent* event) {
    if (m_pEvent != nullptr) {
        QPointer<QWidget> guard(this);
        const int keepOpen = m_pEvent->Dlg_Close();
        if (guard.isNull()) {
            return;  // the logic released its window: nothing is left to close
        }
        if (keepOpen != 0) {
            event->ignore();
            return;
        }
    }
    QtBase::closeEvent(event);
    if constexpr (std::is_same_v<QtBase, QMainWindow>) {
        if (event->isAccepted() && m_modalLoop != nullptr) {
            m_modalResult = 0;
            m_modalLoop->exit(0);
        }
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::timerEvent(QTimerEvent* event) {
    for (const auto& [appId, qtId] : m_timers) {
        if (qtId == event->timerId()) {
            if (m_pEvent != nullptr) {
                m_pEvent->OnDlgTimer(appId);
            }
            return;
        }
    }
    // Not one of the application's timers: Qt's own (widget internals) keep working.
    QtBase::timerEvent(event);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::customEvent(QEvent* event) {
    if (event->type() != CSFCustomEvent::EventType()) {
        QtBase::customEvent(event);
        return;
    }
    const auto* e = static_cast<const CSFCustomEvent*>(event);
    QPointer<QWidget> guard(this);
    int handled = 0;
    if (m_pEvent != nullptr) {
        handled = m_pEvent->DispatchSFMessage(e->Message(), e->Code(), e->Id(), e->Value(),
                                              static_cast<OrvexBase::SF_LPARAM>(e->Id()));
    }
    if (guard.isNull()) {
        return;
    }
    if (e->Message() == SF_WM_COMMAND && e->Code() == 0) {
        if (e->Id() == 1) {
            MFCOK();
            handled = 1;
        } else if (e->Id() == 2) {
            MFCCancel();
            handled = 1;
        }
    }
    event->setAccepted(handled != 0);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::keyPressEvent(QKeyEvent* event) {
    QPointer<QWidget> guard(this);
    if (m_pEvent != nullptr) {
        m_pEvent->OnDlgKeyDown(static_cast<uint32_t>(event->modifiers().toInt()), event->key());
        if (guard.isNull()) {
            return;
        }
    }
    // Escape and Enter belong to the logic (it decides between OK and Cancel); the Qt base
    // would otherwise close the dialog a second time.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QtBase::keyPressEvent(event);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::showEvent(QShowEvent* event) {
    QtBase::showEvent(event);
    UpdateOutline();
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::hideEvent(QHideEvent* event) {
    m_dragging = false;
    m_activeButton = 0;
    m_activeState = 0;
    QtBase::hideEvent(event);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() != nullptr && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::dropEvent(QDropEvent* event) {
    if (event->mimeData() == nullptr || m_pEvent == nullptr) {
        return;
    }
    QPointer<QWidget> guard(this);
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        const std::wstring path = url.toLocalFile().toStdWString();
        m_pEvent->OnDlgFileDrop(path.c_str());
        if (guard.isNull()) {
            return;
        }
    }
    event->acceptProposedAction();
}

template class CSFQTSkinnedWindow<QDialog>;
template class CSFQTSkinnedWindow<QMainWindow>;
