#pragma once
// CSFThread: one OS thread. The object that created the thread may wait for it (with a
// timeout) or let it go; destroying the object never waits: a running thread is detached and
// ends on its own.
//
// Threads: Create, Wait, Terminate and the destructor are called by the owning thread (Wait may
// also be called by several threads at once); GetCurrentThreadID by anyone.
#include <cstdint>
#include <memory>

namespace SF_SOFT_BASE {

// The thread's routine; its return value is the thread's exit code.
using SF_THREAD_ROUTINE = unsigned (*)(void* argument);

// The thread-start hook: every CSFThread runs it first thing (so the framework's workers do), and
// threads started otherwise (the player's decoding thread) call RunThreadStartHook at their
// entry, so that a layer above (the crash handler, which gives each such thread its own
// alternate signal stack) can prepare per-thread state without this library, the framework or
// the player depending on it.
using SF_THREAD_START_HOOK = void (*)();
// Installs `hook` (null removes it) for threads that start from now on. Any thread.
void SetThreadStartHook(SF_THREAD_START_HOOK hook);
// Runs the installed hook, if any, on the calling thread.
void RunThreadStartHook();

class CSFThread {
public:
    CSFThread();
    ~CSFThread();
    CSFThread(const CSFThread&) = delete;
    CSFThread& operator=(const CSFThread&) = delete;

    // Starts routine(argument) on a new thread unless this object already made one (then it
    // returns 1 without starting another). stackSize 0 is the default size; flags are ignored.
    // Stores the new thread's id (the kernel's thread id) in *threadId when given; blocks only
    // until the new thread has reported that id. Returns 1, or 0 when the thread could not be
    // created (the routine then never runs).
    int Create(std::uint32_t stackSize, SF_THREAD_ROUTINE routine, void* argument,
               std::uint32_t flags, std::uint32_t* threadId);
    bool IsCreated() const;
    // Waits until the thread has ended (SF_INFINITE: no limit) and then releases it. Returns
    // SF_WAIT_OBJECT_0 (also when it ended before), SF_WAIT_TIMEOUT, or SF_WAIT_FAILED without
    // thread or when called on the thread itself (which would never return).
    int Wait(std::uint32_t timeoutMs);
    // A POSIX thread cannot be ended from outside without leaving locks held and objects
    // half-destroyed, so this only lets the thread go (it runs to its end) and returns 0.
    int Terminate(unsigned exitCode);
    // The exit code once the thread has ended; -1 before.
    std::int64_t ExitCode() const;
    // The kernel's id of the created thread (0 before Create).
    std::uint32_t ThreadID() const;

    // The kernel's id of the calling thread (gettid), unique among live threads of the system.
    static std::uint32_t GetCurrentThreadID();

private:
    struct Record;
    std::shared_ptr<Record> m_record;
};

}  // namespace SF_SOFT_BASE
