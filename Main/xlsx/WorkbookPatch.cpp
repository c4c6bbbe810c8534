#include "Main/xlsx/WorkbookPatch.h"

#include "Main/xlsx/XlsxLogging.h"
#include "framework/os/SFStreamConvert.h"

#include <tinyxml2.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

namespace XlsxPatch {
namespace {

using tinyxml2::XMLAttribute;
using tinyxml2::XMLComment;
using tinyxml2::XMLDeclaration;
using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using tinyxml2::XMLNode;
using tinyxml2::XMLText;
using tinyxml2::XMLUnknown;

// A single part above this is refused: nothing a sheet export meets comes near it, and it keeps
// a zip bomb from exhausting memory.
constexpr zip_uint64_t kPartLimit = 512ull << 20;

// Parts above this are compressed with the fastest deflate level.
constexpr std::size_t kFastDeflateAbove = 256u << 10;

constexpr const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kStrictMainNs = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr const char* kStrictRelPrefix = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
constexpr const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
constexpr const char* kRelStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr const char* kStylesContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

constexpr const char* kMinimalStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
    "borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
    "xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

void SetWhy(std::string* why, std::string text) {
    if (why != nullptr) {
        *why = std::move(text);
    }
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

// Element names are compared without their namespace prefix: producers may write "x:row".
std::string_view LocalName(const char* name) {
    std::string_view n(name);
    std::size_t colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

std::string PrefixOf(const char* name) {
    std::string_view n(name);
    std::size_t colon = n.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(n.substr(0, colon + 1));
}

XMLElement* Child(XMLNode* parent, std::string_view local) {
    for (XMLElement* e = parent ? parent->FirstChildElement() : nullptr; e;
         e = e->NextSiblingElement()) {
        if (LocalName(e->Name()) == local) {
            return e;
        }
    }
    return nullptr;
}

XMLElement* Next(XMLElement* e, std::string_view local) {
    for (e = e->NextSiblingElement(); e; e = e->NextSiblingElement()) {
        if (LocalName(e->Name()) == local) {
            return e;
        }
    }
    return nullptr;
}

std::vector<XMLElement*> Children(XMLNode* parent, std::string_view local) {
    std::vector<XMLElement*> out;
    for (XMLElement* e = Child(parent, local); e; e = Next(e, local)) {
        out.push_back(e);
    }
    return out;
}

// The attribute whose local name is `local` (e.g. "r:id" for "id").
const char* AttributeLocal(const XMLElement* e, std::string_view local) {
    for (const XMLAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
        if (LocalName(a->Name()) == local && std::strchr(a->Name(), ':') != nullptr) {
            return a->Value();
        }
    }
    return nullptr;
}

// The namespace URI bound to the prefix of `e` (declared on e itself: the root elements read here
// declare their own).
std::string NamespaceOf(const XMLElement* e) {
    std::string prefix = PrefixOf(e->Name());
    std::string attr = prefix.empty() ? "xmlns" : "xmlns:" + prefix.substr(0, prefix.size() - 1);
    const char* v = e->Attribute(attr.c_str());
    return v ? v : "";
}

// Serialises a document without reformatting: the printer of the XML library escapes neither
// tabs nor line breaks in attribute values (they would come back as blanks) and may indent
// mixed content.
class XmlOut : public tinyxml2::XMLVisitor {
public:
    std::string out;

    bool VisitEnter(const XMLElement& e, const XMLAttribute* a) override {
        out += '<';
        out += e.Name();
        for (; a != nullptr; a = a->Next()) {
            out += ' ';
            out += a->Name();
            out += "=\"";
            Escape(a->Value(), true);
            out += '"';
        }
        out += e.FirstChild() ? ">" : "/>";
        return true;
    }
    bool VisitExit(const XMLElement& e) override {
        if (e.FirstChild()) {
            out += "</";
            out += e.Name();
            out += '>';
        }
        return true;
    }
    bool Visit(const XMLText& t) override {
        if (t.CData()) {
            out += "<![CDATA[";
            out += t.Value();
            out += "]]>";
        } else {
            Escape(t.Value(), false);
        }
        return true;
    }
    bool Visit(const XMLComment& c) override {
        out += "<!--";
        out += c.Value();
        out += "-->";
        return true;
    }
    bool Visit(const XMLDeclaration& d) override {
        out += "<?";
        out += d.Value();
        out += "?>";
        return true;
    }
    bool Visit(const XMLUnknown& u) override {
        out += "<!";
        out += u.Value();
        out += '>';
        return true;
    }

private:
    void Escape(const char* s, bool attribute) {
        for (; *s; ++s) {
            switch (*s) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += attribute ? "&quot;" : "\"";
                    break;
                case '\r':
                    out += "&#13;";
                    break;
                case '\n':
                    out += attribute ? "&#10;" : "\n";
                    break;
                case '\t':
                    out += attribute ? "&#9;" : "\t";
                    break;
                default:
                    out += *s;
            }
        }
    }
};

std::string Serialise(const XMLDocument& doc) {
    XmlOut printer;
    doc.Accept(&printer);
    return std::move(printer.out);
}

// The XML library drops text that is only whitespace, even when asked to preserve whitespace: a
// cell holding " " would come back empty. Element content that is only whitespace (a start tag,
// blanks, an end tag) is turned into character references, which it keeps as text; blanks
// between elements stay as they are.
std::string ProtectBlankText(const std::string& xml) {
    std::string out;
    out.reserve(xml.size() + xml.size() / 64);
    std::size_t i = 0;
    for (;;) {
        const std::size_t gt = xml.find('>', i);
        if (gt == std::string::npos) {
            out.append(xml, i, std::string::npos);
            return out;
        }
        out.append(xml, i, gt + 1 - i);
        std::size_t j = gt + 1;
        while (j < xml.size() &&
               (xml[j] == ' ' || xml[j] == '\t' || xml[j] == '\n' || xml[j] == '\r')) {
            ++j;
        }
        bool leaf = j > gt + 1 && xml.compare(j, 2, "</") == 0 && gt > 0 && xml[gt - 1] != '/';
        if (leaf) {
            const std::size_t lt = xml.rfind('<', gt);
            leaf = lt != std::string::npos && lt + 1 < gt && xml[lt + 1] != '/' &&
                   xml[lt + 1] != '?' && xml[lt + 1] != '!';
        }
        if (leaf) {
            for (std::size_t k = gt + 1; k < j; ++k) {
                out += xml[k] == ' '    ? "&#32;"
                       : xml[k] == '\t' ? "&#9;"
                       : xml[k] == '\n' ? "&#10;"
                                        : "&#13;";
            }
        } else {
            out.append(xml, gt + 1, j - gt - 1);
        }
        i = j;
    }
}

bool ParseXml(XMLDocument& doc, const std::string& text) {
    const std::string safe = ProtectBlankText(text);
    return doc.Parse(safe.data(), safe.size()) == tinyxml2::XML_SUCCESS &&
           doc.RootElement() != nullptr;
}

struct Relationship {
    XMLElement* element;
    std::string id, type, target;
    bool external;
};

std::vector<Relationship> ReadRelationships(XMLDocument& doc) {
    std::vector<Relationship> out;
    for (XMLElement* e : Children(doc.RootElement(), "Relationship")) {
        const char* mode = e->Attribute("TargetMode");
        out.push_back({e, e->Attribute("Id") ? e->Attribute("Id") : "",
                       e->Attribute("Type") ? e->Attribute("Type") : "",
                       e->Attribute("Target") ? e->Attribute("Target") : "",
                       mode && EqualNoCase(mode, "External")});
    }
    return out;
}

std::string FolderOf(const std::string& part) {
    std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsPartOf(const std::string& part) {
    std::size_t slash = part.rfind('/');
    std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return FolderOf(part) + "_rels/" + name + ".rels";
}

// A relationship target as a zip entry name: absolute targets start at the package root,
// relative ones at the source part's folder; "." and ".." are resolved.
std::string ResolvePart(const std::string& sourceFolder, const std::string& target) {
    std::string joined =
        !target.empty() && target[0] == '/' ? target.substr(1) : sourceFolder + target;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t slash = joined.find('/', start);
        std::string seg =
            joined.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (seg == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(seg);
        }
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& seg : segments) {
        if (!out.empty()) {
            out += '/';
        }
        out += seg;
    }
    return out;
}

struct CellRef {
    int column = -1;  // 0 = A
    int row = -1;     // 1-based
};

// "AB12" (a cell reference without '$').
CellRef ParseCellRef(std::string_view text) {
    CellRef ref;
    std::size_t i = 0;
    int column = 0;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 1);
        if (column > 16384) {
            return {};
        }
        ++i;
    }
    int row = 0;
    auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), row);
    if (ec != std::errc() || end != text.data() + text.size()) {
        row = -1;
    }
    ref.column = column - 1;
    ref.row = row;
    return ref;
}

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

