#include "render/surface.h"

#include <atomic>
#include <utility>

namespace render {

namespace {
// Serials are handed to each thread in blocks, so a font change costs no
// atomic operation.
constexpr uint64_t kSerialBlock = 1 << 16;
std::atomic<uint64_t> g_serial_blocks{0};
thread_local uint64_t t_next_serial = 0, t_serial_end = 0;
}  // namespace

void DrawingSurface::FontChanged() {
  if (t_next_serial == t_serial_end) {
    t_next_serial = g_serial_blocks.fetch_add(1, std::memory_order_relaxed) * kSerialBlock + 1;
    t_serial_end = t_next_serial + kSerialBlock - 1;
  }
  font_serial_ = t_next_serial++;
}

void DrawingSurface::AssignFont(const TFontSpec& font, double em_px) {
  font_ = font;
  em_px_ = em_px;
  FontChanged();
}

DrawingSurface::DrawingSurface() { ResetState(); }

void DrawingSurface::ResetState() {
  font_ = TFontSpec{};
  font_.name = u"Arial";
  font_.size = 10;
  font_.ppi = 96;
  FontChanged();
  pen_ = PenState{};
  brush_ = BrushState{};
  transparent_ = false;
  pos_ = SurfacePoint{};
}
DrawingSurface::~DrawingSurface() = default;

void DrawingSurface::SetFont(const TFontSpec& f) {
  const int32_t ppi = font_.ppi;
  font_ = f;
  font_.ppi = ppi;
  if (font_.size < 1) font_.size = 1;
  em_px_ = 0;
  FontChanged();
}
void DrawingSurface::SetFontSize(int32_t points) {
  font_.size = points < 1 ? 1 : points;
  em_px_ = 0;
  FontChanged();
}
void DrawingSurface::SetFontEmPixels(double px) {
  em_px_ = px > 0 && px < 1e6 ? px : 0;
  FontChanged();
}
void DrawingSurface::SetFontColor(TColor c) {
  font_.color = c;
  FontChanged();
}
void DrawingSurface::SetFontPpi(int32_t ppi) {
  font_.ppi = ppi < 1 ? 1 : ppi;
  em_px_ = 0;
  FontChanged();
}
int32_t DrawingSurface::FontPixelSize() const {
  const int64_t v = static_cast<int64_t>(font_.size) * font_.ppi;
  return static_cast<int32_t>((v + 36) / 72);
}

void DrawingSurface::SetPenColor(TColor c) {
  pen_.color = c;
  pen_.kind = PenKind::Cosmetic;
}
void DrawingSurface::SetPenWidth(int32_t px) {
  pen_.width = px < 0 ? 0 : px;
  pen_.kind = PenKind::Cosmetic;
}
void DrawingSurface::SetPenStyle(PenStyle s) {
  pen_.style = s;
  pen_.kind = PenKind::Cosmetic;
}
void DrawingSurface::SetGeometricPen(bool square_ends) {
  pen_.style = PenStyle::Solid;
  pen_.kind = square_ends ? PenKind::GeometricSquare : PenKind::GeometricFlat;
}

void DrawingSurface::SetBrushColor(TColor c) {
  brush_.color = c;
  brush_.style = BrushStyle::Solid;
  transparent_ = false;
}
void DrawingSurface::SetBrushStyle(BrushStyle s) {
  brush_.style = s;
  transparent_ = false;
}
void DrawingSurface::SetTransparentText() { transparent_ = true; }

void DrawingSurface::TextOut(int32_t x, int32_t y, const std::u16string& s) {
  if (s.empty()) return;
  DoTextOut(x, y, s);
}

void DrawingSurface::MoveTo(int32_t x, int32_t y) { pos_ = {x, y}; }

void DrawingSurface::LineTo(int32_t x, int32_t y) {
  const SurfacePoint from = pos_;
  pos_ = {x, y};
  if (pen_.style == PenStyle::Clear) return;
  // A geometric pen of width 0 still draws one pixel wide, as on the
  // platform's devices; an ordinary pen of width 0 as well.
  DoLine(from.x, from.y, x, y);
}

void DrawingSurface::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const bool pen = pen_.style == PenStyle::Solid;
  if (brush_.style == BrushStyle::Solid) {
    const int32_t fx2 = pen ? x2 : x2 - 1;
    const int32_t fy2 = pen ? y2 : y2 - 1;
    if (x1 < fx2 && y1 < fy2) DoFillRect(x1, y1, fx2, fy2, brush_.color);
  }
  if (pen && x1 < x2 && y1 < y2) DoFrameRect(x1, y1, x2, y2);
}

void DrawingSurface::Arc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                         int32_t y4) {
  if (pen_.style == PenStyle::Clear) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  DoArc(x1, y1, x2, y2, x3, y3, x4, y4);
}

bool DrawingSurface::SetDibBlock(int32_t x, int32_t y, const dib& block) {
  if (!block.loaded() || (block.bitcount != 24 && block.bitcount != 8)) return false;
  dib row;
  if (!newdib(row, block.width, 1, block.bitcount, block.palette.data(),
              static_cast<int>(block.palette.size())))
    return false;
  for (int32_t r = 0; r < block.height; ++r) {
    std::copy(block.toprow(r), block.toprow(r) + block.bytew, row.pixels.begin());
    SetDibRow(x, y + r, row);
  }
  return true;
}

}  // namespace render
