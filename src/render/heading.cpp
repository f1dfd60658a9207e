#include "render/heading.h"

#include <algorithm>
#include <string>
#include <vector>

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

// A category picture: its pixel size decides its room; its pixels are
// decoded only when it is drawn, for the box it is drawn into.
struct HeadingPicture {
  std::u16string file;
  int32_t w = 0, h = 0;
  bool ok = false;
};

bool LoadHeadingPicture(RenderPass& pass, const std::u16string& file, HeadingPicture& out) {
  if (file.empty() || !pass.session.loader().PixelSize(file, out.w, out.h)) return false;
  out.file = file;
  out.ok = out.w > 0 && out.h > 0;
  return out.ok;
}

void DrawHeadingPicture(RenderPass& pass, const CategoryOptions& o, HeadingPicture& hp, int32_t x, int32_t y,
                        int32_t w, int32_t h) {
  const bool page = o.picasbackground;
  if (page) {
    x = y = 0;
    w = pass.params.width;
    h = pass.params.height;
  }
  dib pic;
  int32_t fw, fh;
  if (w <= 0 || h <= 0 || !pass.session.loader().LoadForBox(hp.file, w, h, pic, fw, fh) || !pic.loaded())
    return;
  DrawDibWhole(pass.canvas, x, y, w, h, pic, false, pass.session.feedback);
}

// The name in lines broken at spaces, each no wider than `limitmm` in the
// heading font. While a single word is wider than that, the font is set a
// point smaller (not below 1 pt) and the name broken again; `smaller` then
// says the font on the surface is no longer the heading font.
std::vector<std::u16string> FitHeadingName(RenderPass& pass, const std::u16string& text, double limitmm,
                                           bool& smaller) {
  smaller = false;
  for (;;) {
    std::vector<std::u16string> lines;
    double widest = 0;  // the widest line that is a single word too wide
    size_t i = 0;
    while (i < text.size()) {
      // The line takes words (with the spaces between them) while it fits;
      // its first word always.
      size_t end = text.find(u' ', i);
      if (end == std::u16string::npos) end = text.size();
      for (;;) {
        size_t next = end;
        while (next < text.size() && text[next] == u' ') ++next;
        if (next >= text.size()) break;
        size_t nend = text.find(u' ', next);
        if (nend == std::u16string::npos) nend = text.size();
        if (pass.TextWidthMm(text.substr(i, nend - i)) > limitmm) break;
        end = nend;
      }
      const std::u16string line = text.substr(i, end - i);
      const double w = pass.TextWidthMm(line);
      if (w > limitmm) widest = std::max(widest, w);
      lines.push_back(line);
      i = end;
      while (i < text.size() && text[i] == u' ') ++i;
    }
    if (lines.empty()) lines.emplace_back();
    const int32_t points = TruncClamp(pass.basesize);
    if (widest <= 0 || points <= 1 || limitmm <= 0) return lines;
    // Straight to the size the widest word would have, then point by point.
    const int32_t fit = static_cast<int32_t>(points * limitmm / widest);
    pass.basesize = std::max(1, std::min(points - 1, fit));
    pass.canvas.SetFontSize(ZoomedFontPoints(pass.basesize, pass.zoom));
    pass.ExactFontSize();
    smaller = true;
  }
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
  const int32_t b1 = bigmain ? th + th : th + th / 2;  // the band of a one-line name

  // The picture before the name: its size decides where the name starts.
  HeadingPicture before;
  int32_t bw = 0, bh = 0;
  if (o && o->picbelowname == 0 && LoadHeadingPicture(pass, o->picfile, before)) {
    bw = pass.LenCm(o->picwidth);
    bh = static_cast<int32_t>(int64_t(before.h) * bw / before.w);
    int32_t cap = b1;
    if (cap > 2 * st.picmarginpx) cap -= 2 * st.picmarginpx;
    if (bh > cap) {
      bh = cap;
      bw = static_cast<int32_t>(int64_t(before.w) * cap / before.h);
    }
  }
  const int32_t namex = st.x + (before.ok ? st.picmarginpx + bw : 0);

  // The name's lines, each within the right margin, and their pitch.
  std::vector<std::u16string> lines;
  int32_t pitchpx = th;
  double pitchmm = h;
  bool smaller = false;
  if (named) {
    const std::u16string text = StripControlChars(set.CapsCheck ? UpperForDisplay(cat.name) : cat.name);
    const int32_t roompx = pass.params.width - st.rightpx - namex;
    lines = FitHeadingName(pass, text, roompx * kMmPerInch * 100.0 / (pass.dpi * pass.zoom), smaller);
    if (smaller) {
      pitchpx = SurfaceTextHeight(pass, u" ");
      pitchmm = pass.LineHeight();
    }
  }
  const int32_t more = lines.size() > 1 ? static_cast<int32_t>(lines.size() - 1) : 0;

  // 1. Band, grown by the name's further lines.
  const int32_t b = b1 + more * pitchpx;
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
  if (before.ok) {
    if (drawn) {
      TagScope figure(cv, o->picasbackground ? StructTag::Artifact : StructTag::Figure, true, cat.name);
      DrawHeadingPicture(pass, *o, before, st.x, pass.Pos(st.y) + st.picmarginpx, bw, bh);
    }
    st.x = namex;
  }

  // 3. Name.
  if (named) {
    if (set.UnterlegeKategorie)
      cv.SetBrushColor(o->ownnamecolor ? o->namecolor : set.Shape3);
    else
      cv.SetBrushStyle(BrushStyle::Clear);
    if (drawn) {
      TagScope heading(cv, IsMainCategory(cat) ? StructTag::Heading1 : StructTag::Heading2);
      const int32_t top = pass.Pos(st.y) + (bigmain ? th / 2 : th / 4);
      for (size_t i = 0; i < lines.size(); ++i)
        cv.TextOut(st.x, top + static_cast<int32_t>(i) * pitchpx, lines[i]);
    }
    if (bigmain) st.y += h / 2;
    st.y += 2 * h + more * pitchmm;
    if (smaller) SelectHeadingFont(pass, st, cat);  // back to the heading font for what follows
  }
  cv.SetBrushStyle(BrushStyle::Clear);

  // 4. Back to the left margin.
  st.x = st.leftpx;
  res.textleftmm = st.leftmm;

  // 5. Picture below the name.
  double pictop = 0, pichm = 0;
  if (o && o->picbelowname == 1) {
    HeadingPicture hp;
    if (LoadHeadingPicture(pass, o->picfile, hp)) {
      const int32_t w = pass.LenCm(o->picwidth);
      const int32_t ht = static_cast<int32_t>(int64_t(hp.h) * w / hp.w);
      const double wm = o->picwidth * 10;
      const double hm = hp.h * wm / hp.w;
      if (drawn) {
        TagScope figure(cv, o->picasbackground ? StructTag::Artifact : StructTag::Figure, true, cat.name);
        DrawHeadingPicture(pass, *o, hp, st.x, pass.Pos(st.y), w, ht);
      }
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
    TagScope intro(cv, StructTag::Paragraph, pass.Drawn(st));
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
