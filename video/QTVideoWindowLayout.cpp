#include "video/QTVideoWindowLayout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>
#include <vector>

namespace {

using Rect = CQTVideoWindowLayout::Rect;

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// Unsigned decimal only: a sign would collide with the "-" between items anyway.
bool Number(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= 0;
}

bool Numbers(std::string_view item, int* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const size_t end = i + 1 < count ? item.find(':') : item.size();
        if (end == std::string_view::npos || !Number(item.substr(0, end), values[i]))
            return false;
        item.remove_prefix(std::min(item.size(), end + 1));
    }
    return true;
}

int RowOf(int id) {
    return (id >> 8) & 0xFF;
}
int ColumnOf(int id) {
    return id & 0xFF;
}
bool IsVertical(int id) {
    return (id & CQTVideoWindowLayout::kVerticalBit) != 0;
}

// One side of a rectangle on a canvas side of `size` pixels, so that the text form needs no sign:
// cut at the canvas's edges (bands of units narrower than 5 pixels reach past them), and a side
// with no pixels (a unit of a canvas smaller than its grid) lies empty at the far edge.
void Fit(int& low, int& high, int size) {
    low = std::max(low, 0);
    high = std::min(high, size - 1);
    if (high < low) {
        low = size;
        high = size - 1;
    }
}

Rect Fitted(Rect r, int width, int height) {
    Fit(r.left, r.right, width);
    Fit(r.top, r.bottom, height);
    return r;
}

void Append(std::string& out, std::initializer_list<int> values) {
    char buffer[16];
    bool first = true;
    for (int v : values) {
        if (!first)
            out += ':';
        out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
        first = false;
    }
}

}  // namespace

CQTVideoWindowLayout::CQTVideoWindowLayout() {
    BuildGrid(1, 1);
    Label();
    LayOut();
}

void CQTVideoWindowLayout::BuildGrid(int rows, int columns) {
    m_rows = rows;
    m_columns = columns;
    m_separators.clear();
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c < columns; ++c)
            m_separators[HorizontalId(r, c)] = Separator{};
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c)
            m_separators[VerticalId(r, c)] = Separator{};
}

bool CQTVideoWindowLayout::Label() {
    const int units = m_rows * m_columns;
    std::vector<int> parent(size_t(units), 0);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int a) {
        while (parent[size_t(a)] != a)
            a = parent[size_t(a)] = parent[size_t(parent[size_t(a)])];
        return a;
    };
    auto unite = [&](int a, int b) {
        a = find(a);
        b = find(b);
        parent[size_t(std::max(a, b))] = std::min(a, b);
    };
    for (const auto& [id, sep] : m_separators) {
        if (sep.active)
            continue;
        const int r = RowOf(id);
        const int c = ColumnOf(id);
        unite(r * m_columns + c, IsVertical(id) ? r * m_columns + c + 1 : (r + 1) * m_columns + c);
    }
    // Cells are numbered by the row-major position of their top-left unit.
    std::vector<int> cellOfRoot(size_t(units), -1);
    std::vector<int> cell(size_t(units), -1);
    int count = 0;
    for (int i = 0; i < units; ++i) {
        int& label = cellOfRoot[size_t(find(i))];
        if (label < 0)
            label = count++;
        cell[size_t(i)] = label;
    }
    // Rectangular: each cell's unit count equals the area of its unit bounding box.
    std::vector<std::array<int, 5>> box(size_t(count), {m_rows, m_columns, -1, -1, 0});
    for (int i = 0; i < units; ++i) {
        auto& b = box[size_t(cell[size_t(i)])];
        const int r = i / m_columns;
        const int c = i % m_columns;
        b = {std::min(b[0], r), std::min(b[1], c), std::max(b[2], r), std::max(b[3], c), b[4] + 1};
    }
    for (const auto& b : box)
        if ((b[2] - b[0] + 1) * (b[3] - b[1] + 1) != b[4])
            return false;
    m_count = count;
    m_unitCell = std::move(cell);
    // A band inside a merged cell (reached through other units) is inactive too.
    for (auto& [id, sep] : m_separators) {
        const int r = RowOf(id);
        const int c = ColumnOf(id);
        const int other = IsVertical(id) ? CellOfUnit(r, c + 1) : CellOfUnit(r + 1, c);
        sep.active = CellOfUnit(r, c) != other ? 1 : 0;
    }
    return true;
}

