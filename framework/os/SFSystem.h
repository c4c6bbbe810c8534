#pragma once
// CSFSystem: small process-wide services (libraries, module paths, sleeping, local time) and a
// few string helpers. All functions are static and may be called from any thread.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace SF_SOFT_BASE {

// A local date and time; month 1-12.
struct SFTimeRecord {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class CSFSystem {
public:
    // Loads the shared library (dlopen) and returns the address of its symbol procName, or null.
    // On success *library (when given) receives the library's handle for FreeLibrary; on
    // failure the library is released again.
    static void* GetLibraryProcAddress(const char* libraryPath, const char* procName,
                                       void** library);
    // Releases a handle from GetLibraryProcAddress; null is ignored. 1 on success.
    static int FreeLibrary(void* library);
    // The directory part of path, up to and including its last '/' or '\\' ("" without one).
    static std::string DirectoryOf(const std::string& path);
    // The directory (as DirectoryOf) of the file of the module holding address; null means the
    // executable.
    static std::string GetModuleDirectory(const void* address);
    static void Sleep(std::uint32_t milliseconds);

    // The current local time.
    static SFTimeRecord GetLocalTime();
    // Record → calendar time (seconds since the epoch), read as local time. Rejects (returns 0)
    // years before 1900 or after 3000, months outside 1-12 and negative fields; years from 2038
    // on are clamped to 2037 (calendar values stay inside the signed 32-bit range the stored
    // files were written with). Day, hour, minute and second overflow carry into the next unit.
    // 1 on success.
    static int TimeRecordToCalendar(const SFTimeRecord& record, std::int64_t* calendar);
    // Calendar time → local record; rejects negative values and years outside 1900-3000.
    static int CalendarToTimeRecord(std::int64_t calendar, SFTimeRecord* record);

    // Copies src into dst (size bytes) and always terminates it; 1 when it fitted, 0 when cut
    // or when an argument is null or size is 0.
    static int CopyString(char* dst, std::size_t size, const char* src);
    // Case-insensitive ASCII comparison (<0, 0, >0); null sorts first.
    static int CompareNoCase(const char* a, const char* b);
    // Fills size bytes with zero; null is ignored.
    static void ZeroMemory(void* data, std::size_t size);
};

}  // namespace SF_SOFT_BASE
