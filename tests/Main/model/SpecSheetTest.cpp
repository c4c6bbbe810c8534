#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <tuple>

#include "Main/model/SpecSheet.h"

namespace {

// The nine packaging texts: "volume weight number" per group (lampstands, structures, trays),
// the groups joined by " | ".
std::wstring Packaging(const SpecSheetValues& v) {
    std::wstring out;
    for (int first : {kSpecLampstandVolume, kSpecStructureVolume, kSpecTrayVolume}) {
        out += (out.empty() ? L"" : L" | ") + v.fields[first] + L" " + v.fields[first + 1] + L" " +
               v.fields[first + 2];
    }
    return out;
}

const wchar_t* const kZero = L"0×0×0mm 0kg 0 | 0×0×0mm 0kg 0 | 0×0×0mm 0kg 0";

// Computed under a decimal-comma locale (de_DE): the weights still print in the C locale
// ("157.0kg").
TEST(ComputePackaging, ByClassAndCountInTheCLocaleWhateverTheProcessLocale) {
    const bool applied = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    // Name, diagonal, columns and rows; the packaging texts.
    const std::tuple<const char*, const wchar_t*, int, int, const wchar_t*> cases[] = {
        {"3×1, class 55", L"55 inch", 3, 1,
         L"1360×1030×1400mm 110.0kg 1 | 1360×1580×830mm 86.0kg 1 | 1380×890×1055mm 118.0kg 1"},
        {"4×2, class 49: trays by-4", L"49 inch", 4, 2,
         L"1360×1030×1400mm 90.0kg 2 | 1360×1580×830mm 146.0kg 2 | 1280×1150×960mm 137.0kg 2"},
        {"12×1, class 46: structure by-6", L"46 inch", 12, 1,
         L"1150×1120×1150mm 95.0kg 4 | 1160×1490×900mm 170.0kg 2 | 1280×1150×935mm 131.0kg 3"},
        {"6 displays give 2 trays by-3", L"55 inch", 3, 2,
         L"1360×1030×1400mm 110.0kg 1 | 1360×1580×830mm 122.0kg 1 | 1380×890×1055mm 118.0kg 2"},
        {"7 displays of class 55: 2 trays by-4", L"55 inch", 7, 1,
         L"1360×1030×1400mm 110.0kg 3 | 1360×1580×830mm 134.0kg 2 | 1380×1200×1055mm 157.0kg 2"},
        {"class 46, one display: half kilograms", L"46\"", 1, 1,
         L"1150×1120×1150mm 65.0kg 1 | 1160×800×900mm 50.0kg 1 | 1280×870×935mm 48.5kg 1"},
        {"class 46, 3 displays: structure by-3", L"46\"", 3, 1,
         L"1150×1120×1150mm 95.0kg 1 | 1160×800×900mm 70.0kg 1 | 1280×870×935mm 99.5kg 1"},
        {"class 46, 8 displays: structure by-4", L"46\"", 4, 2,
         L"1150×1120×1150mm 80.0kg 2 | 1160×1030×900mm 125.0kg 2 | 1280×1150×935mm 131.0kg 2"},
        {"10 displays of class 49: trays by-5", L"49 inch", 5, 2,
         L"1360×1030×1400mm 110.0kg 2 | 1360×1580×830mm 170.0kg 2 | 1280×1450×960mm 172.0kg 2"},
        {"no class", L"65 inch", 3, 1, kZero},
        {"no diagonal", L"", 3, 1, kZero},
        {"55 after character 9", L"1234567855", 3, 1, kZero},
        {"no columns", L"55 inch", 0, 3, kZero},
        {"no rows", L"55 inch", 3, 0, kZero},
        {"negative columns", L"55 inch", -2, 3, kZero},
    };
    for (const auto& [name, diagonal, columns, rows, packaging] : cases) {
        SpecSheetValues v;
        ComputePackaging(v, columns, rows, diagonal);
        EXPECT_EQ(Packaging(v), packaging) << name;
    }
    std::setlocale(LC_ALL, "C");
    if (!applied) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed: computed in the C locale only";
    }
}

TEST(SizeClassOf, FirstNineCharactersTestedFor55Then49Then46) {
    const struct {
        const wchar_t* text;
        SizeClass sizeClass;
    } cases[] = {
        // clang-format off
        {L"55 inch", kSizeClass55},       {L"49/55 inch", kSizeClass55},
        {L"46 or 49", kSizeClass49},      {L"46\"", kSizeClass46},
        {L"12345678 55", kSizeClassNone}, {L"12345675 5", kSizeClassNone},
        {L"123456 55", kSizeClass55},     {L"54.6 inch (55\" class)", kSizeClassNone},
        {L"", kSizeClassNone},            {L"५५", kSizeClassNone},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SizeClassOf(c.text), c.sizeClass) << c.text;
    }
}

// A catalogue record in column order: model, dimension, resolution, power, weight ... size.
ProductParameter Record(const wchar_t* size) {
    // clang-format off
    return {L"TW-55U18", L"1211x682x98mm", L"", L"205W", L"31.5kg", L"", L"", L"", L"", L"", L"",
            size, 0, 0};
    // clang-format on
}

TEST(SpecSheet, ProductInfoAndScreenConfigurationFillTheirFields) {
    SpecSheetValues v;
    SetProductInfo(v, Record(L"55 inch"));
    const std::wstring expected[] = {
        L"TW-55U18", L"", L"", L"1211x682x98mm", L"205W", L"205W", L"55 inch", L"31.5kg", L""};
    for (int k = 0; k <= kSpecLampstandVolume; ++k) {  // product info alone computes nothing
        EXPECT_EQ(v.fields[k], expected[k]) << k;
    }

    SetScreenConfiguration(v, 7, 1);
    EXPECT_EQ(v.fields[kSpecScreenConfiguration], L"7×1");
    EXPECT_EQ(v.fields[kSpecTotalDisplays], L"7");
    EXPECT_EQ(v.fields[kSpecTrayVolume + 1], L"157.0kg");
    // Another class changes the record lines at once; packaging follows the next showing.
    SetProductInfo(v, Record(L"46 inch"));
    EXPECT_EQ(v.fields[kSpecTrayVolume + 1], L"157.0kg");
    SetScreenConfiguration(v, 7, 1);
    EXPECT_EQ(v.fields[kSpecTrayVolume + 1], L"131.0kg");

    SetScreenConfiguration(v, 0, 4);
    EXPECT_EQ(v.fields[kSpecScreenConfiguration], L"0×4");
    EXPECT_EQ(v.fields[kSpecTotalDisplays], L"0");
    EXPECT_EQ(Packaging(v), kZero);
}

}  // namespace
