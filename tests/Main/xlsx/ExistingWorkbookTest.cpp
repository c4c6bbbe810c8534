// An existing workbook of the target name: only A1:Q2 of its active sheet change; everything the
// other producer wrote elsewhere reads back the same.
#include "XlsxTestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <tuple>
#include <utility>
#include <vector>

using namespace XlsxTest;

namespace {

// Every cell of `before` outside A1:Q2 (or every cell when `all`) reads the same in `after`.
void ExpectCellsKept(QJsonObject before, QJsonObject after, bool all) {
    static const QRegularExpression written(QStringLiteral("^[A-Q][12]$"));
    for (QJsonObject* cells : {&before, &after}) {
        for (const QString& key : cells->keys()) {
            if (!all && written.match(key).hasMatch()) {
                cells->remove(key);
            }
        }
    }
    EXPECT_EQ(QJsonDocument(after).toJson().toStdString(),
              QJsonDocument(before).toJson().toStdString());
}

QJsonObject SheetCells(const QJsonObject& book, const QString& sheet) {
    return book[u"cells"].toObject()[sheet].toObject();
}

}  // namespace

// A workbook of several sheets, styles, merges and names; one of thousands of rows with shared
// strings in the two rows (the rows below are set aside unparsed).
TEST(ExistingWorkbook, OnlyTheTwoRowsOfTheActiveSheetChange) {
    const struct {
        const char* kind;
        int rows;
        const char* active;
        // Cells of the active sheet: the written ones keep their own formats (A1 bold red, B2
        // its fill and vertical alignment plus the left alignment, K2 was left-aligned already).
        std::vector<std::tuple<const char*, const char*, const char*>> fields;
    } cases[] = {
        {"rich",
         40,
         "Spec",
         {{"A1", "bold", "true"},
          {"A1", "color", "FFFF0000"},
          {"B2", "fill", "FF00FF00"},
          {"C2", "h", ""},
          {"R2", "v", "=A2&B2"}}},
        {"big", 3000, "Data", {{"T3002", "v", "beyond 3002"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TempDir dir;
        const std::string path = dir.file("DataConfig.xlsx");
        Make(c.kind, path, c.rows);
        const QJsonObject before = Dump(path);
        RecordingSink sink;
        ASSERT_EQ(ExportSample(dir, L"DataConfig", &sink), ExportResult::Exported);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].second, L"Export success.");
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"DataConfig.xlsx"});

        const QJsonObject after = Dump(path);
        for (const char* kept : {"sheets", "active", "names", "merged", "widths", "states"}) {
            EXPECT_EQ(after[QLatin1StringView(kept)], before[QLatin1StringView(kept)]) << kept;
        }
        EXPECT_TRUE(after[u"fullCalcOnLoad"].toBool());
        for (const QJsonValue& sheet : before[u"sheets"].toArray()) {
            const QString name = sheet.toString();
            ExpectCellsKept(SheetCells(before, name), SheetCells(after, name),
                            name != QLatin1StringView(c.active));
        }
        const QJsonObject cells = SheetCells(after, QString::fromUtf8(c.active));
        ExpectRowsWritten(cells);
        for (const auto& [cell, field, value] : c.fields) {
            EXPECT_EQ(Field(cells, cell, field), value) << cell << " " << field;
        }
    }
}

// Layouts other producers write, and sheets whose text once misled the cut of the rows. Every
// formula loses its cached value (it may read the new texts) and the workbook asks for a full
// recalculation on load.
TEST(ExistingWorkbook, SheetsOtherProducersWrite) {
    const struct {
        const char* name;
        const char* kind;
        const char* xml;
        std::vector<std::pair<const char*, const char*>> kept;
        const char* present;  // in the written sheet's text
        std::vector<const char*> absent;
    } cases[] = {
        // clang-format off
        // No calculation properties; a formula with a cached value below the rows, a blank text.
        {"no calculation properties", "no-calc", "", {{"A5", "=A1&\"!\""}, {"B5", " "}},
         "<c r=\"A5\"><f>A1&amp;\"!\"</f></c>", {"plain!"}},
        // Prefixed names, unnumbered rows and cells, no style part (one is added).
        {"prefixed", "prefixed", "", {{"A3", "r3a"}, {"B3", "r3b"}, {"A4", "r4a"}, {"B4", "r4b"}},
         "<x:row r=\"2\">", {"<c ", "<row"}},
        // Rows out of order: the rows after row 2 cannot be set aside unparsed.
        {"unordered", "unordered", "", {{"A3", "three"}, {"B3", " "}, {"A5", "=A3&\"!\""}},
         "<row r=\"3\">", {"three!"}},
        // Row 1 was read as row 5 and copied after the new row 1.
        {"an attribute value holding r='5'", "sheet",
         "<sheetData><row x=\" r='5'\" r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>old</t></is>"
         "</c></row></sheetData>", {}, "<row x=\" r='5'\" r=\"1\">", {"old"}},
        // The commented rows were taken for the cell data and came back as live rows.
        {"cell data in a comment", "sheet",
         "<!--<sheetData><row r=\"3\"/></sheetData>--><sheetData><row r=\"1\"/><row r=\"5\">"
         "<c r=\"A5\" t=\"inlineStr\"><is><t>five</t></is></c></row></sheetData>",
         {{"A5", "five"}}, "<!--<sheetData><row r=\"3\"/></sheetData>--><sheetData><row r=\"1\">",
         {"</row><row r=\"3\"/>"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("odd.xlsx");
        Make(c.kind, path, 0, c.xml);
        ASSERT_EQ(ExportSample(dir, L"odd"), ExportResult::Exported);
        const QJsonObject book = Dump(path);
        EXPECT_TRUE(book[u"fullCalcOnLoad"].toBool());
        const QJsonObject cells = SheetCells(book, book[u"active"].toString());
        ExpectRowsWritten(cells);
        for (const auto& [cell, value] : c.kept) {
            EXPECT_EQ(Field(cells, cell), value) << cell;
        }
        EXPECT_EQ(cells.size(), static_cast<int>(34 + c.kept.size()));
        const std::string sheet = RunTool({"raw", path, "xl/worksheets/sheet1.xml"});
        EXPECT_NE(sheet.find(c.present), std::string::npos) << sheet;
        for (const char* text : c.absent) {
            EXPECT_EQ(sheet.find(text), std::string::npos) << text << " in " << sheet;
        }
    }
}

// Other sheets lose the cached values of formulas that may read the written cells (through the
// sheet's name or a defined name) and keep the others.
TEST(ExistingWorkbook, CachesOfDependentFormulasOnOtherSheets) {
    TempDir dir;
    const std::string path = dir.file("cross.xlsx");
    Make("cross", path);
    ASSERT_EQ(ExportSample(dir, L"cross"), ExportResult::Exported);
    const std::tuple<const char*, const char*, bool> sheets[] = {
        {"xl/worksheets/sheet2.xml", "<f>Spec!A1</f>", false},
        {"xl/worksheets/sheet3.xml", "<f>1+1</f>", true},
        {"xl/worksheets/sheet4.xml", "<f>Total*2</f>", false},
    };
    for (const auto& [part, formula, cached] : sheets) {
        const std::string xml = RunTool({"raw", path, part});
        EXPECT_NE(xml.find(formula), std::string::npos) << xml;
        EXPECT_EQ(xml.find("<v>cached</v>") != std::string::npos, cached) << xml;
    }
    ExpectRowsWritten(SheetCells(Dump(path), QStringLiteral("Spec")));
}
