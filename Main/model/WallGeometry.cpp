#include "Main/model/WallGeometry.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

// trunc(room / size) held to [0, INT_MAX]; a NaN quotient gives 0.
int CountThatFits(double room, double size) {
    if (!(size > 0.0)) {
        return 0;
    }
    const double count = room / size;
    if (!(count > 0.0)) {
        return 0;
    }
    return count >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

}  // namespace

int ColumnsThatFit(double wallWidth, double panelWidth) {
    return CountThatFits(wallWidth, panelWidth);
}

int RowsThatFit(double wallHeight, double lampstand, double panelHeight) {
    return CountThatFits(wallHeight - lampstand, panelHeight);
}

WallGeometry::WallGeometry(IWallGeometryEvent* listener) : m_listener(listener) {}

bool WallGeometry::RowsFit(int rows) const {
    return rows * m_panelHeight + m_lampstand <= m_wallHeight;
}

bool WallGeometry::ColumnsFit(int columns) const {
    return columns * m_panelWidth <= m_wallWidth;
}

void WallGeometry::ShrinkToFit() {
    // Bounded by the count itself: a lampstand taller than the wall must not run rows negative.
    while (m_rows > 0 && !RowsFit(m_rows)) {
        --m_rows;
    }
    while (m_columns > 0 && !ColumnsFit(m_columns)) {
        --m_columns;
    }
}

void WallGeometry::Recompute() {
    m_rowsHeight = m_rows * m_panelHeight;
    m_columnsWidth = m_columns * m_panelWidth;
}

void WallGeometry::ReportCounts() {
    if (m_listener) {
        m_listener->OnChangeNum(1, m_columns);
        m_listener->OnChangeNum(0, m_rows);
    }
}

void WallGeometry::ReportOrientation() {
    if (m_listener) {
        m_listener->OnChangeOrientation(IsLandscape() ? 1 : 0);
    }
}

void WallGeometry::Redraw() {
    if (m_listener) {
        m_listener->OnRedraw();
    }
}

void WallGeometry::Attention(int code) {
    if (m_listener) {
        m_listener->OnAttention(code);
    }
}

void WallGeometry::SetModel(const std::wstring& name, double panelHeight, double panelWidth) {
    m_modelName = name;
    m_panelHeight = panelHeight > 0.0 ? panelHeight : 0.0;
    m_panelWidth = panelWidth > 0.0 ? panelWidth : 0.0;
    ShrinkToFit();
    Recompute();
    ReportCounts();
    // The model keeps the orientation it was turned to; saying so keeps every record in step.
    if (HasPanel()) {
        ReportOrientation();
    }
    Redraw();
}

void WallGeometry::SetViewSize(int width, int height) {
    m_viewWidth = width;
    m_viewHeight = height;
}

int WallGeometry::PreviewPixelHeight(int width, int height, double wallHeight, double wallWidth,
                                     int margin) {
    if (!(wallWidth > 0.0) || !(wallHeight >= 0.0)) {
        return height;
    }
    const double h = (width - 2.0 * margin) * wallHeight / wallWidth + 2.0 * margin;
    if (!(h < INT_MAX)) {
        return height;
    }
    // A view narrower than its margins would otherwise get a negative height.
    return h > 0.0 ? static_cast<int>(h) : 0;
}

void WallGeometry::SetWallSize(double wallHeight, double wallWidth) {
    m_wallHeight = wallHeight;
    m_wallWidth = wallWidth;
    m_viewHeight =
        PreviewPixelHeight(m_viewWidth, m_viewHeight, wallHeight, wallWidth, m_viewMargin);
    if (m_listener) {
        m_listener->OnChangeScrollGeometry(m_viewWidth, m_viewHeight);
    }
    if (m_rows < 1) {
        m_rows = 1;
    }
    ShrinkToFit();
    Recompute();
    ReportCounts();
    Redraw();
}

int WallGeometry::SetLayout(int columns, int rows) {
    if (!HasPanel() && (columns != 0 || rows != 0)) {
        return 0;  // with no panel every count would "fit"
    }
    if (columns < 0 || rows < 0) {
        return 0;
    }
    if (columns != 0) {
        if (!ColumnsFit(columns)) {
            return 0;
        }
        m_columns = columns;
    }
    if (rows != 0) {
        if (!RowsFit(rows)) {
            Recompute();
            Redraw();
            return 0;
        }
        m_rows = rows;
    }
    Recompute();
    Redraw();
    return 1;
}

