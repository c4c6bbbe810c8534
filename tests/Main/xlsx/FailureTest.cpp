// Faults around the target: each gives its notice, leaves an existing file byte-identical and
// leaves no temporary file behind.
#include "Main/xlsx/ExportData.h"
#include "XlsxTestSupport.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

using namespace XlsxTest;

namespace {

// Runs `body` in a child process, by default without root's right to ignore file modes (as an
// unprivileged user when the tests run as root); returns the child's exit code.
int RunInChild(const std::function<int()>& body, bool unprivileged = true) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(100);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

int Code(ExportResult result) {
    return static_cast<int>(result);
}

std::wstring Notice(const RecordingSink& sink) {
    return sink.messages.size() == 1 ? sink.messages[0].second
                                     : L"(" + std::to_wstring(sink.messages.size()) + L")";
}

}  // namespace

TEST(ExportFailure, FilesThatAreNoWorkbookStayUntouched) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"text file", [](const std::string& p) { WriteBytes(p, "Model;Size\nLD55;55\n"); }},
        {"empty file", [](const std::string& p) { WriteBytes(p, ""); }},
        {"compound (encrypted) file",
         [](const std::string& p) {
             WriteBytes(
                 p, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
         }},
        {"truncated zip",
         [](const std::string& p) {
             Make("rich", p);
             std::string bytes = ReadBytes(p);
             WriteBytes(p, bytes.substr(0, bytes.size() / 2));
         }},
        {"zip of something else", [](const std::string& p) { Make("other-zip", p); }},
        {"no workbook part", [](const std::string& p) { Make("no-workbook", p); }},
        {"strict conformance", [](const std::string& p) { Make("strict", p); }},
        {"chart sheet active", [](const std::string& p) { Make("chartsheet", p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("DataConfig.xlsx");
        c.make(path);
        const std::string original = ReadBytes(path);
        RecordingSink sink;
        EXPECT_EQ(
            ExportData(Wide(dir.path()), L"DataConfig", SampleValues(), &sink, &EnglishTitles),
            ExportResult::OpenFailed);
        EXPECT_EQ(Notice(sink), L"Open excel failed.");
        EXPECT_EQ(sink.messages.at(0).first, L"Attention");
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"DataConfig.xlsx"});
    }
}

TEST(ExportFailure, TargetThatIsAFolderAPipeOrUnreadable) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("Folder.xlsx").c_str(), 0755), 0);
    RecordingSink sink;
    EXPECT_EQ(ExportData(Wide(dir.path()), L"Folder", SampleValues(), &sink, &EnglishTitles),
              ExportResult::OpenFailed);
    EXPECT_EQ(Notice(sink), L"Open excel failed.");
    EXPECT_TRUE(ListFolder(dir.file("Folder.xlsx")).empty());

    // A named pipe must not stall the export waiting for a writer.
    ASSERT_EQ(::mkfifo(dir.file("Pipe.xlsx").c_str(), 0644), 0);
    sink.messages.clear();
    EXPECT_EQ(ExportData(Wide(dir.path()), L"Pipe", SampleValues(), &sink, &EnglishTitles),
              ExportResult::OpenFailed);
    EXPECT_EQ(Notice(sink), L"Open excel failed.");

    const std::string path = dir.file("Locked.xlsx");
    Make("rich", path);
    const std::string original = ReadBytes(path);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    const std::wstring folder = Wide(dir.path());
    EXPECT_EQ(
        RunInChild([&] {
            return Code(ExportData(folder, L"Locked", SampleValues(), nullptr, &EnglishTitles));
        }),
        Code(ExportResult::OpenFailed));
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(ListFolder(dir.path()),
              (std::vector<std::string>{"Folder.xlsx", "Locked.xlsx", "Pipe.xlsx"}));
}

