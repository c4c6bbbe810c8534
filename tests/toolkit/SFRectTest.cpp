// The rectangle arithmetic against the Win32 definitions: right and bottom exclusive, empty
// sources give the zero rectangle, SubtractRect cuts only whole bands, MulDiv rounds half away
// from zero and answers -1 on a zero divisor or an overflow.
#include "toolkit/SFRect.h"

#include <gtest/gtest.h>

#include <climits>

static std::ostream& operator<<(std::ostream& os, const tagRECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

enum Op { kIntersect, kUnion, kSubtract };
struct RectCase {
    Op op;
    const char* name;
    CSFRect a;
    CSFRect b;
    bool result;
    CSFRect expected;
};

void PrintTo(const RectCase& c, std::ostream* os) {
    *os << c.name;
}

bool Same(const tagRECT& x, const tagRECT& y) {
    return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
}

std::string RowName(const RectCase& c) {
    static const char* const kOps[] = {"intersect_", "union_", "subtract_"};
    return std::string(kOps[c.op]) + c.name;
}

class RectOpTest : public ::testing::TestWithParam<RectCase> {};
TEST_P(RectOpTest, MatchesWin32) {
    const RectCase& c = GetParam();
    CSFRect out(99, 99, 99, 99);
    const bool result = c.op == kIntersect ? out.IntersectRect(&c.a, &c.b)
                        : c.op == kUnion   ? out.UnionRect(&c.a, &c.b)
                                           : out.SubtractRect(&c.a, &c.b);
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(Same(out, c.expected)) << out;
}
INSTANTIATE_TEST_SUITE_P(
    Table, RectOpTest,
    ::testing::Values(
        RectCase{kIntersect, "overlap", {0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}},
        RectCase{kIntersect, "contained", {0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}},
        RectCase{
            kIntersect, "touching_edges_do_not_meet", {0, 0, 10, 10}, {10, 0, 20, 10}, false, {}},
        RectCase{kIntersect, "disjoint", {0, 0, 10, 10}, {20, 20, 30, 30}, false, {}},
        RectCase{kIntersect, "empty_source", {0, 0, 0, 10}, {0, 0, 10, 10}, false, {}},
        RectCase{kIntersect, "inverted_source", {10, 10, 0, 0}, {0, 0, 10, 10}, false, {}},
        RectCase{kIntersect,
                 "negative_coordinates",
                 {-10, -10, 0, 0},
                 {-5, -20, 5, -5},
                 true,
                 {-5, -10, 0, -5}},
        RectCase{kUnion, "disjoint", {0, 0, 10, 10}, {20, 5, 30, 30}, true, {0, 0, 30, 30}},
        RectCase{
            kUnion, "first_empty_takes_second", {5, 5, 5, 50}, {1, 2, 3, 4}, true, {1, 2, 3, 4}},
        RectCase{
            kUnion, "second_empty_takes_first", {1, 2, 3, 4}, {0, 0, -1, -1}, true, {1, 2, 3, 4}},
        RectCase{kUnion, "both_empty", {0, 0, 0, 0}, {3, 3, 3, 9}, false, {}},
        RectCase{kSubtract, "left_band", {0, 0, 10, 10}, {-5, -5, 4, 20}, true, {4, 0, 10, 10}},
        RectCase{kSubtract, "right_band", {0, 0, 10, 10}, {6, 0, 10, 10}, true, {0, 0, 6, 10}},
        RectCase{kSubtract, "top_band", {0, 0, 10, 10}, {0, 0, 10, 3}, true, {0, 3, 10, 10}},
        RectCase{kSubtract, "bottom_band", {0, 0, 10, 10}, {-1, 7, 11, 12}, true, {0, 0, 10, 7}},
        RectCase{kSubtract,
                 "middle_hole_keeps_source",
                 {0, 0, 10, 10},
                 {3, 3, 6, 6},
                 true,
                 {0, 0, 10, 10}},
        RectCase{kSubtract, "no_overlap", {0, 0, 10, 10}, {20, 20, 30, 30}, true, {0, 0, 10, 10}},
        RectCase{kSubtract, "covered_completely", {2, 2, 8, 8}, {0, 0, 10, 10}, false, {}},
        RectCase{kSubtract, "empty_source", {5, 5, 5, 5}, {0, 0, 10, 10}, false, {}}),
    [](const auto& tp) { return RowName(tp.param); });

struct PointCase {
    const char* name;
    tagPOINT p;
    bool inside;
};
class PtInRectTest : public ::testing::TestWithParam<PointCase> {};
TEST_P(PtInRectTest, RightAndBottomAreExclusive) {
    const CSFRect r(0, 0, 10, 20);
    EXPECT_EQ(r.PtInRect(GetParam().p), GetParam().inside);
}
INSTANTIATE_TEST_SUITE_P(Table, PtInRectTest,
                         ::testing::Values(PointCase{"right_edge", {10, 5}, false},
                                           PointCase{"last_inside", {9, 19}, true},
                                           PointCase{"bottom_edge", {5, 20}, false},
                                           PointCase{"top_left", {0, 0}, true},
                                           PointCase{"left_of", {-1, 5}, false}),
                         [](const auto& tp) { return std::string(tp.param.name); });

struct MulDivCase {
    const char* name;
    int32_t a, b, c, expected;
};
class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};
TEST_P(MulDivTest, RoundsHalfAwayFromZero) {
    const MulDivCase& c = GetParam();
    EXPECT_EQ(SFMulDiv(c.a, c.b, c.c), c.expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, MulDivTest,
    ::testing::Values(MulDivCase{"exact", 10, 3, 5, 6}, MulDivCase{"half_up", 5, 1, 2, 3},
                      MulDivCase{"half_away_negative", -5, 1, 2, -3},
                      MulDivCase{"negative_divisor", 5, 1, -2, -3},
                      MulDivCase{"below_half", 4, 1, 3, 1}, MulDivCase{"zero_divisor", 7, 7, 0, -1},
                      MulDivCase{"no_intermediate_overflow", 2000000000, 3, 4, 1500000000},
                      MulDivCase{"overflow", INT_MAX, 2, 1, -1}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST(RectMembers, MeasuresAndMoves) {
    CSFRect r(10, 20, 40, 60);
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.CenterPoint(), CSFPoint(25, 40));
    EXPECT_EQ(CSFRect(-3, -3, 0, 0).CenterPoint(), CSFPoint(-1, -1));  // truncates toward 0
    r.MoveToXY(0, 0);
    EXPECT_TRUE(Same(r, CSFRect(0, 0, 30, 40)));
    r.TopLeft() = CSFPoint(5, 5);  // a reference into the rectangle
    EXPECT_TRUE(Same(r, CSFRect(5, 5, 30, 40)));
    r.OffsetRect(1, -1);
    EXPECT_TRUE(Same(r, CSFRect(6, 4, 31, 39)));
    CSFRect n(10, 10, 0, 0);
    EXPECT_TRUE(n.IsRectEmpty());
    n.NormalizeRect();
    EXPECT_TRUE(Same(n, CSFRect(0, 0, 10, 10)));
    EXPECT_TRUE(CSFRect().IsRectNull());
    EXPECT_FALSE(CSFRect(0, 0, 0, 1).IsRectNull());
    n.SwapLeftRight();
    EXPECT_TRUE(Same(n, CSFRect(10, 0, 0, 10)));
}

TEST(RectMembers, InflateDeflateAndOperators) {
    CSFRect r(10, 10, 20, 20);
    r.InflateRect(2, 3);
    EXPECT_TRUE(Same(r, CSFRect(8, 7, 22, 23)));
    const CSFRect sides(1, 2, 3, 4);
    r.DeflateRect(&sides);
    EXPECT_TRUE(Same(r, CSFRect(9, 9, 19, 19)));
    EXPECT_TRUE(Same(r + CSFPoint(1, 1), CSFRect(10, 10, 20, 20)));
    EXPECT_TRUE(Same(r - CSFSize(9, 9), CSFRect(0, 0, 10, 10)));
    EXPECT_TRUE(Same(r & CSFRect(0, 0, 10, 10), CSFRect(9, 9, 10, 10)));
    EXPECT_TRUE(Same(r | CSFRect(0, 0, 1, 1), CSFRect(0, 0, 19, 19)));
    CSFRect scaled(10, 15, 30, 45);
    scaled.MulDiv(2, 3);
    EXPECT_TRUE(Same(scaled, CSFRect(7, 10, 20, 30)));
    CSFRect wide(INT_MIN, 0, INT_MAX, 1);
    EXPECT_EQ(wide.Width(), -1);  // wraps like the 32-bit field, no undefined overflow
}

TEST(PointAndSize, PackedValuesAreSignExtended) {
    const CSFPoint p(static_cast<long>(0xFFFE0003));
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, -2);
    const CSFSize s(0x0001FFFFul);
    EXPECT_EQ(s.cx, -1);
    EXPECT_EQ(s.cy, 1);
    EXPECT_EQ(CSFPoint(5, 7) - CSFPoint(2, 3), CSFSize(3, 4));
    EXPECT_EQ(-CSFPoint(1, -2), CSFPoint(-1, 2));
    EXPECT_TRUE(Same(CSFPoint(1, 2) + CSFRect(0, 0, 3, 3), CSFRect(1, 2, 4, 5)));
    EXPECT_TRUE(Same(CSFRect(CSFPoint(1, 1), CSFSize(2, 3)), CSFRect(1, 1, 3, 4)));
}

}  // namespace
