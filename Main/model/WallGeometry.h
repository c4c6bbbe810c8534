#pragma once
// The wall design as the wall preview holds it: wall and lampstand sizes, the mounted panel size,
// columns, rows and unit, with every operation that changes them and the notifications they
// raise. Plain C++ (no widgets); GUI thread only; notifications are raised synchronously from
// inside the operations, so a listener's records are up to date before an operation returns.
//
// Fit rules (all lengths in the current unit, metres or feet):
//   rows fit    when rows × panelHeight + lampstand ≤ wallHeight
//   columns fit when columns × panelWidth ≤ wallWidth
// Equality fits everywhere except on the preview's own "one more column/row" buttons, which
// demand strictly less. Counts are truncated toward zero wherever a quotient becomes a count.
// The panel is landscape while panelHeight < panelWidth, portrait otherwise.
//
// A panel size of 0 (no model applied) never reaches a division: operations that would divide
// by it, or that would accept any count, refuse. FitToRoom and the preview's buttons raise
// kAttentionNoModel; SetLayout and ChangeOrientation return 0 and leave the message to their
// caller (which shows attention 1, whose text then asks for a model, or the orientation refusal).
#include <string>

enum AttentionCode {
    kAttentionOrientation = 0,  // "Can not Change Orientation."
    kAttentionMaxDisplays = 1,  // the maximum columns × rows that fit
    kAttentionLampstand = 3,    // "Can not Change Lampstand."
    kAttentionNoModel = 4,      // no display model is applied yet
};

// Receiver of the geometry's notifications (the preview forwards them to its event sink).
// Defaults do nothing. Where both counts are reported, columns (which = 1) come before rows
// (which = 0); counts may be 0 when not even one panel fits, and are reported as 0.
class IWallGeometryEvent {
public:
    virtual ~IWallGeometryEvent() = default;
    virtual void OnChangeNum(int which, int count) { (void)which, (void)count; }
    // 1 landscape, 0 portrait.
    virtual void OnChangeOrientation(int landscape) { (void)landscape; }
    virtual void OnAttention(int code) { (void)code; }
    virtual void OnChangeModel() {}
    // The preview's new pixel size after SetWallSize; the view resizes itself to it.
    virtual void OnChangeScrollGeometry(int width, int height) { (void)width, (void)height; }
    // Something drawn changed; the view schedules a repaint (never changes the geometry).
    virtual void OnRedraw() {}
};

// What the main window asks of the wall preview (WallDesignEditor's side of it). WallGeometry is
// one; the preview control may stand in front of its geometry and forward, so that it redraws.
// Each operation is WallGeometry's of the same name, with its contract.
class IWallPreview {
public:
    virtual ~IWallPreview() = default;
    virtual void SetModel(const std::wstring& name, double panelHeight, double panelWidth) = 0;
    virtual void SetWallSize(double wallHeight, double wallWidth) = 0;
    virtual int SetLayout(int columns, int rows) = 0;
    virtual void FitToRoom() = 0;
    virtual int ChangeOrientation() = 0;
    virtual void ChangeLampstand(double lampstand) = 0;
    virtual void MetersToFeet() = 0;
    virtual void FeetToMeters() = 0;
};

// The preview's own buttons, by number.
enum WallButton {
    kButtonMoreColumns = 0,
    kButtonLessColumns = 1,
    kButtonMoreRows = 2,
    kButtonLessRows = 3,
    kButtonRotate = 4,
    kButtonChangeModel = 5,
};

class WallGeometry : public IWallPreview {
public:
    static constexpr double kMetresToFeet = 3.2808399;
    static constexpr double kFeetToMetres = 0.3048;
    static constexpr int kViewMargin = 95;

    // The listener is not owned and must outlive the geometry (or be reset to null first).
    explicit WallGeometry(IWallGeometryEvent* listener = nullptr);
    void SetListener(IWallGeometryEvent* listener) { m_listener = listener; }

    // Sets the mounted panel size (already turned for the orientation) and the label's model
    // name; counts that no longer fit shrink (never grow). Reports columns and rows, then the
    // orientation the panel now has (not for an empty panel of size 0: no model applied).
    void SetModel(const std::wstring& name, double panelHeight, double panelWidth) override;

