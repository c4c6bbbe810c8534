#include "Main/model/WallDesign.h"

#include "Main/model/WallGeometry.h"
#include "shell/lang/LanguageTable.h"

MountedPanel WallDesign::ApplyModelMillimetres(double widthMm, double heightMm) {
    const double factor = metricUnits == 1 ? 1.0 : WallGeometry::kMetresToFeet;
    modelHeight = heightMm > 0.0 ? heightMm / 1000 * factor : 0.0;
    modelWidth = widthMm > 0.0 ? widthMm / 1000 * factor : 0.0;
    return Mounted();
}

MountedPanel WallDesign::Mounted() const {
    return MountedPanel{VerticalPanelSize(), HorizontalPanelSize()};
}

bool WallDesign::LampstandFits(double height) const {
    return rows * VerticalPanelSize() + height < wallHeight;
}

void WallDesign::MetersToFeet() {
    if (metricUnits == 0) {
        return;
    }
    metricUnits = 0;
    for (double* v : {&wallHeight, &wallWidth, &modelHeight, &modelWidth, &lampstand}) {
        *v *= WallGeometry::kMetresToFeet;
    }
}

void WallDesign::FeetToMeters() {
    if (metricUnits == 1) {
        return;
    }
    metricUnits = 1;
    for (double* v : {&wallHeight, &wallWidth, &modelHeight, &modelWidth, &lampstand}) {
        *v *= WallGeometry::kFeetToMetres;
    }
}

void WallDesign::OnChangeNum(int which, int count) {
    (which == 1 ? columns : rows) = count;
}

int WallDesign::MaxColumns() const {
    return ColumnsThatFit(wallWidth, HorizontalPanelSize());
}

int WallDesign::MaxRows() const {
    return RowsThatFit(wallHeight, lampstand, VerticalPanelSize());
}

std::wstring WallDesign::AttentionText(int code) const {
    switch (code) {
        case kAttentionOrientation:
            return Translate(L"Can not Change Orientation.");
        case kAttentionMaxDisplays:
            if (!HasModel()) {
                return Translate(L"Please choose a display model first.");
            }
            return Translate(L"The maximum number of displays you can install is ") +
                   std::to_wstring(MaxColumns()) + L"\u00D7" + std::to_wstring(MaxRows()) +
                   Translate(L".");
        case kAttentionLampstand:
            return Translate(L"Can not Change Lampstand.");
        case kAttentionNoModel:
            return Translate(L"Please choose a display model first.");
        default:
            return {};
    }
}

std::wstring WallDesign::AttentionTitle() {
    return Translate(L"Attention");
}
