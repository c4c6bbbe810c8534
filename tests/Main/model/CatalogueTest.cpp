#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/SpecSheet.h"
#include "TempAppDir.h"

using namespace std::string_literals;

namespace {

struct DimensionCase {
    const wchar_t* text;
    bool ok;
    double first;
    double second;
};

TEST(ParseDimension, ReadsLeadingWholeNumbersAroundTheFirstLowerCaseX) {
    const DimensionCase cases[] = {
        {L"1213x684", true, 1213, 684},
        {L"1213.5x684mm", true, 1213, 684},
        {L"1213 x 684", true, 1213, 684},
        {L"\t1213x\t684", true, 1213, 684},
        {L"+12x7", true, 12, 7},
        {L"1211x682x98mm", true, 1211, 682},
        {L"-5x7", true, -5, 7},  // non-zero; the loader rejects negatives itself
        {L"2147483647x1", true, 2147483647.0, 1},
        {L"1213X684", false, 0, 0},
        {L"x684", false, 0, 0},
        {L"1213x", false, 0, 0},
        {L"0x684", false, 0, 0},
        {L"1213x0", false, 0, 0},
        {L"12xx7", false, 0, 0},
        {L"99999999999x5", false, 0, 0},
        {L"5x99999999999", false, 0, 0},
        {L"2147483648x1", false, 0, 0},
        {L"Dimension", false, 0, 0},
        {L"", false, 0, 0},
        {L"- 5x7", false, 0, 0},
    };
    for (const DimensionCase& c : cases) {
        double first = -1;
        double second = -1;
        EXPECT_EQ(ParseDimension(c.text, first, second), c.ok)
            << QString::fromWCharArray(c.text).toStdString();
        EXPECT_EQ(first, c.first) << QString::fromWCharArray(c.text).toStdString();
        EXPECT_EQ(second, c.second) << QString::fromWCharArray(c.text).toStdString();
    }
}

ProductCatalogue Load(const TempAppDir& dir, std::string_view bytes) {
    dir.write("ProductParameter.csv", bytes);
    ProductCatalogue catalogue;
    EXPECT_TRUE(CDatabaseManager().LoadProductParameters(catalogue));
    return catalogue;
}

std::vector<int> Keys(const ProductCatalogue& catalogue) {
    std::vector<int> keys;
    for (const auto& entry : catalogue) {
        keys.push_back(entry.first);
    }
    return keys;
}

std::vector<std::wstring> Models(const ProductCatalogue& catalogue) {
    std::vector<std::wstring> models;
    for (const auto& entry : catalogue) {
        models.push_back(entry.second.model);
    }
    return models;
}

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<int> keys;
    std::vector<std::wstring> models;
};

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF"s : "\xFF\xFE"s;
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8);
        const char lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::string Utf32Le(const std::u32string& text) {
    std::string out = "\xFF\xFE\x00\x00"s;
    for (char32_t c : text) {
        for (int k = 0; k < 4; ++k) {
            out += static_cast<char>((c >> (8 * k)) & 0xFF);
        }
    }
    return out;
}

