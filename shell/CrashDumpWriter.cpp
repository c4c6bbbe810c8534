#include "shell/CrashDumpWriter.h"

#include "framework/os/SFFile.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/procfs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

// Everything below WriteCoreDump runs inside a signal handler of a crashed process: system calls
// on static or preallocated memory only, small stack frames (a worker thread may have little
// stack left), no library state that a crashed thread may have left half-changed.

namespace tessaro::crash {
namespace {

#if defined(__x86_64__)
constexpr bool kSupported = true;
constexpr std::uint16_t kMachine = EM_X86_64;
#else
// Other architectures end with the same exit codes but write no dump (see docs/crash.md).
constexpr bool kSupported = false;
constexpr std::uint16_t kMachine = EM_NONE;
#endif

constexpr std::size_t kMaxMappings = 16384;      // well below the 65535 program headers of ELF
constexpr std::size_t kPathPoolSize = 4u << 20;  // file names of the mappings
constexpr std::size_t kReadBufferSize = 64u << 10;
constexpr std::size_t kOutBufferSize = 64u << 10;
constexpr std::size_t kMaxThreads = 512;
constexpr long kThreadCaptureBudgetNs = 500'000'000;  // for all threads together
constexpr std::size_t kWriteChunk = 1u << 20;

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

// Thread state handed from the caught thread's signal handler to the writer.
enum : int { kSlotRequested = 1, kSlotCaught = 2 };
struct ThreadSlot {
    std::atomic<int> tid;
    std::atomic<int> state;
    elf_gregset_t registers;
    elf_fpregset_t fpRegisters;
    bool fpValid;
};

struct Buffers {
    Mapping mappings[kMaxMappings];
    char pathPool[kPathPoolSize];
    char readBuffer[kReadBufferSize];
    char outBuffer[kOutBufferSize];
    ThreadSlot threads[kMaxThreads];
};

Buffers* g_buffers = nullptr;  // mmap'ed once at preparation, never freed
// Where the dump may go, tried in this order at a crash: beside the executable when its folder
// was writable at preparation, then the state folder (created at the crash when missing).
constexpr std::size_t kMaxDumpPaths = 2;
char g_dumpPaths[kMaxDumpPaths][PATH_MAX] = {};
std::size_t g_dumpPathCount = 0;
char g_stateFolder[PATH_MAX] = {};  // the folder of the state path, empty without one
char g_folderScratch[PATH_MAX] = {};
std::atomic<const char*> g_openPath{nullptr};  // the dump file while it is being written
unsigned char g_auxv[4096] = {};
std::size_t g_auxvSize = 0;
char g_fileName[16] = {};   // the executable's name for the process info (truncated)
char g_arguments[80] = {};  // the command line for the process info (truncated)
long g_pageSize = 4096;
int g_captureSignal = 0;
std::size_t g_mappingCount = 0;
std::size_t g_pathPoolUsed = 0;
std::size_t g_threadCount = 0;
std::atomic<bool> g_prepared{false};

// ---- async-signal-safe helpers ----

std::size_t Length(const char* s) {
    std::size_t n = 0;
    while (s[n] != '\0') {
        ++n;
    }
    return n;
}

long CurrentThreadId() {
    return syscall(SYS_gettid);
}

// Writes a plain buffer; false on any failure (no room, file too large, I/O error).
bool WriteAll(int fd, const void* data, std::size_t size) {
    return SF_SOFT_BASE::WriteFully(fd, data, size) == size;
}

// Copies process memory into the file. The kernel reads the memory on our behalf, so a page that
// cannot be read (a guard page, a file mapping beyond the file's end, a mapping removed since
// the map was read) makes write() fail with EFAULT instead of faulting here; such a page stays a
// hole of zeros in the file.
bool WriteMemory(int fd, std::uint64_t address, std::uint64_t size) {
    const auto page = static_cast<std::uint64_t>(g_pageSize);
    while (size > 0) {
        const std::uint64_t chunk = size < kWriteChunk ? size : kWriteChunk;
        const ssize_t n = ::write(fd, reinterpret_cast<const void*>(address), chunk);
        if (n > 0) {
            address += static_cast<std::uint64_t>(n);
            size -= static_cast<std::uint64_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EFAULT) {
            std::uint64_t skip = page - (address % page);
            if (skip > size) {
                skip = size;
            }
            if (::lseek(fd, static_cast<off_t>(skip), SEEK_CUR) < 0) {
                return false;
            }
            address += skip;
            size -= skip;
            continue;
        }
        return false;
    }
    return true;
}

// Buffered output of the headers and notes.
struct Out {
    int fd;
    std::size_t used;
    bool ok;
};

void Put(Out& out, const void* data, std::size_t size) {
    auto* p = static_cast<const char*>(data);
    while (out.ok && size > 0) {
        if (out.used == kOutBufferSize) {
            out.ok = WriteAll(out.fd, g_buffers->outBuffer, out.used);
            out.used = 0;
            continue;
        }
        std::size_t n = kOutBufferSize - out.used;
        if (n > size) {
            n = size;
        }
        std::memcpy(g_buffers->outBuffer + out.used, p, n);
        out.used += n;
        p += n;
        size -= n;
    }
}

void PutZeros(Out& out, std::size_t count) {
    static const char zeros[8] = {};
    while (count > 0) {
        const std::size_t n = count < sizeof zeros ? count : sizeof zeros;
        Put(out, zeros, n);
        count -= n;
    }
}

bool Flush(Out& out) {
    if (out.ok && out.used > 0) {
        out.ok = WriteAll(out.fd, g_buffers->outBuffer, out.used);
        out.used = 0;
    }
    return out.ok;
}

constexpr std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}
constexpr char kNoteName[] = "CORE";  // with its terminating zero: namesz 5
constexpr std::size_t kNoteHeaderSize = sizeof(Elf64_Nhdr) + Align4(sizeof kNoteName);

std::size_t NoteSize(std::size_t descriptorSize) {
    return kNoteHeaderSize + Align4(descriptorSize);
}

void PutNoteHeader(Out& out, std::uint32_t type, std::size_t descriptorSize) {
    Elf64_Nhdr header{};
    header.n_namesz = sizeof kNoteName;
    header.n_descsz = static_cast<Elf64_Word>(descriptorSize);
    header.n_type = type;
    Put(out, &header, sizeof header);
    Put(out, kNoteName, sizeof kNoteName);
    PutZeros(out, Align4(sizeof kNoteName) - sizeof kNoteName);
}

void PutNote(Out& out, std::uint32_t type, const void* descriptor, std::size_t size) {
    PutNoteHeader(out, type, size);
    Put(out, descriptor, size);
    PutZeros(out, Align4(size) - size);
}

// ---- registers ----

#if defined(__x86_64__)
std::uint64_t ThreadPointer() {
    // glibc keeps the thread control block's own address in its first word, which is what the
    // kernel reports as fs_base; gdb needs it for thread-local storage and libthread_db.
    std::uint64_t tp = 0;
    asm volatile("mov %%fs:0, %0" : "=r"(tp));
    return tp;
}

void TakeRegisters(const ucontext_t* uc, elf_gregset_t& out, elf_fpregset_t& fp, bool& fpValid) {
    static_assert(sizeof(user_regs_struct) == sizeof(elf_gregset_t));
    static_assert(sizeof(elf_fpregset_t) == 512);
    const greg_t* g = uc->uc_mcontext.gregs;
    user_regs_struct r{};
    r.r15 = static_cast<unsigned long long>(g[REG_R15]);
    r.r14 = static_cast<unsigned long long>(g[REG_R14]);
    r.r13 = static_cast<unsigned long long>(g[REG_R13]);
    r.r12 = static_cast<unsigned long long>(g[REG_R12]);
    r.rbp = static_cast<unsigned long long>(g[REG_RBP]);
    r.rbx = static_cast<unsigned long long>(g[REG_RBX]);
    r.r11 = static_cast<unsigned long long>(g[REG_R11]);
    r.r10 = static_cast<unsigned long long>(g[REG_R10]);
    r.r9 = static_cast<unsigned long long>(g[REG_R9]);
    r.r8 = static_cast<unsigned long long>(g[REG_R8]);
    r.rax = static_cast<unsigned long long>(g[REG_RAX]);
    r.rcx = static_cast<unsigned long long>(g[REG_RCX]);
    r.rdx = static_cast<unsigned long long>(g[REG_RDX]);
    r.rsi = static_cast<unsigned long long>(g[REG_RSI]);
    r.rdi = static_cast<unsigned long long>(g[REG_RDI]);
    r.orig_rax = ~0ull;  // not inside a system call: gdb must not restart one
    r.rip = static_cast<unsigned long long>(g[REG_RIP]);
    r.eflags = static_cast<unsigned long long>(g[REG_EFL]);
    r.rsp = static_cast<unsigned long long>(g[REG_RSP]);
    const auto segments = static_cast<unsigned long long>(g[REG_CSGSFS]);
    r.cs = segments & 0xffff;
    r.gs = (segments >> 16) & 0xffff;
    r.fs = (segments >> 32) & 0xffff;
    r.ss = (segments >> 48) & 0xffff;
    if (r.ss == 0) {
        r.ss = 0x2b;  // the user data selector, when the kernel did not save it
    }
    r.fs_base = ThreadPointer();
    std::memcpy(&out, &r, sizeof r);
    fpValid = uc->uc_mcontext.fpregs != nullptr;
    if (fpValid) {
        std::memcpy(&fp, uc->uc_mcontext.fpregs, sizeof fp);
    } else {
        std::memset(&fp, 0, sizeof fp);
    }
}
#else
void TakeRegisters(const ucontext_t*, elf_gregset_t& out, elf_fpregset_t& fp, bool& fpValid) {
    std::memset(&out, 0, sizeof out);
    std::memset(&fp, 0, sizeof fp);
    fpValid = false;
}
#endif

// ---- the memory map ----

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
bool ParseMapLine(const char* p, const char* end) {
    if (g_mappingCount == kMaxMappings) {
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
    const auto page = static_cast<std::uint64_t>(g_pageSize);
    if (m.start == reinterpret_cast<std::uintptr_t>(g_buffers) &&
        m.end - m.start == (sizeof(Buffers) + page - 1) / page * page) {
        m.keep = Keep::Nothing;  // the writer's own scratch (5 MB): nothing of the crash
    }
    if (pathLength > 0 && path[0] == '/' && pathLength < 0xffff &&
        g_pathPoolUsed + pathLength + 1 <= kPathPoolSize) {
        m.pathOffset = static_cast<std::uint32_t>(g_pathPoolUsed);
        m.pathLength = static_cast<std::uint16_t>(pathLength);
        std::memcpy(g_buffers->pathPool + g_pathPoolUsed, path, pathLength);
        g_buffers->pathPool[g_pathPoolUsed + pathLength] = '\0';
        g_pathPoolUsed += pathLength + 1;
    }
    if (!readable && m.pathLength == 0) {
        return false;  // guard pages and reservations: nothing to show
    }
    g_buffers->mappings[g_mappingCount++] = m;
    return true;
}

// "Anonymous:     12 kB" after a mapping's line: pages of it the process has written.
void ParseAnonymousLine(const char* p, const char* end) {
    constexpr char kField[] = "Anonymous:";
    if (!StartsWith(p, static_cast<std::size_t>(end - p), kField)) {
        return;
    }
    p += sizeof kField - 1;
    SkipSpaces(p, end);
    g_buffers->mappings[g_mappingCount - 1].written = p < end && *p >= '1' && *p <= '9';
}

// Reads the mappings, and whether each was written, from /proc/self/smaps: its mapping lines are
// those of /proc/self/maps, each followed by the mapping's page counts.
bool ReadMemoryMap() {
    g_mappingCount = 0;
    g_pathPoolUsed = 0;
    const int fd = ::open("/proc/self/smaps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char* buffer = g_buffers->readBuffer;
    std::size_t have = 0;
    bool recorded = false;  // the last mapping line was recorded: its fields follow
    for (;;) {
        const ssize_t n = ::read(fd, buffer + have, kReadBufferSize - have);
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
                    ParseAnonymousLine(line, buffer + i);
                }
            } else {
                recorded = ParseMapLine(line, buffer + i);
            }
            lineStart = i + 1;
        }
        if (lineStart == 0 && have == kReadBufferSize) {
            have = 0;  // a line longer than the buffer cannot occur; drop it rather than stall
            continue;
        }
        std::memmove(buffer, buffer + lineStart, have - lineStart);
        have -= lineStart;
    }
    ::close(fd);
    return g_mappingCount > 0;
}

