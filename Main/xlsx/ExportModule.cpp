// The export module's one exported function (see ExportModule.h). The module is linked with
// ExportModule.map, which keeps every other symbol local.
#include "Main/xlsx/ExportModule.h"

namespace {

constexpr ExportModule kTable{
    kExportModuleVersion,
    sizeof(ExportModule),
    &::ExportData,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const ExportModule* ExportModuleEntry() {
    return &kTable;
}
