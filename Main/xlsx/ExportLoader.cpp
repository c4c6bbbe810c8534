#include "Main/xlsx/ExportLoader.h"

#include <string>

#include "Main/xlsx/XlsxLogging.h"
#include "framework/os/SFProgramModule.h"

const ExportModule* LoadExportModule() {
    static SF_SOFT_BASE::SFProgramModule<ExportModule> module(kExportModuleFile, kExportModuleEntry,
                                                              kExportModuleVersion);
    std::string why;
    const ExportModule* table = module.Get(&why, [](const ExportModule&, const std::string& path) {
        qCInfo(lcXlsx, "export module loaded from %s", path.c_str());
    });
    if (table == nullptr) {
        qCWarning(lcXlsx, "the export module: %s", why.c_str());
    }
    return table;
}
