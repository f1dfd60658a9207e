// The vector PDF export ("print-ready PDF"): every catalog page drawn on a
// PdfSurface (pdfvector/), so text stays text in embedded subset fonts,
// shapes stay paths and each distinct picture is stored once. RGB with an
// sRGB output intent, or CMYK through the press profile; optional bleed;
// outline, contents links and web links.
//
// Like the raster export the file is written under a temporary name and
// renamed over the target only when complete.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "output/pdfexport.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/preflight.h"

namespace render {
class RenderSession;
}

namespace output {

struct VectorPdfOptions {
  double bleedMm = 3;          // 0 ... 25 mm on every side of the trim box
  double maxPictureppi = 300;  // pictures sharper at their drawn size are resampled; 0: never
  bool cmyk = true;
  // CMYK: black text and rules overprint, grey text and thin rules in black
  // ink alone, rich black for large black areas (off unless set).
  pdfvec::InkOptions ink;
  // Folder of the executable (the press profiles are looked for there) and
  // a profile the user named, which must then be usable.
  std::string progpath;
  std::string profilePath;
  int threads = -1;                // -1 one per core, 0 the calling thread
  int32_t layout = -1;             // layout index 0 ... 7; -1: the document's LayoutCombo
  std::string language = "de-DE";  // the catalog's language (BCP 47)
  // Crop and bleed marks in a slug around the bleed box, with the file's
  // name and the page number (the media box grows by the slug).
  bool marks = false;
  // Called with the preflight's findings once the file is complete, before
  // it replaces the target; false leaves the target untouched (the result
  // is then `refused`). Unset: the file is always written.
  std::function<bool(const pdfvec::Preflight&)> approve;
};

struct VectorPdfResult {
  bool ok = false;
  bool cancelled = false;
  bool refused = false;  // `approve` said no: nothing written
  int32_t anzpages = 0;
  std::string profile;             // CMYK: the profile file in use ("sRGB" for RGB; empty: arithmetic)
  std::string profileDescription;  // its description
  std::string colorNote;           // why CMYK colours are arithmetic (no profile found)
  size_t pictures = 0;             // distinct pictures stored
  PdfGeometry geometry;
  pdfvec::Preflight preflight;  // what the export found (complete when ok or refused)
  std::string error;            // what went wrong, naming the file or font
};

// The trim box of the print-ready PDF is a paper size, never a printer's
// printable area: PDFWidthEd x PDFHeightED when SetPDFSizeCheck is on, else
// A4 (210 x 297 mm), the same on every machine. The catalog is laid out for
// exactly that page (widthmm/heightmm) at 300 dpi; PDFRandEd and
// ZerrePDFCheck shape only the page-image export's page (the bleed is the
// print-ready PDF's margin). pageWidth/pageHeight are whole points.
constexpr double kDefaultTrimWidthMm = 210, kDefaultTrimHeightMm = 297;
void VectorTrimSize(const CatalogSettings& set, double& widthMm, double& heightMm);
PdfGeometry VectorPdfGeometry(const CatalogSettings& set);

// The print preset: CMYK, 3 mm bleed, 300 ppi; the screen preset: RGB, no
// bleed, 150 ppi.
VectorPdfOptions PrintPdfPreset();
VectorPdfOptions ScreenPdfPreset();

// Exports the catalog of `session` (its document, measurer and picture
// loader; layout by `options.layout`) to `path`; the document's settings are
// not changed. Sets session.anzpages.
VectorPdfResult ExportVectorPDF(render::RenderSession& session, const std::string& path,
                                const VectorPdfOptions& options, const PdfExportProgressFn& progress = {});

}  // namespace output
