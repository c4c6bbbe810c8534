#pragma once
// The application directory: where the program's data files lie. It is the executable's own
// directory when the data lies beside it (the build tree, an unpacked folder), otherwise
// ../share/tessaro relative to the executable (an installed layout). Every file path of the
// program is built on this one answer. Forward slashes, no trailing slash, UTF-8.
#include <string>

namespace SF_SOFT_BASE {

// Resolved once, on first use; safe to call from any thread after that.
const std::string& ApplicationDirectory();

// The rule itself, for an executable in exeDir: exeDir when one of the application's data files
// lies there, else exeDir/../share/tessaro (canonical) when that exists, else exeDir.
std::string ResolveApplicationDirectory(const std::string& exeDir);

// The directory holding the running executable (from /proc/self/exe).
std::string ExecutableDirectory();

// True when the running program is an installed one: its data lies in ../share/tessaro, which
// belongs to the package manager, so nothing of the user's is written there even where the
// user could (root).
bool IsInstalledProgram();

// Replaces the resolved directory (tests and tools that run from elsewhere). Call before any
// other thread reads it.
void SetApplicationDirectory(const std::string& directory);

}  // namespace SF_SOFT_BASE