    // Height first. Resizes the preview to keep the wall's proportions (see PreviewPixelHeight)
    // and reports it, raises rows to at least 1, then shrinks rows and columns to fit and
    // reports both: rows end at 0 when the lampstand and one panel do not fit, columns at 0 when
    // the wall is narrower than one panel.
    void SetWallSize(double wallHeight, double wallWidth) override;

    // The preview's current pixel size, used by SetWallSize (the view keeps it current).
    void SetViewSize(int width, int height);
    int ViewWidth() const { return m_viewWidth; }
    int ViewHeight() const { return m_viewHeight; }

    // trunc((width − 2 × margin) × wallHeight / wallWidth + 2 × margin): the pixel height that
    // keeps the drawing's proportions; never negative. The height is unchanged when wallWidth is
    // not positive.
    static int PreviewPixelHeight(int width, int height, double wallHeight, double wallWidth,
                                  int margin = kViewMargin);

    // 0 leaves a count unchanged. Columns are tried first; a refused row count keeps a column
    // count already set. Returns 1 accepted, 0 refused. Raises no count notification: the
    // caller stores the count itself.
    int SetLayout(int columns, int rows) override;

    // The largest wall that fits (equality fits); reports columns, then rows.
    void FitToRoom() override;

    // A quarter turn of every panel. Counts that still fit stay, counts that no longer fit are
    // cut to the maximum; refused (returns 0, nothing changed) when not one panel fits along one
    // direction after turning. Reports columns, rows, then the new orientation; returns 1.
    int ChangeOrientation() override;

    // Sets the lampstand height, then re-applies the current wall size (resize, rows raised to
    // 1, reductions, reports).
    void ChangeLampstand(double lampstand) override;

    // Unit switches: every length is multiplied by 3.2808399 (to feet) or 0.3048 (to metres);
    // counts are unchanged. A switch to the unit already in use does nothing. The factors are not
    // exact inverses: feet and back multiplies each length by 1.00000000152.
    void MetersToFeet() override;
    void FeetToMeters() override;

    // The preview's own buttons (on release). Returns 1 when the geometry changed.
    int PressButton(int button);

    const std::wstring& ModelName() const { return m_modelName; }
    double Lampstand() const { return m_lampstand; }
    double WallHeight() const { return m_wallHeight; }
    double WallWidth() const { return m_wallWidth; }
    double RowsHeight() const { return m_rowsHeight; }
    double ColumnsWidth() const { return m_columnsWidth; }
    double PanelHeight() const { return m_panelHeight; }
    double PanelWidth() const { return m_panelWidth; }
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    int MetricUnits() const { return m_metricUnits; }
    int ViewMargin() const { return m_viewMargin; }
    bool IsLandscape() const { return m_panelHeight < m_panelWidth; }
    bool HasPanel() const { return m_panelHeight > 0.0 && m_panelWidth > 0.0; }

private:
    bool RowsFit(int rows) const;
    bool ColumnsFit(int columns) const;
    void ShrinkToFit();
    void Recompute();
    void ScaleLengths(double factor);
    void ReportCounts();
    void ReportOrientation();
    void Redraw();
    void Attention(int code);

    IWallGeometryEvent* m_listener;
    std::wstring m_modelName;
    double m_lampstand = 1.0;
    double m_wallHeight = 2.0;
    double m_wallWidth = 6.0;
    double m_rowsHeight = 0.68;
    double m_columnsWidth = 1.21;
    double m_panelHeight = 0.68;
    double m_panelWidth = 1.21;
    int m_columns = 1;
    int m_rows = 1;
    int m_viewMargin = kViewMargin;
    int m_metricUnits = 1;
    int m_viewWidth = 0;
    int m_viewHeight = 0;
};

// The most panels that fit, with equality fitting, as the preview and the main window's mirror
// both count them: columns = trunc(wallWidth / panelWidth), rows = trunc((wallHeight −
// lampstand) / panelHeight). Held to [0, INT_MAX]; 0 when the panel size is not positive (no
// model applied: nothing is divided by it) or not one panel fits.
int ColumnsThatFit(double wallWidth, double panelWidth);
int RowsThatFit(double wallHeight, double lampstand, double panelHeight);
