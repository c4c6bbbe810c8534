#include "framework/SFTimer.h"

#include <QTimerEvent>

namespace OrvexBase {

CSFTimer::CSFTimer(QObject* parent) : QObject(parent) {}

CSFTimer::~CSFTimer() {
    Stop();
}

int CSFTimer::Start(int intervalMs, Callback callback, void* user) {
    Stop();
    m_callback = std::move(callback);
    m_user = user;
    m_timerId = startTimer(intervalMs);
    return m_timerId;
}

void CSFTimer::Stop() {
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
}

void CSFTimer::timerEvent(QTimerEvent* event) {
    if (!m_callback) {
        return;
    }
    // The callback may Start this timer again with another callback, which replaces m_callback
    // while it runs: call a copy, so the running callable and what it captured live until it
    // returns.
    const Callback callback = m_callback;
    callback(event->timerId(), m_user);
}

}  // namespace OrvexBase
