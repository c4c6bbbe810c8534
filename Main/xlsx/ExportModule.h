#pragma once
// The spreadsheet writer as a loadable module (libtessaro_export.so): libxlsxwriter, libzip and
// the libraries they bring (minizip, libcrypto, bzip2, ...) are mapped only when the program
// first exports, not at its start. The module exports one C function, ExportModuleEntry, which
// returns the table below; every other symbol of the module is hidden, so its own copies of the
// static code it is built from never clash with the program's.
//
// ExportData has the contract of ::ExportData (Main/xlsx/ExportData.h) except that `translate`
// is required: the module's own copy of the language tables is never loaded, so the caller hands
// in its lookup (the program's Translate).
//
// Compatibility: a caller accepts a table only when its version equals kExportModuleVersion and
// its size is at least the caller's sizeof(ExportModule). The table passes C++ objects (strings,
// SpecSheetValues, the sink's virtual calls): module and program are built together by one
// compiler against one C++ library. Any change to a function's meaning or signature, to those
// types' layout, or to the order of the fields, raises the version; new fields go at the end.
#include <cstdint>
#include <string>

#include "Main/xlsx/ExportData.h"

inline constexpr uint32_t kExportModuleVersion = 1;
// The module's file name and its one exported symbol.
inline constexpr const char* kExportModuleFile = "libtessaro_export.so";
inline constexpr const char* kExportModuleEntry = "ExportModuleEntry";

struct ExportModule {
    uint32_t version;  // kExportModuleVersion of the module
    uint32_t size;     // sizeof(ExportModule) of the module
    ExportResult (*ExportData)(const std::wstring& folder, const std::wstring& fileName,
                               const SpecSheetValues& values, IExportMessageSink* sink,
                               TextLookup translate, std::string* why);
};

// The entry's type: the module's table, static for the life of the loaded module.
using ExportModuleEntryFn = const ExportModule* (*)();