bool ParseRange(std::string_view text, Range& range) {
    std::size_t colon = text.find(':');
    CellRef a = ParseCellRef(text.substr(0, colon));
    CellRef b = colon == std::string_view::npos ? a : ParseCellRef(text.substr(colon + 1));
    if (a.column < 0 || a.row < 1 || b.column < 0 || b.row < 1) {
        return false;
    }
    range = {std::min(a.column, b.column), std::min(a.row, b.row), std::max(a.column, b.column),
             std::max(a.row, b.row)};
    return true;
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

std::string RangeName(const Range& r) {
    std::string first = CellName(r.firstColumn, r.firstRow);
    if (r.firstColumn == r.lastColumn && r.firstRow == r.lastRow) {
        return first;
    }
    return first + ":" + CellName(r.lastColumn, r.lastRow);
}

int IntAttribute(const XMLElement* e, const char* name, int fallback) {
    const char* v = e->Attribute(name);
    int out = fallback;
    if (v != nullptr) {
        std::from_chars(v, v + std::strlen(v), out);
    }
    return out;
}

bool TrueAttribute(const XMLElement* e, const char* name) {
    const char* v = e->Attribute(name);
    return v && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0);
}

std::string SheetText(const std::wstring& text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToNarrow(SheetColumns::EscapeCellText(text),
                                                    SF_SOFT_BASE::CP_UTF8);
}

