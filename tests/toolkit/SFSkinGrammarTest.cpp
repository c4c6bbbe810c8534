// The skin value grammar: well-formed texts and the defaults of empty or malformed ones.
#include "toolkit/SFSkin.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Grammar { Rect, Pair, Color, Align };
// Every text of a row parses to the row's value, printed as "x,y,w,h", "x,y", "#aarrggbb" or
// the align number.
struct GrammarCase {
    Grammar grammar;
    const char* expected;
    std::vector<const wchar_t*> texts;
};

// One printed form for every grammar, so that one table holds them all.
std::string Parsed(Grammar grammar, const wchar_t* text) {
    QString out;
    if (grammar == Grammar::Rect) {
        const QRect r = SFParseSkinRect(text);
        out = QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    } else if (grammar == Grammar::Pair) {
        const QPoint p = SFParseSkinPair(text);
        out = QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    } else if (grammar == Grammar::Color) {
        const QColor c = SFParseSkinColor(text);
        out = c.isValid() ? c.name(QColor::HexArgb) : QStringLiteral("invalid");
    } else {
        out = QString::number(SFParseSkinAlign(text));
    }
    return out.toStdString();
}

constexpr Grammar kRect = Grammar::Rect, kPair = Grammar::Pair, kColor = Grammar::Color,
                  kAlign = Grammar::Align;
const GrammarCase kGrammarCases[] = {
    {kRect, "30,0,1,35", {L"30,0,1,35", L" 30 , 0 ,1, 35 "}},
    {kRect, "-60,4,24,24", {L"-60,4,24,24"}},
    {kRect, "0,0,0,0", {L"", L"1,2,3", L"1,2,3,4,5", L"a,b,c,d", L"99999999999,0,1,1"}},
    {kPair, "8,9", {L"8,9", L"  8,9  ", L",8,,9,"}},  // blanks and empty parts are dropped
    {kPair, "0,0", {L"", L"5", L"1,2,3", L"x,y"}},
    {kColor, "#ff5b8aff", {L"5b8aff", L"5B8AFF"}},
    {kColor, "#ff000000", {L"", L"fff", L"#ffffff", L"zz00zz", L"+1-100"}},  // black
    {kAlign, "0", {L"left", L"", L"middle"}},
    {kAlign, "1", {L"center"}},
    {kAlign, "2", {L"right"}},
};

TEST(SkinGrammar, ParsesWellFormedTextsAndDefaultsTheRest) {
    for (const GrammarCase& c : kGrammarCases) {
        for (const wchar_t* text : c.texts) {
            EXPECT_EQ(Parsed(c.grammar, text), c.expected)
                << "\"" << QString::fromWCharArray(text).toStdString() << "\"";
        }
    }
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

// Diagnostics about bad skin text stay silent unless logging rules switch them on.
int g_skinMessages = 0;
void CountMessage(QtMsgType, const QMessageLogContext& context, const QString&) {
    if (context.category != nullptr && QByteArray(context.category).startsWith("tessaro.")) {
        ++g_skinMessages;
    }
}
TEST(SkinDiagnostics, SilentByDefault) {
    const QtMessageHandler previous = qInstallMessageHandler(CountMessage);
    SFParseSkinRect(L"1,2");
    SFParseSkinRect(L"a,b,c,d");
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_skinMessages, 0);
}

}  // namespace
