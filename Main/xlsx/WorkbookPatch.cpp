#include "Main/xlsx/WorkbookPatch.h"

#include "Main/xlsx/CellRef.h"
#include "Main/xlsx/SheetSplice.h"
#include "Main/xlsx/WorkbookStyles.h"
#include "Main/xlsx/XlsxPackage.h"
#include "framework/os/SFStreamConvert.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace XlsxPatch {
namespace {

constexpr const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kStrictMainNs = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr const char* kStrictRelPrefix = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
constexpr const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string SheetText(const std::wstring& text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToNarrow(SheetColumns::EscapeCellText(text),
                                                    SF_SOFT_BASE::CP_UTF8);
}

struct SheetEntry {
    std::string name;
    std::string part;
};

}  // namespace

struct CWorkbookPatch::Impl {
    CPackage package;
    std::string workbookPart;
    std::string workbookRelsPart;
    XMLDocument workbook{true, tinyxml2::PRESERVE_WHITESPACE};
    XMLDocument workbookRels{true, tinyxml2::PRESERVE_WHITESPACE};
    XMLDocument sheet{true, tinyxml2::PRESERVE_WHITESPACE};  // the active sheet's head
    std::string sheetPart;
    std::string sheetRows;  // the active sheet's rows set aside (see SheetSplice.h)
    std::string sheetName;
    std::vector<SheetEntry> otherSheets;
    std::vector<std::string> definedNames;
    std::unique_ptr<CWorkbookStyles> styles;
    bool relsChanged = false;

    bool LoadPackage(std::string* why);
    bool LoadActiveSheet(std::string* why);
    bool PatchSheet(const Row* row1, const Row* row2, std::string* why);
    bool CheckFormulas(const Range& written, std::string* why);
    bool CheckTables(const Range& written, std::string* why) const;
    void WriteRow(XMLElement* row, int number, const Row& values);
    bool DropDependentCachesElsewhere(std::string* why);
    bool RemoveCalcChain(std::string* why);
    void RequestFullCalculation();
};

bool CWorkbookPatch::Impl::LoadPackage(std::string* why) {
    XMLDocument packageRels{true, tinyxml2::PRESERVE_WHITESPACE};
    if (!package.ReadXml("_rels/.rels", packageRels, why)) {
        return false;
    }
    for (const Relationship& r : ReadRelationships(packageRels)) {
        if (r.type.rfind(kStrictRelPrefix, 0) == 0) {
            SetWhy(why, "strict conformance package");
            return false;
        }
        if (r.type == kRelOfficeDocument && !r.external) {
            workbookPart = ResolvePart("", r.target);
        }
    }
    if (workbookPart.empty()) {
        SetWhy(why, "no workbook part");
        return false;
    }
    if (!package.ReadXml(workbookPart, workbook, why)) {
        return false;
    }
    XMLElement* root = workbook.RootElement();
    const std::string ns = NamespaceOf(root);
    if (ns == kStrictMainNs) {
        SetWhy(why, "strict conformance workbook");
        return false;
    }
    if (LocalName(root->Name()) != "workbook" || ns != kMainNs) {
        SetWhy(why, "main part is not a workbook");
        return false;
    }
    workbookRelsPart = RelationshipsPartOf(workbookPart);
    if (!package.ReadXml(workbookRelsPart, workbookRels, why)) {
        return false;
    }
    const std::vector<Relationship> rels = ReadRelationships(workbookRels);
    auto relById = [&rels](const char* id) -> const Relationship* {
        for (const Relationship& r : rels) {
            if (id != nullptr && r.id == id) {
                return &r;
            }
        }
        return nullptr;
    };
    std::string stylesPart;
    for (const Relationship& r : rels) {
        if (r.type == kRelStyles && !r.external) {
            stylesPart = ResolvePart(FolderOf(workbookPart), r.target);
        }
    }
    styles = std::make_unique<CWorkbookStyles>(package, workbookPart, stylesPart);

    const std::vector<XMLElement*> sheets = Children(Child(root, "sheets"), "sheet");
    if (sheets.empty()) {
        SetWhy(why, "workbook without sheets");
        return false;
    }
    int active = 0;
    if (XMLElement* view = Child(Child(root, "bookViews"), "workbookView")) {
        active = IntAttribute(view, "activeTab", 0);
    }
    if (active < 0 || active >= static_cast<int>(sheets.size())) {
        active = 0;
    }
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const Relationship* rel = relById(AttributeLocal(sheets[i], "id"));
        const char* name = sheets[i]->Attribute("name");
        const bool isWorksheet =
            rel != nullptr && !rel->external && EndsWith(rel->type, "/worksheet");
        if (static_cast<int>(i) == active) {
            if (!isWorksheet) {
                SetWhy(why, "the active sheet is not a worksheet");
                return false;
            }
            sheetPart = ResolvePart(FolderOf(workbookPart), rel->target);
            sheetName = name ? name : "";
        } else if (isWorksheet) {
            otherSheets.push_back(
                {name ? name : "", ResolvePart(FolderOf(workbookPart), rel->target)});
        }
    }
    for (XMLElement* e : Children(Child(root, "definedNames"), "definedName")) {
        if (const char* name = e->Attribute("name")) {
            definedNames.push_back(Upper(name));
        }
    }
    return LoadActiveSheet(why);
}

