// Every format of the page-image save list, PCX and IFF/LBM (our own codecs)
// included: what SaveDib writes reads back through OpenDib and through tools
// of other makers (ImageMagick; netpbm for ILBM, which ImageMagick lacks).
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "imaging/ilbm.h"
#include "imaging/pcx.h"
#include "imaging/pixoran.h"

namespace {

class OwnFormats : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  std::string Path(const std::string& name) {
    return tmp.filePath(QString::fromStdString(name)).toStdString();
  }

  // Odd width (PCX rows are padded to even bytes, ILBM rows to 16 pixels),
  // byte values >= 0xC0 (PCX must code them as runs) and long runs.
  static dib Pattern24(int w = 37, int h = 23) {
    dib d;
    newdib(d, w, h, 24);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        setpixel(d, x, y,
                 x < 12 ? 0xC8C9CAu
                        : static_cast<uint32_t>((x * 7) & 0xFF) | ((y * 11 & 0xFF) << 8) |
                              (((x ^ y) * 5 & 0xFF) << 16));
    return d;
  }
  static dib Pattern8(int w = 45, int h = 19) {
    std::vector<DibRGB> colours(256);
    for (int i = 0; i < 256; ++i)
      colours[i] =
          DibRGB{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
    dib d;
    newdib(d, w, h, 8, colours.data(), 256);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        setpixel(d, x, y, x < 20 ? 0xC7u : static_cast<uint32_t>((x * 13 + y * 3) & 0xFF));
    return d;
  }
  static std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
      char buf[65536];
      for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
      pclose(p);
    }
    return out;
  }
  static std::string ReadFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
};

// Mean absolute difference per channel between a picture and RGB bytes.
double MeanError(const dib& d, const std::string& rgb) {
  double sum = 0;
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x) {
      const uint32_t c = getcolor(d, x, y);
      const size_t at = (static_cast<size_t>(y) * d.width + x) * 3;
      for (int s = 0; s < 3; ++s) sum += std::abs(int((c >> (8 * s)) & 0xFF) - int(uint8_t(rgb[at + s])));
    }
  return sum / (d.width * d.height * 3.0);
}

std::string Rgb(const dib& d) {
  std::string s;
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x) {
      const uint32_t c = getcolor(d, x, y);
      s += static_cast<char>(c & 0xFF);
      s += static_cast<char>((c >> 8) & 0xFF);
      s += static_cast<char>((c >> 16) & 0xFF);
    }
  return s;
}

TEST_F(OwnFormats, EveryListedFormatReadsBackHereAndInOtherTools) {
  ASSERT_FALSE(Run("command -v convert identify ilbmtoppm").empty()) << "ImageMagick and netpbm are needed";
  const dib sources[] = {Pattern24(), Pattern8()};
  for (const DibFileFormat& f : DibSaveFormats()) {
    ASSERT_TRUE(f.writable) << f.extension;
    const int code = f.code;
    const bool lossy = code == kDibJpeg || code == kDibJif || code == kDibWebp;
    for (const dib& src : sources) {
      SCOPED_TRACE(std::string(f.extension) + " from " + std::to_string(src.bitcount) + " bits");
      const std::string file = Path("page" + std::to_string(src.bitcount) + f.extension);
      std::string err;
      ASSERT_TRUE(SaveDib(src, file, code, &err)) << err;
      // The palette formats halftone a 24-bit picture of many colours.
      const bool exact = !lossy && !(src.bitcount == 24 && (code == kDibGif || code == kDibRle));
      const double limit = exact ? 0.0 : lossy ? 24.0 : 40.0;

      dib back;
      ASSERT_TRUE(OpenDib(back, file, kDibAuto, &err)) << err;
      ASSERT_EQ(back.width, src.width);
      ASSERT_EQ(back.height, src.height);
      EXPECT_LE(MeanError(src, Rgb(back)), limit);
      int32_t w = 0, h = 0;
      ASSERT_TRUE(DibFileSize(file, w, h, &err)) << err;
      EXPECT_EQ(w, src.width);
      EXPECT_EQ(h, src.height);

      // The extension alone would mislead ImageMagick for .dib, .rle (Utah
      // RLE) and .jif; ILBM goes through netpbm first.
      const bool ilbm = code == kDibIff || code == kDibLbm;
      const std::string prefix = code == kDibDib || code == kDibRle ? "bmp:" : code == kDibJif ? "jpeg:" : "";
      const std::string input =
          ilbm ? "ilbmtoppm '" + file + "' 2>/dev/null | convert ppm:-" : "convert '" + prefix + file + "'";
      const std::string size =
          Run((ilbm ? "ilbmtoppm '" + file + "' 2>/dev/null | identify -format '%w %h' ppm:-"
                    : "identify -format '%w %h' '" + prefix + file + "'") +
              " 2>/dev/null");
      EXPECT_EQ(size, std::to_string(src.width) + " " + std::to_string(src.height));
      // ImageMagick keeps a Targa's bottom-up rows as an orientation tag.
      const std::string rgb = Run(input + " -auto-orient -depth 8 rgb:- 2>/dev/null");
      ASSERT_EQ(rgb.size(), static_cast<size_t>(src.width) * src.height * 3);
      EXPECT_LE(MeanError(src, rgb), limit);
    }
  }
}

