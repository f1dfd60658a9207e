#include "platform/qtsurface.h"

#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "imaging/qtdib.h"
#include "platform/fontmap.h"
#include "render/pixelrects.h"

namespace platform {

namespace {

QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

constexpr double kPi = 3.14159265358979323846;

}  // namespace

QtSurface::QtSurface(QPaintDevice* device, bool raster_printer) : printer_(raster_printer) { Begin(device); }
QtSurface::QtSurface(bool raster_printer) : printer_(raster_printer) {}
QtSurface::~QtSurface() { End(); }

void QtSurface::Begin(QPaintDevice* device) {
  if (!device || !painter_.begin(device)) return;
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, printer_);
}

void QtSurface::End() {
  if (painter_.isActive()) painter_.end();
}

FontAdvances& QtSurface::Metrics() {
  if (!metrics_ || metrics_serial_ != FontSerial()) {
    metrics_ = std::make_unique<FontAdvances>(MakeQFont(Font(), FontPixelSize()));
    metrics_serial_ = FontSerial();
  }
  return *metrics_;
}

FontAdvances& QtSurface::Reference() {
  if (!reference_ || reference_serial_ != FontSerial()) {
    TFontSpec f = Font();
    const QFont q = MakeQFont(f, kReferencePx);
    // Only the face matters here, not the size: reuse the previous one for
    // the same face (role fonts switch often, faces seldom).
    if (!reference_ || reference_->font() != q) reference_ = std::make_unique<FontAdvances>(q);
    reference_serial_ = FontSerial();
  }
  return *reference_;
}

double QtSurface::RunWidthF(const std::u16string& s) {
  const double em = FontEmPixels();
  if (em <= 0) return Metrics().WidthF(s);
  // Unhinted advances scale with the size: the width at the exact em size
  // from a large reference size, as the layout's measurement has it.
  return Reference().WidthF(s) * em / kReferencePx;
}

int32_t QtSurface::TextWidth(const std::u16string& s) {
  return static_cast<int32_t>(std::lround(RunWidthF(s)));
}
int32_t QtSurface::TextHeight(const std::u16string&) { return Metrics().Height(); }

void QtSurface::Fill(int32_t x, int32_t y, int32_t w, int32_t h, TColor c) {
  if (w <= 0 || h <= 0 || !painter_.isActive()) return;
  painter_.fillRect(QRect(x, y, w, h), ToQColor(c));
}

void QtSurface::DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) {
  Fill(x1, y1, x2 - x1, y2 - y1, c);
}

void QtSurface::DoTextOut(int32_t x, int32_t y, const std::u16string& s) {
  if (!painter_.isActive()) return;
  FontAdvances& m = Metrics();
  const double wanted = RunWidthF(s);
  if (TextOpaque()) Fill(x, y, static_cast<int32_t>(std::lround(wanted)), m.Height(), Brush().color);
  painter_.setFont(m.font());
  painter_.setPen(ToQColor(Font().color));
  const double natural = m.WidthF(s);
  const QString text = QString::fromStdU16String(s);
  if (FontEmPixels() <= 0 || natural <= 0 || std::fabs(wanted - natural) < 1e-3) {
    painter_.drawText(QPointF(x, y + m.Ascent()), text);
    return;
  }
  // The font is drawn at a whole pixel size; a horizontal stretch of the run
  // gives it the width of the exact size, so a zoomed-out line ends where
  // the layout measured it.
  painter_.save();
  painter_.translate(x, y + m.Ascent());
  painter_.scale(wanted / natural, 1.0);
  if (!largeText_.Fill(painter_, text)) painter_.drawText(QPointF(0, 0), text);
  painter_.restore();
}

void QtSurface::DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  render::PixelRect sides[4];
  render::FrameSides(x1, y1, x2, y2, Pen().width, sides);
  for (const render::PixelRect& r : sides)
    Fill(static_cast<int32_t>(r.x1), static_cast<int32_t>(r.y1), static_cast<int32_t>(r.x2 - r.x1),
         static_cast<int32_t>(r.y2 - r.y1), Pen().color);
}

