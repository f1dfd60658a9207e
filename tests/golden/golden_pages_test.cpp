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
#include <cstdlib>
#include <string>

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

struct Golden {
  int layout;  // layout index: 0 = layout 1, 1 = layout 2, ...
  int page;
};

std::string GoldenName(const Golden& g) {
  return std::string(QL_TEST_DATA_DIR) + "/golden/layout" + std::to_string(g.layout + 1) + "-page" +
         std::to_string(g.page) + ".png";
}

class GoldenPages : public ::testing::TestWithParam<Golden> {};

}  // namespace

TEST_P(GoldenPages, MatchPixelForPixel) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const Golden g = GetParam();
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
  ASSERT_FALSE(expected.isNull()) << "missing " << file << " (scripts/regen-golden.sh makes it)";
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

// Pages chosen to show what each layout does: layout 1 the contents, a main
// category and products; layout 4 one column; layout 2 framed blocks;
// layout 3 rows with banded tables; layout 5 second pictures below the text;
// layout 6 pictures right; layouts 7 and 8 an odd and an even page.
INSTANTIATE_TEST_SUITE_P(Sample, GoldenPages,
                         ::testing::Values(Golden{0, 1}, Golden{0, 2}, Golden{0, 3}, Golden{3, 2},
                                           Golden{1, 3}, Golden{2, 3}, Golden{4, 2}, Golden{5, 5},
                                           Golden{6, 3}, Golden{7, 2}),
                         [](const ::testing::TestParamInfo<Golden>& i) {
                           return "layout" + std::to_string(i.param.layout + 1) + "_page" +
                                  std::to_string(i.param.page);
                         });
