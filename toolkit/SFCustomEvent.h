#pragma once
// The Qt event that carries a command, notification or user-interface message to a window's
// message map: message (273 command, 78 notify, 275 timer/UI message), code, value and control
// id. Windows deliver it in customEvent through their sink's message map; worker threads reach
// a window only by posting one (SFPostUIMessage).
#include <QEvent>

#include <cstdint>

inline constexpr uint32_t SF_WM_COMMAND = 273;
inline constexpr uint32_t SF_WM_NOTIFY = 78;
inline constexpr uint32_t SF_WM_TIMER = 275;

class CSFCustomEvent : public QEvent {
public:
    CSFCustomEvent(uint32_t message, uint32_t code, uint32_t value, uint32_t id);

    // Registered with QEvent::registerEventType on first use; the same for the whole process.
    static QEvent::Type EventType();

    uint32_t Message() const { return m_message; }
    uint32_t Code() const { return m_code; }
    uint32_t Value() const { return m_value; }
    uint32_t Id() const { return m_id; }

private:
    uint32_t m_message;
    uint32_t m_code;
    uint32_t m_value;
    uint32_t m_id;
};

// The event that SendDlgMessage(msg, wparam, lparam) delivers synchronously. A user-interface
// message (275) is the one SFPostUIMessage(window, wparam, lparam) posts; a command or
// notification packs the id in wparam's low word and the code in its high word, as on Win32,
// with lparam as the value.
CSFCustomEvent SFMakeSentMessage(uint32_t message, uintptr_t wparam, intptr_t lparam);

// Whether the event asks its window to close: the user-interface message with the id
// SF_UI_CLOSE (posted or sent), or a sent SF_UI_CLOSE message.
bool SFIsCloseMessage(const CSFCustomEvent& event);
