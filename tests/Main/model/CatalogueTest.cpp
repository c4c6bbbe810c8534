#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/SpecSheet.h"
#include "TempAppDir.h"

using namespace std::string_literals;

namespace {

// "-5x7" parses (both numbers are non-zero); the loader rejects negative sizes itself. A text
// that does not parse gives 0 and 0.
TEST(ParseDimension, ReadsLeadingWholeNumbersAroundTheFirstLowerCaseX) {
    const struct {
        const wchar_t* text;
        double first = 0, second = 0;
    } cases[] = {
        // clang-format off
        {L"1213x684", 1213, 684},     {L"1213.5x684mm", 1213, 684}, {L"1213 x 684", 1213, 684},
        {L"\t1213x\t684", 1213, 684}, {L"+12x7", 12, 7},             {L"1211x682x98mm", 1211, 682},
        {L"-5x7", -5, 7},             {L"2147483647x1", 2147483647.0, 1},
        {L"1213X684"}, {L"x684"}, {L"1213x"}, {L"0x684"}, {L"1213x0"}, {L"12xx7"}, {L"- 5x7"},
        {L"99999999999x5"}, {L"5x99999999999"}, {L"2147483648x1"}, {L"Dimension"}, {L""},
        // clang-format on
    };
    for (const auto& c : cases) {
        double first = -1;
        double second = -1;
        EXPECT_EQ(ParseDimension(c.text, first, second), c.first != 0) << c.text;
        EXPECT_EQ(std::pair(first, second), std::pair(c.first, c.second)) << c.text;
    }
}

ProductCatalogue Load(const TempAppDir& dir, std::string_view bytes) {
    dir.write("ProductParameter.csv", bytes);
    ProductCatalogue catalogue;
    EXPECT_TRUE(CDatabaseManager().LoadProductParameters(catalogue));
    return catalogue;
}

// "key model" of every record in catalogue order, joined by "|".
std::wstring EntriesOf(const ProductCatalogue& catalogue) {
    std::wstring entries;
    for (const auto& [key, record] : catalogue) {
        entries += (entries.empty() ? L"" : L"|") + std::to_wstring(key) + L" " + record.model;
    }
    return entries;
}

// The text with a byte-order mark, in UTF-16 (char16_t) or UTF-32 (char32_t) code units.
template <class Text>
std::string WithMark(const Text& text, bool bigEndian) {
    constexpr int width = sizeof(typename Text::value_type);
    std::string out;
    for (const auto unit : Text(1, 0xFEFF) + text) {
        for (int k = 0; k < width; ++k) {
            out += static_cast<char>((unit >> (8 * (bigEndian ? width - 1 - k : k))) & 0xFF);
        }
    }
    return out;
}

TEST(LoadProductParameters, KeysAreLineIndexesAndRejectedLinesConsumeTheirIndex) {
    // Name, file bytes; the records read.
    const std::tuple<const char*, std::string, const wchar_t*> cases[] = {
        // clang-format off
        {"three valid lines", "A,1x2\nB,3x4\nC,5x6\n", L"0 A|1 B|2 C"},
        {"header then two", "Model,Dimension\nA,1213x684\nB,1075x606\n", L"1 A|2 B"},
        {"no final line end", "A,1x2\nB,3x4", L"0 A|1 B"},
        {"blank line in the middle", "A,1x2\n\nC,5x6\n", L"0 A|2 C"},
        {"CRLF", "H,D\r\nA,1x2\r\nB,3x4\r\n", L"1 A|2 B"},
        {"CR only", "H,D\rA,1x2\rB,3x4\r", L"1 A|2 B"},
        {"mixed line ends", "A,1x2\r\nB,3x4\nC,5x6\rD,7x8", L"0 A|1 B|2 C|3 D"},
        {"CRLF blank lines", "A,1x2\r\n\r\nC,5x6\r\n", L"0 A|2 C"},
        {"unparsable sizes", "A,1213X684\nB,x684\nC,0x684\nD,99999999999x5\nE,9x9\n", L"4 E"},
        {"negative sizes rejected", "A,-5x7\nB,5x-7\nC,-5x-7\nD,5x7\n", L"3 D"},
        {"quotes and spaces stay", "\"A, B\",1x2\n", L""},
        {"empty file", "", L""},
        {"only line ends", "\n\n\r\n", L""},
        {"UTF-8 BOM", "\xEF\xBB\xBFModel,Dimension\nA\xC3\xA9,1x2\n", L"1 A\u00E9"},
        {"UTF-16 LE BOM", WithMark(std::u16string(u"H,D\r\nA\u00E9\u4E2D,1x2\r\n"), false),
         L"1 A\u00E9\u4E2D"},
        {"UTF-16 BE BOM", WithMark(std::u16string(u"A\U0001F600,1x2\n"), true), L"0 A\U0001F600"},
        {"UTF-32 LE BOM", WithMark(std::u32string(U"A\u4E2D,1x2\n"), false), L"0 A\u4E2D"},
        {"locale 8-bit (UTF-8) without a mark", "Caf\xC3\xA9,1x2\n", L"0 Caf\u00E9"},
        {"malformed bytes", "A\xFF\xFE\xFD,1x2\n", L"0 A\uFFFD\uFFFD\uFFFD"},
        // clang-format on
    };
    for (const auto& [name, bytes, entries] : cases) {
        TempAppDir dir;
        EXPECT_EQ(EntriesOf(Load(dir, bytes)), entries) << name;
    }
}

// The twelve fields joined by "|".
std::wstring Joined(const ProductParameter& record) {
    std::wstring out = record.Field(0);
    for (int k = 1; k < ProductParameter::kFieldCount; ++k) {
        out += L"|" + record.Field(k);
    }
    return out;
}

TEST(LoadProductParameters, SplitsAtEveryCommaIntoTwelveFields) {
    TempAppDir dir;
    std::string forty = "M,1213x684";
    for (int k = 2; k < 40; ++k) {
        forty += "," + std::to_string(k);
    }
    const ProductCatalogue catalogue =
        Load(dir, "Two,1213x684\n" + forty + "\n S , 1213 x 684 ,,\"q\"\n");
    EXPECT_EQ(Joined(catalogue.at(0)), L"Two|1213x684||||||||||");
    EXPECT_EQ(Joined(catalogue.at(1)), L"M|1213x684|2|3|4|5|6|7|8|9|10|11");
    EXPECT_EQ(Joined(catalogue.at(2)), L" S | 1213 x 684 ||\"q\"||||||||");
    EXPECT_EQ(catalogue.at(2).panelWidthMm, 1213);
    EXPECT_EQ(catalogue.at(2).panelHeightMm, 684);
}

// A missing file leaves the catalogue as it is and creates nothing; a file read adds to it.
TEST(LoadProductParameters, AddsToTheCatalogueWithoutClearingIt) {
    TempAppDir dir;
    ProductCatalogue catalogue;
    EXPECT_TRUE(CDatabaseManager().LoadProductParameters(catalogue));
    EXPECT_TRUE(catalogue.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("ProductParameter.csv")));
    EXPECT_EQ(CatalogueRecordAt(catalogue, 0), nullptr);
    catalogue[1].model = L"kept";
    catalogue[0].model = L"replaced";
    dir.write("ProductParameter.csv", "New,1x2\n");
    EXPECT_TRUE(CDatabaseManager().LoadProductParameters(catalogue));
    EXPECT_EQ(EntriesOf(catalogue), L"0 New|1 kept");
    // The n-th record counts in key order.
    EXPECT_EQ(CatalogueRecordAt(catalogue, 1), &catalogue.at(1));
    EXPECT_EQ(CatalogueRecordAt(catalogue, 2), nullptr);
    EXPECT_EQ(CatalogueRecordAt(catalogue, -1), nullptr);
}

