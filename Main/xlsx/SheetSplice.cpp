#include "Main/xlsx/SheetSplice.h"

#include "Main/xlsx/CellRef.h"

#include <cstring>

namespace XlsxPatch {
namespace {

const char* Attribute(const char** attributes, const char* name) {
    for (; attributes[0] != nullptr; attributes += 2) {
        if (std::strcmp(attributes[0], name) == 0) {
            return attributes[1];
        }
    }
    return nullptr;
}

// Rebuilds the start tag `tag` (read again on its own) without its "t" attribute.
class TagWithoutType : public XmlEvents {
public:
    explicit TagWithoutType(std::string& out) : m_out(out) {}
    bool OnStart(const XmlTag& tag) override {
        m_out.assign("<").append(tag.name);
        for (const char** a = tag.attributes; a[0] != nullptr; a += 2) {
            if (std::strcmp(a[0], "t") != 0) {
                m_out.append(" ").append(a[0]).append("=\"");
                AppendEscaped(m_out, a[1], true);
                m_out += '"';
            }
        }
        m_out += '>';
        return true;
    }
    bool OnEnd(const XmlTag&) override { return true; }

private:
    std::string& m_out;
};

bool RebuildWithoutType(std::string_view startTag, std::string& out) {
    TagWithoutType events(out);
    std::string element(startTag);
    element.insert(element.size() - 1, "/");  // "<c ...>" -> "<c .../>"
    return ScanXml(element, events, &events.refusal);
}

// Depths of the elements a worksheet's cells live in: worksheet 1, sheetData 2, row 3, c 4,
// and the cell's formula and value 5.
enum Depth { kData = 2, kRow = 3, kCell = 4, kCellChild = 5 };

class SheetEvents : public XmlEvents {
public:
    SheetEvents(std::string_view xml, bool checkRows, bool wantTexts, SheetScan& scan)
        : m_xml(xml), m_checkRows(checkRows), m_wantTexts(wantTexts), m_scan(scan) {}

    bool WantsText() const override { return m_wantTexts; }
    void OnText(std::string_view text) override {
        if (m_inFormula) {
            m_scan.formulaTexts += text;
        }
    }

    bool OnStart(const XmlTag& tag) override {
        if (tag.depth == kData && !m_seenData && LocalName(tag.name) == "sheetData") {
            m_seenData = m_inData = true;
        } else if (!m_inData || tag.depth < kRow) {
            return true;
        } else if (tag.depth == kRow) {
            return StartRow(tag);
        } else if (tag.depth == kCell && LocalName(tag.name) == "c") {
            return StartCell(tag);
        } else if (tag.depth == kCellChild && m_inCell && LocalName(tag.name) == "f") {
            return StartFormula();
        }
        return true;
    }

    bool OnEnd(const XmlTag& tag) override {
        if (!m_inData) {
            return true;
        }
        if (tag.depth == kData) {
            m_inData = false;
            m_scan.hasCellData = true;
            m_scan.rowsEnd = tag.contentEnd;
            m_scan.rowsBegin = m_cuttable && m_cut != 0 ? m_cut : tag.contentEnd;
        } else if (tag.depth == kCell && m_inCell) {
            m_inCell = false;
            if (m_cell.hasFormula) {
                m_scan.formulas.push_back(std::move(m_cell.formula));
            }
        } else if (tag.depth == kCellChild && m_inCell) {
            const std::string_view local = LocalName(tag.name);
            if (local == "v") {
                m_cell.formula.valueBegin = tag.begin;
                m_cell.formula.valueEnd = tag.end;
            } else if (local == "f" && m_inFormula) {
                m_inFormula = false;
                m_scan.formulaTexts += '\n';
            }
        }
        return true;
    }

private:
    bool StartRow(const XmlTag& tag) {
        const bool isRow = LocalName(tag.name) == "row";
        if (isRow) {
            m_row = RowNumber(Attribute(tag.attributes, "r"), m_row);
            m_column = -1;
            if (m_row < 0 && m_checkRows) {
                refusal = "a row number outside the sheet";
                return false;
            }
        }
        // Rows 1 and 2 must not hide among the rows set aside, which are never edited.
        if (isRow && m_row > 2 && m_cut == 0) {
            m_cut = tag.begin;
        } else if (m_cut != 0 && (!isRow || m_row <= 2)) {
            m_cuttable = false;
        }
        return true;
    }

