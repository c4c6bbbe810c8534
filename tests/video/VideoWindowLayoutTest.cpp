// The split-layout model: the built-in templates, layout on a canvas with remainders, the text
// form both ways, refusals that leave the layout alone, and separator clicks.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "video/QTVideoWindowLayout.h"

using Rect = CQTVideoWindowLayout::Rect;

namespace {

struct TemplateCase {
    int type;
    int side;
    int cells;
    int inactive;
};

// Grid, cell count and merged bands of each built-in type.
const TemplateCase kTemplates[] = {
    {0, 1, 1, 0},  {1, 2, 4, 0},  {2, 3, 6, 4},   {3, 4, 8, 12}, {4, 3, 9, 0},
    {5, 4, 13, 4}, {6, 4, 16, 0}, {7, 6, 20, 24}, {8, 5, 25, 0}, {9, 6, 36, 0},
};

int Inactive(const CQTVideoWindowLayout& layout) {
    int n = 0;
    for (const auto& [id, sep] : layout.Separators())
        n += sep.active ? 0 : 1;
    return n;
}

// Every cell is the exact union of its units: the areas add up to the canvas.
long long CoveredArea(const CQTVideoWindowLayout& layout) {
    long long area = 0;
    for (const auto& [i, r] : layout.Cells())
        area += (long long)(r.right - r.left + 1) * (r.bottom - r.top + 1);
    return area;
}

}  // namespace

TEST(VideoWindowLayout, BuiltInTemplatesHaveTheirGridsAndMergedBlocks) {
    for (const TemplateCase& t : kTemplates) {
        const char* text = GetDefaultLayout(t.type);
        ASSERT_NE(text, nullptr) << t.type;
        CQTVideoWindowLayout layout;
        ASSERT_TRUE(layout.Apply(text)) << text;
        EXPECT_EQ(layout.Rows(), t.side) << t.type;
        EXPECT_EQ(layout.Columns(), t.side) << t.type;
        EXPECT_EQ(layout.CellCount(), t.cells) << t.type;
        EXPECT_EQ(Inactive(layout), t.inactive) << t.type;
        // Every band of the grid is listed in the text.
        EXPECT_EQ(int(layout.Separators().size()), 2 * t.side * (t.side - 1)) << t.type;
        EXPECT_EQ(CoveredArea(layout), 400LL * 300) << t.type;
        // The count field of the text agrees with the recomputed one.
        EXPECT_EQ(std::stoi(std::string(text).substr(4)), t.cells) << text;
        // On another canvas the cells still tile it, and what is written reads back.
        layout.Resize(1001, 777);
        EXPECT_EQ(CoveredArea(layout), 1001LL * 777) << t.type;
        CQTVideoWindowLayout copy;
        ASSERT_TRUE(copy.Apply(layout.Serialize())) << layout.Serialize();
        EXPECT_EQ(copy.Serialize(), layout.Serialize());
    }
    EXPECT_EQ(GetDefaultLayout(10), nullptr);
    EXPECT_EQ(GetDefaultLayout(-1), nullptr);
}

TEST(VideoWindowLayout, TemplateTextsFollowTheDesignPattern) {
    EXPECT_STREQ(GetDefaultLayout(0), "1/1/1/400:300//0:0:400:300");
    EXPECT_STREQ(GetDefaultLayout(1),
                 "2/2/4/400:300/1:1:200:145:400:155-0:1:0:145:200:155-65792:1:195:150:205:300-"
                 "65536:1:195:0:205:150/200:150:400:300-0:150:200:300-200:0:400:150-0:0:200:150");
    // The 6 x 6 grid lists its horizontal bands from the highest id; columns are 66 wide.
    const std::string six = GetDefaultLayout(9);
    EXPECT_EQ(six.rfind("6/6/36/400:300/1029:1:330:245:396:255-", 0), 0u) << six;
    EXPECT_NE(six.find("-5:1:330:45:396:55-"), std::string::npos);
    // Template two's merged block is the top left 2 x 2 units, and the cells after it run on.
    CQTVideoWindowLayout layout;
    ASSERT_TRUE(layout.Apply(GetDefaultLayout(2)));
    layout.Resize(600, 450);
    EXPECT_EQ(layout.Cells().at(0), (Rect{0, 0, 399, 299}));
    EXPECT_EQ(layout.Cells().at(1), (Rect{400, 0, 599, 149}));
    EXPECT_EQ(layout.Cells().at(2), (Rect{400, 150, 599, 299}));
    EXPECT_EQ(layout.Cells().at(5), (Rect{400, 300, 599, 449}));
    // Written back in ascending id order, with the bands' true extents.
    ASSERT_TRUE(layout.Apply(GetDefaultLayout(1)));
    EXPECT_EQ(layout.Serialize(),
              "2/2/4/400:300/0:1:0:145:199:154-1:1:200:145:399:154-65536:1:195:0:204:149-"
              "65792:1:195:150:204:299/0:0:199:149-200:0:399:149-0:150:199:299-200:150:399:299");
}

