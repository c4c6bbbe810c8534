// The workbook patcher: the input is an existing file at the export's target. The export either
// succeeds and leaves a workbook the patcher opens again, or reports a failure and leaves the
// file byte for byte as it was; no temporary file stays behind in either case.
// An input that is not a zip is taken as the active sheet's XML and packed into the seed
// workbook first, so that mutations reach the sheet parser instead of breaking the zip.
#include <cstdint>
#include <filesystem>
#include <string>

#include <zip.h>

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

// The seed workbook (fuzz/corpus/workbook/new.xlsx) with its sheet part replaced by `sheet`.
std::string PackSheet(const std::string& sheet) {
    static const std::string seed =
        fuzzsupport::ReadScratch(TESSARO_FUZZ_CORPUS "/workbook/new.xlsx");
    const std::string path = fuzzsupport::WriteScratch("pack.zip", seed);
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), 0, &error);
    FUZZ_CHECK(archive != nullptr);
    zip_source_t* source = zip_source_buffer(archive, sheet.data(), sheet.size(), 0);
    FUZZ_CHECK(source != nullptr);
    FUZZ_CHECK(zip_file_add(archive, "xl/worksheets/sheet1.xml", source, ZIP_FL_OVERWRITE) >= 0);
    FUZZ_CHECK(zip_close(archive) == 0);
    std::string packed = fuzzsupport::ReadScratch(path);
    std::filesystem::remove(path);
    return packed;
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
    std::string input(reinterpret_cast<const char*>(data), size);
    if (input.rfind("PK", 0) != 0) {
        input = PackSheet(input);
    }
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
