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
#include <map>

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
    return Utf8(values.fields[SheetColumns::FieldOfColumn(static_cast<std::size_t>(column))]);
}

std::string Cell(int column, int row) {
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row);
}

std::wstring EnglishTitles(const wchar_t* key) {
    return key;
}

namespace {

const std::map<std::wstring, std::wstring>& ChineseTable() {
    static const std::map<std::wstring, std::wstring> table = {
        {L"Product Model", L"\u4ea7\u54c1\u578b\u53f7"},
        {L"Total No. of Displays", L"\u5c4f\u5e55\u603b\u6570"},
        {L"Screen Configuration(W\u00D7H)", L"\u62fc\u63a5\u65b9\u5f0f(\u5bbd\u00D7\u9ad8)"},
        {L"Dimensions(W\u00D7H\u00D7D)",
         L"\u5916\u5f62\u5c3a\u5bf8(\u5bbd\u00D7\u9ad8\u00D7\u6df1)"},
        {L"Diagonal", L"\u5c3a\u5bf8"},
        {L"Net Weight(kg)", L"\u51c0\u91cd(kg)"},
        {L"Max Power Consumption(W)", L"\u6700\u5927\u529f\u8017(W)"},
        {L"Typical Power Consumption(W)", L"\u5178\u578b\u529f\u8017(W)"},
        {L"Lampstand Wooden Box Volume(WxHxD)",
         L"\u5e95\u5ea7\u6728\u7bb1\u4f53\u79ef(\u5bbdx\u9ad8x\u6df1)"},
        {L"Lampstand Wooden Box Weight(kg)", L"\u5e95\u5ea7\u6728\u7bb1\u91cd\u91cf(kg)"},
        {L"Lampstand Wooden Box Number", L"\u5e95\u5ea7\u6728\u7bb1\u6570\u91cf"},
        {L"Structure Wooden Box Volume(WxHxD)",
         L"\u7ed3\u6784\u6728\u7bb1\u4f53\u79ef(\u5bbdx\u9ad8x\u6df1)"},
        {L"Structure Wooden Box Weight(kg)", L"\u7ed3\u6784\u6728\u7bb1\u91cd\u91cf(kg)"},
        {L"Structure Wooden Box Number", L"\u7ed3\u6784\u6728\u7bb1\u6570\u91cf"},
        {L"Panel Tray Volume(WxHxD)", L"\u6258\u76d8\u4f53\u79ef(\u5bbdx\u9ad8x\u6df1)"},
        {L"Panel Tray Weight(kg)", L"\u6258\u76d8\u91cd\u91cf(kg)"},
        {L"Panel Tray Number", L"\u6258\u76d8\u6570\u91cf"},
        {L"Attention", L"\u63d0\u793a"},
        {L"Export success.", L"\u5bfc\u51fa\u6210\u529f\u3002"},
    };
    return table;
}

}  // namespace

std::wstring ChineseTitles(const wchar_t* key) {
    auto it = ChineseTable().find(key);
    return it == ChineseTable().end() ? std::wstring(key) : it->second;
}

std::string ChineseTitle(int column) {
    return Utf8(ChineseTitles(SheetColumns::kTitleKeys[column]));
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
