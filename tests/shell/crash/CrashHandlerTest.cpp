// Crash handling, tested with real crashes: the helper program installs the handler and faults
// in a child process; the tests check its exit code, the dump beside it, and what gdb makes of
// the dump.
#include "ChildProcess.h"

#include "shell/CrashHandler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using crashtest::ChildOptions;
using crashtest::ChildResult;
using crashtest::CommandOutput;
using crashtest::RunChild;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A private folder holding a copy of the helper: the dump appears beside the executable, so
// every test gets its own.
class CrashFolder {
public:
    // Readable by everyone: some cases run the helper as another user.
    CrashFolder() { fs::permissions(m_dir, fs::perms(0755)); }
    CrashFolder(const CrashFolder&) = delete;
    CrashFolder& operator=(const CrashFolder&) = delete;

    const fs::path& Dir() const { return m_dir; }

    // Copies the helper to `relative` under the folder (creating folders on the way).
    fs::path PlaceHelper(const std::string& relative = "tessaro_crash_helper") const {
        const fs::path exe = m_dir / relative;
        fs::create_directories(exe.parent_path());
        fs::copy_file(CRASH_HELPER, exe);
        fs::permissions(exe, fs::perms(0755));
        return exe;
    }

private:
    testsupport::TempDir m_tmp;
    fs::path m_dir = m_tmp.path();
};

fs::path DumpOf(const fs::path& exe) {
    return fs::path(exe.string() + ".dmp");
}

// gdb's limit stays below the test's own (120 s in CTest), so a stuck gdb fails the test with
// what it printed instead of the test being killed without a word.
std::string Gdb(const fs::path& exe, const std::string& commands) {
    return CommandOutput("timeout 90 gdb -nx -batch -ex 'set debuginfod enabled off' " + commands +
                         " '" + exe.string() + "' '" + DumpOf(exe).string() + "'");
}

// ---- a first crash: exit code, dump, backtrace ----

struct DumpCase {
    const char* name;
    const char* scenario;
    int exitCode;
    const char* signal;               // as gdb names it
    const char* crashingFunction;     // in the backtrace of the thread gdb shows first
    const char* otherThreadFunction;  // in another thread's backtrace, or null
    int otherThreads;                 // how many threads show it
};

class CrashDump : public testing::TestWithParam<DumpCase> {};

TEST_P(CrashDump, EndsWithItsExitCodeAndLeavesADumpGdbOpens) {
    const DumpCase& c = GetParam();
    CrashFolder folder;
    const fs::path exe = folder.PlaceHelper();

    const ChildResult run = RunChild(exe, {c.scenario});
    ASSERT_FALSE(run.timedOut);
    ASSERT_TRUE(run.exited) << "killed by signal " << run.signal;
    EXPECT_EQ(run.exitCode, c.exitCode);

    const fs::path dump = DumpOf(exe);
    ASSERT_TRUE(fs::is_regular_file(dump));
    EXPECT_EQ(fs::status(dump).permissions() & fs::perms::all, fs::perms(0600))
        << "the dump holds all memory: owner only";
    const std::string header = ReadFile(dump).substr(0, sizeof(Elf64_Ehdr));
    ASSERT_EQ(header.size(), sizeof(Elf64_Ehdr));
    Elf64_Ehdr ehdr{};
    std::memcpy(&ehdr, header.data(), sizeof ehdr);
    EXPECT_EQ(std::memcmp(ehdr.e_ident, ELFMAG, SELFMAG), 0);
    EXPECT_EQ(ehdr.e_type, ET_CORE);

    const std::string bt = Gdb(exe,
                               "-ex 'bt 15' -ex 'echo ==ALL==\\n' "
                               "-ex 'thread apply all bt 15'");
    const std::string current = bt.substr(0, bt.find("==ALL=="));
    EXPECT_NE(bt.find(std::string("Program terminated with signal ") + c.signal), std::string::npos)
        << bt;
    EXPECT_NE(current.find(c.crashingFunction), std::string::npos) << bt;
    EXPECT_EQ(bt.find("is truncated"), std::string::npos) << bt;
    if (c.otherThreadFunction != nullptr) {
        int shown = 0;
        for (auto at = bt.find(c.otherThreadFunction, current.size()); at != std::string::npos;
             at = bt.find(c.otherThreadFunction, at + 1)) {
            ++shown;
        }
        EXPECT_EQ(shown, c.otherThreads) << bt;
    }
}

