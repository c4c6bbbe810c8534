#include "quote/QuoteRequest.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "Main/model/ProductCatalogue.h"
#include "shell/lang/LanguageTable.h"

namespace {

QuoteError Usage(std::wstring message) {
    return {QuoteExit::Usage, std::move(message)};
}

QuoteError Malformed(const OptionValue& option) {
    return Usage(Translate(L"Malformed value: ") + L"--" + option.name + L" " + option.value);
}

// The whole text as a number; ASCII only, no blanks.
template <typename T>
std::optional<T> ParseNumber(std::wstring_view text) {
    std::string ascii;
    for (const wchar_t c : text) {
        if (c <= 0x20 || c >= 0x7f) {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c));
    }
    T value{};
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    return value;
}

// "AxB" (also "AXB" and "A×B") as two numbers.
template <typename T>
std::optional<std::pair<T, T>> ParsePair(std::wstring_view text) {
    const std::size_t at = text.find_first_of(L"xX\u00D7");
    if (at == std::wstring_view::npos) {
        return std::nullopt;
    }
    const auto first = ParseNumber<T>(text.substr(0, at));
    const auto second = ParseNumber<T>(text.substr(at + 1));
    if (!first || !second) {
        return std::nullopt;
    }
    return std::pair<T, T>{*first, *second};
}

std::optional<bool> ParseFlag(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; });
    if (lower == L"1" || lower == L"yes" || lower == L"true") {
        return true;
    }
    if (lower == L"0" || lower == L"no" || lower == L"false") {
        return false;
    }
    return std::nullopt;
}

// Sets one option; false when its value is malformed.
bool SetOption(WallRequest& r, const OptionValue& option) {
    const std::wstring& name = option.name;
    const std::wstring& value = option.value;
    if (name == L"wall") {
        const auto size = ParsePair<double>(value);
        if (!size || size->first <= 0.0 || size->second <= 0.0) {
            return false;
        }
        r.hasWall = true;
        std::tie(r.width, r.height) = *size;
    } else if (name == L"lampstand") {
        const auto height = ParseNumber<double>(value);
        if (!height || *height < 0.0) {
            return false;
        }
        r.hasLampstand = true;
        r.lampstand = *height;
    } else if (name == L"unit") {
        if (value != L"m" && value != L"ft") {
            return false;
        }
        r.feet = value == L"ft";
    } else if (name == L"model") {
        if (value.empty()) {
            return false;
        }
        r.modelName = value;
        r.modelRow = -1;
    } else if (name == L"model-row") {
        const auto row = ParseNumber<int>(value);
        if (!row || *row < 0) {
            return false;
        }
        r.modelRow = *row;
        r.modelName.clear();
    } else if (name == L"layout") {
        const auto counts = ParsePair<int>(value);
        if (!counts || counts->first < 1 || counts->second < 1) {
            return false;
        }
        r.fit = false;
        std::tie(r.columns, r.rows) = *counts;
    } else if (name == L"fit" || name == L"portrait") {
        const auto flag = ParseFlag(value);
        if (!flag) {
            return false;
        }
        (name == L"fit" ? r.fit : r.portrait) = *flag;
    } else {
        return false;
    }
    return true;
}

std::wstring NumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::wstring(buffer, result.ptr);
}

// The fields of one batch line.
std::vector<std::wstring> SplitFields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(line.find(L',', start), line.size());
        std::wstring field = line.substr(start, comma - start);
        const std::size_t first = field.find_first_not_of(L" \t");
        const std::size_t last = field.find_last_not_of(L" \t");
        field = first == std::wstring::npos ? L"" : field.substr(first, last - first + 1);
        if (field.size() >= 2 && field.front() == L'"' && field.back() == L'"') {
            field = field.substr(1, field.size() - 2);
        }
        fields.push_back(std::move(field));
        if (comma == line.size()) {
            return fields;
        }
        start = comma + 1;
    }
}

}  // namespace

QuoteError ApplyOptions(WallRequest& request, const std::vector<OptionValue>& options) {
    auto given = [&](std::wstring_view name) {
        return std::any_of(options.begin(), options.end(), [&](const OptionValue& o) {
            return o.name == name && (name != L"fit" || ParseFlag(o.value).value_or(false));
        });
    };
    for (const auto& [a, b] : {std::pair{L"fit", L"layout"}, std::pair{L"model", L"model-row"}}) {
        if (given(a) && given(b)) {
            return Usage(Translate(L"Options that exclude each other: ") + L"--" + a + L" --" + b);
        }
    }
    WallRequest changed = request;
    for (const OptionValue& option : options) {
        if (!SetOption(changed, option)) {
            return Malformed(option);
        }
    }
    request = changed;
    return {};
}

QuoteError CheckLayoutGiven(const WallRequest& request) {
    if (request.fit || (request.columns > 0 && request.rows > 0)) {
        return {};
    }
    return Usage(Translate(L"Missing option: ") + L"--fit / --layout");
}

std::wstring DescribeRequest(const WallRequest& r) {
    std::wstring text;
    if (r.hasWall) {
        text += L" --wall " + NumberText(r.width) + L"x" + NumberText(r.height);
    }
    if (r.hasLampstand) {
        text += L" --lampstand " + NumberText(r.lampstand);
    }
    text += r.feet ? L" --unit ft" : L"";
    if (!r.modelName.empty()) {
        text += L" --model " + r.modelName;
    } else if (r.modelRow >= 0) {
        text += L" --model-row " + std::to_wstring(r.modelRow);
    }
    text += r.portrait ? L" --portrait" : L"";
    if (r.fit) {
        text += L" --fit";
    } else if (r.columns > 0) {
        text += L" --layout " + std::to_wstring(r.columns) + L"x" + std::to_wstring(r.rows);
    }
    return text.empty() ? text : text.substr(1);
}

QuoteError ReadBatch(std::string_view bytes, const std::wstring& fileName,
                     const WallRequest& defaults, std::vector<BatchWall>& out) {
    out.clear();
    const std::vector<std::wstring> lines = DecodeCatalogueLines(bytes);
    std::vector<std::wstring> columns;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        auto at = [&](QuoteError error) {
            error.message = fileName + L":" + std::to_wstring(lineNumber) + L": " + error.message;
            out.clear();
            return error;
        };
        if (lines[i].find_first_not_of(L" \t") == std::wstring::npos) {
            continue;
        }
        std::vector<std::wstring> fields = SplitFields(lines[i]);
        if (columns.empty()) {
            for (const std::wstring& name : fields) {
                if (std::find(kWallOptions.begin(), kWallOptions.end(), name) ==
                    kWallOptions.end()) {
                    return at(Usage(Translate(L"Unknown column: ") + name));
                }
            }
            columns = std::move(fields);
            continue;
        }
        std::vector<OptionValue> options;
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (fields[f].empty()) {
                continue;
            }
            if (f >= columns.size()) {
                return at(Usage(Translate(L"Malformed value: ") + fields[f]));
            }
            options.push_back({columns[f], fields[f]});
        }
        BatchWall wall{lineNumber, defaults};
        QuoteError error = ApplyOptions(wall.request, options);
        if (!error) {
            error = CheckLayoutGiven(wall.request);
        }
        if (error) {
            return at(std::move(error));
        }
        out.push_back(std::move(wall));
    }
    return {};
}
