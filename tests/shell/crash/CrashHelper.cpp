// A small program that installs the crash handler and then crashes the way its first argument
// says. The tests run it as a child process and look at its exit code and its dump.
//
// Faults inside the dump writer are injected here, not in the product: this program defines its
// own write() and open(), which take the place of the C library's for every caller in the
// process.
#include "shell/CrashHandler.h"

#include <QGuiApplication>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> g_faultInDumpWrite{false};
std::atomic<bool> g_holdDumpWrite{false};
std::atomic<bool> g_holdDumpOpen{false};
std::atomic<bool> g_dumpWriteStarted{false};

volatile int* volatile g_null = nullptr;
volatile int g_zero = 0;

void SleepMs(long ms) {
    const timespec pause{ms / 1000, (ms % 1000) * 1'000'000};
    nanosleep(&pause, nullptr);
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    if (fd > 2 && g_faultInDumpWrite.load()) {
        *g_null = 1;  // a crash inside the dump writer
    }
    if (fd > 2 && g_holdDumpWrite.load()) {
        g_dumpWriteStarted.store(true);
        // Keep the first crash inside the writer while the second thread crashes.
        for (int i = 0; i < 500; ++i) {
            SleepMs(10);
        }
    }
    return syscall(SYS_write, fd, data, size);
}

extern "C" int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    const int fd = static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
    const std::size_t length = std::strlen(path);
    if (fd >= 0 && g_holdDumpOpen.load() && length > 4 &&
        std::strcmp(path + length - 4, ".dmp") == 0) {
        g_dumpWriteStarted.store(true);
        // Keep the first crash between creating the dump file and writing to it.
        for (int i = 0; i < 500; ++i) {
            SleepMs(10);
        }
    }
    return fd;
}

// The functions a backtrace must name; never inlined, so each is a frame of its own.
extern "C" {

__attribute__((noinline)) void CrashHelperWriteThroughNull() {
    *g_null = 42;
}

__attribute__((noinline)) void CrashHelperWorkerFault() {
    *g_null = 7;
}

__attribute__((noinline)) void CrashHelperMainThreadWaits(std::thread* worker) {
    worker->join();
}

__attribute__((noinline)) void CrashHelperIdleWorker(std::atomic<int>* started) {
    started->fetch_add(1);
    for (;;) {
        SleepMs(1000);
    }
}

__attribute__((noinline)) int CrashHelperRecurse(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth == -1) {
        return 0;  // never: keeps the recursion from being called infinite
    }
    return CrashHelperRecurse(depth + 1) + frame[0];
}

__attribute__((noinline)) void CrashHelperAbort() {
    std::abort();
}

__attribute__((noinline)) void CrashHelperThrow() {
    throw std::runtime_error("escapes a noexcept function: std::terminate");
}

__attribute__((noinline)) void CrashHelperThrowThroughNoexcept() noexcept {
    CrashHelperThrow();
}

__attribute__((noinline)) int CrashHelperDivideByZero(void*, void*) {
    return 100 / g_zero;
}

__attribute__((noinline)) int CrashHelperGuardedNull(void*, void*) {
    CrashHelperWriteThroughNull();
    return 0;
}

}  // extern "C"

namespace {

// Blocks every signal but the faults on the calling thread; returns the mask before.
sigset_t BlockAllButFaults() {
    sigset_t set;
    sigset_t before;
    sigfillset(&set);
    for (int s : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) {
        sigdelset(&set, s);
    }
    pthread_sigmask(SIG_SETMASK, &set, &before);
    return before;
}

int Run(const std::string& scenario, int argc, char** argv) {
    if (scenario == "no-handler") {
        // The classifier comes and goes: the fault meets the default action.
        tessaro::InstallCrashHandler(false);
        CrashHelperWriteThroughNull();
        return 0;
    }
    if (scenario == "guarded-divide") {
        return tessaro::CallGuarded(CrashHelperDivideByZero, nullptr, nullptr, false);
    }
    if (scenario == "guarded-filter") {
        return tessaro::CallGuarded(CrashHelperGuardedNull, nullptr, nullptr, true);
    }
    if (!tessaro::InstallCrashHandler(true)) {
        return 90;
    }
    if (scenario == "segv-event-loop") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        QGuiApplication app(argc, argv);
        QTimer::singleShot(0, &app, [] { CrashHelperWriteThroughNull(); });
        return QGuiApplication::exec();
    }
    if (scenario == "many-threads") {
        constexpr int kWorkers = 16;
        std::atomic<int> started{0};
        std::vector<std::thread> workers;
        for (int i = 0; i < kWorkers; ++i) {
            workers.emplace_back([&started] { CrashHelperIdleWorker(&started); });
        }
        while (started.load() < kWorkers) {
            SleepMs(1);
        }
        CrashHelperWriteThroughNull();
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    if (scenario == "segv-worker") {
        std::thread worker([] {
            SleepMs(50);
            CrashHelperWorkerFault();
        });
        CrashHelperMainThreadWaits(&worker);
        return 0;
    }
    if (scenario == "stack-overflow") {
        return CrashHelperRecurse(0);
    }
    if (scenario == "worker-stack-overflow") {
        int result = 0;
        std::thread worker([&result] {
            tessaro::InstallCrashStackForCurrentThread();
            result = CrashHelperRecurse(0);
        });
        worker.join();
        return result;
    }
    if (scenario == "abort") {
        CrashHelperAbort();
    }
    if (scenario == "terminate") {
        CrashHelperThrowThroughNoexcept();
    }
    if (scenario == "fault-in-writer") {
        g_faultInDumpWrite.store(true);
        CrashHelperWriteThroughNull();
    }
    if (scenario == "two-threads" || scenario == "two-threads-at-open") {
        (scenario == "two-threads" ? g_holdDumpWrite : g_holdDumpOpen).store(true);
        // The second thread starts with every signal but the faults blocked, so the writer
        // cannot stop it: it crashes while the dump is being written.
        const sigset_t before = BlockAllButFaults();
        std::thread second([] {
            while (!g_dumpWriteStarted.load()) {
                SleepMs(1);
            }
            CrashHelperWorkerFault();
        });
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        CrashHelperWriteThroughNull();
        second.join();
    }
    return 91;  // unknown scenario, or the crash did not end the process
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: crash_helper [--fsize=BYTES] SCENARIO\n", stderr);
        return 92;
    }
    int at = 1;
    if (std::strncmp(argv[at], "--fsize=", 8) == 0) {
        const rlimit limit{std::strtoul(argv[at] + 8, nullptr, 10),
                           std::strtoul(argv[at] + 8, nullptr, 10)};
        setrlimit(RLIMIT_FSIZE, &limit);
        ++at;
    }
    // The system must not write a core file of its own when the default action ends us.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    return Run(argc > at ? argv[at] : "", argc, argv);
}
