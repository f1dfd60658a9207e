// The PDF export: every catalog page rendered into a 24-bit bitmap at the
// chosen resolution and placed as a full-page image (RGB or CMYK). The
// window's menu command and the command-line tool both call ExportPDF.
//
// The file is written under a temporary name in the target folder and
// renamed over the target only when it is complete, so a failed or cancelled
// export leaves no partial file and an existing file of that name untouched.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/settings.h"
#include "platform/printer.h"

namespace render {
class RenderSession;
}

namespace output {

// Sizes of one export, from the catalog's PDF settings, the resolution and
// the printer page.
struct PdfGeometry {
  int32_t pageWidth = 0, pageHeight = 0;      // PDF page, points
  int32_t bitmapWidth = 0, bitmapHeight = 0;  // page bitmap, pixels
  double widthmm = 0, heightmm = 0;           // page size the renderers lay out for
};

// SetPDFSizeCheck, PDFWidthEd, PDFHeightED, ZerrePDFCheck and PDFRandEd of
// `set`, `dpi` = whole part of DPIEd. Lengths use 25.39995 mm per inch.
// The printer page is its width and height in device pixels and its
// horizontal resolution (resx; the vertical one is not used).
PdfGeometry ComputePdfGeometry(const CatalogSettings& set, int32_t dpi, const platform::PrinterPage& printer);

struct PdfExportOptions {
  double dpi = 300;  // DPIEd, 10 ... 4000
  bool cmyk = true;  // PDFDateienmitCMYKFarbenausgeben1
  // The printer page the catalog is laid out for; no printer: A4 at 600 dpi.
  platform::PrinterPage printer = platform::FallbackPrinterPage();
  // Folder of the executable (the press profile is looked for there), and a
  // profile to use instead (command-line option or per-user setting). A
  // named profile that cannot be used fails a CMYK export; a missing press
  // profile beside the program only means the arithmetic conversion.
  std::string progpath;
  std::string profilePath;
  std::string tempFolder;   // parent of the writer's spool folder; empty = system
  int encoderThreads = -1;  // -1 one per core, 0 on the calling thread
  int32_t layout = -1;      // layout index 0 ... 7; -1: the document's LayoutCombo
};

struct PdfExportProgress {
  int32_t pagesDone = 0;  // pages rendered and handed to the writer
};
// Called after every page; returning false cancels the export.
using PdfExportProgressFn = std::function<bool(const PdfExportProgress&)>;

struct PdfExportResult {
  bool ok = false;
  bool cancelled = false;
  int32_t anzpages = 0;   // pages written (rendered, when cancelled)
  bool uselcms = false;   // CMYK through Little CMS (false: arithmetic or RGB)
  std::string colorNote;  // why Little CMS was not used for CMYK output
  std::string profile;    // the colour profile of the CMYK conversion (when uselcms)
  PdfGeometry geometry;
  std::string error;  // what went wrong, naming the file
};

// Exports the catalog of `session` to `path` with `options.layout`; the
// document is not changed. Sets session.anzpages. Needs a Qt GUI application (fonts).
PdfExportResult ExportPDF(render::RenderSession& session, const std::string& path,
                          const PdfExportOptions& options, const PdfExportProgressFn& progress = {});

}  // namespace output
