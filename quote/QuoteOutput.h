#pragma once
// What tessaro-quote prints: the sheet as text, as JSON, a batch as CSV, and the catalogue.
// Titles are the spreadsheet export's column titles, in its column order (which is also the
// order of the "Data output" page), in the current language; values are the sheet's texts.
#include <QJsonObject>

#include <string>
#include <vector>

#include "Main/model/ProductCatalogue.h"
#include "quote/QuoteEngine.h"

// The resulting layout (columns, rows, orientation), the 17 figures, then one "Attention: "
// line per refusal; titles padded so that the values line up (wide characters count two).
std::wstring SheetText(const WallQuote& quote);

// {"columns", "rows", "orientation" ("landscape"/"portrait"), "attention" [texts],
//  "sheet" {model, totalDisplays, screenConfiguration, dimensions, diagonal, netWeight,
//  maxPower, typicalPower, lampstandBoxVolume, lampstandBoxWeight, lampstandBoxNumber, the same
//  three for structureBox and panelTray}}: keys fixed for scripts, values the sheet's texts.
QJsonObject SheetJson(const WallQuote& quote);

// The export's titles as a header line, then one line per quote; fields quoted when they hold a
// comma, a double quote or a line break (RFC 4180).
std::wstring SheetsCsv(const std::vector<WallQuote>& quotes);

// One line per record in catalogue order: its row, then the fields the model dialog shows (its
// list's columns, then its detail lines), under their titles, aligned.
std::wstring ModelListText(const ProductCatalogue& catalogue);
