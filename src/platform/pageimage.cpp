#include "platform/pageimage.h"

#include "platform/qtsurface.h"
#include "render/layouts/layouts.h"

namespace platform {

namespace {

// Lays out every page and draws only `page` on `surface`.
class OnePageSink : public render::PageSink {
 public:
  OnePageSink(ImageSurface& surface, int32_t page) : surface_(surface), page_(page) {}
  render::DrawingSurface& MeasuringSurface() override { return surface_; }
  render::DrawingSurface* BeginPage(int32_t page) override { return page == page_ ? &surface_ : nullptr; }
  bool EndPage(int32_t, render::DrawingSurface&) override { return true; }

 private:
  ImageSurface& surface_;
  const int32_t page_;
};

}  // namespace

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
    if (error)
      *error = "not enough memory for a page of " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
    return false;
  }
  // The catalog is laid out once silently and once more drawing only the
  // requested page, as every output draws its pages.
  OnePageSink sink(surface, req.page);
  render::RenderParams p;
  p.dpi = req.dpi;
  p.width = w;
  p.height = h;
  p.zoomedvalue = zoom;
  p.printit = req.print;
  p.widthmm = PageWidthMm(printer);
  p.heightmm = PageHeightMm(printer);
  const render::AllPagesResult all = render::RenderAllPages(session, p, sink, req.layout);
  info.pages = all.pages;
  info.more = req.page < all.pages;
  surface.End();
  if (!surface.ToDib(out)) {
    if (error) *error = "not enough memory to copy the page";
    return false;
  }
  return true;
}

}  // namespace platform
