// Layout 3: the products of a category in a grid of two, three or four
// cells per row. A cell holds the name (padded to the catalog's largest
// name line count, so the pictures of a row start level), the pictures,
// the description and the variant table; a row is as tall as its tallest
// cell. Nothing frames the cells.
#include <algorithm>

#include "render/drawdib.h"
#include "render/furniture.h"
#include "render/heading.h"
#include "render/layouts/celltable.h"
#include "render/layouts/familyflow.h"
#include "render/layouts/layouts.h"
#include "render/text.h"

namespace render {

namespace {

double CellWidthMm(const RenderParams& p, const CatalogSettings& set, int32_t ncols) {
  return (p.widthmm - set.LinksEd - set.RechtsEd - 6 * set.RandBildEd) / ncols;
}

class Layout3 : public FamilyFlow, public PageStartHook {
 public:
  Layout3(RenderPass& pass, int32_t ncols, int32_t maxlast)
      : FamilyFlow(pass), ncols_(ncols), maxlast_(maxlast) {
    cwmm_ = CellWidthMm(pass.params, set_, ncols);
    cwpx_ = pass.Len(cwmm_);
  }

  // The largest name line count this run found (at least 1).
  int32_t NameLines() const { return namelines_; }

  void BeforePageStart(RenderPass&, PageState&) override {}
  void AfterPageStart(RenderPass& /*pass*/, PageState& st) override {
    producttop_ = st.topmm + st.headermm;
    // A product continued from the page before: the products after it in
    // its row start at the top of the new page (as after a break in the
    // description), not at the height of a page that has ended.
    if (inproduct_) productstart_ = producttop_;
  }

 private:
  bool Drawing() const { return passnr_ == 1 && pass_.Drawn(st_); }
  int32_t LeftEdgePx() const override { return cellpx_; }

  void ToLeftMargin() {
    cellmm_ = st_.leftmm;
    cellpx_ = st_.leftpx;
    st_.x = cellpx_;
  }
  double PitchMm() const { return cwmm_ + 2 * set_.RandBildEd; }
  int32_t PitchPx() const { return cwpx_ + 2 * st_.picmarginpx; }

  void CategoryStart() override { ToLeftMargin(); }
  void BeforeProducts() override { col_ = 0; }
  void AfterProducts() override {
    if (col_ > 0) st_.y = rowbottom_;
  }

  // The grid starts again in column 0 at the top of the new page.
  void RestartGrid(const Category& cat) {
    BreakPage(pass_, st_, cat.name);
    col_ = 0;
    ToLeftMargin();
    st_.y = productstart_ = rowbottom_ = Top();
  }

  void PlaceProduct(Category& cat, Product& p) override {
    productstart_ = st_.y;
    for (passnr_ = 0; passnr_ < 2; ++passnr_) {
      if (passnr_ == 1) {
        ++st_.itemsonpage;
        inproduct_ = true;
      }
      st_.y += set_.LineWidthEd / 2;
      producttop_ = st_.y;
      // Name, padded to the catalog's largest line count.
      pass_.SelectRoleFont(set_.FontDialog3);
      p.pagenr = PrintedPageNr(pass_, st_);
      const SharedLines name = pass_.session.layoutcache().ProductLines(
          pass_.session.cache(), pass_.MeasureFont(), p, p.name, cwmm_);
      {
        TagScope heading(cv_, StructTag::Heading3, Drawing());
        for (const std::u16string& line : *name) {
          if (Drawing()) cv_.TextOut(cellpx_, pass_.Pos(st_.y), StripControlChars(line));
          st_.y += pass_.LineHeight();
        }
      }
      const int32_t n = static_cast<int32_t>(std::min<size_t>(name->size(), INT32_MAX));
      namelines_ = std::max(namelines_, n);
      if (maxlast_ > n) st_.y += (maxlast_ - n) * pass_.LineHeight();
      st_.y += set_.RandBildEd;
      Pictures(p);
      headh_ = st_.y - producttop_;
      if (passnr_ == 0 && !(st_.y < Bottom()) && productstart_ > Top()) {
        // Name and pictures do not fit: the product moves to the next page
        // in its own column (one at the top of its page stays and runs over).
        BreakPage(pass_, st_, cat.name);
        st_.y += pass_.LineHeight();
        productstart_ = st_.y;
      }
      Description(cat, p);
      DrawCellVariantTable(pass_, st_, p, cellpx_, cwmm_, passnr_, cat.name);
      st_.y = std::max(st_.y, producttop_ + headh_ + 2 * set_.RandBildEd);
      st_.y += set_.LineWidthEd / 2;
      inproduct_ = false;
      if (passnr_ == 0 && st_.y > Bottom() && st_.itemsonpage > 0 && !set_.AllowPageBreak) {
        RestartGrid(cat);
      } else if (passnr_ == 1 && p.pagebreakafter) {
        RestartGrid(cat);
      } else if (passnr_ == 1) {
        rowbottom_ = col_ == 0 ? st_.y : std::max(rowbottom_, st_.y);
        if (++col_ == ncols_) {
          col_ = 0;
          ToLeftMargin();
          st_.y = rowbottom_;
        } else {
          cellmm_ += PitchMm();
          cellpx_ += PitchPx();
          st_.x = cellpx_;
          st_.y = productstart_;
        }
      } else {
        st_.y = productstart_;
      }
    }
  }

