#include "framework/SFThreadEx.h"

#include <new>

namespace OrvexBase {

CSFThreadEx_Qt::CSFThreadEx_Qt(const CreateParams& params)
    : m_startData(std::make_shared<CSFThreadData>()),
      m_loop(CSFMessageLoop::CreateMessageLoop(params.nLoopKind)),
      m_thread(std::make_shared<SF_SOFT_BASE::CSFThread>()) {
    m_startData->nLoopKind = params.nLoopKind;
    m_startData->nValue = params.nValue;
}

CSFThreadEx_Qt::~CSFThreadEx_Qt() = default;

std::shared_ptr<CSFThreadEx_Qt> CSFThreadEx_Qt::Create(const CreateParams& params) {
    return std::shared_ptr<CSFThreadEx_Qt>(new CSFThreadEx_Qt(params));
}

int CSFThreadEx_Qt::Start() {
    if (m_started) {
        return 0;
    }
    std::shared_ptr<CSFThreadData> data = m_startData;
    data->startedEvent.Close();
    data->startedEvent.Create(false, true);
    data->startedEvent.Reset();

    // The new thread takes over this handle, so the object outlives the starter's handles.
    auto* self = new (std::nothrow) std::shared_ptr<CSFThreadEx_Qt>(shared_from_this());
    if (self == nullptr) {
        return -1;
    }
    std::uint32_t threadId = 0;
    if (m_thread->Create(0, &CSFThreadEx_Qt::ThreadEntry, self, 0, &threadId) == 0) {
        delete self;
        data->startedEvent.Close();
        return -1;
    }
    data->startedEvent.Wait(SF_SOFT_BASE::SF_INFINITE);
    data->startedEvent.Close();
    m_loop->SetThreadHandle(m_thread);
    m_started = true;
    return 0;
}

unsigned CSFThreadEx_Qt::ThreadEntry(void* argument) {
    std::shared_ptr<CSFThreadEx_Qt> self =
        std::move(*static_cast<std::shared_ptr<CSFThreadEx_Qt>*>(argument));
    delete static_cast<std::shared_ptr<CSFThreadEx_Qt>*>(argument);
    self->ThreadMain();
    return 0;
}

void CSFThreadEx_Qt::ThreadMain() {
    // The id goes into the loop before the starter is released, so it is there when Start
    // returns.
    m_loop->SetThreadId(SF_SOFT_BASE::CSFThread::GetCurrentThreadID());
    m_startData->startedEvent.Set();
    m_loop->Run();
}

std::shared_ptr<CSFMessageLoop> CSFThreadEx_Qt::GetMessageLoop() const {
    return m_loop;
}

void CSFThreadEx_Qt::Stop() {
    if (std::shared_ptr<CSFMessageControl> control = m_loop->GetMessageControl()) {
        control->Quit();
    }
}

}  // namespace OrvexBase
