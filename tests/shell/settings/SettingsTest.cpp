// The settings file: what a user's file reads as, what a save writes, and that a bad file or an
// unwritable folder never costs more than the default.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "shell/AppSettings.h"
#include "shell/ConfigPersistent.h"
#include "support/TempDir.h"

using testsupport::TempDir;

namespace {

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

int LanguageFrom(const std::string& fileText) {
    TempDir dir;
    std::string path = dir.write("config.xml", fileText);
    CConfigXMLPersistImp store(Wide(path).c_str());
    CAppSettings settings;
    settings.LoadSettings(&store);
    return settings.m_language;
}

struct FileCase {
    const char* name;
    std::string text;
    int language;
};

class SettingsFileReading : public testing::TestWithParam<FileCase> {};

TEST_P(SettingsFileReading, GivesTheDocumentedLanguage) {
    EXPECT_EQ(LanguageFrom(GetParam().text), GetParam().language);
}

std::string Binary() {
    std::string s;
    for (int i = 0; i < 4096; ++i) {
        s.push_back(static_cast<char>((i * 7919) & 0xFF));
    }
    return s;
}

// A large document that is still a settings file (comments pad it) is read; one beyond the
// size limit is not a settings file.
std::string Padded(size_t bytes) {
    std::string s = "<Setting><UIConfig><Language value=\"1\"/></UIConfig>";
    while (s.size() < bytes) {
        s += "<!-- padding padding padding padding padding padding padding padding -->\n";
    }
    return s + "</Setting>";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileReading,
    testing::Values(
        FileCase{"Chinese", "<Setting><UIConfig><Language value=\"1\"/></UIConfig></Setting>", 1},
        FileCase{"SevenIsKeptUnclamped",
                 "<Setting><UIConfig><Language value=\"7\"/></UIConfig></Setting>", 7},
        FileCase{"Empty", "", 0},
        FileCase{"Truncated", "<Setting><UIConfig><Language value=\"1\"", 0},
        FileCase{"Binary", Binary(), 0},
        FileCase{"NotANumber", "<Setting><UIConfig><Language value=\"abc\"/></UIConfig></Setting>",
                 0},
        FileCase{"TrailingGarbage",
                 "<Setting><UIConfig><Language value=\"1abc\"/></UIConfig></Setting>", 0},
        FileCase{"OutOf32Bits",
                 "<Setting><UIConfig><Language value=\"99999999999\"/></UIConfig></Setting>", 0},
        FileCase{"Negative", "<Setting><UIConfig><Language value=\"-3\"/></UIConfig></Setting>",
                 -3},
        FileCase{"SpacesAround",
                 "<Setting><UIConfig><Language value=\" 1 \"/></UIConfig></Setting>", 1},
        FileCase{"NoValueAttribute",
                 "<Setting><UIConfig><Language Default=\"1\"/></UIConfig></Setting>", 0},
        FileCase{"OtherRootName",
                 "<Whatever><UIConfig><Language value=\"1\"/></UIConfig></Whatever>", 1},
        FileCase{"DeclarationAndCommentBeforeRoot",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- mine -->\n"
                 "<Setting><UIConfig><Language value=\"1\"/></UIConfig></Setting>",
                 1},
        FileCase{"DuplicateSectionsFirstWins",
                 "<Setting><UIConfig><Language value=\"1\"/></UIConfig>"
                 "<UIConfig><Language value=\"0\"/></UIConfig></Setting>",
                 1},
        FileCase{"SectionInWrongPlace",
                 "<Setting><Other><UIConfig><Language value=\"1\"/></UIConfig></Other></Setting>",
                 0},
        FileCase{"LargeButValid", Padded(1024 * 1024), 1},
        FileCase{"Huge", Padded(CConfigXMLPersistImp::kMaxFileSize + 1), 0}),
    [](const testing::TestParamInfo<FileCase>& p) { return std::string(p.param.name); });

TEST(SettingsFile, MissingFileAndNullPathGiveDefaults) {
    TempDir dir;
    CConfigXMLPersistImp missing(Wide(dir.file("nothing.xml")).c_str());
    EXPECT_EQ(missing.GetIntValue(L"UIConfig", L"Language", 5), 5);
    CConfigXMLPersistImp null(nullptr);
    EXPECT_EQ(null.GetIntValue(L"UIConfig", L"Language", 5), 5);
    EXPECT_EQ(null.GetStringValue(L"A", L"B", L"def"), L"def");
}

// Something that is not a regular file under the settings name (here a named pipe nobody
// writes to) gives the defaults at once instead of blocking start-up.
TEST(SettingsFile, ANamedPipeInPlaceOfTheFileGivesDefaultsWithoutBlocking) {
    TempDir dir;
    const std::string path = dir.file("config.xml");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&path] {
        CConfigXMLPersistImp store(Wide(path).c_str());
        return store.GetIntValue(L"UIConfig", L"Language", 5);
    });
    const bool returned = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!returned) {
        // Release the blocked reader so the test ends: a writer that closes at once.
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd >= 0) {
            ::close(fd);
        }
    }
    EXPECT_TRUE(returned) << "reading the settings blocked on a named pipe";
    EXPECT_EQ(reading.get(), 5);
}

