// A drawing surface for tests: fixed, simple text metrics and a record of
// every drawing call, optionally painted into a 24-bit dib so tests can
// look at pixels. Layout tests can compute every position exactly:
//   pixel size   = points * ppi / 72 (rounded)
//   advance      = pixel size / 2 (integer) for every character, control
//                  characters included
//   text height  = Round(1.2 * pixel size), whatever the text
// FixedMeasurer applies the same metrics at 300 ppi.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "imaging/dib/dib.h"
#include "render/measure.h"
#include "render/pictureloader.h"
#include "render/surface.h"

namespace testsupport {

int32_t FixedPixelSize(int32_t points, int32_t ppi);
int32_t FixedAdvance(int32_t pixelsize);
int32_t FixedHeight(int32_t pixelsize);

class FixedMeasurer : public render::TextMeasurer {
 public:
  int32_t TextWidthPx(const TFontSpec& font, const std::u16string& text) override;
  int32_t TextHeightPx(const TFontSpec& font, const std::u16string& text) override;
  render::WidthLaw Law() const override { return law; }
  bool HeightOfFontOnly() const override { return true; }
  render::WidthLaw law = render::WidthLaw::Additive;
  uint64_t calls = 0;
};

// Pictures by file name, held in memory; counts every request.
class MemoryPictureLoader : public render::PictureLoader {
 public:
  bool Load(const std::u16string& filename, dib& out) override;
  bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) override;
  std::map<std::u16string, dib> files;
  int loads = 0, sizequeries = 0;
};

struct SurfaceOp {
  enum Kind { Text, Fill, Frame, Line, Arc, Stretch, DibRow, DibBlock, Copy } kind = Text;
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Text/Copy/DibRow: x1, y1 only
  int32_t x3 = 0, y3 = 0, x4 = 0, y4 = 0;  // Arc rays; Stretch: source rect
  std::u16string text;
  TColor color = 0;  // Fill colour; Text: font colour
  TFontSpec font;
  render::PenState pen;
  render::BrushState brush;
  bool opaque = false;  // Text: background painted
};

class RecordingSurface : public render::DrawingSurface {
 public:
  RecordingSurface() = default;
  // With a canvas: fills, frames (1 px), row and block transfers and
  // stretched transfers are painted into a white 24-bit picture.
  RecordingSurface(int32_t width, int32_t height);

  int32_t TextWidth(const std::u16string& s) override;
  int32_t TextHeight(const std::u16string& s) override;

  bool IsRasterPrinter() const override { return printer; }
  bool Extent(int32_t& w, int32_t& h) const override;
  bool StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx, int32_t sy,
                  int32_t sw, int32_t sh) override;
  void SetDibRow(int32_t x, int32_t y, const dib& row) override;
  bool SetDibBlock(int32_t x, int32_t y, const dib& block) override;
  void CopyBitmap(int32_t x, int32_t y, const dib& bmp) override;

  bool printer = false;
  bool stretchfails = false;
  bool blockfails = false;

  std::vector<SurfaceOp> ops;
  dib canvas;  // empty without a canvas

  // Pixel of the canvas as 0x00BBGGRR.
  uint32_t Pixel(int32_t x, int32_t y) const { return getcolor(canvas, x, y); }
  std::vector<SurfaceOp> OfKind(SurfaceOp::Kind k) const;
  // The text operations in order, and the first one showing `text`.
  std::vector<SurfaceOp> Texts() const { return OfKind(SurfaceOp::Text); }
  const SurfaceOp* FindText(const std::u16string& text) const;
  void Clear() { ops.clear(); }

 protected:
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override;
  void DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) override;
  void DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
             int32_t y4) override;

 private:
  SurfaceOp Make(SurfaceOp::Kind k) const;
  void Paint(int32_t x, int32_t y, uint32_t color);
};

}  // namespace testsupport
