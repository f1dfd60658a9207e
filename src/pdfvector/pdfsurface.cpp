#include "pdfvector/pdfsurface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "i18n/texts.h"
#include "pdf/pdfimages.h"
#include "pdfvector/fonts.h"
#include "pdfvector/imageobjects.h"
#include "pdfvector/pdfwriter.h"
#include "pdfvector/tagtree.h"
#include "render/measure.h"
#include "render/pixelrects.h"
#include "render/webaddress.h"

namespace pdfvec {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Slant of a faked italic (about 12 degrees).
constexpr double kFakeSlant = 0.21;

std::string Hex4(uint32_t v) {
  char b[8];
  std::snprintf(b, sizeof b, "%04X", v & 0xFFFF);
  return b;
}

std::string N(double v) { return Num(v, 2); }

}  // namespace

std::string ColourOps::Cmyk(const double k[4]) {
  maxInk_ = std::max(maxInk_, k[0] + k[1] + k[2] + k[3]);
  return Num(k[0], 4) + " " + Num(k[1], 4) + " " + Num(k[2], 4) + " " + Num(k[3], 4) + " k";
}

std::string ColourOps::Op(TColor c, bool stroke) {
  c &= 0xFFFFFF;
  auto it = cache_.find(c);
  if (it == cache_.end()) {
    std::string op;
    if (!cmyk_) {
      op = Num(ColorR(c) / 255.0, 4) + " " + Num(ColorG(c) / 255.0, 4) + " " + Num(ColorB(c) / 255.0, 4) +
           " rg";
    } else if (c == 0) {
      const double k[4] = {0, 0, 0, 1};
      op = Cmyk(k);  // black text and rules: black ink only
    } else {
      uint8_t k[4] = {0, 0, 0, 0};
      if (conv_)
        conv_->RGBTOCMYK(static_cast<uint8_t>(ColorR(c)), static_cast<uint8_t>(ColorG(c)),
                         static_cast<uint8_t>(ColorB(c)), k);
      else
        pdfimg::ArithmeticRGBTOCMYK(static_cast<uint8_t>(ColorR(c)), static_cast<uint8_t>(ColorG(c)),
                                    static_cast<uint8_t>(ColorB(c)), k);
      const double v[4] = {k[0] / 255.0, k[1] / 255.0, k[2] / 255.0, k[3] / 255.0};
      op = Cmyk(v);
    }
    if (cache_.size() > 65536) cache_.clear();
    it = cache_.emplace(c, op).first;
  }
  if (!stroke) return it->second;
  // The stroking operator is the upper-case one: RG, K.
  std::string s = it->second;
  if (s.size() >= 2 && s.compare(s.size() - 2, 2, "rg") == 0)
    s.replace(s.size() - 2, 2, "RG");
  else
    s.back() = 'K';
  return s;
}

std::string ColourOps::Op(TColor c, bool stroke, InkUse use, bool& overprint) {
  c &= 0xFFFFFF;
  overprint = false;
  if (cmyk_) {
    std::string op;
    if (c == 0 && use == InkUse::Large && ink_.richBlack) {
      op = Cmyk(ink_.rich);
    } else if (c == 0) {
      overprint = ink_.overprintBlack && use != InkUse::Large;
    } else if (ink_.grayAsK && (use == InkUse::Text || use == InkUse::ThinRule) && ColorR(c) == ColorG(c) &&
               ColorG(c) == ColorB(c) && c != 0xFFFFFF) {
      // A neutral grey of fine detail in black ink alone: three inks out of
      // register would give it coloured fringes.
      const double k[4] = {0, 0, 0, 1 - ColorR(c) / 255.0};
      op = Cmyk(k);
    }
    if (!op.empty()) {
      if (stroke) op.back() = 'K';
      return op;
    }
  }
  return Op(c, stroke);
}

PdfSurface::PdfSurface(FontSet& fonts, PictureStore& pictures, PdfWriter& writer, ColourOps& colours,
                       int32_t width, int32_t height, double ptPerPxX, double ptPerPxY, int32_t bleedPx,
                       bool measuring, render::TextMeasurer* metrics, double bleedPt)
    : fontset_(fonts),
      pictures_(pictures),
      writer_(writer),
      colours_(colours),
      width_(width),
      height_(height),
      ptx_(ptPerPxX),
      pty_(ptPerPxY),
      bleed_(std::max(0, bleedPx)),
      measuring_(measuring),
      metrics_(metrics),
      bleedPt_(bleedPt >= 0 ? bleedPt : std::max(0, bleedPx) * ptPerPxX) {}

