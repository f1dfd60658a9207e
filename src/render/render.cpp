#include "render/render.h"

#include <algorithm>
#include <cstring>

#include "render/furniture.h"
#include "render/pagerouter.h"

namespace render {

namespace {
// TFontSpec equality, the cheap fields first (role fonts are compared on
// every selection).
bool SameFontSpec(const TFontSpec& a, const TFontSpec& b) {
  return a.size == b.size && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
         a.strikeout == b.strikeout && a.charset == b.charset && a.pitch == b.pitch && a.color == b.color &&
         a.ppi == b.ppi && a.name.size() == b.name.size() &&
         std::memcmp(a.name.data(), b.name.data(), a.name.size() * sizeof(char16_t)) == 0;
}
}  // namespace

bool DocumentPictureLoader::Load(const std::u16string& filename, dib& out) {
  return files_->Load(doc_->FindPicture(filename), out);
}

bool DocumentPictureLoader::PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) {
  return files_->PixelSize(doc_->FindPicture(filename), width, height);
}

bool DocumentPictureLoader::LoadForBox(const std::u16string& filename, int32_t boxWidth, int32_t boxHeight,
                                       dib& out, int32_t& fullWidth, int32_t& fullHeight) {
  return files_->LoadForBox(doc_->FindPicture(filename), boxWidth, boxHeight, out, fullWidth, fullHeight);
}

RenderSession::RenderSession(Document& doc, TextMeasurer& measurer, PictureLoader& loader)
    : doc_(&doc), finder_(doc, loader), cache_(measurer) {}

RenderPass::RenderPass(RenderSession& s, const RenderParams& p)
    : session(s),
      doc(s.doc()),
      set(s.doc().settings),
      params(p),
      canvas(*p.canvas0),
      dpi(p.dpi),
      zoom(p.zoomedvalue),
      router_(p.router) {
  s.layoutcache().TextsMayHaveChanged();
}

bool RenderPass::DrawnPage(int32_t page) const {
  return router_ && params.seiteedvalue == kEveryPage ? router_->Drawing(page) : page == params.seiteedvalue;
}

void RenderPass::PassSurfaceStarts() {
  if (router_) router_->PassStarts(params.seiteedvalue == kEveryPage);
}
void RenderPass::PreviewFilled() {
  if (router_) router_->PreviewFilled(params.seiteedvalue == kEveryPage);
}
void RenderPass::BeginPageSurface(int32_t page) {
  if (!router_) return;
  router_->PageStarts(page, params.seiteedvalue == kEveryPage);
  font_serial_ = 0;  // the router may have put another font in place
}
void RenderPass::EndPageSurfaces() {
  if (router_) router_->PassEnds(params.seiteedvalue == kEveryPage);
}

void RenderPass::SelectRoleFont(const TFontSpec& f) {
  basesize = f.size;
  for (size_t i = 0; i < nroles_; ++i) {
    RoleFont& r = roles_[i];
    if (r.source == &f && SameFontSpec(r.spec, f)) {
      canvas.SetTransparentText();
      // Unless it is still selected, the state is assigned in one step.
      if (canvas.FontSerial() != r.serial) {
        canvas.AssignFont(r.applied, r.em);
        r.serial = canvas.FontSerial();
      }
      // What MeasureFont would find for this state.
      font_serial_ = r.serial;
      font_points_ = r.points;
      font_base_ = basesize;
      font_id_ = r.measure;
      session.layoutcache().NoteSurfaceFont(canvas, r.surfaceid);
      return;
    }
  }
  canvas.SetFont(f);
  canvas.SetTransparentText();
  canvas.SetFontPpi(dpi);
  canvas.SetFontSize(ZoomedFontPoints(basesize, zoom));
  ExactFontSize();
  RoleFont& r = roles_[nextrole_];
  nextrole_ = (nextrole_ + 1) % kRoleFonts;
  nroles_ = std::max(nroles_, nextrole_ == 0 ? kRoleFonts : nextrole_);
  r.source = &f;
  r.spec = f;
  r.applied = canvas.Font();
  r.em = canvas.FontEmPixels();
  r.measure = MeasureFont();
  r.points = font_points_;
  r.surfaceid = session.layoutcache().SurfaceFontId(canvas);
  r.serial = canvas.FontSerial();
}

void RenderPass::ExactFontSize() {
  canvas.SetFontEmPixels(static_cast<double>(TruncClamp(basesize)) * dpi * zoom / (100.0 * 72.0));
}

