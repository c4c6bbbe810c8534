// The settings file: what a user's file reads as, what a save writes, and that a bad file or an
// unwritable folder never costs more than the default.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <iterator>
#include <string>
#include <variant>

#include "shell/AppSettings.h"
#include "shell/ConfigPersistent.h"
#include "support/TempDir.h"

using testsupport::TempDir;

namespace {

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// The language section with the value text given, and a settings file holding it.
std::string Section(const std::string& value) {
    return "<UIConfig><Language value=\"" + value + "\"/></UIConfig>";
}
std::string Doc(const std::string& value) {
    return "<Setting>" + Section(value) + "</Setting>";
}

// Entries in a folder: a save leaves nothing but its file behind.
long Entries(const std::string& dir) {
    return std::distance(std::filesystem::directory_iterator(dir),
                         std::filesystem::directory_iterator());
}

struct FileCase {
    const char* name;
    std::string text;
    int language;
};

class SettingsFileReading : public testing::TestWithParam<FileCase> {};

// The language read from a file with this text; reading never rewrites the user's file.
TEST_P(SettingsFileReading, GivesTheDocumentedLanguage) {
    TempDir dir;
    const std::string path = dir.write("config.xml", GetParam().text);
    CConfigXMLPersistImp store(Wide(path).c_str());
    CAppSettings settings;
    settings.SetFilePath(path);
    settings.LoadSettings(&store);
    EXPECT_EQ(settings.m_language, GetParam().language);
    EXPECT_EQ(TempDir::read(path), GetParam().text);
}

// A large document that is still a settings file (comments pad it) is read; one beyond the
// size limit is not a settings file.
std::string Padded(size_t bytes) {
    std::string s = "<Setting>" + Section("1");
    while (s.size() < bytes) {
        s += "<!-- padding padding padding padding padding padding padding padding -->\n";
    }
    return s + "</Setting>";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileReading,
    testing::Values(
        FileCase{"Chinese", Doc("1"), 1}, FileCase{"SevenIsKeptUnclamped", Doc("7"), 7},
        FileCase{"Empty", "", 0}, FileCase{"Truncated", Doc("1").substr(0, 38), 0},
        FileCase{"Binary", std::string("\177ELF\2\1\1\0\0\0\377\376", 12), 0},
        FileCase{"NotANumber", Doc("abc"), 0}, FileCase{"TrailingGarbage", Doc("1abc"), 0},
        FileCase{"OutOf32Bits", Doc("99999999999"), 0}, FileCase{"Negative", Doc("-3"), -3},
        FileCase{"SpacesAround", Doc(" 1 "), 1},
        FileCase{"NoValueAttribute",
                 "<Setting><UIConfig><Language Default=\"1\"/></UIConfig></Setting>", 0},
        FileCase{"OtherRootName", "<Whatever>" + Section("1") + "</Whatever>", 1},
        FileCase{"DeclarationAndCommentBeforeRoot",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- mine -->\n" + Doc("1"), 1},
        FileCase{"DuplicateSectionsFirstWins",
                 "<Setting>" + Section("1") + Section("0") + "</Setting>", 1},
        FileCase{"SectionInWrongPlace", "<Setting><Other>" + Section("1") + "</Other></Setting>",
                 0},
        FileCase{"LargeButValid", Padded(1024 * 1024), 1},
        FileCase{"Huge", Padded(CConfigXMLPersistImp::kMaxFileSize + 1), 0}),
    [](const testing::TestParamInfo<FileCase>& p) { return std::string(p.param.name); });

// A missing file, or something that is not a regular file under the settings name (here a
// named pipe nobody writes to), gives the defaults at once instead of blocking start-up.
TEST(SettingsFile, AMissingFileOrANamedPipeGivesDefaultsWithoutBlocking) {
    TempDir dir;
    const std::string path = dir.file("config.xml");
    EXPECT_EQ(CConfigXMLPersistImp(Wide(path).c_str()).GetIntValue(L"UIConfig", L"Language", 5), 5);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int writer = ::open(path.c_str(), O_RDWR | O_NONBLOCK);  // a reader would wait for it
    ASSERT_GE(writer, 0);
    auto reading = std::async(std::launch::async, [&path] {
        return CConfigXMLPersistImp(Wide(path).c_str()).GetIntValue(L"UIConfig", L"Language", 5);
    });
    const bool returned = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    ::close(writer);  // ends the read of a blocked reader, so the test ends
    EXPECT_TRUE(returned) << "reading the settings blocked on a named pipe";
    EXPECT_EQ(reading.get(), 5);
}

// The store read from text (a null path gives an empty document, text that does not parse adds
// nothing): each getter reads its own type or gives its default.
TEST(SettingsFile, TypedGettersReadTheirTypeOrFallBack) {
    CConfigXMLPersistImp store(nullptr);
    store.LoadFromText(nullptr);
    store.LoadFromText("<broken");
    EXPECT_EQ(store.GetStringValue(L"A", L"Str", L"def"), L"def");
    store.LoadFromText(
        "<S><A>"
        "<T1 value=\"TRUE\"/><T2 value=\"yes\"/><T3 value=\"1\"/>"
        "<F1 value=\"False\"/><F2 value=\"NO\"/><F3 value=\"0\"/><X value=\"maybe\"/>"
        "<D value=\"2.5\"/><Dbad value=\"2,5\"/><Dexp value=\"-1e3\"/>"
        "<Str value=\"\xE4\xB8\xAD\xE6\x96\x87\"/>"
        "</A></S>");
    for (const wchar_t* key : {L"T1", L"T2", L"T3", L"F1", L"F2", L"F3"}) {
        EXPECT_EQ(store.GetBoolValue(L"A", key, key[0] == L'F'), key[0] == L'T') << key;
    }
    EXPECT_TRUE(store.GetBoolValue(L"A", L"X", true));
    EXPECT_FALSE(store.GetBoolValue(L"A", L"X", false));
    EXPECT_DOUBLE_EQ(store.GetDoubleValue(L"A", L"D", 0), 2.5);
    EXPECT_DOUBLE_EQ(store.GetDoubleValue(L"A", L"Dbad", 9), 9);  // never the user's locale
    EXPECT_DOUBLE_EQ(store.GetDoubleValue(L"A", L"Dexp", 0), -1000);
    EXPECT_EQ(store.GetStringValue(L"A", L"Str", L""), L"\u4E2D\u6587");
    EXPECT_EQ(store.GetLongValue(L"A", L"D", 4), 4);
}

// Limits are unsigned: a negative value is a very large one and is clamped to the top; a scale of
// 0, or a minimum not below the maximum, turns the limits off.
TEST(SettingsFile, IntegersFollowScaledUnsignedLimits) {
    const struct {
        int value;
        uint32_t scale, min, max;
        int expected;
    } cases[] = {{5, 1, 0, 10, 5},   {250, 10, 3, 20, 200}, {10, 10, 3, 20, 30},
                 {-1, 1, 0, 10, 10}, {99, 0, 0, 10, 99},    {99, 1, 10, 10, 99}};
    for (const auto& c : cases) {
        CConfigXMLPersistImp store(nullptr);
        store.LoadFromText(
            ("<S><Sec><K value=\"" + std::to_string(c.value) + "\"/></Sec></S>").c_str());
        CAppSettings settings;
        int32_t target = 0;
        settings.RegisterIntSetting(L"Sec", L"K", &target, 0, c.scale, c.min, c.max);
        settings.LoadSettings(&store);
        EXPECT_EQ(target, c.expected) << c.value << " scale " << c.scale;
    }
}

// Every type of setting, saved, loaded and saved again, gives the same value and the same file
// byte for byte; the file is the documented text, and the save makes the file's folder and
// leaves nothing else in it.
using Value = std::variant<bool, int32_t, double, std::wstring>;

struct RoundTripCase {
    const char* name;
    Value value;
    const char* element;  // the setting's line in the file
};

// Section "S", key "K", bound to target with its type's default.
void Register(CAppSettings& settings, Value& target) {
    if (auto* b = std::get_if<bool>(&target)) {
        settings.RegisterBoolSetting(L"S", L"K", b, false);
    } else if (auto* i = std::get_if<int32_t>(&target)) {
        settings.RegisterIntSetting(L"S", L"K", i, 0, 0, 0, 0);
    } else if (auto* d = std::get_if<double>(&target)) {
        settings.RegisterDoubleSetting(L"S", L"K", d, 2.5);
    } else {
        settings.RegisterStringSetting(L"S", L"K", std::get_if<std::wstring>(&target), L"");
    }
}

class SettingsRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SettingsRoundTrip, SavedLoadedAndSavedAgainGivesTheSameFileAndValue) {
    TempDir dir;
    const std::string path = dir.file("app/Config/config.xml");
    Value written = GetParam().value;
    CAppSettings first;
    Register(first, written);
    first.LoadSettings(nullptr);  // registers the application's settings too
    written = GetParam().value;
    first.SetFilePath(path);
    ASSERT_TRUE(first.SaveSettings());
    const std::string text = TempDir::read(path);
    EXPECT_EQ(text, std::string("<Setting>\n    <S>\n        ") + GetParam().element +
                        "\n    </S>\n    <UIConfig>\n        <Language value=\"0\" Default=\"0\" "
                        "Min=\"0\" Max=\"0\" Scale=\"0\"/>\n    </UIConfig>\n</Setting>\n");

