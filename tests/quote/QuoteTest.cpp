// tessaro-quote run as a user and a script run it: the built executable, its output and exit
// status, compared with the sheet the window's own rules make of the same wall (WallSheet.h).
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <filesystem>
#include <regex>

#include "Main/xlsx/SheetColumns.h"
#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"
#include "support/TempDir.h"
#include "support/WallSheet.h"

namespace {

using namespace Qt::StringLiterals;
using testsupport::WallDescription;

// One model of each packaging class; the first is 1210 × 680 mm.
constexpr char kCatalogue[] =
    "Model,Dimension,Resolution,Power,Weight,,,Brightness,Contrast,Bezel,Gap,Size\n"
    "W55,1210x680x90mm,1920x1080,200W,30kg,,,500,1200:1,1mm,2mm,55 inch\n"
    "W49,1075x606x90mm,1920x1080,170W,25kg,,,500,1200:1,1mm,2mm,49 inch\n"
    "W46,1019x574x90mm,1366x768,150W,21kg,,,450,1100:1,2mm,4mm,46 inch\n";

// The JSON keys of the export columns A..Q.
const QStringList kKeys =
    u"model totalDisplays screenConfiguration dimensions diagonal netWeight maxPower typicalPower "
    u"lampstandBoxVolume lampstandBoxWeight lampstandBoxNumber structureBoxVolume "
    u"structureBoxWeight structureBoxNumber panelTrayVolume panelTrayWeight panelTrayNumber"_s
        .split(u' ');

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string Utf8(const std::wstring& text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToNarrow(text, SF_SOFT_BASE::CP_UTF8);
}

Outcome Start(const QString& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) {
        list << QString::fromStdString(a);
    }
    QProcess process;
    process.start(program, list);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

class QuoteTest : public testing::Test {
protected:
    QuoteTest() : m_catalogueFile(m_dir.write("catalogue.csv", kCatalogue)) {
        SF_SOFT_BASE::SetApplicationDirectory(TESSARO_APP_DIR);  // the language files
        CDatabaseManager::LoadProductParametersFrom(m_catalogueFile, m_catalogue);
    }

    Outcome Quote(std::vector<std::string> args) {
        args.insert(args.begin(), {"--catalogue", m_catalogueFile});
        return Start(QStringLiteral(TESSARO_QUOTE), args);
    }

    // The cells of the workbook's active sheet, read by the writer tests' independent reader.
    QJsonObject Cells(const std::string& path) {
        const Outcome dump = Start(u"/usr/bin/python3"_s, {XLSX_TOOL, "dump", path});
        EXPECT_EQ(dump.status, 0) << dump.err;
        const QJsonObject book =
            QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
        return book[u"cells"_s][book[u"active"_s].toString()].toObject();
    }

    // The quote in `json` is the sheet the window's rules make of `wall`.
    void ExpectSame(const QJsonObject& json, const WallDescription& wall) {
        const testsupport::WallSheet sheet = testsupport::SheetForWall(m_catalogue, wall);
        EXPECT_EQ(json[u"columns"_s].toInt(), sheet.columns);
        EXPECT_EQ(json[u"rows"_s].toInt(), sheet.rows);
        EXPECT_EQ(json[u"orientation"_s].toString() == u"landscape"_s, sheet.landscape);
        const QJsonArray attention = json[u"attention"_s].toArray();
        ASSERT_GE(attention.size(), static_cast<qsizetype>(sheet.messages.size()));
        for (std::size_t i = 0; i < sheet.messages.size(); ++i) {
            EXPECT_EQ(attention[i].toString().toStdWString(), sheet.messages[i]);
        }
        for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
            EXPECT_EQ(json[u"sheet"_s][kKeys[c]].toString().toStdString(),
                      Utf8(sheet.values.fields[SheetColumns::FieldOfColumn(c)]))
                << kKeys[c].toStdString();
        }
    }

    testsupport::TempDir m_dir;
    std::string m_catalogueFile;
    ProductCatalogue m_catalogue;
};

struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;  // in standard output, runs of blanks read as one
    std::string err;  // in standard error
};

