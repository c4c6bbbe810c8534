// The workbook patcher: the input is an existing file at the export's target. The export either
// succeeds and leaves a workbook the patcher opens again, or reports a failure and leaves the
// file byte for byte as it was; no temporary file stays behind in either case.
#include <cstdint>
#include <filesystem>
#include <string>

#include "Main/xlsx/ExportData.h"
#include "Main/xlsx/WorkbookPatch.h"
#include "fuzz/FuzzSupport.h"

namespace {

std::wstring Identity(const wchar_t* key) { return key; }

SpecSheetValues Values() {
    SpecSheetValues v;
    for (size_t i = 0; i < SpecSheetValues::kCount; ++i) {
        v.fields[i] = L"<" + std::to_wstring(i) + L"> & \"\u00e9\u4e2d\"";
    }
    return v;
}

size_t FilesInScratch() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(fuzzsupport::ScratchDir())) {
        ++n;
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzsupport::WriteScratch("book.xlsx", input);
    const std::wstring folder(fuzzsupport::ScratchDir().begin(), fuzzsupport::ScratchDir().end());
    static const SpecSheetValues values = Values();

    const ExportResult result = ExportData(folder, L"book", values, nullptr, &Identity);
    const std::string after = fuzzsupport::ReadScratch(path);
    FUZZ_CHECK(FilesInScratch() == 1);
    if (result != ExportResult::Exported) {
        FUZZ_CHECK(after == input);
        return 0;
    }
    std::string why;
    auto reopened = XlsxPatch::CWorkbookPatch::Load(after, &why);
    if (!reopened) {
        std::fprintf(stderr, "exported workbook does not open again: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
