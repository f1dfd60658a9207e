#include "render/pagerouter.h"

#include "render/render.h"

namespace render {

void PaintPreviewPage(DrawingSurface& c, int32_t width, int32_t height, bool fill) {
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenColor(0);
  c.SetPenWidth(1);
  if (fill)
    c.SetBrushColor(0xFFFFFF);
  else
    c.SetBrushStyle(BrushStyle::Clear);
  c.Rectangle(0, 0, width, height);
}

PageRouter::PageRouter(PageSink& sink, Role role, int32_t width, int32_t height, bool preview)
    : sink_(sink), role_(role), width_(width), height_(height), preview_(preview) {}

PageRouter::~PageRouter() = default;

PageRouter::State PageRouter::Note() const {
  State st;
  st.noted = true;
  st.font = font_;
  st.empx = em_px_;
  st.pen = pen_;
  st.brush = brush_;
  st.transparent = transparent_;
  st.pos = pos_;
  return st;
}

void PageRouter::Apply(const State& st, DrawingSurface& s) {
  if (!st.noted) return;
  s.font_ = st.font;
  s.em_px_ = st.empx;
  s.FontChanged();
  s.pen_ = st.pen;
  s.brush_ = st.brush;
  s.transparent_ = st.transparent;
  s.pos_ = st.pos;
}

void PageRouter::TakeNotes(PageRouter& recording) {
  pagestart_ = std::move(recording.pagestart_);
  closing_ = recording.closing_;
}

void PageRouter::PassStarts(bool everypage) {
  if (role_ == Role::Recording) {
    ResetState();
    return;
  }
  if (!everypage || finished_ || started_) return;
  ResetState();
  SwitchTo(1);
}

void PageRouter::PreviewFilled(bool everypage) {
  if (role_ == Role::Drawing && everypage && page_ == 1) fill_ = Note();
}

void PageRouter::PageStarts(int32_t page, bool everypage) {
  if (role_ == Role::Recording) {
    if (page < 1) return;
    if (pagestart_.size() <= static_cast<size_t>(page)) pagestart_.resize(static_cast<size_t>(page) + 1);
    pagestart_[static_cast<size_t>(page)] = Note();
    return;
  }
  if (!everypage || finished_ || page == page_) return;
  SwitchTo(page);
  if (static_cast<size_t>(page) < pagestart_.size()) Apply(pagestart_[static_cast<size_t>(page)], *this);
}

void PageRouter::PassEnds(bool everypage) {
  if (role_ == Role::Recording) {
    closing_ = Note();
    return;
  }
  if (!everypage || finished_) return;
  EndCurrent(false);
  finished_ = true;
  page_ = 0;
}

void PageRouter::SwitchTo(int32_t page) {
  started_ = true;
  EndCurrent(true);
  page_ = page;
  if (cancelled_) return;
  target_ = sink_.BeginPage(page);
  if (target_ && preview_ && page > 1) {
    Apply(fill_, *target_);
    fontsurface_ = nullptr;
    target_->Rectangle(0, 0, width_, height_);
  }
}

void PageRouter::EndCurrent(bool border) {
  if (!target_) return;
  DrawingSurface& t = *target_;
  target_ = nullptr;
  if (border && preview_) {
    // The pass paints the border last, in the state it ends with.
    Apply(closing_, t);
    fontsurface_ = nullptr;
    PaintPreviewPage(t, width_, height_, false);
  }
  if (!sink_.EndPage(page_, t)) cancelled_ = true;
}

DrawingSurface& PageRouter::Synced(DrawingSurface& s) {
  // The font is copied only when it changed on either side (surfaces key
  // their font objects on the serial); the rest is plain values.
  if (&s != fontsurface_ || fontserial_ != font_serial_ || targetserial_ != s.font_serial_) {
    s.font_ = font_;
    s.em_px_ = em_px_;
    s.FontChanged();
    fontsurface_ = &s;
    fontserial_ = font_serial_;
    targetserial_ = s.font_serial_;
  }
  s.pen_ = pen_;
  s.brush_ = brush_;
  s.transparent_ = transparent_;
  s.pos_ = pos_;
  return s;
}

DrawingSurface* PageRouter::Target() { return target_ ? &Synced(*target_) : nullptr; }

DrawingSurface& PageRouter::Device() const { return target_ ? *target_ : sink_.MeasuringSurface(); }

int32_t PageRouter::TextWidth(const std::u16string& s) { return Synced(Device()).TextWidth(s); }
int32_t PageRouter::TextHeight(const std::u16string& s) { return Synced(Device()).TextHeight(s); }
bool PageRouter::IsRasterPrinter() const { return Device().IsRasterPrinter(); }
bool PageRouter::Extent(int32_t& width, int32_t& height) const { return Device().Extent(width, height); }

bool PageRouter::StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
                            int32_t sy, int32_t sw, int32_t sh) {
  DrawingSurface* t = Target();
  return t ? t->StretchDib(dx, dy, dw, dh, pic, sx, sy, sw, sh) : true;
}
void PageRouter::SetDibRow(int32_t x, int32_t y, const dib& row) {
  if (DrawingSurface* t = Target()) t->SetDibRow(x, y, row);
}
bool PageRouter::SetDibBlock(int32_t x, int32_t y, const dib& block) {
  DrawingSurface* t = Target();
  return t ? t->SetDibBlock(x, y, block) : true;
}
void PageRouter::CopyBitmap(int32_t x, int32_t y, const dib& bmp) {
  if (DrawingSurface* t = Target()) t->CopyBitmap(x, y, bmp);
}

void PageRouter::LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) {
  if (target_) target_->LinkToPage(x1, y1, x2, y2, page);
}

// A tag reaches a page surface only when it began on a drawn page, and
// ends there when the drawing is still on that surface (a sink that hands
// out one surface for every page keeps tags open across pages; a surface
// already handed back is never touched).
void PageRouter::BeginTag(StructTag tag, const std::u16string& alt) {
  tags_.push_back(target_);
  if (target_) target_->BeginTag(tag, alt);
}
void PageRouter::EndTag() {
  if (tags_.empty()) return;
  DrawingSurface* s = tags_.back();
  tags_.pop_back();
  if (s && s == target_) s->EndTag();
}

void PageRouter::DoTextOut(int32_t x, int32_t y, const std::u16string& s) {
  if (DrawingSurface* t = Target()) t->DoTextOut(x, y, s);
}
void PageRouter::DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) {
  if (DrawingSurface* t = Target()) t->DoFillRect(x1, y1, x2, y2, c);
}
void PageRouter::DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (DrawingSurface* t = Target()) t->DoFrameRect(x1, y1, x2, y2);
}
void PageRouter::DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (DrawingSurface* t = Target()) t->DoLine(x1, y1, x2, y2);
}
void PageRouter::DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                       int32_t y4) {
  if (DrawingSurface* t = Target()) t->DoArc(x1, y1, x2, y2, x3, y3, x4, y4);
}

}  // namespace render
