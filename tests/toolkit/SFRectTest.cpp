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

bool Same(const tagRECT& x, const tagRECT& y) {
    return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
}

// Each operation answers true exactly when its result is not empty.
enum Op { kAnd, kOr, kCut };
struct RectCase {
    Op op;
    CSFRect a, b, expected;
};
const RectCase kRectCases[] = {
    {kAnd, {0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}},
    {kAnd, {0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}},
    {kAnd, {0, 0, 10, 10}, {10, 0, 20, 10}, {}},  // touching edges do not meet
    {kAnd, {0, 0, 10, 10}, {20, 20, 30, 30}, {}},
    {kAnd, {0, 0, 0, 10}, {0, 0, 10, 10}, {}},
    {kAnd, {10, 10, 0, 0}, {0, 0, 10, 10}, {}},  // inverted source
    {kAnd, {-10, -10, 0, 0}, {-5, -20, 5, -5}, {-5, -10, 0, -5}},
    {kOr, {0, 0, 10, 10}, {20, 5, 30, 30}, {0, 0, 30, 30}},
    {kOr, {5, 5, 5, 50}, {1, 2, 3, 4}, {1, 2, 3, 4}},  // an empty side takes the other
    {kOr, {1, 2, 3, 4}, {0, 0, -1, -1}, {1, 2, 3, 4}},
    {kOr, {0, 0, 0, 0}, {3, 3, 3, 9}, {}},
    {kCut, {0, 0, 10, 10}, {-5, -5, 4, 20}, {4, 0, 10, 10}},  // SubtractRect cuts whole bands
    {kCut, {0, 0, 10, 10}, {6, 0, 10, 10}, {0, 0, 6, 10}},
    {kCut, {0, 0, 10, 10}, {0, 0, 10, 3}, {0, 3, 10, 10}},
    {kCut, {0, 0, 10, 10}, {-1, 7, 11, 12}, {0, 0, 10, 7}},
    {kCut, {0, 0, 10, 10}, {3, 3, 6, 6}, {0, 0, 10, 10}},  // a hole keeps the source
    {kCut, {0, 0, 10, 10}, {20, 20, 30, 30}, {0, 0, 10, 10}},
    {kCut, {2, 2, 8, 8}, {0, 0, 10, 10}, {}},
    {kCut, {5, 5, 5, 5}, {0, 0, 10, 10}, {}},
};

TEST(RectOps, IntersectUnionSubtractMatchWin32) {
    for (const RectCase& c : kRectCases) {
        CSFRect out(99, 99, 99, 99);
        const bool result = c.op == kAnd  ? out.IntersectRect(&c.a, &c.b)
                            : c.op == kOr ? out.UnionRect(&c.a, &c.b)
                                          : out.SubtractRect(&c.a, &c.b);
        EXPECT_EQ(result, !c.expected.IsRectEmpty()) << c.op << " " << c.a << " " << c.b;
        EXPECT_TRUE(Same(out, c.expected)) << c.op << " " << c.a << " " << c.b << ": " << out;
    }
}

TEST(RectOps, PtInRectExcludesRightAndBottom) {
    const CSFRect r(0, 0, 10, 20);
    EXPECT_FALSE(r.PtInRect({10, 5}));
    EXPECT_FALSE(r.PtInRect({5, 20}));
    EXPECT_FALSE(r.PtInRect({-1, 5}));
    EXPECT_TRUE(r.PtInRect({9, 19}));
    EXPECT_TRUE(r.PtInRect({0, 0}));
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndAnswersMinusOneOnFailure) {
    EXPECT_EQ(SFMulDiv(10, 3, 5), 6);
    EXPECT_EQ(SFMulDiv(5, 1, 2), 3);
    EXPECT_EQ(SFMulDiv(-5, 1, 2), -3);
    EXPECT_EQ(SFMulDiv(5, 1, -2), -3);
    EXPECT_EQ(SFMulDiv(4, 1, 3), 1);
    EXPECT_EQ(SFMulDiv(7, 7, 0), -1);
    EXPECT_EQ(SFMulDiv(2000000000, 3, 4), 1500000000);  // no intermediate overflow
    EXPECT_EQ(SFMulDiv(INT_MAX, 2, 1), -1);
}

TEST(RectMembers, MoveResizeAndScale) {
    EXPECT_EQ(CSFRect(-3, -3, 0, 0).CenterPoint(), CSFPoint(-1, -1));  // truncates toward 0
    CSFRect r(10, 10, 20, 20);
    r.TopLeft() = CSFPoint(8, 7);  // a reference into the rectangle
    r.InflateRect(1, 0);
    EXPECT_TRUE(Same(r, CSFRect(7, 7, 21, 20)));
    const CSFRect sides(1, 2, 3, 4);
    r.DeflateRect(&sides);
    EXPECT_TRUE(Same(r, CSFRect(8, 9, 18, 16)));
    EXPECT_TRUE(Same(r & CSFRect(0, 0, 10, 10), CSFRect(8, 9, 10, 10)));
    EXPECT_TRUE(Same(r | CSFRect(0, 0, 1, 1), CSFRect(0, 0, 18, 16)));
    CSFRect n(10, 10, 0, 0);
    n.NormalizeRect();
    EXPECT_TRUE(Same(n, CSFRect(0, 0, 10, 10)));
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
    EXPECT_TRUE(Same(CSFPoint(1, 2) + CSFRect(0, 0, 3, 3), CSFRect(1, 2, 4, 5)));
    EXPECT_TRUE(Same(CSFRect(CSFPoint(1, 1), CSFSize(2, 3)), CSFRect(1, 1, 3, 4)));
}

}  // namespace
