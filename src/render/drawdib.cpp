#include "render/drawdib.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "project/feedback.h"
#include "render/units.h"

namespace render {

namespace {

int32_t RoundRatio(double a, double b, double c) { return RoundEven(a * b / c); }

const uint8_t* BottomRow(const dib& d, int32_t r) {
  return d.pixels.data() + static_cast<size_t>(r) * d.bytew;
}
uint8_t* BottomRow(dib& d, int32_t r) { return d.pixels.data() + static_cast<size_t>(r) * d.bytew; }

uint32_t GetBottom(const dib& d, int32_t x, int32_t r) { return getpixel(d, x, d.height - 1 - r); }
void SetBottom(dib& d, int32_t x, int32_t r, uint32_t v) { setpixel(d, x, d.height - 1 - r, v); }

}  // namespace

void RowTransfer(DrawingSurface& dev, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic,
                 int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (!pic.loaded() || (pic.bitcount != 24 && pic.bitcount != 8)) return;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int32_t W = pic.width, H = pic.height;
  // Only the part that lands on the surface is transferred; the pixels it
  // shows are those of the full mapping.
  int64_t i0 = 0, i1 = dw, k0 = 0, k1 = dh;
  int32_t ew = 0, eh = 0;
  if (dev.Extent(ew, eh)) {
    i0 = std::max<int64_t>(0, -static_cast<int64_t>(dx));
    i1 = std::min<int64_t>(dw, static_cast<int64_t>(ew) - dx);
    k0 = std::max<int64_t>(0, -static_cast<int64_t>(dy));
    k1 = std::min<int64_t>(dh, static_cast<int64_t>(eh) - dy);
  }
  if (i0 >= i1 || k0 >= k1) return;
  const int32_t vw = static_cast<int32_t>(i1 - i0);
  dib row;
  if (!newdib(row, vw, 1, pic.bitcount, pic.palette.data(), static_cast<int>(pic.palette.size()))) return;
  const int bpp = pic.bitcount / 8;
  // Column map; -1 marks a column outside the picture (left black).
  std::vector<int32_t> map(static_cast<size_t>(vw));
  for (int32_t i = 0; i < vw; ++i) {
    const int64_t m = sx + static_cast<int64_t>(sw) * (i0 + i) / dw;
    map[i] = (m < 0 || m >= W) ? -1 : static_cast<int32_t>(m);
  }
  int64_t prev = -1;
  bool prev_valid = false;
  for (int64_t k = k0; k < k1; ++k) {
    const int64_t r = static_cast<int64_t>(H - sy - sh) + static_cast<int64_t>(sh) * k / dh;
    uint8_t* out = row.pixels.data();
    if (r < 0 || r >= H) {
      std::memset(out, 0, row.pixels.size());
      prev_valid = false;
    } else if (!prev_valid || r != prev) {
      const uint8_t* src = pic.toprow(static_cast<int32_t>(r));
      // Fixed-size copies: a page-wide picture is copied pixel by pixel.
      if (bpp == 3) {
        for (int32_t i = 0; i < vw; ++i)
          if (map[i] >= 0)
            std::memcpy(out + static_cast<size_t>(i) * 3, src + static_cast<size_t>(map[i]) * 3, 3);
      } else {
        for (int32_t i = 0; i < vw; ++i)
          if (map[i] >= 0) out[i] = src[map[i]];
      }
      prev = r;
      prev_valid = true;
    }
    dev.SetDibRow(static_cast<int32_t>(dx + i0), static_cast<int32_t>(dy + k), row);
  }
}

bool ResampleNearest(const dib& pic, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t dw, int32_t dh,
                     dib& out) {
  deldib(out);
  if (!pic.loaded() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return false;
  if (!newdib(out, dw, dh, pic.bitcount, pic.palette.data(), static_cast<int>(pic.palette.size())))
    return false;
  std::vector<int32_t> cols(static_cast<size_t>(dw));
  for (int32_t i = 0; i < dw; ++i)
    cols[i] = dw == 1 ? 0 : static_cast<int32_t>(sx + static_cast<int64_t>(sw - 1) * i / (dw - 1));
  for (int32_t k = 0; k < dh; ++k) {
    // Rows counted from the bottom, as the source rectangle is.
    const int32_t r = dh == 1 ? 0 : static_cast<int32_t>(sy + static_cast<int64_t>(sh - 1) * k / (dh - 1));
    if (r < 0 || r >= pic.height) continue;
    if (pic.bitcount == 24 || pic.bitcount == 8) {
      const int bpp = pic.bitcount / 8;
      const uint8_t* src = BottomRow(pic, r);
      uint8_t* dst = BottomRow(out, k);
      for (int32_t i = 0; i < dw; ++i)
        if (cols[i] >= 0 && cols[i] < pic.width)
          std::memcpy(dst + static_cast<size_t>(i) * bpp, src + static_cast<size_t>(cols[i]) * bpp, bpp);
    } else {
      // 1- and 4-bit pixels through the pixel operations.
      for (int32_t i = 0; i < dw; ++i) SetBottom(out, i, k, GetBottom(pic, cols[i], r));
    }
  }
  return true;
}

void DrawDib(DrawingSurface& dev, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
             int32_t sy, int32_t sw, int32_t sh, bool /*halftone*/, Feedback* fb) {
  if (!pic.loaded() || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const bool printer = dev.IsRasterPrinter();
  const int32_t W = pic.width, H = pic.height;

  // Clip the source to the picture, scaling the destination in proportion.
  if (static_cast<int64_t>(sx) + sw > W) {
    const int32_t n = W - sx;
    dw = RoundRatio(dw, n, sw);
    sw = n;
  }
  if (sw <= 0) return;
  if (sy < 0) {
    dh = RoundRatio(dh, static_cast<double>(sh) + sy, sh);
    sh = sh + sy;
    sy = 0;
  }
  if (sh <= 0) return;
  if (static_cast<int64_t>(sy) + sh > H) {
    const int32_t n = H - sy;
    const int32_t t = RoundRatio(dh, n, sh);
    dy = dy + dh - t;
    dh = t;
    sh = n;
  }
  if (sh <= 0) return;
  if (sx < 0) {
    const int32_t t = RoundRatio(static_cast<double>(sx) + sw, dw, sw);
    dx = dx + dw - t;
    dw = t;
    sw = sw + sx;
    sx = 0;
  }
  if (sw <= 0 || dw <= 0 || dh <= 0) return;

  if ((pic.bitcount == 24 || pic.bitcount == 8) && !printer) {
    RowTransfer(dev, dx, dy, dw, dh, pic, sx, sy, sw, sh);
    return;
  }

  if (dev.StretchDib(dx, dy, dw, dh, pic, sx, sy, sw, sh)) return;
  // The device refused the stretched transfer: scale here and hand it the
  // finished block.
  dib block;
  if (!ResampleNearest(pic, sx, sy, sw, sh, dw, dh, block)) {
    if (fb) fb->ShowMessage(u"Could not create bitmap.", u"", MessageIcon::Error);
    return;
  }
  if (dev.SetDibBlock(dx, dy, block)) return;
  if (fb) fb->ShowMessage(u"The device does not support the function StretchBlt!", u"", MessageIcon::Error);
}

}  // namespace render
