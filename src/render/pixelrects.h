// The pixel areas of the pen rules every surface shares (see surface.h):
// a frame's four sides and a geometric pen's axis lines. Surfaces that draw
// them as filled areas (the QPainter surfaces, the vector PDF) take the
// areas from here, so they cover exactly the same pixels.
#pragma once

#include <cstdint>

namespace render {

struct PixelRect {
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // x1 <= x < x2, y1 <= y < y2
};

// The frame through the pixel centres of (x1, y1) and (x2 - 1, y2 - 1) with
// a pen `w` pixels wide (at least 1), w / 2 of them outside: top, bottom,
// left and right side.
inline void FrameSides(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, PixelRect out[4]) {
  const int64_t pw = w < 1 ? 1 : w, lo = pw / 2;
  const int64_t left = x1 - lo, top = y1 - lo;
  const int64_t right = x2 - 1 - lo + pw, bottom = y2 - 1 - lo + pw;  // exclusive
  out[0] = {left, top, right, top + pw};
  out[1] = {left, y2 - 1 - lo, right, y2 - 1 - lo + pw};
  out[2] = {left, top, left + pw, bottom};
  out[3] = {x2 - 1 - lo, top, x2 - 1 - lo + pw, bottom};
}

// A horizontal or vertical line of a geometric pen `w` pixels wide as an
// area: a flat end stops at the end point (which is not covered), a square
// end reaches half the width beyond both points. False for other lines.
inline bool AxisLineArea(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, bool square,
                         PixelRect& out) {
  if (x1 != x2 && y1 != y2) return false;
  const int64_t lo = w / 2, hi = w - lo;
  auto span = [&](int64_t a, int64_t b, int64_t& from, int64_t& to) {
    if (a <= b) {
      from = a - (square ? lo : 0);
      to = b + (square ? hi : 0);
    } else {
      from = b + 1 - (square ? hi : 0);
      to = a + 1 + (square ? lo : 0);
    }
  };
  if (y1 == y2) {
    span(x1, x2, out.x1, out.x2);
    out.y1 = y1 - lo;
    out.y2 = out.y1 + w;
  } else {
    span(y1, y2, out.y1, out.y2);
    out.x1 = x1 - lo;
    out.x2 = out.x1 + w;
  }
  return true;
}

}  // namespace render
