// The page sink of the bitmap outputs (page images, HTML catalog): every
// page is drawn into one reused white page image at the output resolution
// and handed on as a 24-bit bitmap.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/dib/dib.h"
#include "output/htmlpagetext.h"
#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "render/render.h"

namespace output {

// Render parameters of an output page at `dpi` on the printer page:
// page pixels * dpi div resolution, zoom 100, printing on, the printer
// page in millimetres. Width and height 0 when the printer page is unusable.
render::RenderParams OutputPageParams(const platform::PrinterPage& printer, int32_t dpi);

// Checks the bitmap size of `p`; an empty string or the message for the user.
std::string CheckPageSize(const render::RenderParams& p);
// The message for a page bitmap of width x height pixels that could not be
// allocated.
std::string NoMemoryForPageOf(int32_t width, int32_t height);

class BitmapSink : public render::PageSink {
 public:
  // Called first for every page, so a caller can follow the export page by
  // page: sets `draw` when page p is to be drawn (others are only laid
  // out); returning false cancels (later pages are only laid out).
  using WantFn = std::function<bool(int32_t page, bool& draw)>;
  // The drawn page; false cancels the export.
  using PageFn = std::function<bool(int32_t page, dib&& bitmap)>;

  // Or each page drawn straight into memory of the caller's: `pixels`
  // gives room for page p before it is drawn (width x height 32-bit pixels
  // in Format_RGB32 order, rows 4 x width bytes apart, kept alive until the
  // next call or the sink's end; null cancels), `drawn` is told when the
  // page is complete there (false cancels).
  using PixelsFn = std::function<uint8_t*(int32_t page)>;
  using DrawnFn = std::function<bool(int32_t page)>;

  BitmapSink(int32_t width, int32_t height, WantFn want, PageFn done);
  // Draws each page into the caller's memory instead of handing bitmaps.
  void DrawInto(PixelsFn pixels, DrawnFn drawn) {
    pixels_ = std::move(pixels);
    drawn_ = std::move(drawn);
  }
  bool ok() const { return surface_.ok(); }
  // Set when a page image could not be converted (out of memory).
  const std::string& error() const { return error_; }
  // The export was cancelled by WantFn or PageFn.
  bool cancelled() const { return cancelled_; }
  // Notes the text of every drawn page p in (*pages)[p - 1] (grown as
  // needed); null stops noting.
  void CaptureText(std::vector<PageText>* pages) { texts_ = pages; }

  render::DrawingSurface& MeasuringSurface() override { return surface_; }
  render::DrawingSurface* BeginPage(int32_t page) override;
  bool EndPage(int32_t page, render::DrawingSurface& surface) override;

 private:
  TextCaptureSurface surface_;
  std::vector<PageText>* texts_ = nullptr;
  int32_t width_, height_;
  WantFn want_;
  PageFn done_;
  PixelsFn pixels_;
  DrawnFn drawn_;
  std::string error_;
  bool cancelled_ = false;
};

}  // namespace output
