#include "framework/os/SFFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <new>

namespace SF_SOFT_BASE {
namespace {

// The one retrying transfer loop behind ReadFully and WriteFully.
template <class Byte, class Call>
std::size_t TransferFully(Byte* data, std::size_t size, Call call) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = call(data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

std::size_t ReadFully(int fd, void* data, std::size_t size) {
    return TransferFully(static_cast<char*>(data), size,
                         [fd](char* at, std::size_t left) { return ::read(fd, at, left); });
}

std::size_t WriteFully(int fd, const void* data, std::size_t size) {
    return TransferFully(static_cast<const char*>(data), size,
                         [fd](const char* at, std::size_t left) { return ::write(fd, at, left); });
}

struct CSFFile::Record {
    int fd = -1;
};

CSFFile::CSFFile() : m_record(new (std::nothrow) Record) {}

CSFFile::~CSFFile() {
    Close();
}

int CSFFile::Open(const char* name, std::uint32_t access, std::uint32_t /*share*/,
                  std::uint32_t disposition, std::uint32_t /*flags*/) {
    if (!m_record || name == nullptr) {
        return 0;
    }
    Close();
    int mode = 0;
    const bool read = (access & SF_GENERIC_READ) != 0;
    const bool write = (access & SF_GENERIC_WRITE) != 0;
    if (read && write) {
        mode = O_RDWR;
    } else if (write) {
        mode = O_WRONLY;
    } else {
        mode = O_RDONLY;
    }
    switch (disposition) {
        case SF_CREATE_NEW:
            mode |= O_CREAT | O_EXCL;
            break;
        case SF_CREATE_ALWAYS:
            mode |= O_CREAT | O_TRUNC;
            break;
        case SF_OPEN_EXISTING:
            break;
        case SF_OPEN_ALWAYS:
            mode |= O_CREAT;
            break;
        case SF_TRUNCATE_EXISTING:
            mode |= O_TRUNC;
            break;
        default:
            return 0;
    }
    if ((mode & O_TRUNC) != 0 && !write) {
        return 0;  // truncating needs write access
    }
    int fd;
    do {
        fd = ::open(name, mode | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return 0;
    }
    m_record->fd = fd;
    return 1;
}

bool CSFFile::IsOpen() const {
    return m_record && m_record->fd >= 0;
}

void CSFFile::Close() {
    if (m_record && m_record->fd >= 0) {
        ::close(m_record->fd);
        m_record->fd = -1;
    }
}

std::uint32_t CSFFile::Read(void* buffer, std::uint32_t size) {
    if (!IsOpen() || buffer == nullptr) {
        return 0;
    }
    return static_cast<std::uint32_t>(ReadFully(m_record->fd, buffer, size));
}

std::uint32_t CSFFile::Write(const void* buffer, std::uint32_t size) {
    if (!IsOpen() || buffer == nullptr) {
        return 0;
    }
    return static_cast<std::uint32_t>(WriteFully(m_record->fd, buffer, size));
}

std::int64_t CSFFile::Seek(std::int64_t offset, int origin) {
    if (!IsOpen()) {
        return -1;
    }
    off_t result = -1;
    switch (origin) {
        case SF_FILE_BEGIN:
            result = ::lseek(m_record->fd, offset, SEEK_SET);
            break;
        case SF_FILE_CURRENT:
            result = ::lseek(m_record->fd, offset, SEEK_CUR);
            break;
        case SF_FILE_END:
            result = ::lseek(m_record->fd, -offset, SEEK_END);
            break;
        default:
            break;
    }
    return result;
}

std::int64_t CSFFile::Tell() const {
    if (!IsOpen()) {
        return -1;
    }
    return ::lseek(m_record->fd, 0, SEEK_CUR);
}

std::int64_t CSFFile::GetSize() {
    if (!IsOpen()) {
        return -1;
    }
    return ::lseek(m_record->fd, 0, SEEK_END);
}

int CSFFile::CreateDirectory(const char* path) {
    return path != nullptr && ::mkdir(path, 0777) == 0 ? 1 : 0;
}

int CSFFile::DeleteFile(const char* path) {
    return path != nullptr && ::unlink(path) == 0 ? 1 : 0;
}

int CSFFile::DeleteDirectory(const char* path) {
    if (path == nullptr) {
        return 0;
    }
    struct stat st;
    if (::lstat(path, &st) != 0 || !S_ISDIR(st.st_mode)) {
        return 0;
    }
    DIR* dir = ::opendir(path);
    if (dir == nullptr) {
        return 0;
    }
    const std::string base(path);
    while (dirent* entry = ::readdir(dir)) {
        const std::string name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        const std::string child = base + "/" + name;
        struct stat cst;
        if (::lstat(child.c_str(), &cst) != 0) {
            continue;
        }
        if (S_ISDIR(cst.st_mode)) {
            DeleteDirectory(child.c_str());
        } else {
            ::unlink(child.c_str());
        }
    }
    ::closedir(dir);
    return ::rmdir(path) == 0 ? 1 : 0;
}

std::string CSFFile::GetCurrentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) {
        return {};
    }
    return buffer;
}

std::int64_t CSFFile::GetFreeDiskSpace(const char* path) {
    struct statvfs st;
    if (path == nullptr || ::statvfs(path, &st) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

}  // namespace SF_SOFT_BASE
