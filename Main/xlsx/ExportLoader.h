#pragma once
// Finds and loads the export module (Main/xlsx/ExportModule.h), so that the program maps the
// spreadsheet libraries only when it first exports.
#include "Main/xlsx/ExportModule.h"

// The module's table, loading the module at the first call that succeeds, where and for as long
// as SFProgramModule (framework/os/SFProgramModule.h) says. nullptr when it cannot be loaded:
// the reason goes to the logging category tessaro.xlsx as a warning, and a later call tries
// again. Any thread. A first load maps a dozen libraries (a few milliseconds): never on the way
// to the first paint.
const ExportModule* LoadExportModule();
