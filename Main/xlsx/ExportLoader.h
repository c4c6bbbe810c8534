#pragma once
// Finds and loads the export module (Main/xlsx/ExportModule.h), so that the program maps the
// spreadsheet libraries only when it first exports.
#include "Main/xlsx/ExportModule.h"

// The module's table, loading the module at the first call that succeeds. The module file is
// looked for beside the executable, then in the application directory, then in ../lib/tessaro
// relative to the executable (the installed layout); the first file that exists is loaded
// (RTLD_NOW | RTLD_LOCAL). nullptr when none exists, it cannot be loaded, or its table has
// another version: the reason goes to the logging category tessaro.xlsx as a warning, and a
// later call tries again.
// Once loaded the module stays mapped for the life of the process (its handle is never
// released); later calls return the same table for the cost of an atomic read.
// Any thread; concurrent first calls load once. A first load maps a dozen libraries (a few
// milliseconds): never on the way to the first paint.
const ExportModule* LoadExportModule();
