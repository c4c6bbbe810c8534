#include "video/SFPacingClock.h"

namespace SF_SOFT_BASE {

std::optional<CSFPacingClock::Clock::time_point> CSFPacingClock::Due(int64_t us,
                                                                     Clock::time_point now) {
    const auto due = m_origin + std::chrono::microseconds(us - m_originUs);
    if (!m_started || us < m_lastUs || due - now > kMaxDrift || now - due > kMaxDrift) {
        m_started = true;
        m_origin = now;
        m_originUs = us;
        m_lastUs = us;
        return std::nullopt;
    }
    m_lastUs = us;
    return due;
}

std::optional<CSFPacingClock::Clock::time_point> CSFPacingClock::Peek(int64_t us,
                                                                      Clock::time_point now) const {
    if (!m_started)
        return std::nullopt;
    const auto due = m_origin + std::chrono::microseconds(us - m_originUs);
    if (due - now > kMaxDrift)
        return std::nullopt;
    return due;
}

}  // namespace SF_SOFT_BASE
