// The settings file: any bytes load to values within each setting's range, and what the program
// then saves loads back to the same values.
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "shell/AppSettings.h"
#include "shell/ConfigPersistent.h"

namespace {

struct Values {
    int32_t language = 0, rows = 0, gap = 0, negative = 0;
    bool mirror = false;
    double ratio = 0.0;
    std::wstring title;
};

// The application's own setting (registered by LoadSettings) and one of every kind, with ranges
// that exercise the clamp: rows 1..64, gap 0..1000 in steps of 10, a default outside its range.
void Register(CAppSettings& s, Values& v) {
    s.RegisterIntSetting(L"Wall", L"Rows", &v.rows, 2, 1, 1, 64);
    s.RegisterIntSetting(L"Wall", L"Gap", &v.gap, 10, 10, 0, 100);
    s.RegisterIntSetting(L"Wall", L"Offset", &v.negative, -5, 1, 0, 3);
    s.RegisterBoolSetting(L"Wall", L"Mirror", &v.mirror, true);
    s.RegisterDoubleSetting(L"Video", L"Ratio", &v.ratio, 1.5);
    s.RegisterStringSetting(L"Video", L"Title", &v.title, L"Tessaro");
}

bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzsupport::WriteScratch(
        "config.xml", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::wstring wpath(path.begin(), path.end());

    CConfigXMLPersistImp store(wpath.c_str());
    CAppSettings settings;
    Values v;
    Register(settings, v);
    settings.LoadSettings(&store);

    FUZZ_CHECK(v.rows >= 1 && v.rows <= 64);
    FUZZ_CHECK(v.gap >= 0 && v.gap <= 1000);
    FUZZ_CHECK(v.negative >= 0 && v.negative <= 3);
    FUZZ_CHECK(!v.title.empty());

    // Saved and loaded again: the same values.
    CConfigXMLPersistImp empty(nullptr);
    empty.LoadFromText(settings.SettingsText().c_str());
    CAppSettings again;
    Values w;
    Register(again, w);
    again.LoadSettings(&empty);
    FUZZ_CHECK(w.language == v.language);
    FUZZ_CHECK(w.rows == v.rows && w.gap == v.gap && w.negative == v.negative);
    FUZZ_CHECK(w.mirror == v.mirror);
    FUZZ_CHECK(SameDouble(w.ratio, v.ratio));
    if (w.title != v.title) {
        std::fprintf(stderr, "title read as, then saved and read again as:\n");
        for (const std::wstring* t : {&v.title, &w.title}) {
            for (wchar_t c : *t) {
                std::fprintf(stderr, " %04x", static_cast<unsigned>(c));
            }
            std::fprintf(stderr, "\n");
        }
        std::abort();
    }

    // The typed getters on names the file may hold in other forms.
    (void)store.GetLongValue(L"UIConfig", L"Language", 7);
    (void)store.GetStringValue(L"", L"", L"x");
    return 0;
}
