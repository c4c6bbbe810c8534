// An existing workbook of the target name: only A1:Q2 of its active sheet change; everything the
// other producer wrote elsewhere reads back the same.
#include "Main/xlsx/ExportData.h"
#include "XlsxTestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <utility>
#include <vector>

using namespace XlsxTest;

namespace {

QString Key(const char* text) {
    return QString::fromUtf8(text);
}

bool InWrittenRange(const QString& coordinate) {
    const char column = static_cast<char>(coordinate.at(0).unicode());
    const QString row = coordinate.mid(1);
    return coordinate.size() >= 2 && column >= 'A' && column <= 'Q' && coordinate.at(1).isDigit() &&
           (row == QStringLiteral("1") || row == QStringLiteral("2"));
}

// Every cell of `before` outside A1:Q2 (or every cell when `all`) reads the same in `after`.
void ExpectCellsKept(const QJsonObject& before, const QJsonObject& after, bool all) {
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!all && InWrittenRange(it.key())) {
            continue;
        }
        EXPECT_EQ(after[it.key()].toObject(), it.value().toObject()) << it.key().toStdString();
    }
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (all || !InWrittenRange(it.key())) {
            EXPECT_TRUE(before.contains(it.key())) << "new cell " << it.key().toStdString();
        }
    }
}

void ExpectRowsWritten(const QJsonObject& cells, const SpecSheetValues& values) {
    for (int c = 0; c < 17; ++c) {
        const QJsonObject title = cells[QString::fromStdString(Cell(c, 1))].toObject();
        const QJsonObject value = cells[QString::fromStdString(Cell(c, 2))].toObject();
        EXPECT_EQ(title[Key("v")].toString().toStdString(), Utf8(SheetColumns::kTitleKeys[c]))
            << Cell(c, 1);
        EXPECT_EQ(value[Key("v")].toString().toStdString(), ExpectedColumnValue(values, c))
            << Cell(c, 2);
        EXPECT_EQ(value[Key("type")].toString(), Key("str")) << Cell(c, 2);
        if (c == 1 || c == 10 || c == 13 || c == 16) {
            EXPECT_EQ(value[Key("h")].toString(), Key("left")) << Cell(c, 2);
        }
    }
}

}  // namespace

TEST(ExistingWorkbook, OnlyTheTwoRowsOfTheActiveSheetChange) {
    TempDir dir;
    const std::string path = dir.file("DataConfig.xlsx");
    Make("rich", path, 40);
    const QJsonObject before = Dump(path);

    RecordingSink sink;
    const SpecSheetValues values = SampleValues();
    ASSERT_EQ(ExportData(Wide(dir.path()), L"DataConfig", values, &sink, &EnglishTitles),
              ExportResult::Exported);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].second, L"Export success.");
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"DataConfig.xlsx"});

    const QJsonObject after = Dump(path);
    for (const char* kept : {"sheets", "active", "names", "merged", "widths", "states"}) {
        EXPECT_EQ(after[Key(kept)], before[Key(kept)]) << kept;
    }
    EXPECT_TRUE(after[Key("fullCalcOnLoad")].toBool());

    const QJsonObject cellsBefore = before[Key("cells")].toObject();
    const QJsonObject cellsAfter = after[Key("cells")].toObject();
    ExpectCellsKept(cellsBefore[Key("Notes")].toObject(), cellsAfter[Key("Notes")].toObject(),
                    true);
    ExpectCellsKept(cellsBefore[Key("Hidden")].toObject(), cellsAfter[Key("Hidden")].toObject(),
                    true);
    const QJsonObject spec = cellsAfter[Key("Spec")].toObject();
    ExpectCellsKept(cellsBefore[Key("Spec")].toObject(), spec, false);
    ExpectRowsWritten(spec, values);

    // The written cells keep their own formats: A1 bold red, B2 its fill and vertical alignment
    // (plus the left alignment), K2 was left-aligned already.
    EXPECT_TRUE(spec[Key("A1")].toObject()[Key("bold")].toBool());
    EXPECT_EQ(spec[Key("A1")].toObject()[Key("color")].toString(), Key("FFFF0000"));
    EXPECT_EQ(spec[Key("B2")].toObject()[Key("fill")].toString(), Key("FF00FF00"));
    EXPECT_EQ(spec[Key("C2")].toObject()[Key("h")], QJsonValue());
    EXPECT_EQ(spec[Key("R2")].toObject()[Key("v")].toString(), Key("=A2&B2"));
}

TEST(ExistingWorkbook, SharedStringsInTheRowsAndThousandsOfRowsBelow) {
    TempDir dir;
    const std::string path = dir.file("big.xlsx");
    Make("big", path, 3000);
    const QJsonObject before = Dump(path);
    const SpecSheetValues values = SampleValues();
    ASSERT_EQ(ExportData(Wide(dir.path()), L"big", values, nullptr, &EnglishTitles),
              ExportResult::Exported);
    const QJsonObject after = Dump(path);
    const QJsonObject cells = after[Key("cells")].toObject()[Key("Data")].toObject();
    ExpectCellsKept(before[Key("cells")].toObject()[Key("Data")].toObject(), cells, false);
    ExpectRowsWritten(cells, values);
    EXPECT_EQ(cells[Key("T3002")].toObject()[Key("v")].toString(), Key("beyond 3002"));
}

