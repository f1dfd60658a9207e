// The one table from renderer slot to renderer: here, where every layout
// is known (render's RenderLayout calls through it).
#include "render/layouts/layout1.h"
#include "render/layouts/layouts.h"

namespace render {

LayoutRenderer BuiltInLayoutRenderer(RendererSlot slot) {
  switch (slot) {
    case RendererSlot::PaintToCanvas:
      return PaintToCanvas;
    case RendererSlot::PaintToCanvasLayout2:
      return PaintToCanvasLayout2;
    case RendererSlot::PaintToCanvasLayout3:
      return PaintToCanvasLayout3;
  }
  return PaintToCanvas;
}

}  // namespace render
