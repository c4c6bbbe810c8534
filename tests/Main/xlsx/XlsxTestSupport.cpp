#include "XlsxTestSupport.h"

#include "Main/xlsx/SheetColumns.h"
#include "framework/os/SFStreamConvert.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace XlsxTest {

std::string RunTool(const std::vector<std::string>& args) {
    std::string command = "/usr/bin/python3 '" XLSX_TOOL "'";
    for (const std::string& a : args) {
        command += " '";
        for (const char c : a) {
            command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        command += '\'';
    }
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "reader failed (" << status << "): " << command;
        return {};
    }
    return out;
}

QJsonObject Dump(const std::string& path) {
    std::string json = RunTool({"dump", path});
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json.substr(0, 200);
    return doc.object();
}

void Make(const std::string& kind, const std::string& path, int rows, const std::string& xml) {
    RunTool({"make", kind, path, std::to_string(rows), xml});
}

QJsonObject ActiveCells(const std::string& path) {
    const QJsonObject book = Dump(path);
    return book[QStringLiteral("cells")]
        .toObject()[book[QStringLiteral("active")].toString()]
        .toObject();
}

std::string Field(const QJsonObject& cells, const std::string& cell, const char* field) {
    return cells[QString::fromStdString(cell)]
        .toObject()[QString::fromUtf8(field)]
        .toVariant()
        .toString()
        .toStdString();
}

ExportResult ExportSample(const TempDir& dir, const std::wstring& name, RecordingSink* sink) {
    return ExportData(Wide(dir.path()), name, SampleValues(), sink, &EnglishTitles);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

SpecSheetValues SampleValues() {
    SpecSheetValues v;
    // Fields 1-17: model, total displays, screen configuration, dimensions, max and typical
    // power, diagonal, weight, then volume, weight and number of the lampstand boxes, the
    // structure boxes and the panel trays.
    // clang-format off
    v.fields = {L"\u5927\u5c4f LD55-X", L"8", L"4\u00D72", L"1211.5\u00D7682.3\u00D7118.3mm",
                L"205W", L"205W", L"55\"", L"31.5kg",
                L"1360\u00D71030\u00D71400mm", L"90.0kg", L"2",
                L"1360\u00D71580\u00D7830mm", L"146.0kg", L"2",
                L"1380\u00D71200\u00D71055mm", L"157.0kg", L"2"};
    // clang-format on
    return v;
}

std::string ExpectedColumnValue(const SpecSheetValues& values, int column) {
    static const int kField[17] = {1, 2, 3, 4, 7, 8, 5, 6, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    return Utf8(values.fields[static_cast<std::size_t>(kField[column] - 1)]);
}

std::string Cell(int column, int row) {
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row);
}

std::wstring EnglishTitles(const wchar_t* key) {
    return key;
}

std::wstring WideTitles(const wchar_t* key) {
    std::wstring wide = key;
    for (wchar_t& c : wide) {
        c = c == L' ' ? L'\u3000' : c > L' ' && c < 0x7F ? static_cast<wchar_t>(c + 0xFEE0) : c;
    }
    return wide;
}

void ExpectRowsWritten(const QJsonObject& cells, TextLookup titles, const SpecSheetValues& values) {
    for (int c = 0; c < 17; ++c) {
        SCOPED_TRACE(Cell(c, 1));
        EXPECT_EQ(Field(cells, Cell(c, 1)), Utf8(titles(SheetColumns::kTitleKeys[c])));
        EXPECT_EQ(Field(cells, Cell(c, 2)), ExpectedColumnValue(values, c));
        EXPECT_EQ(Field(cells, Cell(c, 1), "type") + Field(cells, Cell(c, 2), "type"), "strstr");
        const bool left = c == 1 || c == 10 || c == 13 || c == 16;
        EXPECT_EQ(Field(cells, Cell(c, 1), "h") + "|" + Field(cells, Cell(c, 2), "h"),
                  left ? "|left" : "|");
    }
}

void RecordingSink::ShowMessage(const std::wstring& title, const std::wstring& text) {
    messages.emplace_back(title, text);
}

std::string Utf8(const std::wstring& text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToNarrow(text, SF_SOFT_BASE::CP_UTF8);
}

std::wstring Wide(const std::string& text) {
    return SF_SOFT_BASE::CSFStreamConvert::ToWide(text, SF_SOFT_BASE::CP_UTF8);
}

}  // namespace XlsxTest
