#pragma once
// The workbook's cell formats, as far as the export needs them: a left-aligned twin of a count
// cell's format.
//
// The style part is read on first use. A twin is a copy of the cell's format with left
// alignment, appended to the cell formats once per source format; a package without a style part
// gets the smallest one, registered with a relationship from the workbook and a content type.
// Not thread-safe; belongs to one CWorkbookPatch.
#include "Main/xlsx/XlsxPackage.h"

#include <map>
#include <string>

namespace XlsxPatch {

// The relationship type by which a workbook names its style part.
inline constexpr const char* kRelStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

class CWorkbookStyles {
public:
    // `stylesPart` is the part the workbook's relationships name ("" when none).
    CWorkbookStyles(CPackage& package, std::string workbookPart, std::string stylesPart);

    // The index of a format like `style` (an index into the cell formats) but left-aligned:
    // `style` itself when it is left-aligned already or the style part cannot be read.
    int LeftAligned(int style);

    // Writes the style part back when a twin was added, and registers a part it created in
    // `workbookRels` (then `relsChanged` is set). False when the package refuses a write.
    bool Save(XMLDocument& workbookRels, bool& relsChanged, std::string* why);

private:
    bool Load();

    CPackage& m_package;
    std::string m_workbookPart;
    std::string m_part;
    XMLDocument m_styles{true, tinyxml2::PRESERVE_WHITESPACE};
    bool m_loaded = false;
    bool m_created = false;
    bool m_changed = false;
    std::map<int, int> m_leftOf;
};

}  // namespace XlsxPatch
