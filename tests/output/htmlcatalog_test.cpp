// The HTML page-turning catalog: the binding shade and the corner curl
// against a plain per-pixel statement of them, the template filling, the
// file sets of even and odd catalogs, the copied pictures with their times,
// and what bad input leaves behind.
#include "output/htmlcatalog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "imaging/jpegwrite.h"
#include "imaging/pixoran.h"
#include "output/bitmapsink.h"
#include "output/htmlpagetext.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "test_renderer.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

dib Noise(int32_t w, int32_t h, unsigned seed) {
  dib d;
  newdib(d, w, h, 24);
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) setpixel(d, x, y, rng() & 0xFFFFFF);
  return d;
}

int Chan(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// The shade and the curl pixel by pixel, straight from their description.
void ReferenceShade(dib& d, bool odd) {
  const int32_t W = d.width, H = d.height;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      int32_t dd;
      if (odd) {
        dd = x;
        if (x > W - 10) dd = 5 * (W - 1 - x);
      } else {
        dd = W - 1 - x;
        if (dd > W - 10) dd = 5 * x;
      }
      if (y < 10 && dd > 5 * y) dd = 5 * y;
      if (y > H - 11 && dd > 5 * (H - 1 - y)) dd = 5 * (H - 1 - y);
      const int32_t f = std::min(dd + 50, 100);
      const uint32_t c = getpixel(d, x, y);
      uint32_t out = 0;
      for (int shift : {0, 8, 16}) {
        const double v = f * Chan(c, shift) / 100.0 + (100 - f) * 128 / 100.0;
        out |= static_cast<uint32_t>(std::nearbyint(v)) << shift;
      }
      setpixel(d, x, y, out);
    }
}

void ReferenceCurl(dib& d, bool odd) {
  const int32_t W = d.width, H = d.height;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const bool in = odd ? (x >= W - 80 && y >= H - 80) : (x <= 80 && y >= H - 80);
      if (!in) continue;
      int32_t a = static_cast<int32_t>(std::nearbyint(std::abs(odd ? W - x : x) * std::sin(M_PI / 4) +
                                                      std::abs(H - y) * std::cos(M_PI / 4)));
      if (a < 60) a = 100;
      a = std::min(a, 100);
      const uint32_t g = static_cast<uint32_t>(std::nearbyint(a * 255 / 100.0 + (100 - a) * 128 / 100.0));
      setpixel(d, x, y, g | g << 8 | g << 16);
    }
}

}  // namespace

TEST(BindingShade, KnownPixelsAndTheEdges) {
  dib d;
  newdib(d, 120, 100, 24);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 120; ++x) setpixel(d, x, y, 0x000064C8);  // (200, 100, 0)
  dib even = d;
  output::ApplyBindingShade(d, true);
  // At the spine of a right-hand page, away from top and bottom: f = 50.
  EXPECT_EQ(getpixel(d, 0, 50), 0x004072A4u);    // (164, 114, 64)
  EXPECT_EQ(getpixel(d, 50, 50), 0x000064C8u);   // 50 pixels in: unchanged
  EXPECT_EQ(getpixel(d, 119, 50), 0x004072A4u);  // outer edge: d = 0
  EXPECT_EQ(getpixel(d, 60, 0), 0x004072A4u);    // top edge
  EXPECT_EQ(getpixel(d, 60, 99), 0x004072A4u);   // bottom edge
  output::ApplyBindingShade(even, false);
  EXPECT_EQ(getpixel(even, 119, 50), 0x004072A4u);  // a left-hand page's spine is on the right
  EXPECT_EQ(getpixel(even, 69, 50), 0x000064C8u);
}

