#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "Main/model/WallDesign.h"
#include "Main/model/WallGeometry.h"
#include "TempAppDir.h"
#include "shell/LanguageTable.h"

namespace {

// The main window's side of the design, as the window logic wires it: the mirror record, the
// preview's geometry, and the reactions to the preview's reports.
class MainWindowModel : public IWallGeometryEvent {
public:
    MainWindowModel() : geometry(this) {}

    void OnChangeNum(int which, int count) override {
        design.OnChangeNum(which, count);
        (which == 1 ? panelColumns : panelRows) = count;
    }
    void OnChangeOrientation(int landscape) override { design.OnChangeOrientation(landscape); }
    void OnAttention(int code) override { messages.push_back(design.AttentionText(code)); }

    void ApplyWallSize(double width, double height) {
        geometry.SetWallSize(height, width);
        design.wallHeight = height;
        design.wallWidth = width;
    }
    void ApplyModel(const std::wstring& name, double widthMm, double heightMm) {
        const MountedPanel panel = design.ApplyModelMillimetres(widthMm, heightMm);
        geometry.SetModel(name, panel.height, panel.width);
    }
    // The user sets a spinner: the panel shows n and asks the main window for it.
    void UserCount(int which, int n) {
        (which == 1 ? panelColumns : panelRows) = n;
        ApplyCount(which, n);
    }
    void ApplyCount(int which, int n) {
        if (geometry.SetLayout(which == 1 ? n : 0, which == 1 ? 0 : n) == 1) {
            (which == 1 ? design.columns : design.rows) = n;
            return;
        }
        (which == 1 ? panelColumns : panelRows) = which == 1 ? design.columns : design.rows;
        OnAttention(kAttentionMaxDisplays);
    }
    int ApplyLampstand(double h) {
        if (design.LampstandFits(h)) {
            geometry.ChangeLampstand(h);
            design.lampstand = h;
            return 1;
        }
        OnAttention(kAttentionLampstand);
        return 0;
    }
    int ApplyOrientationChange() { return geometry.ChangeOrientation() > 0 ? 1 : 0; }
    void ApplyMetersToFeet() {
        design.MetersToFeet();
        geometry.MetersToFeet();
    }
    void ApplyFeetToMeters() {
        design.FeetToMeters();
        geometry.FeetToMeters();
    }

    // Mirror, preview and panel agree.
    void ExpectInStep() const {
        EXPECT_EQ(design.columns, geometry.Columns());
        EXPECT_EQ(design.rows, geometry.Rows());
        EXPECT_EQ(panelColumns, geometry.Columns());
        EXPECT_EQ(panelRows, geometry.Rows());
        if (geometry.HasPanel()) {
            EXPECT_EQ(design.landscape == 1, geometry.IsLandscape());
        }
        EXPECT_DOUBLE_EQ(design.VerticalPanelSize(), geometry.PanelHeight());
        EXPECT_DOUBLE_EQ(design.HorizontalPanelSize(), geometry.PanelWidth());
        EXPECT_DOUBLE_EQ(design.wallWidth, geometry.WallWidth());
        EXPECT_DOUBLE_EQ(design.lampstand, geometry.Lampstand());
    }

