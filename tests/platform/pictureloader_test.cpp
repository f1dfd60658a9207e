// Pictures decoded at the size they are drawn, the cache of decoded pictures
// and the list of pictures that could not be drawn.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "core/codepage.h"
#include "imaging/pixoran.h"
#include "platform/guiapp.h"
#include "platform/qtpictureloader.h"

namespace {

std::string TempFolder() {
  std::string tmpl = ::testing::TempDir() + "qlpicXXXXXX";
  EXPECT_NE(mkdtemp(tmpl.data()), nullptr);
  return tmpl + "/";
}

// A camera-sized JPEG with some structure (a flat picture would hide scaling
// mistakes).
void WriteJpeg(const std::string& path, int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) row[x] = qRgb(x * 255 / w, y * 255 / h, ((x / 200 + y / 200) % 2) * 200);
  }
  ASSERT_TRUE(img.save(QString::fromStdString(path), "JPEG", 80));
}

class PictureLoaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(platform::EnsureGuiApplication());
    dir_ = new std::string(TempFolder());
    WriteJpeg(*dir_ + "kamera.jpg", 4000, 3000);
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string* dir_;
};
std::string* PictureLoaderTest::dir_ = nullptr;

TEST_F(PictureLoaderTest, SmallBoxNeverDecodesTheFullSize) {
  const std::string file = *dir_ + "kamera.jpg";
  dib d;
  int32_t fw = 0, fh = 0;
  // Installs the loader's own allocation limit first, then lowers Qt's limit
  // below the full picture (4000 x 3000 x 4 bytes = 46 MB): a decoder that
  // allocated the full size would now fail.
  ASSERT_TRUE(OpenDibForBox(d, file, 80, 60, fw, fh));
  const int oldLimit = QImageReader::allocationLimit();
  QImageReader::setAllocationLimit(16);
  std::string err;
  EXPECT_FALSE(OpenDib(d, file, kDibAuto, &err)) << "the full decode should exceed 16 MB";
  ASSERT_TRUE(OpenDibForBox(d, file, 300, 200, fw, fh, &err)) << err;
  QImageReader::setAllocationLimit(oldLimit);
  EXPECT_EQ(fw, 4000);
  EXPECT_EQ(fh, 3000);
  // At least the box, at the picture's aspect, far below the full size.
  EXPECT_GE(d.width, 300);
  EXPECT_GE(d.height, 200);
  EXPECT_LE(d.width, 320);
  EXPECT_NEAR(double(d.width) / d.height, 4.0 / 3.0, 0.02);
  // The picture itself, scaled: the corners keep their colours.
  const uint32_t topright = getcolor(d, d.width - 1, 0);  // 0x00BBGGRR
  EXPECT_GT(topright & 0xFF, 200u);
  EXPECT_LT((topright >> 8) & 0xFF, 40u);

  // Small pictures and a box near the full size load exactly as OpenDib.
  ASSERT_TRUE(OpenDibForBox(d, file, 3000, 2200, fw, fh));
  EXPECT_EQ(d.width, 4000);
  WriteJpeg(*dir_ + "klein.jpg", 400, 300);
  ASSERT_TRUE(OpenDibForBox(d, *dir_ + "klein.jpg", 40, 30, fw, fh));
  EXPECT_EQ(d.width, 400);
  EXPECT_EQ(fw, 400);
}

