#include "Main/xlsx/XlsxPackage.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace XlsxPatch {
namespace {

// A single part above this is refused: nothing a sheet export meets comes near it, and it keeps
// a zip bomb from exhausting memory.
constexpr zip_uint64_t kPartLimit = 512ull << 20;

// Parts above this are compressed with the fastest deflate level.
constexpr std::size_t kFastDeflateAbove = 256u << 10;

constexpr const char* kContentTypesPart = "[Content_Types].xml";

}  // namespace

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

CPackage::~CPackage() {
    if (m_zip != nullptr) {
        zip_discard(m_zip);
    }
    if (m_source != nullptr) {
        zip_source_free(m_source);
    }
}

bool CPackage::Open(std::string bytes, std::string* why) {
    m_bytes = std::move(bytes);
    if (m_bytes.empty()) {
        SetWhy(why, "empty file");
        return false;
    }
    // Password-protected workbooks are compound files, not zips.
    if (m_bytes.compare(0, 4, "\xD0\xCF\x11\xE0") == 0) {
        SetWhy(why, "encrypted or legacy compound file");
        return false;
    }
    zip_error_t error;
    zip_error_init(&error);
    // libzip takes ownership of the buffer it reads and then writes the new archive into: when it
    // replaces the data it frees the old buffer with free(), whatever it was told, so it gets a
    // malloc'd copy of its own.
    void* copy = std::malloc(m_bytes.size());
    if (copy != nullptr) {
        std::memcpy(copy, m_bytes.data(), m_bytes.size());
        m_source = zip_source_buffer_create(copy, m_bytes.size(), 1, &error);
    }
    if (m_source == nullptr) {
        std::free(copy);
        zip_error_fini(&error);
        SetWhy(why, "out of memory");
        return false;
    }
    m_zip = zip_open_from_source(m_source, 0, &error);
    if (m_zip == nullptr) {
        SetWhy(why, std::string("not a zip: ") + zip_error_strerror(&error));
        zip_error_fini(&error);
        zip_source_free(m_source);
        m_source = nullptr;
        return false;
    }
    zip_error_fini(&error);
    zip_source_keep(m_source);  // read the rewritten archive back after zip_close
    return true;
}

bool CPackage::Has(const std::string& part) const {
    return m_zip != nullptr && zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE) >= 0;
}

bool CPackage::Read(const std::string& part, std::string& out, std::string* why) const {
    const zip_int64_t index =
        m_zip ? zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE) : zip_int64_t{-1};
    if (index < 0) {
        SetWhy(why, "missing part " + part);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0) {
        SetWhy(why, "unreadable part " + part);
        return false;
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        SetWhy(why, "encrypted part " + part);
        return false;
    }
    if ((st.valid & ZIP_STAT_SIZE) && st.size > kPartLimit) {
        SetWhy(why, "part too large " + part);
        return false;
    }
    zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
        SetWhy(why, "cannot open part " + part);
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
        SetWhy(why, "corrupt part " + part);
        return false;
    }
    return true;
}

bool CPackage::ReadXml(const std::string& part, XMLDocument& doc, std::string* why) const {
    std::string text;
    if (!Read(part, text, why)) {
        return false;
    }
    if (!ParseXml(doc, text)) {
        SetWhy(why, "malformed XML in " + part);
        return false;
    }
    return true;
}

bool CPackage::Write(const std::string& part, std::string text) {
    if (m_zip == nullptr) {
        return false;
    }
    m_buffers.push_back(std::move(text));
    const std::string& data = m_buffers.back();
    zip_source_t* src = zip_source_buffer(m_zip, data.data(), data.size(), 0);
    if (src == nullptr) {
        return false;
    }
    // A replaced entry keeps its original method and libzip then ignores a requested level (it
    // compresses at 9, seconds for a large sheet); a fresh entry of the same name takes the
    // level. Entry order does not matter in a package.
    zip_int64_t index = zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE);
    if (index >= 0 && zip_delete(m_zip, static_cast<zip_uint64_t>(index)) != 0) {
        zip_source_free(src);
        return false;
    }
    index = zip_file_add(m_zip, part.c_str(), src, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        return false;
    }
    // Large sheets dominate the time of an export; a fast deflate level keeps a patch of a
    // megabyte workbook well under the time a user notices, at a slightly larger file.
    const zip_uint32_t level = data.size() > kFastDeflateAbove ? 1 : 6;
    return zip_set_file_compression(m_zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                    level) == 0;
}

bool CPackage::LoadTypes(std::string* why) {
    return m_types.RootElement() != nullptr || ReadXml(kContentTypesPart, m_types, why);
}

bool CPackage::Remove(const std::string& part, std::string* why) {
    const zip_int64_t index =
        m_zip ? zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE) : zip_int64_t{-1};
    if (index >= 0 && zip_delete(m_zip, static_cast<zip_uint64_t>(index)) != 0) {
        SetWhy(why, "cannot remove " + part);
        return false;
    }
    if (!LoadTypes(why)) {
        return false;
    }
    for (XMLElement* o : Children(m_types.RootElement(), "Override")) {
        const char* name = o->Attribute("PartName");
        if (name && EqualNoCase(name, "/" + part)) {
            m_types.RootElement()->DeleteChild(o);
            m_typesChanged = true;
            break;
        }
    }
    return true;
}

bool CPackage::AddContentType(const std::string& part, const char* contentType, std::string* why) {
    if (!LoadTypes(why)) {
        return false;
    }
    XMLElement* root = m_types.RootElement();
    XMLElement* over = m_types.NewElement((PrefixOf(root->Name()) + "Override").c_str());
    over->SetAttribute("PartName", ("/" + part).c_str());
    over->SetAttribute("ContentType", contentType);
    root->InsertEndChild(over);
    m_typesChanged = true;
    return true;
}

bool CPackage::Assemble(std::string& out, std::string* why) {
    if (m_zip == nullptr) {
        SetWhy(why, "workbook already written");
        return false;
    }
    if (m_typesChanged && !Write(kContentTypesPart, Serialise(m_types))) {
        SetWhy(why, "cannot rewrite the content types");
        return false;
    }
    zip_t* archive = m_zip;
    m_zip = nullptr;
    if (zip_close(archive) != 0) {
        SetWhy(why, std::string("cannot assemble the package: ") + zip_strerror(archive));
        zip_discard(archive);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(m_source, &st) != 0 || zip_source_open(m_source) != 0) {
        SetWhy(why, "cannot read the package back");
        return false;
    }
    out.resize(static_cast<std::size_t>(st.size));
    const zip_int64_t n = zip_source_read(m_source, out.data(), st.size);
    zip_source_close(m_source);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) {
        SetWhy(why, "cannot read the package back");
        return false;
    }
    return true;
}

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
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsPartOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return FolderOf(part) + "_rels/" + name + ".rels";
}

std::string ResolvePart(const std::string& sourceFolder, const std::string& target) {
    const std::string joined =
        !target.empty() && target[0] == '/' ? target.substr(1) : sourceFolder + target;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const std::size_t slash = joined.find('/', start);
        const std::string seg =
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
        out += out.empty() ? "" : "/";
        out += seg;
    }
    return out;
}

}  // namespace XlsxPatch
