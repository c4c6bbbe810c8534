#pragma once
// Finds and loads the player module (video/SFPlayerModule.h), so that the program maps FFmpeg
// only when it first plays.
#include "video/SFPlayerModule.h"

namespace SF_SOFT_BASE {

// The module's table, loading the module at the first call that succeeds, where and for as long
// as SFProgramModule (framework/os/SFProgramModule.h) says; a new module is handed the program's
// application directory. nullptr when it cannot be loaded: the reason goes to the logging
// category tessaro.video as a warning, and a later call tries again. Any thread. A first load
// maps FFmpeg's libraries and takes tens of milliseconds: keep it off the GUI thread where
// possible.
const SFPlayerModule* SFLoadPlayerModule();

}  // namespace SF_SOFT_BASE