TEST_F(OwnFormats, DamagedAndUnsupportedFilesAreRefused) {
  for (int code : {kDibPcx, kDibIff}) {
    const std::string whole = Path(std::string("whole") + DibFormatByCode(code)->extension);
    for (const dib& src : {Pattern24(64, 48), Pattern8(64, 48)}) {
      SCOPED_TRACE(std::to_string(code) + " " + std::to_string(src.bitcount));
      ASSERT_TRUE(SaveDib(src, whole, code));
      const std::string bytes = ReadFile(whole);
      // A PCX cut inside its colour table reads as a grey picture: cut earlier.
      for (double part : {0.3, 0.6}) {
        const std::string cut = Path(std::string("cut") + DibFormatByCode(code)->extension);
        WriteFile(cut, bytes.substr(0, static_cast<size_t>(bytes.size() * part)));
        dib d;
        std::string err;
        EXPECT_FALSE(OpenDib(d, cut, kDibAuto, &err)) << part;
        EXPECT_FALSE(d.loaded());
        EXPECT_NE(err.find("cut"), std::string::npos) << err;
      }
    }
  }

  // Headers that claim 60000 x 60000 pixels over a few bytes of data.
  std::string pcx(128 + 40, '\0');
  pcx[0] = 0x0A;
  pcx[1] = 5;
  pcx[2] = 1;
  pcx[3] = 8;
  pcx[8] = pcx[10] = static_cast<char>(0x5F);
  pcx[9] = pcx[11] = static_cast<char>(0xEA);
  pcx[65] = 3;
  pcx[66] = static_cast<char>(0x60);
  pcx[67] = static_cast<char>(0xEA);
  WriteFile(Path("huge.pcx"), pcx);
  std::string why, ilbm;
  ASSERT_TRUE(WriteIlbm(Pattern8(8, 8), ilbm, why));
  ilbm[20] = ilbm[22] = static_cast<char>(0xEA);  // BMHD width and height
  ilbm[21] = ilbm[23] = static_cast<char>(0x60);
  WriteFile(Path("huge.lbm"), ilbm);
  // Hold-and-modify, and PCX of two planes.
  std::string ham;
  ASSERT_TRUE(WriteIlbm(Pattern8(8, 8), ham, why));
  ham.insert(12, std::string("CAMG\0\0\0\4\0\0\x08\0", 12));
  WriteFile(Path("ham.iff"), ham);
  std::string two;
  ASSERT_TRUE(WritePcx(Pattern24(8, 8), two, why));
  two[65] = 2;
  WriteFile(Path("two.pcx"), two);

  const auto start = std::chrono::steady_clock::now();
  for (const char* name : {"huge.pcx", "huge.lbm", "ham.iff", "two.pcx"}) {
    SCOPED_TRACE(name);
    dib d;
    std::string err;
    EXPECT_FALSE(OpenDib(d, Path(name), kDibAuto, &err));
    EXPECT_NE(err.find(name), std::string::npos) << err;
    EXPECT_FALSE(d.loaded());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
