#pragma once
// The spreadsheet writer: the "Data output" sheet as a two-row workbook, row 1 the 17 column
// titles in the current language, row 2 the 17 values as text.
//
// Call order: Open, WriteHeaderRow, WriteDataRow, SaveAs, CloseAndQuit. Open decides between a
// new workbook and an existing file of that name; nothing touches the disk before SaveAs, which
// replaces the target atomically (the target is either the old file or the complete new one, and
// no temporary file is left behind on failure). Blocking, on the calling thread (the export runs
// as a task on the GUI thread); one writer per export, not shared between threads.
#include "Main/model/SpecSheetValues.h"
#include "Main/xlsx/SheetColumns.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace XlsxPatch {
class CWorkbookPatch;
}

// Looks up a visible text by its English key (the language tables by default).
using TextLookup = std::wstring (*)(const wchar_t* key);

class CSaveToExcel {
public:
    explicit CSaveToExcel(TextLookup translate = nullptr);
    ~CSaveToExcel();
    CSaveToExcel(const CSaveToExcel&) = delete;
    CSaveToExcel& operator=(const CSaveToExcel&) = delete;

    // Prepares the workbook for `path` (UTF-8). No file there: a new workbook. A file there that
    // reads as a workbook: that workbook, whose active sheet gets rows 1 and 2. Anything else at
    // the path (a folder, an unreadable file, a zip that is no workbook, an encrypted, strict or
    // chart-sheet-active workbook): false, and the file is left alone.
    bool Open(const std::string& path);
    // Row 1: the translated titles. Requires a successful Open.
    void WriteHeaderRow();
    // Row 2: the sheet's values as text, the count columns aligned left. Requires Open.
    void WriteDataRow(const SpecSheetValues& values);
    // Writes the workbook to `path` (UTF-8) through a temporary file in the same folder; true only
    // when the complete file has replaced the target.
    bool SaveAs(const std::string& path);
    // Drops the workbook without writing anything. Safe to call at any time, more than once.
    void CloseAndQuit();

    // The reason of the last failure (diagnostics only).
    const std::string& LastError() const { return m_lastError; }

private:
    using Row = std::array<std::wstring, SheetColumns::kColumnCount>;

    TextLookup m_translate;
    std::string m_path;
    bool m_open = false;
    bool m_isExisting = false;                              // false: a new workbook
    std::string m_existingBytes;                            // the file as Open read it
    std::unique_ptr<XlsxPatch::CWorkbookPatch> m_existing;  // its package, ready to patch
    Row m_header;
    Row m_values;
    bool m_hasHeader = false;
    bool m_hasValues = false;
    std::string m_lastError;
};

// A new workbook of the translated titles (row 1) and one row per sheet (rows 2, 3, ...; a batch
// of walls), cells as WriteHeaderRow and WriteDataRow make them. It replaces whatever is at `path`
// atomically like SaveAs (the caller decides whether an existing file may go); false, with a
// reason in `why`, when the complete file could not be put there.
bool SaveSheetsAsNewWorkbook(const std::string& path, const std::vector<SpecSheetValues>& sheets,
                             TextLookup translate = nullptr, std::string* why = nullptr);

// The path as the file system is asked for it: when the path splits at "/" into exactly three
// parts with an empty middle one (the root folder chosen, then the separator the export adds),
// the doubled separator collapses to one ("//name.xlsx" -> "/name.xlsx"); otherwise the path is
// kept.
std::string NormalizeExcelPath(const std::string& path);