  // Every picture one below the other, no wider than the cell.
  void Pictures(Product& p) {
    for (Picture& pic : p.pictures) {
      ColumnPicture cp;
      if (!SizeProductPicture(pass_, pic, Drawing(), cp)) continue;
      const PictureBox b = CappedPictureBox(pass_, pic, cp, cwmm_, cwpx_);
      if (Drawing() && cp.open) {
        const double xmm = set_.BildZentr ? cellmm_ + (cwmm_ - b.wm) / 2 : cellmm_;
        TagScope figure(cv_, StructTag::Figure, true, p.name);
        DrawDibWhole(cv_, pass_.Pos(xmm), pass_.Pos(st_.y), b.wp, b.hp, cp.pic, true, pass_.session.feedback);
      }
      st_.y += set_.RandBildEd + b.hm;
    }
  }

  void Description(const Category& cat, const Product& p) {
    pass_.SelectRoleFont(set_.FontDialog4);
    const SharedLines all = pass_.session.layoutcache().ProductLines(
        pass_.session.cache(), pass_.MeasureFont(), p, p.description, cwmm_);
    const size_t total = all->size();
    size_t first = 0;
    bool fresh = false;
    while (first < total) {
      first += SetDescriptionRound(pass_, st_, *all, first, passnr_ == 1, fresh, Bottom(), Drawing(), cellpx_,
                                   cwpx_);
      if (first < total) {
        BreakPage(pass_, st_, cat.name);
        headh_ = 0;
        productstart_ = st_.y;
        st_.y += pass_.LineHeight();
        pass_.SelectRoleFont(set_.FontDialog4);
        fresh = true;
      }
    }
    st_.y += pass_.LineHeight();
  }

  const int32_t ncols_;
  const int32_t maxlast_;
  double cwmm_ = 0;
  int32_t cwpx_ = 0;
  int32_t namelines_ = 1;
  int passnr_ = 0;
  bool inproduct_ = false;  // a product's drawing pass is under way
  int32_t col_ = 0;
  double cellmm_ = 0;
  int32_t cellpx_ = 0;
  double productstart_ = 0, producttop_ = 0, rowbottom_ = 0, headh_ = 0;
};

// The largest name line count a run will find, from the names alone (the
// run measures them the same way).
int32_t PredictNameLines(RenderSession& s, const RenderParams& p, int32_t ncols) {
  RenderPass pass(s, p);
  const CatalogSettings& set = pass.set;
  pass.SelectRoleFont(set.FontDialog3);
  const FontId font = pass.MeasureFont();
  const double cw = CellWidthMm(p, set, ncols);
  size_t most = 1;
  for (const Category& c : pass.doc.kats) {
    if (CategoryDeactivated(c)) continue;
    for (const Product& prod : c.products)
      if (!prod.deactivated)
        most = std::max(most, s.layoutcache().ProductLines(s.cache(), font, prod, prod.name, cw)->size());
  }
  return static_cast<int32_t>(std::min<size_t>(most, INT32_MAX));
}

}  // namespace

bool PaintToCanvasLayout3(RenderSession& s, const RenderParams& p, int32_t /*bildmode*/) {
  if (!p.canvas0) return false;
  const int32_t ncols = s.doc().settings.ColumnCount();
  // A run whose name line count differs from the previous call's is
  // repeated with the new count. When that is foreseeable the first run
  // draws nothing, so the page is drawn once.
  const bool repeat = PredictNameLines(s, p, ncols) != s.maxlinesforcaptionlasttime;
  bool more = false;
  for (int run = 0; run < 2; ++run) {
    const bool silent = run == 0 && repeat;
    RenderParams rp = p;
    if (silent) {
      rp.seiteedvalue = 0;  // no page is drawn
      rp.printit = true;    // and no preview page
    }
    RenderPass pass(s, rp);
    Layout3 layout(pass, ncols, s.maxlinesforcaptionlasttime);
    layout.Run(&layout);
    more = FinishPass(pass, layout.state());
    if (layout.NameLines() == s.maxlinesforcaptionlasttime) {
      if (silent) continue;  // foreseen wrongly: this run drew nothing
      break;
    }
    s.maxlinesforcaptionlasttime = layout.NameLines();
  }
  return more;
}

}  // namespace render
