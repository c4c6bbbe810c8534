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
    const std::pair<const char*, const char*> cases[] = {
        {"//DataConfig.xlsx", "/DataConfig.xlsx"},  // root folder chosen, then the joining "/"
        {"/home/user/DataConfig.xlsx", "/home/user/DataConfig.xlsx"},
        {"/home//DataConfig.xlsx", "/home//DataConfig.xlsx"},  // four parts: kept
        {"/tmp/a.xlsx", "/tmp/a.xlsx"},                        // three parts, middle not empty
        {"rel//a.xlsx", "rel/a.xlsx"},
        {"a.xlsx", "a.xlsx"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(NormalizeExcelPath(in), out) << in;
    }
}

TEST(SheetColumns, WideCharactersCountTwoAndWidthsFitTheText) {
    const std::pair<const wchar_t*, std::size_t> cases[] = {
        {L"", 0},
        {L"157.0kg", 7},
        {L"4\u00D72", 3},                  // the multiplication sign is narrow
        {L"\u4ea7\u54c1\u578b\u53f7", 8},  // four ideographs
        {L"\uFF21\uFF22", 4},              // full-width Latin letters
        {L"\uAC00a", 3},                   // a hangul syllable and a Latin letter
        {L"\U00020000", 2},                // a supplementary ideograph
    };
    for (const auto& [text, units] : cases) {
        EXPECT_EQ(SheetColumns::DisplayUnits(text), units);
    }
    EXPECT_GE(SheetColumns::FittedColumnWidth(0), 8.0);
    EXPECT_GE(SheetColumns::FittedColumnWidth(40), 40.0);
}

// Both lookups: the titles follow the lookup, the values never do; widths fit the wider text.
TEST(NewWorkbook, TitlesValuesTextTypesAlignmentAndWidths) {
    const SpecSheetValues values = SampleValues();
    for (const TextLookup lookup : {&EnglishTitles, &WideTitles}) {
        SCOPED_TRACE(lookup == &WideTitles ? "wide" : "English");
        TempDir dir;
        RecordingSink sink;
        ASSERT_EQ(ExportData(Wide(dir.path()), L"DataConfig", values, &sink, lookup),
                  ExportResult::Exported);
        ASSERT_EQ(ListFolder(dir.path()), std::vector<std::string>{"DataConfig.xlsx"});

        const QJsonObject book = Dump(dir.file("DataConfig.xlsx"));
        ASSERT_EQ(book[QStringLiteral("sheets")].toArray().size(), 1);
        const QString sheet = book[QStringLiteral("active")].toString();
        const QJsonObject cells = book[QStringLiteral("cells")].toObject()[sheet].toObject();
        const QJsonObject widths = book[QStringLiteral("widths")].toObject()[sheet].toObject();
        EXPECT_EQ(cells.size(), 34);
        ExpectRowsWritten(cells, lookup);
        for (int c = 0; c < 17; ++c) {
            const double units = static_cast<double>(
                std::max(SheetColumns::DisplayUnits(lookup(SheetColumns::kTitleKeys[c])),
                         SheetColumns::DisplayUnits(Wide(ExpectedColumnValue(values, c)))));
            const double width = widths[QString(QChar(u'A' + c))].toDouble();
            EXPECT_GE(width, units) << Cell(c, 1);
            EXPECT_LE(width, std::max(units + 3.0, 9.5)) << Cell(c, 1);  // default width at least
        }
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].first, lookup(L"Attention"));
        EXPECT_EQ(sink.messages[0].second, lookup(L"Export success."));
    }
}

// Every field distinct, so that a column taking another column's field shows.
TEST(NewWorkbook, ColumnsTakeTheirFieldsInColumnOrder) {
    SpecSheetValues values;
    for (std::size_t i = 0; i < values.fields.size(); ++i) {
        values.fields[i] = L"field " + std::to_wstring(i + 1);
    }
    TempDir dir;
    ASSERT_EQ(ExportData(Wide(dir.path()), L"order", values, nullptr, &EnglishTitles),
              ExportResult::Exported);
    ExpectRowsWritten(ActiveCells(dir.file("order.xlsx")), &EnglishTitles, values);
}

