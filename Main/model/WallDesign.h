#pragma once
// The main window's mirror of the wall design: what it last sent to the preview and what the
// preview last reported back, plus the main window's own checks on it. Plain C++; GUI thread
// only.
//
// The panel sizes here are the applied model's catalogue height and width (`modelHeight`,
// `modelWidth`), in the current unit. The mounted panel follows the orientation the preview
// reports, which it reads from the panel's shape (landscape while it is wider than high): in
// landscape the vertical size is the shorter of the two, in portrait the longer. For the usual
// record, wider than high, that is modelHeight in landscape and modelWidth in portrait; a record
// taller than wide is turned like any other, so mirror and preview always agree. Both are 0
// until a model is applied (an empty or unusable catalogue); every check below then answers
// without dividing by them.
#include <algorithm>
#include <string>

struct MountedPanel {
    double height = 0.0;  // vertical size as mounted, current unit
    double width = 0.0;   // horizontal size as mounted, current unit
};

struct WallDesign {
    double wallHeight = 2.0;
    double wallWidth = 6.0;
    double modelHeight = 0.0;
    double modelWidth = 0.0;
    double lampstand = 1.0;
    int landscape = 1;  // 1 landscape, 0 portrait, as last reported by the preview
    int columns = 1;
    int rows = 1;
    int metricUnits = 1;  // 1 metres, 0 feet

    bool HasModel() const { return modelHeight > 0.0 && modelWidth > 0.0; }
    double VerticalPanelSize() const {
        return landscape == 1 ? std::min(modelHeight, modelWidth)
                              : std::max(modelHeight, modelWidth);
    }
    double HorizontalPanelSize() const {
        return landscape == 1 ? std::max(modelHeight, modelWidth)
                              : std::min(modelHeight, modelWidth);
    }

    // Stores a newly applied model from its catalogue outline in millimetres (landscape width
    // and height), converted to the current unit, and returns the panel size to hand to the
    // preview: mounted in the design's current orientation, so a new model keeps it.
    MountedPanel ApplyModelMillimetres(double widthMm, double heightMm);
    MountedPanel Mounted() const;

    // The lampstand check: rows × vertical panel size + height must be strictly less than the
    // wall height (equality is refused, unlike the count checks).
    bool LampstandFits(double height) const;

    // Unit switches of the mirror: wall height and width, model height and width and lampstand
    // are multiplied by 3.2808399 (to feet) or 0.3048 (to metres). A switch to the unit already
    // in use does nothing.
    void MetersToFeet();
    void FeetToMeters();

    // The preview's reports.
    void OnChangeNum(int which, int count);
    void OnChangeOrientation(int landscapeFlag) { landscape = landscapeFlag ? 1 : 0; }

    // trunc(wallWidth / horizontal) and trunc((wallHeight − lampstand) / vertical); 0 without a
    // model or when nothing fits.
    int MaxColumns() const;
    int MaxRows() const;

    // The text of an attention code in the current language, or empty when the code shows
    // nothing. Code 1 reads "The maximum number of displays you can install is 4×1." (columns ×
    // rows, then the full stop), each part from the language table. Without a model, code 1
    // gives the no-model text instead, so no meaningless maximum is ever shown.
    std::wstring AttentionText(int code) const;
    // The title of every attention message, in the current language.
    static std::wstring AttentionTitle();
};
