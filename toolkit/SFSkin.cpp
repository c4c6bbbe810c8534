#include "toolkit/SFSkin.h"

#include "toolkit/SFToolkit.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLocale>
#include <QLoggingCategory>
#include <QStringList>

#include <cmath>
#include <limits>

Q_LOGGING_CATEGORY(lcSkin, "tessaro.toolkit.skin", QtWarningMsg)

namespace {

float g_uiScale = 1.0f;
QString g_skinDirectory;

// Skin images already decoded, by file (the "@2x" twin or the plain image) and ratio. The same
// button faces and radio box images are named by many controls; a pixmap is shared, so each is
// decoded once. The file's modification time is kept: a file replaced since is read again.
// GUI thread only (pixmaps are).
struct CachedSkinImage {
    QPixmap pixmap;
    QDateTime modified;
};
QHash<QString, CachedSkinImage>& SkinImageCache() {
    static QHash<QString, CachedSkinImage> cache;
    return cache;
}
bool g_cacheCleanupRegistered = false;
// The pixmaps go with the application object, not after it (at the process's exit).
void ClearSkinImageCache() {
    SkinImageCache().clear();
    g_cacheCleanupRegistered = false;
}

// The pixmap of file at ratio, from the cache while the file is unchanged; null if it does not
// load (not kept: it may appear later).
QPixmap LoadCachedSkinFile(const QString& file, int ratio) {
    const QDateTime modified = QFileInfo(file).lastModified();
    if (!modified.isValid()) {
        return QPixmap();  // no such file
    }
    const QString key = file + (ratio == 2 ? QStringLiteral("|2") : QStringLiteral("|1"));
    QHash<QString, CachedSkinImage>& cache = SkinImageCache();
    const auto found = cache.constFind(key);
    if (found != cache.cend() && found->modified == modified) {
        return found->pixmap;
    }
    QPixmap pixmap;
    if (!pixmap.load(file)) {
        cache.remove(key);
        return QPixmap();
    }
    if (ratio == 2) {
        pixmap.setDevicePixelRatio(2);
    }
    if (!g_cacheCleanupRegistered && QCoreApplication::instance() != nullptr) {
        qAddPostRoutine(ClearSkinImageCache);
        g_cacheCleanupRegistered = true;
    }
    cache.insert(key, {pixmap, modified});
    return pixmap;
}

QString ToQt(const std::wstring& text) {
    return QString::fromStdWString(text);
}

// A decimal integer in the C locale; blanks around it allowed.
bool ParseInt(QStringView text, int& out) {
    bool ok = false;
    const int v = QLocale::c().toInt(text.trimmed(), &ok);
    if (ok) {
        out = v;
    }
    return ok;
}

}  // namespace

float SFGetUIScale() {
    return g_uiScale;
}

void SFSetUIScale(float scale) {
    // A scale that is not a positive finite number would collapse or explode every layout.
    g_uiScale = (std::isfinite(scale) && scale > 0.0f) ? scale : 1.0f;
}

int SFScaled(int n) {
    const double v = std::trunc(static_cast<double>(n) * g_uiScale);
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) {
        return n;
    }
    return static_cast<int>(v);
}

QRect SFParseSkinRect(const std::wstring& text) {
    const QString s = ToQt(text);
    const QList<QStringView> parts = QStringView(s).split(u',');
    int v[4] = {0, 0, 0, 0};
    if (parts.size() != 4) {
        if (!s.trimmed().isEmpty()) {
            qCDebug(lcSkin) << "malformed rectangle" << s;
        }
        return QRect(0, 0, 0, 0);
    }
    for (int i = 0; i < 4; ++i) {
        if (!ParseInt(parts[i], v[i])) {
            qCDebug(lcSkin) << "malformed rectangle" << s;
            return QRect(0, 0, 0, 0);
        }
    }
    return QRect(v[0], v[1], v[2], v[3]);
}

