#include "support/recording_surface.h"

#include <algorithm>

#include "render/units.h"

namespace testsupport {

int32_t FixedPixelSize(int32_t points, int32_t ppi) {
  return static_cast<int32_t>((static_cast<int64_t>(points) * ppi + 36) / 72);
}
int32_t FixedAdvance(int32_t pixelsize) { return pixelsize / 2; }
int32_t FixedHeight(int32_t pixelsize) { return (pixelsize * 12 + 5) / 10; }

int32_t FixedMeasurer::TextWidthPx(const TFontSpec& font, const std::u16string& text) {
  ++calls;
  return static_cast<int32_t>(text.size()) * FixedAdvance(FixedPixelSize(font.size, render::kMeasurePpi));
}
int32_t FixedMeasurer::TextHeightPx(const TFontSpec& font, const std::u16string&) {
  ++calls;
  return FixedHeight(FixedPixelSize(font.size, render::kMeasurePpi));
}

bool MemoryPictureLoader::Load(const std::u16string& filename, dib& out) {
  ++loads;
  auto it = files.find(filename);
  if (it == files.end() || !it->second.loaded()) {
    deldib(out);
    return false;
  }
  out = it->second;
  return true;
}

bool MemoryPictureLoader::PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) {
  ++sizequeries;
  width = height = 0;
  auto it = files.find(filename);
  if (it == files.end() || !it->second.loaded()) return false;
  width = it->second.width;
  height = it->second.height;
  return true;
}

RecordingSurface::RecordingSurface(int32_t width, int32_t height) {
  newdib(canvas, width, height, 24);
  for (auto& b : canvas.pixels) b = 0xFF;
}

int32_t RecordingSurface::TextWidth(const std::u16string& s) {
  return static_cast<int32_t>(s.size()) * FixedAdvance(FontPixelSize());
}
int32_t RecordingSurface::TextHeight(const std::u16string&) { return FixedHeight(FontPixelSize()); }

bool RecordingSurface::Extent(int32_t& w, int32_t& h) const {
  if (!canvas.loaded()) return false;
  w = canvas.width;
  h = canvas.height;
  return true;
}

SurfaceOp RecordingSurface::Make(SurfaceOp::Kind k) const {
  SurfaceOp op;
  op.kind = k;
  op.font = Font();
  op.pen = Pen();
  op.brush = Brush();
  op.opaque = TextOpaque();
  return op;
}

void RecordingSurface::Paint(int32_t x, int32_t y, uint32_t color) {
  if (canvas.loaded()) setpixel(canvas, x, y, color);
}

void RecordingSurface::DoTextOut(int32_t x, int32_t y, const std::u16string& s) {
  SurfaceOp op = Make(SurfaceOp::Text);
  op.x1 = x;
  op.y1 = y;
  op.text = s;
  op.color = Font().color;
  ops.push_back(op);
}

void RecordingSurface::DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) {
  SurfaceOp op = Make(SurfaceOp::Fill);
  op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2, op.color = c;
  ops.push_back(op);
  if (!canvas.loaded()) return;
  for (int32_t y = std::max(0, y1); y < std::min(y2, canvas.height); ++y)
    for (int32_t x = std::max(0, x1); x < std::min(x2, canvas.width); ++x) Paint(x, y, c);
}

void RecordingSurface::DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  SurfaceOp op = Make(SurfaceOp::Frame);
  op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2, op.color = Pen().color;
  ops.push_back(op);
  if (!canvas.loaded()) return;
  for (int32_t x = x1; x < x2; ++x) Paint(x, y1, Pen().color), Paint(x, y2 - 1, Pen().color);
  for (int32_t y = y1; y < y2; ++y) Paint(x1, y, Pen().color), Paint(x2 - 1, y, Pen().color);
}

void RecordingSurface::DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  SurfaceOp op = Make(SurfaceOp::Line);
  op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2, op.color = Pen().color;
  ops.push_back(op);
}

void RecordingSurface::DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                             int32_t x4, int32_t y4) {
  SurfaceOp op = Make(SurfaceOp::Arc);
  op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
  op.x3 = x3, op.y3 = y3, op.x4 = x4, op.y4 = y4;
  ops.push_back(op);
}

bool RecordingSurface::StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
                                  int32_t sy, int32_t sw, int32_t sh) {
  SurfaceOp op = Make(SurfaceOp::Stretch);
  op.x1 = dx, op.y1 = dy, op.x2 = dw, op.y2 = dh;
  op.x3 = sx, op.y3 = sy, op.x4 = sw, op.y4 = sh;
  ops.push_back(op);
  if (stretchfails) return false;
  if (!canvas.loaded() || dw <= 0 || dh <= 0) return true;
  // A device of its own: nearest neighbour, same mapping as the rows.
  for (int32_t k = 0; k < dh; ++k)
    for (int32_t i = 0; i < dw; ++i) {
      const int32_t c = sx + static_cast<int32_t>(static_cast<int64_t>(sw) * i / dw);
      const int32_t r = (pic.height - sy - sh) + static_cast<int32_t>(static_cast<int64_t>(sh) * k / dh);
      Paint(dx + i, dy + k, getcolor(pic, c, r));
    }
  return true;
}

void RecordingSurface::SetDibRow(int32_t x, int32_t y, const dib& row) {
  SurfaceOp op = Make(SurfaceOp::DibRow);
  op.x1 = x, op.y1 = y, op.x2 = row.width;
  ops.push_back(op);
  for (int32_t i = 0; i < row.width; ++i) Paint(x + i, y, getcolor(row, i, 0));
}

bool RecordingSurface::SetDibBlock(int32_t x, int32_t y, const dib& block) {
  SurfaceOp op = Make(SurfaceOp::DibBlock);
  op.x1 = x, op.y1 = y, op.x2 = block.width, op.y2 = block.height;
  ops.push_back(op);
  if (blockfails) return false;
  for (int32_t r = 0; r < block.height; ++r)
    for (int32_t i = 0; i < block.width; ++i) Paint(x + i, y + r, getcolor(block, i, r));
  return true;
}

void RecordingSurface::CopyBitmap(int32_t x, int32_t y, const dib& bmp) {
  SurfaceOp op = Make(SurfaceOp::Copy);
  op.x1 = x, op.y1 = y, op.x2 = bmp.width, op.y2 = bmp.height;
  ops.push_back(op);
  for (int32_t r = 0; r < bmp.height; ++r)
    for (int32_t i = 0; i < bmp.width; ++i) Paint(x + i, y + r, getcolor(bmp, i, r));
}

std::vector<SurfaceOp> RecordingSurface::OfKind(SurfaceOp::Kind k) const {
  std::vector<SurfaceOp> out;
  for (const auto& op : ops)
    if (op.kind == k) out.push_back(op);
  return out;
}

const SurfaceOp* RecordingSurface::FindText(const std::u16string& text) const {
  for (const auto& op : ops)
    if (op.kind == SurfaceOp::Text && op.text == text) return &op;
  return nullptr;
}

}  // namespace testsupport