int CQTVideoWindowLayout::CellOfUnit(int row, int column) const {
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return -1;
    const size_t unit = size_t(row) * size_t(m_columns) + size_t(column);
    return unit < m_unitCell.size() ? m_unitCell[unit] : -1;
}

void CQTVideoWindowLayout::LayOut() {
    const int uw = m_width / m_columns;
    const int uh = m_height / m_rows;
    const int extraW = m_width % m_columns;
    const int extraH = m_height % m_rows;
    for (auto& [id, sep] : m_separators) {
        const int r = RowOf(id);
        const int c = ColumnOf(id);
        if (IsVertical(id)) {
            sep.rect = {(c + 1) * uw - 5, r * uh, (c + 1) * uw + 4,
                        (r + 1) * uh - 1 + (r == m_rows - 1 ? extraH : 0)};
        } else {
            sep.rect = {c * uw, (r + 1) * uh - 5,
                        (c + 1) * uw - 1 + (c == m_columns - 1 ? extraW : 0), (r + 1) * uh + 4};
        }
        sep.rect = Fitted(sep.rect, m_width, m_height);
    }
    m_cells.clear();
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const Rect unit =
                Fitted({c * uw, r * uh, c * uw + uw - 1 + (c == m_columns - 1 ? extraW : 0),
                        r * uh + uh - 1 + (r == m_rows - 1 ? extraH : 0)},
                       m_width, m_height);
            const int index = CellOfUnit(r, c);
            auto [it, fresh] = m_cells.try_emplace(index, unit);
            if (!fresh) {
                Rect& cell = it->second;
                cell = {std::min(cell.left, unit.left), std::min(cell.top, unit.top),
                        std::max(cell.right, unit.right), std::max(cell.bottom, unit.bottom)};
            }
        }
    }
    for (auto& [id, rect] : m_selection)
        rect = m_separators[id].rect;
}

bool CQTVideoWindowLayout::Apply(std::string_view text) {
    const auto fields = Split(text, '/');
    if (fields.size() != 6)
        return false;
    int rows = 0;
    int columns = 0;
    int count = 0;
    int canvas[2] = {0, 0};
    if (!Number(fields[0], rows) || !Number(fields[1], columns) || !Number(fields[2], count) ||
        !Numbers(fields[3], canvas, 2))
        return false;
    if (rows < 1 || columns < 1 || rows > kMaxGridSide || columns > kMaxGridSide || canvas[0] < 1 ||
        canvas[1] < 1 || canvas[0] > kMaxCanvasSide || canvas[1] > kMaxCanvasSide)
        return false;

    CQTVideoWindowLayout next;
    next.BuildGrid(rows, columns);
    std::map<int, int> seen;
    if (!fields[4].empty()) {
        for (std::string_view item : Split(fields[4], '-')) {
            int v[6];
            if (!Numbers(item, v, 6) || v[1] > 1 || !next.m_separators.contains(v[0]) ||
                !seen.emplace(v[0], v[1]).second)
                return false;
            next.m_separators[v[0]].active = v[1];
        }
    }
    if (!fields[5].empty()) {
        for (std::string_view item : Split(fields[5], '-')) {
            int v[4];
            if (!Numbers(item, v, 4))
                return false;
        }
    }
    if (!next.Label())
        return false;
    next.m_width = canvas[0];
    next.m_height = canvas[1];
    next.LayOut();
    *this = std::move(next);
    return true;
}

std::string CQTVideoWindowLayout::Serialize() const {
    std::string out;
    Append(out, {m_rows});
    out += '/';
    Append(out, {m_columns});
    out += '/';
    Append(out, {m_count});
    out += '/';
    Append(out, {m_width, m_height});
    out += '/';
    bool first = true;
    for (const auto& [id, sep] : m_separators) {
        if (!first)
            out += '-';
        Append(out, {id, sep.active, sep.rect.left, sep.rect.top, sep.rect.right, sep.rect.bottom});
        first = false;
    }
    out += '/';
    first = true;
    for (const auto& [index, r] : m_cells) {
        if (!first)
            out += '-';
        Append(out, {r.left, r.top, r.right, r.bottom});
        first = false;
    }
    return out;
}