TEST(SettingsFile, TypedGettersReadTheirTypeOrFallBack) {
    CConfigXMLPersistImp store(nullptr);
    store.LoadFromText(
        "<S><A>"
        "<T1 value=\"TRUE\"/><T2 value=\"yes\"/><T3 value=\"1\"/>"
        "<F1 value=\"False\"/><F2 value=\"NO\"/><F3 value=\"0\"/><X value=\"maybe\"/>"
        "<D value=\"2.5\"/><Dbad value=\"2,5\"/><Dexp value=\"-1e3\"/>"
        "<Str value=\"\xE4\xB8\xAD\xE6\x96\x87\"/>"
        "</A></S>");
    for (const wchar_t* key : {L"T1", L"T2", L"T3"}) {
        EXPECT_TRUE(store.GetBoolValue(L"A", key, false)) << key;
    }
    for (const wchar_t* key : {L"F1", L"F2", L"F3"}) {
        EXPECT_FALSE(store.GetBoolValue(L"A", key, true)) << key;
    }
    EXPECT_TRUE(store.GetBoolValue(L"A", L"X", true));
    EXPECT_FALSE(store.GetBoolValue(L"A", L"X", false));
    EXPECT_DOUBLE_EQ(store.GetDoubleValue(L"A", L"D", 0), 2.5);
    EXPECT_DOUBLE_EQ(store.GetDoubleValue(L"A", L"Dbad", 9), 9);  // never the user's locale
    EXPECT_DOUBLE_EQ(store.GetDoubleValue(L"A", L"Dexp", 0), -1000);
    EXPECT_EQ(store.GetStringValue(L"A", L"Str", L""), L"\u4E2D\u6587");
    EXPECT_EQ(store.GetStringValue(L"A", L"Missing", L"def"), L"def");
    EXPECT_EQ(store.GetLongValue(L"A", L"D", 4), 4);
}

TEST(SettingsFile, LoadFromTextAddsToTheDocumentAndIgnoresNull) {
    CConfigXMLPersistImp store(nullptr);
    store.LoadFromText(nullptr);
    store.LoadFromText("<broken");
    EXPECT_EQ(store.GetIntValue(L"UIConfig", L"Language", -1), -1);
    store.LoadFromText("<Setting><UIConfig><Language value=\"1\"/></UIConfig></Setting>");
    EXPECT_EQ(store.GetIntValue(L"UIConfig", L"Language", -1), 1);
}

struct ClampCase {
    const char* name;
    int value;
    uint32_t scale, min, max;
    int expected;
};

class IntegerClamping : public testing::TestWithParam<ClampCase> {};

