#pragma once
// Helpers of the spreadsheet writer's tests: scratch folders, the independent reader (openpyxl
// under /usr/bin/python3, never the first python on PATH), fixture workbooks and sample values.
#include "Main/model/SpecSheetValues.h"
#include "Main/xlsx/ExportData.h"
#include "Main/xlsx/SaveToExcel.h"
#include "support/TempDir.h"

#include <QJsonObject>

#include <string>
#include <utility>
#include <vector>

namespace XlsxTest {

// A fresh folder under the system temporary folder, removed with everything in it.
using TempDir = testsupport::TempDir;

// Runs the reader/fixture tool with `args`; returns its standard output, fails the test (and
// returns "") on a non-zero exit.
std::string RunTool(const std::vector<std::string>& args);
// The workbook at `path` as the reader sees it (see xlsx_tool.py dump).
QJsonObject Dump(const std::string& path);
// Writes a fixture workbook of `kind` to `path` (`xml`: the text the "sheet" and "workbook-tail"
// kinds put in).
void Make(const std::string& kind, const std::string& path, int rows = 0,
          const std::string& xml = {});
// The cells of the workbook's active sheet as the reader sees them.
QJsonObject ActiveCells(const std::string& path);
// Field `field` of cell `cell` in `cells`, UTF-8 ("" when absent).
std::string Field(const QJsonObject& cells, const std::string& cell, const char* field = "v");

inline std::string ReadBytes(const std::string& path) {
    return TempDir::read(path);
}
void WriteBytes(const std::string& path, const std::string& bytes);
// Names in `folder`, sorted.
std::vector<std::string> ListFolder(const std::string& folder);

// A realistic sheet: class 55, W = 4, H = 2, with a Chinese model name.
SpecSheetValues SampleValues();
// The value expected in column `column` (0 = A) for `values`, as UTF-8. The columns take the
// fields in an order of their own, written out here: E and F carry fields 7 and 8 (diagonal,
// weight), G and H the two power lines.
std::string ExpectedColumnValue(const SpecSheetValues& values, int column);
// "A1" for (0, 1).
std::string Cell(int column, int row);

std::wstring EnglishTitles(const wchar_t* key);
// The key in full-width forms, two display units a character, as a translation into a wide
// script would be.
std::wstring WideTitles(const wchar_t* key);

// Row 1 of `cells` holds the titles through `titles`, row 2 the values, all as text; only the
// values of B, K, N and Q (the counts) are aligned, to the left.
void ExpectRowsWritten(const QJsonObject& cells, TextLookup titles = &EnglishTitles,
                       const SpecSheetValues& values = SampleValues());

class RecordingSink;
// Exports SampleValues() with English titles to <dir>/<name>.xlsx.
ExportResult ExportSample(const TempDir& dir, const std::wstring& name,
                          RecordingSink* sink = nullptr);

// Collects the notices of an export.
class RecordingSink : public IExportMessageSink {
public:
    void ShowMessage(const std::wstring& title, const std::wstring& text) override;
    std::vector<std::pair<std::wstring, std::wstring>> messages;
};

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

}  // namespace XlsxTest
