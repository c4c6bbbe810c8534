#pragma once
// The ELF core writer behind the crash handler (internal to shell/). It writes what the kernel's
// default core filter keeps: every readable mapping of the process as a PT_LOAD segment, with the
// contents of anonymous memory and of written file pages (files the debugger can read again are
// left to it), and the notes gdb needs (the crashing thread's registers from the signal context,
// the other threads' registers where they can be caught, process info, the signal, the auxiliary
// vector, the mapped files).
#include <csignal>

namespace tessaro::crash {

// Prepares everything the writer needs later: the dump paths (beside the executable, the state
// folder), the auxiliary vector, the command line, buffers for the memory map and the threads,
// and the handler that catches the other threads' registers. Not async-signal-safe; call at
// install time. Idempotent; returns false when the buffers could not be allocated (no dump will
// be written then).
bool PrepareCoreWriter();

// The path tried first, as CrashDumpPath() in CrashHandler.h says.
const char* PreparedDumpPath();

// Writes the dump for a crash of the calling thread. Async-signal-safe: only system calls on
// buffers prepared by PrepareCoreWriter. Call at most once per process (the crash count makes
// sure). Other threads are stopped inside a signal handler while their registers are taken and
// stay stopped; the caller ends the process afterwards. Returns true when a complete dump was
// written; on any failure no dump file is left behind.
bool WriteCoreDump(int signal, const siginfo_t* info, const void* context);

// Removes the dump file while WriteCoreDump is still writing it (a second crash ends the
// process before the dump is complete). Async-signal-safe, any thread; does nothing otherwise.
void AbandonCoreDump();

}  // namespace tessaro::crash