void WallGeometry::FitToRoom() {
    if (!HasPanel()) {
        Attention(kAttentionNoModel);
        return;
    }
    m_columns = ColumnsThatFit(m_wallWidth, m_panelWidth);
    m_rows = RowsThatFit(m_wallHeight, m_lampstand, m_panelHeight);
    Recompute();
    ReportCounts();
    Redraw();
}

int WallGeometry::ChangeOrientation() {
    if (!HasPanel()) {
        return 0;
    }
    // No room at all along a direction refuses whatever the counts (even 0 rows).
    if (m_wallWidth < 0.0 || m_lampstand > m_wallHeight) {
        return 0;
    }
    // After the turn the panel's height becomes its width and the other way round. A count that
    // still fits stays; a larger one is cut to the most that fit, refused when that is none.
    const int columns = std::min(m_columns, ColumnsThatFit(m_wallWidth, m_panelHeight));
    const int rows = std::min(m_rows, RowsThatFit(m_wallHeight, m_lampstand, m_panelWidth));
    if ((columns == 0 && m_columns > 0) || (rows == 0 && m_rows > 0)) {
        return 0;
    }
    std::swap(m_panelHeight, m_panelWidth);
    m_columns = columns;
    m_rows = rows;
    Recompute();  // before the reports, so listeners read consistent sizes
    ReportCounts();
    ReportOrientation();
    Redraw();
    return 1;
}

void WallGeometry::ChangeLampstand(double lampstand) {
    m_lampstand = lampstand;
    SetWallSize(m_wallHeight, m_wallWidth);
}

void WallGeometry::ScaleLengths(double factor) {
    m_wallHeight *= factor;
    m_wallWidth *= factor;
    m_rowsHeight *= factor;
    m_columnsWidth *= factor;
    m_panelHeight *= factor;
    m_panelWidth *= factor;
    m_lampstand *= factor;
}

void WallGeometry::MetersToFeet() {
    if (m_metricUnits == 0) {
        return;
    }
    m_metricUnits = 0;
    ScaleLengths(kMetresToFeet);
    Redraw();
}

void WallGeometry::FeetToMeters() {
    if (m_metricUnits == 1) {
        return;
    }
    m_metricUnits = 1;
    ScaleLengths(kFeetToMetres);
    Redraw();
}

int WallGeometry::PressButton(int button) {
    const bool needsPanel = button >= kButtonMoreColumns && button <= kButtonRotate;
    if (needsPanel && !HasPanel()) {
        Attention(kAttentionNoModel);
        return 0;
    }
    switch (button) {
        case kButtonMoreColumns:
            // Strictly less: the button never fills the wall to its last millimetre.
            if ((m_columns + 1) * m_panelWidth < m_wallWidth) {
                ++m_columns;
                if (m_listener) {
                    m_listener->OnChangeNum(1, m_columns);
                }
                break;
            }
            Attention(kAttentionMaxDisplays);
            return 0;
        case kButtonLessColumns:
            if (m_columns > 1) {
                --m_columns;
                if (m_listener) {
                    m_listener->OnChangeNum(1, m_columns);
                }
                break;
            }
            return 0;
        case kButtonMoreRows:
            if ((m_rows + 1) * m_panelHeight + m_lampstand < m_wallHeight) {
                ++m_rows;
                if (m_listener) {
                    m_listener->OnChangeNum(0, m_rows);
                }
                break;
            }
            Attention(kAttentionMaxDisplays);
            return 0;
        case kButtonLessRows:
            if (m_rows > 1) {
                --m_rows;
                if (m_listener) {
                    m_listener->OnChangeNum(0, m_rows);
                }
                break;
            }
            return 0;
        case kButtonRotate:
            if (ChangeOrientation() == 0) {
                Attention(kAttentionOrientation);
                return 0;
            }
            return 1;  // ChangeOrientation recomputed and redrew
        case kButtonChangeModel:
            if (m_listener) {
                m_listener->OnChangeModel();
            }
            break;
        default:
            return 0;
    }
    Recompute();
    Redraw();
    return 1;
}
