#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Main/model/WallGeometry.h"

namespace {

// Records every notification in the order raised.
class Recorder : public IWallGeometryEvent {
public:
    void OnChangeNum(int which, int count) override {
        events.push_back((which == 1 ? "columns " : "rows ") + std::to_string(count));
    }
    void OnChangeOrientation(int landscape) override {
        events.push_back(landscape ? "landscape" : "portrait");
    }
    void OnAttention(int code) override { events.push_back("attention " + std::to_string(code)); }
    void OnChangeModel() override { events.push_back("change model"); }
    void OnChangeScrollGeometry(int width, int height) override {
        events.push_back("view " + std::to_string(width) + "x" + std::to_string(height));
    }
    void OnRedraw() override { ++redraws; }

    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }

    std::vector<std::string> events;
    int redraws = 0;
};

using Events = std::vector<std::string>;

TEST(WallGeometry, FitToRoomTakesTheLargestWallThatFits) {
    struct Case {
        const char* name;
        double wallW, wallH, lamp, panelW, panelH;
        int columns, rows;
    } const cases[] = {
        {"defaults, 1210 by 680", 6.0, 2.0, 1.0, 1.21, 0.68, 4, 1},
        {"equality fits", 5.0, 3.0, 1.0, 1.25, 1.0, 4, 2},
        {"lampstand taller than the wall", 6.0, 2.0, 2.5, 1.21, 0.68, 4, 0},
        {"wall narrower than a panel", 1.0, 2.0, 1.0, 1.21, 0.68, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder r;
        WallGeometry g(&r);
        g.SetModel(L"M", c.panelH, c.panelW);
        g.ChangeLampstand(0.0);
        g.SetWallSize(c.wallH, c.wallW);
        // Set the lampstand without a re-fit so even one taller than the wall can be tried.
        g.ChangeLampstand(c.lamp);
        r.Take();
        g.FitToRoom();
        EXPECT_EQ(r.Take(), (Events{"columns " + std::to_string(c.columns),
                                    "rows " + std::to_string(c.rows)}));
        EXPECT_EQ(g.Columns(), c.columns);
        EXPECT_EQ(g.Rows(), c.rows);
        EXPECT_DOUBLE_EQ(g.ColumnsWidth(), c.columns * c.panelW);
        EXPECT_DOUBLE_EQ(g.RowsHeight(), c.rows * c.panelH);
    }
}

TEST(WallGeometry, CountRequestsAcceptEqualityButThePlusButtonsDemandLess) {
    Recorder r;
    WallGeometry g(&r);
    g.SetModel(L"M", 1.0, 1.25);
    g.SetWallSize(3.0, 5.0);
    r.Take();

    EXPECT_EQ(g.SetLayout(4, 0), 1);  // 4 × 1.25 = 5.0
    EXPECT_EQ(g.Columns(), 4);
    EXPECT_EQ(g.SetLayout(5, 0), 0);
    EXPECT_EQ(g.Columns(), 4);
    EXPECT_EQ(g.SetLayout(0, 2), 1);  // 2 × 1.0 + 1.0 = 3.0
    EXPECT_EQ(g.SetLayout(0, 3), 0);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_TRUE(r.Take().empty());  // the caller stores SetLayout's counts itself

    EXPECT_EQ(g.SetLayout(3, 1), 1);
    EXPECT_EQ(g.PressButton(kButtonMoreColumns), 0);  // 4 × 1.25 is not less than 5.0
    EXPECT_EQ(g.PressButton(kButtonMoreRows), 0);     // 2 × 1.0 + 1.0 is not less than 3.0
    EXPECT_EQ(r.Take(), (Events{"attention 1", "attention 1"}));
    EXPECT_EQ(g.Columns(), 3);
    EXPECT_EQ(g.Rows(), 1);
}

TEST(WallGeometry, RefusedRowsKeepAColumnCountAlreadySet) {
    WallGeometry g;
    EXPECT_EQ(g.SetLayout(3, 5), 0);
    EXPECT_EQ(g.Columns(), 3);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_DOUBLE_EQ(g.ColumnsWidth(), 3 * 1.21);
    EXPECT_EQ(g.SetLayout(-1, 0), 0);
    EXPECT_EQ(g.SetLayout(0, 0), 1);
}

TEST(WallGeometry, Buttons) {
    struct Case {
        const char* name;
        int columns, rows, button, result;
        Events events;
        int columnsAfter, rowsAfter;
    } const cases[] = {
        {"one more column", 3, 1, kButtonMoreColumns, 1, {"columns 4"}, 4, 1},
        {"one more column refused", 4, 1, kButtonMoreColumns, 0, {"attention 1"}, 4, 1},
        {"one less column", 3, 1, kButtonLessColumns, 1, {"columns 2"}, 2, 1},
        {"one less column at 1", 1, 1, kButtonLessColumns, 0, {}, 1, 1},
        {"one more row refused", 1, 1, kButtonMoreRows, 0, {"attention 1"}, 1, 1},
        {"one less row at 1", 1, 1, kButtonLessRows, 0, {}, 1, 1},
        {"rotate refused", 4, 1, kButtonRotate, 0, {"attention 0"}, 4, 1},
        {"change model", 2, 1, kButtonChangeModel, 1, {"change model"}, 2, 1},
        {"unknown button", 2, 1, 6, 0, {}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder r;
        WallGeometry g(&r);
        ASSERT_EQ(g.SetLayout(c.columns, c.rows), 1);
        r.Take();
        EXPECT_EQ(g.PressButton(c.button), c.result);
        EXPECT_EQ(r.Take(), c.events);
        EXPECT_EQ(g.Columns(), c.columnsAfter);
        EXPECT_EQ(g.Rows(), c.rowsAfter);
        EXPECT_DOUBLE_EQ(g.ColumnsWidth(), c.columnsAfter * 1.21);
    }

    Recorder r;
    WallGeometry g(&r);
    g.SetWallSize(4.0, 6.0);
    r.Take();
    EXPECT_EQ(g.PressButton(kButtonMoreRows), 1);
    EXPECT_EQ(g.PressButton(kButtonLessRows), 1);
    EXPECT_EQ(r.Take(), (Events{"rows 2", "rows 1"}));
}

TEST(WallGeometry, ChangeOrientation) {
    {
        SCOPED_TRACE("4 columns, 1 row at the defaults: one portrait panel needs 1.21 of 1.0");
        Recorder r;
        WallGeometry g(&r);
        g.SetLayout(4, 0);
        const int redraws = r.redraws;
        EXPECT_EQ(g.ChangeOrientation(), 0);
        EXPECT_TRUE(r.Take().empty());
        EXPECT_EQ(r.redraws, redraws);
        EXPECT_EQ(g.Columns(), 4);
        EXPECT_EQ(g.PanelWidth(), 1.21);
        EXPECT_TRUE(g.IsLandscape());
    }
    {
        SCOPED_TRACE("3 columns, 1 row on a 6.0 by 4.0 wall: counts stay");
        Recorder r;
        WallGeometry g(&r);
        g.SetWallSize(4.0, 6.0);
        g.SetLayout(3, 0);
        r.Take();
        EXPECT_EQ(g.ChangeOrientation(), 1);
        EXPECT_EQ(r.Take(), (Events{"columns 3", "rows 1", "portrait"}));
        EXPECT_EQ(g.PanelWidth(), 0.68);
        EXPECT_EQ(g.PanelHeight(), 1.21);
        EXPECT_DOUBLE_EQ(g.RowsHeight(), 1.21);
        EXPECT_DOUBLE_EQ(g.ColumnsWidth(), 3 * 0.68);
        EXPECT_EQ(g.ChangeOrientation(), 1);
        EXPECT_EQ(r.Take(), (Events{"columns 3", "rows 1", "landscape"}));
    }
    {
        SCOPED_TRACE("counts that no longer fit are cut to the maximum");
        Recorder r;
        WallGeometry g(&r);
        g.SetModel(L"M", 0.5, 2.0);
        g.SetWallSize(6.0, 6.0);
        g.FitToRoom();  // 3 columns of 2.0, 10 rows of 0.5
        ASSERT_EQ(g.Columns(), 3);
        ASSERT_EQ(g.Rows(), 10);
        r.Take();
        EXPECT_EQ(g.ChangeOrientation(), 1);  // columns stay 3 ≤ 12, rows cut to trunc(5 / 2)
        EXPECT_EQ(r.Take(), (Events{"columns 3", "rows 2", "portrait"}));
    }
}

TEST(WallGeometry, WallSizeResizesTheViewThenShrinksAndReportsCounts) {
    Recorder r;
    WallGeometry g(&r);
    g.SetViewSize(800, 300);
    g.SetWallSize(2.0, 6.0);
    EXPECT_EQ(r.Take(), (Events{"view 800x393", "columns 1", "rows 1"}));
    EXPECT_EQ(g.ViewHeight(), 393);

    EXPECT_EQ(WallGeometry::PreviewPixelHeight(800, 300, 2.0, 6.0), 393);
    EXPECT_EQ(WallGeometry::PreviewPixelHeight(800, 300, 6.0, 6.0), 800);
    EXPECT_EQ(WallGeometry::PreviewPixelHeight(800, 300, 2.0, 0.0), 300);  // no division by 0
    EXPECT_EQ(WallGeometry::PreviewPixelHeight(0, 300, 60.0, 2.0), 0);     // not yet laid out

    // 1 row of 0.68 on a lampstand of 1.5 fits a 2.5 wall, not a 2.0 one: 0 rows, reported as 0.
    g.SetWallSize(2.5, 6.0);
    g.ChangeLampstand(1.5);
    EXPECT_EQ(g.Rows(), 1);
    r.Take();
    g.SetWallSize(2.0, 6.0);
    EXPECT_EQ(r.Take(), (Events{"view 800x393", "columns 1", "rows 0"}));
    EXPECT_EQ(g.RowsHeight(), 0.0);

    // Rows are raised to 1 before the reduction, columns are not.
    g.SetWallSize(2.5, 1.0);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.Columns(), 0);
    g.SetWallSize(2.5, 6.0);
    EXPECT_EQ(g.Columns(), 0);
    EXPECT_EQ(g.PressButton(kButtonMoreColumns), 1);
    EXPECT_EQ(g.Columns(), 1);
}

TEST(WallGeometry, ModelShrinksCountsAndNeverGrowsThem) {
    Recorder r;
    WallGeometry g(&r);
    g.FitToRoom();
    ASSERT_EQ(g.Columns(), 4);
    r.Take();
    g.SetModel(L"Big", 0.68, 2.5);
    EXPECT_EQ(r.Take(), (Events{"columns 2", "rows 1", "landscape"}));
    EXPECT_EQ(g.ModelName(), L"Big");
    g.SetModel(L"Small", 0.3, 0.5);
    EXPECT_EQ(r.Take(), (Events{"columns 2", "rows 1", "landscape"}));
    g.SetModel(L"Turned", 0.5, 0.3);
    EXPECT_EQ(r.Take(), (Events{"columns 2", "rows 1", "portrait"}));
}

TEST(WallGeometry, LampstandChangeReappliesTheWallSize) {
    Recorder r;
    WallGeometry g(&r);
    g.SetViewSize(800, 393);
    g.SetWallSize(4.0, 6.0);
    g.SetLayout(0, 4);
    r.Take();
    g.ChangeLampstand(1.5);  // 4 × 0.68 + 1.5 > 4.0; 3 rows fit
    EXPECT_EQ(r.Take(), (Events{"view 800x596", "columns 1", "rows 3"}));
    EXPECT_EQ(g.Lampstand(), 1.5);
    // A lampstand taller than the wall ends at 0 rows instead of counting below zero.
    g.ChangeLampstand(5.0);
    EXPECT_EQ(g.Rows(), 0);
}

TEST(WallGeometry, FeetAndBack) {
    Recorder r;
    WallGeometry g(&r);
    g.SetLayout(3, 1);
    r.Take();
    g.MetersToFeet();
    EXPECT_EQ(g.MetricUnits(), 0);
    EXPECT_DOUBLE_EQ(g.WallWidth(), 6.0 * 3.2808399);
    EXPECT_DOUBLE_EQ(g.Lampstand(), 3.2808399);
    EXPECT_DOUBLE_EQ(g.ColumnsWidth(), 3 * 1.21 * 3.2808399);
    g.MetersToFeet();  // already in feet: nothing
    EXPECT_DOUBLE_EQ(g.WallWidth(), 6.0 * 3.2808399);
    g.FeetToMeters();
    EXPECT_EQ(g.MetricUnits(), 1);
    const double roundTrip = 3.2808399 * 0.3048;  // 1.00000000152
    EXPECT_NEAR(roundTrip, 1.00000000152, 1e-14);
    for (const auto& [got, metres] : {std::pair{g.WallWidth(), 6.0},
                                      {g.WallHeight(), 2.0},
                                      {g.Lampstand(), 1.0},
                                      {g.PanelWidth(), 1.21},
                                      {g.PanelHeight(), 0.68},
                                      {g.RowsHeight(), 0.68},
                                      {g.ColumnsWidth(), 3 * 1.21}}) {
        EXPECT_DOUBLE_EQ(got, metres * 3.2808399 * 0.3048);
        EXPECT_NE(got, metres);
    }
    EXPECT_EQ(g.Columns(), 3);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_TRUE(r.Take().empty());
}

TEST(WallGeometry, NoPanelRefusesAndSaysWhyWithoutDividingByZero) {
    Recorder r;
    WallGeometry g(&r);
    g.SetModel(L"", 0.0, 0.0);
    EXPECT_FALSE(g.HasPanel());
    r.Take();
    g.FitToRoom();
    EXPECT_EQ(g.SetLayout(5, 0), 0);
    EXPECT_EQ(g.ChangeOrientation(), 0);
    for (int button : {kButtonMoreColumns, kButtonLessColumns, kButtonMoreRows, kButtonRotate}) {
        EXPECT_EQ(g.PressButton(button), 0);
    }
    EXPECT_EQ(r.Take(),
              (Events{"attention 4", "attention 4", "attention 4", "attention 4", "attention 4"}));
    EXPECT_EQ(g.Columns(), 1);
    EXPECT_EQ(g.Rows(), 1);
    g.SetModel(L"", -1.0, 2.0);
    EXPECT_EQ(g.PanelHeight(), 0.0);
}

TEST(TruncateCount, TowardZeroAndHeld) {
    EXPECT_EQ(TruncateCount(4.96), 4);
    EXPECT_EQ(TruncateCount(1.0), 1);
    EXPECT_EQ(TruncateCount(0.99), 0);
    EXPECT_EQ(TruncateCount(-0.5), 0);
    EXPECT_EQ(TruncateCount(1e300), 2147483647);
    EXPECT_EQ(TruncateCount(0.0 / 0.0), 0);
}

}  // namespace
