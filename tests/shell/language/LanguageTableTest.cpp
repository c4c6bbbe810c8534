#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "framework/os/SFAppDir.h"
#include "shell/lang/LanguageTable.h"
#include "support/TempDir.h"

namespace {

// A temporary application directory with the language files of one test; the lookup starts
// from nothing and English.
class LanguageTableTest : public testing::Test {
protected:
    void SetUp() override {
        SF_SOFT_BASE::SetApplicationDirectory(m_dir.path());
        ResetLanguageTables();
        CurrentLanguage = 0;
    }
    void TearDown() override { SetUp(); }

    testsupport::TempDir m_dir;
};

std::wstring TranslateIn(int language, const wchar_t* key) {
    CurrentLanguage = language;
    return Translate(key);
}

constexpr std::string_view kEnglish =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Language><String name=\"OnlyEnglish\" value=\"English only\"/>\n"
    "  <String name=\"Close\" value=\"Close\"/><String name=\"Colums\" value=\"Columns\"/>\n"
    "  <String name=\"    Export To Excel\" value=\"    Export To Excel\"/></Language>\n";

// Another tag is still a child of the root; a comment is no entry.
constexpr std::string_view kChinese =
    "<Lang><String name=\"Close\" value=\"关闭\"/><Other name=\"Colums\" value=\"列数\"/>\n"
    "  <String name=\"NoValue\"/><String value=\"no name\"/><!-- a comment -->\n"
    "  <String name=\"Twice\" value=\"first\"/><String name=\"Twice\" value=\"second\"/>\n"
    "  <String name=\"Escaped &amp; &lt;b&gt;\" value=\"&quot;x&quot;\"/></Lang>\n";

// Lookups in order, each in its language. Entries read are kept across switches: a key the
// current language lacks keeps the text read earlier, or shows as itself (also before any file
// had it, and for entries lacking an attribute); keys compare exactly; a language without a file
// (-1) keeps what the map holds.
TEST_F(LanguageTableTest, LooksUpInOrder) {
    m_dir.write("Lang_0.xml", kEnglish);
    m_dir.write("Lang_1.xml", kChinese);
    m_dir.write("Lang_7.xml", "<L><S name=\"Close\" value=\"seven\"/></L>");
    const struct {
        int language;
        const wchar_t* key;
        const wchar_t* text;
    } steps[] = {
        // clang-format off
        {1, L"OnlyEnglish", L"OnlyEnglish"}, {0, L"OnlyEnglish", L"English only"},
        {0, L"    Export To Excel", L"    Export To Excel"},
        {0, L"Export To Excel", L"Export To Excel"},
        {0, L"close", L"close"},             {0, L"Close ", L"Close "},
        {0, L"", L""},                       {1, L"OnlyEnglish", L"English only"},
        {1, L"Close", L"关闭"},              {1, L"Colums", L"列数"},
        {1, L"Twice", L"second"},            {1, L"Escaped & <b>", L"\"x\""},
        {1, L"NoValue", L"NoValue"},         {1, L"no name", L"no name"},
        {0, L"Close", L"Close"},             {0, L"Colums", L"Columns"},
        {7, L"Close", L"seven"},             {-1, L"Close", L"seven"},
        // clang-format on
    };
    for (const auto& s : steps) {
        EXPECT_EQ(TranslateIn(s.language, s.key), s.text) << s.language << " " << s.key;
    }
    EXPECT_EQ(Translate(nullptr), L"");
    EXPECT_EQ(LanguageFilePath(1), m_dir.file("Lang_1.xml"));
    const std::wstring longKey(5000, L'k');
    EXPECT_EQ(Translate(longKey.c_str()), longKey);  // never cut
    // Each file is parsed once, until the tables are reset.
    m_dir.write("Lang_0.xml", "<L><S name=\"Colums\" value=\"changed\"/></L>");
    EXPECT_EQ(TranslateIn(1, L"Close"), L"关闭");
    EXPECT_EQ(TranslateIn(0, L"Colums"), L"Columns");
    ResetLanguageTables();
    EXPECT_EQ(Translate(L"Colums"), L"changed");
}

TEST_F(LanguageTableTest, FallbacksOfUnusableFiles) {
    const struct {
        const char* name;
        const char* lang1;  // null: no file
    } cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"malformed", "<Lang><String name=\"Close\" value=\"关闭\"></Lang>"},
        {"no root, only a declaration and a comment", "<?xml version=\"1.0\"?><!-- none -->"},
        {"binary", "\x01\x02\xFF\xFE\x00garbage"},
    };
    m_dir.write("Lang_0.xml", kEnglish);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetLanguageTables();
        std::filesystem::remove(m_dir.file("Lang_1.xml"));
        if (c.lang1) {
            m_dir.write("Lang_1.xml", c.lang1);
        }
        EXPECT_EQ(TranslateIn(1, L"Close"), L"Close");  // the key itself
        EXPECT_EQ(TranslateIn(0, L"Colums"), L"Columns");
        EXPECT_EQ(TranslateIn(1, L"Colums"), L"Columns");  // what the map already holds
    }
}

}  // namespace
