#include "imaging/jpegwrite.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "imaging/pixoran.h"

namespace {

dib Pattern(int w, int h) {
  dib d;
  newdib(d, w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      setpixel(d, x, y,
               static_cast<uint32_t>((x * 7) & 0xFF) | ((y * 11 & 0xFF) << 8) | (((x ^ y) * 5 & 0xFF) << 16));
  return d;
}

std::string SavedBytes(const dib& d, const std::string& file, int32_t dpi) {
  std::string err;
  EXPECT_TRUE(SaveDib(d, file, kDibJpeg, &err, dpi)) << err;
  QFile f(QString::fromStdString(file));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray b = f.readAll();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// The direct encoder must write the very files the picture writer writes:
// the HTML catalog uses it for its pages, the page-image export SaveDib.
TEST(JpegWrite, SameBytesAsThePictureWriterFromBitmapAndPageRows) {
  QTemporaryDir tmp;
  const int saved = GetJPEGQual();
  for (const auto& [w, h] : {std::pair{37, 23}, {1, 1}, {17, 33}, {160, 96}})
    for (int quality : {0, 50, 95, 100})
      for (int32_t dpi : {96, 72, 300}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " q" + std::to_string(quality) + " " +
                     std::to_string(dpi) + " dpi");
        const dib d = Pattern(w, h);
        SetJPEGQual(quality);
        const std::string expected = SavedBytes(d, tmp.filePath("p.jpg").toStdString(), dpi);
        ASSERT_FALSE(expected.empty());
        std::string out, why;
        ASSERT_TRUE(EncodeJpegDib(d, quality, dpi, out, why)) << why;
        EXPECT_TRUE(out == expected);
        // The same pixels as a 32-bit page image, top row first.
        std::vector<uint8_t> rows(static_cast<size_t>(w) * h * 4, 0xFF);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            std::copy_n(d.toprow(y) + 3 * x, 3, rows.begin() + (static_cast<ptrdiff_t>(y) * w + x) * 4);
        ASSERT_TRUE(EncodeJpegRows(rows.data(), 4 * w, w, h, 4, quality, dpi, out, why)) << why;
        EXPECT_TRUE(out == expected);
      }
  // A file larger than the encoder's first piece of output, into a string
  // that held a larger one before.
  dib noise;
  ASSERT_TRUE(newdib(noise, 400, 300, 24));
  uint32_t v = 1;
  for (uint8_t& b : noise.pixels) b = static_cast<uint8_t>((v = v * 1103515245u + 12345u) >> 24);
  SetJPEGQual(100);
  const std::string expected = SavedBytes(noise, tmp.filePath("n.jpg").toStdString(), 96);
  std::string out(1 << 20, 'x'), why;
  ASSERT_TRUE(EncodeJpegDib(noise, 100, 96, out, why)) << why;
  EXPECT_GT(out.size(), 64u * 1024);
  EXPECT_TRUE(out == expected);
  SetJPEGQual(saved);
  EXPECT_FALSE(EncodeJpegDib(dib(), 90, 96, out, why));
  EXPECT_FALSE(why.empty());
}

}  // namespace
