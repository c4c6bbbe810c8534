#pragma once
// The main window's wall operations: what the parameter panel and the model selection dialog ask
// for is applied to the wall preview and to the main window's mirror (WallDesign), and what the
// preview reports comes back into the mirror and the panel. Plain C++, no widgets; the main
// window owns one and is its IWallDesignView. GUI thread only.
//
// The preview's notifications arrive through the IWallGeometryEvent side of this class: the
// main window forwards its preview sink's OnChangeNum, OnChangeOrientation and OnAttention here
// (tests make it the geometry's listener directly). They are raised synchronously inside the
// preview's operations, so mirror and panel are current when an Apply* operation returns.
#include <string>

#include "Main/model/WallDesign.h"
#include "Main/model/WallGeometry.h"

// What the main window shows of the design.
class IWallDesignView {
public:
    virtual ~IWallDesignView() = default;
    // The parameter panel's column (which = 1) or row (which = 0) spinner shows count: a count
    // the preview reported (0 when not one panel fits, shown as 0) or the accepted count a
    // refused request is set back to.
    virtual void ShowCount(int which, int count) = 0;
    // The lampstand spinner is set back to the accepted height after a refusal.
    virtual void ShowLampstand(double height) = 0;
    // The orientation radios: Landscape selected for 1, Portrait for 0.
    virtual void ShowOrientation(int landscape) = 0;
    // The model name label.
    virtual void ShowModelName(const std::wstring& name) = 0;
    // A modal message with the title (both already in the current language).
    virtual void ShowMessage(const std::wstring& title, const std::wstring& text) = 0;
};

class WallDesignEditor : public IWallGeometryEvent {
public:
    // Neither is owned; both must outlive the editor. The preview starts at the design's
    // defaults (wall 6.0 by 2.0 m, lampstand 1.0 m, one column, one row, metres, landscape).
    WallDesignEditor(IWallPreview& preview, IWallDesignView& view);

    // Width first: the preview gets SetWallSize(height, width), then the mirror stores both.
    void ApplyWallSize(double width, double height);

    // Shows the name on the label, then applies the catalogue outline (millimetres, landscape
    // width and height) in the current unit and turned to the current orientation, so a model
    // applied in portrait stays portrait. Never refused: counts that no longer fit shrink.
    void ApplyModel(const std::wstring& name, double widthMm, double heightMm);

    // A column (which = 1) or row (which = 0) count from the panel. Accepted when it fits
    // (equality fits) and then stored; refused otherwise: the spinner is set back to the stored
    // count and attention 1 is shown (the no-model text while no model is applied). 0 leaves the
    // count unchanged and is accepted, so a reported 0 echoed back is never refused.
    void ApplyCount(int which, int count);

    // Accepted (returns 1, preview and mirror take the height) only when rows × vertical panel
    // size + height is strictly less than the wall height; refused (returns 0): the spinner is
    // set back to the accepted height and attention 3 is shown.
    int ApplyLampstand(double height);

    // 1 when the preview turned the panels; the caller shows a refusal itself. Counts and the
    // orientation come back through the notifications.
    int ApplyOrientationChange();

    // The mirror, then the preview. Counts never change; a switch to the unit in use does
    // nothing.
    void ApplyMetersToFeet();
    void ApplyFeetToMeters();

    // The largest wall that fits; without a model the preview refuses with attention 4.
    void ApplyFitToRoom();

    // The preview's reports: counts and orientation go into the mirror and the panel; an
    // attention code shows its message with the title "Attention" (codes without a text show
    // nothing). OnChangeModel, OnChangeScrollGeometry and OnRedraw are the main window's and the
    // preview's own, not the editor's.
    void OnChangeNum(int which, int count) override;
    void OnChangeOrientation(int landscape) override;
    void OnAttention(int code) override;

    const WallDesign& Design() const { return m_design; }

private:
    IWallPreview& m_preview;
    IWallDesignView& m_view;
    WallDesign m_design;
};
