// Sample catalog pages of every layout compared pixel by pixel with PNG
// files in tests/data/golden, drawn as the preview draws them: 96 dpi, zoom
// 100, on the A4 fallback printer page (never the machine's printer).
//
// What the pixels depend on: the Debian 12 font packages fonts-liberation
// (Arial -> Liberation Sans) and fonts-dejavu-core (Arial Black -> DejaVu
// Sans), Qt 6's font rasterizer (Debian's qt6-base 6.4) and its JPEG and
// GIF plug-ins. A different font version or Qt changes anti-aliased text
// pixels; then the test fails and names the pages.
//
// After an intended change of the drawing, regenerate the files with
//   scripts/regen-golden.sh
// (it runs this test with QL_REGEN_GOLDEN=1) and look at them before
// committing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QImage>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "imaging/qtdib.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace {

std::string GoldenFolder() { return std::string(QL_TEST_DATA_DIR) + "/golden"; }

// One file of the golden folder: layoutN-pageM.png is page M of layout N.
// Any other name is kept as a case that fails.
struct Golden {
  int layout = -1;  // layout index: 0 = layout 1, 1 = layout 2, ...
  int page = 0;
  std::string file;  // the name in the golden folder
};

void PrintTo(const Golden& g, std::ostream* os) { *os << g.file; }

bool ParseGoldenName(const std::string& name, Golden& g) {
  int n = 0, m = 0, used = 0;
  if (std::sscanf(name.c_str(), "layout%d-page%d.png%n", &n, &m, &used) != 2 ||
      used != static_cast<int>(name.size()) ||
      name != "layout" + std::to_string(n) + "-page" + std::to_string(m) + ".png")
    return false;
  if (n < 1 || n > render::kLayoutCount || m < 1) return false;
  g.layout = n - 1;
  g.page = m;
  return true;
}

// Every file of the golden folder is a case, in name order: a new page is a
// new file (an empty one made with its name is filled by
// scripts/regen-golden.sh).
std::vector<Golden> GoldenCases() {
  std::vector<Golden> cases;
  const QStringList names = QDir(QString::fromStdString(GoldenFolder())).entryList(QDir::Files, QDir::Name);
  for (const QString& n : names) {
    Golden g;
    g.file = n.toStdString();
    ParseGoldenName(g.file, g);
    cases.push_back(g);
  }
  return cases;
}

std::string GoldenName(const Golden& g) { return GoldenFolder() + "/" + g.file; }

class GoldenPages : public ::testing::TestWithParam<Golden> {};

}  // namespace

TEST_P(GoldenPages, MatchPixelForPixel) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const Golden g = GetParam();
  ASSERT_GE(g.layout, 0) << g.file << " in " << GoldenFolder()
                         << " is no golden page: layoutN-pageM.png with N from 1 to " << render::kLayoutCount;
  // Picture file names in the sample are relative to its folder.
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  const std::string folder = std::string(QL_SOURCE_DIR) + "/data/sample";
  ASSERT_EQ(chdir(folder.c_str()), 0);
  Document doc;
  std::u16string error;
  const bool opened = OpenProjectFile(doc, "test.pk2", ReadOptions::FromDocument(doc), &error);
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  session.today = [] { return std::u16string(u"09.12.2026"); };
  session.LoadFurniturePictures();
  platform::PageImageRequest req;
  req.page = g.page;
  req.dpi = 96;
  req.layout = g.layout;
  dib page;
  platform::PageImageInfo info;
  const bool drawn =
      opened && platform::RenderPageImage(session, platform::FallbackPrinterPage(), req, page, info);
  ASSERT_EQ(chdir(old), 0);
  ASSERT_TRUE(opened);
  ASSERT_TRUE(drawn);
  ASSERT_GE(info.pages, g.page);
  QImage actual = DibToQImage(page).convertToFormat(QImage::Format_RGB32);

  const std::string file = GoldenName(g);
  if (std::getenv("QL_REGEN_GOLDEN")) {
    ASSERT_TRUE(actual.save(QString::fromStdString(file), "PNG"));
    GTEST_SKIP() << "wrote " << file;
  }
  QImage expected(QString::fromStdString(file));
  ASSERT_FALSE(expected.isNull()) << file << " is no picture (scripts/regen-golden.sh draws it)";
  expected = expected.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(expected.size(), actual.size());
  long differ = 0;
  for (int y = 0; y < actual.height(); ++y) {
    const QRgb* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
    const QRgb* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
    for (int x = 0; x < actual.width(); ++x) differ += (a[x] & 0xFFFFFF) != (e[x] & 0xFFFFFF);
  }
  if (differ) {
    const std::string out =
        "golden-actual-layout" + std::to_string(g.layout + 1) + "-page" + std::to_string(g.page) + ".png";
    actual.save(QString::fromStdString(out), "PNG");
    ADD_FAILURE() << differ << " pixels differ from " << file << "; this run's page is in " << out;
  }
}

// Every layout has its pages: a layout without one is an error.
TEST(GoldenFolder, HasPagesOfEveryLayout) {
  std::vector<int> pages(render::kLayoutCount, 0);
  for (const Golden& g : GoldenCases())
    if (g.layout >= 0) ++pages[g.layout];
  for (int i = 0; i < render::kLayoutCount; ++i)
    EXPECT_GT(pages[i], 0) << "no golden page of layout " << i + 1 << " in " << GoldenFolder();
}

TEST(GoldenFolder, NamesAreLayoutAndPage) {
  Golden g;
  EXPECT_TRUE(ParseGoldenName("layout1-page3.png", g));
  EXPECT_EQ(g.layout, 0);
  EXPECT_EQ(g.page, 3);
  EXPECT_TRUE(ParseGoldenName("layout" + std::to_string(render::kLayoutCount) + "-page12.png", g));
  const std::vector<std::string> bad = {
      "layout0-page1.png",  "layout" + std::to_string(render::kLayoutCount + 1) + "-page1.png",
      "layout1-page0.png",  "layout1-page1.png.orig",
      "layout01-page1.png", "layout1-page1.jpg",
      "layout 1-page1.png", "notes.txt"};
  for (const std::string& name : bad) EXPECT_FALSE(ParseGoldenName(name, g)) << name;
}

// The files in tests/data/golden: layout 1 the contents, a main category and
// products; layout 4 one column; layout 2 framed blocks; layout 3 rows with
// banded tables; layout 5 second pictures below the text; layout 6 pictures
// right; layouts 7 and 8 an odd and an even page.
INSTANTIATE_TEST_SUITE_P(Sample, GoldenPages, ::testing::ValuesIn(GoldenCases()),
                         [](const ::testing::TestParamInfo<Golden>& i) {
                           std::string name;
                           for (char c : i.param.file)
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return i.param.layout >= 0 ? "layout" + std::to_string(i.param.layout + 1) +
                                                            "_page" + std::to_string(i.param.page)
                                                      : "unexpected_" + name + "_" + std::to_string(i.index);
                         });
