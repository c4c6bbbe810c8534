#include "Main/model/SpecSheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace {

constexpr wchar_t kTimes = L'\u00D7';

struct Box {
    int w, h, d;  // millimetres
};

struct TrayClass {
    Box volumes[3];  // by-3, by-4, by-5
    double perPanel;
    double tares[3];
};

// Per class: the lampstand box, its per-lampstand weight; the panel trays.
struct ClassTable {
    Box lampstandBox;
    double perLampstand;
    TrayClass tray;
};

const ClassTable& TableFor(SizeClass sizeClass) {
    static const ClassTable k55{
        {1360, 1030, 1400},
        20,
        {{{1380, 890, 1055}, {1380, 1200, 1055}, {1380, 1470, 1055}}, 31, {25, 33, 40}}};
    static const ClassTable k49{
        {1360, 1030, 1400},
        20,
        {{{1280, 870, 960}, {1280, 1150, 960}, {1280, 1450, 960}}, 27, {23, 29, 37}}};
    static const ClassTable k46{
        {1150, 1120, 1150},
        15,
        {{{1280, 870, 935}, {1280, 1150, 935}, {1280, 1450, 935}}, 25.5, {23, 29, 37}}};
    switch (sizeClass) {
        case kSizeClass55:
            return k55;
        case kSizeClass49:
            return k49;
        default:
            return k46;
    }
}

long long CeilDiv(long long n, long long k) {
    return (n + k - 1) / k;
}

// The number of pieces in the fullest box: the quotient in single precision, rounded up.
double PiecesInFullestBox(long long pieces, long long boxes) {
    return std::ceil(static_cast<float>(pieces) / static_cast<float>(boxes));
}

struct BoxChoice {
    long long count;
    int variant;
};

// The variant needing the fewest boxes. Only a strictly smaller count replaces an earlier one, so
// on equal counts the box for fewer panels wins (6 displays give 2 trays of 3, not 2 of 4).
BoxChoice FewestBoxes(std::initializer_list<long long> counts) {
    const auto fewest = std::min_element(counts.begin(), counts.end());
    return {*fewest, static_cast<int>(fewest - counts.begin())};
}

std::wstring VolumeText(const Box& box) {
    return std::to_wstring(box.w) + kTimes + std::to_wstring(box.h) + kTimes +
           std::to_wstring(box.d) + L"mm";
}

// "%.1fkg" in the C locale whatever the process locale is.
std::wstring WeightText(double kg) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer - 1, kg, std::chars_format::fixed, 1);
    std::wstring text(buffer, result.ptr);
    return text + L"kg";
}

void SetGroup(SpecSheetValues& values, int first, std::wstring volume, std::wstring weight,
              std::wstring number) {
    values.fields[first] = std::move(volume);
    values.fields[first + 1] = std::move(weight);
    values.fields[first + 2] = std::move(number);
}

}  // namespace

SizeClass SizeClassOf(const std::wstring& diagonal) {
    const std::wstring_view head = std::wstring_view(diagonal).substr(0, 9);
    if (head.find(L"55") != std::wstring_view::npos) {
        return kSizeClass55;
    }
    if (head.find(L"49") != std::wstring_view::npos) {
        return kSizeClass49;
    }
    if (head.find(L"46") != std::wstring_view::npos) {
        return kSizeClass46;
    }
    return kSizeClassNone;
}

void SetProductInfo(SpecSheetValues& values, const ProductParameter& record) {
    values.fields[kSpecModel] = record.model;
    values.fields[kSpecDimensions] = record.dimension;
    values.fields[kSpecMaxPower] = record.powerConsumption;
    values.fields[kSpecTypicalPower] = record.powerConsumption;
    values.fields[kSpecDiagonal] = record.size;
    values.fields[kSpecWeight] = record.weight;
}

void SetScreenConfiguration(SpecSheetValues& values, int w, int h) {
    w = w > 0 ? w : 0;
    h = h > 0 ? h : 0;
    values.fields[kSpecScreenConfiguration] = std::to_wstring(w) + kTimes + std::to_wstring(h);
    values.fields[kSpecTotalDisplays] =
        std::to_wstring(static_cast<long long>(w) * static_cast<long long>(h));
    ComputePackaging(values, w, h);
}

void ComputePackaging(SpecSheetValues& values, int w, int h) {
    const std::wstring diagonal = values.fields[kSpecDiagonal];
    ComputePackaging(values, w, h, diagonal);
}

void ComputePackaging(SpecSheetValues& values, int w, int h, const std::wstring& diagonal) {
    const long long columns = w > 0 ? w : 0;
    const long long n = columns * (h > 0 ? h : 0);
    const SizeClass sizeClass = SizeClassOf(diagonal);
    // With no displays there is nothing to pack, and the fullest-box quotients would be 0/0.
    if (sizeClass == kSizeClassNone || n == 0) {
        for (int first : {kSpecLampstandVolume, kSpecStructureVolume, kSpecTrayVolume}) {
            SetGroup(values, first, L"0\u00D70\u00D70mm", L"0kg", L"0");
        }
        return;
    }
    const ClassTable& table = TableFor(sizeClass);
    const long long lampstands = CeilDiv(columns, 3);
    const long long c3 = CeilDiv(n, 3);
    const long long c4 = CeilDiv(n, 4);
    const long long c5 = CeilDiv(n, 5);
    const long long c6 = CeilDiv(n, 6);

    SetGroup(values, kSpecLampstandVolume, VolumeText(table.lampstandBox),
             WeightText(PiecesInFullestBox(columns, lampstands) * table.perLampstand + 50),
             std::to_wstring(lampstands));

    if (sizeClass == kSizeClass46) {
        static const Box kVolumes[3] = {{1160, 800, 900}, {1160, 1030, 900}, {1160, 1490, 900}};
        static const double kTares[3] = {40, 45, 50};
        const BoxChoice structure = FewestBoxes({c3, c4, c6});
        SetGroup(values, kSpecStructureVolume, VolumeText(kVolumes[structure.variant]),
                 WeightText(static_cast<double>(n) * 10 + kTares[structure.variant]),
                 std::to_wstring(structure.count));
    } else {
        SetGroup(values, kSpecStructureVolume, VolumeText({1360, 1580, 830}),
                 WeightText(static_cast<double>(n) * 12 + 50), std::to_wstring(c6));
    }

    const BoxChoice trays = FewestBoxes({c3, c4, c5});
    SetGroup(values, kSpecTrayVolume, VolumeText(table.tray.volumes[trays.variant]),
             WeightText(PiecesInFullestBox(n, trays.count) * table.tray.perPanel +
                        table.tray.tares[trays.variant]),
             std::to_wstring(trays.count));
}
