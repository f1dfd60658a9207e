#include "render/layout1.h"

#include <algorithm>
#include <array>

#include "render/drawdib.h"
#include "render/furniture.h"
#include "render/heading.h"
#include "render/text.h"
#include "render/varianttable.h"

namespace render {

namespace {

enum Align { kLeft = 0, kCentre = 1, kRight = 2 };

// Layout 4 forces left-aligned pictures for one call; the three settings
// are put back however the call ends.
class AlignmentOverride {
 public:
  AlignmentOverride(CatalogSettings& set, bool force) : set_(set), force_(force) {
    if (!force_) return;
    links_ = set.BildLinks;
    zentr_ = set.BildZentr;
    rechts_ = set.BildRechts;
    set.BildLinks = true;
    set.BildZentr = false;
    set.BildRechts = false;
  }
  ~AlignmentOverride() {
    if (!force_) return;
    set_.BildLinks = links_;
    set_.BildZentr = zentr_;
    set_.BildRechts = rechts_;
  }
  AlignmentOverride(const AlignmentOverride&) = delete;
  AlignmentOverride& operator=(const AlignmentOverride&) = delete;

 private:
  CatalogSettings& set_;
  bool force_;
  bool links_ = false, zentr_ = false, rechts_ = false;
};

class Layout1 {
 public:
  Layout1(RenderPass& pass, int32_t k) : pass_(pass), set_(pass.set), cv_(pass.canvas), k_(k) {}

  void Run() {
    StartPass(pass_, st_);
    Document& doc = pass_.doc;
    const int32_t count = static_cast<int32_t>(doc.kats.Count());
    for (int32_t i = 0; i < count; ++i) {
      if (!BeginCategory(pass_, st_, i, i == 0, 0)) continue;
      Category& cat = doc.kats[i];
      DrawCategoryHeading(pass_, st_, i);
      // A category picture beside the introduction moves x only for the
      // introduction; the products' separators span the text width again.
      st_.x = st_.leftpx;
      StartCategoryBody(pass_, st_, i);
      const CategoryOptions& o = *cat.options;
      for (Product& p : cat.products)
        if (!p.deactivated) PlaceProduct(cat, p);
      if (o.istoc || o.pictureonly) {
        st_.itemsonpage = 1;
        st_.x = st_.leftpx;
      }
    }
  }

  PageState& state() { return st_; }

 private:
  double Bottom() const { return pass_.UsableBottom(st_); }
  double Top() const { return st_.topmm + st_.headermm; }
  bool DrawnProduct() const { return passnr_ == 1 && pass_.Drawn(st_); }

  // ---- 4. Product ----
  void PlaceProduct(const Category& cat, Product& p) {
    starty_ = st_.y;
    for (passnr_ = 0; passnr_ < 2; ++passnr_) {
      pass_.SelectRoleFont(set_.FontDialog3);
      if (passnr_ == 1) ++st_.itemsonpage;
      // Separator.
      if (DrawnProduct() && !set_.ZwischenLinienCheck) {
        cv_.SetPenColor(set_.Shape11);
        cv_.SetPenWidth(pass_.Len(set_.LineWidthEd));
        cv_.SetGeometricPen();
        const int32_t y = pass_.Pos(st_.y);
        cv_.MoveTo(st_.x, y);
        cv_.LineTo(pass_.params.width - st_.rightpx, y);
      }
      st_.y += set_.LineWidthEd / 2 + set_.LineAddSpaceEd;
      p.pagenr = PrintedPageNr(pass_, st_);
      // Name.
      const double namelimit = pass_.params.widthmm - st_.rightmm - st_.leftmm;
      const SharedLines name = pass_.session.layoutcache().ProductLines(
          pass_.session.cache(), pass_.MeasureFont(), p, p.name, namelimit);
      {
        TagScope heading(cv_, StructTag::Heading3, DrawnProduct());
        for (const std::u16string& line : *name) {
          if (DrawnProduct()) cv_.TextOut(pass_.Pos(st_.leftmm), pass_.Pos(st_.y), StripControlChars(line));
          st_.y += pass_.LineHeight();
        }
      }
      // Pictures.
      ResetAnchor();
      st_.y += set_.RandBildEd;
      pass_.SelectRoleFont(set_.FontDialog4);
      rowh_ = 0;
      const double pictop = st_.y;
      Pictures(p);
      if (passnr_ == 0 && !(Bottom() > st_.y + rowh_)) {
        // The pictures do not fit: the product moves to the next page, unless
        // it would not fit on an empty page either and this page holds no
        // product yet (breaking would only leave a page behind).
        const double fresh = Top() + pass_.LineHeight() + (st_.y + rowh_ - pictop) + (pictop - starty_);
        const bool hopeless = !(Bottom() > fresh) && st_.itemsonpage == 0;
        if (!hopeless) {
          BreakPage(pass_, st_, cat.name);
          st_.y = Top() + pass_.LineHeight();
          starty_ = st_.y;
        }
      }
      Description(cat, p);
      DrawVariantTable(pass_, st_, p, st_.leftpx, passnr_, true, cat.name);
      // End.
      if (passnr_ == 0 && st_.y > Bottom() && st_.itemsonpage > 0 && !set_.AllowPageBreak) {
        BreakPage(pass_, st_, cat.name);
      } else if (passnr_ == 1 && p.pagebreakafter) {
        BreakPage(pass_, st_, cat.name);
      } else if (passnr_ == 0) {
        st_.y = starty_;
      }
    }
    if (st_.y != 0) st_.y += pass_.LineHeight();
  }

