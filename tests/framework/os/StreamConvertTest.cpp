// Text conversion between the wide and the multibyte form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/os/SFStreamConvert.h"

using namespace SF_SOFT_BASE;

TEST(SFStreamConvert, EmptyWideTextGivesOneTerminatingZero) {
    CSFStreamConvert convert(L"");
    const char* narrow = convert.GetMultiByte();
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(narrow[0], '\0');
    std::string copy = "x";
    convert.GetMultiByte(copy);
    EXPECT_TRUE(copy.empty());
    CSFStreamConvert fromNull(static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(fromNull.GetMultiByte(), "");
}

TEST(SFStreamConvert, Utf8RoundTrip) {
    const wchar_t* texts[] = {L"Config/config.xml", L"墙面 Größe", L"\U0001F600 emoji",
                              L"C:\\path\\with spaces"};
    for (const wchar_t* text : texts) {
        for (unsigned int codePage : {CP_ACP, CP_UTF8}) {
            CSFStreamConvert convert;
            std::string narrow = convert.ToMultiByte(text, codePage);
            CSFStreamConvert back;
            EXPECT_EQ(std::wstring(back.ToWideChar(narrow.c_str(), codePage)), text);
            EXPECT_EQ(CSFStreamConvert::ToWide(CSFStreamConvert::ToNarrow(text)), text);
        }
    }
    EXPECT_EQ(CSFStreamConvert::ToNarrow(L"\u00e9"), "\xc3\xa9");
}

TEST(SFStreamConvert, InvalidBytesBecomeReplacementCharacters) {
    struct Case {
        const char* bytes;
        std::wstring wide;
    } cases[] = {
        {"a\xff"
         "b",
         L"a\uFFFDb"},                            // never valid
        {"\xc3", L"\uFFFD"},                      // truncated sequence
        {"\xc0\xaf", L"\uFFFD\uFFFD"},            // overlong '/'
        {"\xed\xa0\x80", L"\uFFFD\uFFFD\uFFFD"},  // surrogate
        {"ok\xe4\xb8", L"ok\uFFFD\uFFFD"},        // cut in the middle
    };
    for (const Case& c : cases) {
        CSFStreamConvert convert(c.bytes);
        EXPECT_EQ(std::wstring(convert.GetWideChar()), c.wide) << c.bytes;
        EXPECT_STREQ(convert.GetMultiByte(), c.bytes);  // the multibyte copy is kept as given
    }
    // A wide value that is no character becomes '?'.
    std::wstring bad = L"x";
    bad.push_back(static_cast<wchar_t>(0xD800));
    EXPECT_EQ(CSFStreamConvert::ToNarrow(bad), "x?");
}
