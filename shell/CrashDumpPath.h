#pragma once
// Where a dump goes (internal to shell/): "<executable path>.dmp" beside the executable when
// its folder is writable, otherwise "$XDG_STATE_HOME/tessaro/<executable name>.dmp" (by default
// under ~/.local/state); the state folder is also the second try when the file cannot be created
// beside the executable at the crash.
namespace tessaro::crash {

// Prepares the paths to try, in order. Not async-signal-safe; call at install time.
void PrepareDumpPaths();

// The path tried first, or "" when no path fits (a name too long, no state folder known).
const char* FirstDumpPath();

// Creates the dump file anew at the first place that takes it, creating the state folders when
// it comes to them; returns the file opened for writing, or -1. From here until
// FinishDumpFile, AbandonDumpFile removes the file. Async-signal-safe; one caller at a time.
int CreateDumpFile();

// The dump is complete (`keep`), or not: then the file is removed. Async-signal-safe.
void FinishDumpFile(bool keep);

// Removes the file between CreateDumpFile and FinishDumpFile (a second crash ends the process
// before the dump is complete). Async-signal-safe, any thread; does nothing otherwise.
void AbandonDumpFile();

}  // namespace tessaro::crash
