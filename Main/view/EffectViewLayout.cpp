#include "Main/view/EffectViewLayout.h"

#include <QLatin1StringView>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kLabelWidth = 50;
constexpr int kLabelHeight = 20;
constexpr int kModelLabelWidth = 110;
constexpr int kTick = 5;  // half a tick's length, and the buttons' distance

// part / whole held to [0, 1]; 0 when the whole is not a positive length (no division by 0) or
// the quotient is not a number.
double Share(double part, double whole) {
    if (!(whole > 0.0)) {
        return 0.0;
    }
    const double share = part / whole;
    return share > 0.0 ? std::min(share, 1.0) : 0.0;  // a NaN share is not > 0
}

// trunc(x), for coordinates already bounded by the preview's size.
int Trunc(double x) {
    return static_cast<int>(x);
}

QRect DimensionLabel(int left, int top) {
    return QRect(left, top, kLabelWidth, kLabelHeight);
}

}  // namespace

QString DimensionText(double value, int metricUnits) {
    if (!std::isfinite(value)) {
        return QString();
    }
    // Whatever rounds to zero from below would print as "-0.00".
    if (value < 0.0 && value > -0.005) {
        value = 0.0;
    }
    // QString::number formats in the C locale whatever the user's locale is.
    return QString::number(value, 'f', 2) +
           (metricUnits != 0 ? QLatin1StringView("m") : QLatin1StringView("ft"));
}

EffectViewLayout LayOutEffectView(const WallGeometry& geometry, int width, int height) {
    EffectViewLayout l;
    l.width = std::max(0, width);
    l.height = std::max(0, height);
    const int w = l.width;
    const int h = l.height;
    // A preview smaller than its margins (only ever set directly) shrinks them, so that the room
    // converges on its middle and the panels stay inside it.
    const int m = std::max(0, std::min({geometry.ViewMargin(), w / 2, h / 2}));
    l.margin = m;
    const double wallPx = std::max(0, w - 2 * m);
    const double heightPx = std::max(0, h - 2 * m);
    l.backWall = QRect(m, m, Trunc(wallPx), Trunc(heightPx));

    l.aw = Share(geometry.ColumnsWidth(), geometry.WallWidth()) * wallPx;
    l.lp = Share(geometry.Lampstand(), geometry.WallHeight()) * heightPx;
    l.ah =
        std::min(Share(geometry.RowsHeight(), geometry.WallHeight()) * heightPx, heightPx - l.lp);
    l.x0 = (wallPx - l.aw) / 2.0;
    l.g = heightPx - l.ah - l.lp;
    l.panel =
        tagRECT{Trunc(m + l.x0), Trunc(m + l.g), Trunc(m + l.x0 + l.aw), Trunc(m + l.g + l.ah)};
    l.columns = geometry.Columns();
    l.rows = geometry.Rows();

    l.topLineY = m / 2;
    l.topTicks[0] = m;
    l.topTicks[1] = l.panel.left;
    l.topTicks[2] = l.panel.right;
    l.topTicks[3] = w - m;
    l.sideLineX = w - m / 2 - kTick;
    l.sideTicks[0] = m;
    l.sideTicks[1] = l.panel.top;
    l.sideTicks[2] = l.panel.bottom;
    l.sideTicks[3] = h - m;

    const int units = geometry.MetricUnits();
    const double side = (geometry.WallWidth() - geometry.ColumnsWidth()) / 2.0;
    l.texts[kLabelModel] = QString::fromStdWString(geometry.ModelName());
    l.texts[kLabelLeftGap] = DimensionText(side, units);
    l.texts[kLabelWallWidth] = DimensionText(geometry.ColumnsWidth(), units);
    l.texts[kLabelRightGap] = DimensionText(side, units);
    l.texts[kLabelGapAbove] =
        DimensionText(geometry.WallHeight() - geometry.RowsHeight() - geometry.Lampstand(), units);
    l.texts[kLabelWallHeight] = DimensionText(geometry.RowsHeight(), units);
    l.texts[kLabelLampstand] = DimensionText(geometry.Lampstand(), units);

    // Each dimension label is centred on its span: the top ones above the line, the side ones
    // right of it.
    const double topEdges[4] = {double(m), m + l.x0, m + l.x0 + l.aw, double(w - m)};
    const int topLabelsTop = Trunc(m / 2.0 - 25);
    for (int i = 0; i < 3; ++i) {
        const double mid = (topEdges[i] + topEdges[i + 1]) / 2.0;
        l.labels[kLabelLeftGap + i] = DimensionLabel(Trunc(mid - kLabelWidth / 2.0), topLabelsTop);
    }
    const double sideEdges[4] = {double(m), m + l.g, m + l.g + l.ah, double(h - m)};
    for (int i = 0; i < 3; ++i) {
        const double mid = (sideEdges[i] + sideEdges[i + 1]) / 2.0;
        l.labels[kLabelGapAbove + i] = DimensionLabel(w - m / 2, Trunc(mid - kLabelHeight / 2.0));
    }
    // On a wall much wider than high the three spans beside it are shorter than a label: the
    // labels of the gap above and of the lampstand then move off the panels' label instead of
    // covering it (the margins leave room for them).
    const int panelsLabelTop = l.labels[kLabelWallHeight].top();
    QRect& above = l.labels[kLabelGapAbove];
    QRect& stand = l.labels[kLabelLampstand];
    above.moveTop(std::min(above.top(), panelsLabelTop - kLabelHeight));
    stand.moveTop(std::max(stand.top(), panelsLabelTop + kLabelHeight));
    l.labels[kLabelModel] = QRect(w - m - kModelLabelWidth, m, kModelLabelWidth, kLabelHeight);
    return l;
}

QRect EffectViewButtonRect(const EffectViewLayout& l, int button, QSize size) {
    const int w = l.width;
    const int h = l.height;
    const int m = l.margin;
    const int bw = size.width();
    const int bh = size.height();
    const double rowsMiddle = m + l.g + l.ah / 2.0;
    switch (button) {
        case kButtonMoreColumns:
            return QRect(w / 2 - kTick - bw, m - kTick - bh, bw, bh);
        case kButtonLessColumns:
            return QRect(w / 2 + kTick, m - kTick - bh, bw, bh);
        case kButtonMoreRows:
            return QRect(w - m + kTick, Trunc(rowsMiddle - kTick) - bh, bw, bh);
        case kButtonLessRows:
            return QRect(w - m + kTick, Trunc(rowsMiddle + kTick), bw, bh);
        case kButtonRotate:
            return QRect(m - kTick - bw, h / 2 - kTick - bh, bw, bh);
        case kButtonChangeModel:
            return QRect(m - kTick - bw, h / 2 + kTick, bw, bh);
        default:
            return QRect();
    }
}

QRect FitLabelRect(const QRect& nominal, int neededWidth, int viewWidth, LabelGrowth growth) {
    if (neededWidth <= nominal.width()) {
        return nominal;
    }
    if (growth == LabelGrowth::kLeftwards) {
        const int right = nominal.x() + nominal.width();
        const int width = std::min(neededWidth, std::max(0, right));
        return QRect(right - width, nominal.y(), width, nominal.height());
    }
    const int width = std::min(neededWidth, std::max(0, viewWidth));
    // Twice the centre, so that an odd growth keeps the centre to the half pixel.
    const int centre2 = 2 * nominal.x() + nominal.width();
    int left = (centre2 - width) / 2;
    left = std::clamp(left, 0, std::max(0, viewWidth - width));
    return QRect(left, nominal.y(), width, nominal.height());
}
