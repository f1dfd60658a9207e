#include "render/heading.h"

#include <algorithm>

#include "render/drawdib.h"
#include "render/furniture.h"
#include "render/text.h"
#include "render/toc.h"
#include "render/varianttable.h"

namespace render {

CategoryOptions& EnsureCategoryOptions(Category& c, double picwidthcm) {
  if (!c.options) {
    c.options = std::make_unique<CategoryOptions>();
    c.options->picwidth = picwidthcm;
  }
  return *c.options;
}

int32_t PrintedPageNr(const RenderPass& pass, const PageState& st) {
  return static_cast<int32_t>(static_cast<int64_t>(pass.set.FirstPageNr) + st.page - 1);
}

void SelectHeadingFont(RenderPass& pass, PageState& st, const Category& c) {
  const CatalogSettings& set = pass.set;
  DrawingSurface& cv = pass.canvas;
  cv.SetFont(set.FontDialog2);
  cv.SetTransparentText();
  if (c.options && c.options->ownfontcolor) cv.SetFontColor(c.options->fontcolor);
  cv.SetFontPpi(pass.dpi);
  const bool toc = IsToc(c);
  if (toc) st.itemsonpage = 1;
  const double s = set.FontDialog2.size;
  int32_t points;
  if (!IsMainCategory(c) || toc || set.DonotIncreaseFontSizeCheck) {
    pass.basesize = s;
    points = RoundEven(s * pass.zoom / 100.0);
  } else {
    pass.basesize = 1.5 * s;
    points = TruncClamp(1.5 * s * pass.zoom / 100.0);
  }
  cv.SetFontSize(std::max(points, 1));
  pass.ExactFontSize();
}

bool BeginCategory(RenderPass& pass, PageState& st, int32_t index, bool first, double sharedPageDropMm) {
  Document& doc = pass.doc;
  Category& c = doc.kats[index];
  if (CategoryDeactivated(c)) return false;
  st.x = st.leftpx;
  const bool nonewpage = c.options && c.options->nonewpage;
  const std::u16string prevname = index > 0 ? doc.kats[index - 1].name : std::u16string();
  if (!first && st.itemsonpage > 0 && !nonewpage) {
    BreakPage(pass, st, prevname);
    SelectHeadingFont(pass, st, c);
  } else {
    SelectHeadingFont(pass, st, c);
    if (nonewpage) {
      st.y += sharedPageDropMm;
      const double lh = pass.LineHeight();
      double need = st.y + 2 * lh;
      if (IsMainCategory(c) && !IsToc(c)) need += lh / 2;
      if (need > pass.UsableBottom(st)) BreakPage(pass, st, prevname);
    }
  }
  EnsureCategoryOptions(c).pagenr = PrintedPageNr(pass, st);
  st.category = index;
  return true;
}

namespace {

// A category picture: fully loaded when it is drawn, otherwise only its
// pixel size is read.
struct HeadingPicture {
  dib pic;
  int32_t w = 0, h = 0;
  bool ok = false;
};

bool LoadHeadingPicture(RenderPass& pass, const std::u16string& file, bool drawn, HeadingPicture& out) {
  if (file.empty()) return false;
  PictureLoader& loader = pass.session.loader();
  if (drawn) {
    // A category picture is at most page-sized (as a page background).
    if (!loader.LoadForBox(file, pass.params.width, pass.params.height, out.pic, out.w, out.h) ||
        !out.pic.loaded())
      return false;
  } else if (!loader.PixelSize(file, out.w, out.h)) {
    return false;
  }
  out.ok = out.w > 0 && out.h > 0;
  return out.ok;
}

void DrawHeadingPicture(RenderPass& pass, const CategoryOptions& o, HeadingPicture& hp, int32_t x, int32_t y,
                        int32_t w, int32_t h) {
  if (!hp.pic.loaded()) return;
  if (o.picasbackground)
    DrawDibWhole(pass.canvas, 0, 0, pass.params.width, pass.params.height, hp.pic, false,
                 pass.session.feedback);
  else
    DrawDibWhole(pass.canvas, x, y, w, h, hp.pic, false, pass.session.feedback);
}

}  // namespace

HeadingResult DrawCategoryHeading(RenderPass& pass, PageState& st, int32_t index) {
  Document& doc = pass.doc;
  const CatalogSettings& set = pass.set;
  DrawingSurface& cv = pass.canvas;
  Category& cat = doc.kats[index];
  const CategoryOptions* o = cat.options.get();
  const bool drawn = pass.Drawn(st);
  const bool bigmain = IsMainCategory(cat) && !IsToc(cat);
  const bool named = o && !o->pictureonly;

  HeadingResult res;
  const int32_t th = SurfaceTextHeight(pass, u" ");
  const double h = pass.LineHeight();

  // 1. Band.
  int32_t b = bigmain ? th + th : th + th / 2;
  if (drawn && set.KatBereichUnterCheck && named) {
    const TColor col = o->ownareacolor ? o->areacolor : set.Shape4;
    cv.SetPenColor(col);
    cv.SetPenWidth(1);
    cv.SetBrushColor(col);
    const int32_t ry = pass.Pos(st.y);
    cv.Rectangle(0, ry, pass.params.width, ry + b);
    cv.SetTransparentText();
  }

  // 2. Picture before the name.
  if (o && o->picbelowname == 0) {
    HeadingPicture hp;
    if (LoadHeadingPicture(pass, o->picfile, drawn, hp)) {
      int32_t w = pass.LenCm(o->picwidth);
      int32_t ht = static_cast<int32_t>(int64_t(hp.h) * w / hp.w);
      if (b > 2 * st.picmarginpx) b -= 2 * st.picmarginpx;
      if (ht > b) {
        ht = b;
        w = static_cast<int32_t>(int64_t(hp.w) * b / hp.h);
      }
      if (drawn) DrawHeadingPicture(pass, *o, hp, st.x, pass.Pos(st.y) + st.picmarginpx, w, ht);
      st.x += st.picmarginpx + w;
    }
  }

  // 3. Name.
  if (named) {
    if (set.UnterlegeKategorie)
      cv.SetBrushColor(o->ownnamecolor ? o->namecolor : set.Shape3);
    else
      cv.SetBrushStyle(BrushStyle::Clear);
    if (drawn) {
      std::u16string text = set.CapsCheck ? UpperForDisplay(cat.name) : cat.name;
      text = StripControlChars(text);
      cv.TextOut(st.x, pass.Pos(st.y) + (bigmain ? th / 2 : th / 4), text);
    }
    if (bigmain) st.y += h / 2;
    st.y += 2 * h;
  }
  cv.SetBrushStyle(BrushStyle::Clear);

  // 4. Back to the left margin.
  st.x = st.leftpx;
  res.textleftmm = st.leftmm;

  // 5. Picture below the name.
  double pictop = 0, pichm = 0;
  if (o && o->picbelowname == 1) {
    HeadingPicture hp;
    if (LoadHeadingPicture(pass, o->picfile, drawn, hp)) {
      const int32_t w = pass.LenCm(o->picwidth);
      const int32_t ht = static_cast<int32_t>(int64_t(hp.h) * w / hp.w);
      const double wm = o->picwidth * 10;
      const double hm = hp.h * wm / hp.w;
      if (drawn) DrawHeadingPicture(pass, *o, hp, st.x, pass.Pos(st.y), w, ht);
      pictop = st.y;
      pichm = hm + set.RandBildEd;
      if (o->introbelowpic) {
        st.y += hm + set.RandBildEd;
      } else {
        st.x += st.picmarginpx + w;
        res.textleftmm += set.RandBildEd + wm;
        res.picbeside = true;
        res.picbottommm = pictop + pichm;
      }
    }
  }

  // 6. Introduction.
  if (o && !o->introtext.empty()) {
    pass.SelectRoleFont(set.FontDialog12);
    const double limit = pass.params.widthmm - st.rightmm - res.textleftmm;
    const std::vector<std::u16string> lines =
        WrapIntroText(pass.session.cache(), pass.MeasureFont(), o->introtext, limit);
    for (const std::u16string& line : lines) {
      if (pass.Drawn(st)) cv.TextOut(pass.Pos(res.textleftmm), pass.Pos(st.y), StripControlChars(line));
      st.y += pass.LineHeight();
      if (st.y > pass.UsableBottom(st)) {
        BreakPage(pass, st, cat.name);
        pass.SelectRoleFont(set.FontDialog12);
        st.y = st.topmm + st.headermm + pass.LineHeight();
      }
    }
    st.y += pass.LineHeight();
  }

  // 7. Below a picture standing beside the text.
  if (res.picbeside) st.y = std::max(st.y, res.picbottommm);
  return res;
}

void StartCategoryBody(RenderPass& pass, PageState& st, int32_t index) {
  const Category& cat = pass.doc.kats[index];
  pass.SelectRoleFont(pass.set.FontDialog11);
  pass.canvas.SetBrushStyle(BrushStyle::Clear);
  const CategoryOptions& o = *cat.options;
  if (o.istoc) DrawTableOfContents(pass, st, index);
  st.y += pass.LineHeight();
  if (st.y > pass.UsableBottom(st) || o.firstproductnewpage) BreakPage(pass, st, cat.name);
}

}  // namespace render
