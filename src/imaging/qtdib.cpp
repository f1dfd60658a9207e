#include "imaging/qtdib.h"

#include <cstring>

#include "i18n/texts.h"

namespace {

inline uint8_t OverWhite(int c, int a) { return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255); }

bool TooLarge(const QImage& image) {
  return static_cast<int64_t>(image.width()) * image.height() > kMaxDibPixels;
}

bool FromIndexed(const QImage& src, dib& d) {
  const QImage img =
      src.format() == QImage::Format_Indexed8 ? src : src.convertToFormat(QImage::Format_Indexed8);
  if (img.isNull()) return false;
  const QList<QRgb> table = img.colorTable();
  if (!newdib(d, img.width(), img.height(), 8)) return false;
  for (int i = 0; i < table.size() && i < 256; ++i) {
    const QRgb c = table[i];
    const int a = qAlpha(c);
    d.palette[i] = DibRGB{OverWhite(qRed(c), a), OverWhite(qGreen(c), a), OverWhite(qBlue(c), a), 0};
  }
  const int w = img.width(), h = img.height();
  for (int y = 0; y < h; ++y) {
    const uchar* s = img.constScanLine(y);
    uint8_t* t = d.toprow(y);
    for (int x = 0; x < w; ++x) {
      // Indexes beyond the table are undefined in the file; show them as 0.
      t[x] = s[x] < table.size() ? s[x] : 0;
    }
  }
  return true;
}

bool FromGrey(const QImage& src, dib& d) {
  const QImage img =
      src.format() == QImage::Format_Grayscale8 ? src : src.convertToFormat(QImage::Format_Grayscale8);
  if (img.isNull() || !newdib(d, img.width(), img.height(), 8)) return false;
  for (int i = 0; i < 256; ++i) {
    const uint8_t v = static_cast<uint8_t>(i);
    d.palette[i] = DibRGB{v, v, v, 0};
  }
  for (int y = 0; y < img.height(); ++y) std::memcpy(d.toprow(y), img.constScanLine(y), img.width());
  return true;
}

bool FromRgb(const QImage& src, dib& d) {
  if (!newdib(d, src.width(), src.height(), 24)) return false;
  if (src.hasAlphaChannel()) {
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    if (img.isNull()) return false;
    const int w = img.width(), h = img.height();
    for (int y = 0; y < h; ++y) {
      const QRgb* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      uint8_t* t = d.toprow(y);
      for (int x = 0; x < w; ++x, t += 3) {
        const int a = qAlpha(s[x]);
        t[0] = OverWhite(qBlue(s[x]), a);
        t[1] = OverWhite(qGreen(s[x]), a);
        t[2] = OverWhite(qRed(s[x]), a);
      }
    }
    return true;
  }
  const int w = src.width(), h = src.height();
  if (src.format() == QImage::Format_RGB32) {
    // What the decoders deliver: straight into the bitmap, with no second
    // copy of the picture (and none of the worker threads Qt's converters
    // start for it).
    for (int y = 0; y < h; ++y) {
      const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
      uint8_t* t = d.toprow(y);
      for (int x = 0; x < w; ++x, t += 3) {
        t[0] = static_cast<uint8_t>(qBlue(s[x]));
        t[1] = static_cast<uint8_t>(qGreen(s[x]));
        t[2] = static_cast<uint8_t>(qRed(s[x]));
      }
    }
    return true;
  }
  // Blue, green, red in each pixel's three bytes, as the bitmap keeps them.
  const QImage img = src.format() == QImage::Format_BGR888 ? src : src.convertToFormat(QImage::Format_BGR888);
  if (img.isNull()) return false;
  const size_t rowBytes = size_t(w) * 3;
  for (int y = 0; y < h; ++y) std::memcpy(d.toprow(y), img.constScanLine(y), rowBytes);
  return true;
}

}  // namespace

std::array<QRgb, 256> DibColourTable(const dib& d) {
  std::array<QRgb, 256> table;
  for (size_t k = 0; k < table.size(); ++k) {
    const DibRGB c = k < d.palette.size() ? d.palette[k] : DibRGB{};
    table[k] = qRgb(c.red, c.green, c.blue);
  }
  return table;
}

QImage DibToQImage(const dib& d) {
  if (!d.loaded() || d.width <= 0 || d.height <= 0) return QImage();
  if (d.bitcount == 24) {
    QImage img(d.width, d.height, QImage::Format_RGB888);
    if (img.isNull()) return img;
    for (int y = 0; y < d.height; ++y) {
      const uint8_t* s = d.toprow(y);
      uchar* t = img.scanLine(y);
      for (int x = 0; x < d.width; ++x, s += 3, t += 3) {
        t[0] = s[2];
        t[1] = s[1];
        t[2] = s[0];
      }
    }
    return img;
  }
  if (d.bitcount != 1 && d.bitcount != 4 && d.bitcount != 8) return QImage();
  QImage img(d.width, d.height, QImage::Format_Indexed8);
  if (img.isNull()) return img;
  const std::array<QRgb, 256> colours = DibColourTable(d);
  img.setColorTable(QList<QRgb>(colours.begin(), colours.begin() + d.colorcount()));
  for (int y = 0; y < d.height; ++y) {
    uchar* t = img.scanLine(y);
    if (d.bitcount == 8) {
      std::memcpy(t, d.toprow(y), d.width);
    } else {
      for (int x = 0; x < d.width; ++x) t[x] = static_cast<uchar>(getpixel(d, x, y));
    }
  }
  return img;
}

bool QImageToDib(const QImage& image, dib& d, std::string* error) {
  deldib(d);
  if (image.isNull()) {
    if (error) *error = i18n::SayUtf8(i18n::Text::PicNoPixels);
    return false;
  }
  if (TooLarge(image)) {
    if (error)
      *error =
          i18n::SayUtf8(i18n::Text::PicTooLarge, {i18n::Decimal(image.width()), i18n::Decimal(image.height()),
                                                  i18n::Decimal(kMaxDibPixels / 1000000)});
    return false;
  }
  bool ok = false;
  switch (image.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      ok = FromIndexed(image, d);
      break;
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
      ok = FromGrey(image, d);
      break;
    default:
      ok = FromRgb(image, d);
      break;
  }
  if (!ok) {
    deldib(d);
    if (error) *error = i18n::SayUtf8(i18n::Text::PicNoMemory);
  }
  return ok;
}
