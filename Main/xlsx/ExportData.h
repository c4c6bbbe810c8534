#pragma once
// The export of the "Data output" sheet: builds the target path, runs the spreadsheet writer and
// tells the user how it went through a message sink (the main window's message box).
#include "Main/model/SpecSheetValues.h"
#include "Main/xlsx/ExportTarget.h"
#include "Main/xlsx/SaveToExcel.h"

#include <string>

// Where the export's notices go. The window implementing it shows a modal message box; the
// export continues after ShowMessage returns. Called on the exporting thread (the GUI thread).
class IExportMessageSink {
public:
    virtual ~IExportMessageSink() = default;
    // `title` and `text` are already translated.
    virtual void ShowMessage(const std::wstring& title, const std::wstring& text) = 0;
};

enum class ExportResult {
    OpenFailed,  // "Open excel failed.": the file there is no workbook we can write into
    Exported,    // "Export success.": the target now holds the new workbook
    SaveFailed,  // "Export failure.": the target is as it was
};

// Writes `values` to folder + "/" + fileName + ".xlsx" and reports exactly one notice, titled
// "Attention": "Open excel failed.", "Export success." or "Export failure." (all through
// `translate`, the language tables by default). Blocking; `sink` may be null (no notice).
// `why` (optional) receives the writer's reason when the export fails (diagnostic English).
ExportResult ExportData(const std::wstring& folder, const std::wstring& fileName,
                        const SpecSheetValues& values, IExportMessageSink* sink,
                        TextLookup translate = nullptr, std::string* why = nullptr);
