#include "framework/os/SFEvent.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

namespace SF_SOFT_BASE {

struct CSFEvent::Record {
    std::mutex mutex;
    std::condition_variable cv;
    bool created = false;
    bool manualReset = false;
    bool signalled = false;
    // Bumped by Close so that waiters of a closed event do not take a later event for theirs.
    std::uint64_t generation = 0;
};

CSFEvent::CSFEvent() : m_record(new (std::nothrow) Record) {}

CSFEvent::~CSFEvent() {
    Close();
}

int CSFEvent::Create(bool initiallySignalled, bool manualReset) {
    if (!m_record) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    if (m_record->created) {
        return 0;
    }
    m_record->created = true;
    m_record->manualReset = manualReset;
    m_record->signalled = initiallySignalled;
    return 1;
}

bool CSFEvent::IsCreated() const {
    if (!m_record) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    return m_record->created;
}

int CSFEvent::Set() {
    if (!m_record) {
        return 0;
    }
    bool manualReset = false;
    {
        std::lock_guard<std::mutex> lock(m_record->mutex);
        if (!m_record->created) {
            return 0;
        }
        m_record->signalled = true;
        manualReset = m_record->manualReset;
    }
    if (manualReset) {
        m_record->cv.notify_all();
    } else {
        m_record->cv.notify_one();
    }
    return 1;
}

int CSFEvent::Reset() {
    if (!m_record) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_record->mutex);
    if (!m_record->created) {
        return 0;
    }
    m_record->signalled = false;
    return 1;
}

int CSFEvent::Wait(std::uint32_t timeoutMs) {
    if (!m_record) {
        return SF_WAIT_FAILED;
    }
    Record& r = *m_record;
    std::unique_lock<std::mutex> lock(r.mutex);
    if (!r.created) {
        return SF_WAIT_FAILED;
    }
    const std::uint64_t generation = r.generation;
    auto ready = [&r, generation] {
        return r.signalled || !r.created || r.generation != generation;
    };
    if (timeoutMs == SF_INFINITE) {
        while (!ready()) {
            r.cv.wait(lock);
        }
    } else {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!ready()) {
            if (r.cv.wait_until(lock, deadline) == std::cv_status::timeout && !ready()) {
                return SF_WAIT_TIMEOUT;
            }
        }
    }
    if (!r.created || r.generation != generation) {
        return SF_WAIT_FAILED;
    }
    if (!r.manualReset) {
        r.signalled = false;
    }
    return SF_WAIT_OBJECT_0;
}

int CSFEvent::MsgWait(std::uint32_t timeoutMs) {
    return Wait(timeoutMs);
}

void CSFEvent::Close() {
    if (!m_record) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_record->mutex);
        if (!m_record->created) {
            return;
        }
        m_record->created = false;
        m_record->signalled = false;
        ++m_record->generation;
    }
    m_record->cv.notify_all();
}

}  // namespace SF_SOFT_BASE
