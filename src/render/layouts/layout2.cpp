// Layouts 2, 5, 6, 7 and 8: each product is a block of two cells, a picture
// column 40 mm wide and a text cell (name, description, variant table),
// framed like a two-cell table. Every product is placed twice: the
// measuring pass may move it to the next page, the drawing pass retraces it
// and may break inside its description and its table, continuing the frame
// on the next page.
#include <algorithm>

#include "render/drawdib.h"
#include "render/furniture.h"
#include "render/heading.h"
#include "render/layouts/familyflow.h"
#include "render/layouts/layouts.h"
#include "render/text.h"
#include "render/varianttable.h"

namespace render {

namespace {

constexpr double kColumnMm = 40;  // width of the picture column, also the picture cap

class Layout2 : public FamilyFlow, public PageStartHook {
 public:
  Layout2(RenderPass& pass, int32_t bildmode, bool secondbelow)
      : FamilyFlow(pass), bildmode_(bildmode), secondbelow_(secondbelow) {}

  // ---- frame continuation ----
  void BeforePageStart(RenderPass& pass, PageState& st) override {
    // A break inside the description or the table of a product being drawn
    // closes its frame at the bottom of the page that ends.
    if (!inframe_ || !pass.DrawnPage(st.page - 1)) return;
    const double bottom = pass.UsableBottom(st);  // still the ending page's footer
    st.y = bottom;
    if (set_.NoRahmenCheck) return;
    LinePen();
    const int32_t yb = pass.Pos(bottom);
    for (int32_t x : {leftouter_, divider_, rightouter_}) {
      cv_.MoveTo(x, frametop_);
      cv_.LineTo(x, yb);
    }
  }
  void AfterPageStart(RenderPass& /*pass*/, PageState& st) override {
    frametop_ = st.toppx + st.headerpx;
    producttop_ = st.topmm + st.headermm;
  }

 private:
  bool Drawing() const { return passnr_ == 1 && pass_.Drawn(st_); }

  bool PicturesRight(int32_t page) const {
    switch (bildmode_) {
      case 1:
        return true;
      case 2:
        return page % 2 != 0;
      case 3:
        return page % 2 == 0;
      default:
        return false;
    }
  }

  void Geometry() {
    const int32_t width = pass_.params.width;
    const int32_t col = pass_.Len(kColumnMm);
    const int32_t textpad = pass_.Len(set_.RandTextEd);
    if (!right_) {
      colleftmm_ = st_.leftmm;
      textx_ = st_.leftpx + col + textpad + st_.picmarginpx;
      leftouter_ = st_.leftpx - st_.picmarginpx;
      divider_ = st_.leftpx + col + st_.picmarginpx;
      rightouter_ = width - st_.rightpx + textpad;
    } else {
      colleftmm_ = pass_.params.widthmm - st_.rightmm - kColumnMm;
      textx_ = st_.leftpx;
      leftouter_ = st_.leftpx - textpad;
      divider_ = width - st_.rightpx - st_.picmarginpx - col;
      rightouter_ = width - st_.rightpx + st_.picmarginpx;
    }
    wrapmm_ =
        pass_.params.widthmm - st_.leftmm - st_.rightmm - (set_.RandBildEd + set_.RandTextEd + kColumnMm);
    cellpx_ = width - st_.leftpx - st_.rightpx - col - textpad - st_.picmarginpx;
  }

  void HorizontalLine(int32_t y) {
    LinePen();
    cv_.MoveTo(leftouter_, y);
    cv_.LineTo(rightouter_, y);
  }

  void PlaceProduct(Category& cat, Product& p) override {
    productstart_ = st_.y;
    for (passnr_ = 0; passnr_ < 2; ++passnr_) {
      right_ = PicturesRight(st_.page);
      Geometry();
      if (passnr_ == 1) {
        ++st_.itemsonpage;
        inframe_ = true;
      }
      // Top line, drawn also without frame.
      if (Drawing()) HorizontalLine(pass_.Pos(st_.y));
      st_.y += set_.LineWidthEd / 2;
      producttop_ = st_.y;
      frametop_ = pass_.Pos(st_.y);
      st_.y += set_.RandBildEd;
      PictureColumn(p);
      if (passnr_ == 0 && !(st_.y + piccolh_ < Bottom()) && productstart_ > Top()) {
        // The pictures do not fit below what the page holds: move on. A
        // product already at the top of its page stays (a new page would
        // only leave this one empty) and runs over the bottom.
        BreakPage(pass_, st_, cat.name);
        st_.y += pass_.LineHeight();
        productstart_ = st_.y;
      }
      // Name, never split.
      pass_.SelectRoleFont(set_.FontDialog3);
      p.pagenr = PrintedPageNr(pass_, st_);
      const SharedLines name = pass_.session.layoutcache().ProductLines(
          pass_.session.cache(), pass_.MeasureFont(), p, p.name, wrapmm_);
      {
        TagScope heading(cv_, StructTag::Heading3, Drawing());
        for (const std::u16string& line : *name) {
          if (Drawing()) cv_.TextOut(textx_, pass_.Pos(st_.y), StripControlChars(line));
          st_.y += pass_.LineHeight();
        }
      }
      Description(cat, p);
      if (secondbelow_) SecondPicture(p);
      DrawVariantTable(pass_, st_, p, textx_, passnr_, false, cat.name);
      // Bottom rule and frame.
      st_.y = std::max(st_.y, producttop_ + piccolh_ + 2 * set_.RandBildEd);
      st_.y += set_.LineWidthEd / 2;
      if (Drawing() && !set_.NoRahmenCheck) {
        LinePen();
        const int32_t yb = pass_.Pos(st_.y);
        for (int32_t x : {leftouter_, divider_, rightouter_}) {
          cv_.MoveTo(x, frametop_);
          cv_.LineTo(x, yb);
        }
        HorizontalLine(yb);
      }
      inframe_ = false;
      if (passnr_ == 0 && st_.y > Bottom() && st_.itemsonpage > 0 && !set_.AllowPageBreak) {
        BreakPage(pass_, st_, cat.name);
      } else if (passnr_ == 1 && p.pagebreakafter) {
        BreakPage(pass_, st_, cat.name);
      } else if (passnr_ == 0) {
        st_.y = productstart_;
      }
    }
  }

