#pragma once
// CSFFile: one file opened with POSIX I/O, with the access and disposition values of the
// Windows file API; and the static file-system helpers. Paths are UTF-8.
//
// Threads: one object is used by one thread at a time; the statics may be called from any.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace SF_SOFT_BASE {

inline constexpr std::uint32_t SF_GENERIC_READ = 0x80000000u;
inline constexpr std::uint32_t SF_GENERIC_WRITE = 0x40000000u;

// Dispositions.
inline constexpr std::uint32_t SF_CREATE_NEW = 1;         // fails when the file exists
inline constexpr std::uint32_t SF_CREATE_ALWAYS = 2;      // creates or truncates
inline constexpr std::uint32_t SF_OPEN_EXISTING = 3;      // fails when missing
inline constexpr std::uint32_t SF_OPEN_ALWAYS = 4;        // opens or creates
inline constexpr std::uint32_t SF_TRUNCATE_EXISTING = 5;  // truncates; fails when missing

// Seek origins.
inline constexpr int SF_FILE_BEGIN = 0;
inline constexpr int SF_FILE_CURRENT = 1;
inline constexpr int SF_FILE_END = 2;

// Move `size` bytes between `data` and the open descriptor `fd`, retrying interruptions and short
// transfers, and return how many moved: fewer only at the end of the file or on an error (errno
// then tells which). Async-signal-safe (read, write and errno only): the crash handler writes its
// dump with them. Any thread.
std::size_t ReadFully(int fd, void* data, std::size_t size);
std::size_t WriteFully(int fd, const void* data, std::size_t size);

class CSFFile {
public:
    CSFFile();
    ~CSFFile();  // closes
    CSFFile(const CSFFile&) = delete;
    CSFFile& operator=(const CSFFile&) = delete;

    // Opens (closing a file this object had open). share and flags have no POSIX meaning and
    // are ignored. Returns 1, or 0 on failure.
    int Open(const char* name, std::uint32_t access, std::uint32_t share, std::uint32_t disposition,
             std::uint32_t flags);
    bool IsOpen() const;
    void Close();
    // Bytes moved (short only at the end of the file or on an error); 0 on failure.
    std::uint32_t Read(void* buffer, std::uint32_t size);
    std::uint32_t Write(const void* buffer, std::uint32_t size);
    // Moves the position; with SF_FILE_END the offset counts backwards from the end. Returns the
    // new position, or -1 on failure (a position before the start is refused).
    std::int64_t Seek(std::int64_t offset, int origin);
    std::int64_t Tell() const;
    // The file's size; leaves the position at the end of the file. -1 on failure.
    std::int64_t GetSize();

    // 1 when the directory was made, 0 otherwise (also when it exists already).
    static int CreateDirectory(const char* path);
    static int DeleteFile(const char* path);
    // Deletes the directory and everything below it. Symbolic links inside are removed as links;
    // what they point to is never touched. 1 when the directory is gone.
    static int DeleteDirectory(const char* path);
    static std::string GetCurrentDirectory();
    // Bytes available to this user on the file system holding path; -1 on failure.
    static std::int64_t GetFreeDiskSpace(const char* path);

private:
    struct Record;
    std::unique_ptr<Record> m_record;
};

}  // namespace SF_SOFT_BASE
