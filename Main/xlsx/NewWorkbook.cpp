#include "Main/xlsx/NewWorkbook.h"

#include "Main/xlsx/XlsxLogging.h"
#include "framework/os/SFStreamConvert.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace XlsxNew {
namespace {

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

}  // namespace

bool WriteWorkbook(const std::string& path,
                   const std::array<std::wstring, SheetColumns::kColumnCount>& row1, bool hasRow1,
                   const std::array<std::wstring, SheetColumns::kColumnCount>& row2, bool hasRow2,
                   std::string* why) {
    return WriteWorkbookRows(path, {hasRow1 ? &row1 : nullptr, hasRow2 ? &row2 : nullptr}, why);
}

bool WriteWorkbookRows(const std::string& path, const std::vector<const Row*>& rows,
                       std::string* why) {
    using SF_SOFT_BASE::CP_UTF8;
    using SF_SOFT_BASE::CSFStreamConvert;

    // The library keeps its working files in the system temporary folder; only the finished
    // package goes to `path`.
    lxw_workbook* raw = workbook_new(path.c_str());
    if (raw == nullptr) {
        if (why != nullptr) {
            *why = "cannot start the workbook";
        }
        return false;
    }
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(raw);
    lxw_worksheet* sheet = workbook_add_worksheet(raw, nullptr);
    lxw_format* left = workbook_add_format(raw);
    if (sheet == nullptr || left == nullptr) {
        return false;
    }
    format_set_align(left, LXW_ALIGN_LEFT);

    bool written = true;
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        std::size_t units = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (rows[r] == nullptr) {
                continue;
            }
            const std::wstring& cell = (*rows[r])[c];
            const std::string text =
                CSFStreamConvert::ToNarrow(SheetColumns::EscapeCellText(cell), CP_UTF8);
            lxw_format* format = r > 0 && SheetColumns::IsLeftAligned(c) ? left : nullptr;
            written = written && worksheet_write_string(sheet, static_cast<lxw_row_t>(r), col,
                                                        text.c_str(), format) == LXW_NO_ERROR;
            units = std::max(units, SheetColumns::DisplayUnits(cell));
        }
        written =
            written && worksheet_set_column(sheet, col, col, SheetColumns::FittedColumnWidth(units),
                                            nullptr) == LXW_NO_ERROR;
    }

    lxw_error closed = workbook_close(workbook.release());
    if (!written || closed != LXW_NO_ERROR) {
        if (why != nullptr) {
            *why = written ? lxw_strerror(closed) : "cell rejected";
        }
        qCDebug(lcXlsx) << "new workbook failed:" << (why ? why->c_str() : "");
        return false;
    }
    return true;
}

}  // namespace XlsxNew
