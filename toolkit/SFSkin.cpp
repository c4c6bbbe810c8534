#include "toolkit/SFSkin.h"

#include "toolkit/SFToolkit.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QLoggingCategory>
#include <QStringList>

#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

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

// Images decoded ahead on a thread of their own (SFPrefetchSkinImages), in the order named. The
// GUI thread takes an image when it first asks for it: a decoded image becomes its pixmap, one
// being decoded is waited for, and one not yet started is decoded by the GUI thread itself and
// then skipped here. So asking never waits longer than a decoding already under way, and a
// name never asked for costs only this thread's time.
class SkinPrefetch {
public:
    static SkinPrefetch& Instance() {
        static SkinPrefetch prefetch;
        return prefetch;
    }

    void Start(std::vector<QString> files) {
        Stop();
        std::lock_guard<std::mutex> guard(m_lock);
        for (const QString& file : files) {
            m_entries.insert(file, Entry{});
        }
        m_notNamed = 0;
        m_thread = std::jthread(
            [this, files = std::move(files)](std::stop_token stop) { Run(stop, files); });
    }

    // The image of `file` decoded ahead, if it was named and read unchanged since (`modified`).
    std::optional<QImage> Take(const QString& file, const QDateTime& modified) {
        std::unique_lock<std::mutex> guard(m_lock);
        auto found = m_entries.find(file);
        if (found == m_entries.end()) {
            ++m_notNamed;
            qCDebug(lcSkin) << "decoded by the caller, not named ahead:" << file;
            return std::nullopt;
        }
        // Only this (the GUI) thread inserts or removes entries, so `found` stays valid.
        m_decoded.wait(guard, [&] { return found->state != State::Decoding; });
        const bool usable =
            found->state == State::Decoded && !found->image.isNull() && found->modified == modified;
        QImage image = std::move(found->image);
        m_entries.erase(found);  // taken, or left to the GUI thread: skipped by the thread
        return usable ? std::optional<QImage>(std::move(image)) : std::nullopt;
    }

    // Waits for the thread to end (after the image it is decoding) and drops everything
    // decoded ahead.
    void Stop() {
        if (m_thread.joinable()) {
            m_thread.request_stop();
            m_thread.join();
        }
        std::lock_guard<std::mutex> guard(m_lock);
        m_entries.clear();
    }

    int NotNamed() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_notNamed;
    }

    ~SkinPrefetch() { Stop(); }

private:
    enum class State { Queued, Decoding, Decoded };
    struct Entry {
        State state = State::Queued;
        QImage image;
        QDateTime modified;
    };

    void Run(const std::stop_token& stop, const std::vector<QString>& files) {
        for (const QString& file : files) {
            if (stop.stop_requested()) {
                return;
            }
            {
                std::lock_guard<std::mutex> guard(m_lock);
                const auto found = m_entries.find(file);
                if (found == m_entries.end() || found->state != State::Queued) {
                    continue;  // taken by the GUI thread before its turn
                }
                found->state = State::Decoding;
            }
            const QDateTime modified = QFileInfo(file).lastModified();
            QImage image;
            image.load(file);
            {
                std::lock_guard<std::mutex> guard(m_lock);
                const auto found = m_entries.find(file);
                if (found != m_entries.end()) {
                    found->image = std::move(image);
                    found->modified = modified;
                    found->state = State::Decoded;
                }
            }
            m_decoded.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_decoded;
    QHash<QString, Entry> m_entries;  // by file; an entry goes when the GUI thread asks for it
    int m_notNamed = 0;               // files asked for since Start that were not named
    std::jthread m_thread;
};

// The pixmaps go with the application object, not after it (at the process's exit).
void ClearSkinImageCache() {
    SkinPrefetch::Instance().Stop();
    SkinImageCache().clear();
    g_cacheCleanupRegistered = false;
}
void RegisterCacheCleanup() {
    if (!g_cacheCleanupRegistered && QCoreApplication::instance() != nullptr) {
        qAddPostRoutine(ClearSkinImageCache);
        g_cacheCleanupRegistered = true;
    }
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
    if (std::optional<QImage> image = SkinPrefetch::Instance().Take(file, modified)) {
        pixmap = QPixmap::fromImage(std::move(*image));
    } else if (!pixmap.load(file)) {
        cache.remove(key);
        return QPixmap();
    }
    if (ratio == 2) {
        pixmap.setDevicePixelRatio(2);
    }
    RegisterCacheCleanup();
    cache.insert(key, {pixmap, modified});
    return pixmap;
}

// "dir/name.png" -> "dir/name@2x.png"; a name without a suffix gets "@2x" at its end.
QString TwinPath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype slash = path.lastIndexOf(u'/');
    return dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot)
                       : path + QStringLiteral("@2x");
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
    SkinPrefetch::Instance().Stop();
    SkinImageCache().clear();  // the images of another skin are not kept
}

void SFPrefetchSkinImages(const std::vector<std::wstring>& names) {
    // Resolved now as SFLoadSkinImage resolves them, at the ratio of now: the twin where it
    // exists at ratio 2.
    const bool twins = SFSkinImageRatio() == 2;
    std::vector<QString> files;
    files.reserve(names.size());
    for (const std::wstring& name : names) {
        const QString path = SFSkinImagePath(name);
        if (path.isEmpty()) {
            continue;
        }
        const QString twin = twins ? TwinPath(path) : QString();
        files.push_back(!twin.isEmpty() && QFileInfo::exists(twin) ? twin : path);
    }
    SkinPrefetch::Instance().Start(std::move(files));
    RegisterCacheCleanup();
}

int SFSkinImagesNotPrefetched() {
    return SkinPrefetch::Instance().NotNamed();
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
        const QString twin = TwinPath(path);
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
