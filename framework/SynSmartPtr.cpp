#include "framework/SynSmartPtr.h"

namespace OrvexBase {

std::shared_ptr<SynSmartPtr> SynSmartPtr::Create(
    const std::shared_ptr<SF_SOFT_BASE::CSFEvent>& event) {
    return std::make_shared<SynSmartPtr>(event);
}

SynSmartPtr::SynSmartPtr(std::weak_ptr<SF_SOFT_BASE::CSFEvent> event) : m_event(std::move(event)) {}

SynSmartPtr::~SynSmartPtr() {
    if (std::shared_ptr<SF_SOFT_BASE::CSFEvent> event = m_event.lock()) {
        event->Set();
    }
}

}  // namespace OrvexBase
