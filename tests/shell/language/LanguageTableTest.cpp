#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "framework/os/SFAppDir.h"
#include "shell/LanguageTable.h"
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
    void TearDown() override {
        ResetLanguageTables();
        CurrentLanguage = 0;
    }
    void Write(const std::string& name, std::string_view text) { m_dir.write(name, text); }

    testsupport::TempDir m_dir;
};

constexpr std::string_view kEnglish =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Language>\n"
    "  <String name=\"Close\" value=\"Close\"/>\n"
    "  <String name=\"Colums\" value=\"Columns\"/>\n"
    "  <String name=\"OnlyEnglish\" value=\"English only\"/>\n"
    "  <String name=\"    Export To Excel\" value=\"    Export To Excel\"/>\n"
    "</Language>\n";

constexpr std::string_view kChinese =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Lang>\n"
    "  <String name=\"Close\" value=\"关闭\"/>\n"
    "  <Other name=\"Colums\" value=\"列数\"/>\n"
    "  <String name=\"NoValue\"/>\n"
    "  <String value=\"no name\"/>\n"
    "  <!-- a comment is no entry -->\n"
    "  <String name=\"Twice\" value=\"first\"/>\n"
    "  <String name=\"Twice\" value=\"second\"/>\n"
    "  <String name=\"Escaped &amp; &lt;b&gt;\" value=\"&quot;x&quot;\"/>\n"
    "</Lang>\n";

TEST_F(LanguageTableTest, LooksUpTheCurrentLanguage) {
    Write("Lang_0.xml", kEnglish);
    Write("Lang_1.xml", kChinese);
    EXPECT_EQ(Translate(L"Colums"), L"Columns");
    EXPECT_EQ(Translate(L"    Export To Excel"), L"    Export To Excel");
    CurrentLanguage = 1;
    EXPECT_EQ(Translate(L"Close"), L"关闭");
    EXPECT_EQ(Translate(L"Colums"), L"列数");  // another tag, still a child of the root
    EXPECT_EQ(Translate(L"Twice"), L"second");
    EXPECT_EQ(Translate(L"Escaped & <b>"), L"\"x\"");
    EXPECT_EQ(Translate(L"NoValue"), L"NoValue");  // skipped entries leave the key
    EXPECT_EQ(Translate(L"no name"), L"no name");
    CurrentLanguage = 0;
    EXPECT_EQ(Translate(L"Close"), L"Close");
    EXPECT_EQ(Translate(L"Colums"), L"Columns");
}

TEST_F(LanguageTableTest, KeysAreComparedExactly) {
    Write("Lang_0.xml", kEnglish);
    EXPECT_EQ(Translate(L"close"), L"close");
    EXPECT_EQ(Translate(L"Close "), L"Close ");
    EXPECT_EQ(Translate(L"Export To Excel"), L"Export To Excel");
    EXPECT_EQ(Translate(L""), L"");
    EXPECT_EQ(Translate(nullptr), L"");
}

TEST_F(LanguageTableTest, AKeyTheNewLanguageLacksKeepsTheTextReadEarlier) {
    Write("Lang_0.xml", kEnglish);
    Write("Lang_1.xml", kChinese);
    CurrentLanguage = 1;
    EXPECT_EQ(Translate(L"OnlyEnglish"), L"OnlyEnglish");  // not read from any file yet
    CurrentLanguage = 0;
    EXPECT_EQ(Translate(L"OnlyEnglish"), L"English only");
    CurrentLanguage = 1;
    EXPECT_EQ(Translate(L"OnlyEnglish"), L"English only");
    EXPECT_EQ(Translate(L"Close"), L"关闭");
}

TEST_F(LanguageTableTest, FallbacksOfUnusableFiles) {
    struct Case {
        const char* name;
        const char* lang1;  // null: no file
    } const cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"malformed", "<Lang><String name=\"Close\" value=\"关闭\"></Lang>"},
        {"no root, only a declaration and a comment", "<?xml version=\"1.0\"?><!-- none -->"},
        {"binary", "\x01\x02\xFF\xFE\x00garbage"},
        {"entries without attributes", "<Lang><String/><String name=\"Close\"/></Lang>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetLanguageTables();
        std::filesystem::remove(m_dir.file("Lang_1.xml"));
        if (c.lang1) {
            Write("Lang_1.xml", c.lang1);
        }
        Write("Lang_0.xml", kEnglish);
        CurrentLanguage = 1;
        EXPECT_EQ(Translate(L"Close"), L"Close");  // the key itself
        CurrentLanguage = 0;
        EXPECT_EQ(Translate(L"Colums"), L"Columns");
        CurrentLanguage = 1;
        EXPECT_EQ(Translate(L"Colums"), L"Columns");  // what the map already holds
    }
}

TEST_F(LanguageTableTest, OtherLanguageValuesReadTheirOwnFile) {
    Write("Lang_0.xml", kEnglish);
    Write("Lang_7.xml", "<L><S name=\"Close\" value=\"seven\"/></L>");
    CurrentLanguage = 7;
    EXPECT_EQ(Translate(L"Close"), L"seven");
    CurrentLanguage = -1;  // "Lang_-1.xml" does not exist: the map keeps what it holds
    EXPECT_EQ(Translate(L"Close"), L"seven");
    EXPECT_EQ(LanguageFilePath(1), m_dir.file("Lang_1.xml"));
}

TEST_F(LanguageTableTest, EachFileIsParsedOnce) {
    Write("Lang_0.xml", kEnglish);
    EXPECT_EQ(Translate(L"Colums"), L"Columns");
    Write("Lang_0.xml", "<L><S name=\"Colums\" value=\"changed\"/></L>");
    CurrentLanguage = 1;
    Translate(L"Close");
    CurrentLanguage = 0;
    EXPECT_EQ(Translate(L"Colums"), L"Columns");
    ResetLanguageTables();
    EXPECT_EQ(Translate(L"Colums"), L"changed");
}

TEST_F(LanguageTableTest, ResultsAreIndependentValues) {
    Write("Lang_0.xml", kEnglish);
    const std::wstring first = Translate(L"Close");
    for (int i = 0; i < 6; ++i) {
        Translate(L"Colums");
    }
    EXPECT_EQ(first, L"Close");
    const std::wstring longKey(5000, L'k');
    EXPECT_EQ(Translate(longKey.c_str()), longKey);  // never cut
}

}  // namespace
