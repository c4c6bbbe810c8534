#pragma once
// Finds and loads the player module (video/SFPlayerModule.h), so that the program maps FFmpeg
// only when it first plays.
#include "video/SFPlayerModule.h"

namespace SF_SOFT_BASE {

// The module's table, loading the module at the first call that succeeds. The module file is
// looked for beside the executable, then in the application directory, then in ../lib/tessaro
// relative to the executable (the installed layout); the first file that exists is loaded
// (RTLD_NOW | RTLD_LOCAL) and handed the program's application directory. nullptr when none
// exists, it cannot be loaded, or its table has another version: the reason goes to the logging
// category tessaro.video as a warning, and a later call tries again.
// Once loaded the module stays mapped for the life of the process (its handle is never
// released): unmapping FFmpeg's libraries at exit would gain nothing, and their allocations kept
// for the life of the process would look leaked. Later calls return the same
// table for the cost of an atomic read.
// Any thread; concurrent first calls load once. A first load maps FFmpeg's libraries and takes
// tens of milliseconds: keep it off the GUI thread where possible.
const SFPlayerModule* SFLoadPlayerModule();

}  // namespace SF_SOFT_BASE
