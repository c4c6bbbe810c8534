#include "shell/CrashDumpPath.h"

#include "framework/os/SFAppDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace tessaro::crash {
namespace {

constexpr std::size_t kMaxDumpPaths = 2;
char g_dumpPaths[kMaxDumpPaths][PATH_MAX] = {};
std::size_t g_dumpPathCount = 0;
bool g_lastInStateFolder = false;   // the last path lies in the state folder
char g_stateFolder[PATH_MAX] = {};  // empty without one
char g_folderScratch[PATH_MAX] = {};
std::atomic<const char*> g_openPath{nullptr};  // the dump file while it is being written

// Joins the parts into `out` (PATH_MAX bytes); false, leaving it empty, when they do not fit.
bool JoinPath(char* out, std::initializer_list<std::string_view> parts) {
    std::size_t used = 0;
    for (const std::string_view part : parts) {
        if (used + part.size() >= PATH_MAX) {
            out[0] = '\0';
            return false;
        }
        std::memcpy(out + used, part.data(), part.size());
        used += part.size();
    }
    out[used] = '\0';
    return true;
}

// $XDG_STATE_HOME/tessaro, or ~/.local/state/tessaro: the folder for what the program keeps
// about itself. Relative values are ignored, as the XDG base directory rules say.
bool PrepareStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return JoinPath(g_stateFolder, {state, "/tessaro"});
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' &&
           JoinPath(g_stateFolder, {home, "/.local/state/tessaro"});
}

// Creates the state folder and the folders above it (owner only), as far as they are missing.
void MakeStateFolder() {
    std::memcpy(g_folderScratch, g_stateFolder, sizeof g_folderScratch);
    for (char* p = g_folderScratch + 1;; ++p) {
        if (*p == '/' || *p == '\0') {
            const char end = *p;
            *p = '\0';
            ::mkdir(g_folderScratch, 0700);
            *p = end;
            if (end == '\0') {
                return;
            }
        }
    }
}

}  // namespace

void PrepareDumpPaths() {
    g_dumpPathCount = 0;
    g_lastInStateFolder = false;
    g_stateFolder[0] = '\0';
    char executable[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", executable, sizeof executable - 1);
    if (n <= 0) {
        return;
    }
    const std::string_view path(executable, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    const std::string_view name = path.substr(slash + 1);

    // Beside the executable when this user may create files there and the program is not
    // installed; an installed program's folder (/usr/bin) belongs to the package manager even
    // where root could write to it, so its dumps go to the state folder.
    char folder[PATH_MAX];
    if (JoinPath(folder, {path.substr(0, slash == 0 ? 1 : slash)}) &&
        SF_SOFT_BASE::ResolveApplicationDirectory(folder) == folder &&
        ::faccessat(AT_FDCWD, folder, W_OK | X_OK, AT_EACCESS) == 0 &&
        JoinPath(g_dumpPaths[g_dumpPathCount], {path, ".dmp"})) {
        ++g_dumpPathCount;
    }
    if (PrepareStateFolder() &&
        JoinPath(g_dumpPaths[g_dumpPathCount], {g_stateFolder, "/", name, ".dmp"})) {
        ++g_dumpPathCount;
        g_lastInStateFolder = true;
    }
}

const char* FirstDumpPath() {
    return g_dumpPathCount > 0 ? g_dumpPaths[0] : "";
}

int CreateDumpFile() {
    for (std::size_t i = 0; i < g_dumpPathCount; ++i) {
        const char* path = g_dumpPaths[i];
        if (g_lastInStateFolder && i + 1 == g_dumpPathCount) {
            MakeStateFolder();
        }
        // A new file in place of any old one: unlinking first means a symbolic link or a
        // second hard link planted under the dump's name is never written through, and
        // O_EXCL|O_NOFOLLOW refuse whatever appears in between. Only the owner may read it: it
        // holds the process's memory. The file counts as being written from before it exists,
        // so a second crash at any moment from here on removes it.
        g_openPath.store(path, std::memory_order_release);
        ::unlink(path);
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            return fd;
        }
        g_openPath.store(nullptr, std::memory_order_release);
    }
    return -1;
}

void AbandonDumpFile() {
    if (const char* path = g_openPath.exchange(nullptr, std::memory_order_acq_rel)) {
        ::unlink(path);  // a truncated dump misleads more than none
    }
}

void FinishDumpFile(bool keep) {
    if (keep) {
        g_openPath.store(nullptr, std::memory_order_release);
    } else {
        AbandonDumpFile();
    }
}

}  // namespace tessaro::crash
