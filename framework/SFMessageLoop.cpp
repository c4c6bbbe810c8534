#include "framework/SFMessageLoop.h"

#include "framework/os/SFEvent.h"
#include "framework/os/SFThread.h"

namespace OrvexBase {

CSFMessageLoop::CSFMessageLoop() = default;

CSFMessageLoop::~CSFMessageLoop() = default;

std::shared_ptr<CSFMessageLoop> CSFMessageLoop::CreateMessageLoop(int kind) {
    std::shared_ptr<CSFMessageLoop> loop(new CSFMessageLoop());
    std::weak_ptr<CSFMessageControl::CDelegate> delegate = loop;
    if (kind == kQtControl) {
        loop->m_control = std::make_shared<CSFMessageControl_Qt>(delegate);
    } else if (kind == kDefaultControl) {
        loop->m_control = std::make_shared<CSFMessageControl_Default>(delegate);
    }
    return loop;
}

void CSFMessageLoop::SetThreadId(std::uint32_t id) {
    m_threadId.store(id);
}

std::uint32_t CSFMessageLoop::GetThreadId() const {
    return m_threadId.load();
}

void CSFMessageLoop::SetThreadHandle(std::shared_ptr<SF_SOFT_BASE::CSFThread> thread) {
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_threadLock);
    m_thread = std::move(thread);
}

std::shared_ptr<SF_SOFT_BASE::CSFThread> CSFMessageLoop::GetThreadHandle() const {
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_threadLock);
    return m_thread;
}

std::shared_ptr<CSFMessageControl> CSFMessageLoop::GetMessageControl() const {
    return m_control;
}

void CSFMessageLoop::PostTask(std::shared_ptr<CSFTask> task) {
    if (!task) {
        return;
    }
    m_workQueue.Push(std::move(task));
    if (m_control) {
        m_control->ScheduleWork();
    }
}

void CSFMessageLoop::PostIdleTask(std::shared_ptr<CSFTask> task) {
    if (!task) {
        return;
    }
    m_idleQueue.Push(std::move(task));
    if (m_control) {
        m_control->ScheduleWork();
    }
}

void CSFMessageLoop::Run() {
    if (m_control) {
        m_control->Run();
    }
}

void CSFMessageLoop::QuitAndWait() {
    if (m_control) {
        m_control->Quit();
    }
    std::shared_ptr<SF_SOFT_BASE::CSFThread> thread = GetThreadHandle();
    if (thread && GetThreadId() != SF_SOFT_BASE::CSFThread::GetCurrentThreadID()) {
        thread->Wait(SF_SOFT_BASE::SF_INFINITE);
    }
}

bool CSFMessageLoop::DoWork() {
    return m_workQueue.RunOneTask() != 0;
}

bool CSFMessageLoop::DoDelayedWork() {
    return false;
}

bool CSFMessageLoop::DoIdleWork() {
    return m_idleQueue.RunOneTask() != 0;
}

bool CSFMessageLoop::IsIdle() {
    return m_workQueue.IsEmpty() && m_idleQueue.IsEmpty();
}

std::shared_ptr<CSFMessageLoopManager> CSFMessageLoopManager::GetInstance() {
    static const std::shared_ptr<CSFMessageLoopManager> instance =
        std::make_shared<CSFMessageLoopManager>();
    return instance;
}

void CSFMessageLoopManager::AddMessageLoop(std::shared_ptr<CSFMessageLoop> loop,
                                           std::int32_t moduleId) {
    std::shared_ptr<CSFMessageLoop> previous;
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    auto it = m_loops.find(moduleId);
    if (it != m_loops.end()) {
        previous = std::move(it->second);  // released after the lock
        m_loops.erase(it);
    }
    if (loop) {
        m_loops.emplace(moduleId, std::move(loop));
    }
    lock.Unlock();
}

std::shared_ptr<CSFMessageLoop> CSFMessageLoopManager::GetMessageLoop(std::int32_t moduleId) const {
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    auto it = m_loops.find(moduleId);
    return it == m_loops.end() ? nullptr : it->second;
}

void CSFMessageLoopManager::RemoveMessageLoop(std::int32_t moduleId) {
    std::shared_ptr<CSFMessageLoop> previous;
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    auto it = m_loops.find(moduleId);
    if (it != m_loops.end()) {
        previous = std::move(it->second);
        m_loops.erase(it);
    }
    lock.Unlock();
}

}  // namespace OrvexBase
