// The player module's one exported function (see SFPlayerModule.h). The module is linked with
// SFPlayerModule.map, which keeps every other symbol local.
#include "video/SFPlayerModule.h"

#include <type_traits>

#include "framework/os/SFAppDir.h"
#include "video/SFVideoPlayer.h"

namespace SF_SOFT_BASE {
namespace {

// The table's callback types are spelled out so that its header needs nothing of the player;
// they must stay the player's own.
static_assert(std::is_same_v<SFModuleDecodeCallback, SFDecodeCallback>);
static_assert(std::is_same_v<SFModuleFileEndCallback, SFFileEndCallback>);

void SetDirectory(const char* directory) {
    if (directory != nullptr) {
        SetApplicationDirectory(directory);
    }
}

constexpr SFPlayerModule kTable{
    kSFPlayerModuleVersion,
    sizeof(SFPlayerModule),
    &SetDirectory,
    &SFPlay_GetPort,
    &SFPlay_OpenFile,
    &SFPlay_SetDecodeCallback,
    &SFPlay_SetFileEndCallback,
    &SFPlay_Play,
    &SFPlay_GetPlayedTime,
    &SFPlay_SetPlayPos,
    &SFPlay_Stop,
    &SFPlay_CloseFile,
    &SFPlay_FreePort,
    &SFPlay_SetShownSize,
};

}  // namespace
}  // namespace SF_SOFT_BASE

extern "C" __attribute__((visibility("default"))) const SF_SOFT_BASE::SFPlayerModule*
SFPlayerModuleEntry() {
    return &SF_SOFT_BASE::kTable;
}
