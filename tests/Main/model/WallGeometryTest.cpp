#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Main/model/WallGeometry.h"

namespace {

using Events = std::vector<std::string>;

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
    Events Take() { return std::exchange(events, {}); }

    Events events;
    int redraws = 0;
};

// A geometry reporting to its own recorder, set to a room and a panel (the defaults unless
// given); the notifications of the set-up are dropped.
struct Wall : Recorder, WallGeometry {
    explicit Wall(double wallW = 6.0, double wallH = 2.0, double lamp = 1.0, double panelW = 1.21,
                  double panelH = 0.68)
        : WallGeometry(this) {
        SetModel(L"M", panelH, panelW);
        SetWallSize(wallH, wallW);
        ChangeLampstand(lamp);
        Take();
    }
};

TEST(WallGeometry, FitToRoomTakesTheLargestWallThatFits) {
    // Name, wall width and height, lampstand, panel width and height; columns and rows.
    const std::tuple<const char*, double, double, double, double, double, int, int> cases[] = {
        {"defaults, 1210 by 680", 6.0, 2.0, 1.0, 1.21, 0.68, 4, 1},
        {"equality fits", 5.0, 3.0, 1.0, 1.25, 1.0, 4, 2},
        {"lampstand taller than the wall", 6.0, 2.0, 2.5, 1.21, 0.68, 4, 0},
        {"wall narrower than a panel", 1.0, 2.0, 1.0, 1.21, 0.68, 0, 1},
    };
    for (const auto& [name, wallW, wallH, lamp, panelW, panelH, columns, rows] : cases) {
        SCOPED_TRACE(name);
        Wall g(wallW, wallH, lamp, panelW, panelH);
        g.FitToRoom();
        EXPECT_EQ(g.Take(),
                  (Events{"columns " + std::to_string(columns), "rows " + std::to_string(rows)}));
        EXPECT_DOUBLE_EQ(g.ColumnsWidth(), columns * panelW);
        EXPECT_DOUBLE_EQ(g.RowsHeight(), rows * panelH);
    }  // Where a quotient becomes a count: held, and never a division by a size of 0.
    EXPECT_EQ(ColumnsThatFit(6.0, 0.0), 0);
    EXPECT_EQ(ColumnsThatFit(1e300, 1.0), INT_MAX);
    EXPECT_EQ(ColumnsThatFit(NAN, 1.0), 0);
    EXPECT_EQ(RowsThatFit(2.0, 1.0, -1.0), 0);
}

// 4 × 1.25 = 5.0 columns and 2 × 1.0 + 1.0 = 3.0 rows fit; a 0 leaves its count as it is.
TEST(WallGeometry, CountRequestsAcceptEqualityButThePlusButtonsDemandLess) {
    Wall g(5.0, 3.0, 1.0, 1.25, 1.0);
    for (const auto& [columns, rows, result] :
         {std::tuple{4, 0, 1}, {5, 0, 0}, {0, 2, 1}, {0, 3, 0}, {-1, 0, 0}, {0, 0, 1}}) {
        EXPECT_EQ(g.SetLayout(columns, rows), result) << columns << "x" << rows;
    }
    EXPECT_EQ(std::pair(g.Columns(), g.Rows()), std::pair(4, 2));
    EXPECT_TRUE(g.Take().empty());  // the caller stores SetLayout's counts itself

    EXPECT_EQ(g.SetLayout(3, 1), 1);
    EXPECT_EQ(g.PressButton(kButtonMoreColumns), 0);  // 4 × 1.25 is not less than 5.0
    EXPECT_EQ(g.PressButton(kButtonMoreRows), 0);     // 2 × 1.0 + 1.0 is not less than 3.0
    EXPECT_EQ(g.Take(), (Events{"attention 1", "attention 1"}));
    EXPECT_EQ(g.SetLayout(2, 5), 0);  // a refused row count keeps the column count set
    EXPECT_EQ(std::pair(g.Columns(), g.Rows()), std::pair(2, 1));
    EXPECT_DOUBLE_EQ(g.ColumnsWidth(), 2 * 1.25);
}

TEST(WallGeometry, Buttons) {
    // Name, wall height, columns and rows, button pressed, result, events, columns and rows after.
    const std::tuple<const char*, double, int, int, int, int, Events, int, int> cases[] = {
        {"one more column", 2.0, 3, 1, kButtonMoreColumns, 1, {"columns 4"}, 4, 1},
        {"one more column refused", 2.0, 4, 1, kButtonMoreColumns, 0, {"attention 1"}, 4, 1},
        {"one less column", 2.0, 3, 1, kButtonLessColumns, 1, {"columns 2"}, 2, 1},
        {"one less column at 1", 2.0, 1, 1, kButtonLessColumns, 0, {}, 1, 1},
        {"one more row", 4.0, 1, 1, kButtonMoreRows, 1, {"rows 2"}, 1, 2},
        {"one more row refused", 2.0, 1, 1, kButtonMoreRows, 0, {"attention 1"}, 1, 1},
        {"one less row", 4.0, 1, 2, kButtonLessRows, 1, {"rows 1"}, 1, 1},
        {"one less row at 1", 2.0, 1, 1, kButtonLessRows, 0, {}, 1, 1},
        {"rotate refused", 2.0, 4, 1, kButtonRotate, 0, {"attention 0"}, 4, 1},
        {"change model", 2.0, 2, 1, kButtonChangeModel, 1, {"change model"}, 2, 1},
        {"unknown button", 2.0, 2, 1, 6, 0, {}, 2, 1},
    };
    for (const auto& [name, wallH, columns, rows, button, result, events, columnsAfter, rowsAfter] :
         cases) {
        SCOPED_TRACE(name);
        Wall g(6.0, wallH);
        ASSERT_EQ(g.SetLayout(columns, rows), 1);
        EXPECT_EQ(g.PressButton(button), result);
        EXPECT_EQ(g.Take(), events);
        EXPECT_EQ(std::pair(g.Columns(), g.Rows()), std::pair(columnsAfter, rowsAfter));
        EXPECT_DOUBLE_EQ(g.ColumnsWidth(), columnsAfter * 1.21);
    }
}

