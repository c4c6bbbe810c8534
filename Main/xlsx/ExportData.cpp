#include "Main/xlsx/ExportData.h"

#include "Main/xlsx/XlsxLogging.h"
#include "shell/lang/LanguageTable.h"

ExportResult ExportData(const std::wstring& folder, const std::wstring& fileName,
                        const SpecSheetValues& values, IExportMessageSink* sink,
                        TextLookup translate, std::string* why) {
    if (translate == nullptr) {
        translate = &Translate;
    }
    auto notify = [&](const wchar_t* key) {
        if (sink != nullptr) {
            sink->ShowMessage(translate(L"Attention"), translate(key));
        }
    };

    CSaveToExcel writer(translate);
    const std::string path = ExportTargetPath(folder, fileName);
    if (!writer.Open(path)) {
        qCInfo(lcXlsx) << "export: open failed:" << writer.LastError().c_str();
        if (why != nullptr) {
            *why = writer.LastError();
        }
        notify(L"Open excel failed.");
        return ExportResult::OpenFailed;
    }
    writer.WriteHeaderRow();
    writer.WriteDataRow(values);
    const bool saved = writer.SaveAs(path);
    if (!saved) {
        qCInfo(lcXlsx) << "export: save failed:" << writer.LastError().c_str();
        if (why != nullptr) {
            *why = writer.LastError();
        }
    }
    notify(saved ? L"Export success." : L"Export failure.");
    writer.CloseAndQuit();
    return saved ? ExportResult::Exported : ExportResult::SaveFailed;
}
