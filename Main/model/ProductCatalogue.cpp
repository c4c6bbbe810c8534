#include "Main/model/ProductCatalogue.h"

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "Main/model/CatalogueLogging.h"
#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"

Q_LOGGING_CATEGORY(lcCatalogue, "tessaro.catalogue", QtWarningMsg)

namespace {

using SF_SOFT_BASE::CSFStreamConvert;

constexpr wchar_t kReplacement = 0xFFFD;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// The leading whole number of text; false when it does not fit in an int.
bool LeadingWholeNumber(std::wstring_view text, long long& value) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) {
            return false;  // stop before the accumulator itself could overflow
        }
    }
    value = negative ? -magnitude : magnitude;
    return value >= INT_MIN && value <= INT_MAX;
}

bool IsValidScalar(std::uint32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        std::uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(
                    static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        out.push_back(u >= 0xD800 && u <= 0xDFFF ? kReplacement : static_cast<wchar_t>(u));
    }
    if (i < bytes.size()) {
        out.push_back(kReplacement);  // an odd byte at the end
    }
    return out;
}

std::wstring DecodeUtf32(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 4);
    std::size_t i = 0;
    for (; i + 3 < bytes.size(); i += 4) {
        std::uint32_t c = 0;
        for (int k = 0; k < 4; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + (bigEndian ? k : 3 - k)]);
            c = c << 8 | b;
        }
        out.push_back(IsValidScalar(c) ? static_cast<wchar_t>(c) : kReplacement);
    }
    if (i < bytes.size()) {
        out.push_back(kReplacement);
    }
    return out;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

std::wstring DecodeText(std::string_view bytes) {
    using namespace std::string_view_literals;
    // UTF-32 LE first: its mark begins with the UTF-16 LE one.
    if (StartsWith(bytes, "\xFF\xFE\x00\x00"sv)) {
        return DecodeUtf32(bytes.substr(4), false);
    }
    if (StartsWith(bytes, "\x00\x00\xFE\xFF"sv)) {
        return DecodeUtf32(bytes.substr(4), true);
    }
    if (StartsWith(bytes, "\xFF\xFE"sv)) {
        return DecodeUtf16(bytes.substr(2), false);
    }
    if (StartsWith(bytes, "\xFE\xFF"sv)) {
        return DecodeUtf16(bytes.substr(2), true);
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF"sv)) {
        return CSFStreamConvert::ToWide(bytes.substr(3), SF_SOFT_BASE::CP_UTF8);
    }
    return CSFStreamConvert::ToWide(bytes, SF_SOFT_BASE::CP_ACP);
}

}  // namespace

const std::wstring& ProductParameter::Field(int column) const {
    static const std::wstring kEmpty;
    switch (column) {
        case 0:
            return model;
        case 1:
            return dimension;
        case 2:
            return resolution;
        case 3:
            return powerConsumption;
        case 4:
            return weight;
        case 5:
            return column5;
        case 6:
            return column6;
        case 7:
            return brightness;
        case 8:
            return contrast;
        case 9:
            return bezelWidth;
        case 10:
            return bezelToBezel;
        case 11:
            return size;
        default:
            return kEmpty;
    }
}

std::wstring& ProductParameter::Field(int column) {
    static std::wstring scratch;
    if (column < 0 || column >= kFieldCount) {
        scratch.clear();  // writes to an unknown column go nowhere
        return scratch;
    }
    return const_cast<std::wstring&>(std::as_const(*this).Field(column));
}

const ProductParameter* CatalogueRecordAt(const ProductCatalogue& catalogue, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= catalogue.size()) {
        return nullptr;
    }
    return &std::next(catalogue.begin(), row)->second;
}

bool ParseDimension(std::wstring_view text, double& first, double& second) {
    first = 0.0;
    second = 0.0;
    const std::size_t x = text.find(L'x');
    if (x == std::wstring_view::npos) {
        return false;
    }
    long long a = 0;
    long long b = 0;
    if (!LeadingWholeNumber(text.substr(0, x), a) || !LeadingWholeNumber(text.substr(x + 1), b) ||
        a == 0 || b == 0) {
        return false;
    }
    first = static_cast<double>(a);
    second = static_cast<double>(b);
    return true;
}

std::vector<std::wstring> DecodeCatalogueLines(std::string_view bytes) {
    const std::wstring text = DecodeText(bytes);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c != L'\n' && c != L'\r') {
            continue;
        }
        lines.emplace_back(text, start, i - start);
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text, start);
    }
    return lines;
}

void ParseCatalogueLines(const std::vector<std::wstring>& lines, ProductCatalogue& out) {
    for (std::size_t i = 0; i < lines.size() && i <= static_cast<std::size_t>(INT_MAX); ++i) {
        const std::wstring_view line = lines[i];
        // Only the dimension decides whether the line is kept; find it before copying fields.
        const std::size_t comma0 = line.find(L',');
        if (comma0 == std::wstring_view::npos) {
            continue;
        }
        const std::wstring_view rest = line.substr(comma0 + 1);
        const std::wstring_view dimension = rest.substr(0, rest.find(L','));
        double width = 0.0;
        double height = 0.0;
        // Negative outlines read as non-zero but no wall can be built from them: rejected here.
        if (!ParseDimension(dimension, width, height) || width < 0.0 || height < 0.0) {
            continue;
        }
        ProductParameter record;
        std::size_t begin = 0;
        for (int k = 0; k < ProductParameter::kFieldCount; ++k) {
            const std::size_t end = line.find(L',', begin);
            record.Field(k).assign(line.substr(
                begin, end == std::wstring_view::npos ? std::wstring_view::npos : end - begin));
            if (end == std::wstring_view::npos) {
                break;
            }
            begin = end + 1;
        }
        record.panelWidthMm = width;
        record.panelHeightMm = height;
        out.insert_or_assign(static_cast<int>(i), std::move(record));
    }
}

bool CDatabaseManager::LoadProductParameters(ProductCatalogue& out) {
    return LoadProductParametersFrom(CataloguePath(), out);
}

bool CDatabaseManager::LoadProductParametersFrom(const std::string& path, ProductCatalogue& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        qCDebug(lcCatalogue) << "catalogue not found:" << path.c_str();
        return true;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    const std::vector<std::wstring> lines = DecodeCatalogueLines(bytes);
    if (lcCatalogue().isDebugEnabled()) {
        for (const std::wstring& line : lines) {
            qCDebug(lcCatalogue).noquote() << QString::fromStdWString(line);
        }
    }
    ParseCatalogueLines(lines, out);
    qCDebug(lcCatalogue) << "catalogue" << path.c_str() << ":" << lines.size() << "lines,"
                         << out.size() << "records";
    return true;
}

std::string CDatabaseManager::CataloguePath() {
    return SF_SOFT_BASE::ApplicationDirectory() + "/ProductParameter.csv";
}