// Counts that still fit stay, larger ones are cut to the most that fit; refused, with nothing
// changed, when not one panel fits along a direction.
TEST(WallGeometry, ChangeOrientation) {
    // Name, wall width and height, lampstand, panel width and height, columns and rows; events.
    using Case = std::tuple<const char*, double, double, double, double, double, int, int, Events>;
    const Case cases[] = {
        // At the defaults a portrait row needs 1.21 of the 1.0 above the stand.
        {"4x1 at the defaults", 6, 2, 1, 1.21, 0.68, 4, 1, {}},
        {"3x1 on 6x4: counts stay", 6, 4, 1, 1.21, 0.68, 3, 1, {"columns 3", "rows 1", "portrait"}},
        {"rows cut to trunc(5 / 2)", 6, 6, 1, 2.0, 0.5, 3, 10, {"columns 3", "rows 2", "portrait"}},
        {"back to landscape", 6, 4, 1, 0.68, 1.21, 3, 1, {"columns 3", "rows 1", "landscape"}},
        {"0 rows stay 0", 6, 2, 1.5, 1.21, 0.68, 1, 0, {"columns 1", "rows 0", "portrait"}},
        {"lampstand above the wall", 6, 2, 2.5, 1.21, 0.68, 1, 0, {}},
    };
    for (const auto& [name, wallW, wallH, lamp, panelW, panelH, columns, rows, events] : cases) {
        SCOPED_TRACE(name);
        Wall g(wallW, wallH, lamp, panelW, panelH);
        ASSERT_EQ(g.SetLayout(columns, 0), 1);
        ASSERT_TRUE(rows == 0 || g.SetLayout(0, rows) == 1);
        ASSERT_EQ(g.Rows(), rows);
        g.Take();
        const int redraws = g.redraws;
        const bool done = !events.empty();
        EXPECT_EQ(g.ChangeOrientation(), done ? 1 : 0);
        EXPECT_EQ(g.Take(), events);
        EXPECT_EQ(g.redraws, redraws + (done ? 1 : 0));
        EXPECT_EQ(std::pair(g.PanelWidth(), g.PanelHeight()),
                  done ? std::pair(panelH, panelW) : std::pair(panelW, panelH));
        EXPECT_DOUBLE_EQ(g.ColumnsWidth(), g.Columns() * g.PanelWidth());
        EXPECT_DOUBLE_EQ(g.RowsHeight(), g.Rows() * g.PanelHeight());
    }
}

TEST(WallGeometry, WallSizeResizesTheViewThenShrinksAndReportsCounts) {
    Recorder r;
    WallGeometry g(&r);
    g.SetViewSize(800, 300);
    g.SetWallSize(2.0, 6.0);
    EXPECT_EQ(r.Take(), (Events{"view 800x393", "columns 1", "rows 1"}));
    EXPECT_EQ(WallGeometry::PreviewPixelHeight(800, 300, 6.0, 6.0), 800);
    EXPECT_EQ(WallGeometry::PreviewPixelHeight(800, 300, 2.0, 0.0), 300);  // no division by 0
    EXPECT_EQ(WallGeometry::PreviewPixelHeight(0, 300, 60.0, 2.0), 0);     // not yet laid out

    // Rows are raised to 1 before the reduction, columns are not.
    g.ChangeLampstand(1.5);
    g.SetWallSize(2.0, 6.0);  // 0.68 + 1.5 > 2.0: 0 rows
    EXPECT_EQ(g.RowsHeight(), 0.0);
    g.SetWallSize(2.5, 1.0);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.Columns(), 0);
    g.SetWallSize(2.5, 6.0);
    EXPECT_EQ(g.Columns(), 0);
    EXPECT_EQ(g.PressButton(kButtonMoreColumns), 1);

    // A lampstand change re-applies the wall size: resize, rows raised to 1, then reduced.
    g.ChangeLampstand(1.0);
    g.SetWallSize(4.0, 6.0);
    ASSERT_EQ(g.SetLayout(0, 4), 1);
    r.Take();
    g.ChangeLampstand(1.5);  // 4 × 0.68 + 1.5 > 4.0; 3 rows fit
    EXPECT_EQ(r.Take(), (Events{"view 800x596", "columns 1", "rows 3"}));
    g.ChangeLampstand(5.0);  // taller than the wall: 0 rows, never below
    EXPECT_EQ(g.Rows(), 0);
}

}  // namespace
