#include "video/SFPlayerThread.h"

#include "framework/os/SFThread.h"

namespace SF_SOFT_BASE {

// The decoding thread's entry: everything the thread runs starts and ends here.
void CSFPlayerThread::DecodingThreadMain() {
    RunThreadStartHook();  // the crash handler's alternate signal stack for this thread
    m_decodingThread = std::this_thread::get_id();
    m_body();
    m_decodingThread = std::thread::id();
}

bool CSFPlayerThread::Start() {
    if (!OnDecodingThread()) {
        bool stoppedInside;
        {
            std::lock_guard lock(m_mutex);
            stoppedInside = m_thread.joinable() && m_stopRequested && !m_stopping;
        }
        if (stoppedInside)
            End();
    }
    std::lock_guard lock(m_mutex);
    if (!m_loaded || m_stopping)
        return false;
    if (m_thread.joinable())
        return !m_stopRequested;
    m_stopRequested = false;
    m_thread = std::thread(&CSFPlayerThread::DecodingThreadMain, this);
    return true;
}

void CSFPlayerThread::Stop() {
    if (OnDecodingThread())
        m_stopRequested = true;
    else
        End();
}

bool CSFPlayerThread::End(const std::function<bool()>& reload) {
    std::lock_guard joining(m_joinMutex);
    std::thread running;
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
        m_stopping = true;
        running = std::move(m_thread);
    }
    m_wake.notify_all();
    if (running.joinable())
        running.join();
    bool wasLoaded;
    {
        std::lock_guard lock(m_mutex);
        wasLoaded = m_loaded;
        if (reload) {
            m_loaded = false;
            m_seekPending = false;
        }
        // Cleared before the reload: FFmpeg's I/O would give up on an open while it is set.
        m_stopRequested = false;
    }
    const bool loaded = reload ? reload() : wasLoaded;
    std::lock_guard lock(m_mutex);
    m_loaded = loaded;
    m_stopping = false;
    return wasLoaded;
}

void CSFPlayerThread::Abandon() {
    std::lock_guard lock(m_mutex);
    m_stopRequested = true;
    if (m_thread.joinable())
        m_thread.detach();
}

bool CSFPlayerThread::Loaded() const {
    std::lock_guard lock(m_mutex);
    return m_loaded;
}

bool CSFPlayerThread::RequestSeek(double position) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_loaded)
            return false;
        m_seekPending = true;
        m_seekPosition = position;
    }
    m_wake.notify_all();
    return true;
}

bool CSFPlayerThread::TakeSeek(double& position) {
    std::lock_guard lock(m_mutex);
    if (!m_seekPending)
        return false;
    m_seekPending = false;
    position = m_seekPosition;
    return true;
}

bool CSFPlayerThread::SeekPending() const {
    std::lock_guard lock(m_mutex);
    return m_seekPending;
}

bool CSFPlayerThread::WaitUntil(Clock::time_point due) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_until(lock, due,
                              [this] { return m_stopRequested.load() || m_seekPending; });
}

void CSFPlayerThread::WaitForStop(Clock::duration duration) {
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, duration, [this] { return m_stopRequested.load(); });
}

void CSFPlayerThread::WaitForSeekOrStop() {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopRequested.load() || m_seekPending; });
}

}  // namespace SF_SOFT_BASE
