// A small catalog on a 300-dpi A4 page with fixed metrics (see
// support/recording_surface.h): every role font is 12 pt (50 px, height
// 60 px = 5.08 mm at 300 ppi), the category heading 20 pt (30 pt for main
// categories), no header, footer, logo or frame; margins 10 mm.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/layout1.h"
#include "render/render.h"
#include "render/units.h"
#include "support/recording_surface.h"

namespace layouttest {

using testsupport::FixedHeight;
using testsupport::FixedPixelSize;

inline double Mm(int32_t px300) { return px300 * render::kMmPerInch / 300; }
// Line height in mm of a font of `pt` points.
inline double LineMm(int32_t pt) { return Mm(FixedHeight(FixedPixelSize(pt, 300))); }

struct LayoutTest : ::testing::Test {
  Document doc;
  testsupport::FixedMeasurer m;
  testsupport::MemoryPictureLoader loader;
  render::RenderSession session{doc, m, loader};
  CatalogSettings& set = doc.settings;

  static constexpr int32_t kW = 2480, kH = 3508;

  LayoutTest() {
    set.KopfEd.clear();
    set.FussEd.clear();
    set.FilenameEdit1.clear();
    set.LinksEd = set.ObenEd = set.RechtsEd = set.UntenEd = 10;
    set.RandBildEd = 2;
    set.CapsCheck = false;
    for (TFontSpec* f : {&set.FontDialog3, &set.FontDialog4, &set.FontDialog5, &set.FontDialog6, &set.FontDialog7,
                         &set.FontDialog11, &set.FontDialog1, &set.FontDialog12})
      *f = MakeFont(u"Fixed", 12, false, 0);
    set.FontDialog2 = MakeFont(u"Fixed", 20, true, 0);
  }

  render::RenderParams Params(render::DrawingSurface& s, int32_t page) {
    render::RenderParams p;
    p.canvas0 = &s;
    p.dpi = 300;
    p.width = kW;
    p.height = kH;
    p.seiteedvalue = page;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = render::PageMm(kW, 300);
    p.heightmm = render::PageMm(kH, 300);
    return p;
  }
  // Renders `page` with layout index `layout` (0 = layout 1, 3 = layout 4).
  bool Render(testsupport::RecordingSurface& s, int32_t page, int32_t layout = 0) {
    return render::RenderLayout(session, Params(s, page), layout);
  }
  int32_t Pos(double mm) const { return render::PositionPx(mm, 300, 100); }
  int32_t Len(double mm) const { return render::LengthPx(mm, 300, 100); }
  double Bottom() const { return render::PageMm(kH, 300) - set.UntenEd; }

  Category& Cat(const std::u16string& name) { return *doc.AddCategory(name); }
  Product& Prod(Category& c, const std::u16string& name, const std::u16string& desc = {}) {
    Product& p = *doc.AddProduct(c);
    p.name = name;
    p.description = desc;
    return p;
  }
  // `n` description lines "l00", "l01", ... separated by CR LF.
  static std::u16string Lines(int n, const char16_t* prefix = u"l") {
    std::u16string s;
    for (int i = 0; i < n; ++i) {
      if (i) s += u"\r\n";
      s += prefix;
      s.push_back(static_cast<char16_t>(u'0' + i / 10));
      s.push_back(static_cast<char16_t>(u'0' + i % 10));
    }
    return s;
  }
  void AddPicture(Product& p, const std::u16string& file, double widthcm, int pw, int ph) {
    dib d;
    newdib(d, pw, ph, 24);
    loader.files[file] = d;
    Picture* pic = doc.AddPicture(p);
    pic->filename = file;
    pic->width = widthcm;
  }
  // Texts starting with `prefix`.
  static std::vector<testsupport::SurfaceOp> TextsStarting(const testsupport::RecordingSurface& s,
                                                           const std::u16string& prefix) {
    std::vector<testsupport::SurfaceOp> out;
    for (const auto& op : s.Texts())
      if (op.text.compare(0, prefix.size(), prefix) == 0) out.push_back(op);
    return out;
  }
};

}  // namespace layouttest
