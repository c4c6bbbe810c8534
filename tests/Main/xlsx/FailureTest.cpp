// Workbooks the export refuses and faults around the target: each gives its notice, leaves an
// existing file byte-identical and leaves no temporary file behind.
#include "XlsxTestSupport.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <string>
#include <tuple>

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

using Maker = std::function<void(const std::string&)>;

Maker Fixture(const char* kind, std::string xml = {}) {
    return [kind, xml](const std::string& path) { Make(kind, path, 0, xml); };
}

Maker Bytes(std::string bytes) {
    return [bytes](const std::string& path) { WriteBytes(path, bytes); };
}

Maker Sheet(const char* rows) {
    return Fixture("sheet", std::string("<sheetData>") + rows + "</sheetData>");
}

}  // namespace

TEST(ExportFailure, RefusedWorkbooksStayUntouched) {
    constexpr ExportResult kOpen = ExportResult::OpenFailed;
    constexpr ExportResult kSave = ExportResult::SaveFailed;
    const struct {
        const char* name;
        Maker make;
        ExportResult result;
    } cases[] = {
        {"text file", Bytes("Model;Size\nLD55;55\n"), kOpen},
        {"empty file", Bytes(""), kOpen},
        {"compound (encrypted) file",
         Bytes(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0')), kOpen},
        {"truncated zip",
         [](const std::string& p) {
             Make("rich", p);
             WriteBytes(p, ReadBytes(p).substr(0, ReadBytes(p).size() / 2));
         },
         kOpen},
        {"zip of something else", Fixture("other-zip"), kOpen},
        {"no workbook part", Fixture("no-workbook"), kOpen},
        {"strict conformance", Fixture("strict"), kOpen},
        {"chart sheet active", Fixture("chartsheet"), kOpen},
        // The tree library stops at a stray end tag without an error: the part would have been
        // written back ending in "junk".
        {"junk after the workbook's root", Fixture("workbook-tail", "junk</x>"), kOpen},
        // Row numbers and references no worksheet has; the next number once overflowed.
        {"row after row 2147483647", Sheet("<row r=\"2147483647\"/><row/>"), kOpen},
        {"row after the last row", Sheet("<row r=\"1048576\"/><row/>"), kOpen},
        {"row 1048577", Sheet("<row r=\"1\"/><row r=\"1048577\"/>"), kOpen},
        {"column XFE", Sheet("<row r=\"3\"><c r=\"XFE3\"/></row>"), kOpen},
        {"cell after column XFD", Sheet("<row r=\"3\"><c r=\"XFD3\"/><c/></row>"), kOpen},
        {"cell in row 1048577", Sheet("<row r=\"3\"><c r=\"A1048577\"/></row>"), kOpen},
        // A shared formula anchored in A2 and filled down: overwriting A2 would orphan the cells
        // below. A table whose header is row 1 would be dropped by spreadsheet programs. A
        // protected sheet is the user's word.
        {"formula group anchored in the rows", Fixture("shared-formula"), kSave},
        {"table over the rows", Fixture("table"), kSave},
        {"protected sheet", Fixture("protected"), kSave},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("DataConfig.xlsx");
        c.make(path);
        const std::string original = ReadBytes(path);
        RecordingSink sink;
        EXPECT_EQ(ExportSample(dir, L"DataConfig", &sink), c.result);
        EXPECT_EQ(Notice(sink), c.result == kOpen ? L"Open excel failed." : L"Export failure.");
        EXPECT_EQ(sink.messages.at(0).first, L"Attention");
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"DataConfig.xlsx"});
    }
}

// A target that is a folder or a named pipe (which must not stall the export waiting for a
// writer), a missing folder, and a name the file system refuses (longer than a name may be).
TEST(ExportFailure, TargetThatIsAFolderOrAPipeOrCannotBeNamed) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("Folder.xlsx").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(dir.file("Pipe.xlsx").c_str(), 0644), 0);
    const std::tuple<std::string, std::wstring, ExportResult> targets[] = {
        {dir.path(), L"Folder", ExportResult::OpenFailed},
        {dir.path(), L"Pipe", ExportResult::OpenFailed},
        {dir.file("gone"), L"DataConfig", ExportResult::SaveFailed},
        {dir.path(), std::wstring(300, L'n'), ExportResult::SaveFailed}};
    for (const auto& [folder, name, result] : targets) {
        RecordingSink sink;
        EXPECT_EQ(ExportData(Wide(folder), name, SampleValues(), &sink, &EnglishTitles), result);
        EXPECT_EQ(Notice(sink),
                  result == ExportResult::OpenFailed ? L"Open excel failed." : L"Export failure.");
    }
    EXPECT_TRUE(ListFolder(dir.file("Folder.xlsx")).empty());
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"Folder.xlsx", "Pipe.xlsx"}));
}

// Without the right to read the workbook, to replace it (a read-only workbook in a folder we
// may write to: the rename could replace it, but the user's protection stands, as it would for a
// spreadsheet program) or to write into its folder.
TEST(ExportFailure, UnreadableOrReadOnlyTargetOrFolder) {
    const struct {
        mode_t file, folder;
        std::vector<const wchar_t*> names;
        ExportResult result;
    } cases[] = {{0, 0777, {L"Old"}, ExportResult::OpenFailed},
                 {0444, 0777, {L"Old"}, ExportResult::SaveFailed},
                 {0644, 0555, {L"Old", L"New"}, ExportResult::SaveFailed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const std::string path = dir.file("Old.xlsx");
        Make("rich", path);
        const std::string original = ReadBytes(path);
        ASSERT_EQ(::chmod(path.c_str(), c.file), 0);
        ASSERT_EQ(::chmod(dir.path().c_str(), c.folder), 0);
        for (const wchar_t* name : c.names) {
            EXPECT_EQ(RunInChild([&] { return Code(ExportSample(dir, name)); }), Code(c.result));
        }
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.file);
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
        EXPECT_TRUE(ReadBytes(path) == original) << "the protected workbook was replaced";
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"Old.xlsx"});
    }
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
                return ::setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 99 : Code(ExportSample(dir, name));
            },
            false);
        EXPECT_EQ(code, Code(ExportResult::SaveFailed));
    }
    EXPECT_EQ(ReadBytes(existing), original);
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"Old.xlsx"});
}
