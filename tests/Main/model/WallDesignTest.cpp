#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Main/model/WallDesignEditor.h"
#include "TempAppDir.h"
#include "shell/lang/LanguageTable.h"

namespace {

// The parameter panel and the message dialog as the editor drives them.
class PanelRecord : public IWallDesignView {
public:
    void ShowCount(int which, int count) override { (which == 1 ? columns : rows) = count; }
    void ShowLampstand(double height) override { lampstand = height; }
    void ShowOrientation(int landscapeFlag) override { landscape = landscapeFlag; }
    void ShowModelName(const std::wstring& name) override { modelName = name; }
    void ShowMessage(const std::wstring& title, const std::wstring& text) override {
        messages.push_back(title + L": " + text);
    }
    int columns = 1, rows = 1, landscape = 1;
    double lampstand = 1.0;
    std::wstring modelName;
    std::vector<std::wstring> messages;
};

// Editor, preview geometry and panel wired as the main window wires them; language lookups show
// their keys (an empty application directory).
class WallDesignTest : public testing::Test {
protected:
    WallDesignTest() : editor(geometry, panel) { geometry.SetListener(&editor); }
    void SetUp() override { ResetLanguageTables(); }
    void TearDown() override {
        CurrentLanguage = 0;
        ResetLanguageTables();
    }
    // The user sets a spinner: the panel shows the count and asks for it.
    void UserCount(int which, int count) {
        panel.ShowCount(which, count);
        editor.ApplyCount(which, count);
    }
    // Mirror, preview and panel agree.
    void ExpectInStep() const {
        const WallDesign& d = editor.Design();
        const int columns = geometry.Columns(), rows = geometry.Rows();
        EXPECT_EQ(std::tuple(d.columns, d.rows, panel.columns, panel.rows),
                  std::tuple(columns, rows, columns, rows));
        if (geometry.HasPanel()) {
            EXPECT_EQ(std::pair(d.landscape, panel.landscape),
                      std::pair(geometry.IsLandscape() ? 1 : 0, d.landscape));
        }
        const double mirror[] = {d.VerticalPanelSize(), d.HorizontalPanelSize(), d.wallWidth,
                                 d.wallHeight, d.lampstand};
        const double preview[] = {geometry.PanelHeight(), geometry.PanelWidth(),
                                  geometry.WallWidth(), geometry.WallHeight(),
                                  geometry.Lampstand()};
        for (int k = 0; k < 5; ++k) {
            EXPECT_DOUBLE_EQ(mirror[k], preview[k]) << k;
        }
    }

    TempAppDir dir;
    PanelRecord panel;
    WallGeometry geometry;
    WallDesignEditor editor;
};

const std::wstring kMax = L"Attention: The maximum number of displays you can install is ";
const std::wstring kNoModel = L"Attention: Please choose a display model first.";

TEST_F(WallDesignTest, AttentionTexts) {
    WallDesign d;
    d.ApplyModelMillimetres(1210, 680);
    // clang-format off
    const std::pair<int, const wchar_t*> cases[] = {
        {0, L"Can not Change Orientation."}, {3, L"Can not Change Lampstand."},
        {1, L"The maximum number of displays you can install is 4\u00D71."},
        {4, L"Please choose a display model first."}, {2, L""}, {5, L""}, {-1, L""},
    };
    // clang-format on
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(d.AttentionText(code), text) << code;
    }
    d.landscape = 0;  // horizontal 0.68: 8 columns; vertical 1.21: no row above the stand
    EXPECT_EQ(d.AttentionText(1), L"The maximum number of displays you can install is 8\u00D70.");
    d.modelWidth = 0.0;
    EXPECT_EQ(d.AttentionText(1), L"Please choose a display model first.");

    dir.write("Lang_1.xml",
              "<L><s name=\"The maximum number of displays you can install is \" value=\"最多 \"/>"
              "<s name=\".\" value=\"。\"/><s name=\"Attention\" value=\"提示\"/></L>");
    CurrentLanguage = 1;
    d.modelWidth = 1.21;
    d.landscape = 1;
    EXPECT_EQ(d.AttentionText(1), L"最多 4\u00D71。");
    EXPECT_EQ(WallDesign::AttentionTitle(), L"提示");
}