// The sharper picture shows the shade of the page picture it doubles: the
// band at the spine twice as many pixels wide, not half as wide on screen.
TEST(BindingShade, TheSharperPictureHasTheShadeOfItsHalf) {
  for (bool odd : {true, false})
    for (auto [w, h] : {std::pair{120, 90}, std::pair{61, 37}}) {
      dib small, big;
      ASSERT_TRUE(newdib(small, w, h, 24));
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) setpixel(small, x, y, 0x000064C8);
      for (int extra : {0, 1}) {
        ASSERT_TRUE(newdib(big, 2 * w + extra, 2 * h + extra, 24));
        for (int32_t y = 0; y < big.height; ++y)
          for (int32_t x = 0; x < big.width; ++x) setpixel(big, x, y, 0x000064C8);
        dib shaded = small;
        output::ApplyBindingShade(shaded, odd);
        output::ApplyBindingShade(big, odd, 2);
        int wrong = 0;
        for (int32_t y = 0; y < big.height; ++y)
          for (int32_t x = 0; x < big.width; ++x)
            wrong += getpixel(big, x, y) != getpixel(shaded, std::min(x / 2, w - 1), std::min(y / 2, h - 1));
        EXPECT_EQ(wrong, 0) << w << "x" << h << " +" << extra << (odd ? " odd" : " even");
        if (extra) continue;
        // The spine band: 50 pixels of the page picture, 100 of the sharper one.
        const int32_t spine = odd ? 0 : big.width - 1, inward = odd ? 1 : -1;
        EXPECT_NE(getpixel(big, spine + inward * 99, big.height / 2), 0x000064C8u);
        EXPECT_EQ(getpixel(big, spine + inward * 100, big.height / 2), 0x000064C8u);
      }
    }
}

TEST(BindingShade, RowWorkEqualsThePerPixelRule) {
  for (bool odd : {true, false})
    for (auto [w, h] : {std::pair{413, 584}, std::pair{7, 5}, std::pair{60, 21}}) {
      dib fast = Noise(w, h, static_cast<unsigned>(w * 31 + odd)), slow = fast;
      output::ApplyBindingShade(fast, odd);
      ReferenceShade(slow, odd);
      EXPECT_EQ(fast.pixels, slow.pixels) << w << "x" << h << (odd ? " odd" : " even");
      output::ApplyCornerCurl(fast, odd);
      ReferenceCurl(slow, odd);
      EXPECT_EQ(fast.pixels, slow.pixels) << "curl " << w << "x" << h << (odd ? " odd" : " even");
    }
}

TEST(CornerCurl, WhiteCornerAndItsBand) {
  dib d = Noise(200, 300, 7);
  output::ApplyCornerCurl(d, true);
  EXPECT_EQ(getpixel(d, 199, 299), 0x00FFFFFFu);  // a = Round(1.414) = 1 < 60: white
  EXPECT_EQ(getpixel(d, 120, 220), 0x00FFFFFFu);  // farthest from the corner: a > 100
  // On the fold, a = 60: grey 204.
  EXPECT_EQ(getpixel(d, 199 - 41, 299 - 42) & 0xFF, 204u);
  dib e = Noise(200, 300, 8);
  const uint32_t untouched = getpixel(e, 100, 100);
  output::ApplyCornerCurl(e, false);
  EXPECT_EQ(getpixel(e, 0, 299), 0x00FFFFFFu);  // a left-hand page curls at the bottom left
  EXPECT_EQ(getpixel(e, 100, 100), untouched);
}

TEST(HtmlTemplate, PlaceholdersInOrderLinesEndInCrLf) {
  const std::string t =
      "<p>%%ANZPAGES%% %%ANZPAGES%%</p>\n<b>%%BACKTEXT%%|%%FORWARDTEXT%%|%%FIRSTPAGE%%|%%LASTPAGE%%</b>\r\nx";
  EXPECT_EQ(output::FillHtmlTemplate(t, 4),
            "<p>3 3</p>\r\n<b>Zur\xC3\xBC"
            "ck|Vorw\xC3\xA4rts|Erste Seite|Letzte Seite</b>\r\nx\r\n");
  EXPECT_EQ(output::FillHtmlTemplate("%%ANZPAGES%%", 0), "1\r\n");
  EXPECT_EQ(output::FillHtmlTemplate("%%ANZPAGES%%", 10), "6\r\n");
  // A template that is not UTF-8 is taken as Windows-1252 and gets the texts so.
  EXPECT_EQ(output::FillHtmlTemplate("\xE4 %%BACKTEXT%%", 2),
            "\xE4 Zur\xFC"
            "ck\r\n");
}

