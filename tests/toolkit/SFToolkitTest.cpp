// The toolkit-wide conversions: the application directory as a wide string and the bounded
// copy into the local 8-bit encoding.
#include "framework/os/SFAppDir.h"
#include "toolkit/SFToolkit.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

TEST(Utf8ToLocal, CopiesWholeCharactersAndTerminates) {
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(SFUtf8ToLocal("abc", out, sizeof out), 3);
    EXPECT_STREQ(out, "abc");
    // "中文" is two three-byte characters: with room for five bytes only the first fits.
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(SFUtf8ToLocal("\xE4\xB8\xAD\xE6\x96\x87", out, 6), 3);
    EXPECT_STREQ(out, "\xE4\xB8\xAD");
    EXPECT_EQ(SFUtf8ToLocal(nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(SFUtf8ToLocal("abc", out, 1), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(SFUtf8ToLocal("abc", out, 0), 0);
    EXPECT_EQ(SFUtf8ToLocal("abc", nullptr, 4), 0);
}

TEST(Utf8ToLocal, SingleByteLocaleKeepsEveryCharacterThatFits) {
    // In a single-byte code page the bytes 0x80-0xBF are whole characters ("£" is 0xA3).
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "en_GB.iso885915") == nullptr) {
        GTEST_SKIP() << "no ISO-8859-15 locale installed";
    }
    char out[8];
    const int copied = SFUtf8ToLocal("\xC2\xA3\xC2\xA3\xC2\xA3", out, 3);
    const std::string text(out);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(copied, 2);
    EXPECT_EQ(text, "\xA3\xA3");
}

TEST(AppPath, IsTheApplicationDirectoryAsWideText) {
    SF_SOFT_BASE::SetApplicationDirectory("/tmp/Tessaro \xE6\xB5\x8B\xE8\xAF\x95");
    EXPECT_EQ(SFGetAppPath(), std::wstring(L"/tmp/Tessaro \u6D4B\u8BD5"));
}

}  // namespace