    WallDesign design;
    WallGeometry geometry;
    int panelColumns = 1;
    int panelRows = 1;
    std::vector<std::wstring> messages;
};

const std::wstring kMax = L"The maximum number of displays you can install is ";

TEST(WallDesign, LampstandCheckIsStrict) {
    struct Case {
        double height;
        bool fits;
    } const cases[] = {{1.5, false}, {1.4, true}, {1.6, false}, {0.0, true}};
    WallDesign d;
    d.modelHeight = 0.5;
    d.modelWidth = 1.0;
    for (const Case& c : cases) {
        EXPECT_EQ(d.LampstandFits(c.height), c.fits) << c.height;
    }
    d.landscape = 0;  // the vertical size is now the model width, 1.0
    EXPECT_FALSE(d.LampstandFits(1.0));
    EXPECT_TRUE(d.LampstandFits(0.9));
}

TEST(WallDesign, RefusedLampstandRestoresAndSaysSo) {
    TempAppDir dir;
    ResetLanguageTables();
    MainWindowModel m;
    m.ApplyModel(L"M", 1000, 500);
    EXPECT_EQ(m.ApplyLampstand(1.5), 0);
    EXPECT_EQ(m.design.lampstand, 1.0);
    EXPECT_EQ(m.geometry.Lampstand(), 1.0);
    EXPECT_EQ(m.ApplyLampstand(1.4), 1);
    EXPECT_EQ(m.design.lampstand, 1.4);
    EXPECT_EQ(m.messages, (std::vector<std::wstring>{L"Can not Change Lampstand."}));
    m.ExpectInStep();
}

TEST(WallDesign, AttentionTexts) {
    TempAppDir dir;
    ResetLanguageTables();
    WallDesign d;
    d.modelWidth = 1.21;
    d.modelHeight = 0.68;
    struct Case {
        int code;
        std::wstring text;
    } const cases[] = {
        {0, L"Can not Change Orientation."},
        {1, kMax + L"4\u00D71."},
        {2, L""},
        {3, L"Can not Change Lampstand."},
        {4, L"Please choose a display model first."},
        {5, L""},
        {-1, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(d.AttentionText(c.code), c.text) << c.code;
    }
    EXPECT_EQ(WallDesign::AttentionTitle(), L"Attention");

    d.landscape = 0;  // horizontal 0.68: 8 columns; vertical 1.21: no row above the stand
    EXPECT_EQ(d.AttentionText(1), kMax + L"8\u00D70.");
    d.modelWidth = 0.0;
    d.modelHeight = 0.0;
    EXPECT_EQ(d.MaxColumns(), 0);
    EXPECT_EQ(d.MaxRows(), 0);
    EXPECT_EQ(d.AttentionText(1), L"Please choose a display model first.");
}

TEST(WallDesign, AttentionTextsFollowTheLanguage) {
    TempAppDir dir;
    dir.write("Lang_1.xml",
              "<L><s name=\"The maximum number of displays you can install is \" value=\"最多 \"/>"
              "<s name=\".\" value=\"。\"/><s name=\"Attention\" value=\"提示\"/></L>");
    ResetLanguageTables();
    CurrentLanguage = 1;
    WallDesign d;
    d.modelWidth = 1.21;
    d.modelHeight = 0.68;
    EXPECT_EQ(d.AttentionText(1), L"最多 4\u00D71。");
    EXPECT_EQ(WallDesign::AttentionTitle(), L"提示");
    CurrentLanguage = 0;
    ResetLanguageTables();
}

TEST(WallDesign, UnitSwitchConvertsTheMirrorOnce) {
    WallDesign d;
    d.ApplyModelMillimetres(1210, 680);
    d.MetersToFeet();
    d.MetersToFeet();
    EXPECT_DOUBLE_EQ(d.wallWidth, 6.0 * 3.2808399);
    EXPECT_DOUBLE_EQ(d.wallHeight, 2.0 * 3.2808399);
    EXPECT_DOUBLE_EQ(d.modelWidth, 1.21 * 3.2808399);
    EXPECT_DOUBLE_EQ(d.modelHeight, 0.68 * 3.2808399);
    EXPECT_DOUBLE_EQ(d.lampstand, 3.2808399);
    d.FeetToMeters();
    EXPECT_DOUBLE_EQ(d.wallWidth, 6.0 * 3.2808399 * 0.3048);
    EXPECT_EQ(d.columns, 1);
    EXPECT_EQ(d.landscape, 1);
}

TEST(WallDesign, ModelChosenInFeetEqualsModelChosenInMetresThenFeet) {
    MainWindowModel inFeet;
    inFeet.ApplyMetersToFeet();
    inFeet.ApplyModel(L"M", 1211, 682);
    MainWindowModel inMetres;
    inMetres.ApplyModel(L"M", 1211, 682);
    inMetres.ApplyMetersToFeet();
    EXPECT_EQ(inFeet.design.modelWidth, inMetres.design.modelWidth);
    EXPECT_EQ(inFeet.design.modelHeight, inMetres.design.modelHeight);
    EXPECT_EQ(inFeet.geometry.PanelWidth(), inMetres.geometry.PanelWidth());
    EXPECT_EQ(inFeet.geometry.PanelHeight(), inMetres.geometry.PanelHeight());
    EXPECT_EQ(inFeet.geometry.Columns(), inMetres.geometry.Columns());
    inFeet.ExpectInStep();
    inMetres.ExpectInStep();
}

TEST(WallDesign, ModelAppliedInPortraitStaysPortrait) {
    MainWindowModel m;
    m.ApplyWallSize(6.0, 4.0);
    m.ApplyModel(L"A", 1210, 680);
    ASSERT_EQ(m.ApplyOrientationChange(), 1);
    ASSERT_EQ(m.design.landscape, 0);
    m.UserCount(1, 8);  // 8 × 0.68 = 5.44 ≤ 6.0
    m.ExpectInStep();

    m.ApplyModel(L"B", 1075, 606);  // turned: 0.606 wide, 1.075 high
    EXPECT_EQ(m.design.landscape, 0);
    EXPECT_FALSE(m.geometry.IsLandscape());
    EXPECT_DOUBLE_EQ(m.geometry.PanelWidth(), 0.606);
    EXPECT_DOUBLE_EQ(m.geometry.PanelHeight(), 1.075);
    EXPECT_EQ(m.geometry.Columns(), 8);

    m.ApplyModel(L"C", 2000, 1000);  // 8 × 1.0 no longer fits 6.0: cut to 6, reported
    EXPECT_EQ(m.geometry.Columns(), 6);
    m.ExpectInStep();
}

// A record whose outline is taller than wide (or square) is mounted in the design's orientation
// like any other, so the mirror's vertical size is the preview's panel height and the lampstand
// check measures what the preview draws.
TEST(WallDesign, TallOrSquareRecordsKeepMirrorAndPreviewInStep) {
    for (const auto& [widthMm, heightMm] : {std::pair{680.0, 1210.0}, std::pair{800.0, 800.0}}) {
        SCOPED_TRACE(widthMm);
        MainWindowModel m;
        m.ApplyWallSize(6.0, 4.0);
        m.ApplyModel(L"T", widthMm, heightMm);
        m.ExpectInStep();
        EXPECT_DOUBLE_EQ(m.geometry.PanelHeight(), std::min(widthMm, heightMm) / 1000);
        EXPECT_EQ(m.design.LampstandFits(4.0 - m.geometry.PanelHeight()), false);
        EXPECT_EQ(m.design.LampstandFits(3.9 - m.geometry.PanelHeight()), true);
        ASSERT_EQ(m.ApplyOrientationChange(), 1);
        m.ExpectInStep();
        m.ApplyModel(L"T", widthMm, heightMm);
        m.ExpectInStep();
    }
}

TEST(WallDesign, RefusedCountRestoresThePanelAndShowsColumnsByRows) {
    TempAppDir dir;
    ResetLanguageTables();
    MainWindowModel m;
    m.ApplyModel(L"A", 1210, 680);
    m.UserCount(1, 3);
    m.UserCount(1, 5);
    EXPECT_EQ(m.panelColumns, 3);
    EXPECT_EQ(m.design.columns, 3);
    EXPECT_EQ(m.messages, (std::vector<std::wstring>{kMax + L"4\u00D71."}));
    m.ExpectInStep();
}

TEST(WallDesign, ZeroRowsAreReportedAsZeroAndAcceptedBack) {
    MainWindowModel m;
    m.ApplyModel(L"A", 1210, 680);
    m.ApplyWallSize(6.0, 2.5);
    ASSERT_EQ(m.ApplyLampstand(1.5), 1);
    m.ApplyWallSize(6.0, 2.0);
    EXPECT_EQ(m.design.rows, 0);
    EXPECT_EQ(m.panelRows, 0);
    // A panel that echoes the reported 0 back is not refused (0 leaves the count unchanged).
    m.ApplyCount(0, 0);
    EXPECT_TRUE(m.messages.empty());
    m.ExpectInStep();
}

TEST(WallDesign, NoModelNeverDividesByZero) {
    TempAppDir dir;
    ResetLanguageTables();
    MainWindowModel m;
    m.geometry.SetModel(L"", 0.0, 0.0);  // an empty catalogue: nothing applied
    m.UserCount(1, 3);
    EXPECT_EQ(m.ApplyLampstand(1.2), 1);  // rows × 0 + 1.2 < 2.0
    EXPECT_EQ(m.ApplyOrientationChange(), 0);
    m.geometry.FitToRoom();
    EXPECT_EQ(m.messages, (std::vector<std::wstring>{L"Please choose a display model first.",
                                                     L"Please choose a display model first."}));
    m.ExpectInStep();
}

}  // namespace
