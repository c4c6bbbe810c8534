#include "framework/os/SFProgramModule.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>

#include "framework/os/SFAppDir.h"
#include "framework/os/SFSystem.h"

namespace SF_SOFT_BASE {
namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void* SFOpenProgramModule(const char* file, const char* entry, void** library, std::string* where) {
    const std::string exeDir = ExecutableDirectory();
    const std::string installed =
        (std::filesystem::path(exeDir).parent_path() / "lib/tessaro").string();
    std::string tried;
    for (const std::string& dir : {exeDir, ApplicationDirectory(), installed}) {
        const std::string path = dir + "/" + file;
        if (!IsFile(path)) {
            tried += (tried.empty() ? "" : ", ") + dir;
            continue;
        }
        void* symbol = CSFSystem::GetLibraryProcAddress(path.c_str(), entry, library);
        if (symbol == nullptr) {
            const char* reason = ::dlerror();  // the failed dlopen's or dlsym's
            *where = path + " cannot be loaded: " + (reason != nullptr ? reason : "no entry");
        } else {
            *where = path;
        }
        return symbol;
    }
    *where = std::string(file) + " is in none of: " + tried;
    return nullptr;
}

void SFCloseProgramModule(void* library) {
    CSFSystem::FreeLibrary(library);
}

}  // namespace SF_SOFT_BASE