// The lampstand check demands strictly less, unlike the count checks; a refusal sets the
// spinner back and says so.
TEST_F(WallDesignTest, LampstandIsCheckedStrictlyAndRefusalsAreSetBack) {
    editor.ApplyModel(L"M", 1000, 500);  // 1 row of 0.5 on a 2.0 wall
    // Height asked, whether accepted, the height then held.
    for (const auto& [height, accepted, after] :
         {std::tuple{1.5, 0, 1.0}, {1.6, 0, 1.0}, {1.4, 1, 1.4}, {0.0, 1, 0.0}}) {
        panel.lampstand = height;
        const int result = editor.ApplyLampstand(height);
        EXPECT_EQ(std::tuple(result, editor.Design().lampstand, panel.lampstand),
                  std::tuple(accepted, after, after))
            << height;
        ExpectInStep();
    }
    EXPECT_EQ(panel.messages,
              (std::vector<std::wstring>(2, L"Attention: Can not Change Lampstand.")));
    ASSERT_EQ(editor.ApplyOrientationChange(), 1);  // the vertical size is now 1.0
    EXPECT_EQ(editor.ApplyLampstand(1.0), 0);
    EXPECT_EQ(editor.ApplyLampstand(0.9), 1);
}

// A refused count sets the spinner back and shows columns × rows; rows that drop to 0 are
// reported as 0 and accepted back.
TEST_F(WallDesignTest, RefusedCountsAndZeroRows) {
    editor.ApplyModel(L"A", 1210, 680);
    EXPECT_EQ(panel.modelName, L"A");
    UserCount(1, 3);
    UserCount(1, 5);
    UserCount(0, 2);
    EXPECT_EQ(std::pair(panel.columns, panel.rows), std::pair(3, 1));
    EXPECT_EQ(panel.messages, (std::vector<std::wstring>(2, kMax + L"4\u00D71.")));
    editor.ApplyFitToRoom();
    EXPECT_EQ(panel.columns, 4);
    ExpectInStep();

    panel.messages.clear();
    editor.ApplyWallSize(6.0, 2.5);
    ASSERT_EQ(editor.ApplyLampstand(1.5), 1);
    editor.ApplyWallSize(6.0, 2.0);  // 0.68 + 1.5 > 2.0
    EXPECT_EQ(panel.rows, 0);
    UserCount(0, 0);          // a panel echoing the reported 0 is not refused
    editor.ApplyCount(1, 0);  // nor does a 0 change a stored count
    EXPECT_TRUE(panel.messages.empty());
    ExpectInStep();
}

// No model applied (an empty catalogue; a size that is not positive counts as none): nothing
// divides by the panel size, and whatever would need it asks for a model.
TEST_F(WallDesignTest, NoModelNeverDividesByZero) {
    geometry.SetModel(L"", -1.0, 0.0);
    EXPECT_EQ(geometry.PanelHeight(), 0.0);
    UserCount(1, 3);
    EXPECT_EQ(editor.ApplyLampstand(1.2), 1);  // rows × 0 + 1.2 < 2.0
    EXPECT_EQ(editor.ApplyOrientationChange(), 0);
    editor.ApplyFitToRoom();
    for (int button : {kButtonMoreColumns, kButtonLessColumns, kButtonMoreRows, kButtonRotate}) {
        EXPECT_EQ(geometry.PressButton(button), 0);
    }
    EXPECT_EQ(panel.messages, std::vector<std::wstring>(6, kNoModel));
    ExpectInStep();
}

