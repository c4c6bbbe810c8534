#pragma once
// The player's thread shell: starts and ends its one decoding thread, and carries the signals
// between that thread and the player's callers: stop, seek, and the wake-up of the thread's
// waits. It knows nothing of files or frames: the body it runs is the player's.
//
// Who may call what:
// - Start, End, RequestSeek, Loaded: any thread. Start and Stop also from the decoding thread
//   itself (inside a callback), where they only read or raise the stop request; End must not be
//   called there (a thread cannot join itself).
// - WaitUntil, WaitForStop, WaitForSeekOrStop, TakeSeek: the decoding thread only.
// - StopRequested, SeekPending, OnDecodingThread: any thread.
//
// Who waits for whom: ending the thread is one step for every caller. End holds a join lock from
// raising the stop request until the thread is joined and the caller's `reload` has run, so a
// second End (another Stop, Close or Open) waits for the first instead of returning while the body
// still runs, and Start refuses meanwhile, so no thread starts on a file being released or
// replaced. The state lock is never held while the body runs a callback, and the join lock is
// never taken on the decoding thread. The stop request interrupts every wait of the body.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace SF_SOFT_BASE {

class CSFPlayerThread {
public:
    using Clock = std::chrono::steady_clock;

    // `body` is what the decoding thread runs after Start; it returns once StopRequested is true
    // (or earlier when it has nothing left to do).
    explicit CSFPlayerThread(std::function<void()> body) : m_body(std::move(body)) {}
    CSFPlayerThread(const CSFPlayerThread&) = delete;
    CSFPlayerThread& operator=(const CSFPlayerThread&) = delete;
    // The thread must have been ended (End) or abandoned (Abandon) before.
    ~CSFPlayerThread() = default;

    // Starts the decoding thread. True when it runs (already, or now). False when nothing is
    // loaded, while another thread ends it, or, on the decoding thread, after a stop from inside.
    // From another thread, a thread that a stop from inside has ended is collected first, so
    // that Start resumes after it.
    bool Start();
    // Stops: from the decoding thread only raises the stop request (the body returns after the
    // running callback); elsewhere the same as End without a reload.
    void Stop();
    // Ends the decoding thread and waits for it. With `reload`, the loaded state is cleared, then
    // `reload` runs (no decoding thread, no stop request, Start refusing) and its result becomes
    // the loaded state. Returns the loaded state found once the thread had ended.
    bool End(const std::function<bool()>& reload = {});
    // For a player destroyed inside its own callback: raises the stop request and lets the thread
    // run out on its own (the caller must then leave the shell and the body's state alive).
    void Abandon();

    // Whether there is something to play (a file is open); Start refuses otherwise.
    bool Loaded() const;
    // Asks the body to move to `position`, waking it from any wait; false when nothing is loaded.
    bool RequestSeek(double position);
    // Takes the requested position, if any.
    bool TakeSeek(double& position);
    bool SeekPending() const;
    bool StopRequested() const { return m_stopRequested.load(); }
    // FFmpeg's I/O interrupt reads this flag from its own threads.
    const std::atomic<bool>& StopFlag() const { return m_stopRequested; }
    bool OnDecodingThread() const { return m_decodingThread.load() == std::this_thread::get_id(); }

    // The body's waits. WaitUntil: until `due`, a stop or a seek; true when `due` came.
    bool WaitUntil(Clock::time_point due);
    // Until `duration` has passed or a stop (a seek does not end it).
    void WaitForStop(Clock::duration duration);
    void WaitForSeekOrStop();

private:
    void DecodingThreadMain();

    const std::function<void()> m_body;
    // Held by whoever ends the thread, from raising the stop request until the join and reload.
    std::mutex m_joinMutex;
    // Guards everything below but the atomics.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_loaded = false;
    // Set while the thread is being ended or a file reloaded: Start refuses meanwhile.
    bool m_stopping = false;
    bool m_seekPending = false;
    double m_seekPosition = 0.0;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<std::thread::id> m_decodingThread{};
};

}  // namespace SF_SOFT_BASE
