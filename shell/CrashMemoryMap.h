#pragma once
// The memory map of a crashed process as the dump writer reads it (internal to shell/): every
// mapping from /proc/self/smaps, and what of it goes into the dump. Async-signal-safe: system
// calls on storage the writer prepared at install time.
#include <cstddef>
#include <cstdint>

namespace tessaro::crash {

// What of a mapping goes into the dump, the rule of the kernel's default core filter: memory
// that exists only in the process is written whole; a file the debugger can read again (a
// library, the executable, a font) is left to the debugger unless the process wrote to its
// private copy, except for its first page when mapped from the file's start (the ELF header,
// whose build id lets the debugger check that it opens the same file).
enum class Keep : std::uint8_t {
    Nothing,   // not dumped and not listed as a segment (unreadable, devices, [vvar])
    Contents,  // anonymous memory, shared memory, deleted files: written whole
    IfWritten  // a file still on disk: whole when written to, otherwise at most its header
};

struct Mapping {
    std::uint64_t start;
    std::uint64_t end;
    std::uint64_t offset;      // in the mapped file
    std::uint32_t pathOffset;  // into the path pool; valid when pathLength > 0
    std::uint16_t pathLength;  // 0 for anonymous and special mappings
    std::uint8_t flags;        // PF_R / PF_W / PF_X
    Keep keep;
    bool written;  // "Anonymous:" in smaps above zero: pages copied on write exist
};

// The storage of one reading, and its result.
struct MemoryMap {
    Mapping* mappings = nullptr;
    std::size_t capacity = 0;
    std::size_t count = 0;
    char* pathPool = nullptr;  // the mappings' file names, each ending in '\0'
    std::size_t poolSize = 0;
    std::size_t poolUsed = 0;
    char* readBuffer = nullptr;
    std::size_t readBufferSize = 0;
    std::uint64_t ownStart = 0;  // the writer's own buffers: scratch of this moment, kept out
    std::uint64_t ownSize = 0;
};

// Reads the mappings, and whether each was written, into `map`. Mappings that are neither
// readable nor backed by a file (guard pages, reservations) are not recorded. False when
// nothing could be read.
bool ReadMemoryMap(MemoryMap& map);

// The bytes of a mapping written into the dump, from its start.
std::uint64_t DumpedSize(const Mapping& m, std::uint64_t pageSize);

}  // namespace tessaro::crash
