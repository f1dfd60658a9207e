// What layouts 2, 5-8 and 3 share: the category loop (as in layout 1, but a
// category sharing a page starts 3 x RandBildEd lower), the pixel size of a
// product picture, and the line pen of the product frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "imaging/dib/dib.h"
#include "render/render.h"

namespace render {

// A product picture ready to be placed: its file decoded when it is drawn,
// otherwise only its cached pixel size (learnt once when unknown).
struct ColumnPicture {
  dib pic;            // loaded only when drawing
  bool open = false;  // pic holds the file's pixels
  int32_t w = 0, h = 0;
};
// False when the picture takes no space (no file, unreadable, no size).
// Updates the picture's pixwidth/pixheight cache as it learns.
bool SizeProductPicture(RenderPass& pass, Picture& pic, bool drawing, ColumnPicture& out);

// Picture size capped at `capmm` (and `cappx`): wp = min(length(10 x width),
// cappx), wm = min(10 x width, capmm), hp = h x wp div w, hm = h x wm / w.
// Negative widths count as 0.
struct PictureBox {
  int32_t wp = 0, hp = 0;
  double wm = 0, hm = 0;
};
PictureBox CappedPictureBox(const RenderPass& pass, const Picture& pic, const ColumnPicture& cp, double capmm,
                            int32_t cappx);

// The category level of the family; a layout fills in its products.
class FamilyFlow {
 public:
  FamilyFlow(RenderPass& pass) : pass_(pass), set_(pass.set), cv_(pass.canvas) {}
  virtual ~FamilyFlow() = default;
  FamilyFlow(const FamilyFlow&) = delete;
  FamilyFlow& operator=(const FamilyFlow&) = delete;

  // StartPass, every category, ready for FinishPass.
  void Run(PageStartHook* hook);
  PageState& state() { return st_; }

 protected:
  // The category has started (not deactivated) and its page is decided.
  virtual void CategoryStart() {}
  // Just before its first product.
  virtual void BeforeProducts() {}
  virtual void PlaceProduct(Category& cat, Product& p) = 0;
  // After its last product.
  virtual void AfterProducts() {}
  // Where x goes when a contents or picture-only category ends.
  virtual int32_t LeftEdgePx() const { return st_.leftpx; }

  double Bottom() const { return pass_.UsableBottom(st_); }
  double Top() const { return st_.topmm + st_.headermm; }
  // The line pen of the product lines: Shape11, length(LineWidthEd),
  // geometric with square ends.
  void LinePen();

  RenderPass& pass_;
  const CatalogSettings& set_;
  DrawingSurface& cv_;
  PageState st_;
};

// One round of a description set in a column, from line `first` on. In the
// drawing pass (`drawpass`) only the lines that fit above `bottom` are
// placed, but at least one on a fresh page, so a line taller than the page
// cannot loop forever; otherwise all that remain. Each is drawn at x when
// `drawing` (justified to maxw px unless ArtNotBlockCheck or it is the last
// line) and st.y moves below it. Returns the number of lines placed.
size_t SetDescriptionRound(RenderPass& pass, PageState& st, const std::vector<std::u16string>& lines,
                           size_t first, bool drawpass, bool fresh, double bottom, bool drawing, int32_t x,
                           int32_t maxw);

}  // namespace render
