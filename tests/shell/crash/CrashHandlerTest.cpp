// Crash handling, tested with real crashes: the helper program installs the handler and faults
// in a child process; the tests check its exit code, where its dump lies, and what gdb makes of
// the dump.
#include "shell/CrashHandler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

// Runs a shell command; returns its exit status (128 + N when signal N ended it) and what it
// printed on either stream.
std::pair<int, std::string> Shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (size_t n; pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

enum class Obstacle { None, ReadOnlyFolder, FolderAtTheDumpsName, OldDump, LinkAtTheDumpsName };
enum class Place { Beside, StateFolder, HomeStateFolder, Nowhere };

struct CrashCase {
    const char* name;
    const char* arguments;         // to the helper
    int status;                    // its exit code, or 128 + the signal that ended it
    const char* crashingFunction;  // in the backtrace of the thread gdb shows first
    const char* signal = "SIGSEGV";
    Place place = Place::Beside;
    const char* otherThreadFunction = nullptr;  // in other threads' backtraces
    int otherThreads = 0;                       // how many show it
    bool atRest = false;                        // the dump of a GUI process at rest: its size
    Obstacle obstacle = Obstacle::None;
    const char* relative = "tessaro_crash_helper";  // the helper's path; null: near PATH_MAX
    bool stateNamed = true;  // XDG_STATE_HOME names the state folder; otherwise only HOME is set
};

// An executable path of PATH_MAX - 3 characters runs, but "<path>.dmp" is no longer a path.
std::string NearThePathLimit(const fs::path& folder) {
    const std::size_t want = PATH_MAX - 3 - folder.string().size() - 1;
    std::string relative;
    while (want - relative.size() > 200) {
        relative += std::string(150, 'd') + "/";
    }
    return relative + std::string(want - relative.size(), 'x');
}

class Crash : public testing::TestWithParam<CrashCase> {};

// The helper runs from a private folder (the dump appears beside it) with its own state folder
// and home, so no dump ever lands in the real ones.
TEST_P(Crash, EndsWithItsStatusAndLeavesADumpGdbOpensInItsPlace) {
    const CrashCase& c = GetParam();
    const auto Quoted = [](const fs::path& path) { return "'" + path.string() + "'"; };
    TempDir tmp;
    const fs::path dir = tmp.path();
    fs::permissions(dir, fs::perms(0755));  // readable by "nobody"
    for (const char* open : {"state", "home"}) {
        fs::create_directory(dir / open);
        fs::permissions(dir / open, fs::perms(0777));
    }
    const fs::path exe = dir / (c.relative != nullptr ? c.relative : NearThePathLimit(dir));
    ASSERT_TRUE(c.relative != nullptr || exe.string().size() == PATH_MAX - 3);
    fs::create_directories(exe.parent_path());
    fs::copy_file(CRASH_HELPER, exe);
    const std::string name = exe.filename().string() + ".dmp";
    const fs::path places[] = {exe.string() + ".dmp", dir / "state/tessaro" / name,
                               dir / "home/.local/state/tessaro" / name};
    const fs::path victim = dir / "victim";
    std::ofstream(victim) << "keep me";
    if (c.obstacle == Obstacle::ReadOnlyFolder) {
        fs::permissions(exe.parent_path(), fs::perms(0555));
    } else if (c.obstacle == Obstacle::FolderAtTheDumpsName) {
        fs::create_directory(places[0]);
    } else if (c.obstacle == Obstacle::OldDump) {
        std::ofstream(places[0]) << "old dump";
    } else if (c.obstacle == Obstacle::LinkAtTheDumpsName) {
        fs::create_symlink(victim, places[0]);
    }

    // Root writes into read-only folders: the helper runs as an ordinary user for that case.
    const bool drop = c.obstacle == Obstacle::ReadOnlyFolder && geteuid() == 0;
    const auto [status, printed] =
        Shell("timeout 60 env " +
              (c.stateNamed ? "XDG_STATE_HOME=" + Quoted(dir / "state") : "-u XDG_STATE_HOME") +
              " HOME=" + Quoted(dir / "home") +
              (drop ? " setpriv --reuid=65534 --regid=65534 --clear-groups " : " ") + Quoted(exe) +
              " " + c.arguments);
    EXPECT_EQ(status, c.status) << printed;
    EXPECT_EQ(TempDir::read(victim.string()), "keep me");
    std::error_code error;  // a name too long for the file system is no file either
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(fs::is_regular_file(places[i], error), i == static_cast<int>(c.place))
            << places[i];
    }
    if (c.place == Place::Nowhere) {
        return;
    }
    const fs::path dump = places[static_cast<int>(c.place)];
    EXPECT_EQ(fs::status(dump).permissions() & fs::perms::all, fs::perms(0600))
        << "the dump holds the process's memory: owner only";
    const std::string bytes = TempDir::read(dump.string());
    ASSERT_GE(bytes.size(), sizeof(Elf64_Ehdr));

    // gdb's limit stays below the test's own (120 s in CTest), so a stuck gdb fails the test with
    // what it printed. The code at the crash comes from the executable's file, not the dump.
    const std::string bt = Shell(
                               "timeout 90 gdb -nx -batch -ex 'set debuginfod enabled off' "
                               "-ex 'bt 15' -ex 'x/i $pc' -ex 'echo ==ALL==\\n' "
                               "-ex 'thread apply all bt 15' " +
                               Quoted(exe) + " " + Quoted(dump))
                               .second;
    const std::string current = bt.substr(0, bt.find("==ALL=="));
    EXPECT_NE(bt.find(std::string("Program terminated with signal ") + c.signal), std::string::npos)
        << bt;
    EXPECT_NE(current.find(c.crashingFunction), std::string::npos) << bt;
    EXPECT_NE(current.find("=> 0x"), std::string::npos) << bt;
    for (const char* flaw : {"is truncated", "Cannot access memory", "?? ()\n"}) {
        EXPECT_EQ(bt.find(flaw), std::string::npos) << flaw << "\n" << bt;
    }
    if (c.otherThreadFunction != nullptr) {
        int shown = 0;
        for (auto at = bt.find(c.otherThreadFunction, current.size()); at != std::string::npos;
             at = bt.find(c.otherThreadFunction, at + 1)) {
            ++shown;
        }
        EXPECT_EQ(shown, c.otherThreads) << bt;
    }
    // Libraries' code and read-only data, far the most of what is mapped, stay in their files:
    // the file holds well under half of the memory its segments describe.
    Elf64_Ehdr header{};
    std::memcpy(&header, bytes.data(), sizeof header);
    std::uint64_t memory = 0;
    for (Elf64_Phdr segment{}; c.atRest && header.e_phnum-- > 0; memory += segment.p_memsz) {
        std::memcpy(&segment, bytes.data() + header.e_phoff + header.e_phnum * sizeof segment,
                    sizeof segment);
    }
    EXPECT_TRUE(!c.atRest || bytes.size() < memory / 3) << bytes.size() << " of " << memory;
}

