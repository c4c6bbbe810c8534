#pragma once
// An existing workbook package, held in memory, whose active sheet gets new rows 1 and 2.
//
// Only A1:Q2 of the active worksheet change: each of those cells keeps its style index (a count
// cell of row 2 that is not left-aligned gets a copy of its cell format with left alignment) and
// receives an inline string; rows and cells outside the range, other sheets, shared strings,
// merged ranges, defined names and every other part of the package are copied unchanged.
// Because the new texts may feed formulas, the cached values of formulas that may read them are
// dropped, the calculation chain is removed, and the workbook asks for a full recalculation on
// load.
//
// Not thread-safe; one object per export.
#include "Main/xlsx/SheetColumns.h"

#include <array>
#include <memory>
#include <string>

namespace XlsxPatch {

using Row = std::array<std::wstring, SheetColumns::kColumnCount>;

class CWorkbookPatch {
public:
    ~CWorkbookPatch();
    CWorkbookPatch(const CWorkbookPatch&) = delete;
    CWorkbookPatch& operator=(const CWorkbookPatch&) = delete;

    // Reads `bytes` (a whole .xlsx file) as a workbook whose active sheet is a worksheet of a
    // transitional package. Null, with a reason in `why`, for anything else: not a zip, no
    // workbook part, encrypted, strict conformance, a chart sheet active, malformed XML.
    static std::unique_ptr<CWorkbookPatch> Load(std::string bytes, std::string* why = nullptr);

    // Builds the patched package. `row1`/`row2` may be null (row left as it is). False when the
    // rows cannot be written without breaking the workbook (a shared or array formula anchored
    // in the range and reaching outside it); the object is spent after a successful call.
    bool Patch(const Row* row1, const Row* row2, std::string& out, std::string* why = nullptr);

    // The active worksheet's name as the workbook lists it.
    const std::string& ActiveSheetName() const;

private:
    struct Impl;
    explicit CWorkbookPatch(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace XlsxPatch
