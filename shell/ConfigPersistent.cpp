#include "shell/ConfigPersistent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <tinyxml2.h>
#include <unistd.h>

#include <QLoggingCategory>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>

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

// Reads the whole file, or nothing when it is missing, unreadable, implausibly large or not a
// regular file (a named pipe or a device under the settings name must not block or feed
// start-up: it is opened without blocking and then refused).
bool ReadFile(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && st.st_size > CConfigXMLPersistImp::kMaxFileSize) {
        qCWarning(lcSettings, "settings file %s is too large (%lld bytes); using defaults",
                  path.c_str(), static_cast<long long>(st.st_size));
        ok = false;
    }
    if (ok) {
        out.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<size_t>(n);
        }
        ok = done == out.size();
    }
    ::close(fd);
    return ok;
}

}  // namespace

CConfigXMLPersistImp::CConfigXMLPersistImp(const wchar_t* path)
    : m_doc(std::make_unique<Document>()) {
    if (path == nullptr) {
        return;
    }
    std::string narrow = CSFStreamConvert::ToNarrow(path);
    std::string text;
    if (!ReadFile(narrow, text)) {
        qCDebug(lcSettings, "no settings file at %s", narrow.c_str());
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
