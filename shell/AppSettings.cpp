#include "shell/AppSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <tinyxml2.h>

#include <QLoggingCategory>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "framework/os/SFAtomicFile.h"
#include "framework/os/SFStreamConvert.h"
#include "shell/ConfigPersistent.h"

Q_DECLARE_LOGGING_CATEGORY(lcSettings)

using SF_SOFT_BASE::CSFStreamConvert;

CAppSettings g_appSettings;

SettingItem& CAppSettings::Append(const wchar_t* section, const wchar_t* key) {
    SettingItem& item = m_items.emplace_back();
    item.section = section;
    item.key = key;
    return item;
}

void CAppSettings::RegisterIntSetting(const wchar_t* section, const wchar_t* key, int32_t* target,
                                      int32_t def, uint32_t scale, uint32_t min, uint32_t max) {
    SettingItem& item = Append(section, key);
    item.intTarget = target;
    item.intDefault = def;
    item.scale = scale;
    item.min = min;
    item.max = max;
}

void CAppSettings::RegisterBoolSetting(const wchar_t* section, const wchar_t* key, bool* target,
                                       bool def) {
    SettingItem& item = Append(section, key);
    item.boolTarget = target;
    item.boolDefault = def;
}

void CAppSettings::RegisterDoubleSetting(const wchar_t* section, const wchar_t* key, double* target,
                                         double def) {
    SettingItem& item = Append(section, key);
    item.doubleTarget = target;
    item.doubleDefault = def;
}

void CAppSettings::RegisterStringSetting(const wchar_t* section, const wchar_t* key,
                                         std::wstring* target, const std::wstring& def) {
    SettingItem& item = Append(section, key);
    item.stringTarget = target;
    item.stringDefault = def;
}

void CAppSettings::LoadSettings(IConfigPersistent* store) {
    if (!m_registered) {
        RegisterIntSetting(L"UIConfig", L"Language", &m_language, 0, 0, 0, 0);
        m_registered = true;
    }
    if (store == nullptr) {
        store = g_configPersistent;
    }
    for (const SettingItem& item : m_items) {
        if (item.boolTarget != nullptr) {
            *item.boolTarget = store ? store->GetBoolValue(item.section, item.key, item.boolDefault)
                                     : item.boolDefault;
        } else if (item.intTarget != nullptr) {
            int32_t value = store ? store->GetIntValue(item.section, item.key, item.intDefault)
                                  : item.intDefault;
            if (item.scale != 0 && item.min < item.max) {
                uint32_t lo = item.min * item.scale;
                uint32_t hi = item.max * item.scale;
                if (static_cast<uint32_t>(value) < lo) {
                    value = static_cast<int32_t>(lo);
                } else if (static_cast<uint32_t>(value) > hi) {
                    value = static_cast<int32_t>(hi);
                }
            }
            *item.intTarget = value;
        } else if (item.doubleTarget != nullptr) {
            *item.doubleTarget =
                store ? store->GetDoubleValue(item.section, item.key, item.doubleDefault)
                      : item.doubleDefault;
        } else if (item.stringTarget != nullptr) {
            std::wstring value =
                store ? store->GetStringValue(item.section, item.key, item.stringDefault)
                      : item.stringDefault;
            *item.stringTarget =
                value.empty() && !item.stringDefault.empty() ? item.stringDefault : value;
        }
    }
}

namespace {

std::string Decimal(long long v) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    (void)ec;
    return std::string(buffer, end);
}

// Shortest text that reads back as the same double, in the C locale.
std::string DecimalDouble(double v) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    (void)ec;
    return std::string(buffer, end);
}