FontId RenderPass::MeasureFont() {
  if (canvas.FontSerial() == font_serial_ && basesize == font_base_) return font_id_;
  const int32_t points = TruncClamp(basesize);
  if (canvas.FontSerial() != font_serial_ || points != font_points_) {
    font_id_ = session.cache().Intern(canvas.Font(), points);
    font_serial_ = canvas.FontSerial();
    font_points_ = points;
  }
  font_base_ = basesize;
  return font_id_;
}

double RenderPass::TextWidthMm(const std::u16string& text) {
  return session.cache().WidthMm(MeasureFont(), text);
}
double RenderPass::TextHeightMm(const std::u16string& text) {
  return session.cache().HeightMm(MeasureFont(), text);
}

namespace {

void PaintPreviewPage(RenderPass& pass, bool fill) {
  PaintPreviewPage(pass.canvas, pass.params.width, pass.params.height, fill);
}

}  // namespace

void StartPass(RenderPass& pass, PageState& st) {
  const CatalogSettings& set = pass.set;
  pass.session.layoutcache().BeginPass();
  // Page 1's surface is there before anything is painted on it.
  pass.PassSurfaceStarts();
  // The header font is the surface's initial font.
  pass.SelectRoleFont(set.FontDialog9);
  if (!pass.params.printit) {
    PaintPreviewPage(pass, true);
    pass.PreviewFilled();
  }
  st = PageState{};
  st.leftpx = pass.Len(set.LinksEd);
  st.toppx = pass.Len(set.ObenEd);
  st.rightpx = pass.Len(set.RechtsEd);
  st.bottompx = pass.Len(set.UntenEd);
  st.picmarginpx = pass.Len(set.RandBildEd);
  st.leftmm = set.LinksEd;
  st.topmm = set.ObenEd;
  st.rightmm = set.RechtsEd;
  st.bottommm = set.UntenEd;
  st.page = 1;
  StartPage(pass, st);
  st.x = st.leftpx;
  st.y = st.topmm + st.headermm;
}

bool FinishPass(RenderPass& pass, const PageState& st) {
  // The last page is closed by no BreakPage: its %CATEGORY% is the
  // category begun last, recorded here for the passes that follow.
  const Document& doc = pass.doc;
  const bool known = st.category >= 0 && static_cast<uint32_t>(st.category) < doc.kats.Count();
  pass.doc.lastkat.Set(st.page, known ? doc.kats[st.category].name : std::u16string());
  pass.session.anzpages = st.page;
  if (!pass.params.printit) PaintPreviewPage(pass, false);
  pass.EndPageSurfaces();
  return pass.params.seiteedvalue < st.page;
}

bool RenderFurnitureOnly(RenderSession& s, const RenderParams& p, const LayoutEntry& /*layout*/) {
  RenderPass pass(s, p);
  PageState st;
  StartPass(pass, st);
  return FinishPass(pass, st);
}

AllPagesResult RenderAllPages(RenderSession& s, const RenderParams& p, PageSink& sink,
                              const LayoutEntry& layout) {
  AllPagesResult r;
  // The silent pass: page numbers and category names for the contents page
  // and the headers come from this very run, and the drawing state each
  // page starts with (see PageRouter). Layout 3 settles its number of name
  // lines here too (a pass finding another number than the one it started
  // with would be run again), so the drawing pass runs once.
  PageRouter router(sink, PageRouter::Role::Drawing, p.width, p.height, !p.printit);
  RenderParams q = p;
  q.seiteedvalue = 0;
  {
    PageRouter silent(sink, PageRouter::Role::Recording, p.width, p.height, false);
    q.canvas0 = &silent;
    q.router = &silent;
    for (int settle = 0; settle < 4; ++settle) {
      const int32_t lines = s.maxlinesforcaptionlasttime;
      layout.renderer(s, q, layout);
      if (s.maxlinesforcaptionlasttime == lines) break;
    }
    router.TakeNotes(silent);
  }
  q.canvas0 = &router;
  q.router = &router;
  q.seiteedvalue = kEveryPage;
  layout.renderer(s, q, layout);
  if (router.Started()) {
    r.pages = s.anzpages;
    r.cancelled = router.Cancelled();
    return r;
  }
  // A renderer outside the pass protocol: page by page on the sink's
  // surfaces, each call laying out the whole catalog.
  int32_t known = s.anzpages;
  q.router = nullptr;
  for (int32_t page = 1;; ++page) {
    DrawingSurface* surface = sink.BeginPage(page);
    bool more;
    if (surface) {
      q.canvas0 = surface;
      q.seiteedvalue = page;
      more = layout.renderer(s, q, layout);
      known = s.anzpages;
      if (!sink.EndPage(page, *surface)) {
        r.cancelled = true;
        break;
      }
    } else {
      more = page < known;
    }
    if (!more) break;
  }
  s.anzpages = known;
  r.pages = known;
  return r;
}

}  // namespace render