PdfSurface::~PdfSurface() = default;

void PdfSurface::BeginPage() {
  content_.clear();
  fonts_.clear();
  images_.clear();
  links_.clear();
  pictureUses_.clear();
  askedFonts_.clear();
  missingChars_.clear();
  pastPage_.clear();
  fill_.clear();
  stroke_.clear();
  linewidth_ = -1;
  cap_ = -1;
  overprint_ = overprintUsed_ = false;
  pending_ = false;
  mark_ = kNoMark;
  // Device pixels, y downward, onto the trim box (which starts `bleedPt`
  // from the media box's corner).
  content_ = "q " + Num(ptx_, 6) + " 0 0 " + Num(-pty_, 6) + " " + Num(bleedPt_, 4) + " " +
             Num(height_ * pty_ + bleedPt_, 4) + " cm\n";
}

std::string PdfSurface::TakeContent() {
  FlushFill();
  // Marked content ends with the page's stream; an element that goes on
  // continues with new content on the next page.
  if (mark_ != kNoMark) content_ += "EMC\n";
  mark_ = kNoMark;
  std::string s;
  s.swap(content_);
  s += "Q\n";
  return s;
}

bool PdfSurface::Extent(int32_t& width, int32_t& height) const {
  width = width_;
  height = height_;
  return true;
}

void PdfSurface::Emit(const std::string& s) {
  FlushFill();
  content_ += s;
}

FontFace* PdfSurface::CurrentFace() {
  if (!error_.empty()) return nullptr;
  FontFace* f = fontset_.Face(Font(), error_);
  if (!f && error_.empty()) error_ = i18n::SayUtf8(i18n::Text::FontUnusable);
  return f;
}

double PdfSurface::EmPixels() const { return FontEmPixels() > 0 ? FontEmPixels() : FontPixelSize(); }

double PdfSurface::RunWidth(FontFace& f, const std::u16string& s) {
  if (metrics_) return metrics_->RunWidthPx(Font(), EmPixels(), s);
  return FontSet::Advance(f, s) * EmPixels() / FontSet::UnitsPerEm(f);
}

void PdfSurface::LineMetrics(FontFace& f, int32_t& ascent, int32_t& descent) {
  if (metrics_) {
    metrics_->LineMetricsPx(Font(), FontPixelSize(), ascent, descent);
    return;
  }
  const double k = static_cast<double>(FontPixelSize()) / FontSet::UnitsPerEm(f);
  ascent = static_cast<int32_t>(std::lround(FontSet::Ascent(f) * k));
  descent = static_cast<int32_t>(std::lround(FontSet::Descent(f) * k));
}

int32_t PdfSurface::TextWidth(const std::u16string& s) {
  FontFace* f = CurrentFace();
  if (!f) return 0;
  return static_cast<int32_t>(std::lround(RunWidth(*f, s)));
}

int32_t PdfSurface::TextHeight(const std::u16string&) {
  FontFace* f = CurrentFace();
  if (!f) return 0;
  int32_t a = 0, d = 0;
  LineMetrics(*f, a, d);
  return a + d;
}

InkUse PdfSurface::UseOf(double w, double h) const {
  constexpr double kPtPerMm = 72 / 25.4;
  if (h <= 0) return w * ptx_ < 1 ? InkUse::ThinRule : InkUse::Small;
  const double wpt = w * ptx_, hpt = h * pty_;
  if (std::min(wpt, hpt) < 1) return InkUse::ThinRule;
  if (wpt * hpt > 100 * kPtPerMm * kPtPerMm && std::min(wpt, hpt) > kPtPerMm) return InkUse::Large;
  return InkUse::Small;
}

void PdfSurface::SetOverprint(bool on) {
  if (on == overprint_) return;
  // Only CMYK pages ever switch it on.
  content_ += on ? "/GSop gs\n" : "/GSko gs\n";
  overprint_ = on;
  if (on) overprintUsed_ = true;
}