// The bytes of a mapping written into the dump, from its start.
std::uint64_t DumpedSize(const Mapping& m) {
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
    const auto page = static_cast<std::uint64_t>(g_pageSize);
    return m.offset == 0 && m.end - m.start >= page ? page : 0;
}

// ---- the other threads ----

void CaptureHandler(int, siginfo_t*, void* context) {
    if (g_buffers == nullptr) {
        return;
    }
    const int tid = static_cast<int>(CurrentThreadId());
    for (std::size_t i = 0; i < g_threadCount; ++i) {
        ThreadSlot& slot = g_buffers->threads[i];
        if (slot.tid.load(std::memory_order_acquire) != tid ||
            slot.state.load(std::memory_order_acquire) != kSlotRequested) {
            continue;
        }
        TakeRegisters(static_cast<const ucontext_t*>(context), slot.registers, slot.fpRegisters,
                      slot.fpValid);
        slot.state.store(kSlotCaught, std::memory_order_release);
        // Stay here so the memory the dump shows is the memory these registers describe; the
        // crashed thread ends the process when the dump is written.
        for (;;) {
            const timespec second{1, 0};
            ::nanosleep(&second, nullptr);
        }
    }
}

long long MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

struct LinuxDirent64 {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short recordLength;
    unsigned char type;
    char name[1];
};