const std::string kLongName(253, 'n');  // with ".dmp" longer than a file name (255) may be

const CrashCase kCrashCases[] = {
    {"SegfaultInTheEventLoopOfAGuiProcessAtRest", "segv-event-loop", 1,
     "CrashHelperWriteThroughNull", "SIGSEGV", Place::Beside, "CSFThreadEx_Qt::ThreadMain", 1,
     true},
    {"SegfaultOnAWorkerThread", "segv-worker", 1, "CrashHelperWriteThroughNull", "SIGSEGV",
     Place::Beside, "CrashHelperMainThreadWaits", 1},
    {"EveryOtherThreadIsInTheDump", "many-threads", 1, "CrashHelperWriteThroughNull", "SIGSEGV",
     Place::Beside, "CrashHelperIdleWorker", 16},
    {"StackOverflowOfTheMainThread", "stack-overflow", 1, "CrashHelperRecurse"},
    {"StackOverflowOfAWorkerWithItsOwnSignalStack", "worker-stack-overflow", 1,
     "CrashHelperRecurse"},
    {"StackOverflowOfTheFrameworkWorker", "framework-worker-stack-overflow", 1,
     "CrashHelperRecurse"},
    {"StackOverflowOfThePlayersDecodingThread", "decoding-thread-stack-overflow", 1,
     "CrashHelperRecurse"},
    {"Abort", "abort", 1, "CrashHelperAbort", "SIGABRT"},
    {"StdTerminate", "terminate", 1, "CrashHelperThrowThroughNoexcept", "SIGABRT"},
    {"GuardedCallWithTheFilter", "guarded-filter", 1, "CrashHelperWriteThroughNull"},
    {"GuardedCallClassifiesDivisionByZeroAsFatal", "guarded-divide", 2, "CrashHelperDivideByZero",
     "SIGFPE"},
    // A crash inside the dump writer is a nested crash; so is a second thread crashing while the
    // first crash's dump is written, or just after its file was created: the unfinished file goes.
    {"FaultInsideTheDumpWriter", "fault-in-writer", 23, nullptr, nullptr, Place::Nowhere},
    {"TwoThreadsCrashingTogether", "two-threads", 23, nullptr, nullptr, Place::Nowhere},
    {"SecondCrashRightAfterTheDumpFileWasCreated", "two-threads-at-open", 23, nullptr, nullptr,
     Place::Nowhere},
    // The file size limit stands for a full disk: the write fails, the partial dump goes.
    {"NoRoomForTheDump", "--fsize=65536 abort", 1, nullptr, nullptr, Place::Nowhere},
    // InstallCrashHandler(false) leaves nothing behind: the default action ends the process.
    {"InstallWithoutFilterLeavesTheDefaultAction", "no-handler", 128 + SIGSEGV, nullptr, nullptr,
     Place::Nowhere},
    // Where the dump goes: beside the executable, else the state folder.
    {"OldDumpIsReplaced", "abort", 1, "CrashHelperAbort", "SIGABRT", Place::Beside, nullptr, 0,
     false, Obstacle::OldDump},
    {"LinkAtTheDumpsNameIsNotFollowed", "abort", 1, "CrashHelperAbort", "SIGABRT", Place::Beside,
     nullptr, 0, false, Obstacle::LinkAtTheDumpsName},
    {"ReadOnlyFolderGoesToTheStateFolder", "abort", 1, "CrashHelperAbort", "SIGABRT",
     Place::StateFolder, nullptr, 0, false, Obstacle::ReadOnlyFolder, "ro/helper"},
    {"ReadOnlyFolderGoesToTheDefaultStateFolderUnderHome", "abort", 1, "CrashHelperAbort",
     "SIGABRT", Place::HomeStateFolder, nullptr, 0, false, Obstacle::ReadOnlyFolder, "ro/helper",
     false},
    {"FolderAtTheDumpsNameStaysAndTheDumpGoesToTheStateFolder", "abort", 1, "CrashHelperAbort",
     "SIGABRT", Place::StateFolder, nullptr, 0, false, Obstacle::FolderAtTheDumpsName},
    {"PathTooLongBesideGoesToTheStateFolder", "abort", 1, "CrashHelperAbort", "SIGABRT",
     Place::StateFolder, nullptr, 0, false, Obstacle::None, nullptr},
    {"FileNameWithNoRoomForTheSuffixNowhere", "abort", 1, nullptr, nullptr, Place::Nowhere, nullptr,
     0, false, Obstacle::None, kLongName.c_str()},
};

