#include "toolkit/qt/SFQTCommon.h"

#include "toolkit/SFCustomEvent.h"
#include "toolkit/SFToolkit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QScreen>
#include <QPixmap>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <unordered_set>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define SF_HAVE_XCB 1
#endif

Q_LOGGING_CATEGORY(lcToolkit, "tessaro.toolkit", QtWarningMsg)

namespace SFQt {
namespace {

std::mutex g_windowsLock;
std::unordered_set<const void*>& Windows() {
    static std::unordered_set<const void*> windows;
    return windows;
}

QString g_styleSheetPath;

#ifdef SF_HAVE_XCB
bool XCompositorRunning() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return false;
    }
    xcb_connection_t* c = x11->connection();
    // A compositing manager owns the selection _NET_WM_CM_S<screen>.
    const QByteArray name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    if (atom == nullptr) {
        return false;
    }
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    const bool running = owner != nullptr && owner->owner != XCB_NONE;
    std::free(owner);
    std::free(atom);
    return running;
}
#endif

}  // namespace

int CopyOut(const QString& text, wchar_t* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const std::wstring w = text.toStdWString();
    const size_t n = std::min(w.size(), static_cast<size_t>(size - 1));
    std::wmemcpy(buffer, w.data(), n);
    buffer[n] = L'\0';
    return static_cast<int>(n);
}

tagPOINT PointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return tagPOINT{p.x(), p.y()};
}

QPixmap LoadPicture(const QString& nameOrPath) {
    if (nameOrPath.isEmpty()) {
        return QPixmap();
    }
    // A bare name never falls back to the working directory: nothing is read from there.
    if (!nameOrPath.contains(u'/') && !QDir::isAbsolutePath(nameOrPath)) {
        return SFLoadSkinImage(nameOrPath.toStdWString());
    }
    QPixmap pixmap;
    if (!pixmap.load(nameOrPath)) {
        qCDebug(lcToolkit) << "picture not loaded" << nameOrPath;
        return QPixmap();
    }
    return pixmap;
}

void RegisterWindow(QWidget* window) {
    std::lock_guard<std::mutex> lock(g_windowsLock);
    Windows().insert(window);
}

void UnregisterWindow(QWidget* window) {
    std::lock_guard<std::mutex> lock(g_windowsLock);
    Windows().erase(window);
}

bool PostToWindow(void* window, QEvent* event) {
    // The lock is held across postEvent so that the window cannot finish its destructor (which
    // unregisters it first) between the check and the post; Qt drops events still queued for
    // an object when it is destroyed.
    std::lock_guard<std::mutex> lock(g_windowsLock);
    if (window == nullptr || Windows().count(window) == 0) {
        delete event;
        return false;
    }
    QCoreApplication::postEvent(static_cast<QWidget*>(window), event);
    return true;
}

bool DeliverToMap(QObject* self, OrvexBase::CSFEventBase* sink, const CSFCustomEvent& event,
                  int& handled) {
    handled = 0;
    return CallSink(self, sink, [&](OrvexBase::CSFEventBase& s) {
        handled = s.DispatchSFMessage(event.Message(), event.Code(), event.Id(), event.Value(),
                                      static_cast<OrvexBase::SF_LPARAM>(event.Id()));
    });
}

QRect ScreenArea(const QWidget* widget) {
    const QScreen* screen = widget->screen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

bool CompositorActive() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QStringLiteral("wayland"))) {
        return true;
    }
#ifdef SF_HAVE_XCB
    if (platform == QStringLiteral("xcb")) {
        return XCompositorRunning();
    }
#endif
    return false;
}

}  // namespace SFQt

int SFLoadStyleSheet(const wchar_t* path) {
    SFQt::g_styleSheetPath = SFQt::FromW(path);
    auto* app = qobject_cast<QApplication*>(SFGetApplication());
    if (app == nullptr || SFQt::g_styleSheetPath.isEmpty()) {
        return 0;
    }
    QFile file(SFQt::g_styleSheetPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCDebug(lcToolkit) << "style sheet not opened" << SFQt::g_styleSheetPath;
        return 0;
    }
    app->setStyleSheet(QString::fromUtf8(file.readAll()));
    return 1;
}

int SFPostUIMessage(void* target, uint32_t a, uint32_t b) {
    return SFQt::PostToWindow(target, new CSFCustomEvent(SF_WM_TIMER, SF_WM_TIMER, b, a)) ? 1 : 0;
}

int SFFileDialog(void* parent, SFFileDialogMode mode, const std::wstring& title,
                 const std::wstring& startDirectory, const std::wstring& filter,
                 std::wstring& chosen) {
    QWidget* owner = SFQt::ParentWidget(parent);
    const QString caption = QString::fromStdWString(title);
    const QString start = QString::fromStdWString(startDirectory);
    const QString filters = QString::fromStdWString(filter);
    QString result;
    switch (mode) {
        case SFFileDialogMode::OpenFolder:
            result = QFileDialog::getExistingDirectory(owner, caption, start);
            break;
        case SFFileDialogMode::OpenFile:
            result = QFileDialog::getOpenFileName(owner, caption, start, filters);
            break;
        case SFFileDialogMode::SaveFile:
            result = QFileDialog::getSaveFileName(owner, caption, start, filters);
            break;
    }
    if (result.isEmpty()) {
        return 0;
    }
    chosen = result.toStdWString();
    return 1;
}
