#pragma once
// The worksheet's text cut for editing, and put back together.
//
// Large sheets are mostly rows after row 2, which the export never edits: the sheet is streamed
// once (expat), and when every row from some point on comes after row 2, those rows are set
// aside as the file has them; only the rest (the head) is parsed into a tree. After the edit the
// rows go back verbatim in front of the cell data's end tag, except that formula cells lose their
// cached values. The stream also checks the sheet: well-formed as a whole, and every row and cell
// reference inside the worksheet's bounds (rows 1..1048576, columns A..XFD).
#include "Main/xlsx/XlsxXml.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace XlsxPatch {

// A formula cell found by the stream, and how it reads without its cached value.
struct FormulaCell {
    std::size_t tagBegin, tagEnd;      // its start tag
    std::string tagWithoutType;        // that tag without its "t" attribute ("" when it has none)
    std::size_t valueBegin, valueEnd;  // its cached value element (equal when there is none)
};

struct SheetScan {
    bool hasCellData = false;           // a sheetData element with an end tag
    std::size_t rowsBegin = 0;          // the first row of the cut (rowsEnd when nothing is cut)
    std::size_t rowsEnd = 0;            // the '<' of the sheetData end tag
    std::vector<FormulaCell> formulas;  // in document order
    std::string formulaTexts;           // every formula's text, one a line (when asked for)
};

// Streams a worksheet's text. `checkRows`: refuse row numbers and cell references outside the
// sheet (the sheet to be edited); `wantTexts`: collect the formulas' texts. False, with a reason,
// for a malformed sheet or a refused reference.
bool ScanSheet(std::string_view xml, bool checkRows, bool wantTexts, SheetScan& scan,
               std::string* why);

// `xml[begin, end)` with the cached values of the listed formula cells inside it removed.
std::string WithoutCachedValues(std::string_view xml, std::size_t begin, std::size_t end,
                                const std::vector<FormulaCell>& formulas);

// The same for a cell of a parsed sheet.
void DropCachedValue(XMLElement* cell);

// The active sheet split for editing: `head` is parsed and edited, `rows` go back unchanged
// (but for formula caches) in front of the cell data's end tag.
struct SheetCut {
    std::string head;
    std::string rows;
};
// Cuts a worksheet's text. False, with a reason, when ScanSheet refuses it.
bool CutSheet(std::string xml, SheetCut& cut, std::string* why);

}  // namespace XlsxPatch
