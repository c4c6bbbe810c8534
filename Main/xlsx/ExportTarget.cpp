#include "Main/xlsx/ExportTarget.h"

#include <QStandardPaths>
#include <QString>

#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include "framework/os/SFFile.h"
#include "framework/os/SFStreamConvert.h"

namespace {

// Blanks a name may consist of: the space, the tab and the ideographic space of Chinese input.
constexpr wchar_t kBlanks[] = L" \t\u3000";
constexpr wchar_t kBlanksAndDots[] = L". \t\u3000";

}  // namespace

std::string ExportTargetPath(const std::wstring& folder, const std::wstring& fileName) {
    return SF_SOFT_BASE::CSFStreamConvert::ToNarrow(folder + L"/" + fileName + L".xlsx");
}

const wchar_t* CheckExportTarget(const std::wstring& folder, const std::wstring& fileName,
                                 FreeSpaceQuery freeSpace) {
    if (folder.empty()) {
        return L"Please select a file path.";
    }
    if (folder.size() > kExportPathMaxLength) {
        return L"The path is too long, please select again.";
    }
    if (fileName.find_first_not_of(kBlanks) == std::wstring::npos) {
        return L"Please input a file name.";
    }
    const std::string full = ExportTargetPath(folder, fileName);
    auto split = full.rfind('/');
    if (split == std::string::npos) {
        split = full.rfind('\\');
    }
    if (split == std::string::npos) {
        return L"Path contains illegal symbols.";
    }
    const std::string dir = full.substr(0, split + 1);
    const std::string rest = full.substr(split + 1);
    // The trailing separator makes the test fail for anything that is not a folder.
    if (::access(dir.c_str(), F_OK) != 0) {
        return L"Path contains illegal symbols.";
    }
    if (rest.size() > kExportPathMaxLength) {
        return L"The path is too long, please select again.";
    }
    // The name itself, not what follows the path's last separator: a separator in the name
    // ("../x", "sub/x") would put the workbook outside the chosen folder.
    const bool onlyDots = fileName.find_first_not_of(kBlanksAndDots) == std::wstring::npos;
    if (onlyDots || fileName.find_first_of(L"/\\:*?\"<>|") != std::wstring::npos) {
        return L"Path contains illegal symbols.";
    }
    switch (ProbeFolderWrite(dir)) {
        case FolderWrite::Refused:
            return L"The folder cannot be written, please select another.";
        case FolderWrite::Full:
            return L"Disk space is full.";
        case FolderWrite::Writable:
            break;
    }
    if (freeSpace == nullptr) {
        freeSpace = &SF_SOFT_BASE::CSFFile::GetFreeDiskSpace;
    }
    const std::string narrowFolder = SF_SOFT_BASE::CSFStreamConvert::ToNarrow(folder);
    if (freeSpace(narrowFolder.c_str()) == 0) {
        return L"Disk space is full.";
    }
    return nullptr;
}

FolderWrite ProbeFolderWrite(const std::string& folder) {
    std::string probe = folder;
    if (probe.empty() || probe.back() != '/') {
        probe += '/';
    }
    probe += ".tessaro-write-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return errno == ENOSPC || errno == EDQUOT ? FolderWrite::Full : FolderWrite::Refused;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return FolderWrite::Writable;
}

std::wstring DefaultExportFolder(const std::wstring& appDir, bool installed) {
    auto writable = [](const QString& dir) {
        return !dir.isEmpty() &&
               ProbeFolderWrite(SF_SOFT_BASE::CSFStreamConvert::ToNarrow(dir.toStdWString())) ==
                   FolderWrite::Writable;
    };
    if (!installed && writable(QString::fromStdWString(appDir))) {
        return appDir;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (writable(documents)) {
        return documents.toStdWString();
    }
    return QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdWString();
}
