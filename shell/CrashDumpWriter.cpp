#include "shell/CrashDumpWriter.h"

#include "shell/CrashDumpPath.h"
#include "shell/CrashMemoryMap.h"

#include "framework/os/SFFile.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/procfs.h>
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
#include <cstring>
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
unsigned char g_auxv[4096] = {};
std::size_t g_auxvSize = 0;
char g_fileName[16] = {};   // the executable's name for the process info (truncated)
char g_arguments[80] = {};  // the command line for the process info (truncated)
long g_pageSize = 4096;
int g_captureSignal = 0;
MemoryMap g_map;  // over the buffers
std::size_t g_threadCount = 0;
std::atomic<bool> g_prepared{false};

// ---- async-signal-safe helpers ----

long CurrentThreadId() {
    return syscall(SYS_gettid);
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
            out.ok = SF_SOFT_BASE::WriteFully(out.fd, g_buffers->outBuffer, out.used) == out.used;
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
        out.ok = SF_SOFT_BASE::WriteFully(out.fd, g_buffers->outBuffer, out.used) == out.used;
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
    for (std::size_t i = 0; i < g_map.count; ++i) {
        const Mapping& m = g_map.mappings[i];
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
    for (std::size_t i = 0; i < g_map.count; ++i) {
        count += g_map.mappings[i].pathLength > 0 ? 1 : 0;
    }
    const auto page = static_cast<std::uint64_t>(g_pageSize);
    Put(out, &count, sizeof count);
    Put(out, &page, sizeof page);
    for (std::size_t i = 0; i < g_map.count; ++i) {
        const Mapping& m = g_map.mappings[i];
        if (m.pathLength > 0) {
            const std::uint64_t triple[3] = {m.start, m.end, m.offset / page};
            Put(out, triple, sizeof triple);
        }
    }
    for (std::size_t i = 0; i < g_map.count; ++i) {
        const Mapping& m = g_map.mappings[i];
        if (m.pathLength > 0) {
            Put(out, g_map.pathPool + m.pathOffset, m.pathLength + 1u);
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
    for (std::size_t i = 0; i < g_map.count; ++i) {
        loads += g_map.mappings[i].keep != Keep::Nothing ? 1 : 0;
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
    for (std::size_t i = 0; i < g_map.count; ++i) {
        const Mapping& m = g_map.mappings[i];
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
        load.p_filesz = DumpedSize(m, page);
        load.p_memsz = m.end - m.start;
        load.p_align = page;
        Put(out, &load, sizeof load);
        offset += DumpedSize(m, page);
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
    for (std::size_t i = 0; i < g_map.count; ++i) {
        const std::uint64_t size = DumpedSize(g_map.mappings[i], page);
        if (size == 0) {
            continue;
        }
        if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0 ||
            !WriteMemory(fd, g_map.mappings[i].start, size)) {
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

// The executable's name for the process info (truncated).
void PrepareFileName() {
    char executable[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", executable, sizeof executable - 1);
    const std::string_view path(executable, n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::string_view name = path.substr(path.rfind('/') + 1);
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
    PrepareFileName();
    ReadSmallFile("/proc/self/auxv", g_auxv, sizeof g_auxv, &g_auxvSize);
    PrepareArguments();

    // Reserved now, touched only when a crash is handled (untouched pages cost no memory).
    void* memory = ::mmap(nullptr, sizeof(Buffers), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory != MAP_FAILED) {
        g_buffers = static_cast<Buffers*>(memory);
        g_map.mappings = g_buffers->mappings;
        g_map.capacity = kMaxMappings;
        g_map.pathPool = g_buffers->pathPool;
        g_map.poolSize = kPathPoolSize;
        g_map.readBuffer = g_buffers->readBuffer;
        g_map.readBufferSize = kReadBufferSize;
        const auto page = static_cast<std::uint64_t>(g_pageSize);
        g_map.ownStart = reinterpret_cast<std::uintptr_t>(memory);
        g_map.ownSize = (sizeof(Buffers) + page - 1) / page * page;
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
    return FirstDumpPath();
}

bool WriteCoreDump(int signal, const siginfo_t* info, const void* context) {
    if (!kSupported || g_buffers == nullptr) {
        return false;
    }
    // The first place that takes a new file gets the dump; one where writing then fails does
    // not get a second try elsewhere (the threads are stopped, the map is read: a full disk
    // would just fail again).
    const int fd = CreateDumpFile();
    if (fd < 0) {
        return false;
    }
    bool written = ReadMemoryMap(g_map);
    if (written) {
        CaptureOtherThreads();
        written = WriteDump(fd, signal, info, static_cast<const ucontext_t*>(context));
    }
    if (::close(fd) != 0) {
        written = false;
    }
    FinishDumpFile(written);
    return written;
}

void AbandonCoreDump() {
    AbandonDumpFile();
}

}  // namespace tessaro::crash