  void ResetAnchor() {
    if (align_ == kLeft) {
      anchorpx_ = st_.leftpx;
      anchormm_ = st_.leftmm;
    } else {
      anchorpx_ = pass_.params.width - st_.rightpx;
      anchormm_ = pass_.params.widthmm - st_.rightmm;
    }
  }

  // ---- 5. Pictures ----
  // Device pixels of a picture of pw x ph pixels at its printed width (or
  // height, with SetPicHeightCheck).
  void DrawnSize(const Picture& pic, int32_t pw, int32_t ph, int32_t& w, int32_t& h) const {
    if (set_.SetPicHeightCheck) {
      h = pass_.LenCm(pic.width);
      w = static_cast<int32_t>(int64_t(pw) * h / ph);
    } else {
      w = pass_.LenCm(pic.width);
      h = static_cast<int32_t>(int64_t(ph) * w / pw);
    }
  }

  void Pictures(Product& p) {
    lastwm_ = 0;
    PictureLoader& loader = pass_.session.loader();
    for (Picture& pic : p.pictures) {
      const bool drawn = DrawnProduct();
      dib d;
      if (drawn) {
        // Decoded at the size it is drawn, found from the header's size.
        int32_t fw = 0, fh = 0, bw = 0, bh = 0;
        if (loader.PixelSize(pic.filename, fw, fh) && fw > 0 && fh > 0) DrawnSize(pic, fw, fh, bw, bh);
        if (loader.LoadForBox(pic.filename, bw, bh, d, fw, fh) && d.loaded()) {
          pic.pixwidth = fw;
          pic.pixheight = fh;
        } else {
          pic.pixwidth = pic.pixheight = 0;
        }
      } else if (pic.pixwidth <= 0 || pic.pixheight <= 0) {
        int32_t w = 0, h = 0;
        if (!loader.PixelSize(pic.filename, w, h) || w <= 0 || h <= 0) w = h = 0;
        pic.pixwidth = w;
        pic.pixheight = h;
      }
      if (pic.pixwidth <= 0 || pic.pixheight <= 0) continue;
      int32_t w, h;
      double wm, hm;
      DrawnSize(pic, pic.pixwidth, pic.pixheight, w, h);
      if (set_.SetPicHeightCheck) {
        hm = pic.width * 10;
        wm = pic.pixwidth * hm / pic.pixheight;
      } else {
        wm = pic.width * 10;
        hm = pic.pixheight * wm / pic.pixwidth;
      }
      const bool newrow = (align_ == kRight && anchormm_ - wm < st_.leftmm) ||
                          (align_ == kLeft && anchormm_ + wm > pass_.params.widthmm - st_.rightmm) ||
                          align_ == kCentre;
      if (newrow) {
        ResetAnchor();
        st_.y += set_.RandBildEd + rowh_;
        rowh_ = 0;
      }
      rowh_ = std::max(rowh_, hm);
      if (align_ == kCentre) {
        anchorpx_ = (pass_.params.width - w) / 2;
        anchormm_ = (pass_.params.widthmm - wm) / 2;
      }
      if (drawn && d.loaded()) {
        const int32_t x = align_ == kRight ? anchorpx_ - w : anchorpx_;
        const int32_t y = pass_.Pos(st_.y);
        TagScope figure(cv_, StructTag::Figure, true, p.name);
        DrawDibWhole(cv_, x, y, w, h, d, true, pass_.session.feedback);
        if (set_.BilderrahmenCheck) {
          cv_.SetPenColor(set_.Shape11);
          cv_.SetPenWidth(pass_.Len(set_.LineWidthEd));
          cv_.SetBrushStyle(BrushStyle::Clear);
          cv_.Rectangle(x, y, x + w, y + h);
        }
      }
      if (align_ == kRight) {
        anchorpx_ -= w + st_.picmarginpx;
        anchormm_ -= wm + set_.RandBildEd;
      } else {
        anchorpx_ += w + st_.picmarginpx;
        anchormm_ += wm + set_.RandBildEd;
      }
      lastwm_ = wm;
    }
  }

