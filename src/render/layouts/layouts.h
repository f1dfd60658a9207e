// The table of every layout and the entry points that draw with a layout
// chosen by its index. Layouts 1 and 4 are render/layouts/layout1; layouts
// 2, 5, 6, 7, 8 (pictures in a column beside the text, optionally framed
// like a two-cell table) and layout 3 (products in a grid of cells) follow.
#pragma once

#include <cstdint>
#include <iterator>

#include "render/layouts/layout1.h"
#include "render/render.h"

namespace render {

// The renderer of layouts 2 and 5-8: the entry's bildmode places the picture
// column (other values than 0 ... 3 count as 0); with the entry's
// SecondPictureBelowText (layout 5) the second picture stands below the
// description instead of in the column.
bool PaintToCanvasLayout2(RenderSession& s, const RenderParams& p, const LayoutEntry& layout);

// The renderer of layout 3 (the entry's variations are unused). Pads every
// name to the largest name line count of the previous call
// (maxlinesforcaptionlasttime) and repeats the layout once when the count it
// finds differs; only the final run draws.
bool PaintToCanvasLayout3(RenderSession& s, const RenderParams& p, const LayoutEntry& layout);

// Every layout in the order of the window's list: index i is LayoutCombo i
// and --layout i + 1. A new layout is a new row (and its renderer).
inline constexpr LayoutEntry kLayouts[] = {
    {1, "1 - Bilder oben, dann Text, Zeitungsspalten", PaintToCanvas, 0, false, false},
    {2, "2 - Bilder links Text rechts", PaintToCanvasLayout2, 0, false, false},
    {3, "3 - je mehrere Produkte nebeneinander", PaintToCanvasLayout3, 0, false, false},
    {4, "4 - wie Layout 1 aber ohne Zeitungsspalten, Bilder linksbündig", PaintToCanvas, 0, true, false},
    {5, "5 - wie Layout 2 aber das 2. Bild erscheint unter dem Text", PaintToCanvasLayout2, 0, false, true},
    {6, "6 - Bilder rechts Text links", PaintToCanvasLayout2, 1, false, false},
    {7, "7 - Bilder und Text auf jeder Seite wechselnd rechts/links", PaintToCanvasLayout2, 2, false, false},
    {8, "8 - Bilder und Text auf jeder Seite wechselnd links/rechts", PaintToCanvasLayout2, 3, false, false},
};
inline constexpr int32_t kLayoutCount = static_cast<int32_t>(std::size(kLayouts));

namespace detail {
constexpr bool NumberedInOrder() {
  for (int32_t i = 0; i < kLayoutCount; ++i)
    if (kLayouts[i].number != i + 1 || !kLayouts[i].renderer || !kLayouts[i].name) return false;
  return true;
}
}  // namespace detail
static_assert(detail::NumberedInOrder(), "layouts are numbered 1, 2, ... in the order of the table");

// The layout of `layoutindex` (0 = layout 1); an index outside the table
// gives layout 1.
const LayoutEntry& LayoutAt(int32_t layoutindex);

// Renders a page with the layout of `layoutindex` (an index outside the
// table renders as layout 1); false without a surface.
bool RenderLayout(RenderSession& s, const RenderParams& p, int32_t layoutindex);
// The same with the document's LayoutCombo.
bool RenderCatalogPage(RenderSession& s, const RenderParams& p);
// Every page of the catalog (render/render.h) with the layout of
// `layoutindex`; -1: the document's LayoutCombo.
AllPagesResult RenderAllPages(RenderSession& s, const RenderParams& p, PageSink& sink,
                              int32_t layoutindex = -1);

}  // namespace render
