#include "render/layout1.h"
#include "render/layouts/layouts.h"

namespace render {

void InstallAllLayouts() {
  InstallLayout1();
  InstallLayoutRenderer(RendererSlot::PaintToCanvasLayout2, PaintToCanvasLayout2);
  InstallLayoutRenderer(RendererSlot::PaintToCanvasLayout3, PaintToCanvasLayout3);
}

}  // namespace render
