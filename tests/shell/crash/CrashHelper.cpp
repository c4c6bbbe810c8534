// A small program that installs the crash handler and then crashes the way its first argument
// says. The tests run it as a child process and look at its exit code and its dump.
//
// Faults inside the dump writer are injected here, not in the product: this program defines its
// own write() and open(), which take the place of the C library's for every caller in the
// process.
#include "framework/SFTask.h"
#include "framework/SFThreadEx.h"
#include "shell/CrashHandler.h"
#include "video/SFVideoPlayer.h"

#include <QGuiApplication>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>

namespace {

// What the dump writer meets in write() or open() on the dump file.
enum class WriterFault { None, CrashInWrite, HoldInWrite, HoldAfterOpen };
std::atomic<WriterFault> g_writerFault{WriterFault::None};
std::atomic<bool> g_writerHeld{false};

volatile int* volatile g_null = nullptr;
volatile int g_zero = 0;

// Keeps the first crash inside the writer while a second thread crashes.
void HoldTheWriter() {
    g_writerHeld.store(true);
    sleep(5);
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    if (fd > 2 && g_writerFault.load() == WriterFault::CrashInWrite) {
        *g_null = 1;
    } else if (fd > 2 && g_writerFault.load() == WriterFault::HoldInWrite) {
        HoldTheWriter();
    }
    return syscall(SYS_write, fd, data, size);
}

extern "C" int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(arguments, int) : 0;
    va_end(arguments);
    const int fd = static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
    if (fd >= 0 && g_writerFault.load() == WriterFault::HoldAfterOpen &&
        std::string_view(path).ends_with(".dmp")) {
        HoldTheWriter();
    }
    return fd;
}

// The functions a backtrace must name; never inlined, so each is a frame of its own.
extern "C" {

__attribute__((noinline)) int CrashHelperWriteThroughNull(void* = nullptr, void* = nullptr) {
    *g_null = 42;
    return 0;
}

__attribute__((noinline)) void CrashHelperIdleWorker(std::atomic<int>* started) {
    started->fetch_add(1);
    for (;;) {
        pause();
    }
}

__attribute__((noinline)) int CrashHelperRecurse(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    return depth == -1 ? 0 : CrashHelperRecurse(depth + 1) + frame[0];  // -1: never, not infinite
}

__attribute__((noinline)) void CrashHelperAbort() {
    std::abort();
}

__attribute__((noinline)) void CrashHelperTerminate() {
    std::terminate();
}

__attribute__((noinline)) int CrashHelperDivideByZero(void*, void*) {
    return 100 / g_zero;
}

}  // extern "C"

namespace {

// A task for the framework's worker thread.
struct Overflow {
    void Run() { CrashHelperRecurse(0); }
};

// The framework's worker thread, started as ML_HELPER is; the crash comes from the GUI thread's
// event loop, or from a task on the worker, which has its signal stack from the thread-start
// hook alone (as the player's decoding thread below).
void RunWithAWorker(int argc, char** argv, bool crashOnTheWorker) {
    QGuiApplication app(argc, argv);  // offscreen: the tests set the platform
    static Overflow overflow;
    auto worker = OrvexBase::CSFThreadEx_Qt::Create({});
    worker->Start();
    if (crashOnTheWorker) {
        worker->GetMessageLoop()->PostTask(OrvexBase::SFCreateTask(&overflow, &Overflow::Run));
    } else {
        QTimer::singleShot(0, &app, [] { CrashHelperWriteThroughNull(); });
    }
    QGuiApplication::exec();
}

void OverflowOnTheDecodingThread() {
    SF_SOFT_BASE::CSFVideoPlayer player;
    player.SetDecodeCallback(
        [](int, const uint8_t*, int, int, int, int, SF_SOFT_BASE::ESFColorMatrix,
           SF_SOFT_BASE::ESFColorRange, int, void*) { CrashHelperRecurse(0); },
        nullptr);
    if (player.Open(SAMPLE_VIDEO) == 1 && player.Play() == 1) {
        pause();
    }
}

// Crashes with `fault` set up for the dump writer. A second thread crashes once the first crash is
// held inside the writer; it starts with every signal but the faults blocked, so the writer
// cannot stop it.
void CrashWithWriterFault(WriterFault fault) {
    g_writerFault.store(fault);
    sigset_t set;
    sigset_t before;
    sigfillset(&set);
    for (int s : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) {
        sigdelset(&set, s);
    }
    pthread_sigmask(SIG_SETMASK, &set, &before);
    std::thread([] {
        while (!g_writerHeld.load()) {
            usleep(1000);
        }
        CrashHelperWriteThroughNull();
    }).detach();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    CrashHelperWriteThroughNull();
}

int Run(const std::string& scenario, int argc, char** argv) {
    if (scenario == "guarded-divide") {
        return tessaro::CallGuarded(CrashHelperDivideByZero, nullptr, nullptr, false);
    } else if (scenario == "guarded-filter") {
        return tessaro::CallGuarded(CrashHelperWriteThroughNull, nullptr, nullptr, true);
    } else if (!tessaro::InstallCrashHandler(true)) {
        return 90;
    }
    const std::map<std::string, std::function<void()>> scenarios = {
        {"segv-event-loop", [&] { RunWithAWorker(argc, argv, false); }},
        {"framework-worker-overflow", [&] { RunWithAWorker(argc, argv, true); }},
        {"decoding-thread-overflow", OverflowOnTheDecodingThread},
        {"many-threads",
         [] {
             // The main thread and 16 workers idle while another worker crashes.
             static std::atomic<int> started{0};
             for (int i = 0; i < 16; ++i) {
                 std::thread([] { CrashHelperIdleWorker(&started); }).detach();
             }
             std::thread([] {
                 while (started.load() < 17) {
                     usleep(1000);
                 }
                 CrashHelperWriteThroughNull();
             }).detach();
             CrashHelperIdleWorker(&started);
         }},
        {"stack-overflow", [] { CrashHelperRecurse(0); }},
        {"abort", CrashHelperAbort},
        {"no-room",  // the file size limit stands for a full disk
         [] {
             const rlimit limit{65536, 65536};
             setrlimit(RLIMIT_FSIZE, &limit);
             CrashHelperAbort();
         }},
        {"terminate", CrashHelperTerminate},
        {"fault-in-writer", [] { CrashWithWriterFault(WriterFault::CrashInWrite); }},
        {"two-threads", [] { CrashWithWriterFault(WriterFault::HoldInWrite); }},
        {"two-threads-at-open", [] { CrashWithWriterFault(WriterFault::HoldAfterOpen); }},
    };
    if (const auto found = scenarios.find(scenario); found != scenarios.end()) {
        found->second();
    }
    return 91;  // unknown scenario, or the crash did not end the process
}

}  // namespace

int main(int argc, char** argv) {
    // The system must not write a core file of its own when the default action ends us.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    return Run(argc > 1 ? argv[1] : "", argc, argv);
}
