#include "Main/xlsx/CellRef.h"

#include <algorithm>
#include <charconv>

namespace XlsxPatch {

namespace {

// A whole decimal number in 1..limit; -1 otherwise (signs, blanks, overflow included).
int Bounded(std::string_view digits, int limit) {
    int value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || value < 1 ||
        value > limit) {
        return -1;
    }
    return value;
}

}  // namespace

CellRef ParseCellRef(std::string_view text) {
    std::size_t i = 0;
    int column = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const int letter = c >= 'A' && c <= 'Z' ? c - 'A' : c >= 'a' && c <= 'z' ? c - 'a' : -1;
        if (letter < 0) {
            break;
        }
        column = column * 26 + letter + 1;
        if (column > kMaxColumns) {
            return {};
        }
    }
    const int row = Bounded(text.substr(i), kMaxRows);
    if (column == 0 || row < 0) {
        return {};
    }
    return {column - 1, row};
}

bool ParseRange(std::string_view text, Range& range) {
    const std::size_t colon = text.find(':');
    const CellRef a = ParseCellRef(text.substr(0, colon));
    const CellRef b = colon == std::string_view::npos ? a : ParseCellRef(text.substr(colon + 1));
    if (!a.Valid() || !b.Valid()) {
        return false;
    }
    range = {std::min(a.column, b.column), std::min(a.row, b.row), std::max(a.column, b.column),
             std::max(a.row, b.row)};
    return true;
}

int RowNumber(const char* r, int previous) {
    if (r != nullptr) {
        return Bounded(std::string_view(r), kMaxRows);
    }
    return previous >= 0 && previous < kMaxRows ? previous + 1 : -1;
}

int CellColumn(const char* r, int previous) {
    if (r != nullptr) {
        return ParseCellRef(r).column;
    }
    return previous >= -1 && previous < kMaxColumns - 1 ? previous + 1 : -1;
}

std::string ColumnName(int column) {
    std::string name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return name;
}

std::string CellName(int column, int row) {
    return ColumnName(column) + std::to_string(row);
}

std::string RangeName(const Range& range) {
    std::string first = CellName(range.firstColumn, range.firstRow);
    if (range.firstColumn == range.lastColumn && range.firstRow == range.lastRow) {
        return first;
    }
    return first + ":" + CellName(range.lastColumn, range.lastRow);
}

}  // namespace XlsxPatch
