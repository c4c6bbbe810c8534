#include "shell/LogLibrary.h"

#include "framework/os/SFAppDir.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>

#include <dlfcn.h>

#include <string>
#include <utility>

Q_LOGGING_CATEGORY(lcLogLibrary, "tessaro.loglib", QtWarningMsg)

namespace tessaro {
namespace {

constexpr char kLibraryName[] = "libQXLog.so";

void* g_library = nullptr;
void* g_logW = nullptr;
void* g_logA = nullptr;
LogLibraryNoticeSink g_sink;

void ShowNotice(const QString& caption, const QString& text) {
    if (g_sink) {
        g_sink(caption, text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        qCInfo(lcLogLibrary) << "no widgets to show the notice:" << text;
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, nullptr);
    box.exec();
}

void* OpenLibrary() {
    const std::string local = SF_SOFT_BASE::ApplicationDirectory() + "/" + kLibraryName;
    if (void* handle = ::dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        return handle;
    }
    qCDebug(lcLogLibrary) << "not in the application directory:" << ::dlerror();
    void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        qCDebug(lcLogLibrary) << "log library not loaded:" << ::dlerror();
    }
    return handle;
}

}  // namespace

bool LoadLogLibrary() {
    if (g_library != nullptr) {
        return true;
    }
    void* library = OpenLibrary();
    if (library == nullptr) {
        return false;
    }
    void* logW = ::dlsym(library, "SLogW");
    void* logA = logW != nullptr ? ::dlsym(library, "SLogA") : nullptr;
    if (logW == nullptr || logA == nullptr) {
        // The texts are the program's own (they name the library by its historical file name).
        const QString text = logW == nullptr
                                 ? QString::fromUtf8("加载QXLog.dll时；获取SLog函数地址失败！")
                                 : QString::fromUtf8("加载QXLog.dll时；获取SLogA函数地址失败！");
        ShowNotice(QString::fromUtf8("提示"), text);
        ::dlclose(library);
        return false;
    }
    g_library = library;
    g_logW = logW;
    g_logA = logA;
    qCDebug(lcLogLibrary) << "log library bound";
    return true;
}

void UnloadLogLibrary() {
    if (g_library != nullptr) {
        ::dlclose(g_library);
    }
    g_library = nullptr;
    g_logW = nullptr;
    g_logA = nullptr;
}

bool LogLibraryLoaded() {
    return g_library != nullptr;
}

void* LogEntryPointW() {
    return g_logW;
}

void* LogEntryPointA() {
    return g_logA;
}

void SetLogLibraryNoticeSink(LogLibraryNoticeSink sink) {
    g_sink = std::move(sink);
}

}  // namespace tessaro