TEST(LoadProductParameters, KeysAreLineIndexesAndRejectedLinesConsumeTheirIndex) {
    const LoadCase cases[] = {
        {"three valid lines", "A,1x2\nB,3x4\nC,5x6\n", {0, 1, 2}, {L"A", L"B", L"C"}},
        {"header then two", "Model,Dimension\nA,1213x684\nB,1075x606\n", {1, 2}, {L"A", L"B"}},
        {"no final line end", "A,1x2\nB,3x4", {0, 1}, {L"A", L"B"}},
        {"blank line in the middle", "A,1x2\n\nC,5x6\n", {0, 2}, {L"A", L"C"}},
        {"CRLF", "H,D\r\nA,1x2\r\nB,3x4\r\n", {1, 2}, {L"A", L"B"}},
        {"CR only", "H,D\rA,1x2\rB,3x4\r", {1, 2}, {L"A", L"B"}},
        {"mixed line ends", "A,1x2\r\nB,3x4\nC,5x6\rD,7x8", {0, 1, 2, 3}, {L"A", L"B", L"C", L"D"}},
        {"CRLF blank lines", "A,1x2\r\n\r\nC,5x6\r\n", {0, 2}, {L"A", L"C"}},
        {"upper-case X, empty sides, zero",
         "A,1213X684\nB,x684\nC,1213x\nD,0x684\nE,9x9\n",
         {4},
         {L"E"}},
        {"negative sizes rejected", "A,-5x7\nB,5x-7\nC,-5x-7\nD,5x7\n", {3}, {L"D"}},
        {"too large", "A,99999999999x5\nB,5x5\n", {1}, {L"B"}},
        {"quotes and spaces stay", "\"A, B\",1x2\n", {}, {}},
        {"empty file", "", {}, {}},
        {"only line ends", "\n\n\r\n", {}, {}},
        {"UTF-8 BOM", "\xEF\xBB\xBFModel,Dimension\nA\xC3\xA9,1x2\n", {1}, {L"A\u00E9"}},
        {"UTF-16 LE BOM",
         Utf16(u"Model,Dimension\r\nA\u00E9\u4E2D,1x2\r\n", false),
         {1},
         {L"A\u00E9\u4E2D"}},
        {"UTF-16 BE BOM", Utf16(u"A\U0001F600,1x2\n", true), {0}, {L"A\U0001F600"}},
        {"UTF-32 LE BOM", Utf32Le(U"A\u4E2D,1x2\n"), {0}, {L"A\u4E2D"}},
        {"locale 8-bit (UTF-8) without a mark", "Caf\xC3\xA9,1x2\n", {0}, {L"Caf\u00E9"}},
        {"malformed bytes", "A\xFF\xFE\xFD,1x2\n", {0}, {L"A\uFFFD\uFFFD\uFFFD"}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppDir dir;
        const ProductCatalogue catalogue = Load(dir, c.bytes);
        EXPECT_EQ(Keys(catalogue), c.keys);
        EXPECT_EQ(Models(catalogue), c.models);
    }
}

TEST(LoadProductParameters, SplitsAtEveryCommaIntoTwelveFields) {
    TempAppDir dir;
    std::string forty = "M,1213x684";
    for (int k = 2; k < 40; ++k) {
        forty += "," + std::to_string(k);
    }
    const ProductCatalogue catalogue =
        Load(dir, "Two,1213x684\n" + forty + "\n S , 1213 x 684 ,,\"q\"\n");
    ASSERT_EQ(Keys(catalogue), (std::vector<int>{0, 1, 2}));

    const ProductParameter& two = catalogue.at(0);
    EXPECT_EQ(two.model, L"Two");
    EXPECT_EQ(two.dimension, L"1213x684");
    for (int k = 2; k < ProductParameter::kFieldCount; ++k) {
        EXPECT_EQ(two.Field(k), L"") << k;
    }
    EXPECT_EQ(two.panelWidthMm, 1213);
    EXPECT_EQ(two.panelHeightMm, 684);

    const ProductParameter& many = catalogue.at(1);
    for (int k = 2; k < ProductParameter::kFieldCount; ++k) {
        EXPECT_EQ(many.Field(k), std::to_wstring(k)) << k;
    }
    EXPECT_EQ(many.size, L"11");

    const ProductParameter& spaced = catalogue.at(2);
    EXPECT_EQ(spaced.model, L" S ");
    EXPECT_EQ(spaced.dimension, L" 1213 x 684 ");
    EXPECT_EQ(spaced.resolution, L"");
    EXPECT_EQ(spaced.powerConsumption, L"\"q\"");
    EXPECT_EQ(spaced.weight, L"");
}

TEST(LoadProductParameters, AddsToTheCatalogueWithoutClearingIt) {
    TempAppDir dir;
    ProductCatalogue catalogue;
    catalogue[1].model = L"kept";
    catalogue[0].model = L"replaced";
    dir.write("ProductParameter.csv", "New,1x2\n");
    EXPECT_TRUE(CDatabaseManager().LoadProductParameters(catalogue));
    EXPECT_EQ(Models(catalogue), (std::vector<std::wstring>{L"New", L"kept"}));
}

TEST(LoadProductParameters, MissingFileGivesAnEmptyCatalogueAndCreatesNothing) {
    TempAppDir dir;
    ProductCatalogue catalogue;
    EXPECT_TRUE(CDatabaseManager().LoadProductParameters(catalogue));
    EXPECT_TRUE(catalogue.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("ProductParameter.csv")));
    EXPECT_EQ(CatalogueRecordAt(catalogue, 0), nullptr);
}

