#pragma once
// Message loops: a named thread's queue of tasks, found by module id through the process-wide
// manager. Any thread may post; the tasks run on the loop's thread, in posting order, one at a
// time. How the thread waits is the business of the loop's message control (Qt event loop for
// the GUI thread, a blocking wait for a worker).
//
// Where tasks run: kind 0 (Qt control) tasks run on the GUI thread between Qt events, one per
// pass of a 0 ms timer, never nested inside another task of the loop; kind 1 (default control)
// tasks run inside Run on the thread that called it (CSFThreadEx_Qt's worker).
#include <cstdint>
#include <map>
#include <memory>

#include "framework/SFMessageControl.h"
#include "framework/SFModules.h"
#include "framework/SFTask.h"
#include "framework/os/SFToolMutex.h"

namespace SF_SOFT_BASE {
class CSFThread;
}

namespace OrvexBase {

class CSFMessageLoop : public CSFMessageControl::CDelegate,
                       public std::enable_shared_from_this<CSFMessageLoop> {
public:
    static constexpr int kQtControl = 0;
    static constexpr int kDefaultControl = 1;

    // A new loop with empty queues. Kind 0 gets a CSFMessageControl_Qt (create it on the GUI
    // thread, with the QCoreApplication present), kind 1 a CSFMessageControl_Default; any other
    // kind leaves the loop without a control (its tasks queue up and never run).
    static std::shared_ptr<CSFMessageLoop> CreateMessageLoop(int kind);

    ~CSFMessageLoop() override;
    CSFMessageLoop(const CSFMessageLoop&) = delete;
    CSFMessageLoop& operator=(const CSFMessageLoop&) = delete;

    // The id (CSFThread::GetCurrentThreadID) of the thread that runs the loop; set by its
    // creator. Any thread.
    void SetThreadId(std::uint32_t id);
    std::uint32_t GetThreadId() const;
    // The worker thread running the loop, for QuitAndWait (set by CSFThreadEx_Qt::Start).
    void SetThreadHandle(std::shared_ptr<SF_SOFT_BASE::CSFThread> thread);
    std::shared_ptr<SF_SOFT_BASE::CSFThread> GetThreadHandle() const;
    std::shared_ptr<CSFMessageControl> GetMessageControl() const;

    // Any thread. Queues the task (a null one is ignored) and wakes the loop.
    void PostTask(std::shared_ptr<CSFTask> task);
    // Any thread. The same for the idle queue, whose tasks run only in a turn that found no
    // ordinary task.
    void PostIdleTask(std::shared_ptr<CSFTask> task);

    // Loop thread. Qt control: one pass, returns at once (the Qt event loop does the rest);
    // default control: works until QuitAndWait.
    void Run();
    // Any thread. Stops the control, then, when a worker thread runs the loop, waits until it
    // has ended (not when called on that thread itself, which would never return).
    void QuitAndWait();

    // CSFMessageControl::CDelegate; loop thread only.
    bool DoWork() override;
    bool DoDelayedWork() override;
    bool DoIdleWork() override;
    bool IsIdle() override;

private:
    CSFMessageLoop();

    CSFTaskQueue m_workQueue;
    CSFTaskQueue m_idleQueue;
    std::shared_ptr<CSFMessageControl> m_control;  // set once, in CreateMessageLoop
    std::atomic<std::uint32_t> m_threadId{0};
    mutable SF_SOFT_BASE::CSFToolMutex m_threadLock;  // guards m_thread
    std::shared_ptr<SF_SOFT_BASE::CSFThread> m_thread;
};

// The process-wide registry of loops by module id. GetInstance's first call happens on the GUI
// thread at start-up; every operation may then be called from any thread.
class CSFMessageLoopManager {
public:
    static std::shared_ptr<CSFMessageLoopManager> GetInstance();

    // Registers loop under moduleId, replacing the loop registered there before.
    void AddMessageLoop(std::shared_ptr<CSFMessageLoop> loop, std::int32_t moduleId);
    // The loop registered under moduleId, or an empty handle.
    std::shared_ptr<CSFMessageLoop> GetMessageLoop(std::int32_t moduleId) const;
    // Drops the registration (tests, and shutdown when the GUI loop must go before the
    // QCoreApplication it drives).
    void RemoveMessageLoop(std::int32_t moduleId);

    CSFMessageLoopManager() = default;
    CSFMessageLoopManager(const CSFMessageLoopManager&) = delete;
    CSFMessageLoopManager& operator=(const CSFMessageLoopManager&) = delete;

private:
    std::map<std::int32_t, std::shared_ptr<CSFMessageLoop>> m_loops;
    mutable SF_SOFT_BASE::CSFToolMutex m_lock;
};

}  // namespace OrvexBase
