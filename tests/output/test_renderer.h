// A layout renderer with a known number of pages for the bitmap-output
// tests: page p shows a coloured block whose red channel is 40 * p, so a
// saved picture tells which page it is. Installed into every slot by
// RendererGuard, restored when the guard ends.
#pragma once

#include "render/render.h"
#include "render/surface.h"

namespace outtest {

inline int32_t g_pages = 3;
inline int32_t g_drawn = 0;  // pages drawn on a surface (seiteedvalue >= 1)

inline bool PagesRenderer(render::RenderSession& s, const render::RenderParams& p, int32_t) {
  s.anzpages = g_pages;
  if (p.seiteedvalue >= 1 && p.seiteedvalue <= g_pages) {
    ++g_drawn;
    render::DrawingSurface& c = *p.canvas0;
    c.SetPenStyle(render::PenStyle::Clear);
    c.SetBrushColor(RGBColor(40 * p.seiteedvalue, 10, 200));
    c.Rectangle(p.width / 4, p.height / 4, 3 * p.width / 4, 3 * p.height / 4);
  }
  return p.seiteedvalue < g_pages;
}

struct RendererGuard {
  explicit RendererGuard(int32_t pages) {
    g_pages = pages;
    g_drawn = 0;
    for (int i = 0; i < 3; ++i) {
      saved[i] = render::InstalledLayoutRenderer(static_cast<render::RendererSlot>(i));
      render::InstallLayoutRenderer(static_cast<render::RendererSlot>(i), PagesRenderer);
    }
  }
  ~RendererGuard() {
    for (int i = 0; i < 3; ++i) render::InstallLayoutRenderer(static_cast<render::RendererSlot>(i), saved[i]);
  }
  render::LayoutRenderer saved[3] = {};
};

}  // namespace outtest
