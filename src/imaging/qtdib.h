// Conversion between `dib` records (bottom row first, BGR, 4-byte padded
// rows) and QImage.
#pragma once

#include <QImage>
#include <array>
#include <string>

#include "imaging/dib/dib.h"

// 24-bit pictures become Format_RGB888, 1/4/8-bit ones Format_Indexed8 with
// the colour table. A null image for an empty dib.
QImage DibToQImage(const dib& d);

// Palette and grey images become 8 bits with their colour table, everything
// else 24 bits; transparent pixels are composed onto white. False (and `d`
// emptied) for a null image or one larger than kMaxDibPixels.
bool QImageToDib(const QImage& image, dib& d, std::string* error = nullptr);

// The colours of a palette picture's indexes; indexes beyond its colour
// table are black.
std::array<QRgb, 256> DibColourTable(const dib& d);

// Colour 0x00BBGGRR to QColor-compatible QRgb and back.
inline QRgb TColorToQRgb(uint32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
inline uint32_t QRgbToTColor(QRgb c) {
  return static_cast<uint32_t>(qRed(c)) | (static_cast<uint32_t>(qGreen(c)) << 8) |
         (static_cast<uint32_t>(qBlue(c)) << 16);
}