// One-pixel line from (x1, y1) to (x2, y2) without the end point, drawn as
// runs of pixels.
void QtSurface::ThinLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const TColor c = Pen().color;
  const int64_t dx = std::llabs(static_cast<int64_t>(x2) - x1),
                dy = std::llabs(static_cast<int64_t>(y2) - y1);
  const int32_t stepx = x2 > x1 ? 1 : -1, stepy = y2 > y1 ? 1 : -1;
  if (dy == 0) {
    if (dx) Fill(stepx > 0 ? x1 : x2 + 1, y1, static_cast<int32_t>(dx), 1, c);
    return;
  }
  if (dx == 0) {
    Fill(x1, stepy > 0 ? y1 : y2 + 1, 1, static_cast<int32_t>(dy), c);
    return;
  }
  const bool xmajor = dx >= dy;
  const int64_t steps = xmajor ? dx : dy;
  int64_t err = (xmajor ? dx : dy) / 2;
  int32_t x = x1, y = y1;
  int32_t runx = x, runy = y, runlen = 0;
  auto flush = [&] {
    if (runlen == 0) return;
    if (xmajor)
      Fill(stepx > 0 ? runx : runx - runlen + 1, runy, runlen, 1, c);
    else
      Fill(runx, stepy > 0 ? runy : runy - runlen + 1, 1, runlen, c);
  };
  for (int64_t i = 0; i < steps; ++i) {
    if (runlen == 0) {
      runx = x;
      runy = y;
    }
    ++runlen;
    // Advance along the major axis; step the minor one when due.
    err -= xmajor ? dy : dx;
    bool minor = false;
    if (err < 0) {
      err += xmajor ? dx : dy;
      minor = true;
    }
    if (xmajor) {
      x += stepx;
      if (minor) {
        flush();
        runlen = 0;
        y += stepy;
      }
    } else {
      y += stepy;
      if (minor) {
        flush();
        runlen = 0;
        x += stepx;
      }
    }
  }
  flush();
}

// Horizontal or vertical lines of a geometric pen as exact rectangles.
bool QtSurface::AxisLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, bool square) {
  render::PixelRect r;
  if (!render::AxisLineArea(x1, y1, x2, y2, w, square, r)) return false;
  Fill(static_cast<int32_t>(r.x1), static_cast<int32_t>(r.y1), static_cast<int32_t>(r.x2 - r.x1),
       static_cast<int32_t>(r.y2 - r.y1), Pen().color);
  return true;
}

QPen QtSurface::WidePen(Qt::PenCapStyle cap) const {
  QPen pen(ToQColor(Pen().color));
  pen.setWidth(std::max(1, Pen().width));
  pen.setCapStyle(cap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void QtSurface::DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!painter_.isActive()) return;
  const int32_t w = std::max(1, Pen().width);
  const render::PenKind kind = Pen().kind;
  if (kind == render::PenKind::Cosmetic && w == 1) {
    ThinLine(x1, y1, x2, y2);
    return;
  }
  Qt::PenCapStyle cap = Qt::RoundCap;  // ordinary wide pens have round ends
  if (kind != render::PenKind::Cosmetic) {
    const bool square = kind == render::PenKind::GeometricSquare;
    if (x1 == x2 && y1 == y2) {
      if (square) Fill(x1 - w / 2, y1 - w / 2, w, w, Pen().color);
      return;
    }
    if (AxisLine(x1, y1, x2, y2, w, square)) return;
    cap = square ? Qt::SquareCap : Qt::FlatCap;
  } else if (x1 == x2 && y1 == y2) {
    return;
  }
  painter_.setPen(WidePen(cap));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
}

void QtSurface::DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                      int32_t y4) {
  if (!painter_.isActive() || x2 - x1 < 1 || y2 - y1 < 1) return;
  // The ellipse through the pixel centres of the box (right and bottom
  // edges exclusive); rays start at the box centre.
  const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
  const double a = std::max((x2 - x1 - 1) / 2.0, 1e-9), b = std::max((y2 - y1 - 1) / 2.0, 1e-9);
  // Parametric angles, counter-clockwise as seen on the page (y grows down).
  auto angle = [&](int32_t px, int32_t py) {
    const double deg = std::atan2((cy - py) / b, (px - cx) / a) * 180.0 / kPi;
    return deg < 0 ? deg + 360.0 : deg;
  };
  const double start = angle(x3, y3);
  double sweep = angle(x4, y4) - start;
  if (sweep <= 0) sweep += 360.0;
  const QRectF box(x1 + 0.5, y1 + 0.5, x2 - x1 - 1, y2 - y1 - 1);
  QPainterPath path;
  path.arcMoveTo(box, start);
  path.arcTo(box, start, sweep);
  const render::PenKind kind = Pen().kind;
  painter_.setPen(WidePen(kind == render::PenKind::GeometricSquare ? Qt::SquareCap
                          : kind == render::PenKind::GeometricFlat ? Qt::FlatCap
                          : Pen().width > 1                        ? Qt::RoundCap
                                                                   : Qt::FlatCap));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPath(path);
}

