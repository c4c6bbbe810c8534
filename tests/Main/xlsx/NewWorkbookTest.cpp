// A new workbook: titles, values, text types, alignment and widths as an independent reader sees
// them; the path rule; the file's mode and links.
#include "Main/xlsx/ExportData.h"
#include "Main/xlsx/SaveToExcel.h"
#include "Main/xlsx/SheetColumns.h"
#include "XlsxTestSupport.h"
#include "framework/os/SFAppDir.h"
#include "shell/lang/LanguageTable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>
#include <QJsonArray>
#include <algorithm>
#include <cstdlib>

using namespace XlsxTest;

TEST(NormalizeExcelPath, CollapsesOnlyTheDoubledSeparatorAfterTheRoot) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"//DataConfig.xlsx", "/DataConfig.xlsx"},  // root folder chosen, then the joining "/"
        {"/home/user/DataConfig.xlsx", "/home/user/DataConfig.xlsx"},
        {"/home//DataConfig.xlsx", "/home//DataConfig.xlsx"},  // four parts: kept
        {"/tmp/a.xlsx", "/tmp/a.xlsx"},                        // three parts, middle not empty
        {"rel//a.xlsx", "rel/a.xlsx"},
        {"a.xlsx", "a.xlsx"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizeExcelPath(c.in), c.out) << c.in;
    }
}

TEST(SheetColumns, WideCharactersCountTwoAndWidthsFitTheText) {
    const struct {
        const wchar_t* text;
        std::size_t units;
    } cases[] = {
        {L"", 0},
        {L"157.0kg", 7},
        {L"4\u00D72", 3},                  // the multiplication sign is narrow
        {L"\u4ea7\u54c1\u578b\u53f7", 8},  // four ideographs
        {L"\uFF21\uFF22", 4},              // full-width Latin letters
        {L"\uAC00a", 3},                   // a hangul syllable and a Latin letter
        {L"\U00020000", 2},                // a supplementary ideograph
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SheetColumns::DisplayUnits(c.text), c.units);
    }
    EXPECT_GE(SheetColumns::FittedColumnWidth(0), 8.0);
    EXPECT_GE(SheetColumns::FittedColumnWidth(40), 40.0);
}

// Both languages: the titles follow the lookup, the values never do.
TEST(NewWorkbook, TitlesValuesTextTypesAlignmentAndWidths) {
    const SpecSheetValues values = SampleValues();
    const struct {
        const char* name;
        TextLookup lookup;
        bool chinese;
    } languages[] = {{"English", &EnglishTitles, false}, {"Chinese", &ChineseTitles, true}};
    for (const auto& language : languages) {
        SCOPED_TRACE(language.name);
        TempDir dir;
        RecordingSink sink;
        ASSERT_EQ(ExportData(Wide(dir.path()), L"DataConfig", values, &sink, language.lookup),
                  ExportResult::Exported);
        ASSERT_EQ(ListFolder(dir.path()), std::vector<std::string>{"DataConfig.xlsx"});

        const QJsonObject book = Dump(dir.file("DataConfig.xlsx"));
        ASSERT_EQ(book[QStringLiteral("sheets")].toArray().size(), 1);
        const QString sheet = book[QStringLiteral("active")].toString();
        const QJsonObject cells = book[QStringLiteral("cells")].toObject()[sheet].toObject();
        const QJsonObject widths = book[QStringLiteral("widths")].toObject()[sheet].toObject();
        EXPECT_EQ(cells.size(), 34);
        for (int c = 0; c < 17; ++c) {
            SCOPED_TRACE(Cell(c, 1));
            const QJsonObject title = cells[QString::fromStdString(Cell(c, 1))].toObject();
            const QJsonObject value = cells[QString::fromStdString(Cell(c, 2))].toObject();
            const std::string expectedTitle =
                language.chinese ? ChineseTitle(c) : Utf8(SheetColumns::kTitleKeys[c]);
            EXPECT_EQ(title[QStringLiteral("v")].toString().toStdString(), expectedTitle);
            EXPECT_EQ(value[QStringLiteral("v")].toString().toStdString(),
                      ExpectedColumnValue(values, c));
            EXPECT_EQ(title[QStringLiteral("type")].toString(), QStringLiteral("str"));
            EXPECT_EQ(value[QStringLiteral("type")].toString(), QStringLiteral("str"));
            const bool left = c == 1 || c == 10 || c == 13 || c == 16;
            EXPECT_EQ(value[QStringLiteral("h")].toString(),
                      left ? QStringLiteral("left") : QString());
            EXPECT_TRUE(title[QStringLiteral("h")].isNull());

            const std::size_t units =
                std::max(SheetColumns::DisplayUnits(Wide(expectedTitle)),
                         SheetColumns::DisplayUnits(Wide(ExpectedColumnValue(values, c))));
            const double width = widths[QString(QChar(u'A' + c))].toDouble();
            EXPECT_GE(width, static_cast<double>(units));
            EXPECT_LE(width,
                      std::max(static_cast<double>(units) + 3.0, 9.5));  // default width at least
        }
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].first, language.lookup(L"Attention"));
        EXPECT_EQ(sink.messages[0].second, language.lookup(L"Export success."));
    }
}

