#include "shell/CrashMemoryMap.h"

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// Runs inside a signal handler of a crashed process, as the writer: system calls on the storage
// in MemoryMap only.

namespace tessaro::crash {
namespace {

std::size_t Length(const char* s) {
    std::size_t n = 0;
    while (s[n] != '\0') {
        ++n;
    }
    return n;
}

bool ParseHex(const char*& p, const char* end, std::uint64_t& value) {
    value = 0;
    const char* start = p;
    while (p < end) {
        const char c = *p;
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            break;
        }
        value = value * 16 + digit;
        ++p;
    }
    return p != start;
}

void SkipSpaces(const char*& p, const char* end) {
    while (p < end && *p == ' ') {
        ++p;
    }
}

void SkipField(const char*& p, const char* end) {
    while (p < end && *p != ' ') {
        ++p;
    }
}

bool StartsWith(const char* s, std::size_t length, const char* prefix) {
    const std::size_t n = Length(prefix);
    return length >= n && std::memcmp(s, prefix, n) == 0;
}

bool EndsWith(const char* s, std::size_t length, const char* suffix) {
    const std::size_t n = Length(suffix);
    return length >= n && std::memcmp(s + length - n, suffix, n) == 0;
}

// What of a readable mapping goes into the dump (see Keep). Device mappings are left out:
// reading device memory may have side effects or stall; [vvar] holds kernel data that may not
// be readable and that no debugger needs; [vsyscall] is not memory of the process.
Keep KeepOf(const char* path, std::size_t length) {
    if (StartsWith(path, length, "/dev/zero") || StartsWith(path, length, "/dev/shm/")) {
        return Keep::Contents;  // memory, whatever its name
    }
    if (StartsWith(path, length, "/dev/") || StartsWith(path, length, "[vvar") ||
        StartsWith(path, length, "[vsyscall]")) {
        return Keep::Nothing;
    }
    if (length > 0 && path[0] == '/' && !StartsWith(path, length, "/memfd:") &&
        !EndsWith(path, length, " (deleted)")) {
        return Keep::IfWritten;
    }
    return Keep::Contents;
}

// One mapping's line: "start-end perms offset dev inode   path". False for any other line (the
// fields smaps adds) and for mappings not recorded.
bool ParseMapLine(MemoryMap& map, const char* p, const char* end) {
    if (map.count == map.capacity) {
        return false;
    }
    Mapping m{};
    if (!ParseHex(p, end, m.start) || p == end || *p != '-') {
        return false;
    }
    ++p;
    if (!ParseHex(p, end, m.end) || m.end <= m.start) {
        return false;
    }
    SkipSpaces(p, end);
    if (end - p < 4) {
        return false;
    }
    const bool readable = p[0] == 'r';
    m.flags = static_cast<std::uint8_t>((readable ? PF_R : 0) | (p[1] == 'w' ? PF_W : 0) |
                                        (p[2] == 'x' ? PF_X : 0));
    p += 4;
    SkipSpaces(p, end);
    if (!ParseHex(p, end, m.offset)) {
        return false;
    }
    SkipSpaces(p, end);
    SkipField(p, end);  // device
    SkipSpaces(p, end);
    SkipField(p, end);  // inode
    SkipSpaces(p, end);
    const char* path = p;
    const auto pathLength = static_cast<std::size_t>(end - p);
    m.keep = readable ? KeepOf(path, pathLength) : Keep::Nothing;
    if (m.start == map.ownStart && m.end - m.start == map.ownSize) {
        m.keep = Keep::Nothing;
    }
    if (pathLength > 0 && path[0] == '/' && pathLength < 0xffff &&
        map.poolUsed + pathLength + 1 <= map.poolSize) {
        m.pathOffset = static_cast<std::uint32_t>(map.poolUsed);
        m.pathLength = static_cast<std::uint16_t>(pathLength);
        std::memcpy(map.pathPool + map.poolUsed, path, pathLength);
        map.pathPool[map.poolUsed + pathLength] = '\0';
        map.poolUsed += pathLength + 1;
    }
    if (!readable && m.pathLength == 0) {
        return false;  // guard pages and reservations: nothing to show
    }
    map.mappings[map.count++] = m;
    return true;
}

// "Anonymous:     12 kB" after a mapping's line: pages of it the process has written.
void ParseAnonymousLine(MemoryMap& map, const char* p, const char* end) {
    constexpr char kField[] = "Anonymous:";
    if (!StartsWith(p, static_cast<std::size_t>(end - p), kField)) {
        return;
    }
    p += sizeof kField - 1;
    SkipSpaces(p, end);
    map.mappings[map.count - 1].written = p < end && *p >= '1' && *p <= '9';
}

}  // namespace

// /proc/self/smaps: its mapping lines are those of /proc/self/maps, each followed by the
// mapping's page counts.
bool ReadMemoryMap(MemoryMap& map) {
    map.count = 0;
    map.poolUsed = 0;
    const int fd = ::open("/proc/self/smaps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char* buffer = map.readBuffer;
    std::size_t have = 0;
    bool recorded = false;  // the last mapping line was recorded: its fields follow
    for (;;) {
        const ssize_t n = ::read(fd, buffer + have, map.readBufferSize - have);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        have += static_cast<std::size_t>(n);
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i < have; ++i) {
            if (buffer[i] != '\n') {
                continue;
            }
            const char* line = buffer + lineStart;
            if (*line >= 'A' && *line <= 'Z') {  // a field: mapping lines begin with a digit
                if (recorded) {
                    ParseAnonymousLine(map, line, buffer + i);
                }
            } else {
                recorded = ParseMapLine(map, line, buffer + i);
            }
            lineStart = i + 1;
        }
        if (lineStart == 0 && have == map.readBufferSize) {
            have = 0;  // a line longer than the buffer cannot occur; drop it rather than stall
            continue;
        }
        std::memmove(buffer, buffer + lineStart, have - lineStart);
        have -= lineStart;
    }
    ::close(fd);
    return map.count > 0;
}

std::uint64_t DumpedSize(const Mapping& m, std::uint64_t pageSize) {
    switch (m.keep) {
        case Keep::Nothing:
            return 0;
        case Keep::Contents:
            return m.end - m.start;
        case Keep::IfWritten:
            break;
    }
    if (m.written) {
        return m.end - m.start;
    }
    return m.offset == 0 && m.end - m.start >= pageSize ? pageSize : 0;
}

}  // namespace tessaro::crash