// Writes attribute values so that they read back unchanged. tinyxml2 escapes only & < > " ';
// but a parser normalises raw TAB, LF and CR in an attribute value (XML makes each a space;
// tinyxml2 turns CR and CR LF into LF), so a string setting holding one would come back
// different and the next save would differ from the last. Those three go out as character
// references, which every parser reads back as the character itself.
class CSettingsPrinter : public tinyxml2::XMLPrinter {
public:
    bool VisitEnter(const tinyxml2::XMLElement& element,
                    const tinyxml2::XMLAttribute* attribute) override {
        OpenElement(element.Name(), CompactMode(element));
        for (; attribute != nullptr; attribute = attribute->Next()) {
            Putc(' ');
            Write(attribute->Name());
            Write("=\"");
            for (const char* c = attribute->Value(); *c != '\0'; ++c) {
                const char* reference = Reference(*c);
                reference != nullptr ? Write(reference) : Putc(*c);
            }
            Putc('"');
        }
        return true;
    }

private:
    static const char* Reference(char c) {
        switch (c) {
            case '&':
                return "&amp;";
            case '<':
                return "&lt;";
            case '>':
                return "&gt;";
            case '"':
                return "&quot;";
            case '\'':
                return "&apos;";
            case '\t':
                return "&#9;";
            case '\n':
                return "&#10;";
            case '\r':
                return "&#13;";
            default:
                return nullptr;
        }
    }
};

}  // namespace

std::string CAppSettings::SettingsText() const {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("Setting");
    doc.InsertEndChild(root);
    tinyxml2::XMLElement* sectionElement = nullptr;
    const wchar_t* lastSection = nullptr;
    for (const SettingItem& item : m_items) {
        if (sectionElement == nullptr || lastSection == nullptr ||
            std::wcscmp(lastSection, item.section) != 0) {
            sectionElement = doc.NewElement(CSFStreamConvert::ToNarrow(item.section).c_str());
            root->InsertEndChild(sectionElement);
            lastSection = item.section;
        }
        tinyxml2::XMLElement* e = doc.NewElement(CSFStreamConvert::ToNarrow(item.key).c_str());
        sectionElement->InsertEndChild(e);
        if (item.boolTarget != nullptr) {
            e->SetAttribute("value", *item.boolTarget ? "1" : "0");
            e->SetAttribute("Default", item.boolDefault ? "1" : "0");
            e->SetAttribute("Min", "0");
            e->SetAttribute("Max", "1");
        } else if (item.intTarget != nullptr) {
            e->SetAttribute("value", Decimal(*item.intTarget).c_str());
            e->SetAttribute("Default", Decimal(item.intDefault).c_str());
            e->SetAttribute("Min", Decimal(item.min).c_str());
            e->SetAttribute("Max", Decimal(item.max).c_str());
            e->SetAttribute("Scale", Decimal(item.scale).c_str());
        } else if (item.doubleTarget != nullptr) {
            e->SetAttribute("value", DecimalDouble(*item.doubleTarget).c_str());
            e->SetAttribute("Default", DecimalDouble(item.doubleDefault).c_str());
        } else if (item.stringTarget != nullptr) {
            e->SetAttribute("value", CSFStreamConvert::ToNarrow(*item.stringTarget).c_str());
            e->SetAttribute("Default", CSFStreamConvert::ToNarrow(item.stringDefault).c_str());
        }
    }
    CSettingsPrinter printer;
    doc.Print(&printer);
    return std::string(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
}

bool CAppSettings::SaveSettings() const {
    if (m_filePath.empty()) {
        qCWarning(lcSettings, "settings not saved: no settings file chosen");
        return false;
    }
    if (!WriteFileAtomically(m_filePath, SettingsText())) {
        qCWarning(lcSettings, "settings not saved to %s: %s", m_filePath.c_str(),
                  std::strerror(errno));
        return false;
    }
    return true;
}

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& dir) {
    if (dir.empty() || IsDirectory(dir)) {
        return true;
    }
    size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(dir.substr(0, slash))) {
        return false;
    }
    return ::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

// Whether a file can be created in dir: tried, not inferred from permission bits, which say
// nothing of read-only file systems and little for root.
bool CanCreateFileIn(const std::string& dir) {
    std::string probe = dir + "/.tessaro-probe-XXXXXX";
    int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

}  // namespace

std::string SettingsFilePath(const std::string& appDir, bool installed) {
    std::string configDir = appDir + "/Config";
    if (!installed && CanCreateFileIn(IsDirectory(configDir) ? configDir : appDir)) {
        return configDir + "/config.xml";
    }
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/tessaro/Config/config.xml";
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
    size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    return MakeDirectories(dir) && SF_SOFT_BASE::ReplaceFile(path, text);
}
