// The page-images export: file names and the extension rule, the page size
// from the printer page, ranges (every page rendered, only the range saved),
// ranges that hold no page, cancelling, unwritable targets and bytes that do
// not depend on the number of encoder threads.
#include "output/pageimages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "output/bitmapsink.h"
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

class PageImages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "ql-pageimages-XXXXXX").string();
    dir_ = mkdtemp(t.data());
    doc_.settings.FilenameEdit1.clear();
    session_ = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
    opts_.dpi = 20;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir_)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string dir_;
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
  output::PageImagesOptions opts_;
};

}  // namespace

TEST(PageImageNames, ExtensionRuleAndFormatCode) {
  output::ImageFileNames n;
  ASSERT_TRUE(output::MakeImageFileNames("/tmp/out/katalog", 6, n));
  EXPECT_EQ(n.base, "/tmp/out/katalog");
  EXPECT_EQ(n.extension, ".jpg");
  EXPECT_EQ(n.formatCode, 8);
  EXPECT_EQ(n.PageFile(1), "/tmp/out/katalog1.jpg");
  // An extension outside the table is kept; the format still follows the filter.
  ASSERT_TRUE(output::MakeImageFileNames("/tmp/seite.xyz", 6, n));
  EXPECT_EQ(n.PageFile(12), "/tmp/seite12.xyz");
  EXPECT_EQ(n.formatCode, 8);
  ASSERT_TRUE(output::MakeImageFileNames("/tmp/seite.PNG", 1, n));
  EXPECT_EQ(n.PageFile(2), "/tmp/seite2.PNG");
  EXPECT_EQ(n.formatCode, 3);
  // A dot in a folder name is no extension, with either separator.
  ASSERT_TRUE(output::MakeImageFileNames("/tmp/v1.5/seite", 11, n));
  EXPECT_EQ(n.PageFile(3), "/tmp/v1.5/seite3.tif");
  ASSERT_TRUE(output::MakeImageFileNames("C:\\v1.5\\seite", 11, n));
  EXPECT_EQ(n.extension, ".tif");
  EXPECT_FALSE(output::MakeImageFileNames("/tmp/x", 0, n));
  EXPECT_FALSE(output::MakeImageFileNames("/tmp/x", 20, n));
}

TEST(PageImageGeometry, IntegerArithmeticOnThePrinterPage) {
  const render::RenderParams p = output::OutputPageParams(platform::FallbackPrinterPage(), 150);
  EXPECT_EQ(p.width, 1240);
  EXPECT_EQ(p.height, 1754);
  EXPECT_TRUE(p.printit);
  EXPECT_EQ(p.zoomedvalue, 100);
  EXPECT_NEAR(p.widthmm, 4960 / 600.0 * 25.39995, 1e-9);
  EXPECT_NEAR(p.heightmm, 7016 / 600.0 * 25.39995, 1e-9);
  platform::PrinterPage none;
  EXPECT_FALSE(output::CheckPageSize(output::OutputPageParams(none, 150)).empty());
}

TEST_F(PageImages, EveryPageOneFileOfThePageSize) {
  outtest::RendererGuard guard(*session_, 3);
  std::vector<int32_t> seen;
  const output::PageImagesResult r =
      output::ExportPageImages(*session_, dir_ + "/seite", opts_, [&](const output::PageImagesProgress& p) {
        seen.push_back(p.page);
        return true;
      });
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.saved, 3);
  EXPECT_EQ(r.anzpages, 3);
  EXPECT_EQ(session_->anzpages, 3);
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"seite1.jpg", "seite2.jpg", "seite3.jpg"}));
  for (int page = 1; page <= 3; ++page) {
    QImage img(QString::fromStdString(dir_ + "/seite" + std::to_string(page) + ".jpg"), "JPEG");
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 4960 * 20 / 600);
    EXPECT_EQ(img.height(), 7016 * 20 / 600);
    EXPECT_EQ(img.logicalDpiX(), 20);  // the JFIF density is the export's resolution
    // The page's own block (red 40 * page) in the middle, white at the edge.
    EXPECT_NEAR(qRed(img.pixel(img.width() / 2, img.height() / 2)), 40 * page, 6);
    EXPECT_GT(qRed(img.pixel(1, 1)), 245);
  }
}

