#pragma once
// Tasks: one deferred call of a member function with copied arguments, and the queue a message
// loop keeps them in.
//
// Creating and posting (any thread): SFPostTask (framework/SFPost.h) makes the task, stamps its
// trace labels and queues it on a module's loop in one call. The pieces it is made of:
// SFCreateTask / SFCreateWeakTask make a task, TraceTaskPost stamps it, and
// CSFMessageLoop::PostTask queues it.
//
// Lifetimes: a task created from an owner shared_ptr keeps the owner alive until the task is
// destroyed (after it ran on the loop's thread, or when its queue is destroyed unrun). A task
// created from an owner weak_ptr does not: it drops its call when the owner is gone by the time
// it runs. A task created from a raw object pointer does not either: that object must outlive
// the task.
//
// Trace: with TaskTraceEnabled != 0 a task writes one line when posted, up to two cost lines
// after it ran and one line when destroyed, each at the levels described at TraceTaskPost, to
// the logging category "tessaro.task" at debug level (enable with
// QT_LOGGING_RULES="tessaro.task.debug=true"). Start-up switches the trace off.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "framework/SFModules.h"
#include "framework/os/SFToolMutex.h"

namespace OrvexBase {

// Process-wide trace switches. Set them at start-up before other threads run; reads are atomic.
extern std::atomic<int> TaskTraceEnabled;  // 0 = off (static initial value 0)
extern std::atomic<int> TaskTraceLevel;    // static initial value 1
void SetTaskTraceLevel(int level);

// The performance counter the trace measures with: monotonic ticks and ticks per second (read
// once, then cached).
std::int64_t SFTaskCounter();
std::int64_t SFTaskCounterFrequency();

class CTaskBase {
public:
    CTaskBase();
    virtual ~CTaskBase();
    CTaskBase(const CTaskBase&) = delete;
    CTaskBase& operator=(const CTaskBase&) = delete;

    // Trace fields; written by TraceTaskPost only while the trace is enabled.
    std::string m_strFile;
    std::int32_t m_nLine = 0;
    std::string m_strTaskName;
    std::string m_strPosterName;
    std::int32_t m_nModuleId = 0;
    std::int64_t m_nCreated;  // counter at construction: the start of the queue time
    std::int32_t m_nTraceLevel = 1;
};

class CSFTask : public CTaskBase {
public:
    // Writes the destroy line (trace enabled, TaskTraceLevel >= 2, own level <= TaskTraceLevel).
    ~CSFTask() override;
    // Executes the call on the calling thread (the loop's); returns 1.
    virtual int Run() = 0;
};

// The task for an owner class T: the bound call and the owner handle (may be empty).
template <class T>
class CSFConcreteTask : public CSFTask {
public:
    CSFConcreteTask(std::shared_ptr<T> owner, std::function<void()> call)
        : m_call(std::move(call)), m_owner(std::move(owner)) {}