void CQTVideoWindowLayout::Resize(int width, int height) {
    if ((width == m_width && height == m_height) || width < 1 || height < 1 ||
        width > kMaxCanvasSide || height > kMaxCanvasSide)
        return;
    m_width = width;
    m_height = height;
    LayOut();
}

bool CQTVideoWindowLayout::SetRows(int rows) {
    if (rows == m_rows || rows < 1 || rows > kMaxGridSide)
        return false;
    BuildGrid(rows, m_columns);
    m_selection.clear();
    Label();
    LayOut();
    return true;
}

bool CQTVideoWindowLayout::SetColumns(int columns) {
    if (columns == m_columns || columns < 1 || columns > kMaxGridSide)
        return false;
    BuildGrid(m_rows, columns);
    m_selection.clear();
    Label();
    LayOut();
    return true;
}

bool CQTVideoWindowLayout::ClickSeparator(int x, int y) {
    m_selection.clear();
    int clicked = -1;
    for (const auto& [id, sep] : m_separators) {
        if (sep.rect.Contains(x, y)) {
            clicked = id;
            break;
        }
    }
    if (clicked < 0)
        return false;

    // Unit bounding boxes of the cells: {top row, left column, bottom row, right column}.
    std::map<int, std::array<int, 4>> boxes;
    for (size_t unit = 0; unit < m_unitCell.size(); ++unit) {
        const int r = int(unit) / m_columns;
        const int c = int(unit) % m_columns;
        auto [it, fresh] = boxes.try_emplace(m_unitCell[unit], std::array<int, 4>{r, c, r, c});
        auto& b = it->second;
        b = {std::min(b[0], r), std::min(b[1], c), std::max(b[2], r), std::max(b[3], c)};
    }
    const int r = RowOf(clicked);
    const int c = ColumnOf(clicked);
    const int nr = IsVertical(clicked) ? r : r + 1;
    const int nc = IsVertical(clicked) ? c + 1 : c;
    auto inside = [](const std::array<int, 4>& b, int row, int column) {
        return row >= b[0] && row <= b[2] && column >= b[1] && column <= b[3];
    };

    std::vector<int> flips;
    if (m_separators[clicked].active) {
        // Merge: the bounding box of both cells, grown until no cell straddles its border.
        const auto& a = boxes[CellOfUnit(r, c)];
        const auto& b = boxes[CellOfUnit(nr, nc)];
        std::array<int, 4> box{std::min(a[0], b[0]), std::min(a[1], b[1]), std::max(a[2], b[2]),
                               std::max(a[3], b[3])};
        for (bool grown = true; grown;) {
            grown = false;
            for (const auto& [cell, cb] : boxes) {
                const bool overlaps =
                    cb[0] <= box[2] && cb[2] >= box[0] && cb[1] <= box[3] && cb[3] >= box[1];
                const bool contained =
                    cb[0] >= box[0] && cb[2] <= box[2] && cb[1] >= box[1] && cb[3] <= box[3];
                if (overlaps && !contained) {
                    box = {std::min(box[0], cb[0]), std::min(box[1], cb[1]),
                           std::max(box[2], cb[2]), std::max(box[3], cb[3])};
                    grown = true;
                }
            }
        }
        for (const auto& [id, sep] : m_separators) {
            const int sr = RowOf(id);
            const int sc = ColumnOf(id);
            const int tr = IsVertical(id) ? sr : sr + 1;
            const int tc = IsVertical(id) ? sc + 1 : sc;
            if (sep.active && inside(box, sr, sc) && inside(box, tr, tc))
                flips.push_back(id);
        }
    } else {
        // Split: the band's whole grid line across its cell becomes active.
        const auto& box = boxes[CellOfUnit(r, c)];
        if (IsVertical(clicked)) {
            for (int row = box[0]; row <= box[2]; ++row)
                flips.push_back(VerticalId(row, c));
        } else {
            for (int column = box[1]; column <= box[3]; ++column)
                flips.push_back(HorizontalId(r, column));
        }
    }
    for (int id : flips) {
        Separator& sep = m_separators[id];
        sep.active = sep.active ? 0 : 1;
        m_selection[id] = sep.rect;
    }
    Label();
    LayOut();
    return true;
}

