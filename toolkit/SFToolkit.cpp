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
    // Character by character, so the cut falls between whole characters whatever the local
    // encoding is (a single-byte code page has no continuation bytes to back off over).
    const size_t room = static_cast<size_t>(size - 1);
    std::string local;
    for (const wchar_t c : wide) {
        const std::string piece =
            SF_SOFT_BASE::CSFStreamConvert::ToNarrow(std::wstring_view(&c, 1));
        if (local.size() + piece.size() > room) {
            break;
        }
        local += piece;
    }
    std::memcpy(dst, local.data(), local.size());
    dst[local.size()] = '\0';
    return static_cast<int>(local.size());
}

int SFOpenDocument(const std::wstring& path) {
    if (path.empty()) {
        return 0;
    }
    const QString p = QString::fromStdWString(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(p).absoluteFilePath())) ? 1 : 0;
}