void PdfSurface::SetFillColour(TColor c, InkUse use) {
  bool overprint = false;
  std::string op = colours_.Op(c, false, use, overprint);
  SetOverprint(overprint);
  if (op != fill_) {
    content_ += op + "\n";
    fill_ = std::move(op);
  }
}

void PdfSurface::SetStroke(TColor c, double width, int cap, InkUse use) {
  bool overprint = false;
  std::string op = colours_.Op(c, true, use, overprint);
  SetOverprint(overprint);
  if (op != stroke_) {
    content_ += op + "\n";
    stroke_ = std::move(op);
  }
  if (width != linewidth_) {
    content_ += N(width) + " w\n";
    linewidth_ = width;
  }
  if (cap != cap_) {
    content_ += std::to_string(cap) + " J\n";
    cap_ = cap;
  }
}

void PdfSurface::FlushFill() {
  if (!pending_) return;
  pending_ = false;
  Mark(false);
  SetFillColour(pc_, UseOf(static_cast<double>(px2_ - px1_), static_cast<double>(py2_ - py1_)));
  content_ += std::to_string(px1_) + " " + std::to_string(py1_) + " " + std::to_string(px2_ - px1_) + " " +
              std::to_string(py2_ - py1_) + " re f\n";
}

void PdfSurface::Fill(int64_t x1, int64_t y1, int64_t x2, int64_t y2, TColor c) {
  if (measuring_ || !error_.empty() || x1 >= x2 || y1 >= y2) return;
  // Areas that touch an edge reach into the bleed.
  if (bleed_ > 0) {
    if (x1 <= 0) x1 = std::min<int64_t>(x1, -bleed_);
    if (y1 <= 0) y1 = std::min<int64_t>(y1, -bleed_);
    if (x2 >= width_) x2 = std::max<int64_t>(x2, static_cast<int64_t>(width_) + bleed_);
    if (y2 >= height_) y2 = std::max<int64_t>(y2, static_cast<int64_t>(height_) + bleed_);
  }
  c &= 0xFFFFFF;
  if (pending_ && c == pc_ && x1 == px1_ && x2 == px2_ && y1 == py2_) {
    py2_ = y2;
    return;
  }
  FlushFill();
  pending_ = true;
  px1_ = x1;
  py1_ = y1;
  px2_ = x2;
  py2_ = y2;
  pc_ = c;
}

void PdfSurface::DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) {
  Fill(x1, y1, x2, y2, c);
}

void PdfSurface::DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  render::PixelRect sides[4];
  render::FrameSides(x1, y1, x2, y2, Pen().width, sides);
  for (const render::PixelRect& r : sides) Fill(r.x1, r.y1, r.x2, r.y2, Pen().color);
}

void PdfSurface::DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (measuring_ || !error_.empty()) return;
  const int64_t w = std::max(1, Pen().width);
  const render::PenKind kind = Pen().kind;
  const TColor c = Pen().color;
  if (kind == render::PenKind::Cosmetic && w == 1) {
    // One pixel wide, without the end point.
    if (y1 == y2) {
      if (x1 != x2)
        Fill(x1 < x2 ? x1 : int64_t(x2) + 1, y1, x1 < x2 ? x2 : int64_t(x1) + 1, int64_t(y1) + 1, c);
      return;
    }
    if (x1 == x2) {
      Fill(x1, y1 < y2 ? y1 : int64_t(y2) + 1, int64_t(x1) + 1, y1 < y2 ? y2 : int64_t(y1) + 1, c);
      return;
    }
    FlushFill();
    Mark(false);
    SetStroke(c, 1, 0, UseOf(1, 0));
    content_ += N(x1 + 0.5) + " " + N(y1 + 0.5) + " m " + N(x2 + 0.5) + " " + N(y2 + 0.5) + " l S\n";
    return;
  }
  int cap = 1;  // ordinary wide pens have round ends
  if (kind != render::PenKind::Cosmetic) {
    const bool square = kind == render::PenKind::GeometricSquare;
    const int64_t lo = w / 2;
    if (x1 == x2 && y1 == y2) {
      if (square) Fill(x1 - lo, y1 - lo, x1 - lo + w, y1 - lo + w, c);
      return;
    }
    // Axis lines as exact areas, as on bitmaps.
    render::PixelRect r;
    if (render::AxisLineArea(x1, y1, x2, y2, static_cast<int32_t>(w), square, r)) {
      Fill(r.x1, r.y1, r.x2, r.y2, c);
      return;
    }
    cap = square ? 2 : 0;
  } else if (x1 == x2 && y1 == y2) {
    return;
  }
  FlushFill();
  Mark(false);
  SetStroke(c, static_cast<double>(w), cap, UseOf(static_cast<double>(w), 0));
  content_ += "1 j " + N(x1 + 0.5) + " " + N(y1 + 0.5) + " m " + N(x2 + 0.5) + " " + N(y2 + 0.5) + " l S\n";
}

