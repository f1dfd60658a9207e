// The base of the layout test fixtures: a small catalog rendered on a
// 300-dpi A4 page (2480 × 3508 px) with the fixed metrics of the recording
// surface: every role font 12 pt (line height 60 px = 5.08 mm at 300 ppi),
// the category heading 20 pt; no header, footer or logo; category names as
// typed. Each fixture sets its margins on top.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "render/render.h"
#include "render/units.h"
#include "support/recording_surface.h"

namespace testsupport {

inline double Mm300(int32_t px300) { return px300 * render::kMmPerInch / 300; }
// Line height in mm of a font of `pt` points.
inline double LineMm(int32_t pt) { return Mm300(FixedHeight(FixedPixelSize(pt, 300))); }

struct CatalogFixture : ::testing::Test {
  Document doc;
  FixedMeasurer m;
  MemoryPictureLoader loader;
  render::RenderSession session{doc, m, loader};
  CatalogSettings& set = doc.settings;

  static constexpr int32_t kW = 2480, kH = 3508;

  CatalogFixture() {
    set.KopfEd.clear();
    set.FussEd.clear();
    set.FilenameEdit1.clear();
    set.CapsCheck = false;
    for (TFontSpec* f : {&set.FontDialog3, &set.FontDialog4, &set.FontDialog5, &set.FontDialog6,
                         &set.FontDialog7, &set.FontDialog11, &set.FontDialog1, &set.FontDialog12})
      *f = MakeFont(u"Fixed", 12, false, 0);
    set.FontDialog2 = MakeFont(u"Fixed", 20, true, 0);
  }

  // Printing parameters for `page` on the whole page, `widthmm` wide.
  render::RenderParams PageParams(render::DrawingSurface& s, int32_t page, double widthmm) const {
    render::RenderParams p;
    p.canvas0 = &s;
    p.dpi = 300;
    p.width = kW;
    p.height = kH;
    p.seiteedvalue = page;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = widthmm;
    p.heightmm = render::PageMm(kH, 300);
    return p;
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
  // A picture of pw × ph pixels, printed `widthcm` wide.
  void AddPicture(Product& p, const std::u16string& file, double widthcm, int pw, int ph) {
    dib d;
    newdib(d, pw, ph, 24);
    loader.files[file] = d;
    Picture* pic = doc.AddPicture(p);
    pic->filename = file;
    pic->width = widthcm;
  }
  void AddTable(Product& p, std::initializer_list<std::initializer_list<const char16_t*>> rows) {
    for (const auto& row : rows) {
      VariantRow* r = doc.AddRow(p);
      for (const char16_t* t : row) r->cells.Add()->text = t;
    }
  }
  // Texts starting with `prefix`.
  static std::vector<SurfaceOp> TextsStarting(const RecordingSurface& s, const std::u16string& prefix) {
    std::vector<SurfaceOp> out;
    for (const auto& op : s.Texts())
      if (op.text.compare(0, prefix.size(), prefix) == 0) out.push_back(op);
    return out;
  }
};

}  // namespace testsupport
