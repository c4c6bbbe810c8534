#include "framework/os/SFThread.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "framework/os/SFEvent.h"

namespace SF_SOFT_BASE {

namespace {
std::atomic<SF_THREAD_START_HOOK> g_threadStartHook{nullptr};
}  // namespace

void SetThreadStartHook(SF_THREAD_START_HOOK hook) {
    g_threadStartHook.store(hook, std::memory_order_release);
}

void RunThreadStartHook() {
    if (const SF_THREAD_START_HOOK hook = g_threadStartHook.load(std::memory_order_acquire)) {
        hook();
    }
}

// Shared by the owner and the running thread, so that either may go first.
struct CSFThread::Record {
    std::mutex mutex;
    std::condition_variable ended;
    bool created = false;
    bool finished = false;
    bool joinable = false;  // pthread not yet joined or detached
    pthread_t thread{};
    std::uint32_t threadId = 0;
    std::int64_t exitCode = -1;
    SF_THREAD_ROUTINE routine = nullptr;
    void* argument = nullptr;
    // Set by the new thread before the routine runs; Create waits for it so the id is known.
    bool idKnown = false;
};

CSFThread::CSFThread() : m_record(std::shared_ptr<Record>(new (std::nothrow) Record)) {}

CSFThread::~CSFThread() {
    if (!m_record) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    if (m_record->joinable) {
        pthread_detach(m_record->thread);
        m_record->joinable = false;
    }
}

int CSFThread::Create(std::uint32_t stackSize, SF_THREAD_ROUTINE routine, void* argument,
                      std::uint32_t /*flags*/, std::uint32_t* threadId) {
    if (!m_record || routine == nullptr) {
        return 0;
    }
    std::unique_lock<std::mutex> lock(m_record->mutex);
    if (m_record->created) {
        if (threadId != nullptr) {
            *threadId = m_record->threadId;
        }
        return 1;
    }
    m_record->routine = routine;
    m_record->argument = argument;

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (stackSize != 0) {
        pthread_attr_setstacksize(&attr,
                                  stackSize < PTHREAD_STACK_MIN ? PTHREAD_STACK_MIN : stackSize);
    }
    auto* keep = new (std::nothrow) std::shared_ptr<Record>(m_record);
    if (keep == nullptr) {
        pthread_attr_destroy(&attr);
        return 0;
    }
    auto entry = [](void* p) -> void* {
        std::shared_ptr<Record> record = std::move(*static_cast<std::shared_ptr<Record>*>(p));
        delete static_cast<std::shared_ptr<Record>*>(p);
        RunThreadStartHook();
        {
            std::lock_guard<std::mutex> guard(record->mutex);
            record->threadId = GetCurrentThreadID();
            record->idKnown = true;
        }
        record->ended.notify_all();
        unsigned code = record->routine(record->argument);
        {
            std::lock_guard<std::mutex> guard(record->mutex);
            record->exitCode = code;
            record->finished = true;
        }
        record->ended.notify_all();
        return nullptr;
    };
    int rc = pthread_create(&m_record->thread, &attr, entry, keep);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete keep;
        return 0;
    }
    m_record->created = true;
    m_record->joinable = true;
    m_record->ended.wait(lock, [this] { return m_record->idKnown; });
    if (threadId != nullptr) {
        *threadId = m_record->threadId;
    }
    return 1;
}

bool CSFThread::IsCreated() const {
    if (!m_record) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    return m_record->created;
}

int CSFThread::Wait(std::uint32_t timeoutMs) {
    if (!m_record) {
        return SF_WAIT_FAILED;
    }
    Record& r = *m_record;
    std::unique_lock<std::mutex> lock(r.mutex);
    if (!r.created || r.threadId == GetCurrentThreadID()) {
        return SF_WAIT_FAILED;
    }
    if (timeoutMs == SF_INFINITE) {
        while (!r.finished) {
            r.ended.wait(lock);
        }
    } else {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!r.finished) {
            if (r.ended.wait_until(lock, deadline) == std::cv_status::timeout && !r.finished) {
                return SF_WAIT_TIMEOUT;
            }
        }
    }
    if (r.joinable) {
        // The routine has returned; joining only collects the thread's last instructions.
        r.joinable = false;
        pthread_t thread = r.thread;
        lock.unlock();
        pthread_join(thread, nullptr);
    }
    return SF_WAIT_OBJECT_0;
}

int CSFThread::Terminate(unsigned /*exitCode*/) {
    if (!m_record) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    if (m_record->joinable) {
        pthread_detach(m_record->thread);
        m_record->joinable = false;
    }
    return 0;
}

std::int64_t CSFThread::ExitCode() const {
    if (!m_record) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    return m_record->exitCode;
}

std::uint32_t CSFThread::ThreadID() const {
    if (!m_record) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    return m_record->threadId;
}

std::uint32_t CSFThread::GetCurrentThreadID() {
    return static_cast<std::uint32_t>(::syscall(SYS_gettid));
}

}  // namespace SF_SOFT_BASE