const DumpCase kDumpCases[] = {
    {"SegfaultInTheEventLoopOfTheMainThread", "segv-event-loop", 1, "SIGSEGV",
     "CrashHelperWriteThroughNull", nullptr, 0},
    {"SegfaultOnAWorkerThread", "segv-worker", 1, "SIGSEGV", "CrashHelperWorkerFault",
     "CrashHelperMainThreadWaits", 1},
    {"EveryOtherThreadIsInTheDump", "many-threads", 1, "SIGSEGV", "CrashHelperWriteThroughNull",
     "CrashHelperIdleWorker", 16},
    {"StackOverflowOfTheMainThread", "stack-overflow", 1, "SIGSEGV", "CrashHelperRecurse", nullptr,
     0},
    {"StackOverflowOfAWorkerWithItsOwnSignalStack", "worker-stack-overflow", 1, "SIGSEGV",
     "CrashHelperRecurse", nullptr, 0},
    {"Abort", "abort", 1, "SIGABRT", "CrashHelperAbort", nullptr, 0},
    {"StdTerminate", "terminate", 1, "SIGABRT", "CrashHelperThrowThroughNoexcept", nullptr, 0},
    {"GuardedCallWithTheFilter", "guarded-filter", 1, "SIGSEGV", "CrashHelperWriteThroughNull",
     nullptr, 0},
    {"GuardedCallClassifiesDivisionByZeroAsFatal", "guarded-divide", 2, "SIGFPE",
     "CrashHelperDivideByZero", nullptr, 0},
};

INSTANTIATE_TEST_SUITE_P(Crashes, CrashDump, testing::ValuesIn(kDumpCases),
                         [](const testing::TestParamInfo<DumpCase>& param) {
                             return std::string(param.param.name);
                         });

// ---- crashes that end without a dump ----

struct NoDumpCase {
    const char* name;
    std::vector<std::string> arguments;
    bool exited;
    int exitCodeOrSignal;
};

class CrashWithoutDump : public testing::TestWithParam<NoDumpCase> {};

TEST_P(CrashWithoutDump, EndsPromptlyWithItsCodeAndLeavesNoDump) {
    const NoDumpCase& c = GetParam();
    CrashFolder folder;
    const fs::path exe = folder.PlaceHelper();

    const ChildResult run = RunChild(exe, c.arguments, {.timeoutSeconds = 30});
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exited, c.exited);
    EXPECT_EQ(c.exited ? run.exitCode : run.signal, c.exitCodeOrSignal);
    EXPECT_FALSE(fs::exists(DumpOf(exe)));
}

const NoDumpCase kNoDumpCases[] = {
    // A crash inside the dump writer is a nested crash.
    {"FaultInsideTheDumpWriter", {"fault-in-writer"}, true, 23},
    // A second thread crashes while the first crash's dump is being written.
    {"TwoThreadsCrashingTogether", {"two-threads"}, true, 23},
    // The same just after the dump file was created: the empty file goes too.
    {"SecondCrashRightAfterTheDumpFileWasCreated", {"two-threads-at-open"}, true, 23},
    // The file size limit stands for a full disk: the write fails, the partial dump goes.
    {"NoRoomForTheDump", {"--fsize=65536", "abort"}, true, 1},
    // InstallCrashHandler(false) leaves nothing behind: the default action ends the process.
    {"InstallWithoutFilterLeavesTheDefaultAction", {"no-handler"}, false, SIGSEGV},
};

INSTANTIATE_TEST_SUITE_P(Crashes, CrashWithoutDump, testing::ValuesIn(kNoDumpCases),
                         [](const testing::TestParamInfo<NoDumpCase>& param) {
                             return std::string(param.param.name);
                         });

// ---- where the dump cannot or must not go ----

void ExpectCrashWithoutDump(const fs::path& exe, const ChildOptions& options = {}) {
    const ChildResult run = RunChild(exe, {"segv-event-loop"}, options);
    ASSERT_FALSE(run.timedOut);
    ASSERT_TRUE(run.exited) << "killed by signal " << run.signal;
    EXPECT_EQ(run.exitCode, 1);
    std::error_code error;  // a name too long for the file system is no file either
    EXPECT_FALSE(fs::is_regular_file(DumpOf(exe), error));
}

TEST(CrashDumpPlace, ReadOnlyFolderEndsWithExitCodeOneAndNoDump) {
    CrashFolder folder;
    const fs::path exe = folder.PlaceHelper("ro/tessaro_crash_helper");
    fs::permissions(exe.parent_path(), fs::perms(0555));
    // Root writes into read-only folders: run the helper as an ordinary user then.
    ExpectCrashWithoutDump(exe, {.dropToNobody = true});
}

TEST(CrashDumpPlace, FileNameWithNoRoomForTheSuffix) {
    CrashFolder folder;
    // 253 characters: with ".dmp" the name exceeds the longest file name (255).
    const fs::path exe = folder.PlaceHelper(std::string(253, 'n'));
    ExpectCrashWithoutDump(exe);
}

