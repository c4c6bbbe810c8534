#include "shell/CrashHandler.h"

#include "framework/os/SFThread.h"
#include "shell/CrashDumpWriter.h"

#include <QLoggingCategory>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstddef>
#include <iterator>

Q_LOGGING_CATEGORY(lcCrash, "tessaro.crash", QtWarningMsg)

namespace tessaro {
namespace {

constexpr int kExitCrash = 1;
constexpr int kExitFatalFault = 2;
constexpr int kExitNestedCrash = 23;

// The signals by which a crash reaches the process; std::terminate ends in abort(), SIGABRT.
constexpr int kFilterSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
// The classifier also sees breakpoints and single steps, which it counts as benign.
constexpr int kClassifierSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
constexpr std::size_t kClassifierCount = std::size(kClassifierSignals);

std::atomic<std::int32_t> g_crashCount{0};
std::atomic<std::int32_t> g_benignCount{0};
std::atomic<std::int32_t> g_otherCount{0};
static_assert(std::atomic<std::int32_t>::is_always_lock_free, "used inside signal handlers");

bool g_filterInstalled = false;
// What the classifier passes unhandled signals on to: the dispositions it replaced.
struct sigaction g_beforeClassifier[kClassifierCount];

// The first crash writes the dump; anything that crashes while that is going on (the dump writer
// itself, or another thread) ends the process at once.
[[noreturn]] void DumpAndExit(int signal, siginfo_t* info, void* context, int exitCode) {
    if (g_crashCount.fetch_add(1, std::memory_order_acq_rel) != 0) {
        crash::AbandonCoreDump();  // the first crash's dump will not be finished
        ::_exit(kExitNestedCrash);
    }
    crash::WriteCoreDump(signal, info, context);
    ::_exit(exitCode);
}

void CrashFilter(int signal, siginfo_t* info, void* context) {
    DumpAndExit(signal, info, context, kExitCrash);
}

enum class FaultKind { Fatal, Benign, Other };

// The three rows of the classifier, mapped from exception codes onto signals and their si_code:
// invalid access, in-page error (bus error), illegal and privileged instructions, division by
// zero, array bounds and stack overflow (a SIGSEGV) are fatal; misalignment, breakpoints, single
// steps and the floating-point flags (overflow, underflow, inexact, invalid) are benign.
FaultKind Classify(int signal, int code) {
    switch (signal) {
        case SIGSEGV:
        case SIGILL:
            return FaultKind::Fatal;
        case SIGBUS:
            return code == BUS_ADRALN ? FaultKind::Benign : FaultKind::Fatal;
        case SIGFPE:
            return code == FPE_INTDIV || code == FPE_FLTDIV || code == FPE_FLTSUB
                       ? FaultKind::Fatal
                       : FaultKind::Benign;
        case SIGTRAP:
            return FaultKind::Benign;
        default:
            return FaultKind::Other;
    }
}

// "Continue the search for a handler": hand the signal to the disposition the classifier
// replaced. A default (or, for a fault the kernel raised, an ignored) disposition is restored
// and the signal raised again, so the process ends as it would have without the classifier.
void PassOn(int signal, siginfo_t* info, void* context) {
    for (std::size_t i = 0; i < kClassifierCount; ++i) {
        if (kClassifierSignals[i] != signal) {
            continue;
        }
        const struct sigaction& before = g_beforeClassifier[i];
        if ((before.sa_flags & SA_SIGINFO) != 0 && before.sa_sigaction != nullptr) {
            before.sa_sigaction(signal, info, context);
            return;
        }
        if (before.sa_handler == SIG_IGN && info->si_code <= 0) {
            return;  // sent by a process and ignored before: stays ignored
        }
        if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
            before.sa_handler(signal);
            return;
        }
        break;
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

void Classifier(int signal, siginfo_t* info, void* context) {
    switch (Classify(signal, info->si_code)) {
        case FaultKind::Fatal:
            DumpAndExit(signal, info, context, kExitFatalFault);
        case FaultKind::Benign:
            g_benignCount.fetch_add(1, std::memory_order_relaxed);
            break;
        case FaultKind::Other:
            g_otherCount.fetch_add(1, std::memory_order_relaxed);
            break;
    }
    PassOn(signal, info, context);
}

struct sigaction HandlerAction(void (*handler)(int, siginfo_t*, void*)) {
    struct sigaction action {};
    action.sa_sigaction = handler;
    // SA_NODEFER: a fault inside the handler (in the dump writer) enters it again and ends the
    // process with the nested exit code, instead of being forced to the default action.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    // A dump larger than the file size limit, or a closed pipe, is a failed write, not a kill.
    sigaddset(&action.sa_mask, SIGXFSZ);
    sigaddset(&action.sa_mask, SIGPIPE);
    return action;
}

void InstallClassifier() {
    const struct sigaction action = HandlerAction(Classifier);
    for (std::size_t i = 0; i < kClassifierCount; ++i) {
        ::sigaction(kClassifierSignals[i], &action, &g_beforeClassifier[i]);
    }
}

void RemoveClassifier() {
    for (std::size_t i = 0; i < kClassifierCount; ++i) {
        ::sigaction(kClassifierSignals[i], &g_beforeClassifier[i], nullptr);
    }
}

// One alternate signal stack per thread that asked for it, released when the thread ends.
class ThreadSignalStack {
public:
    ~ThreadSignalStack() {
        if (m_memory == nullptr) {
            return;
        }
        stack_t current{};
        if (::sigaltstack(nullptr, &current) == 0 && current.ss_sp == m_stack) {
            if ((current.ss_flags & SS_ONSTACK) != 0) {
                return;  // still in use by a handler: keep it mapped
            }
            stack_t off{};
            off.ss_flags = SS_DISABLE;
            ::sigaltstack(&off, nullptr);
        }
        ::munmap(m_memory, m_size);
    }

    bool Install() {
        if (m_memory != nullptr) {
            return true;
        }
        const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        const long minimum = ::sysconf(_SC_MINSIGSTKSZ);
        std::size_t usable = std::max<std::size_t>(
            256u << 10, minimum > 0 ? static_cast<std::size_t>(minimum) * 4 : 0);
        usable = (usable + page - 1) / page * page;
        m_size = usable + page;
        void* memory = ::mmap(nullptr, m_size, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        if (memory == MAP_FAILED) {
            return false;
        }
        // A guard page below the stack: an overflow of the handler itself faults instead of
        // writing over other memory.
        ::mprotect(memory, page, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char*>(memory) + page;
        stack.ss_size = usable;
        if (::sigaltstack(&stack, nullptr) != 0) {
            ::munmap(memory, m_size);
            return false;
        }
        m_memory = memory;
        m_stack = stack.ss_sp;
        return true;
    }

private:
    void* m_memory = nullptr;
    void* m_stack = nullptr;
    std::size_t m_size = 0;
};

thread_local ThreadSignalStack t_signalStack;

// Run by the program's own threads as they start (the framework's worker, the player's decoding
// thread): each gets its signal stack without the framework or the player knowing of the shell.
void GiveThreadASignalStack() {
    if (!t_signalStack.Install()) {
        qCInfo(lcCrash) << "no alternate signal stack for a new thread";
    }
}

}  // namespace

bool InstallCrashStackForCurrentThread() {
    return t_signalStack.Install();
}

bool InstallCrashHandler(bool filterMode) {
    if (!filterMode) {
        InstallClassifier();
        RemoveClassifier();
        return true;
    }
    if (g_filterInstalled) {
        return true;
    }
    if (!crash::PrepareCoreWriter()) {
        qCInfo(lcCrash) << "no memory for the dump writer; crashes will end without a dump";
    }
    if (crash::PreparedDumpPath()[0] == '\0') {
        qCInfo(lcCrash) << "no folder can take a dump: no dump will be written";
    }
    if (!InstallCrashStackForCurrentThread()) {
        qCInfo(lcCrash) << "no alternate signal stack; a stack overflow will not be dumped";
    }
    SF_SOFT_BASE::SetThreadStartHook(GiveThreadASignalStack);
    const struct sigaction action = HandlerAction(CrashFilter);
    bool installed = true;
    for (int signal : kFilterSignals) {
        installed = ::sigaction(signal, &action, nullptr) == 0 && installed;
    }
    g_filterInstalled = installed;
    qCDebug(lcCrash) << "crash filter installed, dump path" << crash::PreparedDumpPath();
    return installed;
}

int CallGuarded(GuardedFunction function, void* first, void* second, bool filterMode) {
    if (function == nullptr) {
        return 1;
    }
    if (filterMode) {
        InstallCrashHandler(true);
        return function(first, second);
    }
    crash::PrepareCoreWriter();
    InstallCrashStackForCurrentThread();
    InstallClassifier();
    const int result = function(first, second);
    RemoveClassifier();
    return result;
}

CrashCounters GetCrashCounters() {
    CrashCounters counters;
    counters.crashes = g_crashCount.load(std::memory_order_acquire);
    counters.benign = g_benignCount.load(std::memory_order_relaxed);
    counters.other = g_otherCount.load(std::memory_order_relaxed);
    return counters;
}

const char* CrashDumpPath() {
    return crash::PreparedDumpPath();
}

}  // namespace tessaro