TEST(NewWorkbook, ExportingAgainReplacesTheValuesOfTheFirstExport) {
    TempDir dir;
    SpecSheetValues values = SampleValues();
    ASSERT_EQ(ExportSample(dir, L"again"), ExportResult::Exported);
    values.fields[1] = L"12";
    values.fields[10] = L"7";
    ASSERT_EQ(ExportData(Wide(dir.path()), L"again", values, nullptr, &WideTitles),
              ExportResult::Exported);
    EXPECT_EQ(Dump(dir.file("again.xlsx"))[QStringLiteral("sheets")].toArray().size(), 1);
    ExpectRowsWritten(ActiveCells(dir.file("again.xlsx")), &WideTitles, values);
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"again.xlsx"});
}

// The temporary file must not leak its private mode into the result, and a link to the workbook
// stays a link.
TEST(NewWorkbook, ModeFollowsTheUmaskOrTheReplacedFileAndLinksSurvive) {
    TempDir dir;
    const mode_t old = ::umask(022);
    struct stat st {};
    for (const mode_t mode : {0644u, 0640u}) {  // the umask's, then the replaced file's
        ASSERT_EQ(ExportSample(dir, L"fresh"), ExportResult::Exported);
        ASSERT_EQ(::stat(dir.file("fresh.xlsx").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        ASSERT_EQ(::chmod(dir.file("fresh.xlsx").c_str(), 0640), 0);
    }
    ::umask(old);

    ASSERT_EQ(::symlink("fresh.xlsx", dir.file("link.xlsx").c_str()), 0);
    SpecSheetValues values = SampleValues();
    values.fields[0] = L"through the link";
    ASSERT_EQ(ExportData(Wide(dir.path()), L"link", values, nullptr, &EnglishTitles),
              ExportResult::Exported);
    ASSERT_EQ(::lstat(dir.file("link.xlsx").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Field(ActiveCells(dir.file("fresh.xlsx")), "A2"), "through the link");
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
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"157.0kg", L"157.0kg"},
        {L"a\u0001b", L"a_x0001_b"},
        {L"tab\tand\nline", L"tab\tand\nline"},
        {L"_x0041_", L"_x005F_x0041_"},  // read back as the literal text, not as "A"
        {L"_x41_", L"_x41_"},
        {L"\u5927\u5c4f", L"\u5927\u5c4f"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(SheetColumns::EscapeCellText(in), out) << Utf8(in);
    }
}

// A second, unrelated reader: the office suite converts every sheet of a new and of a patched
// workbook to CSV, one file per sheet; the active sheet's file holds the two rows.
TEST(NewWorkbook, OfficeSuiteReadsNewAndPatchedWorkbooks) {
    if (::access("/usr/bin/soffice", X_OK) != 0) {
        GTEST_SKIP() << "no office suite installed";
    }
    TempDir dir;
    Make("rich", dir.file("patched.xlsx"));
    for (const wchar_t* name : {L"new", L"patched"}) {
        ASSERT_EQ(ExportSample(dir, name), ExportResult::Exported);
    }
    // A profile of its own, so that tests running side by side do not share one; one start of
    // the suite converts both files, within the test's own time limit.
    const std::string command =
        "cd '" + dir.path() + "' && HOME='" + dir.path() +
        "' timeout 110 /usr/bin/soffice -env:UserInstallation=file://" + dir.path() +
        "/profile --headless --convert-to "
        "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1' "
        "new.xlsx patched.xlsx >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const std::string name : {"new", "patched"}) {
        const QString active = Dump(dir.file(name + ".xlsx"))[QStringLiteral("active")].toString();
        const std::string csv = ReadBytes(dir.file(name + "-" + active.toStdString() + ".csv"));
        EXPECT_NE(csv.find("Product Model,Total No. of Displays"), std::string::npos) << csv;
        EXPECT_NE(csv.find("157.0kg,2"), std::string::npos) << csv;
    }
}

// The export with the language tables that ship: in Chinese every title and every notice come out
// translated (a key missing from Lang_1.xml would show as English, one display unit a character).
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
    const QJsonObject cells = ActiveCells(dir.file("DataConfig.xlsx"));
    for (int c = 0; c < 17; ++c) {
        const std::wstring title = Wide(Field(cells, Cell(c, 1)));
        EXPECT_GT(SheetColumns::DisplayUnits(title), title.size()) << Cell(c, 1);
    }
    ASSERT_EQ(sink.messages.size(), 1u);
    for (const std::wstring& text : {sink.messages[0].first, sink.messages[0].second}) {
        EXPECT_GT(SheetColumns::DisplayUnits(text), text.size()) << Utf8(text);
    }
}
