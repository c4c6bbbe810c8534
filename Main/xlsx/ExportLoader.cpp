#include "Main/xlsx/ExportLoader.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "Main/xlsx/XlsxLogging.h"
#include "framework/os/SFAppDir.h"
#include "framework/os/SFSystem.h"

namespace {

using SF_SOFT_BASE::CSFSystem;

// The loaded module's table, published once. Its library handle is never released: the module
// stays mapped for the life of the process (see the header).
struct LoadedModule {
    std::mutex mutex;
    std::atomic<const ExportModule*> table{nullptr};
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
std::string FindModule(std::string& tried) {
    const std::string exeDir = SF_SOFT_BASE::ExecutableDirectory();
    const std::string installed =
        (std::filesystem::path(exeDir).parent_path() / "lib/tessaro").string();
    for (const std::string& dir : {exeDir, SF_SOFT_BASE::ApplicationDirectory(), installed}) {
        std::string path = dir + "/" + kExportModuleFile;
        if (IsFile(path)) {
            return path;
        }
        tried += (tried.empty() ? "" : ", ") + dir;
    }
    return {};
}

const ExportModule* Load() {
    std::string tried;
    const std::string path = FindModule(tried);
    if (path.empty()) {
        qCWarning(lcXlsx, "the export module %s is in none of: %s", kExportModuleFile,
                  tried.c_str());
        return nullptr;
    }
    void* library = nullptr;
    const auto entry = reinterpret_cast<ExportModuleEntryFn>(
        CSFSystem::GetLibraryProcAddress(path.c_str(), kExportModuleEntry, &library));
    if (entry == nullptr) {
        const char* reason = ::dlerror();  // the failed dlopen's or dlsym's
        qCWarning(lcXlsx, "the export module %s cannot be loaded: %s", path.c_str(),
                  reason != nullptr ? reason : "no entry");
        return nullptr;
    }
    const ExportModule* table = entry();
    if (table == nullptr || table->version != kExportModuleVersion ||
        table->size < sizeof(ExportModule)) {
        qCWarning(lcXlsx, "the export module %s is not of version %u", path.c_str(),
                  unsigned(kExportModuleVersion));
        CSFSystem::FreeLibrary(library);
        return nullptr;
    }
    qCInfo(lcXlsx, "export module loaded from %s", path.c_str());
    return table;
}

}  // namespace

const ExportModule* LoadExportModule() {
    LoadedModule& loaded = Loaded();
    if (const ExportModule* table = loaded.table.load(std::memory_order_acquire)) {
        return table;
    }
    std::lock_guard lock(loaded.mutex);
    const ExportModule* table = loaded.table.load(std::memory_order_relaxed);
    if (table == nullptr) {
        table = Load();
        loaded.table.store(table, std::memory_order_release);
    }
    return table;
}