bool QtSurface::StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
                           int32_t sy, int32_t sw, int32_t sh) {
  if (!painter_.isActive() || !pic.loaded() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return false;
  const QImage image = DibToQImage(pic);
  if (image.isNull()) return false;
  // sy counts from the bottom row.
  const QRect source(sx, pic.height - sy - sh, sw, sh);
  painter_.drawImage(QRect(dx, dy, dw, dh), image, source);
  return true;
}

void QtSurface::SetDibRow(int32_t x, int32_t y, const dib& row) {
  if (!row.loaded() || (row.bitcount != 24 && row.bitcount != 8)) return;
  if (direct_ && (direct_->format() == QImage::Format_RGB32 || direct_->format() == QImage::Format_RGB888)) {
    if (y < 0 || y >= direct_->height()) return;
    const int32_t from = std::max(0, -x), to = std::min(row.width, direct_->width() - x);
    if (from >= to) return;
    const uint8_t* s = row.toprow(0);
    uchar* line = direct_->scanLine(y);
    if (direct_->format() == QImage::Format_RGB32) {
      ConvertRow32(row, from, to, reinterpret_cast<QRgb*>(line) + x);
      return;
    }
    auto convert = [&](auto pixel) {
      for (int32_t i = from; i < to; ++i) {
        const QRgb c = pixel(i);
        uchar* p = line + static_cast<ptrdiff_t>(x + i) * 3;
        p[0] = static_cast<uchar>(qRed(c));
        p[1] = static_cast<uchar>(qGreen(c));
        p[2] = static_cast<uchar>(qBlue(c));
      }
    };
    if (row.bitcount == 24) {
      convert([s](int32_t i) { return qRgb(s[i * 3 + 2], s[i * 3 + 1], s[i * 3]); });
    } else {
      const std::array<QRgb, 256> table = DibColourTable(row);
      convert([s, &table](int32_t i) { return table[s[i]]; });
    }
    return;
  }
  if (painter_.isActive()) painter_.drawImage(QPoint(x, y), DibToQImage(row));
}

void QtSurface::ConvertRow32(const dib& row, int32_t from, int32_t to, QRgb* out) {
  const int bpp = row.bitcount / 8;
  const size_t n = static_cast<size_t>(to - from);
  const uint8_t* s = row.toprow(0) + static_cast<size_t>(from) * bpp;
  const size_t bytes = n * bpp;
  const size_t table = row.bitcount == 8 ? row.palette.size() * sizeof(DibRGB) : 0;
  out += from;
  LastRow& last = lastRow_;
  if (last.bitcount == row.bitcount && last.pixels.size() == n && last.source.size() == bytes + table &&
      std::memcmp(last.source.data(), s, bytes) == 0 &&
      (table == 0 || std::memcmp(last.source.data() + bytes, row.palette.data(), table) == 0)) {
    std::memcpy(out, last.pixels.data(), n * sizeof(QRgb));
    return;
  }
  last.bitcount = 0;
  last.source.resize(bytes + table);
  last.pixels.resize(n);
  QRgb* p = last.pixels.data();
  if (row.bitcount == 24) {
    size_t i = 0;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    // Blue, green, red read as one little-endian word are the pixel; the
    // fourth byte (the next pixel's blue) becomes the opaque alpha. The
    // last pixel has no fourth byte to borrow.
    for (; i + 1 < n; ++i) {
      uint32_t v;
      std::memcpy(&v, s + 3 * i, 4);
      p[i] = v | 0xFF000000u;
    }
#endif
    for (; i < n; ++i) p[i] = qRgb(s[3 * i + 2], s[3 * i + 1], s[3 * i]);
  } else {
    const std::array<QRgb, 256> colours = DibColourTable(row);
    for (size_t i = 0; i < n; ++i) p[i] = colours[s[i]];
  }
  std::memcpy(last.source.data(), s, bytes);
  if (table) std::memcpy(last.source.data() + bytes, row.palette.data(), table);
  last.bitcount = row.bitcount;
  std::memcpy(out, p, n * sizeof(QRgb));
}

bool QtSurface::SetDibBlock(int32_t x, int32_t y, const dib& block) {
  if (!painter_.isActive() || !block.loaded()) return false;
  const QImage image = DibToQImage(block);
  if (image.isNull()) return false;
  painter_.drawImage(QPoint(x, y), image);
  return true;
}

void QtSurface::CopyBitmap(int32_t x, int32_t y, const dib& bmp) {
  if (!painter_.isActive() || !bmp.loaded()) return;
  painter_.drawImage(QPoint(x, y), DibToQImage(bmp));
}

ImageSurface::ImageSurface(int32_t width, int32_t height, QImage::Format format, bool white)
    : QtSurface(false) {
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxDibPixels) return;
  if (format != QImage::Format_RGB888) format = QImage::Format_RGB32;
  image_ = QImage(width, height, format);
  if (image_.isNull()) return;
  if (white) image_.fill(Qt::white);
  direct_ = &image_;
  Begin(&image_);
}

ImageSurface::~ImageSurface() { End(); }

bool ImageSurface::PaintInto(uint8_t* pixels) {
  if (!pixels || image_.isNull() || image_.format() != QImage::Format_RGB32) return false;
  const int w = image_.width(), h = image_.height();
  End();
  image_ = QImage(pixels, w, h, 4 * static_cast<qsizetype>(w), QImage::Format_RGB32);
  Begin(&image_);
  return true;
}

bool ImageSurface::ToDib(dib& out) const { return QImageToDib(image_, out); }

}  // namespace platform
