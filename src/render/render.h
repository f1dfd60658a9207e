// The render contract shared by every layout and every output.
//
// One call renders one page: it lays out the whole catalog from page 1 and
// draws only while the page counter equals the requested page. What a pass
// learns for later passes (page count, category per page, page numbers,
// picture sizes) stays in the document and in the RenderSession.
//
//   RenderSession  lives as long as the document; the window and each output
//                  hold one per document. Owns the run-time fields the
//                  renderers share, the measurement cache and the prepared
//                  background and logo pictures.
//   RenderParams   the arguments of one call.
//   RenderPass     one call in progress: units, role fonts, text metrics.
//   PageState      the running state of a layout pass (page, y, reserves).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/dib/dib.h"
#include "project/document.h"
#include "render/layoutcache.h"
#include "render/measure.h"
#include "render/pictureloader.h"
#include "render/surface.h"
#include "render/units.h"

class Feedback;

namespace render {

class PageRouter;

// seiteedvalue of a pass that draws every page on the surfaces of a
// PageRouter (RenderAllPages); without a router it draws none.
constexpr int32_t kEveryPage = -1;

struct RenderParams {
  DrawingSurface* canvas0 = nullptr;  // where the page is drawn
  int32_t dpi = 96;                   // device pixels per inch of the surface
  int32_t width = 0, height = 0;      // page size on the surface, pixels
  int32_t seiteedvalue = 1;           // requested page, counted from 1
  double zoomedvalue = 100;           // percent; 100 for every output
  bool printit = false;               // false for the preview only
  double widthmm = 0, heightmm = 0;   // page size in millimetres
  // Set by RenderAllPages (then canvas0 is the router): with seiteedvalue
  // kEveryPage the pass draws every page, switching surfaces at page
  // starts; with 0 it lays out and notes its drawing state per page.
  PageRouter* router = nullptr;
};

// The loader every renderer asks: each name goes through
// Document::FindPicture first (a bare name is looked for in the project's,
// the program's and the current folder), then to the loader underneath.
class DocumentPictureLoader : public PictureLoader {
 public:
  DocumentPictureLoader(const Document& doc, PictureLoader& files) : doc_(&doc), files_(&files) {}
  bool Load(const std::u16string& filename, dib& out) override;
  bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) override;
  bool LoadForBox(const std::u16string& filename, int32_t boxWidth, int32_t boxHeight, dib& out,
                  int32_t& fullWidth, int32_t& fullHeight) override;
  std::vector<Problem> TakeProblems() override { return files_->TakeProblems(); }
  uint64_t CacheLimit() const override { return files_->CacheLimit(); }
  void SetCacheLimit(uint64_t bytes) override { files_->SetCacheLimit(bytes); }
  void NoteDerived(const dib& pic, const std::u16string& filename) override {
    files_->NoteDerived(pic, doc_->FindPicture(filename));
  }

 private:
  const Document* doc_;
  PictureLoader* files_;
};

class RenderSession;

// ---- layouts ----
//
// A layout is a renderer and the variations it draws with. The table of every
// layout (render/layouts/layouts.h) is render_layouts': its RenderLayout,
// RenderCatalogPage and RenderAllPages take a layout index, look the entry up
// and call the renderer, or RenderAllPages below, with it.
struct LayoutEntry;
using LayoutRenderer = bool (*)(RenderSession& s, const RenderParams& p, const LayoutEntry& layout);
struct LayoutEntry {
  int32_t number;           // as the window and --layout count layouts, from 1
  const char* name;         // the window's list entry: German UTF-8, a translation key
  LayoutRenderer renderer;  // lays out the catalog, draws the requested page
  // Where the picture column of the framed layouts stands: left (0), right
  // (1), right on odd and left on even pages (2) or the other way round (3).
  int32_t bildmode;
  bool froceOnlyOneColumnCheck;  // one column, pictures left-aligned
  bool SecondPictureBelowText;   // the second picture below the description
};

class RenderSession {
 public:
  RenderSession(Document& doc, TextMeasurer& measurer, PictureLoader& loader);
  RenderSession(const RenderSession&) = delete;
  RenderSession& operator=(const RenderSession&) = delete;

  Document& doc() { return *doc_; }
  const Document& doc() const { return *doc_; }
  MeasureCache& cache() { return cache_; }
  // Surface metrics, table cell lines and wrapped texts of the layouts.
  LayoutCache& layoutcache() { return layoutcache_; }
  // Picture files as the document finds them (DocumentPictureLoader).
  PictureLoader& loader() { return finder_; }

  // Page count of the last pass (the cover rule and outputs read it).
  int32_t anzpages = 0;
  // Set: the layout entry points draw every layout with this renderer (and
  // the layout's variations) instead of the layout's own; tests give an
  // output pages they know with it.
  LayoutRenderer drawWith = nullptr;
  // Layout 3: the largest number of name lines its previous run found.
  int32_t maxlinesforcaptionlasttime = 0;

