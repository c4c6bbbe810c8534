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
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

// Runs a shell command; returns its exit status (128 + N when signal N ended it) and what it
// printed on either stream.
std::pair<int, std::string> Shell(const std::string& command, const TempDir& tmp) {
    const int status = std::system((command + " >" + tmp.file("printed") + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::read(tmp.file("printed"))};
}

enum class Obstacle { None, ReadOnlyFolder, FolderAtTheDumpsName, OldDump, LinkAtTheDumpsName };
enum class Place { Beside, StateFolder, HomeStateFolder, Nowhere };

struct CrashCase {
    const char* name;
    const char* arguments;         // to the helper
    int status;                    // its exit code, or 128 + the signal that ended it
    const char* crashingFunction;  // in the backtrace of the thread gdb shows first; null: no dump
    const char* signal = "SIGSEGV";
    const char* otherThreadFunction = nullptr;  // in other threads' backtraces
    int otherThreads = 0;                       // how many show it
    bool atRest = false;                        // the dump of a GUI process at rest: its size
    Place place = Place::Beside;
    Obstacle obstacle = Obstacle::None;
    std::string relative = "tessaro_crash_helper";  // the helper's path; empty: near PATH_MAX
};

// The helper aborts; where its dump goes depends on what is in the way.
CrashCase Aborts(const char* name, Place place, Obstacle obstacle,
                 std::string relative = "tessaro_crash_helper") {
    return {name, "abort", 1,     "CrashHelperAbort", "SIGABRT",          nullptr,
            0,    false,   place, obstacle,           std::move(relative)};
}

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
    const fs::path exe = dir / (c.relative.empty() ? NearThePathLimit(dir) : c.relative);
    fs::create_directories(exe.parent_path());
    fs::copy_file(CRASH_HELPER, exe);
    const std::string name = exe.filename().string() + ".dmp";
    const fs::path places[] = {exe.string() + ".dmp", dir / "state/tessaro" / name,
                               dir / "home/.local/state/tessaro" / name};
    const std::string victim = tmp.write("victim", "keep me");
    if (c.obstacle == Obstacle::ReadOnlyFolder) {
        fs::permissions(exe.parent_path(), fs::perms(0555));
    } else if (c.obstacle == Obstacle::FolderAtTheDumpsName) {
        fs::create_directory(places[0]);
    } else if (c.obstacle == Obstacle::OldDump) {
        std::ofstream(places[0]) << "old dump";
    } else if (c.obstacle == Obstacle::LinkAtTheDumpsName) {
        fs::create_symlink(victim, places[0]);
    }

    // XDG_STATE_HOME names the state folder, except where the default under HOME is wanted.
    // Root writes into read-only folders: the helper runs as an ordinary user for that case.
    const std::string state = "XDG_STATE_HOME=" + Quoted(dir / "state");
    const std::string env = c.place == Place::HomeStateFolder ? "-u XDG_STATE_HOME" : state;
    const bool drop = c.obstacle == Obstacle::ReadOnlyFolder && geteuid() == 0;
    const auto [status, printed] =
        Shell("timeout 60 env " + env + " HOME=" + Quoted(dir / "home") +
                  (drop ? " setpriv --reuid=65534 --regid=65534 --clear-groups " : " ") +
                  Quoted(exe) + " " + c.arguments,
              tmp);
    EXPECT_EQ(status, c.status) << printed;
    EXPECT_EQ(TempDir::read(victim), "keep me");
    const Place place = c.crashingFunction != nullptr ? c.place : Place::Nowhere;
    std::error_code error;  // a name too long for the file system is no file either
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(fs::is_regular_file(places[i], error), i == static_cast<int>(place)) << places[i];
    }
    if (place == Place::Nowhere) {
        return;
    }
    const fs::path dump = places[static_cast<int>(place)];
    EXPECT_EQ(fs::status(dump).permissions() & fs::perms::all, fs::perms(0600))
        << "the dump holds the process's memory: owner only";
    const std::string bytes = TempDir::read(dump.string());
    ASSERT_GE(bytes.size(), sizeof(Elf64_Ehdr));

    // gdb's limit stays below the test's own (120 s in CTest), so a stuck gdb fails the test with
    // what it printed. The code at the crash comes from the executable's file, not the dump.
    const std::string gdb =
        "timeout 90 gdb -nx -batch -ex 'set debuginfod enabled off' -ex 'bt 15' "
        "-ex 'x/i $pc' -ex 'echo ==ALL==\\n' -ex 'thread apply all bt 15' ";
    const std::string bt = Shell(gdb + Quoted(exe) + " " + Quoted(dump), tmp).second;
    const std::string current = bt.substr(0, bt.find("==ALL=="));
    EXPECT_NE(bt.find(std::string("Program terminated with signal ") + c.signal), std::string::npos)
        << bt;
    EXPECT_NE(current.find(c.crashingFunction), std::string::npos) << bt;
    EXPECT_NE(current.find("=> 0x"), std::string::npos) << bt;
    for (const char* flaw : {"is truncated", "Cannot access memory", "?? ()\n"}) {
        EXPECT_EQ(bt.find(flaw), std::string::npos) << flaw << "\n" << bt;
    }
    if (c.otherThreadFunction != nullptr) {
        const std::regex function(c.otherThreadFunction);
        const std::sregex_iterator shown(bt.begin() + current.size(), bt.end(), function);
        EXPECT_EQ(std::distance(shown, std::sregex_iterator()), c.otherThreads) << bt;
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

// clang-format off
const CrashCase kCrashCases[] = {
    {"SegfaultInTheEventLoopOfAGuiProcessAtRest", "segv-event-loop", 1,
     "CrashHelperWriteThroughNull", "SIGSEGV", "CSFThreadEx_Qt::ThreadMain", 1, true},
    // A worker crashes while the main thread and 16 other workers idle: gdb shows the crashing
    // thread first, then every other thread.
    {"EveryThreadIsInTheDumpTheCrashingOneFirst", "many-threads", 1,
     "CrashHelperWriteThroughNull", "SIGSEGV", "CrashHelperIdleWorker", 17},
    {"StackOverflowOfTheMainThread", "stack-overflow", 1, "CrashHelperRecurse"},
    {"StackOverflowOfTheFrameworkWorker", "framework-worker-overflow", 1, "CrashHelperRecurse"},
    {"StackOverflowOfTheDecodingThread", "decoding-thread-overflow", 1, "CrashHelperRecurse"},
    {"StdTerminate", "terminate", 1, "CrashHelperTerminate", "SIGABRT"},
    {"GuardedCallWithTheFilter", "guarded-filter", 1, "CrashHelperWriteThroughNull"},
    {"GuardedDivisionByZeroIsFatal", "guarded-divide", 2, "CrashHelperDivideByZero", "SIGFPE"},
    // A crash inside the dump writer is a nested crash; so is a second thread crashing while the
    // first crash's dump is written, or just after its file was created: the unfinished file goes.
    {"FaultInsideTheDumpWriter", "fault-in-writer", 23, nullptr},
    {"TwoThreadsCrashingTogether", "two-threads", 23, nullptr},
    {"SecondCrashRightAfterTheDumpFileWasCreated", "two-threads-at-open", 23, nullptr},
    // The write fails for want of room: the partial dump goes.
    {"NoRoomForTheDump", "no-room", 1, nullptr},
    // Where the dump goes: beside the executable, else the state folder.
    Aborts("OldDumpIsReplaced", Place::Beside, Obstacle::OldDump),
    Aborts("LinkAtTheDumpsNameIsNotFollowed", Place::Beside, Obstacle::LinkAtTheDumpsName),
    Aborts("ReadOnlyFolderGoesToTheStateFolder", Place::StateFolder, Obstacle::ReadOnlyFolder,
           "ro/helper"),
    Aborts("ReadOnlyFolderGoesToTheDefaultStateFolderUnderHome", Place::HomeStateFolder,
           Obstacle::ReadOnlyFolder, "ro/helper"),
    Aborts("FolderAtTheDumpsNameStaysAndTheDumpGoesToTheStateFolder", Place::StateFolder,
           Obstacle::FolderAtTheDumpsName),
    Aborts("PathTooLongBesideGoesToTheStateFolder", Place::StateFolder, Obstacle::None, ""),
    // With ".dmp" the name is longer than a file name (255) may be.
    Aborts("FileNameWithNoRoomForTheSuffixNowhere", Place::Nowhere, Obstacle::None,
           std::string(253, 'n')),
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Crashes, Crash, testing::ValuesIn(kCrashCases),
                         [](const testing::TestParamInfo<CrashCase>& param) {
                             return std::string(param.param.name);
                         });

// ---- in this process: what stays installed, and the classifier's counters ----

// Each signal's handler and flags, then the signal stack. The C library adds its own restorer
// flag (0x04000000) to every action it installs.
std::vector<std::pair<const void*, int>> InstalledHandlers() {
    std::vector<std::pair<const void*, int>> installed;
    for (int s : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP}) {
        struct sigaction action {};
        sigaction(s, nullptr, &action);
        installed.emplace_back(reinterpret_cast<const void*>(action.sa_handler),
                               action.sa_flags | 0x04000000);
    }
    stack_t stack{};
    sigaltstack(nullptr, &stack);
    installed.emplace_back(stack.ss_sp, stack.ss_flags);
    return installed;
}