// The end of the tag that starts at `open` ('<'): the position of its '>', skipping quoted
// attribute values; npos when the text ends first.
std::size_t TagEnd(const std::string& xml, std::size_t open) {
    char quote = 0;
    for (std::size_t i = open + 1; i < xml.size(); ++i) {
        const char c = xml[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string::npos;
}

// The value of attribute `name` inside the start tag xml[open, end).
bool TagAttribute(const std::string& xml, std::size_t open, std::size_t end, std::string_view name,
                  int& value) {
    for (std::size_t i = open; i + name.size() + 2 < end; ++i) {
        if (std::isspace(static_cast<unsigned char>(xml[i])) &&
            xml.compare(i + 1, name.size(), name) == 0 && xml[i + 1 + name.size()] == '=') {
            const char* first = xml.data() + i + name.size() + 3;
            auto [ptr, ec] = std::from_chars(first, xml.data() + end, value);
            return ec == std::errc();
        }
    }
    return false;
}

// A worksheet's XML text cut in two: everything but the rows after row 2 (small; parsed and
// edited), and those rows as they stand (often megabytes; copied, or touched only to drop
// formula caches). Rows must stand in ascending order for the cut; otherwise `bulk` stays empty
// and `reduced` is the whole text.
struct SheetSplit {
    std::string reduced;
    std::string bulk;
    std::string closeTag;  // the sheetData end tag the rows go back in front of
};

SheetSplit SplitSheet(std::string xml) {
    SheetSplit out;
    std::size_t name = 0;
    std::size_t open = std::string::npos;
    std::string prefix;
    while ((name = xml.find("sheetData", name)) != std::string::npos) {
        std::size_t lt = name;
        while (lt > 0 && xml[lt - 1] != '<' &&
               (std::isalnum(static_cast<unsigned char>(xml[lt - 1])) || xml[lt - 1] == ':' ||
                xml[lt - 1] == '_')) {
            --lt;
        }
        if (lt > 0 && xml[lt - 1] == '<' && (lt == name || xml[name - 1] == ':')) {
            open = lt - 1;
            prefix = xml.substr(lt, name - lt);
            break;
        }
        name += 9;
    }
    const std::size_t openEnd = open == std::string::npos ? open : TagEnd(xml, open);
    if (openEnd == std::string::npos || xml[openEnd - 1] == '/') {
        out.reduced = std::move(xml);
        return out;
    }
    out.closeTag = "</" + prefix + "sheetData>";
    const std::size_t close = xml.find(out.closeTag, openEnd);
    const std::string rowOpen = "<" + prefix + "row";
    const std::string rowClose = "</" + prefix + "row>";
    std::size_t cut = std::string::npos;
    int rowIndex = 0;
    std::size_t p = openEnd + 1;
    bool ordered = close != std::string::npos;
    while (ordered && p < close) {
        if (std::isspace(static_cast<unsigned char>(xml[p]))) {
            ++p;
        } else if (xml.compare(p, 4, "<!--") == 0) {
            std::size_t end = xml.find("-->", p);
            ordered = end != std::string::npos;
            p = end + 3;
        } else if (xml.compare(p, rowOpen.size(), rowOpen) == 0 &&
                   (std::isspace(static_cast<unsigned char>(xml[p + rowOpen.size()])) ||
                    xml[p + rowOpen.size()] == '>' || xml[p + rowOpen.size()] == '/')) {
            const std::size_t tagEnd = TagEnd(xml, p);
            if (tagEnd == std::string::npos) {
                ordered = false;
                break;
            }
            int r = rowIndex + 1;
            TagAttribute(xml, p, tagEnd, "r", r);
            if (r > 2 && cut == std::string::npos) {
                cut = p;
            } else if (r <= 2 && cut != std::string::npos) {
                ordered = false;  // rows 1 and 2 must not hide among the copied rows
            }
            rowIndex = r;
            if (xml[tagEnd - 1] == '/') {
                p = tagEnd + 1;
            } else {
                std::size_t end = xml.find(rowClose, tagEnd);
                ordered = ordered && end != std::string::npos && end < close;
                p = end + rowClose.size();
            }
        } else {
            ordered = false;
        }
    }
    if (!ordered || cut == std::string::npos) {
        out.reduced = std::move(xml);
        return out;
    }
    out.bulk = xml.substr(cut, close - cut);
    out.reduced = xml.substr(0, cut) + xml.substr(close);
    return out;
}

// Drops the cached values of the formula cells among `rows` (a run of row elements).
bool DropFormulaCaches(std::string& rows) {
    XMLDocument doc{true, tinyxml2::PRESERVE_WHITESPACE};
    if (!ParseXml(doc, "<rows>" + rows + "</rows>")) {
        return false;
    }
    XmlOut printer;
    for (XMLNode* node = doc.RootElement()->FirstChild(); node; node = node->NextSibling()) {
        if (XMLElement* row = node->ToElement()) {
            for (XMLElement* cell = Child(row, "c"); cell; cell = Next(cell, "c")) {
                if (Child(cell, "f") != nullptr) {
                    if (XMLElement* cached = Child(cell, "v")) {
                        cell->DeleteChild(cached);
                    }
                    cell->DeleteAttribute("t");
                }
            }
        }
        node->Accept(&printer);
    }
    rows = std::move(printer.out);
    return true;
}

bool HasFormulaTag(const std::string& xml) {
    return xml.find("<f>") != std::string::npos || xml.find("<f ") != std::string::npos ||
           xml.find(":f>") != std::string::npos || xml.find(":f ") != std::string::npos;
}

struct SheetEntry {
    std::string name;
    std::string part;
};

}  // namespace

struct CWorkbookPatch::Impl {
    std::string bytes;
    zip_source_t* source = nullptr;
    zip_t* zip = nullptr;
    std::deque<std::string> buffers;  // data handed to libzip; alive until the archive closes

    std::string workbookPart;
    std::string workbookRelsPart;
    XMLDocument workbook{true, tinyxml2::PRESERVE_WHITESPACE};
    XMLDocument workbookRels{true, tinyxml2::PRESERVE_WHITESPACE};
    XMLDocument sheet{true, tinyxml2::PRESERVE_WHITESPACE};
    std::string sheetPart;
    std::string sheetRows;      // the active sheet's rows after row 2, as the file has them
    std::string sheetCloseTag;  // where they go back
    std::string sheetName;
    std::vector<SheetEntry> otherSheets;
    std::vector<std::string> definedNames;

    std::string stylesPart;
    XMLDocument styles{true, tinyxml2::PRESERVE_WHITESPACE};
    bool stylesLoaded = false;
    bool stylesCreated = false;
    bool stylesChanged = false;
    std::map<int, int> leftStyleOf;

    XMLDocument types{true,
                      tinyxml2::PRESERVE_WHITESPACE};  // [Content_Types].xml, read when needed
    bool typesChanged = false;
    bool relsChanged = false;

    ~Impl() {
        if (zip != nullptr) {
            zip_discard(zip);
        }
        if (source != nullptr) {
            zip_source_free(source);
        }
    }

    zip_int64_t Locate(const std::string& name) const {
        return zip_name_locate(zip, name.c_str(), ZIP_FL_NOCASE);
    }

    bool ReadPart(const std::string& name, std::string& out, std::string* why) const {
        zip_int64_t index = Locate(name);
        if (index < 0) {
            SetWhy(why, "missing part " + name);
            return false;
        }
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &st) != 0) {
            SetWhy(why, "unreadable part " + name);
            return false;
        }
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            SetWhy(why, "encrypted part " + name);
            return false;
        }
        if ((st.valid & ZIP_STAT_SIZE) && st.size > kPartLimit) {
            SetWhy(why, "part too large " + name);
            return false;
        }
        zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0);
        if (file == nullptr) {
            SetWhy(why, "cannot open part " + name);
            return false;
        }
        out.clear();
        char buffer[65536];
        zip_int64_t n;
        while ((n = zip_fread(file, buffer, sizeof buffer)) > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            if (out.size() > kPartLimit) {
                n = -1;
                break;
            }
        }
        zip_fclose(file);
        if (n < 0) {
            SetWhy(why, "corrupt part " + name);
            return false;
        }
        return true;
    }

    bool ReadXmlPart(const std::string& name, XMLDocument& doc, std::string* why) const {
        std::string text;
        if (!ReadPart(name, text, why)) {
            return false;
        }
        if (!ParseXml(doc, text)) {
            SetWhy(why, "malformed XML in " + name);
            return false;
        }
        return true;
    }

    bool WritePart(const std::string& name, std::string text) {
        buffers.push_back(std::move(text));
        const std::string& data = buffers.back();
        zip_source_t* src = zip_source_buffer(zip, data.data(), data.size(), 0);
        if (src == nullptr) {
            return false;
        }
        // A replaced entry keeps its original method and libzip then ignores a requested
        // level (it compresses at 9, seconds for a large sheet); a fresh entry of the same name
        // takes the level. Entry order does not matter in a package.
        zip_int64_t index = Locate(name);
        if (index >= 0 && zip_delete(zip, static_cast<zip_uint64_t>(index)) != 0) {
            zip_source_free(src);
            return false;
        }
        index = zip_file_add(zip, name.c_str(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            return false;
        }
        // Large sheets dominate the time of an export; a fast deflate level keeps a patch of a
        // megabyte workbook well under the time a user notices, at a slightly larger file.
        const zip_uint32_t level = data.size() > kFastDeflateAbove ? 1 : 6;
        return zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                        level) == 0;
    }

    bool LoadPackage(std::string* why);
    bool LoadStyles();
    int LeftStyle(int style);
    bool PatchSheet(const Row* row1, const Row* row2, std::string* why);
    bool CheckTables(const Range& written, std::string* why) const;
    bool DropDependentCachesElsewhere(std::string* why);
    bool RemoveCalcChain(std::string* why);
    void RequestFullCalculation();

    bool LoadTypes(std::string* why) {
        if (types.RootElement() != nullptr) {
            return true;
        }
        return ReadXmlPart("[Content_Types].xml", types, why);
    }
};

