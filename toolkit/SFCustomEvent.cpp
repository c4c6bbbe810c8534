#include "toolkit/SFCustomEvent.h"

#include "toolkit/SFToolkit.h"

CSFCustomEvent::CSFCustomEvent(uint32_t message, uint32_t code, uint32_t value, uint32_t id)
    : QEvent(EventType()), m_message(message), m_code(code), m_value(value), m_id(id) {}

QEvent::Type CSFCustomEvent::EventType() {
    // A function-local static is initialised exactly once, also under concurrent first calls.
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CSFCustomEvent SFMakeSentMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message == SF_WM_TIMER) {
        return CSFCustomEvent(SF_WM_TIMER, SF_WM_TIMER, static_cast<uint32_t>(lparam),
                              static_cast<uint32_t>(wparam));
    }
    return CSFCustomEvent(message, static_cast<uint32_t>((wparam >> 16) & 0xFFFFu),
                          static_cast<uint32_t>(lparam), static_cast<uint32_t>(wparam & 0xFFFFu));
}

bool SFIsCloseMessage(const CSFCustomEvent& event) {
    if (event.Message() == SF_WM_TIMER) {
        return event.Code() == SF_WM_TIMER && event.Id() == SF_UI_CLOSE;
    }
    return event.Message() == SF_UI_CLOSE;
}
