// The HTML page-turning catalog: a folder with "catalog.htm" (the template
// "flippages.htm" beside the program with its five placeholders filled),
// the six navigation pictures copied from beside the program, and two JPEG
// images of every catalog page, one shaded as a bound page and one more
// with a turned-up corner, numbered so that they pair up as spreads
// (0, 1), (2, 3), ..., (N, N + 1) with blank pages 0 and N + 1.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/dib/dib.h"
#include "platform/printer.h"

namespace render {
class RenderSession;
}

namespace output {

// Files the template is read from and copied next to it.
extern const char* const kHtmlTemplateName;              // "flippages.htm"
extern const char* const kHtmlCatalogName;               // "catalog.htm"
extern const std::vector<const char*> kHtmlNavPictures;  // the six pictures
extern const char* const kHtmlPdfName;                   // "catalog.pdf", when written beside

// Page image p: catalogpage<p>.jpg; curl image p: catalogpageflip<p>.jpg.
std::string HtmlPageImageName(int32_t p);
std::string HtmlCurlImageName(int32_t p);
// The sharper picture of page p (twice the resolution): catalogpagehd<p>.jpg.
std::string HtmlHdImageName(int32_t p);

// `out` := the top left 2 width x 2 height pixels of the 24-bit `big`, each
// 2 x 2 block averaged (rounded); false when `big` is too small or memory
// is short.
bool HalveDib(const dib& big, int32_t width, int32_t height, dib& out);

// The template with "%%ANZPAGES%%" (the number of pairs, (n + 1) div 2 + 1
// for an even page count n), "%%BACKTEXT%%", "%%FORWARDTEXT%%",
// "%%FIRSTPAGE%%" and "%%LASTPAGE%%" (messages 39 ... 42 in the current
// language) replaced in this order, every line ended with CR LF. A template
// that is valid UTF-8 gets the texts in UTF-8, any other in Windows-1252.
// The texts are escaped for HTML (&, <, >, ", '), since they come from the
// user-editable translation table and land in markup.
std::string FillHtmlTemplate(const std::string& templ, int32_t evenPageCount);

// What our own template needs beyond the five placeholders. After those,
// "%%PAGECOUNT%%" (the real page count), "%%LANG%%", "%%TITLE%%",
// "%%NOSCRIPT%%" and "%%NOSCRIPTHEAD%%" (markup, as given), "%%PDFFILE%%", "%%TEXTLAYER%%" and
// "%%HDPICTURES%%" ("1" or empty) and "%%TR:German text%%" (the text in the current language) are
// replaced in one scan, so nothing they bring in is replaced again. The
// title and the texts are escaped for HTML, "%" included.
struct HtmlTemplateInfo {
  int32_t pageCount = 0;
  std::string lang = "de";
  std::u16string title;
  std::u16string noscript;      // markup inside the body's <noscript>
  std::u16string noscriptHead;  // markup for the head (the move to the page list)
  std::string pdfFile;          // a file name in the folder, or empty
  bool textLayer = false;
  bool hdPictures = false;  // catalogpagehd<p>.jpg at twice the resolution
};
std::string FillHtmlTemplate(const std::string& templ, int32_t evenPageCount, const HtmlTemplateInfo& info);

// The binding shade on a 24-bit bitmap, in place. Pixel (x, y) is counted
// from the top left, so rows y < 10 are the top edge. An odd (right-hand)
// page fades towards its left edge (the spine), an even one towards its
// right edge; all pages fade over their outermost 9 pixels on the others.
// With `step` 2 the page is the sharper picture (twice the resolution) and
// gets the shade of its halved picture, pixel for pixel scaled up.
void ApplyBindingShade(dib& page, bool oddPage, int step = 1);
// The turned-up corner, in place, at the bottom outer corner: bottom right
// on an odd page, bottom left on an even one (the corner a reader lifts).
void ApplyCornerCurl(dib& page, bool oddPage);

struct HtmlCatalogOptions {
  std::string progpath;     // folder of the template and the pictures
  bool writeImages = true;  // false: the resolution dialog was cancelled
  double dpi = 50;          // ResEd, 10 ... 1440
  double compress = 5;      // CompressEd: JPEG quality = whole part of (100 - compress)
  int32_t layout = -1;      // layout index (0 = layout 1); -1: the document's LayoutCombo
  platform::PrinterPage printer = platform::FallbackPrinterPage();
  int encoderThreads = -1;  // -1 one per core, 0 on the calling thread
  // The text of every page beside its pictures (catalogtext<p>.js), the
  // search index (catalogsearch.js) and the page list without scripts.
  bool textLayer = true;
  // Every page also at twice the resolution (catalogpagehd<p>.jpg, for
  // high-density screens and zooming); the pictures at the chosen
  // resolution are these drawings halved.
  bool hdPictures = true;
  std::string pdfFile;  // a PDF of the catalog written into the folder as well, or empty
};

struct HtmlCatalogProgress {
  int32_t page = 0;  // the page about to be rendered
};
// Called before every page; returning false stops between pages.
using HtmlCatalogProgressFn = std::function<bool(const HtmlCatalogProgress&)>;

struct HtmlCatalogResult {
  bool ok = false;
  bool cancelled = false;
  int32_t anzpages = 0;        // the page count made even (N)
  int32_t picturesCopied = 0;  // navigation pictures found and copied
  int32_t jobsDone = 0;        // pages whose images were written (blank pages included)
  int32_t width = 0, height = 0;
  std::string catalogFile;  // the written catalog.htm (open it when set)
  std::string error;        // what went wrong, naming the file or folder
};

// Exports the catalog of `session` into `folder` (created with its missing
// parents). Nothing is written when the template cannot be read, the folder
// cannot be made, or "catalog.htm" cannot be replaced (read-only, a folder,
// a folder without write permission): that is checked before the first
// page. The page images are written into a temporary folder inside
// `folder` (removed if the program is interrupted) and moved to their names
// when every page is done, unless one of those names is a folder or a
// read-only file; then "catalog.htm" and the pictures follow (they need
// this run's page count). A cancelled or failed export leaves the folder
// as it was. Sets session.anzpages. Needs a Qt GUI application (fonts).
HtmlCatalogResult ExportHtmlCatalog(render::RenderSession& session, const std::string& folder,
                                    const HtmlCatalogOptions& options,
                                    const HtmlCatalogProgressFn& progress = {});

}  // namespace output
