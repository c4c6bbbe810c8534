#pragma once
// The export target as the export dialog checks it before handing it to the page: the folder the
// user chose and the file name typed, joined as folder + "/" + name + ".xlsx" (ExportTargetPath).
// No widgets. Any thread; the checks touch the file system (a probe file is created and removed).
#include <cstddef>
#include <cstdint>
#include <string>

// Longest folder text, and longest file name with its extension, the export accepts.
inline constexpr std::size_t kExportPathMaxLength = 519;

// folder + "/" + fileName + ".xlsx" in the file system's multibyte form.
std::string ExportTargetPath(const std::wstring& folder, const std::wstring& fileName);

// Bytes available to this user on the file system holding the (multibyte) path; -1 when the
// system cannot say.
using FreeSpaceQuery = std::int64_t (*)(const char* path);

// The language-table key of the first check that fails, or nullptr when the target can be
// exported to. In order:
//  1. the folder is empty → "Please select a file path."; longer than 519 characters → "The path
//     is too long, please select again." (it is never cut to another folder);
//  2. the name is empty or only blanks → "Please input a file name.";
//  3. the joined path's part up to its last "/" (else "\") is no existing folder → "Path contains
//     illegal symbols.";
//  4. the part after it (name + ".xlsx") is longer than 519 bytes → "The path is too long, please
//     select again.";
//  5. that part holds one of / \ : * ? " < > |, or the name is only dots and blanks ("." and ".."
//     among them: hidden files or no name at all) → "Path contains illegal symbols.";
//  6. no file can really be created in the folder → "The folder cannot be written, please select
//     another.", or "Disk space is full." when the system says there is no room. Permission bits
//     are not trusted: root ignores them, and read-only mounts refuse everyone;
//  7. freeSpace (CSFFile::GetFreeDiskSpace when null) says 0 bytes → "Disk space is full.". A
//     query that fails is no full disk: the folder was just written, and the writer reports a
//     failure of its own.
const wchar_t* CheckExportTarget(const std::wstring& folder, const std::wstring& fileName,
                                 FreeSpaceQuery freeSpace = nullptr);

enum class FolderWrite { Writable, Full, Refused };
// Creates an empty, uniquely named file in the (multibyte) folder and removes it again.
FolderWrite ProbeFolderWrite(const std::string& folder);

// Where an export starts: appDir when a file can be created there and the program is not an
// installed one (its data folder is the package manager's), else the user's documents folder
// when a file can be created there, else the home folder.
std::wstring DefaultExportFolder(const std::wstring& appDir, bool installed);
