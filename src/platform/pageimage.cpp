#include "platform/pageimage.h"

#include "platform/qtsurface.h"

namespace platform {

bool RenderPageImage(render::RenderSession& session, const PrinterPage& printer, const PageImageRequest& req,
                     dib& out, PageImageInfo& info, std::string* error) {
  deldib(out);
  info = PageImageInfo{};
  const double zoom = req.print ? 100.0 : req.zoom;
  if (req.dpi <= 0 || !(zoom > 0)) {
    if (error) *error = "resolution and zoom must be positive";
    return false;
  }
  int32_t w = 0, h = 0;
  if (req.print)
    OutputBitmapSize(printer, req.dpi, w, h);
  else
    PreviewBitmapSize(printer, req.dpi, zoom, w, h);
  info.width = w;
  info.height = h;
  if (w <= 0 || h <= 0) {
    if (error) *error = "the page is smaller than one pixel at this zoom and resolution";
    return false;
  }
  if (static_cast<int64_t>(w) * h > kMaxDibPixels) {
    if (error)
      *error = "a page of " + std::to_string(w) + " x " + std::to_string(h) + " pixels is too large to draw";
    return false;
  }
  ImageSurface surface(w, h);
  if (!surface.ok()) {
    if (error) *error = "not enough memory for a page of " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
    return false;
  }
  render::RenderParams p;
  p.canvas0 = &surface;
  p.dpi = req.dpi;
  p.width = w;
  p.height = h;
  p.zoomedvalue = zoom;
  p.printit = req.print;
  p.widthmm = PageWidthMm(printer);
  p.heightmm = PageHeightMm(printer);
  const int32_t layout = req.layout >= 0 ? req.layout : session.doc().settings.LayoutCombo;
  p.seiteedvalue = 0;  // a pass that only lays out
  render::RenderLayout(session, p, layout);
  p.seiteedvalue = req.page;
  info.more = render::RenderLayout(session, p, layout);
  info.pages = session.anzpages;
  surface.End();
  if (!surface.ToDib(out)) {
    if (error) *error = "not enough memory to copy the page";
    return false;
  }
  return true;
}

}  // namespace platform
