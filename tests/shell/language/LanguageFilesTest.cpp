// The language files that ship: both parse, both hold every key the program passes to the
// lookup as a literal, and they hold the same keys.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "framework/os/SFStreamConvert.h"

namespace {

namespace fs = std::filesystem;

using Table = std::map<std::string, std::string>;

Table ReadTable(const fs::path& path) {
    Table table;
    tinyxml2::XMLDocument document;
    EXPECT_EQ(document.LoadFile(path.string().c_str()), tinyxml2::XML_SUCCESS) << path;
    const tinyxml2::XMLElement* root = document.RootElement();
    EXPECT_NE(root, nullptr) << path;
    if (!root) {
        return table;
    }
    for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e;
         e = e->NextSiblingElement()) {
        const char* name = e->Attribute("name");
        const char* value = e->Attribute("value");
        EXPECT_TRUE(name && value) << path << ": entry " << (name ? name : "?");
        if (name && value) {
            EXPECT_TRUE(table.emplace(name, value).second) << path << ": duplicate " << name;
        }
    }
    return table;
}

// Reads the body of a wide literal starting at text[i] (just after L"), as UTF-8; i ends after
// the closing quote.
std::string ReadLiteral(const std::string& text, std::size_t& i) {
    std::string out;
    while (i < text.size() && text[i] != '"') {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i++];
            continue;
        }
        const char e = text[i + 1];
        i += 2;
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
            case 'U': {
                const std::size_t digits = e == 'u' ? 4 : 8;
                const wchar_t c[] = {
                    static_cast<wchar_t>(std::stoul(text.substr(i, digits), nullptr, 16)), 0};
                out += SF_SOFT_BASE::CSFStreamConvert::ToNarrow(c, SF_SOFT_BASE::CP_UTF8);
                i += digits;
                break;
            }
            default:
                out += e;
                break;  // \\ \" \'
        }
    }
    ++i;
    return out;
}

// Every literal key passed as Translate(L"...") in the program's sources (tests excluded: they
// look up missing keys on purpose).
std::map<std::string, std::string> KeysInSources() {
    std::map<std::string, std::string> keys;  // key -> first file using it
    const fs::path top = TESSARO_SOURCE_DIR;
    for (auto it = fs::recursive_directory_iterator(top); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().filename().string();
        if (it->is_directory()) {
            if (name.starts_with(".") || name.starts_with("build") || name == "tests" ||
                name == "bench" || name == "data" || name == "docs") {
                it.disable_recursion_pending();
            }
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (ext != ".cpp" && ext != ".h" && ext != ".hpp" && ext != ".cc") {
            continue;
        }
        std::ifstream file(it->path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        for (std::size_t at = text.find("Translate("); at != std::string::npos;
             at = text.find("Translate(", at + 1)) {
            std::size_t i = at + 10;
            while (i < text.size() && (text[i] == ' ' || text[i] == '\n')) {
                ++i;
            }
            if (text.compare(i, 2, "L\"") != 0) {
                continue;
            }
            i += 2;
            keys.emplace(ReadLiteral(text, i), fs::relative(it->path(), top).string());
        }
    }
    return keys;
}

const fs::path kLangDir = fs::path(TESSARO_SOURCE_DIR) / "data" / "lang";

TEST(LanguageFiles, HoldEveryKeyTheSourcesLookUp) {
    const auto keys = KeysInSources();
    ASSERT_GT(keys.size(), 5u) << "the scan found no lookups";
    for (const char* file : {"Lang_0.xml", "Lang_1.xml"}) {
        const Table table = ReadTable(kLangDir / file);
        for (const auto& [key, where] : keys) {
            EXPECT_TRUE(table.count(key))
                << file << " lacks \"" << key << "\" (used in " << where << ")";
        }
    }
}

TEST(LanguageFiles, BothLanguagesHaveTheSameKeysAndTheProductTexts) {
    const Table english = ReadTable(kLangDir / "Lang_0.xml");
    const Table chinese = ReadTable(kLangDir / "Lang_1.xml");
    std::set<std::string> englishKeys, chineseKeys;
    for (const auto& entry : english) {
        englishKeys.insert(entry.first);
    }
    for (const auto& entry : chinese) {
        chineseKeys.insert(entry.first);
    }
    EXPECT_EQ(englishKeys, chineseKeys);
    for (const char* key : {"ProductName", "ProductVer", "CopyrightString", "Loading...",
                            "VideoWindow", "User's Eng Guide.pdf", "User's Chn Guide.pdf",
                            "Attention", "    Export To Excel", "  Fit To Room"}) {
        EXPECT_TRUE(english.count(key)) << key;
        EXPECT_FALSE(english.count(key) && english.at(key).empty()) << key;
    }
    // The guide file names are file names in either language.
    EXPECT_EQ(chinese.at("User's Eng Guide.pdf"), "User's Eng Guide.pdf");
    EXPECT_EQ(chinese.at("User's Chn Guide.pdf"), "User's Chn Guide.pdf");
    EXPECT_NE(chinese.at("Attention"), english.at("Attention"));
    EXPECT_EQ(english.at("    Export To Excel").substr(0, 4), "    ");
}

}  // namespace