// Lists the process's other threads and asks each, with a signal, to hand over its registers.
// Threads that block the signal or do not answer in time are left out of the dump.
void CaptureOtherThreads() {
    g_threadCount = 0;
    const int self = static_cast<int>(CurrentThreadId());
    const int fd = ::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    char* buffer = g_buffers->readBuffer;
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buffer, kReadBufferSize);
        if (n <= 0) {
            break;
        }
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + at);
            at += entry->recordLength;
            int tid = 0;
            bool digits = entry->name[0] != '\0';
            for (const char* c = entry->name; *c != '\0'; ++c) {
                if (*c < '0' || *c > '9') {
                    digits = false;
                    break;
                }
                tid = tid * 10 + (*c - '0');
            }
            if (!digits || tid == self || g_threadCount == kMaxThreads) {
                continue;
            }
            ThreadSlot& slot = g_buffers->threads[g_threadCount++];
            slot.tid.store(tid, std::memory_order_release);
            slot.state.store(kSlotRequested, std::memory_order_release);
        }
    }
    ::close(fd);

    const pid_t pid = ::getpid();
    for (std::size_t i = 0; i < g_threadCount; ++i) {
        const int tid = g_buffers->threads[i].tid.load(std::memory_order_relaxed);
        if (syscall(SYS_tgkill, pid, tid, g_captureSignal) != 0) {
            g_buffers->threads[i].state.store(0, std::memory_order_release);
        }
    }
    const long long deadline = MonotonicNs() + kThreadCaptureBudgetNs;
    for (;;) {
        bool waiting = false;
        for (std::size_t i = 0; i < g_threadCount; ++i) {
            if (g_buffers->threads[i].state.load(std::memory_order_acquire) == kSlotRequested) {
                waiting = true;
                break;
            }
        }
        if (!waiting || MonotonicNs() >= deadline) {
            break;
        }
        const timespec pause{0, 1'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

bool Caught(std::size_t i) {
    return g_buffers->threads[i].state.load(std::memory_order_acquire) == kSlotCaught;
}

// ---- the notes ----

void FillStatus(elf_prstatus& status, int tid, int signal, const siginfo_t* info,
                const ucontext_t* uc, const elf_gregset_t& registers, bool fpValid) {
    std::memset(&status, 0, sizeof status);
    if (info != nullptr) {
        status.pr_info.si_signo = info->si_signo;
        status.pr_info.si_code = info->si_code;
        status.pr_info.si_errno = info->si_errno;
    }
    status.pr_cursig = static_cast<short>(signal);
    if (uc != nullptr) {
        std::memcpy(&status.pr_sighold, &uc->uc_sigmask, sizeof status.pr_sighold);
    }
    status.pr_pid = tid;
    status.pr_ppid = ::getppid();
    status.pr_pgrp = ::getpgrp();
    status.pr_sid = static_cast<pid_t>(syscall(SYS_getsid, 0));
    std::memcpy(&status.pr_reg, &registers, sizeof registers);
    status.pr_fpvalid = fpValid ? 1 : 0;
}

std::size_t FileNoteSize() {
    std::size_t count = 0;
    std::size_t names = 0;
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        const Mapping& m = g_buffers->mappings[i];
        if (m.pathLength > 0) {
            ++count;
            names += m.pathLength + 1u;
        }
    }
    return 2 * sizeof(std::uint64_t) + count * 3 * sizeof(std::uint64_t) + names;
}

// NT_FILE: count, page size, (start, end, page offset) per file mapping, then the names.
void PutFileNote(Out& out, std::size_t size) {
    PutNoteHeader(out, NT_FILE, size);
    std::uint64_t count = 0;
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        count += g_buffers->mappings[i].pathLength > 0 ? 1 : 0;
    }
    const auto page = static_cast<std::uint64_t>(g_pageSize);
    Put(out, &count, sizeof count);
    Put(out, &page, sizeof page);
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        const Mapping& m = g_buffers->mappings[i];
        if (m.pathLength > 0) {
            const std::uint64_t triple[3] = {m.start, m.end, m.offset / page};
            Put(out, triple, sizeof triple);
        }
    }
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        const Mapping& m = g_buffers->mappings[i];
        if (m.pathLength > 0) {
            Put(out, g_buffers->pathPool + m.pathOffset, m.pathLength + 1u);
        }
    }
    PutZeros(out, Align4(size) - size);
}

