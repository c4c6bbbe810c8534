#pragma once
// The split layout of a video window: a grid of rows x columns unit cells with separator bands
// between neighbours, where units joined by inactive separators form one larger rectangular
// cell. Plain values, no widgets; the video window control owns one and lives on the GUI thread.
//
// Separator id: bit 16 set = vertical band between unit (r, c) and (r, c + 1); clear = horizontal
// band between (r, c) and (r + 1, c); bits 8-15 = r, bits 0-7 = c.
//
// Template text (ASCII), exactly six "/" fields, empty fields kept:
//   rows/cols/count/width:height/separators/cells
// separators: "-"-joined items id:flag:left:top:right:bottom; cells: "-"-joined
// left:top:right:bottom. Only rows, columns and the separator ids with their flags decide a layout;
// the count, canvas, band rectangles and cells are recomputed when the text is applied. A missing
// separator counts as active. Rejected (false, layout unchanged): a wrong field count, a malformed
// or out-of-range number, a grid side outside 1..kMaxGridSide, an id outside the grid, a repeated
// id, a flag other than 0 or 1, or merged units that would not form rectangles.
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CQTVideoWindowLayout {
public:
    // Right and bottom inclusive.
    struct Rect {
        int left = 0;
        int top = 0;
        int right = -1;
        int bottom = -1;
        bool Contains(int x, int y) const {
            return x >= left && x <= right && y >= top && y <= bottom;
        }
        bool operator==(const Rect&) const = default;
    };
    struct Separator {
        int active = 1;  // 1: the band separates two cells; 0: both units belong to one cell
        Rect rect;
    };

    static constexpr int kMaxGridSide = 64;
    static constexpr int kMaxCanvasSide = 32767;
    static constexpr int kVerticalBit = 0x10000;

    static int HorizontalId(int row, int column) { return row * 256 + column; }
    static int VerticalId(int row, int column) { return kVerticalBit + row * 256 + column; }

    // A 1 x 1 layout on the 400 x 300 design canvas.
    CQTVideoWindowLayout();

    // Replaces the layout by the template and lays it out on the template's canvas. The control
    // then calls Resize with its pixel size.
    bool Apply(std::string_view text);
    // The current layout as template text: separators in ascending id order, cells in index order.
    std::string Serialize() const;

    // Lays the grid out on a W x H canvas: unit width W / cols, unit height H / rows, the
    // remainders going to the last column and the last row. Nothing happens when the size is
    // unchanged; a side below 1 or above kMaxCanvasSide is ignored. Every rectangle lies in the
    // canvas, so the text form has no negative numbers: bands are cut at the canvas's edges, and
    // the units of a canvas smaller than its grid that get no pixels are empty (right = left - 1)
    // at the far edge (left = W, top = H).
    void Resize(int width, int height);

    // A new grid with every separator active (one cell per unit). False, with nothing changed,
    // for the current count or one outside 1..kMaxGridSide.
    bool SetRows(int rows);
    bool SetColumns(int columns);

    // Layout editing: the first band (in ascending id order) containing the point is clicked.
    // An active band merges the two cells it separates into their bounding rectangle, growing it
    // until it cuts no other cell; an inactive band splits its cell along the band's whole grid
    // line. Every band that changes state is put in the selection. False when no band contains
    // the point (selection cleared, layout unchanged).
    bool ClickSeparator(int x, int y);

    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    int CellCount() const { return m_count; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::map<int, Separator>& Separators() const { return m_separators; }
    const std::map<int, Rect>& Cells() const { return m_cells; }
    const std::map<int, Rect>& Selection() const { return m_selection; }
    // The cell holding unit (row, column), -1 outside the grid.
    int CellOfUnit(int row, int column) const;

private:
    void BuildGrid(int rows, int columns);
    void LayOut();
    // Labels every unit with its cell; false when a merged group is not a rectangle.
    bool Label();

    int m_rows = 1;
    int m_columns = 1;
    int m_count = 1;
    int m_width = 400;
    int m_height = 300;
    std::map<int, Separator> m_separators;
    std::map<int, Rect> m_cells;
    std::map<int, Rect> m_selection;
    std::vector<int> m_unitCell;  // row-major, row * columns + column -> cell index
};

// The ten built-in templates on the 400 x 300 design canvas (0: 1 x 1 ... 9: 6 x 6); null for a
// type outside 0..9. The texts live for the whole program.
const char* GetDefaultLayout(int type);
