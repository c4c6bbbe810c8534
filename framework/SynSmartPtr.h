#pragma once
// SynSmartPtr: the completion token of posted work. The poster makes one from an event, puts it
// into the tasks it posts, and may wait on the event; when the last shared handle to the token
// is released (the last task holding it has run and been destroyed) the event is signalled. The
// token holds the event weakly: if the event is destroyed first, releasing the token does
// nothing.
//
// Threads: the token may be released on any thread; signalling the event is its only
// cross-thread action.
#include <memory>

#include "framework/os/SFEvent.h"

namespace OrvexBase {

class SynSmartPtr {
public:
    static std::shared_ptr<SynSmartPtr> Create(
        const std::shared_ptr<SF_SOFT_BASE::CSFEvent>& event);

    explicit SynSmartPtr(std::weak_ptr<SF_SOFT_BASE::CSFEvent> event);
    ~SynSmartPtr();
    SynSmartPtr(const SynSmartPtr&) = delete;
    SynSmartPtr& operator=(const SynSmartPtr&) = delete;

private:
    std::weak_ptr<SF_SOFT_BASE::CSFEvent> m_event;
};

}  // namespace OrvexBase