TEST_F(QuoteTest, CommandLinesGiveTheirOutputAndExitStatus) {
    const std::string missing = m_dir.file("missing/q.xlsx"), refused = m_dir.file("r.xlsx");
    const std::string max = "The maximum number of displays you can install is 4×1.";
    // clang-format off
    const std::vector<Case> cases = {
        // Fit To Room at the defaults with a 1210 × 680 model: 6.0 / 1.21 and 1.0 / 0.68.
        {{"--fit"}, 0, "Columns 4\nRows 1\nOrientation Landscape\nProduct Model W55\n", ""},
        // 7 displays of class 55: trays by 4, ceil(7 / 2) × 31 + 33.
        {{"--wall", "9x2", "--layout", "7x1"}, 0, "157.0kg\nPanel Tray Number 2\n", ""},
        {{"--lang", "zh", "--wall", "9x2", "--layout", "7x1"}, 0, "面板托盘重量(kg) 157.0kg\n", ""},
        {{"--unit", "ft", "--wall", "19.7x6.6", "--lampstand", "3.3", "--fit"}, 0, "H) 4×1\n", ""},
        {{"--wall", "6x4", "--model", "W46", "--portrait", "--fit"}, 0, "Portrait\n", ""},
        {{"--layout", "9x1", "--xlsx", refused}, 5, "Attention: " + max, max + " (--layout 9x1)\n"},
        {{"--lampstand", "1.5", "--fit"}, 5, "Attention: Can not Change Lampstand.", "Lampstand."},
        {{"--portrait", "--fit"}, 5, "", "Can not Change Orientation. (--portrait --fit)"},
        {{"--wall", "1x2", "--fit"}, 5, "Displays 0\n", "No display fits on this wall."},
        {{"--model", "NOPE", "--fit"}, 3, "", "tessaro-quote: Unknown display model: NOPE\n"},
        {{"--model-row", "3", "--fit"}, 3, "", "Unknown display model: --model-row 3"},
        {{"--wall", "6by2", "--fit"}, 2, "", "tessaro-quote: Malformed value: --wall 6by2\n"},
        {{"--layout", "0x1"}, 2, "", "Malformed value: --layout 0x1"},
        {{"--lampstand", "-1", "--fit"}, 2, "", "Malformed value: --lampstand -1"},
        {{"--fit", "--layout", "2x1"}, 2, "", "Options that exclude each other: --fit --layout"},
        {{"--wall", "6x2"}, 2, "", "Missing option: --fit / --layout"},
        {{"--bogus"}, 2, "", "bogus"},
        {{"--catalogue", m_dir.file("no"), "--fit"}, 4, "", "No display model could be read from"},
        {{"--fit", "--xlsx", missing}, 6, "Columns 4\n", "Export failure. " + missing + " ("},
        {{"--help"}, 0, "--batch <FILE.csv>", ""},
        {{"--version"}, 0, "tessaro-quote " TESSARO_VERSION "\n", ""},
        {{"--list-models"}, 0, "1 W49 500 1200:1 1mm 2mm 49 inch 1075x606x90mm 1920x1080 170W", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Outcome run = Quote(c.args);
        const std::string args = ::testing::PrintToString(c.args);
        EXPECT_EQ(run.status, c.status) << args << "\n" << run.err;
        const std::string out = std::regex_replace(run.out, std::regex("  +"), " ");
        EXPECT_NE(out.find(c.out), std::string::npos) << args << "\n" << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << args << "\n" << run.err;
        EXPECT_EQ(run.err.empty(), c.status == 0) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("missing")) ||
                 std::filesystem::exists(refused));
}

TEST_F(QuoteTest, TheJsonOfEveryWallIsTheSheetTheWindowsRulesMake) {
    std::vector<WallDescription> walls(7);
    walls[1] = {9, 2, 1, false, 0, false, 7, 1};
    walls[2] = {19.69, 6.57, 3.3, true, 1, true};
    walls[3] = {6, 4, 0.8, false, 2, true, 1, 1, true};
    walls[4] = {6, 2, 1.5, false, 1, true};       // lampstand refused: row 0's panel stands there
    walls[5] = {6, 2, 1, false, 0, false, 9, 1};  // columns refused
    walls[6] = {12.5, 3.2, 0.6, true, 2, false, 3, 1, true};
    for (const WallDescription& wall : walls) {
        std::vector<std::string> args = testsupport::QuoteArguments(wall);
        args.push_back("--json");
        const Outcome run = Quote(args);
        QJsonParseError error{};
        const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
        ExpectSame(doc.object(), wall);
        EXPECT_EQ(run.status,
                  testsupport::SheetForWall(m_catalogue, wall).messages.empty() ? 0 : 5);
    }
}

