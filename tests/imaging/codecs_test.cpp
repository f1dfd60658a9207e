#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "imaging/pixoran.h"
#include "imaging/qtdib.h"

namespace {

class Codecs : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  std::string Path(const char* name) { return tmp.filePath(name).toStdString(); }

  // A 24-bit picture whose width gives padded rows (37 * 3 = 111 bytes).
  static dib Pattern(int w = 37, int h = 23) {
    dib d;
    newdib(d, w, h, 24);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        setpixel(
            d, x, y,
            static_cast<uint32_t>((x * 7) & 0xFF) | ((y * 11 & 0xFF) << 8) | (((x ^ y) * 5 & 0xFF) << 16));
    return d;
  }
  static void WriteBytes(const std::string& path, const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  static QByteArray ReadBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static double MeanError(const dib& a, const dib& b) {
    double sum = 0;
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) {
        const uint32_t p = getcolor(a, x, y), q = getcolor(b, x, y);
        for (int s = 0; s < 24; s += 8) sum += std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF));
      }
    return sum / (a.width * a.height * 3.0);
  }
};

TEST_F(Codecs, LosslessFormatsRoundTripPixelExact) {
  const dib src = Pattern();
  for (int code : {kDibBmp, kDibDib, kDibPng, kDibTiff, kDibTga}) {
    SCOPED_TRACE(code);
    const std::string file = Path("rt") + DibFormatByCode(code)->extension;
    std::string err;
    ASSERT_TRUE(SaveDib(src, file, code, &err)) << err;
    dib back;
    ASSERT_TRUE(OpenDib(back, file, kDibAuto, &err)) << err;
    ASSERT_EQ(back.width, src.width);
    ASSERT_EQ(back.height, src.height);
    EXPECT_EQ(back.bitcount, 24);
    EXPECT_EQ(back.pixels, src.pixels);
  }
}

TEST_F(Codecs, BmpIsWrittenAsWindowsBitmapAndTgaAsTarga) {
  const dib src = Pattern(4, 2);
  ASSERT_TRUE(SaveDib(src, Path("a.bmp"), kDibBmp));
  ASSERT_TRUE(SaveDib(src, Path("a.tga"), kDibTga));
  const QByteArray bmp = ReadBytes(Path("a.bmp"));
  ASSERT_GE(bmp.size(), 54);
  EXPECT_EQ(bmp.left(2), QByteArray("BM"));
  EXPECT_EQ(static_cast<uint8_t>(bmp[28]), 24);  // bit count
  const QByteArray tga = ReadBytes(Path("a.tga"));
  ASSERT_EQ(tga.size(), 18 + 4 * 2 * 3 + 26);
  EXPECT_TRUE(tga.endsWith(QByteArray("TRUEVISION-XFILE.", 18)));
  EXPECT_EQ(tga[2], 2);
  EXPECT_EQ(tga[16], 24);
  // First stored pixel is the bottom-left one, blue green red.
  const uint32_t bl = getpixel(src, 0, 1);
  EXPECT_EQ(static_cast<uint8_t>(tga[18]), (bl >> 16) & 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(tga[20]), bl & 0xFF);
}

TEST_F(Codecs, JpegQualityControlsSizeAndFidelity) {
  dib src;
  newdib(src, 120, 80, 24);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) setpixel(src, x, y, (x * 2) | ((y * 3) << 8) | (((x + y) & 0xFF) << 16));
  SetJPEGQual(95);
  ASSERT_TRUE(SaveDib(src, Path("hi.jpg"), kDibJpeg));
  SetJPEGQual(5);
  ASSERT_TRUE(SaveDib(src, Path("lo.jpg"), kDibJpeg));
  SetJPEGQual(75);
  const QByteArray hi = ReadBytes(Path("hi.jpg")), lo = ReadBytes(Path("lo.jpg"));
  EXPECT_EQ(hi.left(2), QByteArray("\xFF\xD8"));
  EXPECT_GT(hi.size(), lo.size() * 2);
  dib a, b;
  ASSERT_TRUE(OpenDib(a, Path("hi.jpg")));
  ASSERT_TRUE(OpenDib(b, Path("lo.jpg")));
  EXPECT_LT(MeanError(src, a), MeanError(src, b));
  EXPECT_LT(MeanError(src, a), 6.0);
  SetJPEGQual(250);
  EXPECT_EQ(GetJPEGQual(), 100);
  SetJPEGQual(75);
}