// The column order differs from the stored order of the sheet values: E and F carry fields 7
// and 8, G and H the two power lines.
TEST(NewWorkbook, ColumnsTakeTheirFieldsInColumnOrder) {
    SpecSheetValues values;
    for (std::size_t i = 0; i < values.fields.size(); ++i) {
        values.fields[i] = L"field " + std::to_wstring(i + 1);
    }
    TempDir dir;
    ASSERT_EQ(ExportData(Wide(dir.path()), L"order", values, nullptr, &EnglishTitles),
              ExportResult::Exported);
    const QJsonObject book = Dump(dir.file("order.xlsx"));
    const QJsonObject cells = book[QStringLiteral("cells")]
                                  .toObject()[book[QStringLiteral("active")].toString()]
                                  .toObject();
    const char* expected[17] = {"field 1",  "field 2",  "field 3",  "field 4",  "field 7",
                                "field 8",  "field 5",  "field 6",  "field 9",  "field 10",
                                "field 11", "field 12", "field 13", "field 14", "field 15",
                                "field 16", "field 17"};
    for (int c = 0; c < 17; ++c) {
        EXPECT_EQ(cells[QString::fromStdString(Cell(c, 2))]
                      .toObject()[QStringLiteral("v")]
                      .toString()
                      .toStdString(),
                  expected[c])
            << Cell(c, 2);
    }
}

TEST(NewWorkbook, ExportingAgainReplacesTheValuesOfTheFirstExport) {
    TempDir dir;
    SpecSheetValues values = SampleValues();
    ASSERT_EQ(ExportData(Wide(dir.path()), L"again", values, nullptr, &EnglishTitles),
              ExportResult::Exported);
    values.fields[1] = L"12";
    values.fields[10] = L"7";
    ASSERT_EQ(ExportData(Wide(dir.path()), L"again", values, nullptr, &ChineseTitles),
              ExportResult::Exported);
    const QJsonObject book = Dump(dir.file("again.xlsx"));
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().size(), 1);
    const QJsonObject cells = book[QStringLiteral("cells")]
                                  .toObject()[book[QStringLiteral("active")].toString()]
                                  .toObject();
    EXPECT_EQ(cells[QStringLiteral("A1")].toObject()[QStringLiteral("v")].toString().toStdString(),
              ChineseTitle(0));
    EXPECT_EQ(cells[QStringLiteral("B2")].toObject()[QStringLiteral("v")].toString(),
              QStringLiteral("12"));
    EXPECT_EQ(cells[QStringLiteral("K2")].toObject()[QStringLiteral("v")].toString(),
              QStringLiteral("7"));
    EXPECT_EQ(cells[QStringLiteral("K2")].toObject()[QStringLiteral("h")].toString(),
              QStringLiteral("left"));
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"again.xlsx"});
}

// The temporary file must not leak its private mode into the result, and a link to the workbook
// stays a link.
TEST(NewWorkbook, ModeFollowsTheUmaskOrTheReplacedFileAndLinksSurvive) {
    TempDir dir;
    const mode_t old = ::umask(022);
    ASSERT_EQ(ExportData(Wide(dir.path()), L"fresh", SampleValues(), nullptr, &EnglishTitles),
              ExportResult::Exported);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("fresh.xlsx").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    ASSERT_EQ(::chmod(dir.file("fresh.xlsx").c_str(), 0640), 0);
    ASSERT_EQ(ExportData(Wide(dir.path()), L"fresh", SampleValues(), nullptr, &EnglishTitles),
              ExportResult::Exported);
    ASSERT_EQ(::stat(dir.file("fresh.xlsx").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ::umask(old);

    ASSERT_EQ(::symlink("fresh.xlsx", dir.file("link.xlsx").c_str()), 0);
    SpecSheetValues values = SampleValues();
    values.fields[0] = L"through the link";
    ASSERT_EQ(ExportData(Wide(dir.path()), L"link", values, nullptr, &EnglishTitles),
              ExportResult::Exported);
    ASSERT_EQ(::lstat(dir.file("link.xlsx").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    const QJsonObject book = Dump(dir.file("fresh.xlsx"));
    const QJsonObject cells = book[QStringLiteral("cells")]
                                  .toObject()[book[QStringLiteral("active")].toString()]
                                  .toObject();
    EXPECT_EQ(cells[QStringLiteral("A2")].toObject()[QStringLiteral("v")].toString(),
              QStringLiteral("through the link"));
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"fresh.xlsx", "link.xlsx"}));
}

// The writer's own call order, as the export uses it, with a drive-root style path.
TEST(SaveToExcel, WritesThroughTheNormalizedPath) {
    TempDir dir;
    CSaveToExcel writer(&EnglishTitles);
    // "<dir>/./x.xlsx" keeps working; the doubled separator rule only applies to three parts.
    const std::string path = dir.path() + "/./x.xlsx";
    ASSERT_TRUE(writer.Open(path));
    writer.WriteHeaderRow();
    writer.WriteDataRow(SampleValues());
    EXPECT_TRUE(writer.SaveAs(path));
    writer.CloseAndQuit();
    writer.CloseAndQuit();
    EXPECT_FALSE(writer.SaveAs(path));  // closed: nothing to save
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"x.xlsx"});
}