TEST(ExportFailure, MissingOrReadOnlyFolder) {
    TempDir dir;
    RecordingSink sink;
    EXPECT_EQ(
        ExportData(Wide(dir.file("gone")), L"DataConfig", SampleValues(), &sink, &EnglishTitles),
        ExportResult::SaveFailed);
    EXPECT_EQ(Notice(sink), L"Export failure.");
    EXPECT_TRUE(ListFolder(dir.path()).empty());

    // A name the file system refuses (longer than a name may be) fails the same way.
    sink.messages.clear();
    EXPECT_EQ(ExportData(Wide(dir.path()), std::wstring(300, L'n'), SampleValues(), &sink,
                         &EnglishTitles),
              ExportResult::SaveFailed);
    EXPECT_EQ(Notice(sink), L"Export failure.");
    EXPECT_TRUE(ListFolder(dir.path()).empty());

    const std::string folder = dir.file("ro");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string existing = folder + "/Old.xlsx";
    Make("rich", existing);
    const std::string original = ReadBytes(existing);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const std::wstring wideFolder = Wide(folder);
    for (const wchar_t* name : {L"Old", L"New"}) {
        EXPECT_EQ(
            RunInChild([&] {
                return Code(ExportData(wideFolder, name, SampleValues(), nullptr, &EnglishTitles));
            }),
            Code(ExportResult::SaveFailed));
    }
    EXPECT_EQ(ReadBytes(existing), original);
    EXPECT_EQ(ListFolder(folder), std::vector<std::string>{"Old.xlsx"});
}

// A disk that fills up while the file is written, simulated with a file size limit.
TEST(ExportFailure, DiskFullWhileWriting) {
    TempDir dir;
    const std::string existing = dir.file("Old.xlsx");
    Make("big", existing, 2000);
    const std::string original = ReadBytes(existing);
    for (const wchar_t* name : {L"Old", L"New"}) {
        SCOPED_TRACE(Utf8(name));
        const int code = RunInChild(
            [&] {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{4096, 4096};
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                    return 99;
                }
                return Code(
                    ExportData(Wide(dir.path()), name, SampleValues(), nullptr, &EnglishTitles));
            },
            false);
        EXPECT_EQ(code, Code(ExportResult::SaveFailed));
    }
    EXPECT_EQ(ReadBytes(existing), original);
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"Old.xlsx"});
}

// A shared formula anchored in A2 and filled down: overwriting A2 would orphan the cells below,
// so the export refuses instead of corrupting them.
TEST(ExportFailure, FormulaGroupAnchoredInTheRows) {
    TempDir dir;
    const std::string path = dir.file("shared.xlsx");
    Make("shared-formula", path);
    const std::string original = ReadBytes(path);
    RecordingSink sink;
    EXPECT_EQ(ExportData(Wide(dir.path()), L"shared", SampleValues(), &sink, &EnglishTitles),
              ExportResult::SaveFailed);
    EXPECT_EQ(Notice(sink), L"Export failure.");
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"shared.xlsx"});
}

// Workbooks whose active sheet must not receive the rows: a table whose header is row 1 (new
// texts there would make spreadsheet programs drop the table), a protected sheet.
TEST(ExportFailure, TableOrProtectionOverTheRows) {
    for (const char* kind : {"table", "protected"}) {
        SCOPED_TRACE(kind);
        TempDir dir;
        const std::string path = dir.file("kept.xlsx");
        Make(kind, path);
        const std::string original = ReadBytes(path);
        RecordingSink sink;
        EXPECT_EQ(ExportData(Wide(dir.path()), L"kept", SampleValues(), &sink, &EnglishTitles),
                  ExportResult::SaveFailed);
        EXPECT_EQ(Notice(sink), L"Export failure.");
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"kept.xlsx"});
    }
}

// A workbook the user made read-only in a folder we may write to: the rename could replace it,
// but the user's protection stands, as it would for a spreadsheet program saving over it.
TEST(ExportFailure, ReadOnlyTargetInAWritableFolder) {
    TempDir dir;
    const std::string path = dir.file("Locked.xlsx");
    Make("rich", path);
    const std::string original = ReadBytes(path);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const std::wstring folder = Wide(dir.path());
    EXPECT_EQ(
        RunInChild([&] {
            return Code(ExportData(folder, L"Locked", SampleValues(), nullptr, &EnglishTitles));
        }),
        Code(ExportResult::SaveFailed));
    EXPECT_TRUE(ReadBytes(path) == original) << "the read-only workbook was replaced";
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"Locked.xlsx"});
}
