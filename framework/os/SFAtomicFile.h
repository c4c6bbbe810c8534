#pragma once
// Replacing a file so that it is at every moment either the old file or the complete new one:
// the content goes to a temporary file in the target's own folder (same file system), is flushed
// to disk, and is renamed over the target; the folder is flushed after the rename. On any
// failure the temporary file is removed and the target is untouched. Blocking; any thread.
#include <functional>
#include <string>
#include <string_view>

namespace SF_SOFT_BASE {

// Fills the temporary file: `path` names it, `fd` is open on it for writing. Whatever the
// callback writes through either is flushed before the rename. Returns false on failure.
using FillFunction = std::function<bool(const std::string& path, int fd)>;

// Writes `target` through `fill`. A target that is a symbolic link is resolved first, so the
// link survives and its destination is replaced. The new file takes the mode of the file it
// replaces, or 0666 less the process umask when there was none. An existing target this
// process may not write to (a read-only file) is refused, although the folder would allow the
// rename. `why` (optional) receives a short reason on failure.
bool ReplaceFile(const std::string& target, const FillFunction& fill, std::string* why = nullptr);

// The same for a buffer of bytes.
bool ReplaceFile(const std::string& target, std::string_view bytes, std::string* why = nullptr);

// Writes all of `bytes` to `fd`, retrying short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes);

// Reads a whole regular file (at most `limit` bytes). Fails on directories, unreadable files
// and files above the limit.
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t limit,
                   std::string* why = nullptr);

// The prefix of every temporary file name this module creates in a target folder.
inline constexpr std::string_view kTempPrefix = ".~tessaro-";

}  // namespace SF_SOFT_BASE
