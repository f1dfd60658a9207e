// Picture drawing: one routine scales a source rectangle of a dib onto a
// rectangle of the surface, clipping a source that reaches outside the
// picture.
#pragma once

#include <cstdint>

#include "imaging/dib/dib.h"
#include "render/surface.h"

class Feedback;

namespace render {

// Draws (sx, sy, sw, sh) of `pic` (sy counted from the bottom row) onto
// (dx, dy, dw, dh). On bitmaps and screens: exact nearest-neighbour row
// transfer (destination pixel (i, k) shows source column sx + sw * i div dw
// and top row (H - sy - sh) + sh * k div dh). On printers, and for pictures
// of other depths: the device's own stretched transfer, with fallbacks.
// `halftone` would matter only on screens of at most 8 bits, which no
// platform the program runs on has; it changes nothing. `fb`, if set,
// hears about a device that refuses every transfer. Unloaded pictures and
// empty rectangles draw nothing.
void DrawDib(DrawingSurface& dev, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
             int32_t sy, int32_t sw, int32_t sh, bool halftone, Feedback* fb = nullptr);

// The whole picture onto (dx, dy, dw, dh).
inline void DrawDibWhole(DrawingSurface& dev, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic,
                         bool halftone, Feedback* fb = nullptr) {
  DrawDib(dev, dx, dy, dw, dh, pic, 0, 0, pic.width, pic.height, halftone, fb);
}

// Row transfer of an (already clipped) source rectangle: 24- or 8-bit
// pictures only.
void RowTransfer(DrawingSurface& dev, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic,
                 int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// Nearest-neighbour resample of (sx, sy, sw, sh) into a new dw x dh picture
// of the same depth and colour table (source column sx + (sw - 1) * i div
// (dw - 1)). False if it cannot be allocated.
bool ResampleNearest(const dib& pic, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t dw, int32_t dh,
                     dib& out);

}  // namespace render
