// Category headings and the per-category steps every layout repeats:
// skipping deactivated entries, default options, the category's page
// number, the heading font and the heading itself (band, category picture
// before or below the name or as page background, name, introduction).
#pragma once

#include <cstdint>
#include <string>

#include "core/records.h"
#include "render/render.h"

namespace render {

// A main category has no products; its heading is larger and the next
// category may follow on the same page.
inline bool IsMainCategory(const Category& c) { return c.products.Count() == 0; }
inline bool IsToc(const Category& c) { return c.options && c.options->istoc; }
// Deactivated entries are skipped by every layout and the contents listing.
inline bool CategoryDeactivated(const Category& c) { return c.options && c.options->deactivated; }

// Attaches default options (all flags off, no picture or introduction,
// picwidth = `picwidthcm`) to an entry that has none; returns them.
CategoryOptions& EnsureCategoryOptions(Category& c, double picwidthcm = 3.0);

// CategoryOptions.pagenr / Product.pagenr: Trunc(FirstPageNr) + page - 1.
int32_t PrintedPageNr(const RenderPass& pass, const PageState& st);

// The heading font: FontDialog2 with transparent text, the category's own
// font colour, ppi := dpi; itemsonpage := 1 for a table of contents. Main
// categories (not a table of contents, DonotIncreaseFontSizeCheck off) get
// 1.5 times the size (point size truncated), others the plain size.
void SelectHeadingFont(RenderPass& pass, PageState& st, const Category& c);

// Steps 1-5 of a category in layouts 1 and 4 (and the layouts reusing the
// rule): returns false for a skipped (deactivated) entry. Otherwise breaks
// the page before the category unless it may share it (first entry, empty
// page, nonewpage; with nonewpage the page still breaks when the heading's
// first lines would not fit), selects the heading font, attaches default
// options and stores the category's page number. `index` is the entry's
// list index, `first` whether it is the first entry visited.
// `sharedPageDropMm` moves a category that shares the page (nonewpage) that
// much lower before its fit is tested: 0 in layouts 1 and 4, 3 x RandBildEd
// in the layouts with a picture column and in layout 3.
bool BeginCategory(RenderPass& pass, PageState& st, int32_t index, bool first, double sharedPageDropMm);

// What the heading leaves for the text that follows.
struct HeadingResult {
  double textleftmm = 0;   // left edge of following text (leftmm, or beside the picture)
  bool picbeside = false;  // a picture below the name stands beside the text
  double picbottommm = 0;  // with picbeside: picture top + height + RandBildEd
};

// Draws the heading of category `index` at st.y (steps: band, picture
// before the name, name, picture below the name, introduction text with
// page breaks), leaving st.y below the heading (below a picture standing
// beside the introduction where that is lower) and st.x at leftpx, or right
// of such a picture. The heading font must be
// selected (SelectHeadingFont). Category pictures are loaded on every pass
// and released at once; one that does not load leaves no picture.
HeadingResult DrawCategoryHeading(RenderPass& pass, PageState& st, int32_t index);

// What follows the heading of category `index` in every layout: the
// introduction font (FontDialog11) with a clear brush, the table of contents
// when the category is one, one line of space, and a new page when the
// products would start below the usable bottom or the category asks for its
// first product on a new page (firstproductnewpage). The category has its
// options (BeginCategory attached them).
void StartCategoryBody(RenderPass& pass, PageState& st, int32_t index);

}  // namespace render