    Value read = written;
    std::visit([](auto& v) { v = {}; }, read);
    CAppSettings second;
    Register(second, read);
    second.SetFilePath(path);
    CConfigXMLPersistImp store(Wide(path).c_str());
    second.LoadSettings(&store);
    EXPECT_EQ(read, written);
    ASSERT_TRUE(second.SaveSettings());
    EXPECT_EQ(TempDir::read(path), text);
    EXPECT_EQ(Entries(dir.file("app/Config")), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SettingsRoundTrip,
    testing::Values(
        RoundTripCase{"BoolTrue", true, "<K value=\"1\" Default=\"0\" Min=\"0\" Max=\"1\"/>"},
        RoundTripCase{"IntNegative", int32_t{-7},
                      "<K value=\"-7\" Default=\"0\" Min=\"0\" Max=\"0\" Scale=\"0\"/>"},
        RoundTripCase{"IntLargest", int32_t{2147483647},
                      "<K value=\"2147483647\" Default=\"0\" Min=\"0\" Max=\"0\" Scale=\"0\"/>"},
        RoundTripCase{"DoubleShortest", 0.1, "<K value=\"0.1\" Default=\"2.5\"/>"},
        RoundTripCase{"DoubleExponent", -1e300, "<K value=\"-1e+300\" Default=\"2.5\"/>"},
        RoundTripCase{"StringChinese", std::wstring(L"\u4E2D"),
                      "<K value=\"\xE4\xB8\xAD\" Default=\"\"/>"},
        RoundTripCase{"StringLineEndsAndTab", std::wstring(L"\r\n\tx\n"),
                      "<K value=\"&#13;&#10;&#9;x&#10;\" Default=\"\"/>"},
        RoundTripCase{"StringMarkupAndSpaces", std::wstring(L" <&>\"' "),
                      "<K value=\" &lt;&amp;&gt;&quot;&apos; \" Default=\"\"/>"}),
    [](const testing::TestParamInfo<RoundTripCase>& p) { return std::string(p.param.name); });

// A save that cannot write keeps the value; one whose replace fails (the target is a directory
// that is not empty) leaves what was there whole and no temporary file behind.
TEST(SettingsSave, AFailedSaveKeepsTheValueAndTheOldFile) {
    CAppSettings settings;
    settings.SetFilePath("/dev/null/Config/config.xml");  // a folder that cannot exist
    settings.m_language = 1;
    settings.LoadSettings(nullptr);  // no store at all: the default
    EXPECT_EQ(settings.m_language, 0);
    settings.m_language = 1;
    EXPECT_FALSE(settings.SaveSettings());
    EXPECT_EQ(settings.m_language, 1);

    TempDir dir;
    const std::string path = dir.file("Config/config.xml");
    std::filesystem::create_directories(path + "/occupied");
    EXPECT_FALSE(WriteFileAtomically(path, "new"));
    EXPECT_TRUE(std::filesystem::is_directory(path + "/occupied"));
    EXPECT_EQ(Entries(dir.file("Config")), 1) << "the temporary file was left behind";
}

TEST(SettingsLocation, AppDirectoryWhenWritableElseXdgConfigHome) {
    TempDir dir;
    EXPECT_EQ(SettingsFilePath(dir.path()), dir.path() + "/Config/config.xml");

    TempDir xdg;
    ::setenv("XDG_CONFIG_HOME", xdg.path().c_str(), 1);
    EXPECT_EQ(SettingsFilePath("/proc/self"), xdg.path() + "/tessaro/Config/config.xml");
    // An installed program's data folder is the package's, even where this user may write.
    EXPECT_EQ(SettingsFilePath(dir.path(), true), xdg.path() + "/tessaro/Config/config.xml");
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(SettingsFilePath("/proc/self"), "/home/someone/.config/tessaro/Config/config.xml");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath("/proc/self"), "/home/someone/.config/tessaro/Config/config.xml");
    // The probe leaves nothing behind in a writable application directory.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
