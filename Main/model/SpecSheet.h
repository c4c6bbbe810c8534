#pragma once
// The figures of the "Data output" sheet: the product lines copied from the chosen catalogue
// record, the screen configuration, and the packaging computed from the wall's columns (W), its
// display count (N = W × H) and the panel size class read from the Diagonal text. Plain C++;
// GUI thread only. Every text is exactly what the sheet shows and what the export writes.
#include <string>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/SpecSheetValues.h"

// Indexes into SpecSheetValues::fields (export column in brackets).
enum SpecSheetField {
    kSpecModel = 0,                // [A]
    kSpecTotalDisplays = 1,        // [B]
    kSpecScreenConfiguration = 2,  // [C]
    kSpecDimensions = 3,           // [D]
    kSpecMaxPower = 4,             // [G]
    kSpecTypicalPower = 5,         // [H]
    kSpecDiagonal = 6,             // [E]
    kSpecWeight = 7,               // [F]
    kSpecLampstandVolume = 8,      // [I], then weight [J] and number [K]
    kSpecStructureVolume = 11,     // [L], then weight [M] and number [N]
    kSpecTrayVolume = 14,          // [O], then weight [P] and number [Q]
};

// Panel size classes; kSizeClassNone when the Diagonal text names none of them.
enum SizeClass { kSizeClassNone = 0, kSizeClass46 = 46, kSizeClass49 = 49, kSizeClass55 = 55 };

// The class of a Diagonal text: only its first 9 characters count, tested case-sensitively for
// "55", then "49", then "46" (a text holding both "49" and "55" is class 55).
SizeClass SizeClassOf(const std::wstring& diagonal);

// Copies model, dimension, power (into both the max and the typical line), diagonal and weight
// from the record, verbatim. Leaves the packaging as it is.
void SetProductInfo(SpecSheetValues& values, const ProductParameter& record);

// "%d×%d" of (w, h) and "%d" of w × h, then ComputePackaging with the stored Diagonal text.
// Negative counts are taken as 0.
void SetScreenConfiguration(SpecSheetValues& values, int w, int h);

// Sets the nine packaging texts: for the lampstand boxes, the structure boxes and the panel
// trays in turn, volume ("%d×%d×%dmm"), weight ("%.1fkg", printed in the C locale) and number.
// Box counts round up; the fullest box's piece count is a single-precision quotient rounded up.
// Of the tray (and class-46 structure) variants the smallest count wins and, on equal counts,
// the box for fewer panels. Without a size class, or with no displays at all (w or h of 0),
// every group reads "0×0×0mm", "0kg", "0".
void ComputePackaging(SpecSheetValues& values, int w, int h, const std::wstring& diagonal);
void ComputePackaging(SpecSheetValues& values, int w, int h);  // uses the stored Diagonal text
