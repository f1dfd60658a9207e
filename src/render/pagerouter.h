// PageRouter: the surface the passes of RenderAllPages draw on.
//
// RenderAllPages lays the catalog out once silently and then draws every
// page in one more pass. Each page must come out exactly as a call that
// draws only that page (after a silent pass) draws it, drawing state
// included. Such a call reaches its page having drawn nothing before, so
// the state in which it starts the page (font, pen, brush, text background,
// position) is that of the silent pass at that point, not the state the
// drawing of the previous page leaves. The silent pass therefore runs on a
// recording router, which notes its state at every page start and at its
// end; the drawing pass runs on a drawing router, which takes those notes
// and puts its state back to them whenever a page begins.
//
// A drawing router holds the state like any surface and replays each
// primitive on the surface of the page being drawn, which the sink supplies
// page by page (BeginPage / EndPage). Text metrics and device queries go to
// the current page's surface, or to the sink's measuring surface while no
// page is drawn; drawing while no page is drawn goes nowhere.
#pragma once

#include <cstdint>
#include <vector>

#include "render/surface.h"

namespace render {

class PageSink;

// The white page with its black border (fill) or the border alone, as a
// pass that is not printing paints them at its start and end.
void PaintPreviewPage(DrawingSurface& c, int32_t width, int32_t height, bool fill);

class PageRouter final : public DrawingSurface {
 public:
  enum class Role { Recording, Drawing };
  // `width`/`height`: the page in surface pixels; `preview`: the drawing
  // pass is not printing, so each page gets the preview's white page and
  // border.
  PageRouter(PageSink& sink, Role role, int32_t width, int32_t height, bool preview);
  ~PageRouter() override;

  // ---- driven by the passes (through RenderPass) ----
  // `everypage`: the pass draws every page (seiteedvalue kEveryPage); other
  // passes on a drawing router (a layout's own silent run) change nothing.
  // A pass starts: with a new surface's state; a drawing router begins
  // page 1 (only in its first pass).
  void PassStarts(bool everypage);
  // The preview's white page of page 1 is painted (the other pages get it
  // in the state of this moment).
  void PreviewFilled(bool everypage);
  // Page `page` (2, 3, ...) starts: a recording router notes its state; a
  // drawing router ends the page being drawn (EndPage), begins `page`
  // (BeginPage, on a preview with the white page) and takes the state noted
  // for it.
  void PageStarts(int32_t page, bool everypage);
  // The pass ends: a recording router notes the closing state; a drawing
  // router ends its last page, and later passes draw nothing.
  void PassEnds(bool everypage);

  // What a recording router noted, for the drawing router of the same run.
  void TakeNotes(PageRouter& recording);

  // Whether `page` is the one currently drawn on a sink surface.
  bool Drawing(int32_t page) const { return target_ && page == page_; }
  // Whether a drawing pass began a page through this router.
  bool Started() const { return started_; }
  bool Cancelled() const { return cancelled_; }

  int32_t TextWidth(const std::u16string& s) override;
  int32_t TextHeight(const std::u16string& s) override;
  bool IsRasterPrinter() const override;
  bool Extent(int32_t& width, int32_t& height) const override;
  bool StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx, int32_t sy,
                  int32_t sw, int32_t sh) override;
  void SetDibRow(int32_t x, int32_t y, const dib& row) override;
  bool SetDibBlock(int32_t x, int32_t y, const dib& block) override;
  void CopyBitmap(int32_t x, int32_t y, const dib& bmp) override;
  void BeginTag(StructTag tag, const std::u16string& alt = std::u16string()) override;
  void EndTag() override;

 protected:
  void LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) override;
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override;
  void DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) override;
  void DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
             int32_t y4) override;

 private:
  struct State {
    bool noted = false;
    TFontSpec font;
    double empx = 0;  // the exact em size text is stretched to (0: none)
    PenState pen;
    BrushState brush;
    bool transparent = false;
    SurfacePoint pos;
  };
  State Note() const;
  // Puts `st` (when noted) into the state of `s`.
  static void Apply(const State& st, DrawingSurface& s);

  void SwitchTo(int32_t page);
  void EndCurrent(bool border);
  // `s` with this surface's state; returns it.
  DrawingSurface& Synced(DrawingSurface& s);
  // The page surface (synced), or null while no page is drawn.
  DrawingSurface* Target();
  // The surface that answers metrics and device queries.
  DrawingSurface& Device() const;

  PageSink& sink_;
  const Role role_;
  const int32_t width_, height_;
  const bool preview_;
  DrawingSurface* target_ = nullptr;
  int32_t page_ = 0;
  bool started_ = false, finished_ = false, cancelled_ = false;
  // Noted states: at the start of page n (index n), and at the end.
  std::vector<State> pagestart_;
  State closing_, fill_;
  // The font last copied, and to which surface at which of its serials.
  const DrawingSurface* fontsurface_ = nullptr;
  uint64_t fontserial_ = 0, targetserial_ = 0;
  // The surface each open tag was passed to (null: none, no page drawn).
  std::vector<DrawingSurface*> tags_;
};

}  // namespace render
