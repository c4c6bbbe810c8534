#pragma once
// Module ids: the small integers by which message loops are registered and found. The names are
// also the texts the task trace prints.
#include <cstdint>

namespace OrvexBase {

inline constexpr std::int32_t ML_MAIN = 1;    // the GUI thread, driven by the Qt event loop
inline constexpr std::int32_t ML_HELPER = 2;  // the worker thread started at start-up
inline constexpr std::int32_t ML_PLAY = 3;
inline constexpr std::int32_t ML_WATERMARK = 4;
inline constexpr std::int32_t ML_TEST = 5;
inline constexpr std::int32_t ML_EXPORT = 6;

// "ML_MAIN" ... "ML_EXPORT", or "UNKNOWN" for any other id. The text is static.
const char* SFModuleName(std::int32_t moduleId);

}  // namespace OrvexBase