  // The furniture pictures as the window's tabs show them: di2 background
  // of FilenameEdit2 (all or odd pages), di4 background of FilenameEdit3
  // (even pages), di3 the logo, each decoded for at most kFurniturePreview
  // pixels on its shorter side. Pages do not draw these (see
  // FurnitureForBox). A picture counts as loaded when it has pixels.
  dib di2, di3, di4;
  static constexpr int32_t kFurniturePreview = 1024;

  // (Re)loads the furniture pictures through the picture loader.
  // Background of FilenameEdit2 (which = 2) or FilenameEdit3 (which = 3),
  // processed with GrayScaleCheck / LightenCheck / HellEd / SatEd.
  void PrepareBackground(int which);
  // Both backgrounds: after any of the four processing settings changed.
  void PrepareBackgrounds();
  // The logo of FilenameEdit1 (not processed).
  void LoadLogo();
  // Everything, e.g. after a document was opened or created.
  void LoadFurniturePictures();

  // What pages draw: the logo (which = 1) or a background (2, 3) decoded
  // for a box of w x h device pixels through the loader (so a large file
  // costs what the box needs, and its decode is shared through the
  // loader's cache), backgrounds processed as above. The copy is kept for
  // the next page that asks for the same file, box and processing. Null
  // when the setting names no file or the file cannot be loaded.
  const dib* FurnitureForBox(int which, int32_t w, int32_t h);
  // The furniture file's own pixel size (its header); false when the
  // setting names no file or the size cannot be read.
  bool FurnitureSize(int which, int32_t& w, int32_t& h);
  // Where picture-transfer failures of printers are reported; may be null.
  Feedback* feedback = nullptr;
  // The %DATE% text of footers; unset: today in the system's short format.
  std::function<std::u16string()> today;

 private:
  Document* doc_;
  DocumentPictureLoader finder_;
  struct DrawnFurniture {
    std::u16string file;
    int32_t w = 0, h = 0;
    std::u16string processing;  // the background settings it was made with
    bool ok = false;
    dib pic;
  };
  DrawnFurniture drawn_[3];  // logo, background, even pages' background
  MeasureCache cache_;
  LayoutCache layoutcache_;
};

// The running state of one layout pass (fields as the layouts name them).
struct PageState {
  int32_t page = 1;      // page counter, 1 at the start of the pass
  double y = 0;          // mm from the top edge of the page
  int32_t x = 0;         // px, left edge of the next element
  int32_t headerpx = 0;  // room taken by the header on this page
  double headermm = 0;
  int32_t footerpx = 0;  // room taken by the footer on this page
  double footermm = 0;
  int32_t itemsonpage = 0;  // products placed on this page
  int32_t category = -1;    // index of the category begun last (BeginCategory)
  int32_t leftpx = 0, toppx = 0, rightpx = 0, bottompx = 0, picmarginpx = 0;
  double leftmm = 0, topmm = 0, rightmm = 0, bottommm = 0;
};

class RenderPass;

// A layout that keeps a product open across page ends (a frame that
// continues) hears about every StartPage of its pass: before the furniture
// of the new page is drawn (st.page is already the new page) and after.
class PageStartHook {
 public:
  virtual ~PageStartHook() = default;
  virtual void BeforePageStart(RenderPass& pass, PageState& st) = 0;
  virtual void AfterPageStart(RenderPass& pass, PageState& st) = 0;
};

class RenderPass {
 public:
  RenderPass(RenderSession& s, const RenderParams& p);

  RenderSession& session;
  Document& doc;
  const CatalogSettings& set;
  const RenderParams& params;
  DrawingSurface& canvas;
  const int32_t dpi;
  const double zoom;

  // The role font's point size before zooming, of the font selected last.
  double basesize = 10;
  // Set by layouts that continue frames across pages; StartPage calls it.
  PageStartHook* pagehook = nullptr;

  // ---- units at this pass's resolution and zoom ----
  int32_t Len(double mm) const { return LengthPx(mm, dpi, zoom); }
  int32_t LenCm(double cm) const { return LengthPxCm(cm, dpi, zoom); }
  int32_t Pos(double mm) const { return PositionPx(mm, dpi, zoom); }
  int32_t OneMm() const { return OneMmPx(dpi, zoom); }
  int32_t FiveMm() const { return FiveMmPx(dpi, zoom); }

  // Whether the page of `st` is (one of) the page(s) being drawn.
  bool Drawn(const PageState& st) const { return DrawnPage(st.page); }
  bool DrawnPage(int32_t page) const;
  // The page-surface protocol of RenderAllPages (nothing without a router):
  // StartPass calls PassSurfaceStarts first and PreviewFilled after the
  // preview's white page, StartPage calls BeginPageSurface before any
  // furniture, FinishPass calls EndPageSurfaces last.
  void PassSurfaceStarts();
  void PreviewFilled();
  void BeginPageSurface(int32_t page);
  void EndPageSurfaces();
  // The lowest usable position: heightmm - bottommm - footermm.
  double UsableBottom(const PageState& st) const { return params.heightmm - st.bottommm - st.footermm; }

