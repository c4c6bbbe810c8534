#pragma once
// The XML layer of the workbook patcher: a streaming scan with byte offsets (expat), the parse of
// a part into a tree (tinyxml2) and its serialisation, and lookups by local name.
//
// A package part is one well-formed XML document: after its root element only whitespace,
// comments and processing instructions may follow, and a document type declaration (which
// package parts may not carry, and whose entities would make offsets lie) is refused. Every
// function that reads a part holds it to that.
#include <tinyxml2.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace XlsxPatch {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using tinyxml2::XMLNode;

// One element as the scan meets it. Offsets are bytes into the scanned text.
struct XmlTag {
    std::string_view name;     // as written, with its prefix ("x:row")
    const char** attributes;   // name/value pairs, values unescaped, null-terminated; OnStart only
    int depth;                 // 1 for the root
    std::size_t begin;         // its '<'
    std::size_t contentBegin;  // just after its start tag
    std::size_t contentEnd;    // OnEnd: its end tag's '<' (contentBegin for an empty-element tag)
    std::size_t end;           // OnEnd: just after the element
};

// Receives the elements of a scan in document order. A handler that returns false stops the
// scan, which then fails with `refusal` as its reason.
class XmlEvents {
public:
    virtual ~XmlEvents() = default;
    virtual bool OnStart(const XmlTag& tag) = 0;
    virtual bool OnEnd(const XmlTag& tag) = 0;
    // Character data (with references resolved), only when WantsText() is true.
    virtual void OnText(std::string_view) {}
    virtual bool WantsText() const { return false; }
    std::string refusal;
};

// Streams `text` through `events`. False, with a reason in `why`, when the text is not one
// well-formed document or a handler refused it.
bool ScanXml(std::string_view text, XmlEvents& events, std::string* why);

// Parses a part into `doc`, keeping text that is only whitespace (a cell holding " "). False when
// the text is not one well-formed document with a root element.
bool ParseXml(XMLDocument& doc, std::string_view text);

// Serialises `doc` without reformatting; tabs and line breaks in attribute values are kept as
// character references. When `spliceInto` is given, `splice` goes in verbatim just before that
// element's end tag.
std::string Serialise(const XMLDocument& doc, const XMLElement* spliceInto = nullptr,
                      std::string_view splice = {});
// Appends `text` with the characters XML cannot carry literally escaped.
void AppendEscaped(std::string& out, std::string_view text, bool attribute);

// Names are compared without their namespace prefix: producers may write "x:row".
std::string_view LocalName(std::string_view name);
// "x:" for "x:row", "" for "row".
std::string PrefixOf(const char* name);
// The first child element / next sibling element of that local name; null when none.
XMLElement* Child(XMLNode* parent, std::string_view local);
XMLElement* Next(XMLElement* e, std::string_view local);
std::vector<XMLElement*> Children(XMLNode* parent, std::string_view local);
// The attribute of `e` with a prefix and local name `local` (e.g. "r:id" for "id").
const char* AttributeLocal(const XMLElement* e, std::string_view local);
// The namespace URI bound to the prefix of `e`, declared on `e` itself.
std::string NamespaceOf(const XMLElement* e);
// A whole-number attribute; `fallback` when absent or not a number.
int IntAttribute(const XMLElement* e, const char* name, int fallback);
bool TrueAttribute(const XMLElement* e, const char* name);

}  // namespace XlsxPatch