  // ---- 6. Description in newspaper columns ----
  void Description(const Category& cat, const Product& p) {
    const double widthmm = pass_.params.widthmm;
    int32_t colpx, gappx;
    double colmm, gapmm;
    if (k_ == 1) {
      gappx = 0;
      gapmm = 0;
      colpx = pass_.params.width - st_.leftpx - st_.rightpx;
      colmm = widthmm - st_.leftmm - st_.rightmm;
    } else {
      gapmm = set_.PlatzZwischenSpaltenEd;
      gappx = pass_.Len(gapmm);
      colpx = (pass_.params.width - st_.leftpx - st_.rightpx - 3 * gappx) / k_;
      colmm = (widthmm - st_.leftmm - st_.rightmm - 3 * gapmm) / k_;
    }
    double lh = pass_.LineHeight();
    // Lines each column leaves free beside the last picture row. Only the k
    // columns that exist take part: one beyond the page holds no text, and
    // counting its skip lines would only push lines into the first columns.
    std::array<int32_t, 4> skip{};
    for (int c = 0; c < k_; ++c) {
      const double l = c * (colmm + gapmm) + st_.leftmm;
      const double r = l + colmm;
      const double a = anchormm_;
      bool overlap;
      if (align_ == kLeft)
        overlap = l < a;
      else if (align_ == kRight)
        overlap = r > a;
      else
        overlap = (r > a - lastwm_ - set_.RandBildEd) != (l >= a);
      if (overlap && lh > 0) skip[c] = std::max(0, RoundEven((lh + rowh_ - 1) / lh));
    }
    const SharedLines all = pass_.session.layoutcache().ProductLines(
        pass_.session.cache(), pass_.MeasureFont(), p, p.description, colmm);
    size_t first = 0;  // lines before it are placed
    const size_t total = all->size();
    double bottom = st_.y;
    bool fresh = false;  // this round starts a page the description continues on
    do {
      const int64_t n = static_cast<int64_t>(total - first);
      std::array<int64_t, 4> cnt{};
      if (k_ == 1) {
        cnt[0] = n + skip[0];
      } else {
        const int64_t sk = int64_t(skip[0]) + skip[1] + skip[2] + skip[3];
        const int64_t L = (n + sk + 3) / k_;
        const int64_t slack = 4 * L - n - sk;
        cnt = {L - skip[0], L - skip[1], L - skip[2], L - slack - skip[3]};
      }
      if (passnr_ == 1) {
        for (int c = 0; c < 4; ++c)
          for (int64_t i = 1; i <= cnt[c]; ++i)
            if (st_.y + (skip[c] + i) * lh > Bottom()) {
              cnt[c] = i - 1;
              break;
            }
        // A line taller than the whole page still goes somewhere.
        if (fresh && n > 0 && cnt[0] < 1) cnt[0] = 1;
      }
      const double top = st_.y;
      bottom = st_.y;
      size_t idx = first;
      for (int c = 0; c < k_; ++c) {
        st_.y = top;
        for (int64_t i = 0; i < cnt[c]; ++i) {
          if (idx >= total) break;
          if (DrawnProduct()) {
            const int32_t x = c * (colpx + gappx) + st_.leftpx;
            const int32_t y = pass_.Pos(skip[c] * lh + st_.y);
            const std::u16string line = StripControlChars((*all)[idx]);
            if (set_.ArtNotBlockCheck || idx + 1 == total)
              cv_.TextOut(x, y, line);
            else
              textoutBlockSatz(cv_, x, y, line, colpx);
          }
          st_.y += lh;
          bottom = std::max(bottom, skip[c] * lh + st_.y);
          ++idx;
        }
      }
      bottom = std::max(bottom, top + rowh_);
      first = idx;
      if (first < total && passnr_ == 1) {
        skip = {};
        BreakPage(pass_, st_, cat.name);
        rowh_ = 0;
        starty_ = Top();
        st_.y = starty_ + pass_.LineHeight();
        bottom = st_.y;
        pass_.SelectRoleFont(set_.FontDialog4);
        lh = pass_.LineHeight();
        fresh = true;
      } else if (first < total) {
        break;  // pass 0 places every line in one round
      }
    } while (first < total);
    st_.y = bottom + pass_.LineHeight();
  }

  RenderPass& pass_;
  const CatalogSettings& set_;
  DrawingSurface& cv_;
  PageState st_;
  const int32_t k_;

 public:
  int align_ = kRight;

 private:
  int passnr_ = 0;
  double starty_ = 0;
  int32_t anchorpx_ = 0;
  double anchormm_ = 0;
  double rowh_ = 0;
  double lastwm_ = 0;
};

}  // namespace

bool PaintToCanvas(RenderSession& s, const RenderParams& p, int32_t /*bildmode*/) {
  if (!p.canvas0) return false;
  CatalogSettings& set = s.doc().settings;
  int32_t k = set.ColumnCount();
  if (set.OnlyOneColumnCheck || s.froceOnlyOneColumnCheck) k = 1;
  AlignmentOverride guard(set, s.froceOnlyOneColumnCheck);
  RenderPass pass(s, p);
  Layout1 layout(pass, k);
  layout.align_ = set.PictureAlignment();
  layout.Run();
  return FinishPass(pass, layout.state());
}

}  // namespace render
