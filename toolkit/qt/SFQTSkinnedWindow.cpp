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
#include <QUrl>
#include <QWindow>

#include <cmath>
#include <type_traits>
#include <vector>

namespace {

constexpr int kResizeBand = 6;

// A rectangle with a non-positive side is no piece at all.
QRect Piece(const QRect& r) {
    return (r.width() > 0 && r.height() > 0) ? r : QRect(r.x(), r.y(), 0, 0);
}

}  // namespace

void SFPaintFrame(QPainter& p, QPoint origin, const QPixmap& frame, const QRect pieces[12],
                  const QPixmap& background, const QColor& backgroundColor, QSize size) {
    const int W = size.width();
    const int Hh = size.height();
    if (W <= 0 || Hh <= 0) {
        return;
    }
    // What is drawn, in order; a later item replaces an earlier one where they overlap (a fixed
    // piece covers the overhang of the repetition before it). Each item is clipped to its own
    // rectangle less those of the items after it, so every pixel receives exactly one item,
    // drawn over what lies beneath the frame.
    struct Item {
        QRect target;  // frame coordinates
        QRect source;  // in the frame image's device pixels
        bool tiled;
    };
    std::vector<Item> items;
    items.reserve(12);
    auto draw = [&](const QRect& src, int x, int y) {
        if (!frame.isNull() && src.width() > 0 && src.height() > 0) {
            items.push_back({QRect(QPoint(x, y), src.size()), SFSkinSourceRect(frame, src), false});
        }
    };
    // A piece repeated from `from` while its start lies before `limit`, along x or y: one tiled
    // draw of exactly those repetitions. (One draw per repetition cost more than building the
    // main window's controls: its edges repeat 1-pixel pieces a thousand times.)
    auto repeat = [&](const QRect& src, int from, int limit, int fixed, bool alongX) {
        const int step = alongX ? src.width() : src.height();
        if (frame.isNull() || src.width() <= 0 || src.height() <= 0 || from >= limit) {
            return;
        }
        const int span = (limit - from + step - 1) / step * step;
        const QRect target =
            alongX ? QRect(from, fixed, span, src.height()) : QRect(fixed, from, src.width(), span);
        items.push_back({target, SFSkinSourceRect(frame, src), true});
    };
    const QRect A = Piece(pieces[0]), B = Piece(pieces[1]), C = Piece(pieces[2]);
    const QRect D = Piece(pieces[3]), E = Piece(pieces[4]), F = Piece(pieces[5]);
    const QRect J = Piece(pieces[6]), K = Piece(pieces[7]), L = Piece(pieces[8]);
    const QRect I = Piece(pieces[9]), H = Piece(pieces[10]), G = Piece(pieces[11]);

    // Top.
    draw(A, 0, 0);
    repeat(B, A.width(), W - C.width(), 0, true);
    draw(C, W - C.width(), 0);
    // Left edge.
    draw(D, 0, A.height());
    repeat(E, A.height() + D.height(), Hh - F.height() - J.height(), 0, false);
    draw(F, 0, Hh - F.height() - J.height());
    // Right edge.
    draw(G, W - G.width(), A.height());
    repeat(H, A.height() + G.height(), Hh - I.height() - J.height(), W - H.width(), false);
    draw(I, W - I.width(), Hh - I.height() - J.height());
    // Bottom.
    draw(J, 0, Hh - J.height());
    repeat(K, J.width(), W - L.width(), Hh - K.height(), true);
    draw(L, W - L.width(), Hh - L.height());

    p.save();
    p.translate(origin);
    // `covered` is the union of the items after the one being drawn, built from the last.
    QRegion covered;
    std::vector<QRegion> clips(items.size());
    for (size_t i = items.size(); i-- > 0;) {
        clips[i] = QRegion(items[i].target).subtracted(covered);
        covered += items[i].target;
    }
    const QRegion backgroundArea = QRegion(0, 0, W, Hh).subtracted(covered);
    if (!backgroundArea.isEmpty() && (!background.isNull() || backgroundColor.isValid())) {
        p.save();
        p.setClipRegion(backgroundArea, Qt::IntersectClip);
        if (!background.isNull()) {
            p.drawPixmap(QRect(0, 0, W, Hh), background);
        } else {
            p.fillRect(QRect(0, 0, W, Hh), backgroundColor);
        }
        p.restore();
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (clips[i].isEmpty()) {
            continue;
        }
        p.save();
        p.setClipRegion(clips[i], Qt::IntersectClip);
        const Item& item = items[i];
        if (item.tiled) {
            p.drawTiledPixmap(item.target, frame.copy(item.source));
        } else {
            p.drawPixmap(item.target.topLeft(), frame, item.source);
        }
        p.restore();
    }
    p.restore();
}