bool CWorkbookPatch::Impl::LoadActiveSheet(std::string* why) {
    std::string text;
    if (!package.Read(sheetPart, text, why)) {
        return false;
    }
    SheetCut cut;
    std::string reason;
    if (!CutSheet(std::move(text), cut, &reason)) {
        SetWhy(why, sheetPart + ": " + reason);
        return false;
    }
    sheetRows = std::move(cut.rows);
    if (!ParseXml(sheet, cut.head)) {
        SetWhy(why, "malformed XML in " + sheetPart);
        return false;
    }
    XMLElement* root = sheet.RootElement();
    if (LocalName(root->Name()) != "worksheet" || Child(root, "sheetData") == nullptr) {
        SetWhy(why, "the active sheet has no cell data");
        return false;
    }
    return true;
}

bool CWorkbookPatch::Impl::CheckTables(const Range& written, std::string* why) const {
    // A table's header cells must equal its column names, and its rows are typed data: new texts
    // in a table would make spreadsheet programs repair (drop) the table, so the export refuses.
    const std::string relsPart = RelationshipsPartOf(sheetPart);
    if (!package.Has(relsPart)) {
        return true;
    }
    XMLDocument rels{true, tinyxml2::PRESERVE_WHITESPACE};
    if (!package.ReadXml(relsPart, rels, why)) {
        return false;
    }
    for (const Relationship& r : ReadRelationships(rels)) {
        if (r.external || !EndsWith(r.type, "/table")) {
            continue;
        }
        XMLDocument table{true, tinyxml2::PRESERVE_WHITESPACE};
        if (!package.ReadXml(ResolvePart(FolderOf(sheetPart), r.target), table, why)) {
            return false;
        }
        const char* ref = table.RootElement()->Attribute("ref");
        Range range;
        if (ref != nullptr && ParseRange(ref, range) && range.Intersects(written)) {
            SetWhy(why, std::string("a table at ") + ref + " covers the written cells");
            return false;
        }
    }
    return true;
}