// Random bytes, lines of megabytes and a hundred thousand lines.
TEST(LoadProductParameters, SurvivesBinaryLongAndManyLines) {
    TempAppDir dir;
    std::minstd_rand random(12345);
    std::string bytes(1 << 16, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() >> 8);
    }
    ProductCatalogue catalogue = Load(dir, bytes + "\nA,1x2\n");  // a valid line after the noise
    ASSERT_FALSE(catalogue.empty());
    EXPECT_EQ(catalogue.rbegin()->second.model, L"A");
    for (const auto& [key, record] : catalogue) {
        EXPECT_GT(std::min(record.panelWidthMm, record.panelHeightMm), 0) << key;
    }

    const std::string longName(2'000'000, 'n');
    catalogue = Load(
        dir, longName + ",1x2\nB," + std::string(1'000'000, '7') + "x5\nC,3x4," + longName + "\n");
    EXPECT_EQ(catalogue.size(), 2u);
    EXPECT_EQ(catalogue.at(0).model.size(), longName.size());
    EXPECT_EQ(catalogue.at(2).resolution.size(), longName.size());

    bytes = "Model,Dimension\n";
    for (int i = 1; i <= 100'000; ++i) {
        bytes += "M" + std::to_string(i) + ",1213x684,1920x1080,205W,31.5kg,,,500,1:1,1.8,3.5,55\n";
    }
    catalogue = Load(dir, bytes);
    ASSERT_EQ(catalogue.size(), 100'000u);
    EXPECT_EQ(CatalogueRecordAt(catalogue, 99'999)->model, L"M100000");
}

TEST(LoadProductParameters, EchoesLinesToTheLoggingCategoryNotStdout) {
    TempAppDir dir;
    static QStringList seen;
    seen.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("tessaro.catalogue.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& message) {
            if (QString::fromUtf8(context.category) == QStringLiteral("tessaro.catalogue")) {
                seen << message;
            }
        });
    testing::internal::CaptureStdout();
    Load(dir, "Model,Dimension\nA,1x2\n");
    const std::string out = testing::internal::GetCapturedStdout();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());

    EXPECT_EQ(out, "");
    EXPECT_TRUE(seen.contains(QStringLiteral("Model,Dimension")));
    EXPECT_TRUE(seen.contains(QStringLiteral("A,1x2")));
}

// The catalogue that ships: its header is the only rejected line and every model is usable.
TEST(ShippedCatalogue, EveryRecordParsesAndTheClassesAreCovered) {
    ProductCatalogue catalogue;
    CDatabaseManager::LoadProductParametersFrom(
        TESSARO_SOURCE_DIR "/data/model/ProductParameter.csv", catalogue);
    const auto lines = DecodeCatalogueLines(
        testsupport::TempDir::read(TESSARO_SOURCE_DIR "/data/model/ProductParameter.csv"));

    ASSERT_GE(catalogue.size(), 12u);
    EXPECT_EQ(catalogue.size(), lines.size() - 1);
    EXPECT_EQ(catalogue.begin()->first, 1);
    std::set<int> classes;
    for (const auto& [key, record] : catalogue) {
        SCOPED_TRACE(key);
        for (int k = 0; k < ProductParameter::kFieldCount; ++k) {
            EXPECT_FALSE(record.Field(k).empty()) << k;
        }
        EXPECT_GT(record.panelWidthMm, record.panelHeightMm);
        classes.insert(SizeClassOf(record.size));
    }
    EXPECT_EQ(classes, (std::set<int>{kSizeClass46, kSizeClass49, kSizeClass55}));
}

}  // namespace
