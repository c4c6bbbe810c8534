#pragma once
// Crash handling: when a fatal signal reaches the process, an ELF core file of the process is
// written beside the executable ("<executable path>.dmp"), or, when that folder cannot take it,
// in the state folder ("$XDG_STATE_HOME/tessaro/<executable name>.dmp", by default under
// ~/.local/state), and the process ends with a fixed exit code, so the user loses nothing more
// than the crash itself and the developer gets a dump that `gdb <executable> <dump>` opens (see
// docs/crash.md).
//
// Exit codes:
//   1  the first crash seen by the crash filter (a dump was written if it could be);
//   2  a fatal fault (invalid memory access, bus error, illegal instruction, division by zero,
//      stack overflow) seen by the exception classifier of a vectored-mode guarded call;
//   23 a crash while another crash is being handled (nested in the dump writer, or a second
//      thread crashing at the same time): the process ends at once, without a second dump.
//
// Everything the signal handlers need (the dump path, buffers for the memory map, the signal
// stack) is prepared by the install call; the handlers themselves use only async-signal-safe
// system calls (open, read, write, lseek, close, unlink, _exit and the like): no allocation, no
// stdio, no locks that the crashed code may hold.
#include <cstdint>

namespace tessaro {

// Installs crash handling for the whole process. Call it on the GUI thread at start-up, before
// the program's own threads start; threads that already exist (the application object may
// start some) are covered too, since signal dispositions belong to the process. Not to be
// called from two threads at once.
//
// With `filterMode` true: installs the crash filter for SIGSEGV, SIGBUS, SIGILL, SIGFPE and
// SIGABRT (std::terminate ends in SIGABRT), running on an alternate signal stack prepared for
// the calling thread, so a stack overflow of that thread is handled too; and installs the
// thread-start hook of sf_os (SetThreadStartHook), so every thread that runs it at its entry gets
// a signal stack of its own. Idempotent. Returns false only if the handlers could not be
// installed at all.
//
// With `filterMode` false: the classifier is installed and removed again at once; nothing stays
// installed (signal dispositions and the signal stack are as before). Returns true.
bool InstallCrashHandler(bool filterMode);

// Gives the calling thread its own alternate signal stack, so that a stack overflow on it is
// handled (and dumped) as well. The stack lives until the thread ends. Threads that never call
// it still have their crashes handled, on their own stack, except a stack overflow, which then
// ends the process by the system's default action. Safe to call more than once. Returns false
// if the stack could not be allocated.
bool InstallCrashStackForCurrentThread();

// The guarded call: runs `function(first, second)` under crash handling and returns its result.
// A null function returns 1 without doing anything. With `filterMode` true the crash filter is
// installed (as InstallCrashHandler(true)) and stays. With `filterMode` false the exception
// classifier is installed in front of whatever handlers exist for the duration of the call and
// removed afterwards: the fatal faults listed above write the dump and end the process with
// exit code 2; every other signal it sees is counted (benign or other) and passed on to the
// handler that was installed before it, or to the default action. Not reentrant: call from one
// thread at a time.
using GuardedFunction = int (*)(void* first, void* second);
int CallGuarded(GuardedFunction function, void* first, void* second, bool filterMode);

// The counters of the crash filter and the exception classifier. Readable from any thread.
struct CrashCounters {
    std::int32_t crashes = 0;  // crashes seen by the filter or fatal faults by the classifier
    std::int32_t benign = 0;   // classifier: misalignment, breakpoints, floating-point flags
    std::int32_t other = 0;    // classifier: every other signal it saw (abort and the like)
};
CrashCounters GetCrashCounters();

// The full path the dump goes to first, prepared by InstallCrashHandler: beside the executable
// when its folder was writable then, otherwise in the state folder (the dump goes there also
// when the file cannot be created beside the executable at the crash). Empty when neither path
// fits (an executable path or name too long, no state folder known).
const char* CrashDumpPath();

}  // namespace tessaro
