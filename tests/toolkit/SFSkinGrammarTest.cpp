// The skin value grammar: well-formed texts and the defaults of empty or malformed ones.
#include "toolkit/SFSkin.h"

#include <QtGlobal>

#include <gtest/gtest.h>

namespace {

struct RectCase {
    const char* name;
    const wchar_t* text;
    QRect expected;
};
class SkinRectTest : public ::testing::TestWithParam<RectCase> {};
TEST_P(SkinRectTest, Parses) {
    EXPECT_EQ(SFParseSkinRect(GetParam().text), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, SkinRectTest,
    ::testing::Values(RectCase{"plain", L"0,0,10,70", QRect(0, 0, 10, 70)},
                      RectCase{"blanks", L" 30 , 0 ,1, 35 ", QRect(30, 0, 1, 35)},
                      RectCase{"negative_x", L"-60,4,24,24", QRect(-60, 4, 24, 24)},
                      RectCase{"empty", L"", QRect(0, 0, 0, 0)},
                      RectCase{"three_numbers", L"1,2,3", QRect(0, 0, 0, 0)},
                      RectCase{"five_numbers", L"1,2,3,4,5", QRect(0, 0, 0, 0)},
                      RectCase{"letters", L"a,b,c,d", QRect(0, 0, 0, 0)},
                      RectCase{"overflow", L"99999999999,0,1,1", QRect(0, 0, 0, 0)}),
    [](const auto& tp) { return std::string(tp.param.name); });

struct PairCase {
    const char* name;
    const wchar_t* text;
    QPoint expected;
};
class SkinPairTest : public ::testing::TestWithParam<PairCase> {};
TEST_P(SkinPairTest, Parses) {
    EXPECT_EQ(SFParseSkinPair(GetParam().text), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, SkinPairTest,
                         ::testing::Values(PairCase{"plain", L"450,200", QPoint(450, 200)},
                                           PairCase{"trimmed", L"  6,6  ", QPoint(6, 6)},
                                           PairCase{"empty_parts_dropped", L",8,,9,", QPoint(8, 9)},
                                           PairCase{"empty", L"", QPoint(0, 0)},
                                           PairCase{"one_part", L"5", QPoint(0, 0)},
                                           PairCase{"three_parts", L"1,2,3", QPoint(0, 0)},
                                           PairCase{"not_numbers", L"x,y", QPoint(0, 0)}),
                         [](const auto& tp) { return std::string(tp.param.name); });

struct ColorCase {
    const char* name;
    const wchar_t* text;
    QColor expected;
};
class SkinColorTest : public ::testing::TestWithParam<ColorCase> {};
TEST_P(SkinColorTest, Parses) {
    EXPECT_EQ(SFParseSkinColor(GetParam().text), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, SkinColorTest,
    ::testing::Values(ColorCase{"grey", L"333333", QColor(0x33, 0x33, 0x33)},
                      ColorCase{"upper_case", L"FFFFFF", QColor(255, 255, 255)},
                      ColorCase{"accent", L"5b8aff", QColor(91, 138, 255)},
                      ColorCase{"empty_is_black", L"", QColor(0, 0, 0)},
                      ColorCase{"short_is_black", L"fff", QColor(0, 0, 0)},
                      ColorCase{"long_is_black", L"#ffffff", QColor(0, 0, 0)},
                      ColorCase{"not_hex_is_black", L"zz00zz", QColor(0, 0, 0)},
                      ColorCase{"signs_are_not_hex", L"+1-100", QColor(0, 0, 0)}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST(SkinAlign, KnownWordsElseLeft) {
    EXPECT_EQ(SFParseSkinAlign(L"left"), 0);
    EXPECT_EQ(SFParseSkinAlign(L"center"), 1);
    EXPECT_EQ(SFParseSkinAlign(L"right"), 2);
    EXPECT_EQ(SFParseSkinAlign(L""), 0);
    EXPECT_EQ(SFParseSkinAlign(L"middle"), 0);
}

TEST(SkinPosition, NegativeXCountsFromTheRightEdge) {
    EXPECT_EQ(SFResolveSkinPosition(QRect(-60, 5, 20, 20), 500), QRect(440, 5, 20, 20));
    EXPECT_EQ(SFResolveSkinPosition(QRect(60, 5, 20, 20), 500), QRect(60, 5, 20, 20));
}

TEST(UIScale, DefaultsToOneAndRejectsNonsense) {
    EXPECT_FLOAT_EQ(SFGetUIScale(), 1.0f);
    EXPECT_EQ(SFScaled(180), 180);
    SFSetUIScale(1.5f);
    EXPECT_EQ(SFScaled(27), 40);  // trunc(40.5)
    SFSetUIScale(-2.0f);
    EXPECT_FLOAT_EQ(SFGetUIScale(), 1.0f);
    SFSetUIScale(1.0f);
}

}  // namespace

// Diagnostics about bad skin text stay silent unless logging rules switch them on.
namespace {
int g_skinMessages = 0;
void CountMessage(QtMsgType, const QMessageLogContext& context, const QString&) {
    if (context.category != nullptr && QByteArray(context.category).startsWith("tessaro.")) {
        ++g_skinMessages;
    }
}
}  // namespace
TEST(SkinDiagnostics, SilentByDefault) {
    g_skinMessages = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountMessage);
    SFParseSkinRect(L"1,2");
    SFParseSkinRect(L"a,b,c,d");
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_skinMessages, 0);
}
