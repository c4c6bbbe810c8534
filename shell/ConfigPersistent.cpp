#include "shell/ConfigPersistent.h"

#include <tinyxml2.h>

#include <QLoggingCategory>

#include <charconv>
#include <cstring>
#include <string_view>

#include "framework/os/SFAtomicFile.h"
#include "framework/os/SFStreamConvert.h"

Q_LOGGING_CATEGORY(lcSettings, "tessaro.settings")

using SF_SOFT_BASE::CSFStreamConvert;

IConfigPersistent* g_configPersistent = nullptr;

struct CConfigXMLPersistImp::Document {
    tinyxml2::XMLDocument xml;
};

namespace {

std::string_view Trimmed(const char* text) {
    std::string_view s(text);
    while (!s.empty() && std::strchr(" \t\r\n", s.front()) != nullptr) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::strchr(" \t\r\n", s.back()) != nullptr) {
        s.remove_suffix(1);
    }
    if (s.size() > 1 && s.front() == '+' && s[1] != '-') {
        s.remove_prefix(1);
    }
    return s;
}

// The whole text must be one number in the C locale; anything else is unreadable.
template <typename T>
bool ParseNumber(const char* text, T& out) {
    std::string_view s = Trimmed(text);
    if (s.empty()) {
        return false;
    }
    T value{};
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) {
        return false;
    }
    out = value;
    return true;
}

bool EqualsNoCase(std::string_view a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != b[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

CConfigXMLPersistImp::CConfigXMLPersistImp(const wchar_t* path)
    : m_doc(std::make_unique<Document>()) {
    if (path == nullptr) {
        return;
    }
    std::string narrow = CSFStreamConvert::ToNarrow(path);
    std::string text;
    // A missing, unreadable or implausibly large file (or anything but a regular file, such as a
    // pipe that would block start-up) leaves the defaults.
    std::string why;
    if (!SF_SOFT_BASE::ReadWholeFile(narrow, text, static_cast<std::size_t>(kMaxFileSize), &why)) {
        qCDebug(lcSettings, "no settings read from %s (%s)", narrow.c_str(), why.c_str());
        return;
    }
    if (m_doc->xml.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        qCWarning(lcSettings, "settings file %s is not readable XML (%s); using defaults",
                  narrow.c_str(), m_doc->xml.ErrorStr());
        m_doc->xml.Clear();
    }
}

CConfigXMLPersistImp::~CConfigXMLPersistImp() = default;

const char* CConfigXMLPersistImp::FindValue(const wchar_t* section, const wchar_t* key) const {
    if (section == nullptr || key == nullptr) {
        return nullptr;
    }
    const tinyxml2::XMLElement* root = m_doc->xml.RootElement();
    if (root == nullptr) {
        return nullptr;
    }
    std::string sectionName = CSFStreamConvert::ToNarrow(section);
    std::string keyName = CSFStreamConvert::ToNarrow(key);
    const tinyxml2::XMLElement* sectionElement = root->FirstChildElement(sectionName.c_str());
    if (sectionElement == nullptr) {
        return nullptr;
    }
    const tinyxml2::XMLElement* keyElement = sectionElement->FirstChildElement(keyName.c_str());
    return keyElement == nullptr ? nullptr : keyElement->Attribute("value");
}

double CConfigXMLPersistImp::GetDoubleValue(const wchar_t* section, const wchar_t* key,
                                            double def) {
    const char* text = FindValue(section, key);
    double value = def;
    return text != nullptr && ParseNumber(text, value) ? value : def;
}

long CConfigXMLPersistImp::GetLongValue(const wchar_t* section, const wchar_t* key, long def) {
    return GetIntValue(section, key, static_cast<int>(def));
}

bool CConfigXMLPersistImp::GetBoolValue(const wchar_t* section, const wchar_t* key, bool def) {
    const char* text = FindValue(section, key);
    if (text == nullptr) {
        return def;
    }
    std::string_view s = Trimmed(text);
    if (EqualsNoCase(s, "true") || EqualsNoCase(s, "yes") || s == "1") {
        return true;
    }
    if (EqualsNoCase(s, "false") || EqualsNoCase(s, "no") || s == "0") {
        return false;
    }
    return def;
}

int CConfigXMLPersistImp::GetIntValue(const wchar_t* section, const wchar_t* key, int def) {
    const char* text = FindValue(section, key);
    int value = def;
    return text != nullptr && ParseNumber(text, value) ? value : def;
}

std::wstring CConfigXMLPersistImp::GetStringValue(const wchar_t* section, const wchar_t* key,
                                                  const std::wstring& def) {
    const char* text = FindValue(section, key);
    return text == nullptr ? def : CSFStreamConvert::ToWide(text);
}

void CConfigXMLPersistImp::LoadFromText(const char* xmlText) {
    if (xmlText == nullptr) {
        return;
    }
    tinyxml2::XMLDocument parsed;
    if (parsed.Parse(xmlText) != tinyxml2::XML_SUCCESS) {
        qCWarning(lcSettings, "settings text is not readable XML (%s)", parsed.ErrorStr());
        return;
    }
    for (const tinyxml2::XMLNode* node = parsed.FirstChild(); node != nullptr;
         node = node->NextSibling()) {
        m_doc->xml.InsertEndChild(node->DeepClone(&m_doc->xml));
    }
}
