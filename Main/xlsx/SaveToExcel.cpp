#include "Main/xlsx/SaveToExcel.h"

#include "Main/xlsx/NewWorkbook.h"
#include "Main/xlsx/WorkbookPatch.h"
#include "Main/xlsx/XlsxLogging.h"
#include "framework/os/SFAtomicFile.h"
#include "shell/lang/LanguageTable.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// No workbook a sheet export meets is near this; it bounds what Open reads into memory.
constexpr std::size_t kWorkbookLimit = 1024u << 20;

}  // namespace

std::string NormalizeExcelPath(const std::string& path) {
    if (std::count(path.begin(), path.end(), '/') == 2) {
        std::size_t first = path.find('/');
        std::size_t second = path.find('/', first + 1);
        if (second == first + 1) {
            return path.substr(0, first) + "/" + path.substr(second + 1);
        }
    }
    return path;
}

CSaveToExcel::CSaveToExcel(TextLookup translate)
    : m_translate(translate ? translate : &Translate) {}

CSaveToExcel::~CSaveToExcel() = default;

bool CSaveToExcel::Open(const std::string& path) {
    CloseAndQuit();
    m_path = path;
    const std::string target = NormalizeExcelPath(path);
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        // Nothing readable there (or a folder that is missing): a new workbook; whether it can be
        // written is for SaveAs to find out.
        qCDebug(lcXlsx) << "new workbook for" << target.c_str() << "(" << std::strerror(errno)
                        << ")";
        m_open = true;
        return true;
    }
    std::string bytes;
    if (!SF_SOFT_BASE::ReadWholeFile(target, bytes, kWorkbookLimit, &m_lastError)) {
        qCDebug(lcXlsx) << "cannot read" << target.c_str() << ":" << m_lastError.c_str();
        return false;
    }
    m_existing = XlsxPatch::CWorkbookPatch::Load(bytes, &m_lastError);
    if (!m_existing) {
        qCDebug(lcXlsx) << "not a workbook we can write into:" << target.c_str() << ":"
                        << m_lastError.c_str();
        return false;
    }
    m_existingBytes = std::move(bytes);
    m_isExisting = true;
    m_open = true;
    return true;
}

void CSaveToExcel::WriteHeaderRow() {
    if (!m_open) {
        return;
    }
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        m_header[c] = m_translate(SheetColumns::kTitleKeys[c]);
    }
    m_hasHeader = true;
}

void CSaveToExcel::WriteDataRow(const SpecSheetValues& values) {
    if (!m_open) {
        return;
    }
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        m_values[c] = values.fields[SheetColumns::FieldOfColumn(c)];
    }
    m_hasValues = true;
}

bool CSaveToExcel::SaveAs(const std::string& path) {
    if (!m_open) {
        m_lastError = "no workbook open";
        return false;
    }
    const std::string target = NormalizeExcelPath(path);
    bool saved = false;
    if (m_isExisting) {
        // A patch consumes its package; a second save starts again from the workbook as Open
        // read it.
        std::unique_ptr<XlsxPatch::CWorkbookPatch> patch = std::move(m_existing);
        if (!patch) {
            patch = XlsxPatch::CWorkbookPatch::Load(m_existingBytes, &m_lastError);
        }
        std::string bytes;
        saved = patch &&
                patch->Patch(m_hasHeader ? &m_header : nullptr, m_hasValues ? &m_values : nullptr,
                             bytes, &m_lastError) &&
                SF_SOFT_BASE::ReplaceFile(target, bytes, &m_lastError);
    } else {
        saved = SF_SOFT_BASE::ReplaceFile(
            target,
            [this](const std::string& temp, int) {
                return XlsxNew::WriteWorkbook(temp, m_header, m_hasHeader, m_values, m_hasValues,
                                              &m_lastError);
            },
            &m_lastError);
    }
    if (!saved) {
        qCDebug(lcXlsx) << "save failed:" << target.c_str() << ":" << m_lastError.c_str();
    }
    return saved;
}

bool SaveSheetsAsNewWorkbook(const std::string& path, const std::vector<SpecSheetValues>& sheets,
                             TextLookup translate, std::string* why) {
    using Row = XlsxNew::Row;
    if (translate == nullptr) {
        translate = &Translate;
    }
    std::vector<Row> table(sheets.size() + 1);
    for (std::size_t c = 0; c < SheetColumns::kColumnCount; ++c) {
        table[0][c] = translate(SheetColumns::kTitleKeys[c]);
        for (std::size_t r = 0; r < sheets.size(); ++r) {
            table[r + 1][c] = sheets[r].fields[SheetColumns::FieldOfColumn(c)];
        }
    }
    std::vector<const Row*> rows;
    for (const Row& row : table) {
        rows.push_back(&row);
    }
    std::string reason;
    const bool saved = SF_SOFT_BASE::ReplaceFile(
        NormalizeExcelPath(path),
        [&](const std::string& temp, int) {
            return XlsxNew::WriteWorkbookRows(temp, rows, &reason);
        },
        &reason);
    if (!saved && why != nullptr) {
        *why = reason;
    }
    return saved;
}

void CSaveToExcel::CloseAndQuit() {
    m_existing.reset();
    m_existingBytes.clear();
    m_isExisting = false;
    m_open = false;
    m_hasHeader = false;
    m_hasValues = false;
}