  // The pictures one below the other, 40 mm at most; leaves y at the
  // column's top and its height in piccolh_.
  void PictureColumn(Product& p) {
    const double top = st_.y;
    const int32_t cap = pass_.Len(kColumnMm);
    const uint32_t n = p.pictures.Count();
    for (uint32_t i = 0; i < n; ++i) {
      if (i == 1 && secondbelow_) continue;
      Picture& pic = p.pictures[i];
      ColumnPicture cp;
      if (!SizeProductPicture(pass_, pic, Drawing(), cp)) continue;
      const PictureBox b = CappedPictureBox(pass_, pic, cp, kColumnMm, cap);
      if (Drawing() && cp.open) {
        const double xmm = set_.BildZentr ? colleftmm_ + (kColumnMm - b.wm) / 2 : colleftmm_;
        TagScope figure(cv_, StructTag::Figure, true, p.name);
        DrawDibWhole(cv_, pass_.Pos(xmm), pass_.Pos(st_.y), b.wp, b.hp, cp.pic, true, pass_.session.feedback);
      }
      st_.y += set_.RandBildEd + b.hm;
    }
    piccolh_ = st_.y - top;
    st_.y = top;
  }

  void Description(const Category& cat, const Product& p) {
    pass_.SelectRoleFont(set_.FontDialog4);
    const SharedLines all = pass_.session.layoutcache().ProductLines(
        pass_.session.cache(), pass_.MeasureFont(), p, p.description, wrapmm_);
    const size_t total = all->size();
    size_t first = 0;
    bool fresh = false;  // this round continues the description on a new page
    while (first < total) {
      first += SetDescriptionRound(pass_, st_, *all, first, passnr_ == 1, fresh, Bottom(), Drawing(), textx_,
                                   cellpx_);
      if (first < total) {  // drawing pass only
        BreakPage(pass_, st_, cat.name);
        piccolh_ = 0;
        productstart_ = st_.y;
        st_.y += pass_.LineHeight();
        pass_.SelectRoleFont(set_.FontDialog4);
        fresh = true;
      }
    }
    st_.y += pass_.LineHeight();
  }

  // Layout 5: the second picture below the description, uncapped, centred
  // over the text cell of the pictures-left geometry.
  void SecondPicture(Product& p) {
    if (p.pictures.Count() < 2) return;
    Picture& pic = p.pictures[1];
    ColumnPicture cp;
    if (!SizeProductPicture(pass_, pic, Drawing(), cp)) return;
    const double cm = std::max(0.0, pic.width);
    const PictureBox b = CappedPictureBox(pass_, pic, cp, 10 * cm, pass_.LenCm(cm));
    piccolh_ = std::max(piccolh_, b.hm);
    if (Drawing() && cp.open) {
      const int32_t x = pass_.Len(kColumnMm) + 2 * st_.picmarginpx + st_.leftpx + (cellpx_ - b.wp) / 2;
      TagScope figure(cv_, StructTag::Figure, true, p.name);
      DrawDibWhole(cv_, x, pass_.Pos(st_.y), b.wp, b.hp, cp.pic, true, pass_.session.feedback);
    }
    st_.y += set_.RandBildEd + b.hm;
  }

  const int32_t bildmode_;
  const bool secondbelow_;
  int passnr_ = 0;
  bool right_ = false;
  bool inframe_ = false;  // a product's drawing pass is under way
  double productstart_ = 0, producttop_ = 0, piccolh_ = 0;
  int32_t frametop_ = 0;
  // Block geometry of the current pass.
  double colleftmm_ = 0, wrapmm_ = 0;
  int32_t textx_ = 0, leftouter_ = 0, divider_ = 0, rightouter_ = 0, cellpx_ = 0;
};

}  // namespace

bool PaintToCanvasLayout2(RenderSession& s, const RenderParams& p, int32_t bildmode) {
  if (!p.canvas0) return false;
  if (bildmode < 0 || bildmode > 3) bildmode = 0;
  RenderPass pass(s, p);
  Layout2 layout(pass, bildmode, s.SecondPictureBelowText);
  layout.Run(&layout);
  return FinishPass(pass, layout.state());
}

}  // namespace render
