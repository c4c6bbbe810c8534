#pragma once
// What every Qt implementation shares: text and colour conversions, the toolkit's look (light
// surfaces, blue accent), the registry of live windows that SFPostUIMessage checks, and the
// common operations of CSFControl over a Qt widget. GUI thread only unless said otherwise.
#include "toolkit/SFControls.h"
#include "toolkit/SFCustomEvent.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QMouseEvent;

#include <algorithm>
#include <functional>
#include <new>
#include <string>
#include <utility>

namespace SFQt {

// ---- Look
inline const QColor kAccent(91, 138, 255);
inline const QColor kAccentDark(64, 112, 232);
inline const QColor kSurface(247, 248, 250);
inline const QColor kBorder(214, 219, 227);
inline const QColor kText(34, 34, 34);
inline const QColor kTextMuted(102, 102, 102);
inline const QColor kDisabledText(170, 174, 182);

// ---- Conversions
inline QString FromW(const wchar_t* text) {
    return text != nullptr ? QString::fromWCharArray(text) : QString();
}
inline std::wstring ToW(const QString& text) {
    return text.toStdWString();
}
// Copies at most size - 1 characters and a NUL into buffer; returns the characters copied.
int CopyOut(const QString& text, wchar_t* buffer, int size);
inline QColor FromColorRef(SFCOLORREF c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}
inline QRect ToQRect(const tagRECT& r) {
    return QRect(r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top));
}
inline tagRECT ToRect(const QRect& r) {
    return tagRECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}
inline QWidget* ParentWidget(void* parent) {
    return static_cast<QWidget*>(parent);
}
// A mouse event's position in the widget, as the sinks take it.
tagPOINT PointOf(const QMouseEvent* event);
// A colour as a style sheet writes it (#rrggbb).
inline QString CssColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}
// A skin name is looked up in the skin directory; a path with a directory is used as given.
QPixmap LoadPicture(const QString& nameOrPath);

// ---- Live windows (any thread). Windows register while they exist, so that a message posted
// by a worker thread never reaches a window that was already destroyed.
void RegisterWindow(QWidget* window);
void UnregisterWindow(QWidget* window);
// Posts the event to the window if it is registered (the event is deleted otherwise).
bool PostToWindow(void* window, QEvent* event);

// The available area of the screen the widget is on; empty without a screen.
QRect ScreenArea(const QWidget* widget);

// A new control or window, or null when the allocation fails (a widget constructor reports that
// by std::bad_alloc): what every SFCreate* factory returns.
template <class Impl, class... Args>
Impl* Make(Args&&... args) {
    try {
        return new Impl(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Whether translucent windows are composited on this display (Wayland, or an X server with a
// compositing manager). Offscreen and other platforms: no.
bool CompositorActive();

// A sink may destroy its control or window inside any callback (a logic that closes a view on
// a click). Every sink call after which the caller still touches itself goes through here: it calls `call` on the sink unless the
// sink is null, either a member function of the sink with `args`, or a callable taking the sink
// (for callbacks whose result is needed). Returns false when `self` was destroyed meanwhile; the
// caller must then return at once without touching a member or its Qt base.
template <class Sink, class Call, class... Args>
[[nodiscard]] bool CallSink(QObject* self, Sink* sink, Call&& call, Args&&... args) {
    if (sink == nullptr) {
        return true;
    }
    const QPointer<QObject> alive(self);
    std::invoke(std::forward<Call>(call), *sink, std::forward<Args>(args)...);
    return !alive.isNull();
}

// Looks a command, notification or user-interface message up in the sink's message map and
// runs the handler the entry names (SF_ON_UI_MESSAGE handlers get the event's value and id).
// `handled` tells whether a handler ran; returns false when `self` was destroyed by it.
bool DeliverToMap(QObject* self, OrvexBase::CSFEventBase* sink, const CSFCustomEvent& event,
                  int& handled);

// The common operations of every control over its Qt widget. Text operations go through the
// two hooks, which each control maps to its own text (button caption, label text ...).
template <class QtBase, class Abstract>
class CSFQTWidget : public QtBase, public Abstract {
public:
    template <class Sink>
    explicit CSFQTWidget(Sink* sink) : QtBase(), Abstract(sink) {}

    int ShowWindow(int show) override {
        this->setVisible(show != 0);
        return 1;
    }
    int MoveWindow(const tagRECT* rect) override {
        if (rect == nullptr) {
            return 0;
        }
        this->setGeometry(ToQRect(*rect));
        return 1;
    }
    int MoveWindow(int x, int y, int cx, int cy) override {
        this->setGeometry(x, y, std::max(0, cx), std::max(0, cy));
        return 1;
    }
    int EnableWindow(int enable) override {
        this->setEnabled(enable != 0);
        this->update();
        return 1;
    }
    void SetCursor() override { this->setCursor(Qt::PointingHandCursor); }
    void SetToolTipText(const wchar_t* text) override {
        m_toolTip = FromW(text);
        this->setToolTip(m_toolTipEnabled ? m_toolTip : QString());
    }
    void SetTooltipEnable(int enable) override {
        m_toolTipEnabled = enable != 0;
        this->setToolTip(m_toolTipEnabled ? m_toolTip : QString());
    }
    int GetWindowTextW(wchar_t* buffer, int size) override {
        return CopyOut(ControlText(), buffer, size);
    }
    void SetWindowTextW(const wchar_t* text) override { SetControlText(FromW(text)); }
    void* GetUIWnd() override { return static_cast<QWidget*>(this); }
    uint32_t GetCtrlID() override { return m_id; }

protected:
    virtual QString ControlText() const { return this->windowTitle(); }
    virtual void SetControlText(const QString& text) { this->setWindowTitle(text); }

    // The common part of Create: parent, geometry, id and (when asked) visibility by the
    // style's visible bit.
    void ApplyCreate(void* parent, const tagRECT* rect, uint32_t style, uint32_t id,
                     bool applyVisibility = true) {
        if (QWidget* p = ParentWidget(parent)) {
            this->setParent(p);
        }
        if (rect != nullptr) {
            this->setGeometry(ToQRect(*rect));
        }
        m_id = id;
        if (applyVisibility) {
            this->setVisible((style & SF_WS_VISIBLE) != 0);
        }
    }

    uint32_t m_id = 0;
    QString m_toolTip;
    bool m_toolTipEnabled = true;
};

}  // namespace SFQt