// Limits are unsigned: a negative value is a very large one and is clamped to the top.
TEST_P(IntegerClamping, FollowsScaledUnsignedLimits) {
    const ClampCase& c = GetParam();
    CConfigXMLPersistImp store(nullptr);
    store.LoadFromText(
        ("<S><Sec><K value=\"" + std::to_string(c.value) + "\"/></Sec></S>").c_str());
    CAppSettings settings;
    int32_t target = 0;
    settings.RegisterIntSetting(L"Sec", L"K", &target, 0, c.scale, c.min, c.max);
    settings.LoadSettings(&store);
    EXPECT_EQ(target, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerClamping,
    testing::Values(ClampCase{"InRange", 5, 1, 0, 10, 5}, ClampCase{"AboveMax", 50, 1, 0, 10, 10},
                    ClampCase{"BelowMin", 1, 1, 2, 10, 2}, ClampCase{"Scaled", 250, 10, 3, 20, 200},
                    ClampCase{"ScaledBelow", 10, 10, 3, 20, 30},
                    ClampCase{"NegativeIsLarge", -1, 1, 0, 10, 10},
                    ClampCase{"ScaleZeroDisables", 99, 0, 0, 10, 99},
                    ClampCase{"MinNotBelowMaxDisables", 99, 1, 10, 10, 99}),
    [](const testing::TestParamInfo<ClampCase>& p) { return std::string(p.param.name); });

TEST(SettingsSave, WritesTheDocumentedTextForEachType) {
    CAppSettings settings;
    settings.m_language = 1;
    settings.LoadSettings(nullptr);  // registers; no store: the default 0
    EXPECT_EQ(settings.m_language, 0);
    settings.m_language = 1;
    EXPECT_EQ(settings.SettingsText(),
              "<Setting>\n"
              "    <UIConfig>\n"
              "        <Language value=\"1\" Default=\"0\" Min=\"0\" Max=\"0\" Scale=\"0\"/>\n"
              "    </UIConfig>\n"
              "</Setting>\n");

    bool flag = true;
    double ratio = 0.1;
    std::wstring name = L"\u4E2D";
    CAppSettings other;
    other.RegisterBoolSetting(L"A", L"Flag", &flag, false);
    other.RegisterDoubleSetting(L"A", L"Ratio", &ratio, 2.5);
    other.RegisterStringSetting(L"B", L"Name", &name, L"");
    EXPECT_EQ(other.SettingsText(),
              "<Setting>\n"
              "    <A>\n"
              "        <Flag value=\"1\" Default=\"0\" Min=\"0\" Max=\"1\"/>\n"
              "        <Ratio value=\"0.1\" Default=\"2.5\"/>\n"
              "    </A>\n"
              "    <B>\n"
              "        <Name value=\"\xE4\xB8\xAD\" Default=\"\"/>\n"
              "    </B>\n"
              "</Setting>\n");
}

TEST(SettingsSave, RoundTripsThroughTheSameFileAndCreatesItsFolder) {
    TempDir dir;
    std::string path = dir.file("app/Config/config.xml");
    CAppSettings settings;
    settings.SetFilePath(path);
    settings.LoadSettings(nullptr);
    settings.m_language = 1;
    ASSERT_TRUE(settings.SaveSettings());

    CConfigXMLPersistImp store(Wide(path).c_str());
    CAppSettings reread;
    reread.LoadSettings(&store);
    EXPECT_EQ(reread.m_language, 1);

    settings.m_language = 0;
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_NE(TempDir::read(path).find("value=\"0\""), std::string::npos);
    // Nothing but the file itself is left in its folder.
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.file("app/Config"))) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(SettingsSave, UnwritableFolderFailsQuietlyAndKeepsTheValue) {
    CAppSettings settings;
    settings.SetFilePath("/dev/null/Config/config.xml");  // a folder that cannot exist
    settings.LoadSettings(nullptr);
    settings.m_language = 1;
    EXPECT_FALSE(settings.SaveSettings());
    EXPECT_EQ(settings.m_language, 1);
}

TEST(SettingsSave, LoadingNeverRewritesTheUsersFile) {
    TempDir dir;
    const std::string text = "<Setting><UIConfig><Language value=\"abc\"/></UIConfig></Setting>";
    std::string path = dir.write("config.xml", text);
    CConfigXMLPersistImp store(Wide(path).c_str());
    CAppSettings settings;
    settings.SetFilePath(path);
    settings.LoadSettings(&store);
    EXPECT_EQ(TempDir::read(path), text);
}

TEST(SettingsSave, FailedReplaceLeavesTheOldFileWhole) {
    TempDir dir;
    std::string path = dir.write("Config/config.xml", "old");
    // A directory squatting on the temporary name's folder is not possible; instead make the
    // target a directory so rename fails after the temporary file was written.
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/occupied");
    EXPECT_FALSE(WriteFileAtomically(path, "new"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.file("Config"))) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "the temporary file was left behind";
}

// A user who keeps the settings elsewhere and links them in keeps the link.
TEST(SettingsSave, ASymlinkedSettingsFileStaysALink) {
    TempDir dir;
    std::string real = dir.write("dotfiles/tessaro.xml", "old");
    std::filesystem::create_directories(dir.file("Config"));
    std::filesystem::create_symlink(real, dir.file("Config/config.xml"));
    ASSERT_TRUE(WriteFileAtomically(dir.file("Config/config.xml"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("Config/config.xml")));
    EXPECT_EQ(TempDir::read(real), "new");
}

TEST(SettingsLocation, AppDirectoryWhenWritableElseXdgConfigHome) {
    TempDir dir;
    EXPECT_EQ(SettingsFilePath(dir.path()), dir.path() + "/Config/config.xml");

    TempDir xdg;
    ::setenv("XDG_CONFIG_HOME", xdg.path().c_str(), 1);
    EXPECT_EQ(SettingsFilePath("/proc/self"), xdg.path() + "/tessaro/Config/config.xml");
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(SettingsFilePath("/proc/self"), "/home/someone/.config/tessaro/Config/config.xml");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath("/proc/self"), "/home/someone/.config/tessaro/Config/config.xml");
    // The probe leaves nothing behind in a writable application directory.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
