#pragma once
// The product catalogue: the display models a wall can be built from, read from
// "ProductParameter.csv" in the application directory. Plain C++, no widgets; GUI thread only
// (nothing here is guarded).
//
// File format: one model per line, fields separated by every comma (no quoting or escaping;
// spaces stay part of the field). Twelve fields are used; missing ones are empty, extra ones are
// ignored. A line is kept only when its second field reads "<width>x<height>" with two positive
// whole numbers of millimetres (lower-case x); any other line (a column header, a blank line, a
// note) is skipped but still consumes its line index, so keys keep their line numbers.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One display model: the twelve text fields of its line, in column order and exactly as read,
// and the panel outline parsed from `dimension`.
struct ProductParameter {
    static constexpr int kFieldCount = 12;

    std::wstring model;             // 0: model name
    std::wstring dimension;         // 1: outline "<width>x<height>" in millimetres, landscape
    std::wstring resolution;        // 2
    std::wstring powerConsumption;  // 3: watts of one panel (both power lines of the sheet)
    std::wstring weight;            // 4: weight of one panel
    std::wstring column5;           // 5: kept, never shown
    std::wstring column6;           // 6: kept, never shown
    std::wstring brightness;        // 7
    std::wstring contrast;          // 8
    std::wstring bezelWidth;        // 9
    std::wstring bezelToBezel;      // 10
    std::wstring size;              // 11: the diagonal text; carries the inch class

    // Landscape width and height in millimetres: whole numbers, both > 0 in every stored record,
    // both 0 in a default-constructed one.
    double panelWidthMm = 0.0;
    double panelHeightMm = 0.0;

    // Field by column number (0..11); an empty text for any other number.
    const std::wstring& Field(int column) const;
    std::wstring& Field(int column);
};

// Records keyed by their line index in the file (counted from 0 over every line, kept or not).
// Key order is file order, and that is the catalogue order everywhere (list rows, default model).
using ProductCatalogue = std::map<int, ProductParameter>;

// The n-th record in catalogue order (0-based), or null when there is none. It walks the map, so
// it costs n steps: to visit every record (filling a list), iterate the map in key order instead.
const ProductParameter* CatalogueRecordAt(const ProductCatalogue& catalogue, int row);

// Reads "<first>x<second>": the leading whole number before the first lower-case "x" and the
// leading whole number after it. A leading whole number skips blanks, takes an optional sign and
// decimal digits, and stops at the first other character, so "1213x684", "1213.5x684mm" and
// "1213 x 684" all give 1213 and 684. Succeeds only when an "x" is present and both numbers are
// non-zero; first and second are 0 after a failure. A number too large for a 32-bit int fails
// too (no outline is that large, and it would not survive the conversions of the wall geometry).
bool ParseDimension(std::wstring_view text, double& first, double& second);

// The lines of a catalogue file's bytes. A byte-order mark selects UTF-8, UTF-16 or UTF-32
// (either byte order); without one the bytes are in the locale's 8-bit encoding. Malformed
// sequences become U+FFFD. A line ends at LF, CRLF or a lone CR (files saved with old Mac line
// ends or mixed ends keep their lines); the line ends are removed, an empty line stays an empty
// entry, and a final line end does not add an empty line. Linear in the size of the input.
std::vector<std::wstring> DecodeCatalogueLines(std::string_view bytes);

// Turns decoded lines into records: line i is stored under key i when its dimension parses to a
// positive width and height (an existing entry with that key is replaced; others stay).
void ParseCatalogueLines(const std::vector<std::wstring>& lines, ProductCatalogue& out);

// Reads the catalogue. Created as a shared object by the model selection dialog, which keeps it;
// it holds no data of its own.
class CDatabaseManager : public std::enable_shared_from_this<CDatabaseManager> {
public:
    // Reads application directory + "/ProductParameter.csv" into out (not cleared first). A
    // missing or unreadable file leaves out as it is and creates nothing. Always returns true:
    // callers rely on the contents of out only. Each line read is echoed to the logging category
    // "tessaro.catalogue" at debug level (off unless QT_LOGGING_RULES enables it).
    bool LoadProductParameters(ProductCatalogue& out);

    // The same from an explicit file path (UTF-8).
    static bool LoadProductParametersFrom(const std::string& path, ProductCatalogue& out);

    // application directory + "/ProductParameter.csv".
    static std::string CataloguePath();
};