QPoint SFParseSkinPair(const std::wstring& text) {
    const QString s = ToQt(text).trimmed();
    const QStringList parts = s.split(u',', Qt::SkipEmptyParts);
    if (parts.size() != 2) {
        return QPoint(0, 0);
    }
    int a = 0;
    int b = 0;
    if (!ParseInt(parts[0], a) || !ParseInt(parts[1], b)) {
        return QPoint(0, 0);
    }
    return QPoint(a, b);
}

QColor SFParseSkinColor(const std::wstring& text) {
    const QString s = ToQt(text);
    if (s.size() != 6) {
        return QColor(0, 0, 0);
    }
    int rgb[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        rgb[i] = s.mid(i * 2, 2).toInt(&ok, 16);
        if (!ok || s.at(i * 2) == u'+' || s.at(i * 2) == u'-') {
            return QColor(0, 0, 0);
        }
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

int SFParseSkinAlign(const std::wstring& text) {
    const QString s = ToQt(text).trimmed().toLower();
    if (s == QStringLiteral("center")) {
        return 1;
    }
    if (s == QStringLiteral("right")) {
        return 2;
    }
    return 0;
}

QRect SFResolveSkinPosition(const QRect& position, int windowWidth) {
    if (position.x() >= 0) {
        return position;
    }
    return QRect(position.x() + windowWidth, position.y(), position.width(), position.height());
}

void SFSetSkinPath(const wchar_t* directory) {
    g_skinDirectory = directory != nullptr ? QString::fromWCharArray(directory) : QString();
    SkinImageCache().clear();  // the images of another skin are not kept
}

QString SFSkinDirectory() {
    return g_skinDirectory;
}

QString SFSkinImagePath(const std::wstring& name) {
    // Without a skin directory a name would resolve against the working directory (or, with
    // a leading slash, the file system's root): there is no image then.
    if (name.empty() || g_skinDirectory.isEmpty()) {
        return QString();
    }
    return g_skinDirectory + ToQt(name);
}

int SFSkinImageRatio() {
    return qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0 ? 2 : 1;
}

QRect SFSkinSourceRect(const QPixmap& pixmap, const QRect& logical) {
    const qreal ratio = pixmap.devicePixelRatio();
    if (ratio == 1.0) {
        return logical;
    }
    return QRect(qRound(logical.x() * ratio), qRound(logical.y() * ratio),
                 qRound(logical.width() * ratio), qRound(logical.height() * ratio));
}

QPixmap SFLoadSkinImage(const std::wstring& name) {
    if (name.empty()) {
        return QPixmap();
    }
    const QString path = SFSkinImagePath(name);
    if (path.isEmpty()) {
        return QPixmap();
    }
    if (SFSkinImageRatio() == 2) {
        // "dir/name.png" -> "dir/name@2x.png"; a name without a suffix gets "@2x" at its end.
        const qsizetype dot = path.lastIndexOf(u'.');
        const qsizetype slash = path.lastIndexOf(u'/');
        const QString twin = dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot)
                                         : path + QStringLiteral("@2x");
        // Qt reads the ratio from the "@2x" in the name unless that is switched off in the
        // environment; the layouts rely on it, so it is set (LoadCachedSkinFile) whatever the
        // environment.
        const QPixmap pixmap = LoadCachedSkinFile(twin, 2);
        if (!pixmap.isNull()) {
            return pixmap;
        }
    }
    const QPixmap pixmap = LoadCachedSkinFile(path, 1);
    if (pixmap.isNull()) {
        qCDebug(lcSkin) << "skin image not loaded" << path;
    }
    return pixmap;
}

QPixmap SFLoadImageFile(const std::wstring& path) {
    if (path.empty()) {
        return QPixmap();
    }
    QPixmap pixmap;
    if (!pixmap.load(ToQt(path))) {
        qCDebug(lcSkin) << "image not loaded" << ToQt(path);
        return QPixmap();
    }
    return pixmap;
}
