#include "output/bitmapsink.h"

#include "i18n/texts.h"
#include "render/units.h"

namespace output {

render::RenderParams OutputPageParams(const platform::PrinterPage& printer, int32_t dpi) {
  render::RenderParams p;
  p.dpi = dpi;
  if (printer.width > 0 && printer.height > 0 && printer.resx > 0)
    platform::OutputBitmapSize(printer, dpi, p.width, p.height);
  p.zoomedvalue = 100;
  p.printit = true;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  return p;
}

std::string CheckPageSize(const render::RenderParams& p) {
  if (p.width <= 0 || p.height <= 0) return i18n::SayUtf8(i18n::Text::PrinterNoPageSize);
  if (static_cast<int64_t>(p.width) * p.height > kMaxDibPixels)
    return i18n::SayUtf8(i18n::Text::PageTooLargeToDraw, {i18n::Decimal(p.width), i18n::Decimal(p.height),
                                                          i18n::Decimal(kMaxDibPixels / (1024 * 1024))});
  return {};
}

std::string NoMemoryForPageOf(int32_t width, int32_t height) {
  return i18n::SayUtf8(i18n::Text::NoMemoryForPageSize, {i18n::Decimal(width), i18n::Decimal(height)});
}

BitmapSink::BitmapSink(int32_t width, int32_t height, WantFn want, PageFn done)
    : surface_(width, height, QImage::Format_RGB32, false),  // every page is filled white first
      width_(width),
      height_(height),
      want_(std::move(want)),
      done_(std::move(done)) {}

render::DrawingSurface* BitmapSink::BeginPage(int32_t page) {
  if (cancelled_) return nullptr;
  bool draw = false;
  if (!want_(page, draw)) cancelled_ = true;
  if (cancelled_ || !draw) return nullptr;
  if (pixels_ && !surface_.PaintInto(pixels_(page))) {
    error_ = i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(page)});
    cancelled_ = true;
    return nullptr;
  }
  // The page starts white: the renderers draw no background when printing.
  QPainter& p = surface_.painter();
  p.save();
  p.setClipping(false);
  p.resetTransform();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(0, 0, width_, height_, Qt::white);
  p.restore();
  if (texts_ && page >= 1) {
    if (texts_->size() < static_cast<size_t>(page)) texts_->resize(static_cast<size_t>(page));
    PageText& t = (*texts_)[static_cast<size_t>(page - 1)];
    t = PageText();
    surface_.Attach(&t);
  }
  return &surface_;
}

bool BitmapSink::EndPage(int32_t page, render::DrawingSurface&) {
  if (texts_ && page >= 1 && texts_->size() >= static_cast<size_t>(page))
    (*texts_)[static_cast<size_t>(page - 1)].Finish();
  surface_.Attach(nullptr);
  if (drawn_) {
    if (!drawn_(page)) cancelled_ = true;
    return !cancelled_;
  }
  dib bitmap;
  if (!surface_.ToDib(bitmap) || bitmap.bitcount != 24) {
    error_ = i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(page)});
    cancelled_ = true;
    return false;
  }
  if (!done_(page, std::move(bitmap))) cancelled_ = true;
  return !cancelled_;
}

}  // namespace output
