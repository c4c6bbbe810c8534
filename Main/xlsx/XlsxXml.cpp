#include "Main/xlsx/XlsxXml.h"

#include <expat.h>

#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>

namespace XlsxPatch {
namespace {

using tinyxml2::XMLAttribute;
using tinyxml2::XMLComment;
using tinyxml2::XMLDeclaration;
using tinyxml2::XMLText;
using tinyxml2::XMLUnknown;

struct ParserFree {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

struct Scan {
    XML_Parser parser;
    XmlEvents* events;
    std::vector<std::pair<std::size_t, std::size_t>> open;  // begin, contentBegin
    bool stopped = false;

    void Stop(std::string reason) {
        if (!stopped) {
            stopped = true;
            if (events->refusal.empty()) {
                events->refusal = std::move(reason);
            }
            XML_StopParser(parser, XML_FALSE);
        }
    }
    std::size_t Index() const { return static_cast<std::size_t>(XML_GetCurrentByteIndex(parser)); }
    std::size_t Count() const { return static_cast<std::size_t>(XML_GetCurrentByteCount(parser)); }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* scan = static_cast<Scan*>(data);
    if (scan->stopped) {
        return;
    }
    const std::size_t begin = scan->Index();
    scan->open.emplace_back(begin, begin + scan->Count());
    const XmlTag tag{
        name, attributes, static_cast<int>(scan->open.size()), begin, begin + scan->Count(), 0, 0};
    if (!scan->events->OnStart(tag)) {
        scan->Stop("refused");
    }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto* scan = static_cast<Scan*>(data);
    if (scan->stopped || scan->open.empty()) {
        return;
    }
    const auto [begin, contentBegin] = scan->open.back();
    const int depth = static_cast<int>(scan->open.size());
    scan->open.pop_back();
    // The end of an empty-element tag is reported with no bytes of its own.
    const std::size_t count = scan->Count();
    const std::size_t contentEnd = count == 0 ? contentBegin : scan->Index();
    const XmlTag tag{name, nullptr, depth, begin, contentBegin, contentEnd, contentEnd + count};
    if (!scan->events->OnEnd(tag)) {
        scan->Stop("refused");
    }
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto* scan = static_cast<Scan*>(data);
    if (!scan->stopped) {
        scan->events->OnText(std::string_view(text, static_cast<std::size_t>(length)));
    }
}

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<Scan*>(data)->Stop("a document type declaration in a package part");
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Finds the elements whose whole content is blanks: the tree library drops such text even when
// asked to preserve whitespace, so it is handed over as character references.
class BlankContent : public XmlEvents {
public:
    explicit BlankContent(std::string_view text) : m_text(text) {}
    std::vector<std::pair<std::size_t, std::size_t>> ranges;

    bool OnStart(const XmlTag&) override { return true; }
    bool OnEnd(const XmlTag& tag) override {
        std::size_t i = tag.contentBegin;
        while (i < tag.contentEnd && IsBlank(m_text[i])) {
            ++i;
        }
        if (i == tag.contentEnd && tag.contentEnd > tag.contentBegin) {
            ranges.emplace_back(tag.contentBegin, tag.contentEnd);
        }
        return true;
    }

private:
    std::string_view m_text;
};

struct Escape {
    char c;
    const char* inText;
    const char* inAttribute;
};
constexpr Escape kEscapes[] = {
    {'&', "&amp;", "&amp;"}, {'<', "&lt;", "&lt;"}, {'>', "&gt;", "&gt;"}, {'\r', "&#13;", "&#13;"},
    {'"', "\"", "&quot;"},   {'\n', "\n", "&#10;"}, {'\t', "\t", "&#9;"},
};

class XmlOut : public tinyxml2::XMLVisitor {
public:
    XmlOut(const XMLElement* spliceInto, std::string_view splice)
        : m_spliceInto(spliceInto), m_splice(splice) {}
    std::string out;

