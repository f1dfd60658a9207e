// A catalog on a 300-dpi page exactly 210 mm wide with fixed metrics (see
// support/recording_surface.h): every role font 12 pt (advance 25 px,
// line height 60 px = 5.08 mm at 300 ppi), category headings 20 pt; no
// header, footer or logo. Margins: left and right 12 mm, top and bottom
// 10 mm; RandBildEd and RandTextEd 2 mm; line width 0.6 mm.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "render/layouts/layouts.h"
#include "render/render.h"
#include "render/units.h"
#include "support/recording_surface.h"

namespace layouttest {

using testsupport::FixedHeight;
using testsupport::FixedPixelSize;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

inline double Mm(int32_t px300) { return px300 * render::kMmPerInch / 300; }
inline double LineMm(int32_t pt) { return Mm(FixedHeight(FixedPixelSize(pt, 300))); }

struct FamilyTest : ::testing::Test {
  Document doc;
  testsupport::FixedMeasurer m;
  testsupport::MemoryPictureLoader loader;
  render::RenderSession session{doc, m, loader};
  CatalogSettings& set = doc.settings;

  static constexpr int32_t kW = 2480, kH = 3508;
  const double lh = LineMm(12);    // every role font but the heading
  const double hsub = LineMm(20);  // heading of a category with products

  FamilyTest() {
    render::InstallAllLayouts();
    set.KopfEd.clear();
    set.FussEd.clear();
    set.FilenameEdit1.clear();
    set.LinksEd = set.RechtsEd = 12;
    set.ObenEd = set.UntenEd = 10;
    set.RandBildEd = 2;
    set.RandTextEd = 2;
    set.LineWidthEd = 0.6;
    set.CapsCheck = false;
    set.ArtNotBlockCheck = true;
    for (TFontSpec* f : {&set.FontDialog3, &set.FontDialog4, &set.FontDialog5, &set.FontDialog6, &set.FontDialog7,
                         &set.FontDialog11, &set.FontDialog1, &set.FontDialog12})
      *f = MakeFont(u"Fixed", 12, false, 0);
    set.FontDialog2 = MakeFont(u"Fixed", 20, true, 0);
  }

  render::RenderParams Params(render::DrawingSurface& s, int32_t page) const {
    render::RenderParams p;
    p.canvas0 = &s;
    p.dpi = 300;
    p.width = kW;
    p.height = kH;
    p.seiteedvalue = page;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = 210;
    p.heightmm = render::PageMm(kH, 300);
    return p;
  }
  // Layout index as LayoutCombo: 1 = layout 2, 2 = layout 3, 4 = layout 5,
  // 5 = layout 6, 6 = layout 7, 7 = layout 8.
  bool Render(RecordingSurface& s, int32_t page, int32_t layout) {
    return render::RenderLayout(session, Params(s, page), layout);
  }
  int32_t Pos(double mm) const { return render::PositionPx(mm, 300, 100); }
  int32_t Len(double mm) const { return render::LengthPx(mm, 300, 100); }
  double Bottom() const { return render::PageMm(kH, 300) - set.UntenEd; }
  // Where the first product of the first category starts: content top,
  // heading (two heading lines), one line of the contents font.
  double FirstProductY() const { return set.ObenEd + 2 * hsub + lh; }

  Category& Cat(const std::u16string& name) { return *doc.AddCategory(name); }
  Product& Prod(Category& c, const std::u16string& name, const std::u16string& desc = {}) {
    Product& p = *doc.AddProduct(c);
    p.name = name;
    p.description = desc;
    return p;
  }
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
  void AddTable(Product& p, std::initializer_list<std::initializer_list<const char16_t*>> rows) {
    for (const auto& row : rows) {
      VariantRow* r = doc.AddRow(p);
      for (const char16_t* t : row) r->cells.Add()->text = t;
    }
  }

  // Pictures drawn, one op each: position (x1, y1) and size (x2, y2); a
  // row transfer counts its consecutive rows.
  static std::vector<SurfaceOp> PictureOps(const RecordingSurface& s) {
    std::vector<SurfaceOp> out;
    int32_t lastx = -1, lasty = -1, lastw = -1;
    for (const auto& op : s.ops) {
      if (op.kind == SurfaceOp::DibBlock) {
        out.push_back(op);
        lastw = -1;
      } else if (op.kind == SurfaceOp::DibRow) {
        if (op.x1 == lastx && op.y1 == lasty + 1 && op.x2 == lastw) {
          out.back().y2 += 1;
        } else {
          out.push_back(op);
          out.back().y2 = 1;
        }
        lastx = op.x1, lasty = op.y1, lastw = op.x2;
      }
    }
    return out;
  }
  static std::vector<SurfaceOp> Verticals(const RecordingSurface& s) {
    std::vector<SurfaceOp> out;
    for (const auto& op : s.OfKind(SurfaceOp::Line))
      if (op.x1 == op.x2 && op.y1 != op.y2) out.push_back(op);
    return out;
  }
  static std::vector<SurfaceOp> Horizontals(const RecordingSurface& s) {
    std::vector<SurfaceOp> out;
    for (const auto& op : s.OfKind(SurfaceOp::Line))
      if (op.y1 == op.y2 && op.x1 != op.x2) out.push_back(op);
    return out;
  }
  static std::vector<SurfaceOp> TextsStarting(const RecordingSurface& s, const std::u16string& prefix) {
    std::vector<SurfaceOp> out;
    for (const auto& op : s.Texts())
      if (op.text.compare(0, prefix.size(), prefix) == 0) out.push_back(op);
    return out;
  }
};

}  // namespace layouttest
