#pragma once
// Where the wall preview draws what: worked out from its WallGeometry and its pixel size. Pure (no
// widgets, no fonts, no painting), so every number can be checked without a window.
//
// With w × h the preview's size and m its margin (95): the back wall is the rectangle from (m, m)
// to (w − m, h − m), Wpx = w − 2m by Hpx = h − 2m pixels; the ceiling, floor and side walls fill
// the margins in perspective. The panels stand centred on the back wall on their lampstand:
//   aw = columnsWidth / wallWidth × Wpx     ah = rowsHeight / wallHeight × Hpx
//   lp = lampstand / wallHeight × Hpx       x0 = (Wpx − aw) / 2      g = Hpx − ah − lp
// and the panel rectangle is trunc(m + x0), trunc(m + g), trunc(m + x0 + aw), trunc(m + g + ah).
// A wall of size 0 draws no panels instead of dividing by it, a preview smaller than its margins
// draws them at most half its size (an empty back wall in its middle), and a lampstand taller than
// the wall keeps the panels on the back wall; the labels always show the true lengths.
#include "Main/model/WallGeometry.h"
#include "toolkit/SFRect.h"

#include <QRect>
#include <QSize>
#include <QString>

// The preview's seven labels, by number.
enum EffectViewLabel {
    kLabelModel = 0,       // the model name, in the top right corner of the back wall
    kLabelLeftGap = 1,     // (wallWidth − columnsWidth) / 2, over the gap left of the panels
    kLabelWallWidth = 2,   // columnsWidth, over the panels
    kLabelRightGap = 3,    // (wallWidth − columnsWidth) / 2, over the gap right of the panels
    kLabelGapAbove = 4,    // wallHeight − rowsHeight − lampstand, beside the gap above
    kLabelWallHeight = 5,  // rowsHeight, beside the panels
    kLabelLampstand = 6,   // lampstand, beside the stand
    kLabelCount = 7,
};

struct EffectViewLayout {
    int width = 0;
    int height = 0;
    int margin = 0;
    QRect backWall;  // (m, m), Wpx × Hpx
    // The scale, in pixels (see above).
    double aw = 0.0;
    double ah = 0.0;
    double lp = 0.0;
    double x0 = 0.0;
    double g = 0.0;
    tagRECT panel{0, 0, 0, 0};  // own coordinates; right and bottom exclusive
    int columns = 0;
    int rows = 0;
    // Dimension lines: the top one at y = m / 2 with ticks at x = m, panel left, panel right,
    // w − m; the side one at x = w − m / 2 − 5 with ticks at y = m, panel top, panel bottom,
    // h − m. Ticks are 10 pixels long; dotted lines run from them to the back wall.
    int topLineY = 0;
    int topTicks[4] = {};
    int sideLineX = 0;
    int sideTicks[4] = {};
    // The label texts ("%0.2f" and the unit; the model name for label 0) and their rectangles
    // as laid out: 50 × 20 for the dimensions, centred on their spans (the side ones moved apart
    // where the spans are shorter than a label); 110 × 20 for the model.
    QString texts[kLabelCount];
    QRect labels[kLabelCount];
};

// The layout of a preview of width × height pixels drawing the geometry.
EffectViewLayout LayOutEffectView(const WallGeometry& geometry, int width, int height);

// A length as the labels show it: two decimals in the C locale followed by "m" (metricUnits 1) or
// "ft" (0): "2.40m", "7.86ft". Never "-0.00"; a length that is not finite shows as an empty text.
QString DimensionText(double value, int metricUnits);

// Where the button of the given number (WallButton) goes, keeping its size: the column buttons
// above the back wall either side of the middle, the row buttons right of it either side of the
// panels' middle, rotate and change model left of it either side of the middle, 5 pixels from
// the middle and from the back wall.
QRect EffectViewButtonRect(const EffectViewLayout& layout, int button, QSize size);

// How a label grows when its text needs more than its nominal width.
enum class LabelGrowth {
    kAroundCentre,  // the dimension labels: centred on their spans
    kLeftwards,     // the model name: kept in the back wall's top right corner
};

// A label whose text needs more than its nominal width grows to that width around the same
// centre, then moves (never shrinks) to stay inside the preview's width; or, growing leftwards,
// keeps its right edge and stops at the preview's left edge. A nominal label is kept exactly as
// laid out.
QRect FitLabelRect(const QRect& nominal, int neededWidth, int viewWidth,
                   LabelGrowth growth = LabelGrowth::kAroundCentre);
