// The table of contents: categories (main categories flush left in
// FontDialog11, the others indented in FontDialog1) and optionally their
// products, with page numbers right-aligned and dot leaders on a grid of
// dot widths, so the leaders of all lines align.
#pragma once

#include <cstdint>

#include "render/render.h"

namespace render {

// Lists the entries for the contents category with list index `tocindex`
// (options: tocallcategories, tocsubcategoriesonly, tocnocategories,
// tocwithproducts; listed entries' notintoc / deactivated). Expects
// FontDialog11 selected and st.x = leftpx; leaves st.y on the line after the
// last entry (the caller adds one line height). Breaks pages with the name
// of the entry being listed. Page numbers are those stored by the previous
// pass (categories without options show none).
void DrawTableOfContents(RenderPass& pass, PageState& st, int32_t tocindex);

// The x positions of the dot leaders of one line: the first multiple of
// `dotw` at or after `start` while position + dotw < stop. Exposed for
// layouts that draw their own listing lines.
void DrawDotLeaders(RenderPass& pass, int32_t startpx, int32_t stoppx, int32_t y);

}  // namespace render