// Scratch for the crashing thread's notes: static, so the handler's stack frame stays small.
elf_prstatus g_status;
elf_prpsinfo g_processInfo;
elf_gregset_t g_crashRegisters;
elf_fpregset_t g_crashFpRegisters;

bool WriteDump(int fd, int signal, const siginfo_t* info, const ucontext_t* uc) {
    const int self = static_cast<int>(CurrentThreadId());
    bool crashFpValid = false;
    if (uc != nullptr) {
        TakeRegisters(uc, g_crashRegisters, g_crashFpRegisters, crashFpValid);
    } else {
        std::memset(&g_crashRegisters, 0, sizeof g_crashRegisters);
    }

    // Layout: ELF header, program headers (the notes, then one load per dumped mapping),
    // the notes, the memory at page-aligned offsets.
    std::size_t loads = 0;
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        loads += g_buffers->mappings[i].keep != Keep::Nothing ? 1 : 0;
    }
    const std::size_t fileNoteSize = FileNoteSize();
    std::size_t notesSize = NoteSize(sizeof(elf_prstatus)) + NoteSize(sizeof(elf_prpsinfo)) +
                            NoteSize(sizeof(siginfo_t)) + NoteSize(g_auxvSize) +
                            NoteSize(fileNoteSize);
    notesSize += crashFpValid ? NoteSize(sizeof(elf_fpregset_t)) : 0;
    for (std::size_t i = 0; i < g_threadCount; ++i) {
        if (Caught(i)) {
            notesSize += NoteSize(sizeof(elf_prstatus));
            notesSize += g_buffers->threads[i].fpValid ? NoteSize(sizeof(elf_fpregset_t)) : 0;
        }
    }
    const std::size_t headerCount = 1 + loads;
    const std::size_t notesOffset = sizeof(Elf64_Ehdr) + headerCount * sizeof(Elf64_Phdr);
    const auto page = static_cast<std::size_t>(g_pageSize);
    const std::size_t dataOffset = (notesOffset + notesSize + page - 1) / page * page;

    Out out{fd, 0, true};
    Elf64_Ehdr header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_ident[EI_OSABI] = ELFOSABI_NONE;
    header.e_type = ET_CORE;
    header.e_machine = kMachine;
    header.e_version = EV_CURRENT;
    header.e_phoff = sizeof(Elf64_Ehdr);
    header.e_ehsize = sizeof(Elf64_Ehdr);
    header.e_phentsize = sizeof(Elf64_Phdr);
    header.e_phnum = static_cast<Elf64_Half>(headerCount);
    Put(out, &header, sizeof header);

    Elf64_Phdr notes{};
    notes.p_type = PT_NOTE;
    notes.p_offset = notesOffset;
    notes.p_filesz = notesSize;
    Put(out, &notes, sizeof notes);
    std::size_t offset = dataOffset;
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        const Mapping& m = g_buffers->mappings[i];
        if (m.keep == Keep::Nothing) {
            continue;
        }
        // A segment with less in the file than in memory: the debugger reads the rest from
        // the mapped file.
        Elf64_Phdr load{};
        load.p_type = PT_LOAD;
        load.p_flags = m.flags;
        load.p_offset = offset;
        load.p_vaddr = m.start;
        load.p_filesz = DumpedSize(m);
        load.p_memsz = m.end - m.start;
        load.p_align = page;
        Put(out, &load, sizeof load);
        offset += DumpedSize(m);
    }
    const std::size_t totalSize = offset;

    // The crashing thread comes first: gdb takes the first thread of a core as the current one.
    FillStatus(g_status, self, signal, info, uc, g_crashRegisters, crashFpValid);
    PutNote(out, NT_PRSTATUS, &g_status, sizeof g_status);
    if (crashFpValid) {
        PutNote(out, NT_FPREGSET, &g_crashFpRegisters, sizeof g_crashFpRegisters);
    }
    std::memset(&g_processInfo, 0, sizeof g_processInfo);
    g_processInfo.pr_sname = 'R';
    g_processInfo.pr_uid = ::getuid();
    g_processInfo.pr_gid = ::getgid();
    g_processInfo.pr_pid = ::getpid();
    g_processInfo.pr_ppid = ::getppid();
    g_processInfo.pr_pgrp = ::getpgrp();
    g_processInfo.pr_sid = static_cast<int>(syscall(SYS_getsid, 0));
    std::memcpy(g_processInfo.pr_fname, g_fileName, sizeof g_processInfo.pr_fname);
    std::memcpy(g_processInfo.pr_psargs, g_arguments, sizeof g_processInfo.pr_psargs);
    PutNote(out, NT_PRPSINFO, &g_processInfo, sizeof g_processInfo);
    if (info != nullptr) {
        PutNote(out, NT_SIGINFO, info, sizeof(siginfo_t));
    } else {
        PutNoteHeader(out, NT_SIGINFO, sizeof(siginfo_t));
        PutZeros(out, sizeof(siginfo_t));
    }
    PutNote(out, NT_AUXV, g_auxv, g_auxvSize);
    PutFileNote(out, fileNoteSize);
    for (std::size_t i = 0; i < g_threadCount; ++i) {
        if (!Caught(i)) {
            continue;
        }
        const ThreadSlot& slot = g_buffers->threads[i];
        // Every thread carries the signal, as in the kernel's own core files; gdb does not
        // report the signal the process ended with otherwise.
        FillStatus(g_status, slot.tid.load(std::memory_order_relaxed), signal, nullptr, nullptr,
                   slot.registers, slot.fpValid);
        PutNote(out, NT_PRSTATUS, &g_status, sizeof g_status);
        if (slot.fpValid) {
            PutNote(out, NT_FPREGSET, &slot.fpRegisters, sizeof slot.fpRegisters);
        }
    }
    PutZeros(out, dataOffset - notesOffset - notesSize);
    if (!Flush(out)) {
        return false;
    }

    offset = dataOffset;
    for (std::size_t i = 0; i < g_mappingCount; ++i) {
        const std::uint64_t size = DumpedSize(g_buffers->mappings[i]);
        if (size == 0) {
            continue;
        }
        if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0 ||
            !WriteMemory(fd, g_buffers->mappings[i].start, size)) {
            return false;
        }
        offset += size;
    }
    // Unreadable pages at the very end are holes too: give the file its full size.
    return ::ftruncate(fd, static_cast<off_t>(totalSize)) == 0;
}