bool CWorkbookPatch::Impl::LoadPackage(std::string* why) {
    if (bytes.empty()) {
        SetWhy(why, "empty file");
        return false;
    }
    // Password-protected workbooks are compound files, not zips.
    if (bytes.size() >= 4 && static_cast<unsigned char>(bytes[0]) == 0xD0 &&
        static_cast<unsigned char>(bytes[1]) == 0xCF &&
        static_cast<unsigned char>(bytes[2]) == 0x11 &&
        static_cast<unsigned char>(bytes[3]) == 0xE0) {
        SetWhy(why, "encrypted or legacy compound file");
        return false;
    }
    zip_error_t error;
    zip_error_init(&error);
    // libzip takes ownership of the buffer it reads and then writes the new archive into: when it
    // replaces the data it frees the old buffer with free(), whatever it was told, so it gets a
    // malloc'd copy of its own.
    void* copy = std::malloc(bytes.size());
    if (copy != nullptr) {
        std::memcpy(copy, bytes.data(), bytes.size());
        source = zip_source_buffer_create(copy, bytes.size(), 1, &error);
    }
    if (source == nullptr) {
        std::free(copy);
        zip_error_fini(&error);
        SetWhy(why, "out of memory");
        return false;
    }
    zip = zip_open_from_source(source, 0, &error);
    if (zip == nullptr) {
        SetWhy(why, std::string("not a zip: ") + zip_error_strerror(&error));
        zip_error_fini(&error);
        zip_source_free(source);
        source = nullptr;
        return false;
    }
    zip_error_fini(&error);
    zip_source_keep(source);  // read the rewritten archive back after zip_close

    XMLDocument packageRels{true, tinyxml2::PRESERVE_WHITESPACE};
    if (!ReadXmlPart("_rels/.rels", packageRels, why)) {
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
    if (!ReadXmlPart(workbookPart, workbook, why)) {
        return false;
    }
    XMLElement* root = workbook.RootElement();
    std::string ns = NamespaceOf(root);
    if (ns == kStrictMainNs) {
        SetWhy(why, "strict conformance workbook");
        return false;
    }
    if (LocalName(root->Name()) != "workbook" || ns != kMainNs) {
        SetWhy(why, "main part is not a workbook");
        return false;
    }
    workbookRelsPart = RelationshipsPartOf(workbookPart);
    if (!ReadXmlPart(workbookRelsPart, workbookRels, why)) {
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
    for (const Relationship& r : rels) {
        if (r.type == kRelStyles && !r.external) {
            stylesPart = ResolvePart(FolderOf(workbookPart), r.target);
        }
    }

    std::vector<XMLElement*> sheets = Children(Child(root, "sheets"), "sheet");
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
        bool isWorksheet = rel != nullptr && !rel->external && EndsWith(rel->type, "/worksheet");
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

    std::string sheetText;
    if (!ReadPart(sheetPart, sheetText, why)) {
        return false;
    }
    SheetSplit split = SplitSheet(std::move(sheetText));
    sheetRows = std::move(split.bulk);
    sheetCloseTag = std::move(split.closeTag);
    if (!ParseXml(sheet, split.reduced)) {
        SetWhy(why, "malformed XML in " + sheetPart);
        return false;
    }
    XMLElement* sheetRoot = sheet.RootElement();
    if (LocalName(sheetRoot->Name()) != "worksheet" || Child(sheetRoot, "sheetData") == nullptr) {
        SetWhy(why, "the active sheet has no cell data");
        return false;
    }
    return true;
}

bool CWorkbookPatch::Impl::LoadStyles() {
    if (stylesLoaded) {
        return styles.RootElement() != nullptr;
    }
    stylesLoaded = true;
    if (!stylesPart.empty()) {
        return ReadXmlPart(stylesPart, styles, nullptr);
    }
    // A package without a style part (legal, if rare): give it the smallest one, so that the
    // count cells can carry their alignment.
    stylesPart = FolderOf(workbookPart) + "styles.xml";
    for (int n = 2; Locate(stylesPart) >= 0; ++n) {
        stylesPart = FolderOf(workbookPart) + "styles" + std::to_string(n) + ".xml";
    }
    stylesCreated = true;
    return ParseXml(styles, kMinimalStyles);
}

int CWorkbookPatch::Impl::LeftStyle(int style) {
    auto known = leftStyleOf.find(style);
    if (known != leftStyleOf.end()) {
        return known->second;
    }
    if (!LoadStyles()) {
        qCDebug(lcXlsx) << "style part unreadable; count cells keep their alignment";
        return style;
    }
    XMLElement* root = styles.RootElement();
    XMLElement* cellXfs = Child(root, "cellXfs");
    if (cellXfs == nullptr) {
        return style;
    }
    const std::string prefix = PrefixOf(root->Name());
    std::vector<XMLElement*> xfs = Children(cellXfs, "xf");
    XMLElement* copy = nullptr;
    if (style >= 0 && style < static_cast<int>(xfs.size())) {
        XMLElement* alignment = Child(xfs[style], "alignment");
        const char* horizontal = alignment ? alignment->Attribute("horizontal") : nullptr;
        if (horizontal != nullptr && std::strcmp(horizontal, "left") == 0) {
            leftStyleOf[style] = style;
            return style;
        }
        copy = xfs[style]->DeepClone(&styles)->ToElement();
    } else {
        copy = styles.NewElement((prefix + "xf").c_str());
        for (const char* attr : {"numFmtId", "fontId", "fillId", "borderId", "xfId"}) {
            copy->SetAttribute(attr, 0);
        }
    }
    XMLElement* alignment = Child(copy, "alignment");
    if (alignment == nullptr) {
        alignment = styles.NewElement((prefix + "alignment").c_str());
        copy->InsertFirstChild(alignment);  // alignment comes first in a cell format
    }
    alignment->SetAttribute("horizontal", "left");
    copy->SetAttribute("applyAlignment", "1");
    cellXfs->InsertEndChild(copy);
    const int index = static_cast<int>(xfs.size());
    cellXfs->SetAttribute("count", index + 1);
    stylesChanged = true;
    leftStyleOf[style] = index;
    return index;
}

bool CWorkbookPatch::Impl::CheckTables(const Range& written, std::string* why) const {
    // A table's header cells must equal its column names, and its rows are typed data: new texts
    // in a table would make spreadsheet programs repair (drop) the table, so the export refuses.
    const std::string relsPart = RelationshipsPartOf(sheetPart);
    if (Locate(relsPart) < 0) {
        return true;
    }
    XMLDocument rels{true, tinyxml2::PRESERVE_WHITESPACE};
    if (!ReadXmlPart(relsPart, rels, why)) {
        return false;
    }
    for (const Relationship& r : ReadRelationships(rels)) {
        if (r.external || !EndsWith(r.type, "/table")) {
            continue;
        }
        XMLDocument table{true, tinyxml2::PRESERVE_WHITESPACE};
        if (!ReadXmlPart(ResolvePart(FolderOf(sheetPart), r.target), table, why)) {
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

bool CWorkbookPatch::Impl::PatchSheet(const Row* row1, const Row* row2, std::string* why) {
    XMLElement* root = sheet.RootElement();
    const std::string prefix = PrefixOf(root->Name());
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

    // One pass over every row: give implicit row and cell numbers to the two rows (inserting a
    // row must not renumber the rows after it), find what would break, drop formula caches.
    XMLElement* found[2] = {nullptr, nullptr};
    int rowIndex = 0;
    for (XMLElement* row = Child(sheetData, "row"); row; row = Next(row, "row")) {
        rowIndex = IntAttribute(row, "r", rowIndex + 1);
        if (row->Attribute("r") == nullptr) {
            row->SetAttribute("r", rowIndex);
        }
        if (rowIndex == 1 || rowIndex == 2) {
            found[rowIndex - 1] = row;
        }
        int column = -1;
        for (XMLElement* cell = Child(row, "c"); cell; cell = Next(cell, "c")) {
            const char* r = cell->Attribute("r");
            column = r ? ParseCellRef(r).column : column + 1;
            XMLElement* formula = Child(cell, "f");
            if (formula == nullptr) {
                continue;
            }
            const char* kind = formula->Attribute("t");
            const char* ref = formula->Attribute("ref");
            Range span;
            if (kind != nullptr && ref != nullptr && ParseRange(ref, span)) {
                const bool anchoredInside =
                    written.Contains(Range{column, rowIndex, column, rowIndex});
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
            if (XMLElement* cached = Child(cell, "v")) {
                cell->DeleteChild(cached);
            }
            cell->DeleteAttribute("t");
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
            row = sheet.NewElement((prefix + "row").c_str());
            row->SetAttribute("r", wanted);
            XMLElement* before = nullptr;
            for (XMLElement* r = Child(sheetData, "row"); r; r = Next(r, "row")) {
                if (IntAttribute(r, "r", 0) > wanted) {
                    before = r;
                    break;
                }
            }
            if (before != nullptr) {
                XMLNode* previous = before->PreviousSibling();
                previous ? sheetData->InsertAfterChild(previous, row)
                         : sheetData->InsertFirstChild(row);
            } else {
                sheetData->InsertEndChild(row);
            }
        }
        row->DeleteAttribute("spans");  // an optional hint that may no longer hold

        const int rowStyle = TrueAttribute(row, "customFormat") ? IntAttribute(row, "s", 0) : -1;
        std::map<int, XMLElement*> cells;
        int column = -1;
        for (XMLElement* cell = Child(row, "c"); cell; cell = Next(cell, "c")) {
            const char* r = cell->Attribute("r");
            column = r ? ParseCellRef(r).column : column + 1;
            if (r == nullptr) {
                cell->SetAttribute("r", CellName(column, wanted).c_str());
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
                cell->SetAttribute("r", CellName(c, wanted).c_str());
                auto after = cells.upper_bound(c);
                if (after != cells.end()) {
                    XMLNode* previous = after->second->PreviousSibling();
                    previous ? row->InsertAfterChild(previous, cell) : row->InsertFirstChild(cell);
                } else {
                    row->InsertEndChild(cell);
                }
                cells[c] = cell;
                // A new cell takes its row's format, else its column's, as typing into it would.
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
            if (wanted == 2 && SheetColumns::IsLeftAligned(static_cast<std::size_t>(c))) {
                style = LeftStyle(style);
            }
            cell->DeleteChildren();
            for (const char* attr : {"t", "cm", "vm", "ph"}) {
                cell->DeleteAttribute(attr);
            }
            if (style != 0 || cell->Attribute("s") != nullptr) {
                cell->SetAttribute("s", style);
            }
            const std::wstring& value = (*rows[i])[static_cast<std::size_t>(c)];
            if (value.empty()) {
                continue;  // an empty text leaves a blank (formatted) cell
            }
            cell->SetAttribute("t", "inlineStr");
            XMLElement* is = sheet.NewElement((prefix + "is").c_str());
            XMLElement* t = sheet.NewElement((prefix + "t").c_str());
            std::string text = SheetText(value);
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
        if (!ReadPart(other.part, text, why)) {
            return false;
        }
        if (!HasFormulaTag(text)) {
            continue;
        }
        XMLDocument doc{true, tinyxml2::PRESERVE_WHITESPACE};
        if (!ParseXml(doc, text)) {
            SetWhy(why, "malformed XML in " + other.part);
            return false;
        }
        std::vector<XMLElement*> formulaCells;
        bool depends = false;
        XMLElement* sheetData = Child(doc.RootElement(), "sheetData");
        for (XMLElement* row = Child(sheetData, "row"); row; row = Next(row, "row")) {
            for (XMLElement* cell = Child(row, "c"); cell; cell = Next(cell, "c")) {
                XMLElement* formula = Child(cell, "f");
                if (formula == nullptr) {
                    continue;
                }
                formulaCells.push_back(cell);
                if (depends || formula->GetText() == nullptr) {
                    continue;
                }
                const std::string upper = Upper(formula->GetText());
                depends = (!activeUpper.empty() && upper.find(activeUpper) != std::string::npos) ||
                          upper.find("INDIRECT") != std::string::npos;
                for (const std::string& name : definedNames) {
                    depends = depends || upper.find(name) != std::string::npos;
                }
            }
        }
        if (!depends) {
            continue;
        }
        for (XMLElement* cell : formulaCells) {
            if (XMLElement* cached = Child(cell, "v")) {
                cell->DeleteChild(cached);
            }
            cell->DeleteAttribute("t");
        }
        if (!WritePart(other.part, Serialise(doc))) {
            SetWhy(why, "cannot replace " + other.part);
            return false;
        }
    }
    return true;
}

bool CWorkbookPatch::Impl::RemoveCalcChain(std::string* why) {
    // The calculation chain lists formula cells; cells that lost their formula would make it
    // invalid, and spreadsheet programs rebuild a missing chain.
    bool changed = false;
    for (const Relationship& r : ReadRelationships(workbookRels)) {
        if (!EndsWith(r.type, "/calcChain")) {
            continue;
        }
        const std::string part = ResolvePart(FolderOf(workbookPart), r.target);
        workbookRels.RootElement()->DeleteChild(r.element);
        changed = true;
        zip_int64_t index = Locate(part);
        if (index >= 0 && zip_delete(zip, static_cast<zip_uint64_t>(index)) != 0) {
            SetWhy(why, "cannot remove " + part);
            return false;
        }
        if (!LoadTypes(why)) {
            return false;
        }
        for (XMLElement* o : Children(types.RootElement(), "Override")) {
            const char* name = o->Attribute("PartName");
            if (name && EqualNoCase(name, "/" + part)) {
                types.RootElement()->DeleteChild(o);
                typesChanged = true;
                break;
            }
        }
    }
    relsChanged = relsChanged || changed;
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
            std::string_view n = LocalName(e->Name());
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
    impl->bytes = std::move(bytes);
    if (!impl->LoadPackage(why)) {
        return nullptr;
    }
    return std::unique_ptr<CWorkbookPatch>(new CWorkbookPatch(std::move(impl)));
}

const std::string& CWorkbookPatch::ActiveSheetName() const {
    return m_impl->sheetName;
}

bool CWorkbookPatch::Patch(const Row* row1, const Row* row2, std::string& out, std::string* why) {
    Impl& d = *m_impl;
    if (d.zip == nullptr) {
        SetWhy(why, "workbook already written");
        return false;
    }
    if (row1 == nullptr && row2 == nullptr) {
        out = d.bytes;
        return true;
    }
    if (!d.PatchSheet(row1, row2, why) || !d.DropDependentCachesElsewhere(why) ||
        !d.RemoveCalcChain(why)) {
        return false;
    }
    d.RequestFullCalculation();
    std::string sheetText = Serialise(d.sheet);
    if (!d.sheetRows.empty()) {
        // The rows after row 2 never hold an anchor of a formula group over the written cells
        // (an anchor is its range's top-left cell); they only lose formula caches.
        if (HasFormulaTag(d.sheetRows) && !DropFormulaCaches(d.sheetRows)) {
            SetWhy(why, "malformed rows in " + d.sheetPart);
            return false;
        }
        const std::size_t close = sheetText.rfind(d.sheetCloseTag);
        if (close == std::string::npos) {
            SetWhy(why, "lost the cell data of " + d.sheetPart);
            return false;
        }
        sheetText.insert(close, d.sheetRows);
        d.sheetRows.clear();
    }
    if (!d.WritePart(d.sheetPart, std::move(sheetText)) ||
        !d.WritePart(d.workbookPart, Serialise(d.workbook))) {
        SetWhy(why, "cannot replace the sheet");
        return false;
    }
    if (d.stylesChanged) {
        if (!d.WritePart(d.stylesPart, Serialise(d.styles))) {
            SetWhy(why, "cannot replace the styles");
            return false;
        }
        if (d.stylesCreated) {
            // Register the new part: a relationship from the workbook and its content type.
            const std::vector<Relationship> existing = ReadRelationships(d.workbookRels);
            std::string id = "rIdStyles";
            for (int n = 2; std::any_of(existing.begin(), existing.end(),
                                        [&id](const Relationship& r) { return r.id == id; });
                 ++n) {
                id = "rIdStyles" + std::to_string(n);
            }
            XMLElement* rels = d.workbookRels.RootElement();
            XMLElement* rel =
                d.workbookRels.NewElement((PrefixOf(rels->Name()) + "Relationship").c_str());
            rel->SetAttribute("Id", id.c_str());
            rel->SetAttribute("Type", kRelStyles);
            rel->SetAttribute("Target", ("/" + d.stylesPart).c_str());
            rels->InsertEndChild(rel);
            d.relsChanged = true;
            if (!d.LoadTypes(why)) {
                return false;
            }
            XMLElement* typesRoot = d.types.RootElement();
            XMLElement* over =
                d.types.NewElement((PrefixOf(typesRoot->Name()) + "Override").c_str());
            over->SetAttribute("PartName", ("/" + d.stylesPart).c_str());
            over->SetAttribute("ContentType", kStylesContentType);
            typesRoot->InsertEndChild(over);
            d.typesChanged = true;
        }
    }
    if ((d.relsChanged && !d.WritePart(d.workbookRelsPart, Serialise(d.workbookRels))) ||
        (d.typesChanged && !d.WritePart("[Content_Types].xml", Serialise(d.types)))) {
        SetWhy(why, "cannot rewrite the package relationships");
        return false;
    }

    zip_t* zip = d.zip;
    d.zip = nullptr;
    if (zip_close(zip) != 0) {
        SetWhy(why, std::string("cannot assemble the package: ") + zip_strerror(zip));
        zip_discard(zip);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(d.source, &st) != 0 || zip_source_open(d.source) != 0) {
        SetWhy(why, "cannot read the package back");
        return false;
    }
    out.resize(static_cast<std::size_t>(st.size));
    zip_int64_t n = zip_source_read(d.source, out.data(), st.size);
    zip_source_close(d.source);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) {
        SetWhy(why, "cannot read the package back");
        return false;
    }
    return true;
}

}  // namespace XlsxPatch
