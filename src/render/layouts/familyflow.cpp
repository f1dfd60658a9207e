#include "render/layouts/familyflow.h"

#include <algorithm>

#include "render/furniture.h"
#include "render/heading.h"
#include "render/text.h"

namespace render {

bool SizeProductPicture(RenderPass& pass, Picture& pic, bool drawing, ColumnPicture& out) {
  PictureLoader& loader = pass.session.loader();
  out = ColumnPicture{};
  if (drawing) {
    // Decoded for the uncapped printed width, which no box of the layouts
    // exceeds (CappedPictureBox only narrows it).
    int32_t fw = 0, fh = 0, bw = 0, bh = 0;
    if (!pic.filename.empty() && loader.PixelSize(pic.filename, fw, fh) && fw > 0 && fh > 0) {
      bw = std::max(0, pass.LenCm(std::max(0.0, pic.width)));
      bh = static_cast<int32_t>(static_cast<int64_t>(fh) * bw / fw);
    }
    if (!pic.filename.empty() && loader.LoadForBox(pic.filename, bw, bh, out.pic, fw, fh) &&
        out.pic.loaded()) {
      out.open = true;
      pic.pixwidth = fw;
      pic.pixheight = fh;
    } else {
      deldib(out.pic);
      pic.pixwidth = pic.pixheight = 0;
    }
  } else if (pic.pixwidth <= 0 || pic.pixheight <= 0) {
    int32_t w = 0, h = 0;
    if (pic.filename.empty() || !loader.PixelSize(pic.filename, w, h) || w <= 0 || h <= 0) w = h = 0;
    pic.pixwidth = w;
    pic.pixheight = h;
  }
  out.w = pic.pixwidth;
  out.h = pic.pixheight;
  return out.w > 0 && out.h > 0;
}

PictureBox CappedPictureBox(const RenderPass& pass, const Picture& pic, const ColumnPicture& cp, double capmm,
                            int32_t cappx) {
  PictureBox b;
  const double cm = std::max(0.0, pic.width);
  b.wp = std::max(0, std::min(pass.LenCm(cm), cappx));
  b.wm = std::max(0.0, std::min(10 * cm, capmm));
  if (cp.w > 0) {
    b.hp = static_cast<int32_t>(static_cast<int64_t>(cp.h) * b.wp / cp.w);
    b.hm = cp.h * b.wm / cp.w;
  }
  return b;
}

void FamilyFlow::LinePen() {
  cv_.SetPenColor(set_.Shape11);
  cv_.SetPenWidth(pass_.Len(set_.LineWidthEd));
  cv_.SetGeometricPen(true);
}

void FamilyFlow::Run(PageStartHook* hook) {
  pass_.pagehook = hook;
  StartPass(pass_, st_);
  Document& doc = pass_.doc;
  const int32_t count = static_cast<int32_t>(doc.kats.Count());
  for (int32_t i = 0; i < count; ++i) {
    // As layout 1, except that a category sharing the page starts
    // 3 x RandBildEd lower.
    if (!BeginCategory(pass_, st_, i, i == 0, 3 * set_.RandBildEd)) continue;
    CategoryStart();
    Category& cat = doc.kats[i];
    DrawCategoryHeading(pass_, st_, i);
    StartCategoryBody(pass_, st_, i);
    const CategoryOptions& o = *cat.options;
    BeforeProducts();
    for (Product& p : cat.products)
      if (!p.deactivated) PlaceProduct(cat, p);
    AfterProducts();
    if (o.istoc || o.pictureonly) {
      st_.itemsonpage = 1;
      st_.x = LeftEdgePx();
    }
  }
  pass_.pagehook = nullptr;
}

size_t SetDescriptionRound(RenderPass& pass, PageState& st, const std::vector<std::u16string>& lines,
                           size_t first, bool drawpass, bool fresh, double bottom, bool drawing, int32_t x,
                           int32_t maxw) {
  const size_t total = lines.size();
  size_t n = total - first;
  if (drawpass) {
    const double lh = pass.LineHeight();
    size_t k = 0;
    while (k < n && st.y + (k + 1) * lh <= bottom) ++k;
    if (k == 0 && fresh) k = 1;
    n = k;
  }
  for (size_t i = first; i < first + n; ++i) {
    if (drawing) {
      const std::u16string line = StripControlChars(lines[i]);
      const int32_t y = pass.Pos(st.y);
      if (pass.set.ArtNotBlockCheck || i + 1 == total)
        pass.canvas.TextOut(x, y, line);
      else
        textoutBlockSatz(pass.canvas, x, y, line, maxw);
    }
    st.y += pass.TextHeightMm(lines[i]);
  }
  return n;
}

}  // namespace render
