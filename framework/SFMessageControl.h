#pragma once
// Message controls: who decides when a message loop's work runs on its thread.
//
// CSFMessageControl_Qt drives a loop from the Qt event loop of the GUI thread: a posted wake-up
// event (type 9393) starts a 0 ms timer, and each timeout runs one pass (at most one task), so
// user input and painting are processed between tasks; a pass that finds nothing stops the
// timer. CSFMessageControl_Default runs a blocking loop on a worker thread and sleeps on an
// event when there is nothing to do.
//
// Nested loops: a task that opens a modal dialog (or otherwise spins a QEventLoop) re-enters
// the Qt event loop while it is still running. The Qt control never starts a task inside
// another task of its loop: a tick or wake-up arriving while a task runs stops the timer and
// remembers the work; when the outer task returns the pass restarts the timer, so the pending
// tasks run afterwards, in order. Tasks of a Qt-driven loop therefore never nest. (Qt does not
// fire a timer again from inside that timer's own event, but a timer stopped and started again
// inside the task, by Quit and a later post, is a new activation that would.) The modal loop
// itself keeps processing input and painting meanwhile.
//
// Lifetimes: a loop owns its control (shared_ptr); the control refers back to the loop weakly
// and does nothing once the loop is gone.
#include <QObject>

#include <atomic>
#include <memory>

#include "framework/os/SFEvent.h"
#include "framework/os/SFToolMutex.h"

class QTimer;

namespace OrvexBase {

class CSFMessageControl {
public:
    // The work source a control drives (implemented by CSFMessageLoop). Called only on the
    // loop's thread; each returns whether it found something.
    class CDelegate {
    public:
        virtual bool DoWork() = 0;         // run at most one ordinary task
        virtual bool DoDelayedWork() = 0;  // there are no timed tasks: false
        virtual bool DoIdleWork() = 0;     // run at most one idle task
        virtual bool IsIdle() = 0;         // no task waits in either queue

    protected:
        virtual ~CDelegate() = default;
    };

    virtual ~CSFMessageControl();
    // Loop thread only. Qt: one pass; default: blocks until Quit.
    virtual void Run() = 0;
    // Any thread: new work is queued.
    virtual void ScheduleWork() = 0;
    // Any thread: stop running.
    virtual void Quit() = 0;
    // Any thread; the same as ScheduleWork (there are no timed tasks).
    virtual void ScheduleDelayedWork();
};

class CSFMessageControl_Qt;

// The QObject side of the Qt control: receives the wake-up events and, as the application's
// event filter, sees the timer's ticks before the timer object does. GUI thread only.
class MsgQObject : public QObject {
    Q_OBJECT
public:
    explicit MsgQObject(CSFMessageControl_Qt* control);
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    CSFMessageControl_Qt* m_control;
};

class CSFMessageControl_Qt : public CSFMessageControl {
public:
    static constexpr int WakeUpEventType = 9393;

    // GUI thread, with a QCoreApplication present: creates the timer, starts it once (the first
    // pass finds no work and stops it) and installs the filter on the application.
    explicit CSFMessageControl_Qt(std::weak_ptr<CDelegate> delegate);
    // GUI thread.
    ~CSFMessageControl_Qt() override;

    // GUI thread. One pass: one ordinary task, else one idle task, else stop the timer. Inside a
    // running task of this loop it runs nothing (see the nested-loop rule above).
    void Run() override;
    // Any thread: posts a 9393 event; its delivery starts the timer when it is stopped.
    void ScheduleWork() override;
    void ScheduleDelayedWork() override;
    // Any thread: stops the timer (from another thread, through the GUI thread's queue).
    void Quit() override;

    // GUI thread: whether ticks are running (work may be pending).
    bool IsTimerActive() const;

private:
    friend class MsgQObject;
    void OnWakeUp();
    bool OnTick();

    std::weak_ptr<CDelegate> m_delegate;
    MsgQObject m_object;
    QTimer* m_timer;  // child of m_object
    bool m_inTask = false;
    bool m_restartAfterTask = false;
};

class CSFMessageControl_Default : public CSFMessageControl {
public:
    explicit CSFMessageControl_Default(std::weak_ptr<CDelegate> delegate);
    // Quits if still running. Must not run while Run is active on another thread.
    ~CSFMessageControl_Default() override;

    // Loop thread. Works until Quit: ordinary task, else idle task, else (when the loop is
    // idle) waits for ScheduleWork. A ScheduleWork issued at any moment, also between the idle
    // check and the wait, ends the wait: the loop re-checks for work after resetting the wake
    // event and before waiting on it. Returns at once when the loop is gone.
    void Run() override;
    void ScheduleWork() override;
    void ScheduleDelayedWork() override;
    void Quit() override;

private:
    std::weak_ptr<CDelegate> m_delegate;
    SF_SOFT_BASE::CSFEvent m_wakeEvent;  // manual reset, created signalled
    SF_SOFT_BASE::CSFToolMutex m_lock;   // serialises set and reset of m_wakeEvent
    std::atomic<int> m_running{1};
};

}  // namespace OrvexBase
