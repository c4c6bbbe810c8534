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
    if (m_callback) {
        m_callback(event->timerId(), m_user);
    }
}

}  // namespace OrvexBase