TEST(CrashDumpPlace, ExecutablePathNearThePathLimit) {
    CrashFolder folder;
    // An executable path of PATH_MAX - 3 characters runs, but "<path>.dmp" is no longer a path.
    std::string relative;
    const std::size_t want = PATH_MAX - 3 - folder.Dir().string().size() - 1;
    while (want - relative.size() > 200) {
        relative += std::string(150, 'd') + "/";
    }
    relative += std::string(want - relative.size(), 'x');
    const fs::path exe = folder.PlaceHelper(relative);
    ASSERT_EQ(exe.string().size(), static_cast<std::size_t>(PATH_MAX - 3));
    ExpectCrashWithoutDump(exe);
}

TEST(CrashDumpPlace, FolderInPlaceOfTheDumpStays) {
    CrashFolder folder;
    const fs::path exe = folder.PlaceHelper();
    fs::create_directory(DumpOf(exe));
    ExpectCrashWithoutDump(exe);
    EXPECT_TRUE(fs::is_directory(DumpOf(exe)));
}

TEST(CrashDumpPlace, OldDumpIsReplacedAndLinksAreNotFollowed) {
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "symbolic link in place of the dump" : "old dump");
        CrashFolder folder;
        const fs::path exe = folder.PlaceHelper();
        const fs::path victim = folder.Dir() / "victim";
        std::ofstream(victim) << "keep me";
        if (link) {
            fs::create_symlink(victim, DumpOf(exe));
        } else {
            std::ofstream(DumpOf(exe)) << "old dump";
        }
        const ChildResult run = RunChild(exe, {"segv-event-loop"});
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(fs::is_symlink(DumpOf(exe)));
        EXPECT_EQ(ReadFile(DumpOf(exe)).substr(0, 4), std::string(ELFMAG));
        EXPECT_EQ(ReadFile(victim), "keep me");
    }
}

// ---- in this process: what stays installed, and the classifier's counters ----

bool SameAction(const struct sigaction& a, const struct sigaction& b) {
    // The C library adds its own restorer flag (0x04000000) to every action it installs.
    constexpr int kRestorer = 0x04000000;
    return a.sa_handler == b.sa_handler && (a.sa_flags | kRestorer) == (b.sa_flags | kRestorer);
}

TEST(CrashHandlerInstall, WithoutFilterLeavesNothingInstalled) {
    const int signals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
    struct sigaction before[std::size(signals)];
    for (std::size_t i = 0; i < std::size(signals); ++i) {
        sigaction(signals[i], nullptr, &before[i]);
    }
    stack_t stackBefore{};
    sigaltstack(nullptr, &stackBefore);

    EXPECT_TRUE(tessaro::InstallCrashHandler(false));

    for (std::size_t i = 0; i < std::size(signals); ++i) {
        struct sigaction after {};
        sigaction(signals[i], nullptr, &after);
        EXPECT_TRUE(SameAction(before[i], after)) << "signal " << signals[i];
    }
    stack_t stackAfter{};
    sigaltstack(nullptr, &stackAfter);
    EXPECT_EQ(stackAfter.ss_flags, stackBefore.ss_flags);
    EXPECT_EQ(stackAfter.ss_sp, stackBefore.ss_sp);
}

TEST(GuardedCall, NullFunctionReturnsOne) {
    EXPECT_EQ(tessaro::CallGuarded(nullptr, nullptr, nullptr, false), 1);
    EXPECT_EQ(tessaro::CallGuarded(nullptr, nullptr, nullptr, true), 1);
}

int g_ownHandlerCalls = 0;
void OwnHandler(int) {
    ++g_ownHandlerCalls;
}

TEST(GuardedCall, CountsWhatIsNotFatalAndPassesItOnToTheHandlerBefore) {
    struct sigaction own {};
    own.sa_handler = OwnHandler;
    struct sigaction oldTrap {};
    struct sigaction oldAbort {};
    sigaction(SIGTRAP, &own, &oldTrap);
    sigaction(SIGABRT, &own, &oldAbort);
    g_ownHandlerCalls = 0;
    const tessaro::CrashCounters before = tessaro::GetCrashCounters();

    int first = 1;
    int second = 0;
    const int result = tessaro::CallGuarded(
        [](void* in, void* out) {
            raise(SIGTRAP);  // a breakpoint: benign
            raise(SIGABRT);  // neither fatal nor benign: other
            raise(SIGTRAP);
            *static_cast<int*>(out) = *static_cast<int*>(in);
            return 17;
        },
        &first, &second, false);

    const tessaro::CrashCounters after = tessaro::GetCrashCounters();
    EXPECT_EQ(result, 17);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(g_ownHandlerCalls, 3);
    EXPECT_EQ(after.benign - before.benign, 2);
    EXPECT_EQ(after.other - before.other, 1);
    EXPECT_EQ(after.crashes, before.crashes);

    struct sigaction now {};
    sigaction(SIGTRAP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, &OwnHandler) << "the classifier is gone after the call";
    sigaction(SIGTRAP, &oldTrap, nullptr);
    sigaction(SIGABRT, &oldAbort, nullptr);
}

}  // namespace
