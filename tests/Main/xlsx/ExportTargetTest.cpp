// The export dialog's checks of a target, in their order, against real folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "Main/xlsx/ExportTarget.h"
#include "support/TempDir.h"

namespace {

// Free-space answers: none, a failed query, some.
const FreeSpaceQuery NoRoom = [](const char*) -> std::int64_t { return 0; };
const FreeSpaceQuery QueryFails = [](const char*) -> std::int64_t { return -1; };
const FreeSpaceQuery Room = [](const char*) -> std::int64_t { return 1 << 20; };

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

constexpr const wchar_t* kNoFolder = L"Please select a file path.";
constexpr const wchar_t* kNoName = L"Please input a file name.";
constexpr const wchar_t* kIllegal = L"Path contains illegal symbols.";
constexpr const wchar_t* kTooLong = L"The path is too long, please select again.";
constexpr const wchar_t* kNotWritable = L"The folder cannot be written, please select another.";
constexpr const wchar_t* kFull = L"Disk space is full.";

TEST(ExportTargetTest, TheFirstFailedCheckSpeaks) {
    const testsupport::TempDir dir;
    const std::wstring ok = Wide(dir.path());
    const std::wstring aFile = Wide(dir.write("plain", "x"));
    struct Case {
        const char* what;
        std::wstring folder, fileName;
        FreeSpaceQuery query;
        const wchar_t* expected;  // null: the target passes
    };
    const Case cases[] = {
        {"no folder and no name", L"", L"", Room, kNoFolder},
        {"a folder over 519 characters", ok + L"/" + std::wstring(520, L'a'), L"x", Room, kTooLong},
        {"no name", ok, L"", Room, kNoName},
        {"a name of blanks", ok, L" \t\u3000", Room, kNoName},
        {"a folder removed after it was chosen", ok + L"/gone", L"x", Room, kIllegal},
        {"a file in place of the folder", aFile, L"x", Room, kIllegal},
        {"a name over 514 characters", ok, std::wstring(515, L'a'), Room, kTooLong},
        {"a colon", ok, L"a:b", Room, kIllegal},
        {"a question mark", ok, L"a?", Room, kIllegal},
        {"a separator leading out of the folder", ok, L"../x", Room, kIllegal},
        {"a double quote", ok, L"a\"", NoRoom, kIllegal},
        {"the name .", ok, L".", Room, kIllegal},
        {"the name ..", ok, L"..", Room, kIllegal},
        {"dots and blanks", ok, L". .", Room, kIllegal},
        {"illegal symbols before the write test", L"/proc", L"a|b", Room, kIllegal},
        // Root writes through permission bits; /proc refuses new files to everyone.
        {"a folder nobody can write", L"/proc", L"x", NoRoom, kNotWritable},
        {"a full disk", ok, L"x", NoRoom, kFull},
        {"a failing free-space query is no full disk", ok, L"x", QueryFails, nullptr},
        {"a good target", ok, L"DataConfig", Room, nullptr},
        {"dots inside a name", ok, L"v1.2 .final", Room, nullptr},
        {"the system's own query", ok, L"x", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const wchar_t* got = CheckExportTarget(c.folder, c.fileName, c.query);
        EXPECT_EQ(std::wstring(got != nullptr ? got : L"passes"),
                  std::wstring(c.expected != nullptr ? c.expected : L"passes"))
            << c.what;
    }
    // The write test leaves nothing behind.
    const auto entries = std::filesystem::directory_iterator(dir.path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

TEST(ExportTargetTest, StartsInAFolderThatCanBeWritten) {
    const testsupport::TempDir dir;
    EXPECT_EQ(DefaultExportFolder(Wide(dir.path()), false), Wide(dir.path()));
    // An installed program's data folder is never the start, even where it could be written.
    for (const auto& [appDir, installed] :
         {std::pair{std::wstring(L"/proc"), false}, std::pair{Wide(dir.path()), true}}) {
        const std::wstring fallback = DefaultExportFolder(appDir, installed);
        EXPECT_NE(fallback, appDir);
        EXPECT_EQ(ProbeFolderWrite(std::string(fallback.begin(), fallback.end())),
                  FolderWrite::Writable);
    }
}

}  // namespace
