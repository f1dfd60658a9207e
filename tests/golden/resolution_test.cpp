// The sample's pagination on the Qt surface does not depend on the
// resolution or the zoom it is drawn at: page count and the page each product
// starts on are those of the 300-dpi print in every layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace {

struct Pagination {
  int32_t pages = 0;
  std::vector<int32_t> starts;  // every product's page, in catalog order
  bool operator==(const Pagination& o) const { return pages == o.pages && starts == o.starts; }
};

Pagination Paginate(render::RenderSession& s, int32_t layout, int32_t dpi, double zoom) {
  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(printer, dpi, zoom, w, h);
  platform::ImageSurface surface(1, 1);  // nothing is drawn; only its fonts count
  render::RenderParams p;
  p.canvas0 = &surface;
  p.dpi = dpi;
  p.width = w;
  p.height = h;
  p.zoomedvalue = zoom;
  p.printit = true;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  p.seiteedvalue = 0;
  // Twice, as outputs do: the second run reads what the first left.
  render::RenderLayout(s, p, layout);
  render::RenderLayout(s, p, layout);
  Pagination out;
  out.pages = s.anzpages;
  for (const Category& c : s.doc().kats)
    for (const Product& prod : c.products) out.starts.push_back(prod.pagenr);
  return out;
}

}  // namespace

TEST(Resolution, SamplePaginationIsTheSameAtEveryResolutionAndZoom) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir((std::string(QL_SOURCE_DIR) + "/data/sample").c_str()), 0);
  Document doc;
  const bool opened = OpenProjectFile(doc, "test.pk2", ReadOptions::FromDocument(doc));
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  session.LoadFurniturePictures();
  ASSERT_EQ(chdir(old), 0);
  ASSERT_TRUE(opened);
  for (int32_t layout = 0; layout < 8; ++layout) {
    const Pagination print = Paginate(session, layout, 300, 100);
    ASSERT_GT(print.pages, 1);
    for (int32_t dpi : {30, 72, 96, 150, 600})
      EXPECT_TRUE(Paginate(session, layout, dpi, 100) == print)
          << "layout " << layout + 1 << " at " << dpi << " dpi: " << Paginate(session, layout, dpi, 100).pages
          << " pages, " << print.pages << " at 300 dpi";
    for (double zoom : {25.0, 50.0, 400.0})
      EXPECT_TRUE(Paginate(session, layout, 96, zoom) == print)
          << "layout " << layout + 1 << " at zoom " << zoom << ": "
          << Paginate(session, layout, 96, zoom).pages << " pages, " << print.pages << " at 300 dpi";
  }
}
