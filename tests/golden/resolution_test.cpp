// The sample's pagination on the Qt surface does not depend on the
// resolution or the zoom it is drawn at: page count and the page each product
// starts on are those of the 300-dpi print in every layout.
#include <gtest/gtest.h>

#include <vector>

#include "golden/sample_session.h"
#include "platform/guiapp.h"
#include "platform/qtsurface.h"
#include "render/layouts/layouts.h"

namespace {

struct Pagination {
  int32_t pages = 0;
  std::vector<int32_t> starts;  // every product's page, in catalog order
  bool operator==(const Pagination& o) const { return pages == o.pages && starts == o.starts; }
};

Pagination Paginate(render::RenderSession& s, int32_t layout, int32_t dpi, double zoom) {
  platform::ImageSurface surface(1, 1);  // nothing is drawn; only its fonts count
  render::RenderParams p = golden::PreviewParams(platform::FallbackPrinterPage(), dpi, zoom);
  p.canvas0 = &surface;
  p.printit = true;
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
  golden::SampleSession sample;
  ASSERT_TRUE(sample.opened);
  render::RenderSession& session = sample.session;
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
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
