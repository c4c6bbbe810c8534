#pragma once
// The settings registry: which settings exist, their defaults and limits, and the one file they
// are loaded from and saved to. GUI thread only.
//
// The file is Config/config.xml under the application directory when that folder is writable
// and not an installed program's, otherwise $XDG_CONFIG_HOME/tessaro/Config/config.xml (see
// SettingsFilePath). Loading and saving use the same file, so a program started from any working
// directory keeps its settings.
#include <cstdint>
#include <string>
#include <vector>

class IConfigPersistent;

// One registered setting. Exactly one target pointer is set; it decides the type.
struct SettingItem {
    const wchar_t* section = nullptr;
    const wchar_t* key = nullptr;
    bool* boolTarget = nullptr;
    int32_t* intTarget = nullptr;
    double* doubleTarget = nullptr;
    std::wstring* stringTarget = nullptr;
    bool boolDefault = false;
    int32_t intDefault = 0;
    double doubleDefault = 0.0;
    std::wstring stringDefault;
    uint32_t scale = 0;  // integer settings: multiplier of min and max; 0 = no range check
    uint32_t min = 0;
    uint32_t max = 0;
};

class CAppSettings {
public:
    // The user-interface language: 0 = English, any other value = Chinese.
    int32_t m_language = 0;

    // Registration appends in call order. Items of one section must be registered together: a
    // section registered in two separate runs is written twice and read from its first copy.
    void RegisterIntSetting(const wchar_t* section, const wchar_t* key, int32_t* target,
                            int32_t def, uint32_t scale, uint32_t min, uint32_t max);
    void RegisterBoolSetting(const wchar_t* section, const wchar_t* key, bool* target, bool def);
    void RegisterDoubleSetting(const wchar_t* section, const wchar_t* key, double* target,
                               double def);
    void RegisterStringSetting(const wchar_t* section, const wchar_t* key, std::wstring* target,
                               const std::wstring& def);

    // Registers this application's settings (once) and reads each through the store (the
    // process-wide one when store is null; no store at all gives the defaults). An integer with
    // scale != 0 and min < max is clamped to [min × scale, max × scale] with unsigned 32-bit
    // comparisons, so a negative value counts as very large.
    void LoadSettings(IConfigPersistent* store = nullptr);

    // Writes every registered setting to the settings file, replacing it atomically (a crash or
    // a full disk leaves the old file whole) and creating its folder when missing. Returns false
    // when it could not be written; the values in memory stay as they are.
    bool SaveSettings() const;

    // The text SaveSettings writes: root "Setting", one element per section in registration
    // order, one empty element per setting with its attributes, four spaces per level. Values
    // read back unchanged: besides & < > " ', TAB, LF and CR are written as character
    // references, so saving what was loaded gives the same file again.
    std::string SettingsText() const;

    // The file LoadSettings' caller read and SaveSettings writes; set by start-up.
    void SetFilePath(const std::string& path) { m_filePath = path; }
    const std::string& FilePath() const { return m_filePath; }

    const std::vector<SettingItem>& Items() const { return m_items; }

private:
    SettingItem& Append(const wchar_t* section, const wchar_t* key);

    std::vector<SettingItem> m_items;
    std::string m_filePath;
    bool m_registered = false;
};

// The application's settings, one object for the process.
extern CAppSettings g_appSettings;

// Where the settings file lives for this application directory: appDir/Config/config.xml when
// appDir (or its Config folder) is writable and the program is not `installed` (its data in
// ../share/tessaro, owned by the package manager), else
// $XDG_CONFIG_HOME/tessaro/Config/config.xml (XDG_CONFIG_HOME defaulting to ~/.config).
std::string SettingsFilePath(const std::string& appDir, bool installed = false);

// Writes text to path through a temporary file in the same folder, flushed to disk and renamed
// over the target (SF_SOFT_BASE::ReplaceFile: a symlinked file stays a link, the mode is kept);
// creates missing folders. On failure nothing is left behind and the old file stays whole.
bool WriteFileAtomically(const std::string& path, const std::string& text);
