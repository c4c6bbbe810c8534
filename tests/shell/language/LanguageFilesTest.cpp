// The language files that ship: both parse, both hold every key the program passes to the
// lookup as a literal, and they hold the same keys.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ranges>
#include <regex>
#include <set>
#include <string>

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

// Every literal key passed as Translate(L"...") in the program's sources (tests excluded: they
// look up missing keys on purpose), with its escapes undone.
std::map<std::string, std::string> KeysInSources() {
    std::map<std::string, std::string> keys;  // key -> first file using it
    const std::regex lookup(R"re(Translate\(\s*L"((?:[^"\\]|\\.)*)")re");
    const std::regex escape(R"re(\\(.))re");
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
        for (std::sregex_iterator m(text.begin(), text.end(), lookup), end; m != end; ++m) {
            keys.emplace(std::regex_replace((*m)[1].str(), escape, "$1"),
                         fs::relative(it->path(), top).string());
        }
    }
    return keys;
}

const fs::path kLangDir = fs::path(TESSARO_SOURCE_DIR) / "data" / "lang";

// Both files hold the same keys: every key the sources look up and the product texts.
TEST(LanguageFiles, HoldTheSameKeysEveryKeyTheSourcesLookUpAndTheProductTexts) {
    const Table english = ReadTable(kLangDir / "Lang_0.xml");
    const Table chinese = ReadTable(kLangDir / "Lang_1.xml");
    EXPECT_TRUE(std::ranges::equal(std::views::keys(english), std::views::keys(chinese)));
    auto keys = KeysInSources();
    ASSERT_GT(keys.size(), 5u) << "the scan found no lookups";
    for (const char* key : {"ProductName", "ProductVer", "CopyrightString", "Loading...",
                            "VideoWindow", "User's Eng Guide.pdf", "User's Chn Guide.pdf",
                            "Attention", "    Export To Excel", "  Fit To Room"}) {
        keys.emplace(key, "the product texts");
    }
    for (const auto& [key, where] : keys) {
        EXPECT_NE(english.count(key) ? english.at(key) : "", "") << key << " (" << where << ")";
        EXPECT_TRUE(chinese.count(key)) << "Lang_1.xml lacks \"" << key << "\" (" << where << ")";
    }
    // The guide file names are file names in either language.
    EXPECT_EQ(chinese.at("User's Eng Guide.pdf"), "User's Eng Guide.pdf");
    EXPECT_EQ(chinese.at("User's Chn Guide.pdf"), "User's Chn Guide.pdf");
    EXPECT_NE(chinese.at("Attention"), english.at("Attention"));
    EXPECT_EQ(english.at("    Export To Excel").substr(0, 4), "    ");
}

}  // namespace