  // ---- role fonts and layout metrics ----
  // Assigns the role font, transparent text, ppi := dpi, basesize := its
  // size, point size := Round(size * zoom / 100), at least 1.
  void SelectRoleFont(const TFontSpec& f);
  // Millimetre width / height of `text` in the current surface font at
  // Trunc(basesize) points and 300 ppi (through the session's cache). The
  // text is measured as given.
  double TextWidthMm(const std::u16string& text);
  double TextHeightMm(const std::u16string& text);
  // TextHeightMm(" ") of the current font.
  double LineHeight() { return TextHeightMm(u" "); }
  // The measuring font of the current surface font and basesize.
  FontId MeasureFont();
  // Tells the surface the exact em size of the measuring font at this pass's
  // resolution and zoom (DrawingSurface::SetFontEmPixels); call after the
  // surface font and basesize are set.
  void ExactFontSize();

 private:
  // A role font as SelectRoleFont leaves it on the surface, learnt the first
  // time the pass selects it: selecting it again assigns the state in one
  // step and knows its measuring and surface font ids. Entries are found by
  // the address of the font and checked against its value.
  struct RoleFont {
    const TFontSpec* source = nullptr;
    TFontSpec spec;     // the role font as given
    TFontSpec applied;  // the surface's font after the selection
    double em = 0;      // and its em size
    FontId measure = 0;
    int32_t points = 0;      // its measuring size
    uint32_t surfaceid = 0;  // LayoutCache's id of the surface font
    uint64_t serial = 0;     // the surface's font serial when it was last selected
  };
  static constexpr size_t kRoleFonts = 12;

  PageRouter* const router_;
  uint64_t font_serial_ = 0;
  int32_t font_points_ = -1;
  double font_base_ = -1;  // basesize when font_id_ was found
  FontId font_id_ = 0;
  RoleFont roles_[kRoleFonts];
  size_t nroles_ = 0, nextrole_ = 0;
};

// Part of every pass. StartPass: the header font on the surface, the white
// page with its black border when not printing, the margins into `st`,
// page 1 with its furniture, x := leftpx, y := topmm + headermm.
void StartPass(RenderPass& pass, PageState& st);
// lastkat[st.page] := the name of the category begun last (empty without
// one), anzpages := st.page; the border once more when not printing; returns
// whether pages follow the requested one (seiteedvalue < anzpages).
bool FinishPass(RenderPass& pass, const PageState& st);

// ---- every page of a catalog, for the outputs ----
//
// The outputs (PDF, page images, HTML catalog, printing) draw every page of
// the catalog. They go through RenderAllPages instead of calling
// RenderCatalogPage once per page: the catalog is laid out once silently
// (so the contents page shows the page numbers of this very run), then its
// pages are drawn in order, each on a surface the sink supplies.
class PageSink {
 public:
  virtual ~PageSink() = default;
  // A surface with the metrics of the pages (same kind, resolution and
  // fonts) for the work that only lays out; what is drawn on it is never
  // shown.
  virtual DrawingSurface& MeasuringSurface() = 0;
  // A surface for `page` (counted from 1), sized and cleared by the sink,
  // or null when that page is only laid out (a page outside a range).
  virtual DrawingSurface* BeginPage(int32_t page) = 0;
  // `page` is finished on `surface` (the one BeginPage returned; never
  // called for a null one). The sink may encode it now or keep it. Return
  // false to cancel: no further page is begun.
  virtual bool EndPage(int32_t page, DrawingSurface& surface) = 0;
};

struct AllPagesResult {
  int32_t pages = 0;       // anzpages of the run
  bool cancelled = false;  // EndPage returned false
};

// Draws every page of the catalog with `layout`. `p` gives resolution, zoom,
// page size and printit; its canvas0, seiteedvalue and router are ignored.
// The pages are exactly those the renderer draws page by page after one
// silent pass
// (printing; the preview's page border, drawn with a clear brush, may
// carry another brush colour in its state).
//
// One silent layout pass, then one pass that draws every page: the drawing
// state (font, pen, brush) runs on from page to page as on one surface, and
// page N is handed to EndPage before page N + 1 is begun, so the sink can
// encode it while the next one is drawn. A renderer that does not go
// through StartPass / StartPage / FinishPass is drawn page by page.
AllPagesResult RenderAllPages(RenderSession& s, const RenderParams& p, PageSink& sink,
                              const LayoutEntry& layout);

// A renderer drawing the page furniture of a catalog without content (one
// page).
bool RenderFurnitureOnly(RenderSession& s, const RenderParams& p, const LayoutEntry& layout);

}  // namespace render
