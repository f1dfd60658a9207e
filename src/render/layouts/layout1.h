// Layouts 1 and 4: pictures in rows on top, then the description in
// newspaper columns (layout 4: one column, pictures left-aligned), then the
// variant table. Each product is placed in two passes: pass 0 measures and
// may move the product to the next page, pass 1 retraces it and draws.
#pragma once

#include <cstdint>

#include "render/render.h"

namespace render {

// The renderer of layout 1, and of layout 4 with the entry's
// froceOnlyOneColumnCheck. Lays out the whole catalog, draws the requested
// page, sets anzpages, lastkat, the page numbers of categories and products,
// the cached picture sizes and default category options; returns whether
// pages follow the requested one. The entry's bildmode is unused.
bool PaintToCanvas(RenderSession& s, const RenderParams& p, const LayoutEntry& layout);

}  // namespace render