namespace {

class HtmlCatalog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "ql-html-XXXXXX").string();
    root_ = mkdtemp(t.data());
    prog_ = root_ + "/prog/";
    fs::create_directories(prog_);
    Spit(prog_ + "flippages.htm", "<html data-pairs=\"%%ANZPAGES%%\">\n%%FORWARDTEXT%%\n</html>\n");
    for (const char* name : output::kHtmlNavPictures) Spit(prog_ + name, std::string("GIF89a") + name);
    doc_.settings.FilenameEdit1.clear();
    session_ = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
    opts_.progpath = prog_;
    opts_.dpi = 20;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root_, fs::perms::owner_all, ec);
    fs::remove_all(root_, ec);
  }
  std::vector<std::string> Files(const std::string& dir) const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  // n: the even page count; real: the pages drawn (their text files).
  static std::vector<std::string> Expected(int32_t n, int32_t real = -1) {
    std::vector<std::string> v = {"catalog.htm", output::kHtmlSearchIndexName, output::kHtmlPageListName};
    for (int32_t p = 1; p <= (real < 0 ? n : real); ++p) v.push_back(output::HtmlPageTextName(p));
    for (int32_t p = 1; p <= n; ++p) v.push_back(output::HtmlHdImageName(p));
    for (const char* name : output::kHtmlNavPictures) v.push_back(name);
    for (int32_t p = 0; p <= n + 1; ++p) v.push_back(output::HtmlPageImageName(p));
    for (int32_t p = 1; p <= n + 1; ++p) v.push_back(output::HtmlCurlImageName(p));
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string root_, prog_;
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
  output::HtmlCatalogOptions opts_;
};

QImage Jpeg(const std::string& path) { return QImage(QString::fromStdString(path), "JPEG"); }

}  // namespace

TEST_F(HtmlCatalog, FourPagesMakeThreePairs) {
  outtest::RendererGuard guard(*session_, 4);
  const std::string out = root_ + "/out/a/b";
  const output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, out, opts_);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.anzpages, 4);
  EXPECT_EQ(r.picturesCopied, 6);
  EXPECT_EQ(r.catalogFile, out + "/catalog.htm");
  EXPECT_EQ(Files(out), Expected(4));
  EXPECT_EQ(Slurp(out + "/catalog.htm"), "<html data-pairs=\"3\">\r\nVorw\xC3\xA4rts\r\n</html>\r\n");
  // Copies keep the source's bytes and modification time.
  for (const char* name : output::kHtmlNavPictures) {
    EXPECT_EQ(Slurp(out + "/" + name), std::string("GIF89a") + name);
    EXPECT_EQ(fs::last_write_time(out + "/" + name), fs::last_write_time(prog_ + name));
  }
  const QImage blank0 = Jpeg(out + "/catalogpage0.jpg"), blank5 = Jpeg(out + "/catalogpageflip5.jpg");
  const QImage p3 = Jpeg(out + "/catalogpage3.jpg"), f3 = Jpeg(out + "/catalogpageflip3.jpg");
  ASSERT_FALSE(blank0.isNull() || blank5.isNull() || p3.isNull() || f3.isNull());
  EXPECT_EQ(p3.width(), 4960 * 20 / 600);
  EXPECT_GT(qGray(blank0.pixel(0, 0)), 250);  // blank pages are not shaded
  EXPECT_GT(qGray(blank5.pixel(blank5.width() - 1, blank5.height() - 1)), 250);
  EXPECT_NEAR(qRed(p3.pixel(p3.width() / 2, p3.height() / 2)), 120, 8);   // page 3's own block
  EXPECT_NEAR(qGray(p3.pixel(0, p3.height() / 2)), 128 + 127 / 2, 8);     // shaded spine (left)
  EXPECT_NEAR(qGray(p3.pixel(p3.width() - 1, p3.height() - 1)), 192, 8);  // shaded corner
  EXPECT_GT(qGray(f3.pixel(f3.width() - 1, f3.height() - 1)), 245);       // ... turned up white
}