namespace {

struct Block {
    int row;
    int column;
    int side;
};

std::string DesignTemplate(int n, std::initializer_list<Block> merged) {
    if (n == 1)
        return "1/1/1/400:300//0:0:400:300";
    std::map<int, int> flags;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            if (r + 1 < n)
                flags[CQTVideoWindowLayout::HorizontalId(r, c)] = 1;
            if (c + 1 < n)
                flags[CQTVideoWindowLayout::VerticalId(r, c)] = 1;
        }
    }
    for (const Block& b : merged) {
        for (int r = b.row; r < b.row + b.side; ++r) {
            for (int c = b.column; c < b.column + b.side; ++c) {
                if (r + 1 < b.row + b.side)
                    flags[CQTVideoWindowLayout::HorizontalId(r, c)] = 0;
                if (c + 1 < b.column + b.side)
                    flags[CQTVideoWindowLayout::VerticalId(r, c)] = 0;
            }
        }
    }
    // Lay the result out on the design canvas with the documentation's rectangles: bands ten
    // units thick centred on the grid lines, cells from grid line to grid line.
    const int uw = 400 / n;
    const int uh = 300 / n;
    std::string separators;
    bool first = true;
    auto addBand = [&](int id, int flag) {
        const int r = RowOf(id);
        const int c = ColumnOf(id);
        separators += first ? "" : "-";
        first = false;
        if (IsVertical(id))
            Append(separators,
                   {id, flag, (c + 1) * uw - 5, r * uh, (c + 1) * uw + 5, (r + 1) * uh});
        else
            Append(separators,
                   {id, flag, c * uw, (r + 1) * uh - 5, (c + 1) * uw, (r + 1) * uh + 5});
    };
    for (auto it = flags.rbegin(); it != flags.rend(); ++it)
        if (!IsVertical(it->first))
            addBand(it->first, it->second);
    for (auto it = flags.rbegin(); it != flags.rend(); ++it)
        if (IsVertical(it->first))
            addBand(it->first, it->second);

    CQTVideoWindowLayout cells;
    cells.Apply(std::to_string(n) + "/" + std::to_string(n) + "/0/400:300/" + separators + "/");
    std::map<int, std::array<int, 4>> boxes;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            auto [it, fresh] =
                boxes.try_emplace(cells.CellOfUnit(r, c), std::array<int, 4>{r, c, r, c});
            auto& b = it->second;
            b = {std::min(b[0], r), std::min(b[1], c), std::max(b[2], r), std::max(b[3], c)};
        }
    }
    std::string cellText;
    first = true;
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
        const auto& b = it->second;
        cellText += first ? "" : "-";
        first = false;
        Append(cellText, {b[1] * uw, b[0] * uh, (b[3] + 1) * uw, (b[2] + 1) * uh});
    }
    return std::to_string(n) + "/" + std::to_string(n) + "/" + std::to_string(cells.CellCount()) +
           "/400:300/" + separators + "/" + cellText;
}

}  // namespace

const char* GetDefaultLayout(int type) {
    static const std::array<std::string, 10> templates = {
        DesignTemplate(1, {}),          DesignTemplate(2, {}),
        DesignTemplate(3, {{0, 0, 2}}), DesignTemplate(4, {{0, 0, 3}}),
        DesignTemplate(3, {}),          DesignTemplate(4, {{1, 1, 2}}),
        DesignTemplate(4, {}),          DesignTemplate(6, {{0, 0, 3}, {0, 3, 3}}),
        DesignTemplate(5, {}),          DesignTemplate(6, {}),
    };
    if (type < 0 || type >= int(templates.size()))
        return nullptr;
    return templates[size_t(type)].c_str();
}
