#include "SFStreamConvert.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <string_view>

namespace SF_SOFT_BASE {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool LocaleIsUtf8OrAscii() {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || *codeset == '\0') {
        return true;
    }
    std::string_view cs(codeset);
    return cs == "UTF-8" || cs == "utf8" || cs == "ANSI_X3.4-1968" || cs == "ASCII";
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        out.push_back('?');
    } else if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t w : wide) {
        AppendUtf8(out, static_cast<char32_t>(w));
    }
    return out;
}

// Strict UTF-8 decoding: overlong forms, surrogates and truncated sequences each become one
// U+FFFD and decoding resumes at the next byte.
std::wstring Utf8ToWide(std::string_view in) {
    std::wstring out;
    out.reserve(in.size());
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const auto* end = p + in.size();
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++p;
            continue;
        }
        int len = 0;
        char32_t c = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, c = b & 0x07, min = 0x10000;
        }
        bool ok = len != 0 && end - p >= len;
        for (int i = 1; ok && i < len; ++i) {
            ok = (p[i] & 0xC0) == 0x80;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) {
            ok = false;
        }
        if (ok) {
            out.push_back(static_cast<wchar_t>(c));
            p += len;
        } else {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++p;
        }
    }
    return out;
}

// Other locale encodings go through iconv; characters it cannot convert are replaced one at a
// time so the rest of the text survives.
std::string IconvConvert(const char* to, const char* from, const char* data, size_t size,
                         std::string_view replacement, size_t unit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    std::string out;
    char buffer[1024];
    char* in = const_cast<char*>(data);
    size_t inLeft = size;
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.append(replacement);
            size_t skip = inLeft < unit ? inLeft : unit;
            in += skip;
            inLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string CSFStreamConvert::ToNarrow(std::wstring_view wide, unsigned int codePage) {
    if (codePage == CP_UTF8 || LocaleIsUtf8OrAscii()) {
        return WideToUtf8(wide);
    }
    return IconvConvert(nl_langinfo(CODESET), "WCHAR_T", reinterpret_cast<const char*>(wide.data()),
                        wide.size() * sizeof(wchar_t), "?", sizeof(wchar_t));
}

std::wstring CSFStreamConvert::ToWide(std::string_view multiByte, unsigned int codePage) {
    if (codePage == CP_UTF8 || LocaleIsUtf8OrAscii()) {
        return Utf8ToWide(multiByte);
    }
    const wchar_t replacement[] = {static_cast<wchar_t>(kReplacement), 0};
    std::string bytes = IconvConvert(
        "WCHAR_T", nl_langinfo(CODESET), multiByte.data(), multiByte.size(),
        std::string_view(reinterpret_cast<const char*>(replacement), sizeof(wchar_t)), 1);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}

struct CSFStreamConvert::Record {
    std::string multiByte;
    std::wstring wide;
};

CSFStreamConvert::CSFStreamConvert() : m_record(std::make_unique<Record>()) {}

CSFStreamConvert::CSFStreamConvert(const wchar_t* wide, unsigned int codePage)
    : CSFStreamConvert() {
    ToMultiByte(wide, codePage);
}

CSFStreamConvert::CSFStreamConvert(const char* multiByte, unsigned int codePage)
    : CSFStreamConvert() {
    ToWideChar(multiByte, codePage);
}

CSFStreamConvert::~CSFStreamConvert() = default;

const char* CSFStreamConvert::ToMultiByte(const wchar_t* wide, unsigned int codePage) {
    m_record->wide = wide ? wide : L"";
    m_record->multiByte = ToNarrow(m_record->wide, codePage);
    return m_record->multiByte.c_str();
}

const wchar_t* CSFStreamConvert::ToWideChar(const char* multiByte, unsigned int codePage) {
    m_record->multiByte = multiByte ? multiByte : "";
    m_record->wide = ToWide(m_record->multiByte, codePage);
    return m_record->wide.c_str();
}

const char* CSFStreamConvert::GetMultiByte() const {
    return m_record->multiByte.c_str();
}
const wchar_t* CSFStreamConvert::GetWideChar() const {
    return m_record->wide.c_str();
}
void CSFStreamConvert::GetMultiByte(std::string& out) const {
    out = m_record->multiByte;
}
void CSFStreamConvert::GetWideChar(std::wstring& out) const {
    out = m_record->wide;
}

}  // namespace SF_SOFT_BASE