void PdfSurface::DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                       int32_t y4) {
  if (measuring_ || !error_.empty() || x2 - x1 < 1 || y2 - y1 < 1) return;
  const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
  const double a = std::max((x2 - x1 - 1) / 2.0, 1e-9), b = std::max((y2 - y1 - 1) / 2.0, 1e-9);
  // Parametric angles, counter-clockwise as seen on the page (y downward).
  auto angle = [&](int32_t px, int32_t py) {
    const double r = std::atan2((cy - py) / b, (px - cx) / a);
    return r < 0 ? r + 2 * kPi : r;
  };
  const double start = angle(x3, y3);
  double sweep = angle(x4, y4) - start;
  if (sweep <= 0) sweep += 2 * kPi;
  // The ellipse through the pixel centres of the box: its centre is
  // (cx, cy) in continuous coordinates.
  auto pt = [&](double t, double& x, double& y) {
    x = cx + a * std::cos(t);
    y = cy - b * std::sin(t);
  };
  const int segs = std::max(1, static_cast<int>(std::ceil(sweep / (kPi / 2))));
  const double step = sweep / segs, k = 4.0 / 3.0 * std::tan(step / 4);
  double x, y;
  pt(start, x, y);
  std::string path = N(x) + " " + N(y) + " m";
  for (int i = 0; i < segs; ++i) {
    const double t0 = start + i * step, t1 = t0 + step;
    double ex, ey;
    pt(t1, ex, ey);
    // Tangents of the parametric ellipse (y downward).
    const double c1x = x - k * a * std::sin(t0), c1y = y - k * b * std::cos(t0);
    const double c2x = ex + k * a * std::sin(t1), c2y = ey + k * b * std::cos(t1);
    path += " " + N(c1x) + " " + N(c1y) + " " + N(c2x) + " " + N(c2y) + " " + N(ex) + " " + N(ey) + " c";
    x = ex;
    y = ey;
  }
  const render::PenKind kind = Pen().kind;
  const int cap = kind == render::PenKind::GeometricSquare ? 2
                  : kind == render::PenKind::GeometricFlat ? 0
                  : Pen().width > 1                        ? 1
                                                           : 0;
  FlushFill();
  Mark(false);
  SetStroke(Pen().color, std::max(1, Pen().width), cap, UseOf(std::max(1, Pen().width), 0));
  content_ += path + " S\n";
}