    bool VisitEnter(const XMLElement& e, const XMLAttribute* a) override {
        out += '<';
        out += e.Name();
        for (; a != nullptr; a = a->Next()) {
            out += ' ';
            out += a->Name();
            out += "=\"";
            AppendEscaped(out, a->Value(), true);
            out += '"';
        }
        out += HasContent(e) ? ">" : "/>";
        return true;
    }
    bool VisitExit(const XMLElement& e) override {
        if (&e == m_spliceInto) {
            out += m_splice;
        }
        if (HasContent(e)) {
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
            AppendEscaped(out, t.Value(), false);
        }
        return true;
    }
    bool Visit(const XMLComment& c) override { return Raw("<!--", c.Value(), "-->"); }
    bool Visit(const XMLDeclaration& d) override { return Raw("<?", d.Value(), "?>"); }
    bool Visit(const XMLUnknown& u) override { return Raw("<!", u.Value(), ">"); }

private:
    bool HasContent(const XMLElement& e) const {
        return e.FirstChild() != nullptr || (&e == m_spliceInto && !m_splice.empty());
    }
    bool Raw(const char* open, const char* value, const char* close) {
        out += open;
        out += value;
        out += close;
        return true;
    }
    const XMLElement* m_spliceInto;
    std::string_view m_splice;
};

}  // namespace

bool ScanXml(std::string_view text, XmlEvents& events, std::string* why) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        if (why != nullptr) {
            *why = "part too large";
        }
        return false;
    }
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (parser == nullptr) {
        if (why != nullptr) {
            *why = "out of memory";
        }
        return false;
    }
    Scan scan{parser.get(), &events, {}};
    XML_SetUserData(parser.get(), &scan);
    XML_SetElementHandler(parser.get(), &OnStart, &OnEnd);
    XML_SetStartDoctypeDeclHandler(parser.get(), &OnDoctype);
    if (events.WantsText()) {
        XML_SetCharacterDataHandler(parser.get(), &OnText);
    }
    const bool ok = XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) ==
                    XML_STATUS_OK;
    if (!ok && why != nullptr) {
        *why = scan.stopped
                   ? events.refusal
                   : std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                         std::to_string(XML_GetCurrentLineNumber(parser.get()));
    }
    return ok;
}

bool ParseXml(XMLDocument& doc, std::string_view text) {
    BlankContent blanks(text);
    if (!ScanXml(text, blanks, nullptr)) {
        return false;
    }
    std::string safe;
    safe.reserve(text.size() + blanks.ranges.size() * 8);
    std::size_t done = 0;
    for (const auto& [first, last] : blanks.ranges) {  // in end-tag order: never nested
        safe.append(text, done, first - done);
        for (std::size_t i = first; i < last; ++i) {
            safe += text[i] == ' '    ? "&#32;"
                    : text[i] == '\t' ? "&#9;"
                    : text[i] == '\n' ? "&#10;"
                                      : "&#13;";
        }
        done = last;
    }
    safe.append(text, done, std::string_view::npos);
    return doc.Parse(safe.data(), safe.size()) == tinyxml2::XML_SUCCESS &&
           doc.RootElement() != nullptr;
}

std::string Serialise(const XMLDocument& doc, const XMLElement* spliceInto,
                      std::string_view splice) {
    XmlOut printer(spliceInto, splice);
    doc.Accept(&printer);
    return std::move(printer.out);
}

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > '>') {  // beyond every character escaped below
            out += c;
            continue;
        }
        const Escape* escape = nullptr;
        for (const Escape& e : kEscapes) {
            escape = e.c == c ? &e : escape;
        }
        if (escape != nullptr) {
            out += attribute ? escape->inAttribute : escape->inText;
        } else {
            out += c;
        }
    }
}

std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string PrefixOf(const char* name) {
    const std::string_view n(name);
    const std::size_t colon = n.find(':');
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

const char* AttributeLocal(const XMLElement* e, std::string_view local) {
    for (const XMLAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
        if (LocalName(a->Name()) == local && std::strchr(a->Name(), ':') != nullptr) {
            return a->Value();
        }
    }
    return nullptr;
}

std::string NamespaceOf(const XMLElement* e) {
    const std::string prefix = PrefixOf(e->Name());
    const std::string attr =
        prefix.empty() ? "xmlns" : "xmlns:" + prefix.substr(0, prefix.size() - 1);
    const char* v = e->Attribute(attr.c_str());
    return v ? v : "";
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

}  // namespace XlsxPatch