    bool StartCell(const XmlTag& tag) {
        m_column = CellColumn(Attribute(tag.attributes, "r"), m_column);
        if (m_column < 0 && m_checkRows) {
            refusal = "a cell reference outside the sheet";
            return false;
        }
        m_inCell = true;
        m_cell.hasFormula = false;
        m_cell.hasType = Attribute(tag.attributes, "t") != nullptr;
        FormulaCell& f = m_cell.formula;
        f.tagBegin = tag.begin;
        f.tagEnd = f.valueBegin = f.valueEnd = tag.contentBegin;
        f.tagWithoutType.clear();
        return true;
    }

    bool StartFormula() {
        m_cell.hasFormula = true;
        m_inFormula = m_wantTexts;
        FormulaCell& f = m_cell.formula;
        // The type describes the cached value; without the value it goes too. Only formula
        // cells need the tag rebuilt, so it is read again on its own here.
        return !m_cell.hasType ||
               RebuildWithoutType(m_xml.substr(f.tagBegin, f.tagEnd - f.tagBegin),
                                  f.tagWithoutType);
    }

    const std::string_view m_xml;
    const bool m_checkRows;
    const bool m_wantTexts;
    SheetScan& m_scan;
    bool m_seenData = false;
    bool m_inData = false;
    int m_row = 0;
    int m_column = -1;
    std::size_t m_cut = 0;  // 0: no row after row 2 yet (a row never starts a document)
    bool m_cuttable = true;
    bool m_inCell = false;
    bool m_inFormula = false;
    struct {
        bool hasFormula = false;
        bool hasType = false;
        FormulaCell formula;
    } m_cell;
};

}  // namespace

bool ScanSheet(std::string_view xml, bool checkRows, bool wantTexts, SheetScan& scan,
               std::string* why) {
    scan = SheetScan{};
    SheetEvents events(xml, checkRows, wantTexts, scan);
    return ScanXml(xml, events, why);
}

std::string WithoutCachedValues(std::string_view xml, std::size_t begin, std::size_t end,
                                const std::vector<FormulaCell>& formulas) {
    std::string out;
    out.reserve(end - begin);
    std::size_t done = begin;
    for (const FormulaCell& f : formulas) {
        if (f.tagBegin < begin || f.valueEnd > end) {
            continue;
        }
        out.append(xml, done, f.tagBegin - done);
        if (f.tagWithoutType.empty()) {
            out.append(xml, f.tagBegin, f.tagEnd - f.tagBegin);
        } else {
            out += f.tagWithoutType;
        }
        out.append(xml, f.tagEnd, f.valueBegin - f.tagEnd);
        done = f.valueEnd;
    }
    out.append(xml, done, end - done);
    return out;
}

void DropCachedValue(XMLElement* cell) {
    if (XMLElement* cached = Child(cell, "v")) {
        cell->DeleteChild(cached);
    }
    cell->DeleteAttribute("t");
}

bool CutSheet(std::string xml, SheetCut& cut, std::string* why) {
    SheetScan scan;
    if (!ScanSheet(xml, true, false, scan, why)) {
        return false;
    }
    if (scan.rowsBegin < scan.rowsEnd) {
        cut.rows = WithoutCachedValues(xml, scan.rowsBegin, scan.rowsEnd, scan.formulas);
        cut.head = xml.substr(0, scan.rowsBegin) + xml.substr(scan.rowsEnd);
    } else {
        cut.rows.clear();
        cut.head = std::move(xml);
    }
    return true;
}

}  // namespace XlsxPatch
