#include "toolkit/SFToolkit.h"

#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

#include <cstring>

namespace {
QPointer<QCoreApplication> g_application;
}

void SFSetApplication(QCoreApplication* app) {
    g_application = app;
}

QCoreApplication* SFGetApplication() {
    return g_application.data();
}

void SFAddAppDirToLibraryPaths() {
    QCoreApplication::addLibraryPath(QString::fromStdString(SF_SOFT_BASE::ApplicationDirectory()));
}

std::wstring SFGetAppPath() {
    return SF_SOFT_BASE::CSFStreamConvert::ToWide(SF_SOFT_BASE::ApplicationDirectory(),
                                                  SF_SOFT_BASE::CP_UTF8);
}

int SFUtf8ToLocal(const char* src, char* dst, int size) {
    if (dst == nullptr || size <= 0) {
        return 0;
    }
    const std::wstring wide =
        SF_SOFT_BASE::CSFStreamConvert::ToWide(src != nullptr ? src : "", SF_SOFT_BASE::CP_UTF8);
    const std::string local = SF_SOFT_BASE::CSFStreamConvert::ToNarrow(wide);
    size_t n = local.size();
    if (n > static_cast<size_t>(size - 1)) {
        n = static_cast<size_t>(size - 1);
        // Back off to the start of a character: UTF-8 continuation bytes are 10xxxxxx.
        while (n > 0 && (static_cast<unsigned char>(local[n]) & 0xC0) == 0x80) {
            --n;
        }
    }
    std::memcpy(dst, local.data(), n);
    dst[n] = '\0';
    return static_cast<int>(n);
}

int SFOpenDocument(const std::wstring& path) {
    if (path.empty()) {
        return 0;
    }
    const QString p = QString::fromStdWString(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(p).absoluteFilePath())) ? 1 : 0;
}
