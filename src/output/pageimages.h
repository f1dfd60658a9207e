// The page-images export: every catalog page rendered into a 24-bit bitmap
// at the chosen resolution and saved, one file per page (or per page of a
// range), named base + page number + extension, in a format of the image
// layer's save filter. The window's menu command and the command-line tool
// both call ExportPageImages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/printer.h"

namespace render {
class RenderSession;
}

namespace output {

// The file names of an export: the chosen name without extension gets the
// extension of the filter entry (1 ... 11, table of DibSaveFormats); a name
// with any extension keeps it, also one that is not in the table. "/" and
// "\" both separate folders.
struct ImageFileNames {
  std::string base;       // everything before the extension
  std::string extension;  // with the dot
  int formatCode = 0;     // filter index + 2, whatever the extension says
  std::string PageFile(int32_t page) const { return base + std::to_string(page) + extension; }
};
// False when the filter index names no writable format.
bool MakeImageFileNames(const std::string& chosen, int filterIndex, ImageFileNames& out);

struct PageImagesOptions {
  double dpi = 150;         // ResEd, 10 ... 1440
  double compress = 5;      // CompressEd, 0 ... 100: JPEG quality = whole part of (100 - compress)
  bool allPages = true;     // RadioButton1; otherwise the range below
  double from = 1, to = 1;  // frompageed, topageed, rounded half to even
  int filterIndex = 6;      // entry of the save filter (6 = JPEG)
  int32_t layout = -1;      // layout index (0 = layout 1); -1: the document's LayoutCombo
  platform::PrinterPage printer = platform::FallbackPrinterPage();
  int encoderThreads = -1;  // -1 one per core, 0 on the calling thread
};

struct PageImagesProgress {
  int32_t page = 0;   // the page about to be rendered
  int32_t saved = 0;  // pages handed to the encoders so far
};
// Called before every page; returning false stops the export between pages.
using PageImagesProgressFn = std::function<bool(const PageImagesProgress&)>;

struct PageImagesResult {
  bool ok = false;  // every page of the range was saved
  bool cancelled = false;
  int32_t anzpages = 0;  // pages rendered (laid out)
  int32_t saved = 0;     // files written
  int32_t width = 0, height = 0;
  std::string firstFile;  // the first file written
  std::string error;      // what went wrong, naming the file
};

// Renders every page of the catalog of `session` (each page's layout
// depends on the pages before it) and saves the pages asked for. Files
// written before a failure or a cancel stay. A range that holds no page of
// the catalog (beyond the last page, or from > to) writes nothing and is an
// error. Sets session.anzpages. Needs a Qt GUI application (fonts).
PageImagesResult ExportPageImages(render::RenderSession& session, const std::string& chosenName,
                                  const PageImagesOptions& options,
                                  const PageImagesProgressFn& progress = {});

}  // namespace output
