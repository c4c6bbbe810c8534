#pragma once
// The 17 texts of the "Data output" sheet, in export column order (A, B, C, D, G, H, E, F,
// I..Q): exactly what the sheet shows and what the spreadsheet export writes.
#include <array>
#include <cstddef>
#include <string>

struct SpecSheetValues {
    static constexpr std::size_t kCount = 17;
    std::array<std::wstring, kCount> fields;  // fields[0] is field 1 (model), ...
};