TEST_F(PictureLoaderTest, OneDecodeServesEveryBoxItCovers) {
  const std::string file = *dir_ + "cache.jpg";
  WriteJpeg(file, 1600, 1200);
  platform::QtPictureLoader loader;
  const std::u16string name = ql::FromUtf8(file);
  dib a, b, direct;
  int32_t fw, fh;
  ASSERT_TRUE(loader.LoadForBox(name, 100, 75, a, fw, fh));
  EXPECT_EQ(loader.Decodes(), 1u);
  EXPECT_EQ(a.width, 100);  // what a decode for this box gives
  EXPECT_EQ(a.height, 75);
  ASSERT_TRUE(loader.LoadForBox(name, 100, 75, b, fw, fh));
  EXPECT_EQ(loader.Decodes(), 1u);  // from the cache
  EXPECT_EQ(loader.CacheHits(), 1u);
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(fw, 1600);
  EXPECT_EQ(fh, 1200);

  // A pixel more, and half as large again: scaled from the decoded copy, at
  // the size and with the look of a decode for that box.
  ASSERT_TRUE(loader.LoadForBox(name, 101, 76, b, fw, fh));
  EXPECT_EQ(b.width, 102);  // the box's size at the picture's aspect
  ASSERT_TRUE(loader.LoadForBox(name, 150, 112, b, fw, fh));
  EXPECT_EQ(loader.Decodes(), 1u);
  ASSERT_TRUE(OpenDibForBox(direct, file, 150, 112, fw, fh));
  ASSERT_EQ(b.width, direct.width);
  ASSERT_EQ(b.height, direct.height);
  for (const auto& [x, y] :
       {std::pair{0, 0}, {b.width - 1, 0}, {b.width / 2, b.height / 2}, {0, b.height - 1}}) {
    const uint32_t p = getcolor(b, x, y), q = getcolor(direct, x, y);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(int((p >> shift) & 0xFF), int((q >> shift) & 0xFF), 24) << x << "," << y;
  }

  // Beyond what the copy covers: decoded again, and the larger copy then
  // serves the smaller boxes too.
  ASSERT_TRUE(loader.LoadForBox(name, 300, 225, b, fw, fh));
  EXPECT_EQ(loader.Decodes(), 2u);
  EXPECT_EQ(b.width, 300);
  ASSERT_TRUE(loader.LoadForBox(name, 100, 75, b, fw, fh));
  EXPECT_EQ(loader.Decodes(), 2u);
  EXPECT_EQ(b.width, 100);
  EXPECT_EQ(loader.CachedPictures(), 1u);  // one copy per file
  ASSERT_TRUE(loader.Load(name, b));       // the whole picture
  EXPECT_EQ(loader.Decodes(), 3u);
  EXPECT_EQ(b.width, 1600);

  // A picture changed on disk is decoded afresh.
  WriteJpeg(file, 1200, 1600);
  struct timespec times[2] = {{0, UTIME_NOW}, {std::time(nullptr) + 5, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  ASSERT_TRUE(loader.LoadForBox(name, 100, 75, b, fw, fh));
  EXPECT_EQ(loader.Decodes(), 4u);
  EXPECT_EQ(fw, 1200);
  EXPECT_EQ(fh, 1600);
  EXPECT_TRUE(loader.TakeProblems().empty());
}

TEST_F(PictureLoaderTest, CacheKeepsItsLimitDroppingTheLeastRecentlyUsed) {
  const std::string one = *dir_ + "eins.jpg", two = *dir_ + "zwei.jpg";
  WriteJpeg(one, 1600, 1200);
  WriteJpeg(two, 1600, 1200);
  platform::QtPictureLoader loader;
  dib d;
  int32_t fw, fh;
  ASSERT_TRUE(loader.LoadForBox(ql::FromUtf8(one), 100, 75, d, fw, fh));
  const uint64_t each = loader.CachedBytes();
  ASSERT_GT(each, 0u);
  ASSERT_TRUE(loader.LoadForBox(ql::FromUtf8(two), 100, 75, d, fw, fh));
  EXPECT_EQ(loader.CachedBytes(), 2 * each);
  loader.SetCacheLimit(each * 5 / 2);  // room for both
  EXPECT_EQ(loader.CachedPictures(), 2u);
  // The whole picture is too large to keep; the smaller copy stays.
  ASSERT_TRUE(loader.Load(ql::FromUtf8(one), d));
  EXPECT_EQ(d.width, 1600);
  EXPECT_EQ(loader.Decodes(), 3u);
  ASSERT_TRUE(loader.LoadForBox(ql::FromUtf8(one), 100, 75, d, fw, fh));
  EXPECT_EQ(loader.Decodes(), 3u);
  EXPECT_EQ(loader.CachedBytes(), 2 * each);
  loader.SetCacheLimit(each * 3 / 2);
  EXPECT_LE(loader.CachedBytes(), each * 3 / 2);
  ASSERT_TRUE(loader.LoadForBox(ql::FromUtf8(one), 100, 75, d, fw, fh));
  EXPECT_EQ(loader.Decodes(), 3u);  // the most recently used stayed
  ASSERT_TRUE(loader.LoadForBox(ql::FromUtf8(two), 100, 75, d, fw, fh));
  EXPECT_EQ(loader.Decodes(), 4u);
  loader.SetCacheLimit(0);
  EXPECT_EQ(loader.CachedPictures(), 0u);
  EXPECT_EQ(loader.CachedBytes(), 0u);
}

TEST_F(PictureLoaderTest, PixelSizesAreReadOncePerFileVersion) {
  const std::string file = *dir_ + "size.jpg";
  WriteJpeg(file, 640, 480);
  platform::QtPictureLoader loader;
  const std::u16string name = ql::FromUtf8(file);
  int32_t w = 0, h = 0;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(loader.PixelSize(name, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
  }
  EXPECT_EQ(loader.HeaderReads(), 1u);

  // Rewritten on disk: the new size, read again.
  WriteJpeg(file, 300, 500);
  struct timespec times[2] = {{0, UTIME_NOW}, {std::time(nullptr) + 5, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  ASSERT_TRUE(loader.PixelSize(name, w, h));
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 500);
  EXPECT_EQ(loader.HeaderReads(), 2u);

  // Damaged, then gone: no size, and nothing kept from before.
  { std::ofstream(file, std::ios::trunc) << "not a picture"; }
  EXPECT_FALSE(loader.PixelSize(name, w, h));
  EXPECT_EQ(w, 0);
  ASSERT_EQ(std::remove(file.c_str()), 0);
  EXPECT_FALSE(loader.PixelSize(name, w, h));
  EXPECT_FALSE(loader.PixelSize(u"", w, h));
}

TEST_F(PictureLoaderTest, PicturesThatCannotBeDrawnAreListedOnceWithTheReason) {
  platform::QtPictureLoader loader;
  const std::string missing = *dir_ + "fehlt.jpg";
  const std::string damaged = *dir_ + "kaputt.jpg";
  std::ofstream(damaged, std::ios::binary) << "\xFF\xD8\xFF\xE0 not really a JPEG";
  dib d;
  int32_t fw, fh;
  EXPECT_FALSE(loader.Load(ql::FromUtf8(missing), d));
  EXPECT_FALSE(loader.LoadForBox(ql::FromUtf8(damaged), 10, 10, d, fw, fh));
  EXPECT_FALSE(loader.Load(ql::FromUtf8(missing), d));
  EXPECT_FALSE(loader.Load(u"", d));  // no picture named: nothing to report
  const auto problems = loader.TakeProblems();
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].filename, ql::FromUtf8(missing));
  EXPECT_NE(problems[0].reason.find(missing), std::string::npos);
  EXPECT_EQ(problems[1].filename, ql::FromUtf8(damaged));
  EXPECT_NE(problems[1].reason.find(damaged), std::string::npos);
  EXPECT_TRUE(loader.TakeProblems().empty());
}

TEST_F(PictureLoaderTest, PixelCapFollowsTheMachineAndNamesTheSize) {
  EXPECT_LE(PicturePixelCap(), kMaxDibPixels);
  EXPECT_GE(PicturePixelCap(), 4 * 1000 * 1000);
  // A real PNG whose header claims 20000 x 20000 pixels, refused before
  // decoding.
  QByteArray bytes;
  {
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(2, 2, QImage::Format_RGB32).save(&buf, "PNG"));
  }
  std::string png(bytes.constData(), static_cast<size_t>(bytes.size()));
  const char size[8] = {0, 0, 0x4e, 0x20, 0, 0, 0x4e, 0x20};
  png.replace(16, 8, size, 8);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 12; i < 12 + 4 + 13; ++i) {
    crc ^= static_cast<uint8_t>(png[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  crc ^= 0xFFFFFFFFu;
  for (int k = 0; k < 4; ++k) png[29 + k] = static_cast<char>((crc >> (8 * (3 - k))) & 0xFF);
  const std::string file = *dir_ + "riesig.png";
  std::ofstream(file, std::ios::binary) << png;
  platform::QtPictureLoader loader;
  dib d;
  EXPECT_FALSE(loader.Load(ql::FromUtf8(file), d));
  const auto problems = loader.TakeProblems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].reason.find("riesig.png"), std::string::npos) << problems[0].reason;
  EXPECT_NE(problems[0].reason.find("20000 x 20000"), std::string::npos) << problems[0].reason;
}

// Found by picture_fuzz: a GIF whose header size as Qt reads it (23837 x
// 200) is not what its data decodes to (44031 x 200). The layout would measure one picture and the
// page draw another; such a file is refused as damaged.
TEST_F(PictureLoaderTest, HeaderSizeThatTheDataDoesNotDeliverIsRefused) {
  const std::string file = std::string(QL_TEST_DATA_DIR) + "/gif-screen-wider-than-frame.gif";
  dib d;
  std::string err;
  EXPECT_FALSE(OpenDib(d, file, kDibAuto, &err));
  EXPECT_NE(err.find("Der Dateikopf nennt 23837 x 200 Pixel, die Bilddaten haben 44031 x 200"),
            std::string::npos)
      << err;
  EXPECT_FALSE(d.loaded());
}

}  // namespace