void PdfSurface::DoTextOut(int32_t x, int32_t y, const std::u16string& s) {
  FontFace* f = CurrentFace();
  if (!f || measuring_) return;
  // Glyphs at the whole pixel size, as the bitmap surfaces draw them, and
  // the run stretched across to the width the layout measured.
  const double px = FontPixelSize();
  const double k = px / FontSet::UnitsPerEm(*f);
  const double wanted = RunWidth(*f, s);
  int32_t ascent = 0, descent = 0;
  LineMetrics(*f, ascent, descent);
  if (TextOpaque())
    Fill(x, y, int64_t(x) + std::lround(wanted), int64_t(y) + ascent + descent, Brush().color);
  // Characters the role font lacks come from their fallback faces; every run
  // is shaped first, so the whole text can be stretched to the measured width.
  struct ShapedRun {
    FontFace* face;
    std::u16string text;
    std::vector<ShapedGlyph> glyphs;
    double natural = 0;
  };
  std::vector<ShapedRun> runs;
  double natural = 0;
  for (const FontSet::Run& run : fontset_.Runs(*f, s)) {
    ShapedRun r{run.face, run.text, {}, 0};
    fontset_.Shape(*r.face, run.text, r.glyphs);
    if (r.glyphs.empty()) continue;
    const double rk = px / FontSet::UnitsPerEm(*r.face);
    for (const ShapedGlyph& g : r.glyphs) r.natural += g.advance * rk;
    natural += r.natural;
    runs.push_back(std::move(r));
  }
  if (runs.empty()) return;
  const double stretch = natural > 0 && wanted > 0 ? wanted / natural : 1.0;
  FlushFill();
  Mark(true);
  bool asked = false;
  for (const AskedFont& a : askedFonts_)
    asked = asked || (a.face == f && a.name == Font().name && a.bold == Font().bold);
  if (!asked) askedFonts_.push_back({Font().name, Font().bold, Font().italic, f});
  for (const ShapedRun& r : runs) NoteMissingCharacters(*r.face, r.text, r.glyphs);
  {
    const int64_t right = int64_t(x) + std::lround(wanted), bottom = int64_t(y) + ascent + descent;
    if ((x < 0 || y < 0 || right > width_ || bottom > height_) && pastPage_.size() < 100)
      pastPage_.push_back(s.substr(0, 60));
  }
  SetFillColour(Font().color, InkUse::Text);
  const double baseline = y + ascent;
  double at = x;
  bool fakebold = false;
  for (const ShapedRun& r : runs) {
    FontFace* face = r.face;
    fonts_.insert(face);
    FontSet::Object(*face, writer_);
    // The fallback face is as bold and slanted as the role font asks.
    const bool bold = FontSet::FakeBold(*f) || FontSet::FakeBold(*face);
    const bool italic = FontSet::FakeItalic(*f) || FontSet::FakeItalic(*face);
    std::string t = "BT " + Name(FontSet::ResourceName(*face)) + " " + N(px) + " Tf ";
    if (bold) {
      SetStroke(Font().color, linewidth_, cap_ < 0 ? 0 : cap_, InkUse::Text);
      t += "2 Tr " + N(px * 0.03) + " w ";
      fakebold = true;
    }
    t += (std::fabs(stretch - 1) < 1e-5 ? std::string("1") : Num(stretch, 5)) + " 0 " +
         (italic ? Num(kFakeSlant, 3) : std::string("0")) + " -1 " + N(at) + " " + N(baseline) + " Tm [<";
    // The shaped advance is the width array's advance (kerning is off); a
    // glyph whose shaped advance differs gets an adjustment.
    const double upem = FontSet::UnitsPerEm(*face);
    for (const ShapedGlyph& g : r.glyphs) {
      t += Hex4(g.gid);
      const double delta = g.advance - fontset_.GlyphAdvance(*face, g.gid);
      if (std::fabs(delta) > 0.01) t += "> " + Num(-delta * 1000.0 / upem, 2) + " <";
    }
    t += ">] TJ";
    if (bold) t += " 0 Tr";
    t += " ET\n";
    content_ += t;
    at += r.natural * stretch;
  }
  if (fakebold) linewidth_ = -1;  // the width was set inside the text object
  // Underline and strikeout as areas, as long as the measured run.
  if (Font().underline || Font().strikeout) {
    double off, th;
    if (Font().underline) {
      FontSet::UnderlineMetrics(*f, off, th);
      SetFillColour(Font().color, InkUse::Text);
      content_ +=
          N(x) + " " + N(baseline - off * k) + " " + N(wanted) + " " + N(std::max(1.0, th * k)) + " re f\n";
    }
    if (Font().strikeout) {
      FontSet::StrikeoutMetrics(*f, off, th);
      SetFillColour(Font().color, InkUse::Text);
      content_ +=
          N(x) + " " + N(baseline - off * k) + " " + N(wanted) + " " + N(std::max(1.0, th * k)) + " re f\n";
    }
  }
  FindWebAddresses(x, y, s, *f);
}