// ---- preparation (normal context) ----

void ReadSmallFile(const char* path, void* buffer, std::size_t capacity, std::size_t* size) {
    *size = 0;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        *size = SF_SOFT_BASE::ReadFully(fd, buffer, capacity);
        ::close(fd);
    }
}

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

void PrepareDumpPaths() {
    g_dumpPathCount = 0;
    g_stateFolder[0] = '\0';
    char executable[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", executable, sizeof executable - 1);
    if (n <= 0) {
        return;
    }
    executable[n] = '\0';
    const std::string_view path(executable, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    const std::string_view name = path.substr(slash + 1);
    const std::string_view folder = path.substr(0, slash == 0 ? 1 : slash);

    // Beside the executable when this user may create files there; an installed program's
    // folder (/usr/bin) is not writable, so its dumps go to the state folder.
    char folderPath[PATH_MAX];
    if (JoinPath(folderPath, {folder}) &&
        ::faccessat(AT_FDCWD, folderPath, W_OK | X_OK, AT_EACCESS) == 0 &&
        JoinPath(g_dumpPaths[g_dumpPathCount], {path, ".dmp"})) {
        ++g_dumpPathCount;
    }
    if (PrepareStateFolder() &&
        JoinPath(g_dumpPaths[g_dumpPathCount], {g_stateFolder, "/", name, ".dmp"})) {
        ++g_dumpPathCount;
    }

    std::memset(g_fileName, 0, sizeof g_fileName);
    std::memcpy(g_fileName, name.data(), std::min(name.size(), sizeof g_fileName - 1));
}

void PrepareArguments() {
    std::size_t size = 0;
    ReadSmallFile("/proc/self/cmdline", g_arguments, sizeof g_arguments - 1, &size);
    for (std::size_t i = 0; i < size; ++i) {
        if (g_arguments[i] == '\0') {
            g_arguments[i] = ' ';
        }
    }
    while (size > 0 && g_arguments[size - 1] == ' ') {
        --size;
    }
    g_arguments[size] = '\0';
}

}  // namespace

bool PrepareCoreWriter() {
    if (g_prepared.load(std::memory_order_acquire)) {
        return g_buffers != nullptr;
    }
    g_pageSize = ::sysconf(_SC_PAGESIZE);
    PrepareDumpPaths();
    ReadSmallFile("/proc/self/auxv", g_auxv, sizeof g_auxv, &g_auxvSize);
    PrepareArguments();

    // Reserved now, touched only when a crash is handled (untouched pages cost no memory).
    void* memory = ::mmap(nullptr, sizeof(Buffers), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory != MAP_FAILED) {
        g_buffers = static_cast<Buffers*>(memory);
        // The highest real-time signal is the least likely to be used by anything else.
        g_captureSignal = SIGRTMAX;
        struct sigaction action {};
        action.sa_sigaction = CaptureHandler;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
        sigfillset(&action.sa_mask);
        ::sigaction(g_captureSignal, &action, nullptr);
    }
    g_prepared.store(true, std::memory_order_release);
    return g_buffers != nullptr;
}

const char* PreparedDumpPath() {
    return g_dumpPathCount > 0 ? g_dumpPaths[0] : "";
}

namespace {

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

// Creates the dump file anew at `path`. Unlinking first means a symbolic link or a second hard
// link planted under the dump's name is never written through, and O_EXCL|O_NOFOLLOW refuse
// whatever appears in between. Only the owner may read it: it holds the process's memory. The
// file counts as being written from before it exists, so a second crash at any moment from here
// on removes it.
int CreateDumpFile(const char* path) {
    g_openPath.store(path, std::memory_order_release);
    ::unlink(path);
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        g_openPath.store(nullptr, std::memory_order_release);
    }
    return fd;
}

}  // namespace

