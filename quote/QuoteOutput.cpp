#include "quote/QuoteOutput.h"

#include <QJsonArray>

#include <algorithm>
#include <array>

#include "Main/xlsx/SheetColumns.h"
#include "shell/lang/LanguageTable.h"

namespace {

// JSON keys of the export columns A..Q.
constexpr std::array<const char*, SheetColumns::kColumnCount> kJsonKeys = {
    "model",
    "totalDisplays",
    "screenConfiguration",
    "dimensions",
    "diagonal",
    "netWeight",
    "maxPower",
    "typicalPower",
    "lampstandBoxVolume",
    "lampstandBoxWeight",
    "lampstandBoxNumber",
    "structureBoxVolume",
    "structureBoxWeight",
    "structureBoxNumber",
    "panelTrayVolume",
    "panelTrayWeight",
    "panelTrayNumber",
};

const std::wstring& Value(const WallQuote& quote, std::size_t column) {
    return quote.sheet.fields[SheetColumns::FieldOfColumn(column)];
}

// Rows of cells as lines, each column padded to its widest cell plus two; wide characters take
// two cells of a terminal.
std::wstring AlignedLines(const std::vector<std::vector<std::wstring>>& table) {
    std::vector<std::size_t> widths;
    for (const auto& row : table) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], SheetColumns::DisplayUnits(row[c]));
        }
    }
    std::wstring text;
    for (const auto& row : table) {
        std::wstring line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) {
                line.append(widths[c] + 2 - SheetColumns::DisplayUnits(row[c]), L' ');
            }
        }
        line.erase(line.find_last_not_of(L' ') + 1);
        text += line + L"\n";
    }
    return text;
}

std::wstring CsvField(const std::wstring& text) {
    if (text.find_first_of(L",\"\r\n") == std::wstring::npos) {
        return text;
    }
    std::wstring quoted = L"\"";
    for (const wchar_t c : text) {
        quoted += c == L'"' ? L"\"\"" : std::wstring(1, c);
    }
    return quoted + L"\"";
}

std::wstring OrientationText(const WallQuote& quote) {
    return quote.landscape ? Translate(L"Landscape") : Translate(L"Portrait");
}

}  // namespace

std::wstring SheetText(const WallQuote& quote) {
    std::vector<std::vector<std::wstring>> table = {
        {Translate(L"Colums"), std::to_wstring(quote.columns)},
        {Translate(L"Rows"), std::to_wstring(quote.rows)},
        {Translate(L"Orientation"), OrientationText(quote)},
    };
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        table.push_back({Translate(SheetColumns::kTitleKeys[c]), Value(quote, c)});
    }
    std::wstring text = AlignedLines(table);
    for (const std::wstring& message : quote.attention) {
        text += Translate(L"Attention") + L": " + message + L"\n";
    }
    return text;
}

QJsonObject SheetJson(const WallQuote& quote) {
    QJsonObject sheet;
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        sheet.insert(QString::fromLatin1(kJsonKeys[c]), QString::fromStdWString(Value(quote, c)));
    }
    QJsonArray attention;
    for (const std::wstring& message : quote.attention) {
        attention.append(QString::fromStdWString(message));
    }
    return QJsonObject{
        {QStringLiteral("columns"), quote.columns},
        {QStringLiteral("rows"), quote.rows},
        {QStringLiteral("orientation"),
         quote.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait")},
        {QStringLiteral("attention"), attention},
        {QStringLiteral("sheet"), sheet},
    };
}

std::wstring SheetsCsv(const std::vector<WallQuote>& quotes) {
    std::wstring text;
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        text += (c ? L"," : L"") + CsvField(Translate(SheetColumns::kTitleKeys[c]));
    }
    text += L"\n";
    for (const WallQuote& quote : quotes) {
        for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
            text += (c ? L"," : L"") + CsvField(Value(quote, c));
        }
        text += L"\n";
    }
    return text;
}

std::wstring ModelListText(const ProductCatalogue& catalogue) {
    // The dialog's list columns, then its detail lines (whose labels end in a colon there).
    const std::vector<std::pair<const wchar_t*, std::wstring ProductParameter::*>> columns = {
        {L"Model", &ProductParameter::model},
        {L"Brightness", &ProductParameter::brightness},
        {L"Contrast", &ProductParameter::contrast},
        {L"Bezel Width", &ProductParameter::bezelWidth},
        {L"Bezel-to-bezel", &ProductParameter::bezelToBezel},
        {L"Size", &ProductParameter::size},
        {L"Dimension:", &ProductParameter::dimension},
        {L"Resolution:", &ProductParameter::resolution},
        {L"Power Consumption:", &ProductParameter::powerConsumption},
        {L"Weight:", &ProductParameter::weight},
    };
    std::vector<std::vector<std::wstring>> table(1, std::vector<std::wstring>{L""});
    for (const auto& [key, field] : columns) {
        std::wstring title = Translate(key);
        while (!title.empty() && (title.back() == L':' || title.back() == L'\uFF1A')) {
            title.pop_back();
        }
        table[0].push_back(title);
    }
    int row = 0;
    for (const auto& [line, record] : catalogue) {
        table.push_back({std::to_wstring(row++)});
        for (const auto& [key, field] : columns) {
            table.back().push_back(record.*field);
        }
    }
    return AlignedLines(table);
}
