#pragma once
// CSFEvent: an event object with the manual- and auto-reset semantics of the Windows kernel
// event. A manual-reset event stays signalled until Reset and releases every waiter; an
// auto-reset event releases one waiter and returns to non-signalled as that waiter wakes.
//
// Threads: every operation may be called from any thread. Close wakes the current waiters,
// which then return SF_WAIT_FAILED; the object must still outlive every call on it (share it
// through std::shared_ptr when threads hand it around, as SynSmartPtr does).
#include <cstdint>
#include <memory>

namespace SF_SOFT_BASE {

inline constexpr std::uint32_t SF_INFINITE = 0xFFFFFFFFu;
inline constexpr int SF_WAIT_OBJECT_0 = 0;
inline constexpr int SF_WAIT_TIMEOUT = 258;
inline constexpr int SF_WAIT_FAILED = -1;

class CSFEvent {
public:
    CSFEvent();
    ~CSFEvent();
    CSFEvent(const CSFEvent&) = delete;
    CSFEvent& operator=(const CSFEvent&) = delete;

    // Makes the (unnamed) event; 1 on success, 0 when it already exists or has no record.
    int Create(bool initiallySignalled, bool manualReset);
    bool IsCreated() const;
    // 1 on success, 0 without event.
    int Set();
    int Reset();
    // Blocks until the event is signalled or timeoutMs elapsed (SF_INFINITE: no limit).
    // Returns SF_WAIT_OBJECT_0, SF_WAIT_TIMEOUT, or SF_WAIT_FAILED without event (or when it is
    // closed during the wait). The deadline is taken once on the monotonic clock, so spurious
    // wake-ups never extend it.
    int Wait(std::uint32_t timeoutMs);
    // The same as Wait: a POSIX thread has no window-message queue that could wake it.
    int MsgWait(std::uint32_t timeoutMs);
    // Destroys the event; waiters return SF_WAIT_FAILED. Create may be called again afterwards.
    void Close();

private:
    struct Record;
    std::unique_ptr<Record> m_record;
};

}  // namespace SF_SOFT_BASE