TEST(LoadProductParameters, SurvivesBinaryInput) {
    TempAppDir dir;
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 1 << 16; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>(state >> 16);
    }
    bytes += "\nA,1x2\n";  // a valid line after the noise still loads
    const ProductCatalogue catalogue = Load(dir, bytes);
    ASSERT_FALSE(catalogue.empty());
    EXPECT_EQ(catalogue.rbegin()->second.model, L"A");
    for (const auto& [key, record] : catalogue) {
        EXPECT_GT(record.panelWidthMm, 0) << key;
        EXPECT_GT(record.panelHeightMm, 0) << key;
    }
}

TEST(LoadProductParameters, VeryLongLines) {
    TempAppDir dir;
    const std::string longName(2'000'000, 'n');
    const std::string longDigits(1'000'000, '7');
    const ProductCatalogue catalogue =
        Load(dir, longName + ",1x2\nB," + longDigits + "x5\nC,3x4," + longName + "\n");
    EXPECT_EQ(Keys(catalogue), (std::vector<int>{0, 2}));
    EXPECT_EQ(catalogue.at(0).model.size(), longName.size());
    EXPECT_EQ(catalogue.at(2).resolution.size(), longName.size());
}

TEST(LoadProductParameters, HundredThousandLines) {
    TempAppDir dir;
    std::string bytes = "Model,Dimension\n";
    for (int i = 1; i <= 100'000; ++i) {
        bytes += "M" + std::to_string(i) +
                 ",1213x684,1920x1080,205W,31.5kg,,,500,1200:1,1.8,"
                 "3.5,55 inch\n";
    }
    const ProductCatalogue catalogue = Load(dir, bytes);
    ASSERT_EQ(catalogue.size(), 100'000u);
    EXPECT_EQ(catalogue.begin()->first, 1);
    EXPECT_EQ(catalogue.rbegin()->first, 100'000);
    EXPECT_EQ(catalogue.rbegin()->second.model, L"M100000");
    EXPECT_EQ(CatalogueRecordAt(catalogue, 99'999)->model, L"M100000");
}

TEST(LoadProductParameters, EchoesLinesToTheLoggingCategoryNotStdout) {
    TempAppDir dir;
    dir.write("ProductParameter.csv", "Model,Dimension\nA,1x2\n");
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
    ProductCatalogue catalogue;
    CDatabaseManager().LoadProductParameters(catalogue);
    const std::string out = testing::internal::GetCapturedStdout();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());

    EXPECT_EQ(out, "");
    EXPECT_TRUE(seen.contains(QStringLiteral("Model,Dimension")));
    EXPECT_TRUE(seen.contains(QStringLiteral("A,1x2")));
}

TEST(CatalogueRecordAt, CountsInKeyOrder) {
    ProductCatalogue catalogue;
    catalogue[7].model = L"second";
    catalogue[2].model = L"first";
    ASSERT_NE(CatalogueRecordAt(catalogue, 0), nullptr);
    EXPECT_EQ(CatalogueRecordAt(catalogue, 0)->model, L"first");
    EXPECT_EQ(CatalogueRecordAt(catalogue, 1)->model, L"second");
    EXPECT_EQ(CatalogueRecordAt(catalogue, 2), nullptr);
    EXPECT_EQ(CatalogueRecordAt(catalogue, -1), nullptr);
}

// The catalogue that ships: its header is the only rejected line and every model is usable.
TEST(ShippedCatalogue, EveryRecordParsesAndTheClassesAreCovered) {
    ProductCatalogue catalogue;
    CDatabaseManager::LoadProductParametersFrom(
        TESSARO_SOURCE_DIR "/data/model/ProductParameter.csv", catalogue);
    std::ifstream file(TESSARO_SOURCE_DIR "/data/model/ProductParameter.csv");
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    const auto lines = DecodeCatalogueLines(text);

    ASSERT_GE(catalogue.size(), 12u);
    EXPECT_EQ(catalogue.size(), lines.size() - 1);
    EXPECT_EQ(catalogue.begin()->first, 1);
    std::set<int> classes;
    std::set<std::wstring> bezels;
    for (const auto& [key, record] : catalogue) {
        SCOPED_TRACE(key);
        for (int k = 0; k < ProductParameter::kFieldCount; ++k) {
            EXPECT_FALSE(record.Field(k).empty()) << k;
        }
        EXPECT_GT(record.panelWidthMm, record.panelHeightMm);
        classes.insert(SizeClassOf(record.size));
        bezels.insert(record.bezelToBezel);
    }
    EXPECT_EQ(classes, (std::set<int>{kSizeClass46, kSizeClass49, kSizeClass55}));
    EXPECT_GE(bezels.size(), 3u);
}

}  // namespace
