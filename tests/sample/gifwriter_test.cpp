#include "samplegen/gifwriter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>

#include "qt_app.h"

namespace {

using samplegen::ChoosePalette;
using samplegen::EncodeGif;
using samplegen::MapToPalette;

QImage DecodeWithQt(const QByteArray& bytes, QByteArray* format = nullptr) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  if (format) *format = reader.format();
  return reader.read();
}

// Every pixel of `decoded` must equal the palette colour chosen for the
// same pixel of `source`.
void ExpectDecodesTo(const QImage& source, const QImage& decoded) {
  ASSERT_FALSE(decoded.isNull());
  ASSERT_EQ(decoded.size(), source.size());
  const QVector<QRgb> palette = ChoosePalette(source);
  const std::vector<uint8_t> idx = MapToPalette(source, palette);
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) {
      const QRgb want = palette[idx[size_t(y) * source.width() + x]];
      const QRgb got = decoded.pixel(x, y);
      ASSERT_EQ(qRed(got), qRed(want)) << x << "," << y;
      ASSERT_EQ(qGreen(got), qGreen(want)) << x << "," << y;
      ASSERT_EQ(qBlue(got), qBlue(want)) << x << "," << y;
    }
}

// 256 distinct colours scattered pseudo-randomly: short LZW strings, so the
// dictionary fills and is reset many times and every code width is used.
QImage NoiseImage(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  uint32_t s = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      s = s * 1103515245u + 12345u;
      const int i = (s >> 16) & 0xFF;
      img.setPixel(x, y, qRgb(i, 255 - i, (i * 37) & 0xFF));
    }
  return img;
}

TEST(GifWriter, QtReadsItAsGifWithTheSameSizeAndPixels) {
  EnsureCoreApplication();
  QImage img(97, 61, QImage::Format_RGB32);  // odd sizes: no row padding assumptions
  const QRgb colours[5] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(250, 250, 250),
                           qRgb(1, 2, 3)};
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, colours[(x / 7 + y / 5) % 5]);
  QByteArray format;
  const QByteArray gif = EncodeGif(img);
  EXPECT_TRUE(gif.startsWith("GIF89a"));
  EXPECT_EQ(gif.back(), char(0x3B));
  ExpectDecodesTo(img, DecodeWithQt(gif, &format));
  EXPECT_EQ(format, QByteArray("gif"));
}

TEST(GifWriter, DictionaryResetsAndCodeWidthChangesDecodeCorrectly) {
  EnsureCoreApplication();
  const QImage img = NoiseImage(320, 240);
  ASSERT_EQ(ChoosePalette(img).size(), 256);
  ExpectDecodesTo(img, DecodeWithQt(EncodeGif(img)));
}

TEST(GifWriter, LongRunsOfOneColourDecodeCorrectly) {
  EnsureCoreApplication();
  // Runs build long dictionary strings; a few stray pixels break them up.
  QImage img(1000, 40, QImage::Format_RGB32);
  img.fill(qRgb(10, 200, 30));
  for (int i = 0; i < 40; ++i) img.setPixel((i * 137) % 1000, i, qRgb(200, 10, 30));
  ExpectDecodesTo(img, DecodeWithQt(EncodeGif(img)));
}

TEST(GifWriter, SinglePixelImage) {
  EnsureCoreApplication();
  QImage img(1, 1, QImage::Format_RGB32);
  img.fill(qRgb(12, 34, 56));
  ExpectDecodesTo(img, DecodeWithQt(EncodeGif(img)));
}

TEST(GifWriter, PaletteKeepsTheMostFrequentColoursAndMapsTheRestToTheNearest) {
  // 300 colours: 256 of them twice as frequent as the other 44.
  QImage img(300, 3, QImage::Format_RGB32);
  for (int x = 0; x < 300; ++x) {
    const QRgb c = qRgb(x % 256, x < 256 ? 0 : 100, x < 256 ? 0 : 100);
    img.setPixel(x, 0, c);
    img.setPixel(x, 1, x < 256 ? c : qRgb(0, 0, 0));
    img.setPixel(x, 2, x < 256 ? c : qRgb(0, 0, 0));
  }
  const QVector<QRgb> palette = ChoosePalette(img);
  ASSERT_EQ(palette.size(), 256);
  // Black is the most frequent colour (its own pixels plus 88 stand-ins).
  EXPECT_EQ(palette[0], qRgb(0, 0, 0));
  for (QRgb c : palette) EXPECT_EQ(qBlue(c), 0) << "a rare colour made it into the palette";
  // A rare colour (0, 100, 100) maps to the nearest kept one.
  const std::vector<uint8_t> idx = MapToPalette(img, palette);
  const QRgb mapped = palette[idx[256]];
  EXPECT_EQ(mapped, qRgb(0, 0, 0));  // (0,0,0) is closer than any (r,0,0) with r > 0
}

TEST(GifWriter, ChoosingThePaletteIsStableForEqualCounts) {
  QImage a(2, 1, QImage::Format_RGB32);
  a.setPixel(0, 0, qRgb(9, 9, 9));
  a.setPixel(1, 0, qRgb(1, 1, 1));
  QImage b(2, 1, QImage::Format_RGB32);
  b.setPixel(0, 0, qRgb(1, 1, 1));
  b.setPixel(1, 0, qRgb(9, 9, 9));
  EXPECT_EQ(ChoosePalette(a), ChoosePalette(b));
  EXPECT_EQ(EncodeGif(a).size(), EncodeGif(b).size());
}

}  // namespace