TEST_F(HtmlCatalog, OddPageCountEndsWithAnEmptyPage) {
  outtest::RendererGuard guard(*session_, 3);
  const std::string out = root_ + "/odd";
  const output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, out, opts_);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.anzpages, 4);
  EXPECT_EQ(session_->anzpages, 4);
  EXPECT_EQ(Files(out), Expected(4, 3));
  EXPECT_NE(Slurp(out + "/catalog.htm").find("data-pairs=\"3\""), std::string::npos);
  // Page 4 is an empty left-hand page: white, shaded towards its spine on the right.
  const QImage p4 = Jpeg(out + "/catalogpage4.jpg");
  EXPECT_GT(qGray(p4.pixel(p4.width() / 2, p4.height() / 2)), 250);
  EXPECT_NEAR(qGray(p4.pixel(p4.width() - 1, p4.height() / 2)), 191, 6);
}

TEST_F(HtmlCatalog, BadInputLeavesNothingOrOnlyWhatWasWritten) {
  outtest::RendererGuard guard(*session_, 2);
  // No folder: message 38.
  output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, "", opts_);
  EXPECT_NE(r.error.find("Ausgabeverzeichnis"), std::string::npos);
  // Template missing: named, nothing written, the folder not even made.
  fs::rename(prog_ + "flippages.htm", prog_ + "other.htm");
  r = output::ExportHtmlCatalog(*session_, root_ + "/t", opts_);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(prog_ + "flippages.htm"), std::string::npos) << r.error;
  EXPECT_FALSE(fs::exists(root_ + "/t"));
  fs::rename(prog_ + "other.htm", prog_ + "flippages.htm");
  // A folder that cannot be made (a file is in the way) is named.
  Spit(root_ + "/file", "x");
  r = output::ExportHtmlCatalog(*session_, root_ + "/file/sub", opts_);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(root_ + "/file/sub"), std::string::npos) << r.error;
  EXPECT_EQ(Slurp(root_ + "/file"), "x");
  // A missing picture is skipped; without images only the page and pictures.
  fs::remove(prog_ + "vcr-end.gif");
  opts_.writeImages = false;
  r = output::ExportHtmlCatalog(*session_, root_ + "/noimg", opts_);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.picturesCopied, 5);
  EXPECT_EQ(Files(root_ + "/noimg").size(), 6u);
  EXPECT_FALSE(fs::exists(root_ + "/noimg/vcr-end.gif"));
  EXPECT_EQ(outtest::g_drawn, 0);
}

TEST_F(HtmlCatalog, CancelAndThreadsKeepEveryFileWhole) {
  outtest::RendererGuard guard(*session_, 5);
  for (int threads : {0, 2}) {
    opts_.encoderThreads = threads;
    ASSERT_TRUE(output::ExportHtmlCatalog(*session_, root_ + "/t" + std::to_string(threads), opts_).ok);
  }
  for (const std::string& name : Expected(6))
    EXPECT_EQ(Slurp(root_ + "/t0/" + name), Slurp(root_ + "/t2/" + name)) << name;
  const output::HtmlCatalogResult r = output::ExportHtmlCatalog(
      *session_, root_ + "/c", opts_, [](const output::HtmlCatalogProgress& p) { return p.page < 3; });
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(r.ok);
  // A cancelled export leaves the folder as it was: no pictures of the pages
  // done before the cancel, no catalog page, no temporary folder.
  EXPECT_EQ(Files(root_ + "/c"), std::vector<std::string>{});
}

TEST_F(HtmlCatalog, UnwritableTargetsAreRefusedBeforeAnyPage) {
  outtest::RendererGuard guard(*session_, 4);
  const std::string out = root_ + "/ro";
  fs::create_directories(out);
  // A read-only catalog.htm (refused even for root): refused before the
  // first page is drawn, nothing else written.
  Spit(out + "/catalog.htm", "alt");
  fs::permissions(out + "/catalog.htm",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  outtest::g_drawn = 0;
  output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, out, opts_);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("catalog.htm konnte nicht geschrieben werden: Die Datei ist schreibgeschützt"),
            std::string::npos)
      << r.error;
  EXPECT_EQ(outtest::g_drawn, 0);
  EXPECT_EQ(Files(out), std::vector<std::string>{"catalog.htm"});
  EXPECT_EQ(Slurp(out + "/catalog.htm"), "alt");
  EXPECT_EQ(fs::status(out + "/catalog.htm").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  // A read-only page image of an earlier export, or text-layer file: no
  // picture of this run is moved into the folder (the pictures do not move
  // in without their text), and no catalog page is written.
  fs::remove(out + "/catalog.htm");
  for (const std::string name : {"catalogpage3.jpg", "catalogtext2.js"}) {
    Spit(out + "/" + name, "alt");
    fs::permissions(out + "/" + name, fs::perms::owner_read);
    r = output::ExportHtmlCatalog(*session_, out, opts_);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(name + " konnte nicht geschrieben werden: Die Datei ist schreibgeschützt"),
              std::string::npos)
        << r.error;
    EXPECT_EQ(Files(out), std::vector<std::string>{name});
    EXPECT_EQ(Slurp(out + "/" + name), "alt");
    fs::remove(out + "/" + name);
  }

  // A folder without write permission (not refused for root by the system).
  if (::geteuid() != 0) {
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec);
    r = output::ExportHtmlCatalog(*session_, out, opts_);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("catalog.htm"), std::string::npos) << r.error;
    fs::permissions(out, fs::perms::owner_all);
  }
}