TEST_F(QuoteTest, TheWorkbookHoldsTheTitlesAndTheSheet) {
    const std::string path = m_dir.file("q.xlsx");
    const Outcome run = Quote({"--wall", "6x2", "--model-row", "0", "--fit", "--xlsx", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Panel Tray Number"), std::string::npos);
    const QJsonObject cells = Cells(path);
    const testsupport::WallSheet sheet = testsupport::SheetForWall(m_catalogue, {});
    EXPECT_EQ(cells[u"A1"_s][u"v"_s].toString(), u"Product Model"_s);
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        const QString cell = QChar(char16_t(u'A' + c)) + u"2"_s;
        EXPECT_EQ(cells[cell][u"v"_s].toString().toStdString(),
                  Utf8(sheet.values.fields[SheetColumns::FieldOfColumn(c)]));
    }
}

TEST_F(QuoteTest, ABatchOfAHundredWallsGivesOneRowEachOrNothingAtAll) {
    std::vector<WallDescription> walls;
    std::string csv = "wall, lampstand, model-row, layout, fit\n";
    for (int i = 0; i < 100; ++i) {
        WallDescription w{2.5 + i * 0.25, 2.0 + (i % 5) * 0.5, i % 3 ? 1.0 : 0.8, false,
                          i % 3,          i % 4 == 0,          1 + i % 2,         1};
        walls.push_back(w);
        csv += std::to_string(w.width) + "x" + std::to_string(w.height) + "," +
               std::to_string(w.lampstand) + "," + std::to_string(w.modelRow) + "," +
               (w.fit ? "" : std::to_string(w.columns) + "x1") + "," + (w.fit ? "yes" : "") + "\n";
    }
    const std::string file = m_dir.write("walls.csv", csv);
    const Outcome json = Quote({"--batch", file, "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonArray quotes = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).array();
    ASSERT_EQ(quotes.size(), 100);
    for (int i = 0; i < 100; ++i) {
        ExpectSame(quotes[i].toObject(), walls[i]);
    }

    const Outcome table = Quote({"--batch", file});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 101);
    EXPECT_EQ(table.out.substr(0, 26), "Product Model,Total No. of");

    const std::string book = m_dir.file("walls.xlsx");
    const Outcome written = Quote({"--batch", file, "--xlsx", book});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    const QJsonObject cells = Cells(book);
    for (int i = 0; i < 100; ++i) {
        const QJsonObject figures = quotes[i].toObject()[u"sheet"_s].toObject();
        for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
            const QString cell = QChar(char16_t(u'A' + c)) + QString::number(i + 2);
            EXPECT_EQ(cells[cell][u"v"_s].toString().toStdString(),
                      figures[kKeys[c]].toString().toStdString())
                << cell.toStdString();
        }
    }
    // An existing workbook is never replaced by a batch.
    EXPECT_EQ(Quote({"--batch", file, "--xlsx", book}).status, 6);

    // One unknown model on line 58 (the 57th wall): no row anywhere, no workbook.
    std::string bad = csv;
    std::size_t at = 0;
    for (int line = 1; line < 58; ++line) {
        at = bad.find('\n', at) + 1;
    }
    bad.insert(at, "8x2,,7,,1\n");
    const std::string badFile = m_dir.write("bad.csv", bad);
    const Outcome failed = Quote({"--batch", badFile, "--xlsx", m_dir.file("bad.xlsx")});
    EXPECT_EQ(failed.status, 3);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err,
              "tessaro-quote: " + badFile + ":58: Unknown display model: --model-row 7\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("bad.xlsx")));
}

}  // namespace