// One pass over every row of the head: gives the rows their numbers (inserting a row must not
// renumber the rows after it), finds formula groups the written cells would cut apart and drops
// the formulas' cached values.
bool CWorkbookPatch::Impl::CheckFormulas(const Range& written, std::string* why) {
    int rowNumber = 0;
    for (XMLElement* row = Child(Child(sheet.RootElement(), "sheetData"), "row"); row;
         row = Next(row, "row")) {
        rowNumber = RowNumber(row->Attribute("r"), rowNumber);
        if (rowNumber < 0) {
            SetWhy(why, "a row number outside the sheet");
            return false;
        }
        if (row->Attribute("r") == nullptr) {
            row->SetAttribute("r", rowNumber);
        }
        int column = -1;
        for (XMLElement* cell = Child(row, "c"); cell; cell = Next(cell, "c")) {
            column = CellColumn(cell->Attribute("r"), column);
            if (column < 0) {
                SetWhy(why, "a cell reference outside the sheet");
                return false;
            }
            XMLElement* formula = Child(cell, "f");
            if (formula == nullptr) {
                continue;
            }
            const char* kind = formula->Attribute("t");
            const char* ref = formula->Attribute("ref");
            Range span;
            if (kind != nullptr && ref != nullptr && ParseRange(ref, span)) {
                const bool anchoredInside =
                    written.Contains(Range{column, rowNumber, column, rowNumber});
                const bool group = std::strcmp(kind, "shared") == 0;
                // A shared formula's text lives in its anchor cell; an array or data table
                // cannot be cut apart.
                if ((group && anchoredInside && !written.Contains(span)) ||
                    (!group && written.Intersects(span) && !written.Contains(span))) {
                    SetWhy(why, std::string("a formula group at ") + ref +
                                    " reaches into the written cells");
                    return false;
                }
            }
            DropCachedValue(cell);
        }
    }
    return true;
}

// Gives row `number` the 17 texts as inline strings: each cell keeps its format (a count cell of
// row 2 takes its left-aligned twin); a new cell takes its row's format, else its column's, as
// typing into it would.
void CWorkbookPatch::Impl::WriteRow(XMLElement* row, int number, const Row& values) {
    XMLElement* root = sheet.RootElement();
    const std::string prefix = PrefixOf(root->Name());
    row->DeleteAttribute("spans");  // an optional hint that may no longer hold
    const int rowStyle = TrueAttribute(row, "customFormat") ? IntAttribute(row, "s", 0) : -1;
    std::map<int, XMLElement*> cells;
    int column = -1;
    for (XMLElement* cell = Child(row, "c"); cell; cell = Next(cell, "c")) {
        const char* r = cell->Attribute("r");
        column = CellColumn(r, column);  // checked by CheckFormulas
        if (r == nullptr) {
            cell->SetAttribute("r", CellName(column, number).c_str());
        }
        cells[column] = cell;
    }
    for (int c = 0; c < static_cast<int>(SheetColumns::kColumnCount); ++c) {
        XMLElement* cell = nullptr;
        auto it = cells.find(c);
        int style = 0;
        if (it != cells.end()) {
            cell = it->second;
            style = IntAttribute(cell, "s", 0);
        } else {
            cell = sheet.NewElement((prefix + "c").c_str());
            cell->SetAttribute("r", CellName(c, number).c_str());
            auto after = cells.upper_bound(c);
            if (after != cells.end()) {
                XMLNode* previous = after->second->PreviousSibling();
                previous ? row->InsertAfterChild(previous, cell) : row->InsertFirstChild(cell);
            } else {
                row->InsertEndChild(cell);
            }
            cells[c] = cell;
            style = rowStyle;
            if (style < 0) {
                style = 0;
                for (XMLElement* col : Children(Child(root, "cols"), "col")) {
                    if (c + 1 >= IntAttribute(col, "min", 0) &&
                        c + 1 <= IntAttribute(col, "max", -1)) {
                        style = IntAttribute(col, "style", 0);
                    }
                }
            }
        }
        if (number == 2 && SheetColumns::IsLeftAligned(static_cast<std::size_t>(c))) {
            style = styles->LeftAligned(style);
        }
        cell->DeleteChildren();
        for (const char* attr : {"t", "cm", "vm", "ph"}) {
            cell->DeleteAttribute(attr);
        }
        if (style != 0 || cell->Attribute("s") != nullptr) {
            cell->SetAttribute("s", style);
        }
        const std::wstring& value = values[static_cast<std::size_t>(c)];
        if (value.empty()) {
            continue;  // an empty text leaves a blank (formatted) cell
        }
        cell->SetAttribute("t", "inlineStr");
        XMLElement* is = sheet.NewElement((prefix + "is").c_str());
        XMLElement* t = sheet.NewElement((prefix + "t").c_str());
        const std::string text = SheetText(value);
        if (std::isspace(static_cast<unsigned char>(text.front())) ||
            std::isspace(static_cast<unsigned char>(text.back())) ||
            text.find('\n') != std::string::npos) {
            t->SetAttribute("xml:space", "preserve");
        }
        t->InsertEndChild(sheet.NewText(text.c_str()));
        is->InsertEndChild(t);
        cell->InsertEndChild(is);
    }
}

