#include "platform/pageimage.h"

#include "i18n/texts.h"
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

// A surface without a device that notes the text runs drawn on it, measured
// as the page image's surface measures them.
class TextRunSurface : public QtSurface {
 public:
  explicit TextRunSurface(std::vector<PageTextRun>& runs) : QtSurface(nullptr, false), runs_(runs) {}
  int32_t page = 0;  // the page being drawn

 protected:
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override {
    runs_.push_back({page, x, y, TextWidth(s), TextHeight(s), s});
  }

 private:
  std::vector<PageTextRun>& runs_;
};

// Notes the runs of `page` (0: every page); lays out on a surface of the
// same metrics that notes nothing.
class TextRunSink : public render::PageSink {
 public:
  TextRunSink(std::vector<PageTextRun>& runs, int32_t page) : surface_(runs), page_(page) {}
  render::DrawingSurface& MeasuringSurface() override { return measuring_; }
  render::DrawingSurface* BeginPage(int32_t page) override {
    if (page_ != 0 && page != page_) return nullptr;
    surface_.page = page;
    return &surface_;
  }
  bool EndPage(int32_t page, render::DrawingSurface&) override { return page_ == 0 || page < page_; }

 private:
  TextRunSurface surface_;
  QtSurface measuring_{nullptr, false};
  const int32_t page_;
};

// The bitmap size and the render parameters of a request; false with a
// message when the bitmap would be empty or (when one is drawn) too large.
bool PageParams(const PrinterPage& printer, const PageImageRequest& req, bool bitmap, render::RenderParams& p,
                PageImageInfo& info, std::string* error) {
  info = PageImageInfo{};
  const double zoom = req.print ? 100.0 : req.zoom;
  if (req.dpi <= 0 || !(zoom > 0)) {
    if (error) *error = i18n::SayUtf8(i18n::Text::ZoomNotPositive);
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
    if (error) *error = i18n::SayUtf8(i18n::Text::PageBelowOnePixel);
    return false;
  }
  if (bitmap && static_cast<int64_t>(w) * h > kMaxDibPixels) {
    if (error)
      *error = i18n::SayUtf8(i18n::Text::PageTooLargeToDraw, {i18n::Decimal(w), i18n::Decimal(h),
                                                              i18n::Decimal(kMaxDibPixels / (1024 * 1024))});
    return false;
  }
  p.dpi = req.dpi;
  p.width = w;
  p.height = h;
  p.zoomedvalue = zoom;
  p.printit = req.print;
  p.widthmm = PageWidthMm(printer);
  p.heightmm = PageHeightMm(printer);
  return true;
}

}  // namespace

bool RenderPageImage(render::RenderSession& session, const PrinterPage& printer, const PageImageRequest& req,
                     dib& out, PageImageInfo& info, std::string* error) {
  deldib(out);
  render::RenderParams p;
  if (!PageParams(printer, req, true, p, info, error)) return false;
  ImageSurface surface(p.width, p.height);
  if (!surface.ok()) {
    if (error)
      *error =
          i18n::SayUtf8(i18n::Text::NoMemoryForPageSize, {i18n::Decimal(p.width), i18n::Decimal(p.height)});
    return false;
  }
  // The catalog is laid out once silently and once more drawing only the
  // requested page, as every output draws its pages.
  OnePageSink sink(surface, req.page);
  const render::AllPagesResult all = render::RenderAllPages(session, p, sink, req.layout);
  info.pages = all.pages;
  info.more = req.page < all.pages;
  surface.End();
  if (!surface.ToDib(out)) {
    if (error) *error = i18n::SayUtf8(i18n::Text::NoMemoryToCopyPage);
    return false;
  }
  return true;
}

bool PageTextRuns(render::RenderSession& session, const PrinterPage& printer, const PageImageRequest& req,
                  std::vector<PageTextRun>& runs, PageImageInfo& info, std::string* error) {
  runs.clear();
  render::RenderParams p;
  if (!PageParams(printer, req, false, p, info, error)) return false;
  TextRunSink sink(runs, req.page);
  const render::AllPagesResult all = render::RenderAllPages(session, p, sink, req.layout);
  info.pages = all.pages;
  info.more = req.page > 0 && req.page < all.pages;
  return true;
}

}  // namespace platform
