#include "render/layouts/layouts.h"

namespace render {

namespace {
// The entry a call draws with: the session's substitute renderer, if any,
// with the layout's variations.
LayoutEntry Chosen(const RenderSession& s, int32_t layoutindex) {
  LayoutEntry e = LayoutAt(layoutindex);
  if (s.drawWith) e.renderer = s.drawWith;
  return e;
}
}  // namespace

const LayoutEntry& LayoutAt(int32_t layoutindex) {
  return kLayouts[layoutindex >= 0 && layoutindex < kLayoutCount ? layoutindex : 0];
}

bool RenderLayout(RenderSession& s, const RenderParams& p, int32_t layoutindex) {
  if (!p.canvas0) return false;
  const LayoutEntry e = Chosen(s, layoutindex);
  return e.renderer(s, p, e);
}

bool RenderCatalogPage(RenderSession& s, const RenderParams& p) {
  return RenderLayout(s, p, s.doc().settings.LayoutCombo);
}

AllPagesResult RenderAllPages(RenderSession& s, const RenderParams& p, PageSink& sink, int32_t layoutindex) {
  return RenderAllPages(s, p, sink, Chosen(s, layoutindex < 0 ? s.doc().settings.LayoutCombo : layoutindex));
}

}  // namespace render
