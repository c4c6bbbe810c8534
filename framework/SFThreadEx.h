#pragma once
// CSFThreadEx_Qt: a worker thread that owns a message loop and runs it.
//
//   auto helper = OrvexBase::CSFThreadEx_Qt::Create({1, 0});  // default control
//   helper->Start();  // returns once the thread runs and its id is in the loop
//   OrvexBase::CSFMessageLoopManager::GetInstance()->AddMessageLoop(helper->GetMessageLoop(),
//                                                                  OrvexBase::ML_HELPER);
//
// Lifetimes: the running thread holds its own shared handle to the object, so the object (and
// its loop) live until the loop has returned, whoever else lets go. Stop (or the loop's
// QuitAndWait) ends the loop; a thread never stopped ends with the process.
#include <cstdint>
#include <memory>

#include "framework/SFMessageLoop.h"
#include "framework/os/SFEvent.h"
#include "framework/os/SFThread.h"

namespace OrvexBase {

class CSFThreadEx {
public:
    class CDelegate {
    public:
        // Runs on the new thread; returning ends the thread.
        virtual void ThreadMain() = 0;
        virtual ~CDelegate() = default;
    };
};

class CSFThreadEx_Qt : public CSFThreadEx::CDelegate,
                       public std::enable_shared_from_this<CSFThreadEx_Qt> {
public:
    // Creation parameters: the loop's control kind (0 Qt, 1 default) and a second value kept
    // for the caller (it has no effect).
    struct CreateParams {
        std::int32_t nLoopKind = CSFMessageLoop::kDefaultControl;
        std::int32_t nValue = 0;
    };

    // The start-up record shared with the new thread.
    struct CSFThreadData {
        SF_SOFT_BASE::CSFEvent startedEvent;
        std::int32_t nLoopKind = 0;
        std::int32_t nValue = 0;
    };

    // A thread object, not yet running, whose loop already exists.
    static std::shared_ptr<CSFThreadEx_Qt> Create(const CreateParams& params);
    ~CSFThreadEx_Qt() override;
    CSFThreadEx_Qt(const CSFThreadEx_Qt&) = delete;
    CSFThreadEx_Qt& operator=(const CSFThreadEx_Qt&) = delete;

    // Creating thread. Starts the OS thread and blocks until it has stored its id in the loop
    // and signalled that it runs; then hands the thread to the loop (for QuitAndWait). Returns 0,
    // also when it was started before; -1 when the thread could not be created (the loop then
    // has no thread and its tasks never run).
    int Start();
    std::shared_ptr<CSFMessageLoop> GetMessageLoop() const;
    // Any thread: asks the loop's control to quit; the thread ends once the loop returns.
    void Stop();

    // The new thread: records its id in the loop, signals the start, runs the loop.
    void ThreadMain() override;

private:
    explicit CSFThreadEx_Qt(const CreateParams& params);
    static unsigned ThreadEntry(void* argument);

    std::shared_ptr<CSFThreadData> m_startData;
    std::shared_ptr<CSFMessageLoop> m_loop;
    std::shared_ptr<SF_SOFT_BASE::CSFThread> m_thread;
    bool m_started = false;
};

}  // namespace OrvexBase