std::string PdfSurface::TextInPoints(const TFontSpec& f, double x, double baseline, double sizePt,
                                     const std::u16string& s) {
  std::string error;
  FontFace* face = fontset_.Face(f, error);
  if (!face || measuring_) return std::string();
  std::string t;
  for (const FontSet::Run& run : fontset_.Runs(*face, s)) {
    std::vector<ShapedGlyph> glyphs;
    fontset_.Shape(*run.face, run.text, glyphs);
    if (glyphs.empty()) continue;
    fonts_.insert(run.face);
    FontSet::Object(*run.face, writer_);
    t += "BT " + Name(FontSet::ResourceName(*run.face)) + " " + N(sizePt) + " Tf 1 0 0 1 " + N(x) + " " +
         N(baseline) + " Tm [<";
    const double k = sizePt / FontSet::UnitsPerEm(*run.face);
    for (const ShapedGlyph& g : glyphs) {
      t += Hex4(g.gid);
      const double delta = g.advance - fontset_.GlyphAdvance(*run.face, g.gid);
      if (std::fabs(delta) > 0.01)
        t += "> " + Num(-delta * 1000.0 / FontSet::UnitsPerEm(*run.face), 2) + " <";
      x += g.advance * k;
    }
    t += ">] TJ ET\n";
  }
  return t;
}

void PdfSurface::BeginTag(render::StructTag tag, const std::u16string& alt) {
  if (!tree_ || measuring_) return;
  FlushFill();
  looseText_ = -1;
  const int32_t inner = open_.empty() ? TagTree::kRoot : open_.back();
  // Nothing inside an artifact is part of the text.
  if (tag == render::StructTag::Artifact || inner == kArtifact)
    open_.push_back(kArtifact);
  else
    open_.push_back(tree_->Open(tag, alt, inner));
}

void PdfSurface::EndTag() {
  if (!tree_ || measuring_ || open_.empty()) return;
  FlushFill();
  looseText_ = -1;
  open_.pop_back();
}

void PdfSurface::Mark(bool text) {
  if (!tree_ || measuring_) return;
  const int32_t inner = open_.empty() ? TagTree::kRoot : open_.back();
  int32_t want = kArtifact;
  if (inner >= 0 && TagTree::HoldsContent(tree_->TagOf(inner))) {
    want = inner;
  } else if (text && inner == TagTree::kRoot) {
    if (looseText_ < 0)
      looseText_ = tree_->Open(render::StructTag::Paragraph, std::u16string(), TagTree::kRoot);
    want = looseText_;
  }
  // Rules, bands and frames inside a table but outside its cells are
  // artifacts, like everything outside the text.
  if (want == mark_) return;
  if (mark_ != kNoMark) content_ += "EMC\n";
  if (want == kArtifact)
    content_ += "/Artifact BMC\n";
  else
    content_ += "/" + std::string(TagTree::TypeName(tree_->TagOf(want))) + " <</MCID " +
                std::to_string(tree_->NewMcid(want)) + ">> BDC\n";
  mark_ = want;
}

void PdfSurface::NoteMissingCharacters(FontFace& f, const std::u16string& s,
                                       const std::vector<ShapedGlyph>& glyphs) {
  bool any = false;
  for (const ShapedGlyph& g : glyphs) any = any || g.gid == 0;
  if (!any) return;
  // Rare: find which characters by shaping each alone.
  std::u16string& list = missingChars_[&f];
  std::vector<ShapedGlyph> one;
  for (size_t i = 0; i < s.size(); ++i) {
    size_t n = 1;
    if (s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size()) n = 2;
    const std::u16string ch = s.substr(i, n);
    i += n - 1;
    if (ch[0] < 0x20) continue;
    fontset_.Shape(f, ch, one);
    bool missing = false;
    for (const ShapedGlyph& g : one) missing = missing || g.gid == 0;
    if (missing && list.find(ch) == std::u16string::npos && list.size() < 64) list += ch;
  }
}

// Web and e-mail addresses become links over the text they are drawn as.
void PdfSurface::FindWebAddresses(int32_t x, int32_t y, const std::u16string& s, FontFace& face) {
  for (const render::WebAddress& a : render::FindWebAddresses(s)) {
    PageLink l;
    l.x1 = x + RunWidth(face, s.substr(0, a.begin));
    l.x2 = x + RunWidth(face, s.substr(0, a.end));
    l.y1 = y;
    l.y2 = y + TextHeight(s);
    l.uri = a.uri;
    links_.push_back(l);
  }
}