bool CWorkbookPatch::Impl::PatchSheet(const Row* row1, const Row* row2, std::string* why) {
    XMLElement* root = sheet.RootElement();
    XMLElement* sheetData = Child(root, "sheetData");
    const Row* rows[2] = {row1, row2};
    const Range written{0, row1 ? 1 : 2, static_cast<int>(SheetColumns::kColumnCount) - 1,
                        row2 ? 2 : 1};
    if (!CheckTables(written, why)) {
        return false;
    }
    // A protected sheet is the user's word that its cells are not to be edited; a spreadsheet
    // program would refuse the new values too.
    if (XMLElement* protection = Child(root, "sheetProtection");
        protection && TrueAttribute(protection, "sheet")) {
        SetWhy(why, "the active sheet is protected");
        return false;
    }
    if (!CheckFormulas(written, why)) {
        return false;
    }
    XMLElement* found[2] = {nullptr, nullptr};
    for (XMLElement* row = Child(sheetData, "row"); row; row = Next(row, "row")) {
        const int number = IntAttribute(row, "r", 0);
        if (number == 1 || number == 2) {
            found[number - 1] = row;
        }
    }
    int lastRow = 0;
    for (int i = 0; i < 2; ++i) {
        if (rows[i] == nullptr) {
            continue;
        }
        const int wanted = i + 1;
        lastRow = wanted;
        XMLElement* row = found[i];
        if (row == nullptr) {
            row = sheet.NewElement((PrefixOf(root->Name()) + "row").c_str());
            row->SetAttribute("r", wanted);
            XMLElement* before = nullptr;
            for (XMLElement* r = Child(sheetData, "row"); r && !before; r = Next(r, "row")) {
                before = IntAttribute(r, "r", 0) > wanted ? r : nullptr;
            }
            XMLNode* previous = before ? before->PreviousSibling() : nullptr;
            if (before == nullptr) {
                sheetData->InsertEndChild(row);
            } else {
                previous ? sheetData->InsertAfterChild(previous, row)
                         : sheetData->InsertFirstChild(row);
            }
        }
        WriteRow(row, wanted, *rows[i]);
    }

    if (XMLElement* dimension = Child(root, "dimension")) {
        Range used{0, 1, static_cast<int>(SheetColumns::kColumnCount) - 1, lastRow};
        Range old;
        if (const char* ref = dimension->Attribute("ref"); ref && ParseRange(ref, old)) {
            used = {std::min(used.firstColumn, old.firstColumn),
                    std::min(used.firstRow, old.firstRow),
                    std::max(used.lastColumn, old.lastColumn), std::max(used.lastRow, old.lastRow)};
        }
        dimension->SetAttribute("ref", RangeName(used).c_str());
    }
    return true;
}

bool CWorkbookPatch::Impl::DropDependentCachesElsewhere(std::string* why) {
    // A formula on another sheet reads the written cells only through the sheet's name, a
    // defined name or an indirect reference; a sheet with such a formula loses the cached values
    // of all its formulas (shared formulas keep their text in one anchor cell only).
    const std::string activeUpper = Upper(sheetName);
    for (const SheetEntry& other : otherSheets) {
        std::string text;
        if (!package.Read(other.part, text, why)) {
            return false;
        }
        SheetScan scan;
        std::string reason;
        if (!ScanSheet(text, false, true, scan, &reason)) {
            SetWhy(why, other.part + ": " + reason);
            return false;
        }
        const std::string upper = Upper(scan.formulaTexts);
        bool depends = (!activeUpper.empty() && upper.find(activeUpper) != std::string::npos) ||
                       upper.find("INDIRECT") != std::string::npos;
        for (const std::string& name : definedNames) {
            depends = depends || upper.find(name) != std::string::npos;
        }
        if (depends && !scan.formulas.empty() &&
            !package.Write(other.part, WithoutCachedValues(text, 0, text.size(), scan.formulas))) {
            SetWhy(why, "cannot replace " + other.part);
            return false;
        }
    }
    return true;
}

