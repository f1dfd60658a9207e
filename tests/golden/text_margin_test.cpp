// Zoomed-out previews of the sample: every text run's ink ends inside the
// right margin. Fonts are drawn at whole pixel sizes while the layout measures
// at 300 ppi; a run drawn wider than measured would cross the margin.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "golden/sample_session.h"
#include "platform/guiapp.h"
#include "platform/qtsurface.h"
#include "render/layouts/layouts.h"
#include "render/units.h"

namespace {

// A page image that notes, for every text run, the rightmost column the run
// inked (found by comparing its rows before and after drawing it).
class InkProbe : public platform::ImageSurface {
 public:
  InkProbe(int32_t w, int32_t h) : ImageSurface(w, h) {}
  struct Run {
    std::u16string text;
    int32_t x, y, inkRight;
  };
  std::vector<Run> runs;

 protected:
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override {
    const QImage& img = image();
    const int32_t h = TextHeight(s) + 4;
    const int32_t top = std::max(0, y - 2), bottom = std::min(img.height(), y + h);
    std::vector<QRgb> before;
    for (int32_t r = top; r < bottom; ++r)
      for (int32_t c = 0; c < img.width(); ++c) before.push_back(img.pixel(c, r));
    ImageSurface::DoTextOut(x, y, s);
    int32_t right = -1;
    size_t i = 0;
    for (int32_t r = top; r < bottom; ++r)
      for (int32_t c = 0; c < img.width(); ++c, ++i)
        if (img.pixel(c, r) != before[i] && c > right) right = c;
    runs.push_back({s, x, y, right});
  }
};

}  // namespace

TEST(TextMargin, InkOfEveryLineStaysInsideTheRightMarginWhenZoomedOut) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  golden::SampleSession sample;
  ASSERT_TRUE(sample.opened);
  Document& doc = sample.doc;

  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  const int32_t dpi = 96;
  int checked = 0;
  for (int32_t layout : {1, 3}) {  // layouts 2 and 4: text beside pictures, one wide column
    doc.settings.LayoutCombo = layout;
    for (double zoom : {25.0, 50.0, 75.0}) {
      render::RenderParams p = golden::PreviewParams(printer, dpi, zoom);
      const int32_t w = p.width, h = p.height;
      const CatalogSettings& set = doc.settings;
      // Body text ends at the right margin; the footer at its own side
      // margin; the header line is the user's and is not wrapped.
      const int32_t limit = render::PositionPx(platform::PageWidthMm(printer) - set.RechtsEd, dpi, zoom);
      const int32_t footerLimit = w - render::LengthPx(set.LinkRandFussEd, dpi, zoom);
      const int32_t headerY = render::PositionPx(set.ObenEd, dpi, zoom);
      const int32_t footerTop = h - render::LengthPx(set.UntenEd + set.PlatzueberEd + 15, dpi, zoom);
      for (int32_t page = 1; page <= 40; ++page) {
        InkProbe s(w, h);
        ASSERT_TRUE(s.ok());
        p.canvas0 = &s;
        p.seiteedvalue = 0;
        render::RenderCatalogPage(sample.session, p);
        p.seiteedvalue = page;
        const bool more = render::RenderCatalogPage(sample.session, p);
        for (const auto& r : s.runs) {
          if (r.inkRight < 0 || r.y <= headerY) continue;
          ++checked;
          // Antialiasing may touch the boundary column itself, not beyond.
          EXPECT_LE(r.inkRight, r.y >= footerTop ? footerLimit : limit)
              << "layout " << layout + 1 << " zoom " << zoom << " page " << page << ": \""
              << QString::fromStdU16String(r.text).toStdString() << "\" at x " << r.x << " inks column "
              << r.inkRight << ", margin at " << limit;
        }
        if (!more) break;
      }
    }
  }
  EXPECT_GT(checked, 500);
}
