#include "shell/lang/LanguageTable.h"

#include <tinyxml2.h>

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"

int CurrentLanguage = 0;

namespace {

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

struct LanguageTables {
    std::map<std::wstring, std::wstring> translations;  // every entry merged so far
    std::map<int, Entries> parsed;                      // each language's file, read once
    std::optional<int> mergedLanguage;                  // the language last laid over the map
};

LanguageTables& Tables() {
    static LanguageTables tables;
    return tables;
}

std::wstring FromUtf8(const char* text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToWide(text, SF_SOFT_BASE::CP_UTF8);
}

// The entries of one language file in document order; none when it is missing or malformed.
Entries ReadLanguageFile(int language) {
    Entries entries;
    tinyxml2::XMLDocument document;
    if (document.LoadFile(LanguageFilePath(language).c_str()) != tinyxml2::XML_SUCCESS) {
        return entries;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root) {
        return entries;
    }
    for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        const char* name = child->Attribute("name");
        const char* value = child->Attribute("value");
        if (name && value) {
            entries.emplace_back(FromUtf8(name), FromUtf8(value));
        }
    }
    return entries;
}

}  // namespace

std::string LanguageFilePath(int language) {
    return SF_SOFT_BASE::ApplicationDirectory() + "/Lang_" + std::to_string(language) + ".xml";
}

std::wstring Translate(const wchar_t* key) {
    if (!key) {
        return {};
    }
    LanguageTables& tables = Tables();
    const int language = CurrentLanguage;
    if (tables.mergedLanguage != language) {
        auto found = tables.parsed.find(language);
        if (found == tables.parsed.end()) {
            found = tables.parsed.emplace(language, ReadLanguageFile(language)).first;
        }
        for (const auto& [name, value] : found->second) {
            tables.translations.insert_or_assign(name, value);
        }
        tables.mergedLanguage = language;
    }
    const auto hit = tables.translations.find(key);
    return hit != tables.translations.end() ? hit->second : std::wstring(key);
}

void ResetLanguageTables() {
    Tables() = LanguageTables{};
}
