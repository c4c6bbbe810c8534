#include "video/SFPlayerLoader.h"

#include <string>

#include "framework/os/SFAppDir.h"
#include "framework/os/SFProgramModule.h"
#include "video/SFVideoLog.h"

namespace SF_SOFT_BASE {

const SFPlayerModule* SFLoadPlayerModule() {
    static SFProgramModule<SFPlayerModule> module(kSFPlayerModuleFile, kSFPlayerModuleEntry,
                                                  kSFPlayerModuleVersion);
    std::string why;
    const SFPlayerModule* table =
        module.Get(&why, [](const SFPlayerModule& loaded, const std::string& path) {
            loaded.SetApplicationDirectory(ApplicationDirectory().c_str());
            qCInfo(lcVideo, "player module loaded from %s", path.c_str());
        });
    if (table == nullptr) {
        qCWarning(lcVideo, "the player module: %s", why.c_str());
    }
    return table;
}

}  // namespace SF_SOFT_BASE
