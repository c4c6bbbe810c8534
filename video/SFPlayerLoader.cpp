#include "video/SFPlayerLoader.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/os/SFAppDir.h"
#include "video/SFVideoLog.h"

namespace SF_SOFT_BASE {
namespace {

struct CloseLibrary {
    void operator()(void* handle) const { ::dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, CloseLibrary>;

// The loaded module: its handle is closed at exit (the module stays mapped, see the header), the
// table is published once.
struct LoadedModule {
    std::mutex mutex;
    LibraryHandle handle;
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

const SFPlayerModule* Load(LibraryHandle& handle) {
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
    LibraryHandle library(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!library) {
        qCWarning(lcVideo, "the player module %s cannot be loaded: %s", path.c_str(), ::dlerror());
        return nullptr;
    }
    const auto entry =
        reinterpret_cast<SFPlayerModuleEntryFn>(::dlsym(library.get(), kSFPlayerModuleEntry));
    const SFPlayerModule* table = entry != nullptr ? entry() : nullptr;
    if (table == nullptr || table->version != kSFPlayerModuleVersion ||
        table->size < sizeof(SFPlayerModule)) {
        qCWarning(lcVideo, "the player module %s is not of version %u", path.c_str(),
                  unsigned(kSFPlayerModuleVersion));
        return nullptr;
    }
    table->SetApplicationDirectory(ApplicationDirectory().c_str());
    qCInfo(lcVideo, "player module loaded from %s", path.c_str());
    handle = std::move(library);
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
        table = Load(loaded.handle);
        loaded.table.store(table, std::memory_order_release);
    }
    return table;
}

}  // namespace SF_SOFT_BASE
