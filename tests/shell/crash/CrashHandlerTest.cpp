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
#include <tuple>
#include <utility>
#include <vector>

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

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

enum class Obstacle { None, ReadOnlyFolder, FolderAtTheDumpsName, OldDump, LinkAtTheDumpsName };
enum class Place { Beside, StateFolder, HomeStateFolder, Nowhere };

constexpr const char* kNull = "CrashHelperWriteThroughNull";

struct CrashCase {
    const char* name;
    const char* arguments;  // to the helper
    int status;             // its exit code, or 128 + the signal that ended it
    Place place = Place::Beside;
    const char* crashingFunction = kNull;  // in the backtrace of the thread gdb shows first
    const char* signal = "SIGSEGV";
    const char* otherThreadFunction = nullptr;  // in other threads' backtraces
    int otherThreads = 0;                       // how many show it
    bool atRest = false;                        // the dump of a GUI process at rest: its size
    Obstacle obstacle = Obstacle::None;
    const char* relative = "tessaro_crash_helper";  // the helper's path; null: near PATH_MAX
    bool stateNamed = true;  // XDG_STATE_HOME names the state folder; otherwise only HOME is set
};

// The helper aborts; where its dump goes depends on what is in the way.
CrashCase Aborts(const char* name, Place place, Obstacle obstacle = Obstacle::None,
                 const char* relative = "tessaro_crash_helper", bool stateNamed = true) {
    return {name,    "abort", 1,     place,    "CrashHelperAbort", "SIGABRT",
            nullptr, 0,       false, obstacle, relative,           stateNamed};
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
    TempDir tmp;
    const fs::path dir = tmp.path();
    fs::permissions(dir, fs::perms(0755));  // readable by "nobody"
    for (const char* open : {"state", "home"}) {
        fs::create_directory(dir / open);
        fs::permissions(dir / open, fs::perms(0777));
    }
    const fs::path exe = dir / (c.relative != nullptr ? c.relative : NearThePathLimit(dir));
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

    // Root writes into read-only folders: the helper runs as an ordinary user for that case.
    const bool drop = c.obstacle == Obstacle::ReadOnlyFolder && geteuid() == 0;
    const auto [status, printed] =
        Shell("timeout 60 env " +
              (c.stateNamed ? "XDG_STATE_HOME=" + Quoted(dir / "state") : "-u XDG_STATE_HOME") +
              " HOME=" + Quoted(dir / "home") +
              (drop ? " setpriv --reuid=65534 --regid=65534 --clear-groups " : " ") + Quoted(exe) +
              " " + c.arguments);
    EXPECT_EQ(status, c.status) << printed;
    EXPECT_EQ(TempDir::read(victim), "keep me");
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
    const std::string gdb =
        "timeout 90 gdb -nx -batch -ex 'set debuginfod enabled off' -ex 'bt 15' "
        "-ex 'x/i $pc' -ex 'echo ==ALL==\\n' -ex 'thread apply all bt 15' ";
    const std::string bt = Shell(gdb + Quoted(exe) + " " + Quoted(dump)).second;
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

// clang-format off
const CrashCase kCrashCases[] = {
    {"SegfaultInTheEventLoopOfAGuiProcessAtRest", "segv-event-loop", 1, Place::Beside, kNull,
     "SIGSEGV", "CSFThreadEx_Qt::ThreadMain", 1, true},
    // A worker crashes while the main thread and 16 other workers idle: gdb shows the crashing
    // thread first, then every other thread.
    {"EveryThreadIsInTheDumpTheCrashingOneFirst", "many-threads", 1, Place::Beside, kNull,
     "SIGSEGV", "CrashHelperIdleWorker", 17},
    {"StackOverflowOfTheMainThread", "stack-overflow", 1, Place::Beside, "CrashHelperRecurse"},
    {"StackOverflowOfAWorkerWithItsOwnSignalStack", "worker-stack-overflow", 1, Place::Beside,
     "CrashHelperRecurse"},
    {"StackOverflowOfTheFrameworkWorker", "framework-worker-stack-overflow", 1, Place::Beside,
     "CrashHelperRecurse"},
    {"StackOverflowOfThePlayersDecodingThread", "decoding-thread-stack-overflow", 1, Place::Beside,
     "CrashHelperRecurse"},
    {"StdTerminate", "terminate", 1, Place::Beside, "CrashHelperTerminate", "SIGABRT"},
    {"GuardedCallWithTheFilter", "guarded-filter", 1},
    {"GuardedCallClassifiesDivisionByZeroAsFatal", "guarded-divide", 2, Place::Beside,
     "CrashHelperDivideByZero", "SIGFPE"},
    // A crash inside the dump writer is a nested crash; so is a second thread crashing while the
    // first crash's dump is written, or just after its file was created: the unfinished file goes.
    {"FaultInsideTheDumpWriter", "fault-in-writer", 23, Place::Nowhere},
    {"TwoThreadsCrashingTogether", "two-threads", 23, Place::Nowhere},
    {"SecondCrashRightAfterTheDumpFileWasCreated", "two-threads-at-open", 23, Place::Nowhere},
    // The write fails for want of room: the partial dump goes.
    {"NoRoomForTheDump", "no-room", 1, Place::Nowhere},
    // Where the dump goes: beside the executable, else the state folder.
    Aborts("Abort", Place::Beside),
    Aborts("OldDumpIsReplaced", Place::Beside, Obstacle::OldDump),
    Aborts("LinkAtTheDumpsNameIsNotFollowed", Place::Beside, Obstacle::LinkAtTheDumpsName),
    Aborts("ReadOnlyFolderGoesToTheStateFolder", Place::StateFolder, Obstacle::ReadOnlyFolder,
           "ro/helper"),
    Aborts("ReadOnlyFolderGoesToTheDefaultStateFolderUnderHome", Place::HomeStateFolder,
           Obstacle::ReadOnlyFolder, "ro/helper", false),
    Aborts("FolderAtTheDumpsNameStaysAndTheDumpGoesToTheStateFolder", Place::StateFolder,
           Obstacle::FolderAtTheDumpsName),
    Aborts("PathTooLongBesideGoesToTheStateFolder", Place::StateFolder, Obstacle::None, nullptr),
    Aborts("FileNameWithNoRoomForTheSuffixNowhere", Place::Nowhere, Obstacle::None,
           kLongName.c_str()),
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