bool CWorkbookPatch::Impl::RemoveCalcChain(std::string* why) {
    // The calculation chain lists formula cells; cells that lost their formula would make it
    // invalid, and spreadsheet programs rebuild a missing chain.
    for (const Relationship& r : ReadRelationships(workbookRels)) {
        if (!EndsWith(r.type, "/calcChain")) {
            continue;
        }
        workbookRels.RootElement()->DeleteChild(r.element);
        relsChanged = true;
        if (!package.Remove(ResolvePart(FolderOf(workbookPart), r.target), why)) {
            return false;
        }
    }
    return true;
}

void CWorkbookPatch::Impl::RequestFullCalculation() {
    XMLElement* root = workbook.RootElement();
    XMLElement* calcPr = Child(root, "calcPr");
    if (calcPr == nullptr) {
        calcPr = workbook.NewElement((PrefixOf(root->Name()) + "calcPr").c_str());
        // The workbook's children have a fixed order: calcPr follows definedNames (or whichever
        // of its predecessors is last present).
        XMLElement* after = nullptr;
        for (XMLElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
            const std::string_view n = LocalName(e->Name());
            if (n == "sheets" || n == "functionGroups" || n == "externalReferences" ||
                n == "definedNames") {
                after = e;
            }
        }
        after ? root->InsertAfterChild(after, calcPr) : root->InsertEndChild(calcPr);
    }
    calcPr->SetAttribute("fullCalcOnLoad", "1");
}

CWorkbookPatch::CWorkbookPatch(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
CWorkbookPatch::~CWorkbookPatch() = default;

std::unique_ptr<CWorkbookPatch> CWorkbookPatch::Load(std::string bytes, std::string* why) {
    auto impl = std::make_unique<Impl>();
    if (!impl->package.Open(std::move(bytes), why) || !impl->LoadPackage(why)) {
        return nullptr;
    }
    return std::unique_ptr<CWorkbookPatch>(new CWorkbookPatch(std::move(impl)));
}

const std::string& CWorkbookPatch::ActiveSheetName() const {
    return m_impl->sheetName;
}

bool CWorkbookPatch::Patch(const Row* row1, const Row* row2, std::string& out, std::string* why) {
    Impl& d = *m_impl;
    if (d.package.Spent()) {
        SetWhy(why, "workbook already written");
        return false;
    }
    if (row1 == nullptr && row2 == nullptr) {
        out = d.package.Bytes();
        return true;
    }
    if (!d.PatchSheet(row1, row2, why) || !d.DropDependentCachesElsewhere(why) ||
        !d.RemoveCalcChain(why)) {
        return false;
    }
    d.RequestFullCalculation();
    // The rows set aside never hold an anchor of a formula group over the written cells (an
    // anchor is its range's top-left cell, and they all lie below row 2).
    std::string sheetText =
        Serialise(d.sheet, Child(d.sheet.RootElement(), "sheetData"), d.sheetRows);
    d.sheetRows.clear();
    if (!d.package.Write(d.sheetPart, std::move(sheetText)) ||
        !d.package.Write(d.workbookPart, Serialise(d.workbook))) {
        SetWhy(why, "cannot replace the sheet");
        return false;
    }
    if (!d.styles->Save(d.workbookRels, d.relsChanged, why)) {
        return false;
    }
    if (d.relsChanged && !d.package.Write(d.workbookRelsPart, Serialise(d.workbookRels))) {
        SetWhy(why, "cannot rewrite the package relationships");
        return false;
    }
    return d.package.Assemble(out, why);
}

}  // namespace XlsxPatch
