// One sample catalog page per layout of the picture-column family and of
// layout 3, compared pixel by pixel with PNG files in tests/data/golden,
// drawn as the preview draws them: 96 dpi, zoom 100, on the A4 fallback
// printer page. The pixels depend on the same fonts and Qt build as the
// layout-1 golden pages (see tests/golden/golden_pages_test.cpp).
//
// After an intended change of the drawing, regenerate with
//   scripts/regen-golden.sh
// (QL_REGEN_GOLDEN=1) and look at the pages before committing them.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "imaging/qtdib.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace {

struct Golden {
  int layout;  // layout index: 1 = layout 2, 2 = layout 3, ...
  int page;
};

std::string GoldenName(const Golden& g) {
  return std::string(QL_TEST_DATA_DIR) + "/golden/layout" + std::to_string(g.layout + 1) + "-page" +
         std::to_string(g.page) + ".png";
}

class GoldenLayoutPages : public ::testing::TestWithParam<Golden> {};

}  // namespace

TEST_P(GoldenLayoutPages, MatchPixelForPixel) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  render::InstallAllLayouts();
  const Golden g = GetParam();
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
  const bool drawn = opened && platform::RenderPageImage(session, platform::FallbackPrinterPage(), req, page, info);
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

// Pages chosen to show what each layout does: layout 2 a page of framed
// blocks, layout 3 rows with banded tables, layout 5 second pictures below
// the text, layout 6 pictures right, layouts 7 and 8 an odd and an even page.
INSTANTIATE_TEST_SUITE_P(Sample, GoldenLayoutPages,
                         ::testing::Values(Golden{1, 3}, Golden{2, 3}, Golden{4, 2}, Golden{5, 5}, Golden{6, 3},
                                           Golden{7, 2}),
                         [](const ::testing::TestParamInfo<Golden>& i) {
                           return "layout" + std::to_string(i.param.layout + 1) + "_page" +
                                  std::to_string(i.param.page);
                         });