QPixmap SFComposeFrame(const QPixmap& frame, const QRect pieces[12], const QPixmap& background,
                       const QColor& backgroundColor, QSize size) {
    if (size.width() <= 0 || size.height() <= 0) {
        return QPixmap();
    }
    // Composed at the frame image's ratio: pieces cut at 2 land on even device pixels of a
    // ratio-2 surface, so the composition stays exact at both ratios.
    const qreal ratio = frame.isNull() ? 1.0 : frame.devicePixelRatio();
    QPixmap out(size * ratio);
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    QPainter p(&out);
    SFPaintFrame(p, QPoint(0, 0), frame, pieces, background, backgroundColor, size);
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
    this->setWindowModality(Qt::ApplicationModal);
    if (!SFQt::CallSink(this, m_pEvent, &ISFDialogEvent::Dlg_OnInit, 0)) {
        return 2;
    }
    this->setFocus();
    int result = 0;
    if constexpr (std::is_same_v<QtBase, QDialog>) {
        result = this->exec();
    } else {
        QPointer<QWidget> guard(this);  // the logic may destroy its window during the run
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
    if (SFQt::CallSink(this, m_pEvent, &ISFDialogEvent::Dlg_OnOK)) {
        EndModal(1);
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::MFCCancel() {
    if (SFQt::CallSink(this, m_pEvent, &ISFDialogEvent::Dlg_OnCancel)) {
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
        const QRect area = SFQt::ScreenArea(this);
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
    m_titleColor = SFParseSkinColor(style->titleColor);
    m_titleAlign = SFParseSkinAlign(style->titleAlign);
    m_titleArea = SFParseSkinRect(style->titleArea);
    m_cornerRadii = SFParseSkinPair(style->cornerRadii);
    m_skinned = true;
    const QPoint initial = SFParseSkinPair(style->initialSize);
    if (initial.x() > 0 && initial.y() > 0) {
        this->resize(initial.x(), initial.y());
        CenterWindow(nullptr);
    }
    m_titleButtons.ReadSkin(*style, FrameSize().width());
    m_titleArea.setWidth(FrameSize().width());
    DropComposedFrame();
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
    CSFCustomEvent event = SFMakeSentMessage(msg, wparam, lparam);
    QCoreApplication::sendEvent(this, &event);
    return event.isAccepted() ? 1 : 0;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::SetDrawBackGround(int draw) {
    m_drawBackground = draw != 0;
    DropComposedFrame();
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
    DropComposedFrame();
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
QRect CSFQTSkinnedWindow<QtBase>::TitleButtonRect(SFTitleButton button) const {
    const QRect r = m_titleButtons.Rect(button, FrameSize().width());
    return r.isEmpty() ? r : r.translated(FrameOrigin());
}

// ---- Geometry helpers

template <class QtBase>
QSize CSFQTSkinnedWindow<QtBase>::FrameSize() const {
    const int s = ShadowWidth();
    return QSize(std::max(0, this->width() - 2 * s), std::max(0, this->height() - 2 * s));
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::ButtonAction(SFTitleButton button) {
    QWidget* self = this;
    switch (button) {
        case SFTitleButton::Close:
            QMetaObject::invokeMethod(
                self, [self] { self->close(); }, Qt::QueuedConnection);
            break;
        case SFTitleButton::MaximizeRestore:
            QMetaObject::invokeMethod(
                self, [self] { self->isMaximized() ? self->showNormal() : self->showMaximized(); },
                Qt::QueuedConnection);
            break;
        case SFTitleButton::Minimize:
            QMetaObject::invokeMethod(
                self, [self] { self->isMaximized() ? self->showNormal() : self->showMinimized(); },
                Qt::QueuedConnection);
            break;
        case SFTitleButton::Custom:
        case SFTitleButton::None:
            break;
    }
}

template <class QtBase>
const QPixmap& CSFQTSkinnedWindow<QtBase>::ComposedFrame() const {
    // Composed here, for the size the frame has now, when a change dropped the last composition
    // or the size changed (a hidden window gets its resize event only when shown).
    if (m_skinned && !m_frameImage.isNull() &&
        m_composed.deviceIndependentSize().toSize() != FrameSize()) {
        m_composed =
            SFComposeFrame(m_frameImage, m_pieces, m_drawBackground ? m_backgroundImage : QPixmap(),
                           m_drawBackground ? m_backgroundColor : QColor(), FrameSize());
    }
    return m_composed;
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::DropComposedFrame() const {
    // Not composed again here: building a window sets its skin, shadow, background and size one
    // after another, and composing a main-window-sized picture for each cost more than one paint.
    m_composed = QPixmap();
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
    if (translucent) {
        // Antialiased rounded outline: the frame, composed once per size, is painted as the
        // texture of a rounded shape.
        const QPixmap surface = ComposedFrame();
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
    } else {
        p.setRenderHint(QPainter::Antialiasing, false);
        if (!m_skinned || m_frameImage.isNull()) {
            // Without a frame image (a missing skin) the window keeps the plain light surface:
            // a record's background colour alone ("000000" in the program's records, black when
            // empty) would leave a dark window under dark texts.
            p.fillRect(frameRect, SFQt::kSurface);
        } else if (m_composed.deviceIndependentSize().toSize() == frameRect.size() ||
                   m_lastPaintedSize == frameRect.size()) {
            // A second paint at this size (a hover, a page switch): composed once and copied
            // from then on, the cheapest repaint.
            p.drawPixmap(frameRect.topLeft(), ComposedFrame());
        } else {
            // The first paint at a size (the window's first, each step of a resize) is painted
            // straight onto the window: composing first would cost a window-sized allocation
            // and one more copy of every pixel for a picture that may never be painted again.
            SFPaintFrame(p, frameRect.topLeft(), m_frameImage, m_pieces,
                         m_drawBackground ? m_backgroundImage : QPixmap(),
                         m_drawBackground ? m_backgroundColor : QColor(), frameRect.size());
        }
        m_lastPaintedSize = frameRect.size();
    }
    m_titleButtons.Paint(p, FrameOrigin(), FrameSize().width(), m_frameImage);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::resizeEvent(QResizeEvent* event) {
    QtBase::resizeEvent(event);
    m_titleArea.setWidth(FrameSize().width());
    DropComposedFrame();
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
    if (!SFQt::CallSink(this, m_pEvent, &ISFDialogEvent::OnLButtonDown, 0, tagPOINT{0, 0})) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QPoint framePos = pos - FrameOrigin();
    const QPoint global = event->globalPosition().toPoint();
    m_drag.Cancel();
    if (m_titleButtons.Press(framePos, FrameSize().width()) || this->isMaximized()) {
        return;
    }
    const Qt::Edges edges =
        m_resizable ? CSFQTWindowDrag::EdgesAt(QRect(FrameOrigin(), FrameSize()), pos, kResizeBand)
                    : Qt::Edges();
    if (edges != Qt::Edges()) {
        m_drag.BeginResize(edges, global);  // never a move, even where the system refuses
        return;
    }
    // Resizable windows move by any free area, the others by their title area.
    const bool inTitle = m_skinned && m_titleArea.contains(framePos);
    if ((inTitle || m_resizable) && m_ncLButtonDown && m_movable) {
        m_drag.BeginMove(global);
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) != 0) {
        if (!this->isMaximized()) {
            m_drag.Follow(event->globalPosition().toPoint());
        }
    } else if (m_resizable && !this->isMaximized()) {
        const Qt::Edges edges =
            CSFQTWindowDrag::EdgesAt(QRect(FrameOrigin(), FrameSize()), pos, kResizeBand);
        if (edges == Qt::Edges()) {
            this->unsetCursor();
        } else {
            this->setCursor(CSFQTWindowDrag::CursorFor(edges));
        }
    }
    if (m_titleButtons.Move(pos - FrameOrigin(), FrameSize().width()) != SFTitleButton::None &&
        m_pEvent != nullptr) {
        m_pEvent->OnDlgMouseHover();
    }
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QtBase::mouseReleaseEvent(event);
        return;
    }
    m_drag.End();
    ButtonAction(
        m_titleButtons.Release(event->position().toPoint() - FrameOrigin(), FrameSize().width()));
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::leaveEvent(QEvent* event) {
    m_titleButtons.Leave();
    QtBase::leaveEvent(event);
}

template <class QtBase>
void CSFQTSkinnedWindow<QtBase>::closeEvent(QCloseEvent* event) {
    int keepOpen = 0;
    if (!SFQt::CallSink(this, m_pEvent,
                        [&](ISFDialogEvent& sink) { keepOpen = sink.Dlg_Close(); })) {
        return;  // the logic released its window: nothing is left to close
    }
    if (keepOpen != 0) {
        event->ignore();
        return;
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
    if (SFIsCloseMessage(*e)) {
        // The close message acts as the title bar's close button does; the map never sees it.
        ButtonAction(SFTitleButton::Close);
        event->accept();
        return;
    }
    int handled = 0;
    if (!SFQt::DeliverToMap(this, m_pEvent, *e, handled)) {
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
    if (!SFQt::CallSink(this, m_pEvent, &ISFDialogEvent::OnDlgKeyDown,
                        static_cast<uint32_t>(event->modifiers().toInt()), event->key())) {
        return;
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
    m_drag.Cancel();
    m_titleButtons.Reset();
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
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        const std::wstring path = url.toLocalFile().toStdWString();
        if (!SFQt::CallSink(this, m_pEvent, &ISFDialogEvent::OnDlgFileDrop, path.c_str())) {
            return;
        }
    }
    event->acceptProposedAction();
}

template class CSFQTSkinnedWindow<QDialog>;
template class CSFQTSkinnedWindow<QMainWindow>;