    int Run() override;

private:
    std::function<void()> m_call;
    std::shared_ptr<T> m_owner;
};

namespace detail {
// Emits the cost lines after a task ran (see CSFConcreteTask::Run).
void TraceTaskRun(const CTaskBase& task, std::int64_t start);

template <class Object, class Method, class... Args>
std::function<void()> BindCall(Object* object, Method method, Args&&... args) {
    return [object, method, bound = std::make_tuple(std::forward<Args>(args)...)]() mutable {
        std::apply([object, method](auto&... a) { (object->*method)(a...); }, bound);
    };
}
}  // namespace detail

template <class T>
int CSFConcreteTask<T>::Run() {
    const std::int64_t start = SFTaskCounter();
    m_call();
    if (TaskTraceEnabled.load(std::memory_order_relaxed) != 0) {
        detail::TraceTaskRun(*this, start);
    }
    return 1;
}

// A task that calls (owner.get()->*method)(args...) with copies of args; the task holds owner.
// Owner may be a shared_ptr of a class derived from the method's class. Returns an empty handle
// for an empty owner or a null method (PostTask ignores it).
template <class Owner, class C, class R, class... P, class... A>
std::shared_ptr<CSFTask> SFCreateTask(std::shared_ptr<Owner> owner, R (C::*method)(P...),
                                      A&&... args) {
    static_assert(std::is_base_of_v<C, Owner>, "the method must belong to the owner's class");
    static_assert(std::is_invocable_v<R (C::*)(P...), Owner*, std::decay_t<A>&...>,
                  "the arguments do not fit the method");
    if (!owner || method == nullptr) {
        return nullptr;
    }
    Owner* object = owner.get();
    return std::make_shared<CSFConcreteTask<Owner>>(
        std::move(owner), detail::BindCall(object, method, std::forward<A>(args)...));
}

template <class Owner, class C, class R, class... P, class... A>
std::shared_ptr<CSFTask> SFCreateTask(std::shared_ptr<Owner> owner, R (C::*method)(P...) const,
                                      A&&... args) {
    static_assert(std::is_base_of_v<C, Owner>, "the method must belong to the owner's class");
    static_assert(std::is_invocable_v<R (C::*)(P...) const, Owner*, std::decay_t<A>&...>,
                  "the arguments do not fit the method");
    if (!owner || method == nullptr) {
        return nullptr;
    }
    Owner* object = owner.get();
    return std::make_shared<CSFConcreteTask<Owner>>(
        std::move(owner), detail::BindCall(object, method, std::forward<A>(args)...));
}

// The same with an empty owner: the call goes to object, which the task does not keep alive.
template <class Object, class C, class R, class... P, class... A>
std::shared_ptr<CSFTask> SFCreateTask(Object* object, R (C::*method)(P...), A&&... args) {
    static_assert(std::is_base_of_v<C, Object>, "the method must belong to the object's class");
    static_assert(std::is_invocable_v<R (C::*)(P...), Object*, std::decay_t<A>&...>,
                  "the arguments do not fit the method");
    if (object == nullptr || method == nullptr) {
        return nullptr;
    }
    return std::make_shared<CSFConcreteTask<Object>>(
        std::shared_ptr<Object>(), detail::BindCall(object, method, std::forward<A>(args)...));
}

// A task that does not keep its owner alive: when it runs it calls
// (owner->*method)(args...) with copies of args only if the owner still exists, holding it for
// the length of the call; otherwise the call is dropped. Returns an empty handle for an owner
// that is already gone or a null method (PostTask ignores it).
template <class Owner, class Method, class... A>
std::shared_ptr<CSFTask> SFCreateWeakTask(std::weak_ptr<Owner> owner, Method method, A&&... args) {
    static_assert(std::is_member_function_pointer_v<Method>, "the call must be a member function");
    static_assert(std::is_invocable_v<Method, Owner*, std::decay_t<A>&...>,
                  "the method must belong to the owner's class and the arguments fit it");
    if (owner.expired() || method == nullptr) {
        return nullptr;
    }
    return std::make_shared<CSFConcreteTask<Owner>>(
        std::shared_ptr<Owner>(), [owner = std::move(owner), method,
                                   bound = std::make_tuple(std::forward<A>(args)...)]() mutable {
            if (const std::shared_ptr<Owner> held = owner.lock()) {
                std::apply([&held, method](auto&... a) { (held.get()->*method)(a...); }, bound);
            }
        });
}

// Stamps the trace fields and writes the post line. Does nothing while TaskTraceEnabled is 0.
// The post line is written when TaskTraceLevel >= 1 and level <= TaskTraceLevel; a task's cost
// lines and destroy line follow the same level test (queue cost and destroy need
// TaskTraceLevel >= 2). A null task is ignored.
void TraceTaskPost(const std::shared_ptr<CSFTask>& task, std::int32_t moduleId, const char* file,
                   std::int32_t line, const char* taskName, const char* posterName,
                   std::int32_t level);

// The queue of one loop. Producers push from any thread; RunOneTask runs on the loop's thread
// only and takes the whole pending batch at once, so the lock is held for an exchange of two
// deques whatever their length and never while a task runs (a task may post to its own loop;
// such tasks join the next batch).
class CSFTaskQueue {
public:
    CSFTaskQueue();
    // Destroys the tasks still queued without running them.
    virtual ~CSFTaskQueue();
    CSFTaskQueue(const CSFTaskQueue&) = delete;
    CSFTaskQueue& operator=(const CSFTaskQueue&) = delete;

    // Any thread. A null task is ignored.
    void Push(std::shared_ptr<CSFTask> task);
    // Loop thread only. Runs the oldest task, if any: 1 if one ran, 0 if the queue was empty.
    // The task leaves the queue before it runs, so a nested call never runs it twice.
    virtual int RunOneTask();
    // Any thread: true when no task waits in the incoming batch (the batch being worked
    // through is not looked at).
    bool IsEmpty() const;
    // Loop thread (or while the loop is not running): drops every queued task unrun.
    void Clear();

private:
    std::deque<std::shared_ptr<CSFTask>> m_incoming;  // guarded by m_lock
    std::deque<std::shared_ptr<CSFTask>> m_working;   // loop thread only
    mutable SF_SOFT_BASE::CSFToolMutex m_lock;
};

}  // namespace OrvexBase
