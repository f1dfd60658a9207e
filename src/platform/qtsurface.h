// The drawing surface on a QPainter. Shapes are drawn without antialiasing,
// pixel for pixel as the catalog's pages expect (rectangles with exclusive
// right and bottom edges, lines without their end point, flat or square
// geometric pen ends); text is antialiased.
//
// QtSurface paints on any QPaintDevice (a page image, a printer, a PDF
// device); ImageSurface owns a page image.
#pragma once

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "platform/largetext.h"
#include "platform/textmetrics.h"
#include "render/surface.h"

namespace platform {

class QtSurface : public render::DrawingSurface {
 public:
  // `device` must outlive the surface. A raster printer scales pictures
  // with the device's own stretched transfer (smoothed).
  QtSurface(QPaintDevice* device, bool raster_printer);
  ~QtSurface() override;

  int32_t TextWidth(const std::u16string& s) override;
  int32_t TextHeight(const std::u16string& s) override;

  bool IsRasterPrinter() const override { return printer_; }

  bool StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx, int32_t sy,
                  int32_t sw, int32_t sh) override;
  void SetDibRow(int32_t x, int32_t y, const dib& row) override;
  bool SetDibBlock(int32_t x, int32_t y, const dib& block) override;
  void CopyBitmap(int32_t x, int32_t y, const dib& bmp) override;

  // Ends painting (the device may then be used elsewhere). Idempotent.
  void End();
  bool Active() const { return painter_.isActive(); }
  QPainter& painter() { return painter_; }

 protected:
  // For surfaces that create their device first: begin later.
  explicit QtSurface(bool raster_printer);
  void Begin(QPaintDevice* device);
  // Set by surfaces over a QImage: rows are written into it directly.
  QImage* direct_ = nullptr;

  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override;
  void DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) override;
  void DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
             int32_t y4) override;

 private:
  FontAdvances& Metrics();
  // The face of the current font at kReferencePx, for run widths at the
  // exact em size.
  FontAdvances& Reference();
  double RunWidthF(const std::u16string& s);
  static constexpr int kReferencePx = 300;
  void Fill(int32_t x, int32_t y, int32_t w, int32_t h, TColor c);
  void ThinLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  bool AxisLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, bool square);
  QPen WidePen(Qt::PenCapStyle cap) const;

  // The last picture row written into a 32-bit page image, as it came and
  // as it was converted. A picture drawn larger than it is repeats each of
  // its rows; a repeat is copied instead of converted again.
  struct LastRow {
    int bitcount = 0;
    std::vector<uint8_t> source;  // the row's bytes, then its colour table
    std::vector<QRgb> pixels;
  };
  void ConvertRow32(const dib& row, int32_t from, int32_t to, QRgb* out);

  QPainter painter_;
  bool printer_;
  LastRow lastRow_;
  std::unique_ptr<FontAdvances> metrics_;
  uint64_t metrics_serial_ = 0;
  std::unique_ptr<FontAdvances> reference_;
  uint64_t reference_serial_ = 0;
  LargeTextFiller largeText_;
};

// A surface that owns a white page image of width x height pixels.
class ImageSurface : public QtSurface {
 public:
  // Format_RGB32 or Format_RGB888. A null image (check ok()) when the size
  // is not positive or larger than kMaxDibPixels. `white` false leaves the
  // pixels as they come, for a caller that fills every page before drawing
  // (memory not yet written costs nothing).
  ImageSurface(int32_t width, int32_t height, QImage::Format format = QImage::Format_RGB32,
               bool white = true);
  ~ImageSurface() override;

  bool ok() const { return !image_.isNull(); }
  const QImage& image() const { return image_; }
  // From now on paints into `pixels` instead: the page's size in 32-bit
  // pixels (Format_RGB32), rows 4 x width bytes apart, owned by the caller
  // and alive while painted on. The surface's own image is given up. False
  // (painting where it did) for a surface that is not 32-bit or a null
  // `pixels`.
  bool PaintInto(uint8_t* pixels);
  // The page as a 24-bit dib; false when it cannot be allocated.
  bool ToDib(dib& out) const;

 private:
  QImage image_;
};

}  // namespace platform