TEST(SheetColumns, CellTextEscapesWhatXmlCannotCarry) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"157.0kg", L"157.0kg"},
        {L"a\u0001b", L"a_x0001_b"},
        {L"tab\tand\nline", L"tab\tand\nline"},
        {L"_x0041_", L"_x005F_x0041_"},  // read back as the literal text, not as "A"
        {L"_x41_", L"_x41_"},
        {L"\u5927\u5c4f", L"\u5927\u5c4f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SheetColumns::EscapeCellText(c.in), c.out) << Utf8(c.in);
    }
}

// A second, unrelated reader, when the machine has one: the office suite converts the new and a
// patched workbook to CSV.
TEST(NewWorkbook, OfficeSuiteReadsNewAndPatchedWorkbooks) {
    if (::access("/usr/bin/soffice", X_OK) != 0) {
        GTEST_SKIP() << "no office suite installed";
    }
    TempDir dir;
    Make("rich", dir.file("patched.xlsx"));
    for (const wchar_t* name : {L"new", L"patched"}) {
        ASSERT_EQ(ExportData(Wide(dir.path()), name, SampleValues(), nullptr, &EnglishTitles),
                  ExportResult::Exported);
        const std::string command = "cd '" + dir.path() + "' && HOME='" + dir.path() +
                                    "' /usr/bin/soffice --headless --convert-to csv '" +
                                    Utf8(name) + ".xlsx' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string csv = ReadBytes(dir.file(Utf8(name) + ".csv"));
        EXPECT_NE(csv.find("Product Model,Total No. of Displays"), std::string::npos) << csv;
        EXPECT_NE(csv.find("157.0kg,2"), std::string::npos) << csv;
    }
}

// The export with the language tables that ship: in Chinese every title and every notice come out
// translated (a key missing from Lang_1.xml would show as English here).
TEST(NewWorkbook, ShippedChineseTableTranslatesEveryTitleAndNotice) {
    SF_SOFT_BASE::SetApplicationDirectory(TESSARO_SOURCE_DIR "/data/lang");
    ResetLanguageTables();
    CurrentLanguage = 1;
    TempDir dir;
    RecordingSink sink;
    const ExportResult result =
        ExportData(Wide(dir.path()), L"DataConfig", SampleValues(), &sink, nullptr);
    // The notices of the other outcomes come from the same table.
    for (const wchar_t* key : {L"Open excel failed.", L"Export failure."}) {
        const std::wstring text = Translate(key);
        EXPECT_GT(SheetColumns::DisplayUnits(text), text.size()) << Utf8(key);
    }
    CurrentLanguage = 0;
    ResetLanguageTables();
    ASSERT_EQ(result, ExportResult::Exported);
    const QJsonObject book = Dump(dir.file("DataConfig.xlsx"));
    const QJsonObject cells = book[QStringLiteral("cells")]
                                  .toObject()[book[QStringLiteral("active")].toString()]
                                  .toObject();
    for (int c = 0; c < 17; ++c) {
        const std::wstring title = Wide(cells[QString::fromStdString(Cell(c, 1))]
                                            .toObject()[QStringLiteral("v")]
                                            .toString()
                                            .toStdString());
        EXPECT_NE(title, SheetColumns::kTitleKeys[c]) << Cell(c, 1);
        EXPECT_GT(SheetColumns::DisplayUnits(title), title.size()) << Cell(c, 1);
    }
    ASSERT_EQ(sink.messages.size(), 1u);
    for (const std::wstring& text : {sink.messages[0].first, sink.messages[0].second}) {
        EXPECT_GT(SheetColumns::DisplayUnits(text), text.size()) << Utf8(text);
    }
}
