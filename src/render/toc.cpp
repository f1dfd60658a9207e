#include "render/toc.h"

#include <cstdint>
#include <string>
#include <vector>

#include "render/furniture.h"
#include "render/heading.h"
#include "render/text.h"
#include "render/varianttable.h"

namespace render {

namespace {

std::u16string Decimal(int32_t n) {
  std::u16string s;
  for (char ch : std::to_string(n)) s.push_back(static_cast<char16_t>(ch));
  return s;
}

struct TocLister {
  RenderPass& pass;
  PageState& st;
  int current = 1;  // 1: FontDialog11 (main entries), 2: FontDialog1

  // Selects font 1 or 2 when it changes, then applies the entry's own
  // colour (or the role font's colour for entries without one).
  void Font(int which, const Category& x) {
    const CatalogSettings& set = pass.set;
    const TFontSpec& f = which == 1 ? set.FontDialog11 : set.FontDialog1;
    if (which != current) {
      pass.SelectRoleFont(f);
      current = which;
    }
    if (set.UseColorInInhaltCheck) {
      if (x.options && x.options->ownareacolor)
        pass.canvas.SetFontColor(x.options->areacolor);
      else
        pass.canvas.SetFontColor(f.color);
    }
  }

  void PageTest(const std::u16string& katname) {
    const double h = pass.LineHeight();
    if (st.y + 2 * h > pass.UsableBottom(st)) {
      BreakPage(pass, st, katname);
      st.y += h;
    }
  }

  // `printed` is the entry's printed page number (null: none). An entry
  // too long for the room before its number is broken (at spaces, a longer
  // word inside) onto further lines; the number and the leaders follow its
  // last line.
  void Line(const std::u16string& text, const std::u16string& number, int32_t indent, double indentmm,
            const int32_t* printed) {
    DrawingSurface& c = pass.canvas;
    const double room = pass.params.widthmm - st.rightmm - st.leftmm - indentmm - pass.TextWidthMm(number) -
                        pass.TextWidthMm(u" ");
    std::vector<std::u16string> lines;
    if (room > 0 && pass.TextWidthMm(text) > room)
      lines = WrapProductText(pass.session.cache(), pass.MeasureFont(), text, room);
    if (lines.empty()) lines.push_back(text);
    const int32_t top = pass.Pos(st.y);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) st.y += pass.LineHeight();
      if (!pass.Drawn(st)) continue;
      const std::u16string shown = StripControlChars(lines[i]);
      const int32_t y = pass.Pos(st.y);
      c.TextOut(st.leftpx + indent, y, shown);
      if (i + 1 < lines.size()) continue;
      const int32_t right = pass.params.width - st.rightpx;
      const int32_t numw = SurfaceTextWidth(pass, number);
      c.TextOut(right - numw, y, number);
      DrawDotLeaders(pass, SurfaceTextWidth(pass, shown) + indent + st.leftpx, right - numw, y);
      // The page counter of the entry's printed number (see PrintedPageNr).
      const int64_t page = printed ? *printed - static_cast<int64_t>(pass.set.FirstPageNr) + 1 : 0;
      if (page >= 1 && page <= INT32_MAX)
        c.LinkToPage(st.leftpx + indent, top, right, y + SurfaceTextHeight(pass, shown),
                     static_cast<int32_t>(page));
    }
    st.y += pass.LineHeight();
  }
};

}  // namespace

void DrawDotLeaders(RenderPass& pass, int32_t startpx, int32_t stoppx, int32_t y) {
  DrawingSurface& c = pass.canvas;
  const int32_t d = c.TextWidth(u".");
  if (d <= 0) return;  // a font without a visible dot: no leaders
  int64_t x = startpx;
  // Up to the next multiple of d, so the dots of all lines share one grid.
  int64_t r = x % d;
  if (r < 0) r += d;
  if (r != 0) x += d - r;
  while (x + d < stoppx) {
    c.TextOut(static_cast<int32_t>(x), y, u".");
    x += d;
  }
}

void DrawTableOfContents(RenderPass& pass, PageState& st, int32_t tocindex) {
  Document& doc = pass.doc;
  const Category& toc = doc.kats[tocindex];
  static const CategoryOptions kNone{};
  const CategoryOptions& to = toc.options ? *toc.options : kNone;
  const int32_t count = static_cast<int32_t>(doc.kats.Count());
  const int32_t start = to.tocallcategories ? 0 : tocindex + 1;
  const bool subonly = to.tocsubcategoriesonly && !to.tocallcategories;
  TocLister l{pass, st};
  bool mainentry = true;
  for (int32_t xi = start; xi < count; ++xi) {
    if (xi == tocindex) continue;
    const Category& x = doc.kats[xi];
    if (x.options && (x.options->notintoc || x.options->deactivated)) continue;
    const bool main = IsMainCategory(x);
    if (main) {
      mainentry = true;
      if (subonly) break;
    }
    l.Font(mainentry ? 1 : 2, x);
    l.PageTest(x.name);
    int32_t indent = mainentry ? 0 : 4 * st.picmarginpx;
    double indentmm = mainentry ? 0 : 4 * pass.set.RandBildEd;
    if (!to.tocnocategories)
      l.Line(StripControlChars(x.name), x.options ? Decimal(x.options->pagenr) : std::u16string(), indent,
             indentmm, x.options ? &x.options->pagenr : nullptr);
    if (to.tocwithproducts) {
      l.Font(2, x);
      if (!to.tocnocategories) {
        indent += 4 * st.picmarginpx;
        indentmm += 4 * pass.set.RandBildEd;
      }
      for (const Product& p : x.products) {
        if (p.deactivated) continue;
        l.PageTest(x.name);
        l.Line(p.name, Decimal(p.pagenr), indent, indentmm, &p.pagenr);
      }
    }
    if (main) mainentry = false;
  }
}

}  // namespace render
