// The catalogue file: every record kept has a whole, positive outline that its own dimension
// text gives again, its key is a line of the file, records already held stay, and reading the
// file gives what decoding its bytes gives.
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "Main/model/ProductCatalogue.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzsupport::WriteScratch("ProductParameter.csv", bytes);

    ProductCatalogue catalogue;
    catalogue[-1].model = L"kept";
    FUZZ_CHECK(CDatabaseManager::LoadProductParametersFrom(path, catalogue));
    FUZZ_CHECK(catalogue.count(-1) == 1 && catalogue.at(-1).model == L"kept");

    const std::vector<std::wstring> lines = DecodeCatalogueLines(bytes);
    for (const auto& [key, record] : catalogue) {
        if (key == -1) {
            continue;
        }
        FUZZ_CHECK(key >= 0 && static_cast<size_t>(key) < lines.size());
        FUZZ_CHECK(record.panelWidthMm > 0 && record.panelHeightMm > 0);
        FUZZ_CHECK(record.panelWidthMm <= INT_MAX && record.panelHeightMm <= INT_MAX);
        FUZZ_CHECK(std::floor(record.panelWidthMm) == record.panelWidthMm);
        FUZZ_CHECK(std::floor(record.panelHeightMm) == record.panelHeightMm);
        double w = 0, h = 0;
        FUZZ_CHECK(ParseDimension(record.dimension, w, h));
        FUZZ_CHECK(w == record.panelWidthMm && h == record.panelHeightMm);
        FUZZ_CHECK(lines[static_cast<size_t>(key)].find(record.model) == 0);
    }

    ProductCatalogue fromBytes;
    ParseCatalogueLines(lines, fromBytes);
    FUZZ_CHECK(fromBytes.size() + 1 == catalogue.size());
    for (const auto& [key, record] : fromBytes) {
        FUZZ_CHECK(catalogue.count(key) == 1);
        for (int c = 0; c < ProductParameter::kFieldCount; ++c) {
            FUZZ_CHECK(catalogue.at(key).Field(c) == record.Field(c));
        }
    }
    FUZZ_CHECK(CatalogueRecordAt(fromBytes, static_cast<int>(fromBytes.size())) == nullptr);
    return 0;
}
