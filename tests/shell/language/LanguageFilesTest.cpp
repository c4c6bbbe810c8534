// The language files that ship: both parse, both hold every key the program passes to the
// lookup as a literal, and they hold the same keys.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ranges>
#include <set>
#include <string>

#include "framework/os/SFStreamConvert.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

using Table = std::map<std::string, std::string>;

Table ReadTable(const fs::path& path) {
    Table table;
    tinyxml2::XMLDocument document;
    EXPECT_EQ(document.LoadFile(path.string().c_str()), tinyxml2::XML_SUCCESS) << path;
    const tinyxml2::XMLElement* root = document.RootElement();
    EXPECT_NE(root, nullptr) << path;
    for (auto* e = root ? root->FirstChildElement() : nullptr; e; e = e->NextSiblingElement()) {
        const char* name = e->Attribute("name");
        const char* value = e->Attribute("value");
        EXPECT_TRUE(name && value) << path << ": entry " << (name ? name : "?");
        if (name && value) {
            EXPECT_TRUE(table.emplace(name, value).second) << path << ": duplicate " << name;
        }
    }
    return table;
}

// The body of a wide literal starting at text[i] (just after L"), as UTF-8; i ends after the
// closing quote.
std::string ReadLiteral(const std::string& text, std::size_t& i) {
    std::string out;
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char e = text[++i];
        if (e == 'u' || e == 'U') {
            const std::size_t digits = e == 'u' ? 4 : 8;
            const unsigned long code = std::stoul(text.substr(i + 1, digits), nullptr, 16);
            const wchar_t c[] = {static_cast<wchar_t>(code), 0};
            out += SF_SOFT_BASE::CSFStreamConvert::ToNarrow(c, SF_SOFT_BASE::CP_UTF8);
            i += digits;
        } else {
            out += e == 'n' ? '\n' : e == 't' ? '\t' : e;  // and \\ \" \'
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
        if (it->is_directory() &&
            (name.starts_with(".") || name.starts_with("build") ||
             std::set<std::string>{"tests", "bench", "data", "docs"}.count(name))) {
            it.disable_recursion_pending();
        }
        if (!std::set<std::string>{".cpp", ".h", ".hpp", ".cc"}.count(it->path().extension())) {
            continue;
        }
        const std::string text = testsupport::TempDir::read(it->path());
        for (std::size_t at = text.find("Translate("); at != std::string::npos;
             at = text.find("Translate(", at + 1)) {
            std::size_t i = text.find_first_not_of(" \n", at + 10);
            if (i != std::string::npos && text.compare(i, 2, "L\"") == 0) {
                i += 2;
                keys.emplace(ReadLiteral(text, i), fs::relative(it->path(), top).string());
            }
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
    EXPECT_TRUE(std::ranges::equal(std::views::keys(english), std::views::keys(chinese)));
    for (const char* key : {"ProductName", "ProductVer", "CopyrightString", "Loading...",
                            "VideoWindow", "User's Eng Guide.pdf", "User's Chn Guide.pdf",
                            "Attention", "    Export To Excel", "  Fit To Room"}) {
        EXPECT_NE(english.count(key) ? english.at(key) : "", "") << key;
    }
    // The guide file names are file names in either language.
    EXPECT_EQ(chinese.at("User's Eng Guide.pdf"), "User's Eng Guide.pdf");
    EXPECT_EQ(chinese.at("User's Chn Guide.pdf"), "User's Chn Guide.pdf");
    EXPECT_NE(chinese.at("Attention"), english.at("Attention"));
    EXPECT_EQ(english.at("    Export To Excel").substr(0, 4), "    ");
}

}  // namespace
