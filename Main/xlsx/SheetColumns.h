#pragma once
// The two-row layout of the exported sheet: 17 columns A..Q, row 1 the translated titles, row 2
// the texts of SpecSheetValues. The stored order of the sheet values is not the column order
// (the two power lines come before diagonal and weight), so every writer goes through
// FieldOfColumn.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace SheetColumns {

inline constexpr std::size_t kColumnCount = 17;

// Language keys of the row-1 titles, column A first.
extern const std::array<const wchar_t*, kColumnCount> kTitleKeys;

// Index into SpecSheetValues::fields of the value shown in column `column` (0 = A).
std::size_t FieldOfColumn(std::size_t column);

// The count columns (B, K, N, Q) are aligned left so that they line up with the text columns.
bool IsLeftAligned(std::size_t column);

// "A".."Q" for 0..16.
char ColumnLetter(std::size_t column);

// Width of a text in character cells: East Asian wide and full-width characters count two,
// everything else one.
std::size_t DisplayUnits(std::wstring_view text);

// A cell text in the form the file stores it: characters XML cannot carry become "_xHHHH_", and
// a literal "_xHHHH_" in the text gets its underscore escaped ("_x005F_"), so that spreadsheet
// programs, which decode these sequences, show the text as it was.
std::wstring EscapeCellText(std::wstring_view text);

// The column width (in the spreadsheet's character units) that shows `units` cells of text
// without clipping: one cell of margin on top of the text, never narrower than the default
// column.
double FittedColumnWidth(std::size_t units);

}  // namespace SheetColumns
