#pragma once
// The sample player as a loadable module (libtessaro_player.so): FFmpeg and the ~100 libraries
// it brings are mapped only when the program first plays, not at its start. The module exports
// one C function, SFPlayerModuleEntry, which returns the table below; every other symbol of the
// module is hidden, so its own copies of the static code it is built from (the application
// directory, the logging category) never clash with the program's.
//
// The table's functions are the port functions of video/SFVideoPlayer.h with the same contracts
// (results 1 done, 0 refused; SetShownSize is SFPlay_SetShownSize), plus SetApplicationDirectory:
// the module's own copy of the application directory, against which relative file names are looked
// up. A caller sets it once, before any other call (SFPlayerLoader does).
//
// Compatibility: a caller accepts a table only when its version equals kSFPlayerModuleVersion and
// its size is at least the caller's sizeof(SFPlayerModule). Any change to a function's meaning
// or signature, or to the order of the fields, raises the version; new fields go at the end.
#include <cstdint>

#include "video/SFYuvToRgb.h"

namespace SF_SOFT_BASE {

// Callbacks of the port functions; these are the types of video/SFVideoPlayer.h.
// (port, data, data size, width, height, time stamp in ms, matrix, range, frame number, user)
using SFModuleDecodeCallback = void (*)(int port, const uint8_t* data, int size, int width,
                                        int height, int stampMs, ESFColorMatrix matrix,
                                        ESFColorRange range, int frameNumber, void* user);
using SFModuleFileEndCallback = void (*)(int port, void* user);

inline constexpr uint32_t kSFPlayerModuleVersion = 1;
// The module's file name and its one exported symbol.
inline constexpr const char* kSFPlayerModuleFile = "libtessaro_player.so";
inline constexpr const char* kSFPlayerModuleEntry = "SFPlayerModuleEntry";

struct SFPlayerModule {
    uint32_t version;  // kSFPlayerModuleVersion of the module
    uint32_t size;     // sizeof(SFPlayerModule) of the module
    void (*SetApplicationDirectory)(const char* directory);
    int (*GetPort)(int* port);
    int (*OpenFile)(int port, const char* fileName);
    int (*SetDecodeCallback)(int port, SFModuleDecodeCallback callback, void* user);
    int (*SetFileEndCallback)(int port, SFModuleFileEndCallback callback, void* user);
    int (*Play)(int port, intptr_t window);
    int (*GetPlayedTime)(int port);
    int (*SetPlayPos)(int port, float position);
    int (*Stop)(int port);
    int (*CloseFile)(int port);
    int (*FreePort)(int port);
    int (*SetShownSize)(int port, int width, int height);
};

// The entry's type: the module's table, static for the life of the loaded module.
using SFPlayerModuleEntryFn = const SFPlayerModule* (*)();

}  // namespace SF_SOFT_BASE
