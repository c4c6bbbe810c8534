#pragma once
// A quote: one wall taken through the main window's own wall operations (WallDesignEditor over a
// WallGeometry) and the "Data output" sheet's figures, with no window. The command line records
// what the window would show in its message box instead of showing it. Plain C++, no widgets;
// one thread at a time (the language tables are not guarded).
#include <string>
#include <vector>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/SpecSheetValues.h"

// Exit statuses of tessaro-quote; each kind of failure has its own.
enum class QuoteExit : int {
    Ok = 0,
    Usage = 2,         // an option or value the command line cannot take
    UnknownModel = 3,  // no such model name or catalogue row
    Catalogue = 4,     // the catalogue could not be read or holds no model
    Refused = 5,       // the wall refused a request, or holds no display
    Output = 6,        // the workbook or the standard output could not be written
};

// What went wrong, as one line for the user (already in the current language).
struct QuoteError {
    QuoteExit code = QuoteExit::Ok;
    std::wstring message;
    explicit operator bool() const { return code != QuoteExit::Ok; }
};

// One wall as the user states it. Lengths are in the unit of `feet` (metres when false), as
// typed into the parameter panel after choosing the unit.
struct WallRequest {
    bool hasWall = false;  // false: the window's default wall stays
    double width = 6.0;
    double height = 2.0;
    bool hasLampstand = false;  // false: the window's default lampstand stays
    double lampstand = 1.0;
    bool feet = false;
    std::wstring modelName;  // by name when not empty,
    int modelRow = -1;       // else by catalogue row when >= 0, else the first record
    bool fit = false;        // Fit To Room, or
    int columns = 0;         // columns and rows when both > 0
    int rows = 0;
    bool portrait = false;
};

// The wall as it came out.
struct WallQuote {
    SpecSheetValues sheet;
    int columns = 0;
    int rows = 0;
    bool landscape = true;
    // The texts the window would have shown ("Attention" messages, the orientation refusal) and,
    // when the wall holds no display, "No display fits on this wall.", in order.
    std::vector<std::wstring> attention;
    bool Refused() const { return !attention.empty(); }
};

// The record the request names: by name (the first of that name in catalogue order), by row, or
// the first record. Null when there is none.
const ProductParameter* FindModel(const ProductCatalogue& catalogue, const WallRequest& request);

// Runs the window's operations in the window's order on a fresh design: the first catalogue
// record applied as at start-up, then the unit (the panel's unit radios stand before its size
// fields), the wall size, the lampstand (only when it differs from the current one, as the
// spinner notifies only a change), the chosen model, the orientation, then Fit To Room or the
// column count and the row count; last the sheet from the model and the resulting counts.
// `model` must be a record of `catalogue`, which must not be empty.
WallQuote QuoteWall(const ProductCatalogue& catalogue, const ProductParameter& model,
                    const WallRequest& request);
