#pragma once
// A fresh two-row workbook written with libxlsxwriter: one sheet, row 1 and row 2 as text cells,
// the count columns aligned left, every column as wide as its longest text.
#include "Main/xlsx/SheetColumns.h"

#include <array>
#include <string>
#include <vector>

namespace XlsxNew {

// Texts in column order (A first); an empty row array is written as empty cells only when
// `hasRow` is set. Writes the package to `path` (truncating it). Returns false when the library
// reports an error; the file may then be incomplete (the caller writes into a temporary file).
bool WriteWorkbook(const std::string& path,
                   const std::array<std::wstring, SheetColumns::kColumnCount>& row1, bool hasRow1,
                   const std::array<std::wstring, SheetColumns::kColumnCount>& row2, bool hasRow2,
                   std::string* why = nullptr);

// The same for any number of rows: rows[i] is row i + 1, a null entry an absent row. Rows after
// the first are value rows (count columns aligned left); every column is as wide as its longest
// text in any row.
using Row = std::array<std::wstring, SheetColumns::kColumnCount>;
bool WriteWorkbookRows(const std::string& path, const std::vector<const Row*>& rows,
                       std::string* why = nullptr);

}  // namespace XlsxNew
