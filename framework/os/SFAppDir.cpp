#include "SFAppDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace SF_SOFT_BASE {
namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Files that only an application directory holds; any one of them marks it.
constexpr const char* kMarkers[] = {"Lang_0.xml", "ProductParameter.csv", "Tessaro.css", "Skin"};

}  // namespace

std::string ResolveApplicationDirectory(const std::string& exeDir) {
    for (const char* marker : kMarkers) {
        if (Exists(exeDir + "/" + marker)) {
            return exeDir;
        }
    }
    std::string shared = exeDir + "/../share/tessaro";
    if (Exists(shared)) {
        char resolved[PATH_MAX];
        if (::realpath(shared.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return exeDir;
}

namespace {

std::string& Storage() {
    static std::string directory = ResolveApplicationDirectory(ExecutableDirectory());
    return directory;
}

}  // namespace

bool IsInstalledProgram() {
    static const bool installed = [] {
        const std::string exeDir = ExecutableDirectory();
        return ResolveApplicationDirectory(exeDir) != exeDir;
    }();
    return installed;
}

std::string ExecutableDirectory() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return ".";
    }
    std::string path(buffer, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

const std::string& ApplicationDirectory() {
    return Storage();
}

void SetApplicationDirectory(const std::string& directory) {
    std::string d = directory;
    while (d.size() > 1 && d.back() == '/') {
        d.pop_back();
    }
    Storage() = d;
}

}  // namespace SF_SOFT_BASE
