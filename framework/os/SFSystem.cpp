#include "framework/os/SFSystem.h"

#include <dlfcn.h>
#include <strings.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "framework/os/SFAppDir.h"

namespace SF_SOFT_BASE {

void* CSFSystem::GetLibraryProcAddress(const char* libraryPath, const char* procName,
                                       void** library) {
    if (library != nullptr) {
        *library = nullptr;
    }
    if (libraryPath == nullptr || procName == nullptr) {
        return nullptr;
    }
    void* handle = ::dlopen(libraryPath, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    void* address = ::dlsym(handle, procName);
    if (address == nullptr) {
        ::dlclose(handle);
        return nullptr;
    }
    if (library != nullptr) {
        *library = handle;
    }
    return address;
}

int CSFSystem::FreeLibrary(void* library) {
    return library != nullptr && ::dlclose(library) == 0 ? 1 : 0;
}

std::string CSFSystem::DirectoryOf(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string CSFSystem::GetModuleDirectory(const void* address) {
    if (address != nullptr) {
        Dl_info info{};
        if (::dladdr(address, &info) != 0 && info.dli_fname != nullptr &&
            std::strchr(info.dli_fname, '/') != nullptr) {
            return DirectoryOf(info.dli_fname);
        }
    }
    return ExecutableDirectory() + "/";
}

void CSFSystem::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace {

bool FromTm(const std::tm& tm, SFTimeRecord* record) {
    const int year = tm.tm_year + 1900;
    if (year < 1900 || year > 3000) {
        return false;
    }
    record->year = year;
    record->month = tm.tm_mon + 1;
    record->day = tm.tm_mday;
    record->hour = tm.tm_hour;
    record->minute = tm.tm_min;
    record->second = tm.tm_sec;
    return true;
}

}  // namespace

SFTimeRecord CSFSystem::GetLocalTime() {
    SFTimeRecord record;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (::localtime_r(&now, &tm) != nullptr) {
        FromTm(tm, &record);
    }
    return record;
}

int CSFSystem::TimeRecordToCalendar(const SFTimeRecord& record, std::int64_t* calendar) {
    if (calendar == nullptr) {
        return 0;
    }
    if (record.year < 1900 || record.year > 3000 || record.month < 1 || record.month > 12 ||
        record.day < 0 || record.hour < 0 || record.minute < 0 || record.second < 0) {
        return 0;
    }
    std::tm tm{};
    tm.tm_year = (record.year >= 2038 ? 2037 : record.year) - 1900;
    tm.tm_mon = record.month - 1;
    tm.tm_mday = record.day;
    tm.tm_hour = record.hour;
    tm.tm_min = record.minute;
    tm.tm_sec = record.second;
    tm.tm_isdst = -1;
    std::time_t t = ::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) {
        return 0;
    }
    *calendar = static_cast<std::int64_t>(t);
    return 1;
}

int CSFSystem::CalendarToTimeRecord(std::int64_t calendar, SFTimeRecord* record) {
    if (record == nullptr || calendar < 0) {
        return 0;
    }
    std::time_t t = static_cast<std::time_t>(calendar);
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr) {
        return 0;
    }
    SFTimeRecord result;
    if (!FromTm(tm, &result)) {
        return 0;
    }
    *record = result;
    return 1;
}

int CSFSystem::CopyString(char* dst, std::size_t size, const char* src) {
    if (dst == nullptr || size == 0) {
        return 0;
    }
    if (src == nullptr) {
        dst[0] = '\0';
        return 0;
    }
    std::size_t length = std::strlen(src);
    std::size_t n = length < size ? length : size - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
    return n == length ? 1 : 0;
}

int CSFSystem::CompareNoCase(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) {
        return (a != nullptr) - (b != nullptr);
    }
    return ::strcasecmp(a, b);
}

void CSFSystem::ZeroMemory(void* data, std::size_t size) {
    if (data != nullptr) {
        std::memset(data, 0, size);
    }
}

}  // namespace SF_SOFT_BASE