int g_ownHandlerCalls = 0;

// Without the filter, installing leaves nothing installed, and the guarded call counts what is
// not fatal, passes it on to the handler installed before, and removes its classifier after.
TEST(WithoutTheFilter, NothingStaysAndTheGuardedCallPassesOnWhatIsNotFatal) {
    EXPECT_EQ(tessaro::CallGuarded(nullptr, nullptr, nullptr, false), 1);
    EXPECT_EQ(tessaro::CallGuarded(nullptr, nullptr, nullptr, true), 1);
    struct sigaction own {};
    own.sa_handler = [](int) { ++g_ownHandlerCalls; };
    struct sigaction old[2]{};
    sigaction(SIGTRAP, &own, &old[0]);
    sigaction(SIGABRT, &own, &old[1]);
    const auto installed = InstalledHandlers();
    EXPECT_TRUE(tessaro::InstallCrashHandler(false));
    EXPECT_EQ(InstalledHandlers(), installed);
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
    EXPECT_EQ(std::tuple(result, second, g_ownHandlerCalls), std::tuple(17, 1, 3));
    EXPECT_EQ(std::tuple(after.benign - before.benign, after.other - before.other,
                         after.crashes - before.crashes),
              std::tuple(2, 1, 0));  // benign, other, crashes
    auto now = InstalledHandlers();
    now.back() = installed.back();  // a signal stack may stay
    EXPECT_EQ(now, installed) << "the classifier is gone after the call";
    sigaction(SIGTRAP, &old[0], nullptr);
    sigaction(SIGABRT, &old[1], nullptr);
}

}  // namespace
