// The variant table inside a layout-3 cell: column widths limited to the
// cell, and a table wider than the cell drawn in bands of consecutive
// columns, each band a complete table below the previous one.
#pragma once

#include <cstdint>
#include <string>

#include "core/records.h"
#include "render/render.h"

namespace render {

// Lays out (pass 0) or lays out and draws (pass 1, on the drawn page) the
// table of `prod` in the cell whose left edge is x0 px and whose width is
// cellmm. Measured column widths are limited to length(cellmm); fixed
// widths are taken as they are. A column after a band's first one joins
// the band only while its right end (width + 3 pads) stays left of the
// cell's exact right edge. Rows break across pages in pass 1 (with
// `katname`). Leaves st.y below the last band; DonotShowVariantsCheck gives
// no table and no space.
void DrawCellVariantTable(RenderPass& pass, PageState& st, Product& prod, int32_t x0, double cellmm,
                          int32_t passnr, const std::u16string& katname);

}  // namespace render
