// Times of the export, each the median of several runs, with the ratio against the anchor "copy":
// reading the 1 MB workbook and writing it durably (temporary file, fsync, rename) unchanged,
// which is the floor under any patch of that file.
//
// Targets: a new workbook under 50 ms, a 1 MB workbook patched under 200 ms.
// Needs /usr/bin/python3 with openpyxl to make the 1 MB workbook once.
#include "framework/os/SFAtomicFile.h"
#include "Main/xlsx/ExportData.h"
#include "framework/os/SFStreamConvert.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double MedianMs(int runs, const std::function<bool()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!body()) {
            std::fprintf(stderr, "run failed\n");
            std::exit(1);
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::wstring English(const wchar_t* key) {
    return key;
}

}  // namespace

int main() {
    char folder[] = "/tmp/tessaro-xlsx-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        return 1;
    }
    const std::string dir = folder;
    const std::string big = dir + "/big.xlsx";
    const std::string make =
        std::string("/usr/bin/python3 '") + XLSX_TOOL + "' make big '" + big + "' 30000";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "cannot make the 1 MB workbook (python3-openpyxl)\n");
        return 1;
    }
    std::string original;
    SF_SOFT_BASE::ReadWholeFile(big, original, 1u << 30);

    SpecSheetValues values;
    for (std::size_t i = 0; i < values.fields.size(); ++i) {
        values.fields[i] = L"1360\u00D71030\u00D71400mm " + std::to_wstring(i);
    }
    const std::wstring wideDir = SF_SOFT_BASE::CSFStreamConvert::ToWide(dir);
    constexpr int kRuns = 15;

    const double copy = MedianMs(kRuns, [&] {
        std::string bytes;
        return SF_SOFT_BASE::ReadWholeFile(big, bytes, 1u << 30) &&
               SF_SOFT_BASE::ReplaceFile(dir + "/copy.xlsx", bytes);
    });
    int n = 0;
    const double fresh = MedianMs(kRuns, [&] {
        return ExportData(wideDir, L"new" + std::to_wstring(n++), values, nullptr, &English) ==
               ExportResult::Exported;
    });
    // Every run patches the same 1 MB original, restored outside the timed part.
    std::vector<double> patchTimes;
    for (int i = 0; i < kRuns; ++i) {
        SF_SOFT_BASE::ReplaceFile(big, original);
        patchTimes.push_back(MedianMs(1, [&] {
            return ExportData(wideDir, L"big", values, nullptr, &English) == ExportResult::Exported;
        }));
    }
    std::sort(patchTimes.begin(), patchTimes.end());
    const double patch = patchTimes[patchTimes.size() / 2];

    std::printf("workbook size: %zu bytes\n", original.size());
    std::printf("anchor copy (read + durable write of the 1 MB file): %8.2f ms\n", copy);
    std::printf(
        "new workbook:                                       %8.2f ms  (%.2fx copy, target < 50 "
        "ms)\n",
        fresh, fresh / copy);
    std::printf(
        "patch 1 MB workbook:                                %8.2f ms  (%.2fx copy, target < 200 "
        "ms)\n",
        patch, patch / copy);

    const std::string cleanup = "rm -rf '" + dir + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