TEST_F(Codecs, PaletteLoadsAsEightBitsWithItsColourTable) {
  dib src;
  DibRGB pal[3] = {{255, 0, 0, 0}, {0, 128, 0, 0}, {10, 20, 30, 0}};
  ASSERT_TRUE(newdib(src, 9, 5, 8, pal, 3));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) setpixel(src, x, y, (x + y) % 3);
  for (int code : {kDibBmp, kDibPng, kDibTiff}) {
    SCOPED_TRACE(code);
    const std::string file = Path("pal") + DibFormatByCode(code)->extension;
    ASSERT_TRUE(SaveDib(src, file, code));
    dib back;
    std::string err;
    ASSERT_TRUE(OpenDib(back, file, kDibAuto, &err)) << err;
    EXPECT_EQ(back.bitcount, 8);
    EXPECT_TRUE(back.ispal);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x) ASSERT_EQ(getcolor(back, x, y), getcolor(src, x, y));
  }
  // A greyscale PNG becomes 8 bits with a grey ramp.
  QImage grey(3, 1, QImage::Format_Grayscale8);
  grey.scanLine(0)[0] = 0;
  grey.scanLine(0)[1] = 100;
  grey.scanLine(0)[2] = 255;
  ASSERT_TRUE(grey.save(tmp.filePath("grey.png")));
  dib g;
  ASSERT_TRUE(OpenDib(g, Path("grey.png")));
  EXPECT_EQ(g.bitcount, 8);
  EXPECT_EQ(getcolor(g, 1, 0), 0x646464u);
}