void PdfSurface::LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) {
  if (measuring_ || page < 1 || x1 >= x2 || y1 >= y2) return;
  PageLink l;
  l.x1 = x1;
  l.y1 = y1;
  l.x2 = x2;
  l.y2 = y2;
  l.page = page;
  links_.push_back(l);
}

// The picture placed so that its whole area is (fx, fy, fw, fh), clipped to
// the destination rectangle; edge pixels stretched into the bleed where the
// destination touches an edge of the page.
void PdfSurface::DrawImage(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, double fx,
                           double fy, double fw, double fh) {
  const PictureStore::Entry* e = pictures_.Use(pic, fw * ptx_ / 72.0, fh * pty_ / 72.0);
  if (!e) return;
  FlushFill();
  Mark(false);
  SetOverprint(false);  // a picture's white knocks out
  images_[e->resname] = e->obj;
  pictureUses_.push_back({e, e->file, e->width, e->height, fw * ptx_ / 72.0, fh * pty_ / 72.0});
  // Segments per axis: {clip from, clip to, placement origin, placement size}.
  struct Seg {
    double from, to, origin, size;
  };
  const double W = pic.width, H = pic.height;
  std::vector<Seg> xs{{double(dx), double(dx) + dw, fx, fw}}, ys{{double(dy), double(dy) + dh, fy, fh}};
  if (bleed_ > 0) {
    const double b = bleed_;
    // The picture's outermost visible column / row, repeated over the strip.
    const double firstcol = std::floor((dx - fx) / fw * W), lastcol = std::ceil((dx + dw - fx) / fw * W) - 1;
    const double firstrow = std::floor((dy - fy) / fh * H), lastrow = std::ceil((dy + dh - fy) / fh * H) - 1;
    if (dx <= 0 && dx > -b) {
      const double s = dx + b;
      xs.push_back({-b, double(dx), -b - firstcol * s, s * W});
    }
    if (dx + dw >= width_ && dx + dw < width_ + b) {
      const double s = width_ + b - (dx + dw);
      xs.push_back({double(dx) + dw, width_ + b, dx + dw - lastcol * s, s * W});
    }
    if (dy <= 0 && dy > -b) {
      const double s = dy + b;
      ys.push_back({-b, double(dy), -b - firstrow * s, s * H});
    }
    if (dy + dh >= height_ && dy + dh < height_ + b) {
      const double s = height_ + b - (dy + dh);
      ys.push_back({double(dy) + dh, height_ + b, dy + dh - lastrow * s, s * H});
    }
  }
  for (const Seg& sx : xs)
    for (const Seg& sy : ys) {
      std::string op = "q " + N(sx.from) + " " + N(sy.from) + " " + N(sx.to - sx.from) + " " +
                       N(sy.to - sy.from) + " re W n " + Num(sx.size, 4) + " 0 0 " + Num(-sy.size, 4) + " " +
                       Num(sx.origin, 4) + " " + Num(sy.origin + sy.size, 4) + " cm " + Name(e->resname) +
                       " Do Q\n";
      content_ += op;
    }
}

bool PdfSurface::StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
                            int32_t sy, int32_t sw, int32_t sh) {
  if (!pic.loaded() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return false;
  if (measuring_ || !error_.empty()) return true;
  // sy counts from the bottom row.
  const double fw = static_cast<double>(dw) * pic.width / sw, fh = static_cast<double>(dh) * pic.height / sh;
  const double fx = dx - static_cast<double>(sx) * dw / sw;
  const double fy = dy - static_cast<double>(pic.height - sy - sh) * dh / sh;
  DrawImage(dx, dy, dw, dh, pic, fx, fy, fw, fh);
  return true;
}

void PdfSurface::SetDibRow(int32_t x, int32_t y, const dib& row) { SetDibBlock(x, y, row); }

bool PdfSurface::SetDibBlock(int32_t x, int32_t y, const dib& block) {
  if (!block.loaded()) return false;
  return StretchDib(x, y, block.width, block.height, block, 0, 0, block.width, block.height);
}

void PdfSurface::CopyBitmap(int32_t x, int32_t y, const dib& bmp) { SetDibBlock(x, y, bmp); }

}  // namespace pdfvec
