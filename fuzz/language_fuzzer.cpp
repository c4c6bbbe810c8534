// A language table: every entry of the file translates to its last value, every other key to
// itself, and after a switch to a language whose file lacks a key the earlier text stays.
#include <tinyxml2.h>

#include <cstdint>
#include <map>
#include <string>

#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"
#include "fuzz/FuzzSupport.h"
#include "shell/lang/LanguageTable.h"

namespace {

// The one entry of the second language's file (not a text of the program).
const wchar_t* const kSecondKey = L"Second";

std::wstring Wide(const char* text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToWide(text, SF_SOFT_BASE::CP_UTF8);
}

// What the file should give: the last value of each name, read independently of the table.
std::map<std::wstring, std::wstring> Expected(const std::string& path) {
    std::map<std::wstring, std::wstring> out;
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS || doc.RootElement() == nullptr) {
        return out;
    }
    for (const tinyxml2::XMLElement* e = doc.RootElement()->FirstChildElement(); e;
         e = e->NextSiblingElement()) {
        if (e->Attribute("name") && e->Attribute("value")) {
            out[Wide(e->Attribute("name"))] = Wide(e->Attribute("value"));
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SF_SOFT_BASE::SetApplicationDirectory(fuzzsupport::ScratchDir());
    fuzzsupport::WriteScratch("Lang_1.xml",
                              "<Lang><s name=\"Second\" value=\"2nd\"/></Lang>\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzsupport::WriteScratch(
        "Lang_0.xml", std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(path == LanguageFilePath(0));
    ResetLanguageTables();
    CurrentLanguage = 0;
    const auto expected = Expected(path);

    for (const auto& [name, value] : expected) {
        FUZZ_CHECK(Translate(name.c_str()) == value);
    }
    FUZZ_CHECK(Translate(nullptr).empty());
    const wchar_t* absent = L"\x1F" L"no such key";
    FUZZ_CHECK(expected.count(absent) != 0 || Translate(absent) == absent);

    // Switching keeps the texts read before for keys the new file lacks.
    CurrentLanguage = 1;
    FUZZ_CHECK(Translate(kSecondKey) == L"2nd");
    for (const auto& [name, value] : expected) {
        if (name != kSecondKey) {
            FUZZ_CHECK(Translate(name.c_str()) == value);
        }
    }
    CurrentLanguage = 0;
    return 0;
}
