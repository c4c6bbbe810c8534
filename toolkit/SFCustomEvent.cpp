#include "toolkit/SFCustomEvent.h"

CSFCustomEvent::CSFCustomEvent(uint32_t message, uint32_t code, uint32_t value, uint32_t id)
    : QEvent(EventType()), m_message(message), m_code(code), m_value(value), m_id(id) {}

QEvent::Type CSFCustomEvent::EventType() {
    // A function-local static is initialised exactly once, also under concurrent first calls.
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
