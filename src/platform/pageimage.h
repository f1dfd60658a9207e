// One catalog page drawn into a bitmap, either as the preview paints it
// (bitmap from the printer page and the zoom at screen resolution, white
// page with black border drawn by the renderer) or as an output does
// (zoom 100, printing on, bitmap at the output resolution, white).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/dib/dib.h"
#include "platform/printer.h"
#include "render/render.h"

namespace platform {

struct PageImageRequest {
  int32_t page = 1;     // counted from 1
  double zoom = 100;    // percent, preview only (outputs draw at 100)
  int32_t dpi = 96;     // screen resolution for the preview, output resolution otherwise
  int32_t layout = -1;  // layout index 0 ... 7; -1 takes LayoutCombo
  bool print = false;   // draw as an output would
};

struct PageImageInfo {
  int32_t width = 0, height = 0;  // bitmap size
  int32_t pages = 0;              // anzpages after the call
  bool more = false;              // the renderer's result
};

// Renders the page after one layout pass that draws nothing, so the values
// a pass leaves for the next (page numbers, category per page) are current.
// False with a message when the bitmap would be empty or too large.
bool RenderPageImage(render::RenderSession& session, const PrinterPage& printer, const PageImageRequest& req,
                     dib& out, PageImageInfo& info, std::string* error = nullptr);

// One text run as a page draws it: the top left of its text cell, its width
// at the measured size and its height, in pixels of the page's bitmap.
struct PageTextRun {
  int32_t page = 0;  // counted from 1
  int32_t x = 0, y = 0, w = 0, h = 0;
  std::u16string text;
};

// The text runs that page req.page (0: every page) draws, in drawing order,
// laid out exactly as RenderPageImage lays out that page (same bitmap size,
// resolution and zoom), without painting anything. `info` as there.
bool PageTextRuns(render::RenderSession& session, const PrinterPage& printer, const PageImageRequest& req,
                  std::vector<PageTextRun>& runs, PageImageInfo& info, std::string* error = nullptr);

}  // namespace platform
