#include "Main/xlsx/SheetColumns.h"

#include <algorithm>
#include <cwchar>

namespace SheetColumns {

const std::array<const wchar_t*, kColumnCount> kTitleKeys = {
    L"Product Model",
    L"Total No. of Displays",
    L"Screen Configuration(W\u00D7H)",
    L"Dimensions(W\u00D7H\u00D7D)",
    L"Diagonal",
    L"Net Weight(kg)",
    L"Max Power Consumption(W)",
    L"Typical Power Consumption(W)",
    L"Lampstand Wooden Box Volume(WxHxD)",
    L"Lampstand Wooden Box Weight(kg)",
    L"Lampstand Wooden Box Number",
    L"Structure Wooden Box Volume(WxHxD)",
    L"Structure Wooden Box Weight(kg)",
    L"Structure Wooden Box Number",
    L"Panel Tray Volume(WxHxD)",
    L"Panel Tray Weight(kg)",
    L"Panel Tray Number",
};

std::size_t FieldOfColumn(std::size_t column) {
    // A B C D come first in both orders; E (diagonal) and F (weight) are fields 7 and 8, G and
    // H (the two power lines) fields 5 and 6; I..Q are fields 9..17.
    static constexpr std::array<std::size_t, kColumnCount> kField = {
        0, 1, 2, 3, 6, 7, 4, 5, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    return kField[column];
}

bool IsLeftAligned(std::size_t column) {
    return column == 1 || column == 10 || column == 13 || column == 16;
}

char ColumnLetter(std::size_t column) {
    return static_cast<char>('A' + column);
}

namespace {

// East Asian Width W and F ranges (Unicode 15), folded into the blocks that matter for texts a
// sheet can hold: CJK, kana, hangul, full-width forms and the supplementary ideographs.
bool IsWide(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static constexpr Range kWide[] = {
        {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x2E80, 0x303E},
        {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
        {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
        {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
    };
    for (const Range& r : kWide) {
        if (c >= r.first && c <= r.last) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::size_t DisplayUnits(std::wstring_view text) {
    std::size_t units = 0;
    for (wchar_t ch : text) {
        units += IsWide(static_cast<char32_t>(ch)) ? 2 : 1;
    }
    return units;
}

std::wstring EscapeCellText(std::wstring_view text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    auto isHex = [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool invalid = (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') || c == 0xFFFE ||
                             c == 0xFFFF || (c >= 0xD800 && c <= 0xDFFF);
        const bool literalEscape = c == L'_' && i + 6 < text.size() && text[i + 1] == L'x' &&
                                   isHex(text[i + 2]) && isHex(text[i + 3]) && isHex(text[i + 4]) &&
                                   isHex(text[i + 5]) && text[i + 6] == L'_';
        if (invalid || literalEscape) {
            wchar_t buffer[16];
            std::swprintf(buffer, 16, L"_x%04X_", static_cast<unsigned>(c));
            escaped += buffer;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

double FittedColumnWidth(std::size_t units) {
    constexpr double kDefaultWidth = 8.43;
    return std::max(kDefaultWidth, static_cast<double>(units) + 1.0);
}

}  // namespace SheetColumns