// Every length of both records is converted once per switch; counts never change. Feet and back
// multiplies each length by 1.00000000152 (the factors are not exact inverses).
TEST_F(WallDesignTest, UnitSwitchesConvertMirrorAndPreviewOnce) {
    editor.ApplyModel(L"M", 1210, 680);
    UserCount(1, 3);
    editor.ApplyMetersToFeet();
    editor.ApplyMetersToFeet();  // already in feet: nothing
    const WallDesign& d = editor.Design();
    EXPECT_DOUBLE_EQ(d.wallWidth, 6.0 * 3.2808399);
    ExpectInStep();
    editor.ApplyFeetToMeters();
    editor.ApplyFeetToMeters();
    const double got[] = {geometry.WallWidth(),  geometry.WallHeight(),  geometry.Lampstand(),
                          geometry.PanelWidth(), d.modelWidth,           geometry.PanelHeight(),
                          geometry.RowsHeight(), geometry.ColumnsWidth()};
    const double metres[] = {6.0, 2.0, 1.0, 1.21, 1.21, 0.68, 0.68, 3 * 1.21};
    for (int k = 0; k < 8; ++k) {
        EXPECT_DOUBLE_EQ(got[k], metres[k] * 3.2808399 * 0.3048) << k;
        EXPECT_NE(got[k], metres[k]) << k;
    }
    EXPECT_EQ(d.columns, 3);
    ExpectInStep();

    // A model chosen in feet gives the wall chosen in metres, then switched.
    WallGeometry inMetres;
    PanelRecord otherPanel;
    WallDesignEditor other(inMetres, otherPanel);
    other.ApplyModel(L"M", 1211, 682);
    other.ApplyMetersToFeet();
    editor.ApplyMetersToFeet();
    editor.ApplyModel(L"M", 1211, 682);
    EXPECT_EQ(std::tuple(geometry.PanelWidth(), geometry.PanelHeight(), d.modelWidth),
              std::tuple(inMetres.PanelWidth(), inMetres.PanelHeight(), other.Design().modelWidth));
}

// A record taller than wide (or square) is mounted in the design's orientation like any other, so
// the lampstand check measures what the preview draws.
TEST_F(WallDesignTest, TallOrSquareRecordsKeepMirrorAndPreviewInStep) {
    editor.ApplyWallSize(6.0, 4.0);
    for (const auto& [widthMm, heightMm] : {std::pair{680.0, 1210.0}, std::pair{800.0, 800.0}}) {
        SCOPED_TRACE(widthMm);
        editor.ApplyModel(L"T", widthMm, heightMm);
        ExpectInStep();
        EXPECT_DOUBLE_EQ(geometry.PanelHeight(), std::min(widthMm, heightMm) / 1000);
        EXPECT_FALSE(editor.Design().LampstandFits(4.0 - geometry.PanelHeight()));
        EXPECT_TRUE(editor.Design().LampstandFits(3.9 - geometry.PanelHeight()));
        ASSERT_EQ(editor.ApplyOrientationChange(), 1);
        ExpectInStep();
        editor.ApplyModel(L"T", widthMm, heightMm);
        ExpectInStep();
        ASSERT_EQ(editor.ApplyOrientationChange(), 1);
    }
}

TEST_F(WallDesignTest, ModelAppliedInPortraitStaysPortrait) {
    editor.ApplyWallSize(6.0, 4.0);
    editor.ApplyModel(L"A", 1210, 680);
    ASSERT_EQ(editor.ApplyOrientationChange(), 1);
    ASSERT_EQ(panel.landscape, 0);
    UserCount(1, 8);                     // 8 × 0.68 = 5.44 ≤ 6.0
    editor.ApplyModel(L"B", 1075, 606);  // turned: 0.606 wide, 1.075 high
    EXPECT_EQ(editor.Design().landscape, 0);
    EXPECT_DOUBLE_EQ(geometry.PanelWidth(), 0.606);
    EXPECT_EQ(geometry.Columns(), 8);
    editor.ApplyModel(L"C", 2000, 1000);  // 8 × 1.0 no longer fits 6.0: cut to 6, reported
    EXPECT_EQ(panel.columns, 6);
    editor.ApplyModel(L"D", 500, 300);  // a smaller panel never adds panels
    EXPECT_EQ(panel.columns, 6);
    ExpectInStep();
}

}  // namespace