namespace {

// Every page drawn as noise, row by row through the picture path, so each
// 2 x 2 block of the sharper drawing differs.
uint32_t NoisePixel(int32_t page, int32_t x, int32_t y) {
  uint32_t v = static_cast<uint32_t>(page * 7919 + x * 104729 + y * 1299709);
  v ^= v >> 13;
  v *= 0x5BD1E995u;
  return (v ^ (v >> 15)) & 0xFFFFFF;
}
bool NoiseRenderer(render::RenderSession& s, const render::RenderParams& p, const render::LayoutEntry&) {
  s.anzpages = 3;
  if (p.seiteedvalue >= 1 && p.seiteedvalue <= 3) {
    dib row;
    newdib(row, p.width, 1, 24);
    for (int32_t y = 0; y < p.height; ++y) {
      for (int32_t x = 0; x < p.width; ++x) setpixel(row, x, 0, NoisePixel(p.seiteedvalue, x, y));
      p.canvas0->SetDibRow(0, y, row);
    }
  }
  return p.seiteedvalue < 3;
}

}  // namespace

// The pictures are the page as drawn at twice the resolution, shaded; that
// drawing halved and shaded; and that with the corner turned up; encoded as
// the picture writer encodes a bitmap, byte for byte.
TEST_F(HtmlCatalog, PicturesAreTheDrawingHalvedShadedAndCurled) {
  outtest::RendererGuard guard(*session_, 3);
  session_->drawWith = NoiseRenderer;
  opts_.dpi = 23;
  opts_.compress = 12;
  const std::string out = root_ + "/noise/";
  const output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, out, opts_);
  ASSERT_TRUE(r.ok) << r.error;
  const render::RenderParams big = output::OutputPageParams(opts_.printer, 46);
  for (int32_t page = 1; page <= 4; ++page) {
    SCOPED_TRACE(page);
    dib drawn;
    ASSERT_TRUE(newdib(drawn, big.width, big.height, 24));
    std::memset(drawn.pixels.data(), 255, drawn.pixels.size());  // page 4 is the empty one
    if (page <= 3)
      for (int32_t y = 0; y < big.height; ++y)
        for (int32_t x = 0; x < big.width; ++x) setpixel(drawn, x, y, NoisePixel(page, x, y));
    dib small;
    ASSERT_TRUE(output::HalveDib(drawn, r.width, r.height, small));
    std::string bytes, why;
    output::ApplyBindingShade(drawn, page % 2 == 1, 2);
    ASSERT_TRUE(EncodeJpegDib(drawn, 88, kDefaultDibDpi, bytes, why)) << why;
    EXPECT_TRUE(Slurp(out + output::HtmlHdImageName(page)) == bytes);
    output::ApplyBindingShade(small, page % 2 == 1);
    ASSERT_TRUE(EncodeJpegDib(small, 88, kDefaultDibDpi, bytes, why)) << why;
    EXPECT_TRUE(Slurp(out + output::HtmlPageImageName(page)) == bytes);
    output::ApplyCornerCurl(small, page % 2 == 1);
    ASSERT_TRUE(EncodeJpegDib(small, 88, kDefaultDibDpi, bytes, why)) << why;
    EXPECT_TRUE(Slurp(out + output::HtmlCurlImageName(page)) == bytes);
  }
}
