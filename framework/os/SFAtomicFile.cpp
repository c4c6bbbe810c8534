#include "framework/os/SFAtomicFile.h"

#include "framework/os/SFFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace SF_SOFT_BASE {
namespace {

void SetWhy(std::string* why, const char* what, int error) {
    if (why != nullptr) {
        *why = std::string(what) + ": " + std::strerror(error);
    }
}

// The umask without changing it (umask(2) can only be read by setting it, which races with
// other threads creating files).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        }
    }
    return 022;
}

// The file that a write to `target` should replace: the destination of a symbolic link, the
// target itself otherwise (also when the link dangles: then the link is replaced).
std::string ResolveTarget(const std::string& target) {
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return target;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    // Best effort: the new file is complete and in place; a folder that cannot be flushed (some
    // network file systems) only makes the rename less durable across a power cut.
    (void)::fsync(fd);
    ::close(fd);
}

class TempFile {
public:
    explicit TempFile(const std::string& folder) : m_path(folder) {
        if (m_path.empty() || m_path.back() != '/') {
            m_path += '/';
        }
        m_path.append(kTempPrefix);
        m_path += "XXXXXX";
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        if (m_fd < 0) {
            m_path.clear();
        }
    }
    ~TempFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    const std::string& Path() const { return m_path; }
    bool Close() {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    // After a successful rename the name belongs to the target.
    void Release() { m_path.clear(); }

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace

bool WriteAll(int fd, std::string_view bytes) {
    return WriteFully(fd, bytes.data(), bytes.size()) == bytes.size();
}

bool ReadWholeFile(const std::string& path, std::string& out, std::size_t limit, std::string* why) {
    // Non-blocking, so that a named pipe at the path cannot stall the caller; regular files
    // ignore the flag.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        SetWhy(why, "open", errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        SetWhy(why, "stat", errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        SetWhy(why, "not a regular file", S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        ::close(fd);
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > limit) {
        SetWhy(why, "file too large", EFBIG);
        ::close(fd);
        return false;
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            SetWhy(why, "read", errno);
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > limit) {
            SetWhy(why, "file too large", EFBIG);
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
}

bool ReplaceFile(const std::string& target, const FillFunction& fill, std::string* why) {
    const std::string destination = ResolveTarget(target);
    const std::string folder = FolderOf(destination);

    mode_t mode = 0666 & ~CurrentUmask();
    struct stat st;
    if (::stat(destination.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            SetWhy(why, "target is a folder", EISDIR);
            return false;
        }
        // Renaming over a file needs only the folder's permission; a file the user made
        // read-only is kept, as a spreadsheet program would keep it.
        if (::faccessat(AT_FDCWD, destination.c_str(), W_OK, AT_EACCESS) != 0) {
            SetWhy(why, "target is read-only", errno);
            return false;
        }
        mode = st.st_mode & 07777;
    }

    TempFile temp(folder);
    if (!temp.IsOpen()) {
        SetWhy(why, "create temporary file", errno);
        return false;
    }
    errno = 0;
    if (!fill(temp.Path(), temp.Fd())) {
        SetWhy(why, "write", errno ? errno : EIO);
        return false;
    }
    if (::fchmod(temp.Fd(), mode) != 0) {
        SetWhy(why, "chmod", errno);
        return false;
    }
    if (::fsync(temp.Fd()) != 0) {
        SetWhy(why, "fsync", errno);
        return false;
    }
    if (!temp.Close()) {
        SetWhy(why, "close", errno);
        return false;
    }
    if (::rename(temp.Path().c_str(), destination.c_str()) != 0) {
        SetWhy(why, "rename", errno);
        return false;
    }
    temp.Release();
    SyncFolder(folder);
    return true;
}

bool ReplaceFile(const std::string& target, std::string_view bytes, std::string* why) {
    return ReplaceFile(
        target, [bytes](const std::string&, int fd) { return WriteAll(fd, bytes); }, why);
}

}  // namespace SF_SOFT_BASE
