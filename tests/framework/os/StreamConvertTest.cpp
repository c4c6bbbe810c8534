// Text conversion between the wide and the multibyte form.
#include <gtest/gtest.h>

#include <string>

#include "framework/os/SFStreamConvert.h"

using namespace SF_SOFT_BASE;

// Every text, the empty one too, survives the way there and back in both code pages and through
// the one-shot helpers; a converter keeps the multibyte copy it made.
TEST(SFStreamConvert, TextsRoundTripAndNullIsEmpty) {
    for (const wchar_t* text : {L"", L"Config/config.xml", L"墙面 Größe", L"\U0001F600 emoji",
                                L"C:\\path\\with spaces"}) {
        for (unsigned int codePage : {CP_ACP, CP_UTF8}) {
            CSFStreamConvert convert;
            const char* made = convert.ToMultiByte(text, codePage);
            std::string narrow = "x";
            convert.GetMultiByte(narrow);
            EXPECT_EQ(narrow, made);
            CSFStreamConvert back;
            EXPECT_EQ(std::wstring(back.ToWideChar(narrow.c_str(), codePage)), text);
        }
        EXPECT_EQ(CSFStreamConvert::ToWide(CSFStreamConvert::ToNarrow(text)), text);
    }
    EXPECT_EQ(CSFStreamConvert::ToNarrow(L"\u00e9"), "\xc3\xa9");
    CSFStreamConvert fromNull(static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(fromNull.GetMultiByte(), "");
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
