#pragma once
// Conversion of one text between its wide form (std::wstring, UTF-32 on Linux) and its
// multibyte form in a code page. Code page 0 is the locale's 8-bit encoding (UTF-8 on Debian;
// a plain "C"/POSIX locale is read as UTF-8 too, so that non-ASCII paths survive a bare
// environment); CP_UTF8 (65001) is UTF-8 whatever the locale says.
//
// Invalid input never fails the conversion: a malformed multibyte sequence becomes U+FFFD and a
// wide character the target encoding cannot hold becomes '?', as the Windows converters do with
// flags 0. Any thread may use its own converter; one object is not shared between threads.
#include <memory>
#include <string>

namespace SF_SOFT_BASE {

inline constexpr unsigned int CP_ACP = 0;
inline constexpr unsigned int CP_UTF8 = 65001;

class CSFStreamConvert {
public:
    CSFStreamConvert();
    explicit CSFStreamConvert(const wchar_t* wide, unsigned int codePage = CP_ACP);
    explicit CSFStreamConvert(const char* multiByte, unsigned int codePage = CP_ACP);
    ~CSFStreamConvert();
    CSFStreamConvert(const CSFStreamConvert&) = delete;
    CSFStreamConvert& operator=(const CSFStreamConvert&) = delete;

    // Replace both copies from a wide text (null counts as empty) and return the multibyte one.
    const char* ToMultiByte(const wchar_t* wide, unsigned int codePage = CP_ACP);
    // Replace both copies from a multibyte text (null counts as empty) and return the wide one.
    const wchar_t* ToWideChar(const char* multiByte, unsigned int codePage = CP_ACP);

    // Zero-terminated views of the current copies; valid until the next conversion.
    const char* GetMultiByte() const;
    const wchar_t* GetWideChar() const;
    void GetMultiByte(std::string& out) const;
    void GetWideChar(std::wstring& out) const;

    // Stateless helpers for the common one-shot case.
    static std::string ToNarrow(std::wstring_view wide, unsigned int codePage = CP_ACP);
    static std::wstring ToWide(std::string_view multiByte, unsigned int codePage = CP_ACP);

private:
    struct Record;
    std::unique_ptr<Record> m_record;
};

}  // namespace SF_SOFT_BASE
