#include "video/SFPlayerLoader.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "framework/os/SFAppDir.h"
#include "framework/os/SFSystem.h"
#include "video/SFVideoLog.h"

namespace SF_SOFT_BASE {
namespace {

// The loaded module's table, published once. Its library handle is never released: the module
// stays mapped for the life of the process (see the header).
struct LoadedModule {
    std::mutex mutex;
    std::atomic<const SFPlayerModule*> table{nullptr};
};

LoadedModule& Loaded() {
    static LoadedModule loaded;
    return loaded;
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The first existing module file in the order of the lookup; empty when there is none.
std::string FindModule(std::vector<std::string>& tried) {
    const std::string exeDir = ExecutableDirectory();
    const std::string installed =
        (std::filesystem::path(exeDir).parent_path() / "lib/tessaro").string();
    for (const std::string& dir : {exeDir, ApplicationDirectory(), installed}) {
        std::string path = dir + "/" + kSFPlayerModuleFile;
        if (IsFile(path)) {
            return path;
        }
        tried.push_back(dir);
    }
    return {};
}

const SFPlayerModule* Load() {
    std::vector<std::string> tried;
    const std::string path = FindModule(tried);
    if (path.empty()) {
        std::string where;
        for (const std::string& dir : tried) {
            where += (where.empty() ? "" : ", ") + dir;
        }
        qCWarning(lcVideo, "the player module %s is in none of: %s", kSFPlayerModuleFile,
                  where.c_str());
        return nullptr;
    }
    void* library = nullptr;
    const auto entry = reinterpret_cast<SFPlayerModuleEntryFn>(
        CSFSystem::GetLibraryProcAddress(path.c_str(), kSFPlayerModuleEntry, &library));
    if (entry == nullptr) {
        const char* reason = ::dlerror();  // the failed dlopen's or dlsym's
        qCWarning(lcVideo, "the player module %s cannot be loaded: %s", path.c_str(),
                  reason != nullptr ? reason : "no entry");
        return nullptr;
    }
    const SFPlayerModule* table = entry();
    if (table == nullptr || table->version != kSFPlayerModuleVersion ||
        table->size < sizeof(SFPlayerModule)) {
        qCWarning(lcVideo, "the player module %s is not of version %u", path.c_str(),
                  unsigned(kSFPlayerModuleVersion));
        CSFSystem::FreeLibrary(library);
        return nullptr;
    }
    table->SetApplicationDirectory(ApplicationDirectory().c_str());
    qCInfo(lcVideo, "player module loaded from %s", path.c_str());
    return table;
}

}  // namespace

const SFPlayerModule* SFLoadPlayerModule() {
    LoadedModule& loaded = Loaded();
    if (const SFPlayerModule* table = loaded.table.load(std::memory_order_acquire)) {
        return table;
    }
    std::lock_guard lock(loaded.mutex);
    const SFPlayerModule* table = loaded.table.load(std::memory_order_relaxed);
    if (table == nullptr) {
        table = Load();
        loaded.table.store(table, std::memory_order_release);
    }
    return table;
}

}  // namespace SF_SOFT_BASE