TEST_F(Codecs, TransparencyIsComposedOntoWhite) {
  QImage img(2, 1, QImage::Format_ARGB32);
  img.setPixel(0, 0, qRgba(0, 0, 0, 0));
  img.setPixel(1, 0, qRgba(255, 0, 0, 255));
  ASSERT_TRUE(img.save(tmp.filePath("alpha.png")));
  dib d;
  ASSERT_TRUE(OpenDib(d, Path("alpha.png")));
  EXPECT_EQ(d.bitcount, 24);
  EXPECT_EQ(getpixel(d, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(getpixel(d, 1, 0), 0x0000FFu);
}

TEST_F(Codecs, TruncatedFilesAreRefused) {
  const dib src = Pattern(64, 48);
  SetJPEGQual(90);
  for (int code : {kDibBmp, kDibJpeg, kDibPng, kDibTiff, kDibTga, kDibWebp}) {
    SCOPED_TRACE(code);
    const std::string whole = Path("whole") + DibFormatByCode(code)->extension;
    ASSERT_TRUE(SaveDib(src, whole, code));
    const QByteArray bytes = ReadBytes(whole);
    for (double part : {0.5, 0.9}) {
      const std::string cut = Path("cut") + DibFormatByCode(code)->extension;
      WriteBytes(cut, bytes.left(static_cast<int>(bytes.size() * part)));
      dib d;
      std::string err;
      EXPECT_FALSE(OpenDib(d, cut, kDibAuto, &err)) << part;
      EXPECT_FALSE(d.loaded());
      EXPECT_NE(err.find("cut"), std::string::npos) << err;
    }
  }
  SetJPEGQual(75);
  // A GIF that ends inside its image data.
  const QByteArray gif = QByteArray::fromHex(
      "474946383961020002008000000000ffffff2c00000000020002000002"
      "03844c05");  // sub-block of 3 bytes announced, 2 given, no trailer
  WriteBytes(Path("cut.gif"), gif);
  dib d;
  EXPECT_FALSE(OpenDib(d, Path("cut.gif")));
}

TEST_F(Codecs, LyingAndHugeHeadersAreRefusedWithoutAllocating) {
  // A bitmap header that claims 60000 x 60000 pixels over 100 bytes of data.
  QByteArray bmp(154, '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, 154);
  put32(10, 54);
  put32(14, 40);
  put32(18, 60000);
  put32(22, 60000);
  bmp[26] = 1;
  bmp[28] = 24;
  WriteBytes(Path("huge.bmp"), bmp);
  // A bitmap that says 4 x 4 but holds rows for 4 x 2.
  put32(18, 4);
  put32(22, 4);
  WriteBytes(Path("short.bmp"), bmp.left(54 + 2 * 12));

  // A well-formed PNG whose header says 60000 x 60000 (CRC fixed up).
  QImage small(8, 8, QImage::Format_RGB888);
  small.fill(Qt::red);
  QByteArray png;
  {
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    ASSERT_TRUE(small.save(&b, "png"));
  }
  auto be32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
  };
  be32(16, 60000);
  be32(20, 60000);
  uint32_t crc = 0xFFFFFFFFu;
  for (int i = 12; i < 12 + 4 + 13; ++i) {
    crc ^= static_cast<uint8_t>(png[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  be32(29, crc ^ 0xFFFFFFFFu);
  WriteBytes(Path("huge.png"), png);

  const auto start = std::chrono::steady_clock::now();
  for (const char* name : {"huge.bmp", "short.bmp", "huge.png"}) {
    SCOPED_TRACE(name);
    dib d;
    std::string err;
    EXPECT_FALSE(OpenDib(d, Path(name), kDibAuto, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(d.loaded());
  }
  int32_t w = 0, h = 0;
  EXPECT_FALSE(DibFileSize(Path("huge.png"), w, h));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  // Not a picture at all, and no file.
  WriteBytes(Path("text.jpg"), "just some text, not a picture\n");
  dib d;
  std::string err;
  EXPECT_FALSE(OpenDib(d, Path("text.jpg"), kDibAuto, &err));
  EXPECT_FALSE(OpenDib(d, Path("missing.png"), kDibAuto, &err));
  EXPECT_NE(err.find("missing.png"), std::string::npos);
  // A forced format that does not match the content.
  ASSERT_TRUE(SaveDib(Pattern(), Path("real.png"), kDibPng));
  EXPECT_FALSE(OpenDib(d, Path("real.png"), kDibBmp));
  EXPECT_TRUE(OpenDib(d, Path("real.png"), kDibPng));
}

TEST_F(Codecs, UnwritableFormatsAreRefusedAndWriteNothing) {
  const dib src = Pattern();
  WriteBytes(Path("keep.pcx"), "previous content");
  for (const DibFileFormat& f : DibSaveFormats()) {
    if (f.writable) continue;
    SCOPED_TRACE(f.extension);
    const std::string file = Path("x") + f.extension;
    std::string err;
    EXPECT_FALSE(SaveDib(src, file, f.code, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
  }
  EXPECT_FALSE(SaveDib(src, Path("keep.pcx"), 99));
  EXPECT_EQ(ReadBytes(Path("keep.pcx")), QByteArray("previous content"));
  EXPECT_FALSE(SaveDib(src, Path("y.xyz"), 99));
  EXPECT_FALSE(SaveDib(dib{}, Path("empty.bmp"), kDibBmp));
  EXPECT_FALSE(SaveDib(src, Path("no/such/folder/a.bmp"), kDibBmp));
}

TEST_F(Codecs, GifAndRleWriteEightBitPicturesExactly) {
  // Noise over all 256 entries fills the LZW table several times.
  dib pal;
  std::vector<DibRGB> colours(256);
  for (int i = 0; i < 256; ++i)
    colours[i] =
        DibRGB{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
  ASSERT_TRUE(newdib(pal, 301, 203, 8, colours.data(), 256));
  uint32_t seed = 12345;
  for (int y = 0; y < pal.height; ++y)
    for (int x = 0; x < pal.width; ++x) {
      seed = seed * 1103515245u + 12345u;
      // Runs and noise alternate, so RLE uses both of its modes.
      setpixel(pal, x, y, (x / 17) % 2 ? (seed >> 16) & 0xFF : (y & 0xFF));
    }
  // A 24-bit picture of few colours keeps them exactly.
  dib few = Pattern(40, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) setpixel(few, x, y, (x + y) % 3 == 0 ? 0x123456u : 0xFEDCBAu);
  for (int code : {kDibGif, kDibRle}) {
    for (const dib* src : {&pal, &few}) {
      SCOPED_TRACE(code);
      const std::string file = Path("p") + DibFormatByCode(code)->extension;
      std::string err;
      ASSERT_TRUE(SaveDib(*src, file, code, &err)) << err;
      dib back;
      ASSERT_TRUE(OpenDib(back, file, kDibAuto, &err)) << err;
      ASSERT_EQ(back.width, src->width);
      ASSERT_EQ(back.height, src->height);
      for (int y = 0; y < src->height; ++y)
        for (int x = 0; x < src->width; ++x)
          ASSERT_EQ(getcolor(back, x, y), getcolor(*src, x, y)) << x << "," << y;
    }
  }
  // Many colours are halftoned: same size, roughly the same picture.
  dib many = Pattern(64, 64);
  ASSERT_TRUE(SaveDib(many, Path("many.gif"), kDibGif));
  dib back;
  ASSERT_TRUE(OpenDib(back, Path("many.gif")));
  EXPECT_EQ(back.width, 64);
  EXPECT_LT(MeanError(many, back), 40.0);
}

// The resolution each format stores, read from the file's own bytes rather
// than through a codec, in dots per inch (rounded); -1 when the field is
// missing.
uint32_t Le(const QByteArray& b, int at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}
uint32_t Be(const QByteArray& b, int at, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}
long PerMetreToDpi(uint32_t perMetre) { return std::lround(perMetre * 0.0254); }

long StoredDpi(const QByteArray& b, int code) {
  switch (code) {
    case kDibBmp:
    case kDibDib:
    case kDibRle:  // BITMAPINFOHEADER: biXPelsPerMeter at 38, biYPelsPerMeter at 42
      if (b.size() < 46 || !b.startsWith("BM") || Le(b, 38, 4) != Le(b, 42, 4)) return -1;
      return PerMetreToDpi(Le(b, 38, 4));
    case kDibPng:  // the pHYs chunk: x, y per unit, unit 1 = metre
      for (int at = 8; at + 8 <= b.size();) {
        const uint32_t len = Be(b, at, 4);
        if (b.mid(at + 4, 4) == "pHYs") {
          if (b[at + 16] != 1 || Be(b, at + 8, 4) != Be(b, at + 12, 4)) return -1;
          return PerMetreToDpi(Be(b, at + 8, 4));
        }
        at += 12 + static_cast<int>(len);
      }
      return -1;
    case kDibJpeg:
    case kDibJif: {  // APP0 "JFIF": units at 11 (1 = per inch), Xdensity, Ydensity
      const int at = b.indexOf("JFIF");
      if (at < 0 || b[at + 7] != 1 || Be(b, at + 8, 2) != Be(b, at + 10, 2)) return -1;
      return static_cast<long>(Be(b, at + 8, 2));
    }
    case kDibTiff: {  // XResolution (282, rational), ResolutionUnit (296: 2 inch, 3 cm)
      const bool le = b.startsWith("II");
      auto u = [&](int at, int n) { return le ? Le(b, at, n) : Be(b, at, n); };
      const int ifd = static_cast<int>(u(4, 4));
      double res = -1;
      uint32_t unit = 2;
      for (uint32_t i = 0, n = u(ifd, 2); i < n; ++i) {
        const int e = ifd + 2 + static_cast<int>(i) * 12;
        if (u(e, 2) == 282) {
          const int off = static_cast<int>(u(e + 8, 4));
          res = static_cast<double>(u(off, 4)) / u(off + 4, 4);
        }
        if (u(e, 2) == 296) unit = u(e + 8, 2);
      }
      if (res < 0) return -1;
      return std::lround(unit == 3 ? res * 2.54 : res);
    }
  }
  return -1;
}

TEST_F(Codecs, SavedPicturesClaimTheResolutionAsked) {
  const dib src = Pattern();
  for (int code : {kDibBmp, kDibDib, kDibRle, kDibPng, kDibJpeg, kDibJif, kDibTiff}) {
    for (int32_t dpi : {300, 72, 1440, 10}) {
      SCOPED_TRACE(std::to_string(code) + " at " + std::to_string(dpi) + " dpi");
      const std::string file = Path("res") + DibFormatByCode(code)->extension;
      std::string err;
      ASSERT_TRUE(SaveDib(src, file, code, &err, dpi)) << err;
      EXPECT_EQ(StoredDpi(ReadBytes(file), code), dpi);
      // Qt's readers see the same (".dib" is not an extension Qt knows).
      EXPECT_EQ(QImage(QString::fromStdString(file), code == kDibDib ? "BMP" : nullptr).logicalDpiX(), dpi);
    }
  }
  // Without a resolution: 96 dpi, as before.
  ASSERT_TRUE(SaveDib(src, Path("plain.png"), kDibPng));
  EXPECT_EQ(StoredDpi(ReadBytes(Path("plain.png")), kDibPng), 96);
}

TEST_F(Codecs, FormatTableAndFilters) {
  const auto& formats = DibSaveFormats();
  ASSERT_GE(formats.size(), 11u);
  for (size_t i = 0; i < formats.size(); ++i) EXPECT_EQ(formats[i].code, static_cast<int>(i) + 3);
  EXPECT_STREQ(DibFormatByCode(kDibBmp)->extension, ".bmp");
  EXPECT_STREQ(DibFormatByCode(kDibJpeg)->extension, ".jpg");
  EXPECT_STREQ(DibFormatByCode(kDibTga)->extension, ".tga");
  EXPECT_STREQ(DibFormatByCode(kDibTiff)->extension, ".tif");
  EXPECT_EQ(DibFormatForExtension("/a.b/Page1.JPEG"), kDibJpeg);
  EXPECT_EQ(DibFormatForExtension("/a.b/page"), 0);
  const std::string save = GetDIBSaveFilter();
  size_t entries = 1;
  for (size_t p = save.find(";;"); p != std::string::npos; p = save.find(";;", p + 2)) ++entries;
  EXPECT_EQ(entries, formats.size());
  EXPECT_EQ(save.find("Windows Bitmap (*.bmp)"), 0u);
  const std::string open = GetDIBOpenFilter();
  for (const char* pat : {"*.jpg", "*.png", "*.bmp", "*.tif", "*.tga", "*.gif", "*.webp"})
    EXPECT_NE(open.find(pat), std::string::npos) << pat;
}

TEST_F(Codecs, PixelSizeWithoutDecoding) {
  ASSERT_TRUE(SaveDib(Pattern(31, 17), Path("s.png"), kDibPng));
  int32_t w = 0, h = 0;
  ASSERT_TRUE(DibFileSize(Path("s.png"), w, h));
  EXPECT_EQ(w, 31);
  EXPECT_EQ(h, 17);
}

TEST_F(Codecs, HalftoneGivesEightBitsAndKeepsCubeColours) {
  dib src;
  newdib(src, 8, 8, 24);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) setpixel(src, x, y, x < 4 ? 0x0000FFu : 0x336699u);
  dib ht;
  ASSERT_TRUE(DIBHalftoneDIB(ht, src));
  EXPECT_EQ(ht.bitcount, 8);
  EXPECT_EQ(ht.palette.size(), 256u);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(getcolor(ht, x, y), getpixel(src, x, y));
  // A mid grey between cube steps dithers to a mix whose mean is close.
  dib grey;
  newdib(grey, 16, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) setpixel(grey, x, y, 0x808080u);
  ASSERT_TRUE(DIBHalftoneDIB(ht, grey));
  double mean = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) mean += getcolor(ht, x, y) & 0xFF;
  EXPECT_NEAR(mean / 256, 128, 4);
  ASSERT_TRUE(DIBHalftoneDIBXY(ht, src, 4, 2));
  EXPECT_EQ(ht.width, 4);
  EXPECT_EQ(ht.height, 2);
  EXPECT_EQ(getcolor(ht, 0, 0), 0x0000FFu);
  EXPECT_FALSE(DIBHalftoneDIBXY(ht, src, 0, 5));
  EXPECT_FALSE(DIBHalftoneDIB(ht, dib{}));
}

TEST(QtDib, ConversionKeepsRowOrderAndChannelOrder) {
  dib d;
  newdib(d, 2, 2, 24);
  setpixel(d, 0, 0, 0x0000FFu);  // red, top left
  setpixel(d, 1, 1, 0xFF0000u);  // blue, bottom right
  // Bottom row first in memory: the bottom-right pixel is in the first row.
  EXPECT_EQ(d.pixels[3], 0xFF);
  const QImage img = DibToQImage(d);
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(1, 1), qRgb(0, 0, 255));
  dib back;
  ASSERT_TRUE(QImageToDib(img, back));
  EXPECT_EQ(back.pixels, d.pixels);
  EXPECT_FALSE(QImageToDib(QImage(), back));

  // The decoders' 32-bit pixels take their own path; it gives the same bytes.
  QImage rgb32(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) rgb32.setPixel(x, y, qRgb(10 + x, 100 + y, 200 + x + y));
  dib direct, viaRgb888;
  ASSERT_TRUE(QImageToDib(rgb32, direct));
  ASSERT_TRUE(QImageToDib(rgb32.convertToFormat(QImage::Format_RGB888), viaRgb888));
  EXPECT_EQ(direct.pixels, viaRgb888.pixels);
  EXPECT_EQ(getcolor(direct, 2, 1), 0x00CB650Cu);  // 0x00BBGGRR of (12, 101, 203)
}

}  // namespace
