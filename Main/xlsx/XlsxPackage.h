#pragma once
// An .xlsx package held in memory: a zip of parts, the relationships between them and the
// content types that name them.
//
// Part names are zip entry names ("xl/workbook.xml", compared without regard to case); a
// relationship's target is resolved against the folder of the part that holds it. Parts are
// read from the original bytes until Assemble, which builds the new package from them and every
// part written or removed since. Not thread-safe; one object per export.
#include "Main/xlsx/XlsxXml.h"

#include <deque>
#include <string>
#include <vector>

struct zip;
struct zip_source;

namespace XlsxPatch {

class CPackage {
public:
    CPackage() = default;
    ~CPackage();
    CPackage(const CPackage&) = delete;
    CPackage& operator=(const CPackage&) = delete;

    // Opens `bytes` (a whole file) as a zip. False, with a reason, for an empty file, a
    // password-protected (compound) file or anything else that is no zip.
    bool Open(std::string bytes, std::string* why);
    // The bytes Open was given.
    const std::string& Bytes() const { return m_bytes; }

    bool Has(const std::string& part) const;
    // The part's bytes. False for a missing, encrypted, corrupt or oversized part.
    bool Read(const std::string& part, std::string& out, std::string* why) const;
    // The part parsed; false also for malformed XML (see XlsxXml.h).
    bool ReadXml(const std::string& part, XMLDocument& doc, std::string* why) const;
    // Replaces (or adds) a part; large parts are compressed with the fastest level.
    bool Write(const std::string& part, std::string text);
    // Removes a part and its content type override; a missing part is no error.
    bool Remove(const std::string& part, std::string* why);
    // Registers the content type of a new part.
    bool AddContentType(const std::string& part, const char* contentType, std::string* why);

    // Builds the new package into `out`. The object is spent afterwards (false when it is).
    bool Assemble(std::string& out, std::string* why);
    bool Spent() const { return m_zip == nullptr; }

private:
    bool LoadTypes(std::string* why);

    std::string m_bytes;
    zip_source* m_source = nullptr;
    zip* m_zip = nullptr;
    std::deque<std::string> m_buffers;  // data handed to libzip; alive until the archive closes
    XMLDocument m_types{true, tinyxml2::PRESERVE_WHITESPACE};  // [Content_Types].xml, on demand
    bool m_typesChanged = false;
};

struct Relationship {
    XMLElement* element;
    std::string id, type, target;
    bool external;
};

// The relationships of a parsed relationships part, in document order.
std::vector<Relationship> ReadRelationships(XMLDocument& doc);
// "xl/" for "xl/workbook.xml".
std::string FolderOf(const std::string& part);
// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
std::string RelationshipsPartOf(const std::string& part);
// A relationship target as a part name: absolute targets start at the package root, relative
// ones at `sourceFolder`; "." and ".." are resolved.
std::string ResolvePart(const std::string& sourceFolder, const std::string& target);

bool EndsWith(std::string_view text, std::string_view tail);
bool EqualNoCase(std::string_view a, std::string_view b);
void SetWhy(std::string* why, std::string text);

}  // namespace XlsxPatch
