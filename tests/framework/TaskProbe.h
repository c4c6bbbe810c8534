#pragma once
// What the framework tests post: a probe that records each call's value and thread, and a
// wait with a deadline (a lost task or wake-up fails the test instead of hanging it) that keeps
// the GUI thread's events moving while it waits.
#include <QCoreApplication>
#include <QEventLoop>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/os/SFThread.h"

namespace taskprobe {

class CProbe {
public:
    void Note(int value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values.push_back(value);
        m_threads.push_back(SF_SOFT_BASE::CSFThread::GetCurrentThreadID());
        ++m_count;
    }
    std::vector<int> Values() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_values;
    }
    std::vector<std::uint32_t> Threads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }
    std::atomic<int> m_count{0};

private:
    std::mutex m_mutex;
    std::vector<int> m_values;
    std::vector<std::uint32_t> m_threads;
};

// On the GUI thread (when a QCoreApplication exists) it processes events while it waits.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

}  // namespace taskprobe