TEST(VideoWindowLayout, RemaindersGoToTheLastColumnAndRow) {
    CQTVideoWindowLayout layout;
    ASSERT_TRUE(layout.SetColumns(6));
    // 400 / 6 = 66, and 400 mod 6 = 4 more pixels in the last column: 70 wide.
    EXPECT_EQ(layout.Cells().at(0), (Rect{0, 0, 65, 299}));
    EXPECT_EQ(layout.Cells().at(5), (Rect{330, 0, 399, 299}));
    ASSERT_TRUE(layout.SetRows(7));
    // 300 / 7 = 42, 300 mod 7 = 6: the last row is 48 high.
    const Rect last = layout.Cells().at(41);
    EXPECT_EQ(last, (Rect{330, 252, 399, 299}));
    // Bands: vertical (r, c) is centred on x = (c + 1) * 66; the last row's bands reach the bottom.
    EXPECT_EQ(layout.Separators().at(CQTVideoWindowLayout::VerticalId(6, 4)).rect,
              (Rect{325, 252, 334, 299}));
    EXPECT_EQ(layout.Separators().at(CQTVideoWindowLayout::HorizontalId(0, 5)).rect,
              (Rect{330, 37, 399, 46}));
}

TEST(VideoWindowLayout, RefusedTextsLeaveTheLayoutUnchanged) {
    const char* refused[] = {
        "",
        "2/2/4/400:300/0:1:0:145:199:154",             // five fields
        "1/1/1/400:300//0:0:400:300/",                 // seven fields
        "-1/1/1/400:300//",                            // negative rows
        "0/1/1/400:300//",                             // no rows
        "65/1/1/400:300//",                            // above the grid limit
        "1/1/1/99999999999:300//",                     // huge canvas
        "1/1/1/400:-300//",                            // negative canvas
        "1/1/1/400//",                                 // canvas without height
        "2/2/4/400:300/2:1:0:0:0:0/",                  // horizontal id out of grid
        "2/2/4/400:300/65537:1:0:0:0:0/",              // vertical id out of grid
        "2/2/4/400:300/131072:1:0:0:0:0/",             // unknown kind of band
        "2/2/4/400:300/0:2:0:0:0:0/",                  // flag 2
        "2/2/4/400:300/0:1:0:0:0:0-0:0:0:0:0:0/",      // repeated id
        "2/2/4/400:300/0:1:0:0:0/",                    // band with five numbers
        "2/2/4/400:300/0:1:0:x:0:0/",                  // not a number
        "2/2/4/400:300//0:0:1",                        // cell with three numbers
        "2/2/4/400:300/0:0:0:0:0:0-65536:0:0:0:0:0/",  // L-shaped merge
        " 2/2/4/400:300//",                            // stray blank
    };
    CQTVideoWindowLayout layout;
    ASSERT_TRUE(layout.Apply(GetDefaultLayout(5)));
    layout.Resize(640, 480);
    const std::string before = layout.Serialize();
    for (const char* text : refused) {
        EXPECT_FALSE(layout.Apply(text)) << text;
        EXPECT_EQ(layout.Serialize(), before) << text;
    }
    EXPECT_FALSE(layout.SetRows(4));  // unchanged count
    EXPECT_FALSE(layout.SetRows(0));
    EXPECT_FALSE(layout.SetColumns(-3));
    EXPECT_FALSE(layout.SetColumns(CQTVideoWindowLayout::kMaxGridSide + 1));
    layout.Resize(0, 480);
    EXPECT_EQ(layout.Serialize(), before);
}

TEST(VideoWindowLayout, MissingBandsSeparateAndMergesInsideBlocksAreNormalised) {
    CQTVideoWindowLayout layout;
    // Only the 2 x 2 block's outer ring of merges is given; the band in its middle follows.
    ASSERT_TRUE(layout.Apply("3/3/0/300:300/0:0:0:0:0:0-1:0:0:0:0:0-65536:0:0:0:0:0/"));
    EXPECT_EQ(layout.CellCount(), 6);
    EXPECT_EQ(layout.Separators().at(CQTVideoWindowLayout::VerticalId(1, 0)).active, 0);
    EXPECT_EQ(layout.Cells().at(0), (Rect{0, 0, 199, 199}));
}

