// The layout template text: a text either applies, and the layout's own text then applies again
// to the same layout, or it is refused and the layout stays as it was. Cells of an applied
// layout lie on the canvas and every unit belongs to one.
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "video/QTVideoWindowLayout.h"

namespace {

void CheckLayout(const CQTVideoWindowLayout& l) {
    FUZZ_CHECK(l.Rows() >= 1 && l.Rows() <= CQTVideoWindowLayout::kMaxGridSide);
    FUZZ_CHECK(l.Columns() >= 1 && l.Columns() <= CQTVideoWindowLayout::kMaxGridSide);
    FUZZ_CHECK(l.CellCount() == static_cast<int>(l.Cells().size()));
    for (const auto& [index, cell] : l.Cells()) {
        FUZZ_CHECK(index >= 0 && index < l.CellCount());
        FUZZ_CHECK(cell.left >= 0 && cell.top >= 0);
        FUZZ_CHECK(cell.right < l.Width() && cell.bottom < l.Height());
    }
    for (int r = 0; r < l.Rows(); ++r) {
        for (int c = 0; c < l.Columns(); ++c) {
            const int cell = l.CellOfUnit(r, c);
            FUZZ_CHECK(cell >= 0 && cell < l.CellCount());
        }
    }
}

// The layout's text applies to a fresh layout and reads back unchanged.
void CheckRoundTrip(const CQTVideoWindowLayout& l) {
    const std::string text = l.Serialize();
    CQTVideoWindowLayout again;
    if (!again.Apply(text) || again.Serialize() != text) {
        std::fprintf(stderr, "the layout's own text does not apply to the same layout:\n%s\n%s\n",
                     text.c_str(), again.Serialize().c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CQTVideoWindowLayout layout;
    const std::string before = layout.Serialize();
    if (!layout.Apply(text)) {
        FUZZ_CHECK(layout.Serialize() == before);
        return 0;
    }
    CheckLayout(layout);
    CheckRoundTrip(layout);

    // Editing the applied layout: a resize and a click keep it consistent.
    const int w = size > 0 ? 1 + data[0] * 4 : 400;
    const int h = size > 1 ? 1 + data[1] * 4 : 300;
    layout.Resize(w, h);
    CheckLayout(layout);
    layout.ClickSeparator(w / 2, h / 2);
    CheckLayout(layout);
    CheckRoundTrip(layout);
    return 0;
}
