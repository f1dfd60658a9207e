// A layout renderer with a known number of pages for the bitmap-output
// tests: page p shows a coloured block whose red channel is 40 * p, so a
// saved picture tells which page it is. RendererGuard has a session draw
// every layout with it until the guard ends.
#pragma once

#include "render/render.h"
#include "render/surface.h"

namespace outtest {

inline int32_t g_pages = 3;
inline int32_t g_drawn = 0;  // pages drawn on a surface (seiteedvalue >= 1)

inline bool PagesRenderer(render::RenderSession& s, const render::RenderParams& p,
                          const render::LayoutEntry&) {
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
  RendererGuard(render::RenderSession& s, int32_t pages) : session(s) {
    g_pages = pages;
    g_drawn = 0;
    session.drawWith = PagesRenderer;
  }
  ~RendererGuard() { session.drawWith = nullptr; }
  render::RenderSession& session;
};

}  // namespace outtest