INSTANTIATE_TEST_SUITE_P(Crashes, Crash, testing::ValuesIn(kCrashCases),
                         [](const testing::TestParamInfo<CrashCase>& param) {
                             return std::string(param.param.name);
                         });

// ---- in this process: what stays installed, and the classifier's counters ----

TEST(CrashHandlerInstall, WithoutFilterLeavesNothingInstalled) {
    const int signals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
    struct sigaction before[std::size(signals)];
    for (std::size_t i = 0; i < std::size(signals); ++i) {
        sigaction(signals[i], nullptr, &before[i]);
    }
    stack_t stackBefore{};
    sigaltstack(nullptr, &stackBefore);

    EXPECT_TRUE(tessaro::InstallCrashHandler(false));

    // The C library adds its own restorer flag (0x04000000) to every action it installs.
    constexpr int kRestorer = 0x04000000;
    for (std::size_t i = 0; i < std::size(signals); ++i) {
        struct sigaction after {};
        sigaction(signals[i], nullptr, &after);
        EXPECT_EQ(after.sa_handler, before[i].sa_handler) << "signal " << signals[i];
        EXPECT_EQ(after.sa_flags | kRestorer, before[i].sa_flags | kRestorer);
    }
    stack_t stackAfter{};
    sigaltstack(nullptr, &stackAfter);
    EXPECT_EQ(stackAfter.ss_flags, stackBefore.ss_flags);
    EXPECT_EQ(stackAfter.ss_sp, stackBefore.ss_sp);
}

int g_ownHandlerCalls = 0;

TEST(GuardedCall, CountsWhatIsNotFatalAndPassesItOnToTheHandlerBefore) {
    EXPECT_EQ(tessaro::CallGuarded(nullptr, nullptr, nullptr, false), 1);
    EXPECT_EQ(tessaro::CallGuarded(nullptr, nullptr, nullptr, true), 1);
    struct sigaction own {};
    own.sa_handler = [](int) { ++g_ownHandlerCalls; };
    struct sigaction oldTrap {};
    struct sigaction oldAbort {};
    sigaction(SIGTRAP, &own, &oldTrap);
    sigaction(SIGABRT, &own, &oldAbort);
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
    EXPECT_EQ(now.sa_handler, own.sa_handler) << "the classifier is gone after the call";
    sigaction(SIGTRAP, &oldTrap, nullptr);
    sigaction(SIGABRT, &oldAbort, nullptr);
}

}  // namespace