// Formulas whose cached values may now be wrong lose them, and a workbook without calculation
// properties gets a request for a full recalculation on load.
TEST(ExistingWorkbook, FormulaCachesDroppedAndRecalculationRequested) {
    TempDir dir;
    const std::string path = dir.file("calc.xlsx");
    Make("no-calc", path);
    ASSERT_EQ(RunTool({"raw", path, "xl/workbook.xml"}).find("calcPr"), std::string::npos);
    ASSERT_EQ(ExportData(Wide(dir.path()), L"calc", SampleValues(), nullptr, &EnglishTitles),
              ExportResult::Exported);
    const std::string workbook = RunTool({"raw", path, "xl/workbook.xml"});
    EXPECT_NE(workbook.find("fullCalcOnLoad=\"1\""), std::string::npos) << workbook;
    const std::string sheet = RunTool({"raw", path, "xl/worksheets/sheet1.xml"});
    EXPECT_NE(sheet.find("<f>A1&amp;\"!\"</f>"), std::string::npos) << sheet;
    EXPECT_EQ(sheet.find("plain!"), std::string::npos) << sheet;
    const QJsonObject book = Dump(path);
    EXPECT_TRUE(book[Key("fullCalcOnLoad")].toBool());
    const QJsonObject cells = book[Key("cells")].toObject()[Key("Sheet")].toObject();
    EXPECT_EQ(cells[Key("A5")].toObject()[Key("v")].toString(), Key("=A1&\"!\""));
    EXPECT_EQ(cells[Key("B5")].toObject()[Key("v")].toString(), Key(" "));  // a blank text survives
    ExpectRowsWritten(cells, SampleValues());
}

// Layouts other producers write: prefixed element names with unnumbered rows and cells and no
// style part (one is added for the left alignment); rows out of order (the rows after row 2
// cannot be set aside unparsed).
TEST(ExistingWorkbook, PrefixedUnnumberedAndUnorderedSheets) {
    const struct {
        const char* kind;
        std::vector<std::pair<const char*, const char*>> kept;
    } cases[] = {
        {"prefixed", {{"A3", "r3a"}, {"B3", "r3b"}, {"A4", "r4a"}, {"B4", "r4b"}}},
        {"unordered", {{"A3", "three"}, {"B3", " "}, {"A5", "=A3&\"!\""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TempDir dir;
        const std::string path = dir.file("odd.xlsx");
        Make(c.kind, path);
        ASSERT_EQ(ExportData(Wide(dir.path()), L"odd", SampleValues(), nullptr, &EnglishTitles),
                  ExportResult::Exported);
        const QJsonObject book = Dump(path);
        const QJsonObject cells = book[Key("cells")].toObject()[Key("Sheet")].toObject();
        ExpectRowsWritten(cells, SampleValues());
        for (const auto& [cell, value] : c.kept) {
            EXPECT_EQ(cells[Key(cell)].toObject()[Key("v")].toString(), Key(value)) << cell;
        }
        EXPECT_EQ(cells.size(), static_cast<int>(34 + c.kept.size()));
        const std::string sheet = RunTool({"raw", path, "xl/worksheets/sheet1.xml"});
        if (std::string(c.kind) == "prefixed") {
            EXPECT_EQ(sheet.find("<c "), std::string::npos) << sheet;
            EXPECT_EQ(sheet.find("<row"), std::string::npos) << sheet;
        } else {
            EXPECT_EQ(sheet.find("three!"), std::string::npos) << sheet;
        }
    }
}

// Other sheets lose the cached values of formulas that may read the written cells (through the
// sheet's name or a defined name) and keep the others.
TEST(ExistingWorkbook, CachesOfDependentFormulasOnOtherSheets) {
    TempDir dir;
    const std::string path = dir.file("cross.xlsx");
    Make("cross", path);
    ASSERT_EQ(ExportData(Wide(dir.path()), L"cross", SampleValues(), nullptr, &EnglishTitles),
              ExportResult::Exported);
    const struct {
        const char* part;
        const char* formula;
        bool cached;
    } sheets[] = {
        {"xl/worksheets/sheet2.xml", "<f>Spec!A1</f>", false},
        {"xl/worksheets/sheet3.xml", "<f>1+1</f>", true},
        {"xl/worksheets/sheet4.xml", "<f>Total*2</f>", false},
    };
    for (const auto& s : sheets) {
        const std::string xml = RunTool({"raw", path, s.part});
        EXPECT_NE(xml.find(s.formula), std::string::npos) << xml;
        EXPECT_EQ(xml.find("<v>cached</v>") != std::string::npos, s.cached) << xml;
    }
    ExpectRowsWritten(Dump(path)[Key("cells")].toObject()[Key("Spec")].toObject(), SampleValues());
}
