#pragma once
// Cell references of a worksheet: "AB12", ranges "A1:Q2", and the numbering of rows and cells
// that leave out their reference.
//
// A worksheet has rows 1..1048576 and columns A..XFD (0..16383 here); anything outside is not a
// cell, and every parse below refuses it instead of wrapping or overflowing. References are
// written without '$'.
#include <string>
#include <string_view>

namespace XlsxPatch {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

struct CellRef {
    int column = -1;  // 0 = A; -1 when the text is no cell reference
    int row = -1;     // 1-based
    bool Valid() const { return column >= 0 && row >= 1; }
};

struct Range {
    int firstColumn, firstRow, lastColumn, lastRow;
    bool Contains(const Range& o) const {
        return o.firstColumn >= firstColumn && o.lastColumn <= lastColumn &&
               o.firstRow >= firstRow && o.lastRow <= lastRow;
    }
    bool Intersects(const Range& o) const {
        return o.firstColumn <= lastColumn && o.lastColumn >= firstColumn &&
               o.firstRow <= lastRow && o.lastRow >= firstRow;
    }
};

// "AB12" inside the sheet's bounds; an invalid CellRef otherwise.
CellRef ParseCellRef(std::string_view text);
// "A1" or "A1:Q2" (either corner first); false for anything outside the sheet.
bool ParseRange(std::string_view text, Range& range);

// The number of a row whose "r" attribute is `r` (null when absent: the row after `previous`).
// -1 when that is no row of a worksheet.
int RowNumber(const char* r, int previous);
// The column of a cell whose "r" attribute is `r` (null: the column after `previous`, -1 before
// the first cell of a row). -1 when that is no column of a worksheet.
int CellColumn(const char* r, int previous);

std::string ColumnName(int column);
std::string CellName(int column, int row);
std::string RangeName(const Range& range);

}  // namespace XlsxPatch
