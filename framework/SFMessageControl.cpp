#include "framework/SFMessageControl.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>

#include "framework/os/SFSystem.h"

Q_LOGGING_CATEGORY(lcFramework, "tessaro.framework", QtWarningMsg)

namespace OrvexBase {

CSFMessageControl::~CSFMessageControl() = default;

void CSFMessageControl::ScheduleDelayedWork() {}

MsgQObject::MsgQObject(CSFMessageControl_Qt* control) : m_control(control) {}

bool MsgQObject::event(QEvent* e) {
    if (e->type() == static_cast<QEvent::Type>(CSFMessageControl_Qt::WakeUpEventType)) {
        m_control->OnWakeUp();
        return false;
    }
    // Everything else keeps QObject's handling: a Quit from another thread arrives as a queued
    // call, which QObject::event runs.
    return QObject::event(e);
}

bool MsgQObject::eventFilter(QObject* /*watched*/, QEvent* e) {
    switch (e->type()) {
        case QEvent::Timer:
            if (static_cast<QTimerEvent*>(e)->timerId() == m_control->m_timer->timerId()) {
                return m_control->OnTick();
            }
            return false;
        case QEvent::ApplicationActivate:
        case QEvent::ApplicationDeactivate:
            qCDebug(lcFramework, "ApplicationActivate == %s",
                    e->type() == QEvent::ApplicationActivate ? "true" : "false");
            return false;
        default:
            return false;
    }
}

CSFMessageControl_Qt::CSFMessageControl_Qt(std::weak_ptr<CDelegate> delegate)
    : m_delegate(std::move(delegate)), m_object(this), m_timer(new QTimer(&m_object)) {
    m_timer->setInterval(0);
    m_timer->start();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(&m_object);
    }
}

CSFMessageControl_Qt::~CSFMessageControl_Qt() {
    m_timer->stop();
    delete m_timer;
    m_timer = nullptr;
    // m_object is destroyed next; a destroyed filter is no longer called.
}

void CSFMessageControl_Qt::OnWakeUp() {
    if (m_inTask) {
        m_restartAfterTask = true;
        return;
    }
    if (!m_timer->isActive()) {
        m_timer->start(0);
    }
}

// The tick of this control's timer: one pass of the loop it drives (ML_MAIN in the
// application). The event is consumed; without a loop it is left to Qt and the timer stops, so a
// control that outlived its loop does not spin.
bool CSFMessageControl_Qt::OnTick() {
    if (m_delegate.expired()) {
        m_timer->stop();
        return false;
    }
    Run();
    return true;
}

void CSFMessageControl_Qt::Run() {
    if (m_inTask) {
        // A nested event loop inside one of our tasks: run nothing now, resume afterwards.
        m_timer->stop();
        m_restartAfterTask = true;
        return;
    }
    std::shared_ptr<CDelegate> delegate = m_delegate.lock();
    if (!delegate) {
        return;
    }
    m_inTask = true;
    bool ran = delegate->DoWork();
    if (!ran) {
        delegate->DoDelayedWork();
        ran = delegate->DoIdleWork();
    }
    m_inTask = false;
    if (!ran) {
        m_timer->stop();
        return;
    }
    if (m_restartAfterTask) {
        m_restartAfterTask = false;
        if (!m_timer->isActive()) {
            m_timer->start(0);
        }
    }
}

void CSFMessageControl_Qt::ScheduleWork() {
    QCoreApplication::postEvent(&m_object, new QEvent(static_cast<QEvent::Type>(WakeUpEventType)));
}

void CSFMessageControl_Qt::ScheduleDelayedWork() {
    ScheduleWork();
}

void CSFMessageControl_Qt::Quit() {
    auto stop = [this] {
        m_timer->stop();
        m_restartAfterTask = false;
    };
    if (QThread::currentThread() == m_object.thread()) {
        stop();
        return;
    }
    // Dropped unrun when the control (and m_object with it) is destroyed first.
    QMetaObject::invokeMethod(&m_object, stop, Qt::QueuedConnection);
}

bool CSFMessageControl_Qt::IsTimerActive() const {
    return m_timer->isActive();
}

CSFMessageControl_Default::CSFMessageControl_Default(std::weak_ptr<CDelegate> delegate)
    : m_delegate(std::move(delegate)) {
    m_wakeEvent.Create(true, true);
}

CSFMessageControl_Default::~CSFMessageControl_Default() {
    if (m_running.load() != 0) {
        Quit();
    }
    m_wakeEvent.Close();
}

void CSFMessageControl_Default::Run() {
    while (m_running.load() != 0) {
        std::shared_ptr<CDelegate> delegate = m_delegate.lock();
        if (!delegate) {
            return;
        }
        if (delegate->DoWork()) {
            continue;
        }
        delegate->DoDelayedWork();
        if (delegate->DoIdleWork()) {
            continue;
        }
        if (!delegate->IsIdle()) {
            continue;
        }
        {
            SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
            m_wakeEvent.Reset();
        }
        // Work posted after the idle check above set the event before or after this reset;
        // before it, it is seen here, after it, the wait below returns at once.
        if (!delegate->IsIdle() || m_running.load() == 0) {
            continue;
        }
        delegate.reset();
        SF_SOFT_BASE::CSFSystem::Sleep(5);
        m_wakeEvent.Wait(SF_SOFT_BASE::SF_INFINITE);
    }
}

void CSFMessageControl_Default::ScheduleWork() {
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    m_wakeEvent.Set();
}

void CSFMessageControl_Default::ScheduleDelayedWork() {
    ScheduleWork();
}

void CSFMessageControl_Default::Quit() {
    m_running.store(0);
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    m_wakeEvent.Set();
}

}  // namespace OrvexBase