TEST(VideoWindowLayout, ClickingBandsMergesAndSplitsIntoRectangles) {
    CQTVideoWindowLayout layout;
    ASSERT_TRUE(layout.Apply(GetDefaultLayout(4)));  // 3 x 3 on 400 x 300: units 133 x 100
    layout.Resize(300, 300);                         // units 100 x 100

    // Nothing at the centre of a unit.
    EXPECT_FALSE(layout.ClickSeparator(50, 50));
    EXPECT_TRUE(layout.Selection().empty());
    EXPECT_EQ(layout.CellCount(), 9);

    // The band between units (0, 0) and (0, 1) merges them.
    ASSERT_TRUE(layout.ClickSeparator(100, 50));
    EXPECT_EQ(layout.CellCount(), 8);
    EXPECT_EQ(layout.Cells().at(0), (Rect{0, 0, 199, 99}));
    ASSERT_EQ(layout.Selection().size(), 1u);
    EXPECT_TRUE(layout.Selection().contains(CQTVideoWindowLayout::VerticalId(0, 0)));

    // The band under unit (0, 0) merges that cell with unit (1, 0); unit (1, 1) must join to
    // keep the cell rectangular: a 2 x 2 block.
    ASSERT_TRUE(layout.ClickSeparator(50, 100));
    EXPECT_EQ(layout.CellCount(), 6);
    EXPECT_EQ(layout.Cells().at(0), (Rect{0, 0, 199, 199}));
    EXPECT_EQ(layout.Selection().size(), 3u);
    EXPECT_EQ(layout.Serialize().substr(0, 6), "3/3/6/");

    // The inactive horizontal band inside the block splits the block along its whole line.
    ASSERT_TRUE(layout.ClickSeparator(150, 100));
    EXPECT_EQ(layout.CellCount(), 7);
    EXPECT_EQ(layout.Cells().at(0), (Rect{0, 0, 199, 99}));
    EXPECT_EQ(layout.Selection().size(), 2u);

    // Every state reached by clicks reads back as a valid template.
    CQTVideoWindowLayout copy;
    EXPECT_TRUE(copy.Apply(layout.Serialize()));
    EXPECT_EQ(CoveredArea(layout), 300LL * 300);

    // In a single row a click merges along the row, and a second one splits again.
    CQTVideoWindowLayout row;
    ASSERT_TRUE(row.SetColumns(3));
    row.Resize(300, 100);
    ASSERT_TRUE(row.ClickSeparator(200, 50));
    EXPECT_EQ(row.CellCount(), 2);
    EXPECT_EQ(row.Cells().at(1), (Rect{100, 0, 299, 99}));
    ASSERT_TRUE(row.ClickSeparator(200, 50));
    EXPECT_EQ(row.CellCount(), 3);
}

TEST(VideoWindowLayout, TextReadsBackForEveryGridSideOnSmallCanvases) {
    // Columns depend only on their count and the width, rows on theirs and the height, so the
    // grids n x 2 and 2 x n (with a merged 2 x 2 block) cover every side up to 64. The canvases
    // give units of no pixels (smaller than the grid, every remainder) and of 1 to 5 pixels.
    const std::string block = "0:0:0:0:0:0-1:0:0:0:0:0-65536:0:0:0:0:0-65792:0:0:0:0:0";
    for (int n = 1; n <= CQTVideoWindowLayout::kMaxGridSide; ++n) {
        std::vector<int> sides;
        for (int s = 1; s <= n + 1; ++s)
            sides.push_back(s);
        for (int k = 2; k <= 5; ++k)
            sides.insert(sides.end(), {k * n - 1, k * n, k * n + n / 2});
        for (const auto& [rows, cols] : {std::pair{n, 2}, std::pair{2, n}}) {
            CQTVideoWindowLayout a;
            ASSERT_TRUE(a.Apply(std::to_string(rows) + "/" + std::to_string(cols) + "/0/400:300/" +
                                (n > 1 ? block : "") + "/"));
            for (int side : sides) {
                a.Resize(side, side);
                const std::string text = a.Serialize();
                CQTVideoWindowLayout b;
                ASSERT_TRUE(b.Apply(text)) << text;
                ASSERT_EQ(b.Serialize(), text);
                // The cells tile the canvas; those without pixels are empty, not inverted.
                ASSERT_EQ(CoveredArea(b), (long long)side * side) << text;
                for (const auto& [index, r] : b.Cells())
                    ASSERT_TRUE(r.right >= r.left - 1 && r.bottom >= r.top - 1) << text;
            }
        }
    }
}