bool WriteCoreDump(int signal, const siginfo_t* info, const void* context) {
    if (!kSupported || g_buffers == nullptr) {
        return false;
    }
    // The first place that takes a new file gets the dump; one where writing then fails does
    // not get a second try elsewhere (the threads are stopped, the map is read: a full disk
    // would just fail again).
    int fd = -1;
    const char* path = nullptr;
    for (std::size_t i = 0; i < g_dumpPathCount && fd < 0; ++i) {
        path = g_dumpPaths[i];
        if (g_stateFolder[0] != '\0' && StartsWith(path, Length(path), g_stateFolder)) {
            MakeStateFolder();
        }
        fd = CreateDumpFile(path);
    }
    if (fd < 0) {
        return false;
    }
    bool written = ReadMemoryMap();
    if (written) {
        CaptureOtherThreads();
        written = WriteDump(fd, signal, info, static_cast<const ucontext_t*>(context));
    }
    if (::close(fd) != 0) {
        written = false;
    }
    if (!written) {
        ::unlink(path);  // a truncated dump misleads more than none
    }
    g_openPath.store(nullptr, std::memory_order_release);
    return written;
}

void AbandonCoreDump() {
    if (const char* path = g_openPath.exchange(nullptr, std::memory_order_acq_rel)) {
        ::unlink(path);
    }
}

}  // namespace tessaro::crash
