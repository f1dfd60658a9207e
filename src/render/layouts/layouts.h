// Layouts 2, 5, 6, 7, 8 (pictures in a column beside the text, optionally
// framed like a two-cell table) and layout 3 (products in a grid of cells).
#pragma once

#include <cstdint>

#include "render/render.h"

namespace render {

// The renderer of slot PaintToCanvasLayout2. `bildmode` puts the picture
// column left (0), right (1), right on odd and left on even pages (2) or
// the other way round (3); other values count as 0. Layout 5 is bildmode 0
// with the session's SecondPictureBelowText set: the second picture then
// stands below the description instead of in the column.
bool PaintToCanvasLayout2(RenderSession& s, const RenderParams& p, int32_t bildmode);

// The renderer of slot PaintToCanvasLayout3 (`bildmode` is unused). Pads
// every name to the largest name line count of the previous call
// (maxlinesforcaptionlasttime) and repeats the layout once when the count
// it finds differs; only the final run draws.
bool PaintToCanvasLayout3(RenderSession& s, const RenderParams& p, int32_t bildmode);

}  // namespace render
