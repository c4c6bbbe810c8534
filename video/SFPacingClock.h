#pragma once
// The player's pacing clock: maps a frame's stamp (microseconds from the stream's start) to the
// steady-clock time it is due, from an origin set by the frame that (re)started the clock.
//
// Pure state, no locks, no waiting: the decoding thread owns it while it runs, the caller of
// Open otherwise. Times are passed in, so the rules below are checked without sleeping.
#include <chrono>
#include <cstdint>
#include <optional>

namespace SF_SOFT_BASE {

class CSFPacingClock {
public:
    using Clock = std::chrono::steady_clock;

    // A frame whose due time lies further than this from now, either way, restarts the clock
    // instead of being waited for (a damaged or discontinuous stamp must not freeze playback) or
    // burst out (a decoder that has fallen this far behind).
    static constexpr std::chrono::seconds kMaxDrift{2};

    // The next frame restarts the clock: after opening, a seek, or a resumed stop.
    void Restart() { m_started = false; }

    // When the frame stamped `us` is due. Nothing when this frame restarts the clock (it is shown
    // at once): the first frame, a stamp that goes backwards, or one more than kMaxDrift off.
    std::optional<Clock::time_point> Due(int64_t us, Clock::time_point now);

    // When a frame stamped `us` would be due, without moving the clock: the end of the last
    // frame's time on screen. Nothing when the clock has not started or that time lies more than
    // kMaxDrift ahead.
    std::optional<Clock::time_point> Peek(int64_t us, Clock::time_point now) const;

private:
    bool m_started = false;
    Clock::time_point m_origin;
    int64_t m_originUs = 0;
    int64_t m_lastUs = 0;
};

}  // namespace SF_SOFT_BASE