TEST_F(PageImages, RangeSavesOnlyItsPagesYetEveryPageIsVisited) {
  outtest::RendererGuard guard(*session_, 5);
  opts_.allPages = false;
  opts_.from = 2;
  opts_.to = 2.5;  // rounds half to even: 2
  std::vector<int32_t> seen;
  output::PageImagesResult r =
      output::ExportPageImages(*session_, dir_ + "/r.png", opts_, [&](const output::PageImagesProgress& p) {
        seen.push_back(p.page);
        return true;
      });
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(Files(), (std::vector<std::string>{"r2.png"}));  // extension kept, content JPEG
  EXPECT_EQ(Slurp(dir_ + "/r2.png").substr(0, 3), "\xFF\xD8\xFF");
  opts_.to = 3.5;    // rounds to 4
  opts_.from = 1.5;  // rounds to 2
  seen.clear();
  r = output::ExportPageImages(*session_, dir_ + "/s", opts_, [&](const output::PageImagesProgress& p) {
    seen.push_back(p.page);
    return true;
  });
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.saved, 3);
  EXPECT_EQ(r.anzpages, 5);
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(fs::exists(dir_ + "/s2.jpg") && fs::exists(dir_ + "/s3.jpg") && fs::exists(dir_ + "/s4.jpg"));
  EXPECT_FALSE(fs::exists(dir_ + "/s1.jpg") || fs::exists(dir_ + "/s5.jpg"));
}

TEST_F(PageImages, RangesWithoutAPageWriteNothingAndSaySo) {
  outtest::RendererGuard guard(*session_, 5);
  opts_.allPages = false;
  opts_.from = 3;
  opts_.to = 2;
  output::PageImagesResult r = output::ExportPageImages(*session_, dir_ + "/a", opts_);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("es wurde kein Bild gespeichert"), std::string::npos) << r.error;
  opts_.from = 6;
  opts_.to = 9;
  r = output::ExportPageImages(*session_, dir_ + "/b", opts_);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("hat 5 Seiten"), std::string::npos) << r.error;
  EXPECT_TRUE(Files().empty());
}

TEST_F(PageImages, CancelKeepsThePagesWritten) {
  outtest::RendererGuard guard(*session_, 5);
  const output::PageImagesResult r = output::ExportPageImages(
      *session_, dir_ + "/c.bmp", opts_, [](const output::PageImagesProgress& p) { return p.page <= 2; });
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.saved, 2);
  EXPECT_EQ(Files(), (std::vector<std::string>{"c1.bmp", "c2.bmp"}));
  EXPECT_EQ(outtest::g_drawn, 2);  // nothing is drawn after the cancel
}

TEST_F(PageImages, UnwritableTargetIsNamedAndBadSettingsRefused) {
  outtest::RendererGuard guard(*session_, 2);
  const output::PageImagesResult r = output::ExportPageImages(*session_, dir_ + "/missing/x", opts_);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(dir_ + "/missing/x1.jpg"), std::string::npos) << r.error;
  opts_.dpi = 5;
  EXPECT_FALSE(output::ExportPageImages(*session_, dir_ + "/y", opts_).ok);
  opts_.dpi = 20;
  opts_.compress = 101;
  EXPECT_FALSE(output::ExportPageImages(*session_, dir_ + "/y", opts_).ok);
  EXPECT_TRUE(Files().empty());
}

TEST_F(PageImages, BytesDoNotDependOnTheEncoderThreads) {
  outtest::RendererGuard guard(*session_, 4);
  opts_.compress = 20;
  for (int threads : {0, 1, 3}) {
    opts_.encoderThreads = threads;
    ASSERT_TRUE(output::ExportPageImages(*session_, dir_ + "/t" + std::to_string(threads) + "-", opts_).ok);
  }
  for (int page = 1; page <= 4; ++page) {
    const std::string a = Slurp(dir_ + "/t0-" + std::to_string(page) + ".jpg");
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, Slurp(dir_ + "/t1-" + std::to_string(page) + ".jpg"));
    EXPECT_EQ(a, Slurp(dir_ + "/t3-" + std::to_string(page) + ".jpg"));
  }
}
