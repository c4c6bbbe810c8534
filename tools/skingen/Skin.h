#pragma once
// The skin: every image the program's windows draw, each with the recipe that paints it. The
// images are painted from the vector icons in data/skin/icons and from drawing code here, so the
// repository keeps sources, never opaque pictures. Frame images follow the piece rectangles of the
// window records exactly (a piece cut from the wrong row or column shows as a seam).
//
// Threading: everything here runs on the thread that owns the QGuiApplication (QPainter on
// QImage needs fonts). Nothing keeps state between calls.
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

class QPainter;
class QRectF;

namespace skingen {

// The look's colours, shared by every recipe.
namespace palette {
inline const QColor kAccent{91, 138, 255};
inline const QColor kAccentHover{116, 157, 255};
inline const QColor kAccentPressed{66, 112, 230};
inline const QColor kAccentTint{238, 243, 255};
inline const QColor kAccentTintStrong{221, 231, 255};
inline const QColor kSurface{255, 255, 255};
inline const QColor kSurfaceSunken{245, 247, 251};
inline const QColor kBorder{206, 213, 226};
inline const QColor kDivider{228, 232, 239};
inline const QColor kFrameEdge{196, 205, 222};
inline const QColor kIcon{94, 102, 117};
inline const QColor kIconDisabled{184, 190, 201};
inline const QColor kText{34, 34, 34};
inline const QColor kTextMuted{153, 153, 153};
inline const QColor kSection{255, 138, 91};
inline const QColor kDanger{229, 72, 77};
}  // namespace palette

// The vector icons of data/skin/icons. Each file strokes with "currentColor", replaced by the
// colour asked for when it is drawn. Not thread-safe; one instance per run.
class IconLibrary {
public:
    explicit IconLibrary(QString directory);
    // Draws icon `name` (file name without ".svg") into `target`. A missing or unreadable icon
    // draws nothing and is remembered in Missing().
    void Draw(QPainter& painter, const QString& name, const QRectF& target,
              const QColor& colour) const;
    QStringList Missing() const;

private:
    QString m_directory;
    mutable std::map<QString, QByteArray> m_sources;
    mutable QStringList m_missing;
};

// Where an image is painted: the painter (on a transparent ARGB image of `size` logical pixels)
// and the icons. At `ratio` 2 the image has twice as many pixels each way and the painter is
// scaled by 2, so a recipe draws in logical pixels and is painted, not enlarged, at both ratios;
// a recipe that works per pixel (grain) works per device pixel with it.
struct Canvas {
    QPainter& painter;
    QSize size;
    const IconLibrary& icons;
    int ratio = 1;
};

struct SkinImage {
    QString name;    // file name under Skin/, exactly as the window records name it
    QSize size;      // pixel size; frame images must match their records' rectangles
    QString shows;   // one line for docs/skin.md
    QString usedBy;  // the windows and records that load it
    std::function<void(Canvas&)> paint;
};

// Every image of the skin, in a stable order (the order of docs/skin.md).
const std::vector<SkinImage>& Catalogue();

// Paints one image at `ratio` 1 or 2. The result is ARGB32 of exactly image.size × ratio, with
// that device pixel ratio (the high-density twin, "name@2x.png", is painted at 2).
QImage Render(const SkinImage& image, const IconLibrary& icons, int ratio = 1);

// The file name of an image's high-density twin: "logo.png" -> "logo@2x.png" (Qt's rule).
QString TwinName(const QString& name);

// The application icon's sizes in the hicolor theme, painted from the logo's source (the
// "logo" icon) like the skin's logo.png; the icon itself is also installed as the scalable one.
inline constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};
QImage RenderAppIcon(const IconLibrary& icons, int side);

// The artwork recipes that are more than a control face (defined in Artwork.cpp).
void PaintCitySkyline(Canvas& canvas);
void PaintGradientLandscape(Canvas& canvas);
void PaintBackWall(Canvas& canvas);
void PaintNoVideo(Canvas& canvas);
void PaintAboutBanner(Canvas& canvas);
void PaintModelPicture(Canvas& canvas);

}  // namespace skingen
