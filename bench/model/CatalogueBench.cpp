// Load times of catalogues of 10 000, 100 000 and 1 000 000 lines, each the median of several
// runs, per line and as a ratio against the anchor "split": the same bytes decoded and cut into
// lines and fields with std::wstring::find alone, which is the floor under any loader.
//
// Target: the per-line time stays flat from 10 000 to 1 000 000 lines (no quadratic work), and
// the loader stays within 3× of the anchor.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Main/model/ProductCatalogue.h"

namespace {

double MedianMs(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string MakeCatalogue(int lines) {
    std::string bytes = "Model,Dimension,Resolution\n";
    for (int i = 1; i < lines; ++i) {
        bytes += "TW-" + std::to_string(i) +
                 ",1211x682x98mm,1920x1080,205W,31.5kg,VESA 600x400,24/7,500 cd/m2,1200:1,"
                 "1.2mm,1.8mm,55 inch\n";
    }
    return bytes;
}

}  // namespace

int main() {
    std::printf("%10s %12s %12s %14s %10s\n", "lines", "load ms", "split ms", "load ns/line",
                "load/split");
    for (int lines : {10'000, 100'000, 1'000'000}) {
        const std::string bytes = MakeCatalogue(lines);
        const int runs = lines >= 1'000'000 ? 3 : 7;
        std::size_t sink = 0;
        const double split = MedianMs(runs, [&] {
            for (const std::wstring& line : DecodeCatalogueLines(bytes)) {
                for (std::size_t at = line.find(L','); at != std::wstring::npos;
                     at = line.find(L',', at + 1)) {
                    ++sink;
                }
            }
        });
        const double load = MedianMs(runs, [&] {
            ProductCatalogue catalogue;
            ParseCatalogueLines(DecodeCatalogueLines(bytes), catalogue);
            sink += catalogue.size();
        });
        std::printf("%10d %12.2f %12.2f %14.1f %10.2f\n", lines, load, split, load * 1e6 / lines,
                    load / split);
        if (sink == 0) {
            return 1;
        }
    }
    return 0;
}
