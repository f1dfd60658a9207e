#include "render/furniture.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "core/codepage.h"
#include "render/drawdib.h"
#include "render/text.h"

namespace render {

// ---------------------------------------------------------------------------
// Texts

std::u16string ReplaceNoCase(const std::u16string& text, const std::u16string& what,
                             const std::u16string& with) {
  if (what.empty()) return text;
  auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    bool match = i + what.size() <= text.size();
    for (size_t k = 0; match && k < what.size(); ++k) match = lower(text[i + k]) == lower(what[k]);
    if (match) {
      out += with;
      i += what.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::u16string ReplaceFooterPlaceholders(const std::u16string& text, int32_t pagenr,
                                         const std::u16string& date, const std::u16string& category) {
  std::u16string page;
  if (pagenr >= 1)
    for (char c : std::to_string(pagenr)) page.push_back(static_cast<char16_t>(c));
  std::u16string s = ReplaceNoCase(text, u"%PAGE%", page);
  s = ReplaceNoCase(s, u"%DATE%", date);
  return ReplaceNoCase(s, u"%CATEGORY%", category);
}

std::u16string TodayShortDate() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::string text;
  try {
    std::locale loc("");
    const std::string name = loc.name();
    if (name != "C" && name != "POSIX" && name.rfind("C.", 0) != 0) {
      std::ostringstream os;
      os.imbue(loc);
      os << std::put_time(&tm, "%x");
      text = os.str();
    }
  } catch (...) {
    text.clear();
  }
  if (text.empty()) {
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y", &tm);
    text = buf;
  }
  return ql::FromUtf8(text);
}

// ---------------------------------------------------------------------------
// Background pictures

bool ConvertTo24(const dib& in, dib& out) {
  deldib(out);
  if (!in.loaded() || (in.bitcount != 1 && in.bitcount != 4 && in.bitcount != 8)) return false;
  if (!newdib(out, in.width, in.height, 24)) return false;
  for (int32_t y = 0; y < in.height; ++y) {
    uint8_t* dst = out.toprow(y);
    for (int32_t x = 0; x < in.width; ++x) {
      const uint32_t v = getpixel(in, x, y);
      uint8_t r = 0, g = 0, b = 0;
      if (in.bitcount == 1) {
        r = g = b = v ? 255 : 0;  // the colour table is not consulted
      } else if (v < in.palette.size()) {
        r = in.palette[v].red;
        g = in.palette[v].green;
        b = in.palette[v].blue;
      }
      dst[x * 3] = b;
      dst[x * 3 + 1] = g;
      dst[x * 3 + 2] = r;
    }
  }
  return true;
}

void ProcessBackground(dib& pic, bool grayscale, bool lighten, double hellpercent, double saturation) {
  if (!pic.loaded() || (!grayscale && !lighten)) return;
  if (pic.bitcount != 24) {
    dib c;
    if (!ConvertTo24(pic, c)) return;
    pic = std::move(c);
  }
  uint8_t light[256];
  if (lighten) {
    const int32_t a = TruncClamp(hellpercent);
    const int32_t s = TruncClamp(saturation);
    for (int c = 0; c < 256; ++c) {
      int64_t c1 = static_cast<int64_t>(c - 128) * (static_cast<int64_t>(s) + 100) / 100 + 128;
      if (c1 < 0) c1 = 0;
      if (c1 > 255) c1 = 255;
      const int32_t v = TruncClamp(255 - (255 - static_cast<double>(c1)) * a / 100);
      light[c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
  }
  for (int32_t y = 0; y < pic.height; ++y) {
    uint8_t* p = pic.toprow(y);
    for (int32_t x = 0; x < pic.width; ++x, p += 3) {
      if (grayscale) {
        const uint8_t g = static_cast<uint8_t>((30 * p[2] + 59 * p[1] + 11 * p[0]) / 100);
        p[0] = p[1] = p[2] = g;
      }
      if (lighten) {
        p[0] = light[p[0]];
        p[1] = light[p[1]];
        p[2] = light[p[2]];
      }
    }
  }
}

void RenderSession::PrepareBackground(int which) {
  dib& d = which == 3 ? di4 : di2;
  deldib(d);
  const CatalogSettings& set = doc_->settings;
  const std::u16string& name = which == 3 ? set.FilenameEdit3 : set.FilenameEdit2;
  if (name.empty()) return;
  int32_t fw, fh;
  if (!loader().LoadForBox(name, kFurniturePreview, kFurniturePreview, d, fw, fh)) {
    deldib(d);
    return;
  }
  ProcessBackground(d, set.GrayScaleCheck, set.LightenCheck, set.HellEd, set.SatEd);
}

void RenderSession::PrepareBackgrounds() {
  PrepareBackground(2);
  PrepareBackground(3);
}

void RenderSession::LoadLogo() {
  deldib(di3);
  const std::u16string& name = doc_->settings.FilenameEdit1;
  if (name.empty()) return;
  int32_t fw, fh;
  if (!loader().LoadForBox(name, kFurniturePreview, kFurniturePreview, di3, fw, fh)) deldib(di3);
}

void RenderSession::LoadFurniturePictures() {
  PrepareBackgrounds();
  LoadLogo();
}

namespace {
const std::u16string& FurnitureFile(const CatalogSettings& set, int which) {
  return which == 1 ? set.FilenameEdit1 : which == 3 ? set.FilenameEdit3 : set.FilenameEdit2;
}
}  // namespace

bool RenderSession::FurnitureSize(int which, int32_t& w, int32_t& h) {
  w = h = 0;
  const std::u16string& name = FurnitureFile(doc_->settings, which);
  return !name.empty() && loader().PixelSize(name, w, h) && w > 0 && h > 0;
}

const dib* RenderSession::FurnitureForBox(int which, int32_t w, int32_t h) {
  if (which < 1 || which > 3) return nullptr;
  const CatalogSettings& set = doc_->settings;
  const std::u16string& name = FurnitureFile(set, which);
  if (name.empty()) return nullptr;
  std::u16string processing;
  if (which != 1) {
    const double v[4] = {set.GrayScaleCheck ? 1.0 : 0.0, set.LightenCheck ? 1.0 : 0.0, set.HellEd, set.SatEd};
    processing.assign(reinterpret_cast<const char16_t*>(v), sizeof v / (sizeof(char16_t)));
  }
  DrawnFurniture& d = drawn_[which - 1];
  if (d.file == name && d.w == w && d.h == h && d.processing == processing)
    return d.ok && d.pic.loaded() ? &d.pic : nullptr;
  d.file = name;
  d.w = w;
  d.h = h;
  d.processing = processing;
  int32_t fw, fh;
  d.ok = loader().LoadForBox(name, std::max(1, w), std::max(1, h), d.pic, fw, fh) && d.pic.loaded();
  if (!d.ok) {
    deldib(d.pic);
    return nullptr;
  }
  if (which != 1) {
    ProcessBackground(d.pic, set.GrayScaleCheck, set.LightenCheck, set.HellEd, set.SatEd);
    loader().NoteDerived(d.pic, name);
  }
  return &d.pic;
}

// ---------------------------------------------------------------------------
// StartPage

TColor GradientRow(TColor c1, TColor c2, int32_t j, int32_t height) {
  auto ch = [&](int a, int b) {
    return static_cast<int>(static_cast<int64_t>(a) * (height - j) / height +
                            static_cast<int64_t>(j) * b / height);
  };
  return RGBColor(ch(ColorR(c1), ColorR(c2)), ch(ColorG(c1), ColorG(c2)), ch(ColorB(c1), ColorB(c2)));
}

namespace {

struct FontState {
  TFontSpec font;
  double basesize;
};
FontState SaveFont(RenderPass& pass) { return {pass.canvas.Font(), pass.basesize}; }
void RestoreFont(RenderPass& pass, const FontState& f) {
  pass.canvas.SetFont(f.font);
  pass.canvas.SetFontPpi(f.font.ppi);
  pass.basesize = f.basesize;
  pass.ExactFontSize();
}

void FillRect(DrawingSurface& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor color) {
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenWidth(1);
  c.SetPenColor(color);
  c.SetBrushColor(color);
  c.Rectangle(x1, y1, x2, y2);
}

void DrawBackgroundColour(RenderPass& pass) {
  DrawingSurface& c = pass.canvas;
  const TColor c1 = pass.set.Shape5, c2 = pass.set.Shape6;
  const int32_t w = pass.params.width, h = pass.params.height;
  if (c1 == c2) {
    c.SetPenStyle(PenStyle::Solid);
    c.SetPenColor(c1);
    c.SetPenWidth(1);
    c.SetGeometricPen();
    c.SetBrushColor(c1);
    c.Rectangle(0, 0, w, h);
    return;
  }
  for (int32_t j = 1; j <= h; ++j) FillRect(c, 0, j - 1, w, j, GradientRow(c1, c2, j, h));
}

void DrawBackgroundPicture(RenderPass& pass, const PageState& st) {
  RenderSession& s = pass.session;
  int32_t fw = 0, fh = 0;
  int which = 0;
  if (st.page % 2 == 0 && s.FurnitureSize(3, fw, fh))
    which = 3;
  else if (s.FurnitureSize(2, fw, fh))
    which = 2;
  if (!which) return;
  const CatalogSettings& set = pass.set;
  int64_t tw = pass.LenCm(set.BreitEd2);
  int64_t th = set.SVerh2Check ? tw * fh / fw : pass.LenCm(set.HochEd2);
  // Tiles narrower than a pixel (tiny zoom) still advance by one.
  if (tw < 1) tw = 1;
  if (th < 1) th = 1;
  // Decoded for one tile (a tile larger than the page for the page).
  const dib* pic = s.FurnitureForBox(which, static_cast<int32_t>(std::min<int64_t>(tw, INT32_MAX)),
                                     static_cast<int32_t>(std::min<int64_t>(th, INT32_MAX)));
  if (!pic) return;
  const int32_t w = pass.params.width, h = pass.params.height;
  for (int64_t y = 0; y < h; y += th)
    for (int64_t x = 0; x < w; x += tw)
      DrawDibWhole(pass.canvas, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(tw),
                   static_cast<int32_t>(th), *pic, false, pass.session.feedback);
}

void DrawHeader(RenderPass& pass, PageState& st, bool drawn) {
  const CatalogSettings& set = pass.set;
  DrawingSurface& c = pass.canvas;
  const FontState saved = SaveFont(pass);
  pass.SelectRoleFont(set.FontDialog9);
  const int32_t th = c.TextHeight(u" ");
  if (drawn) {
    if (set.FarbRechtKopfCheck)
      FillRect(c, 0, 0, pass.params.width, th + st.toppx + pass.Len(set.KopfEdmm), set.Shape1);
    int32_t offset = 0;
    int32_t lw = 0, lh = 0;
    const dib* logo = nullptr;
    int32_t w = 0, h = 0;
    if (set.LogoChecked && pass.session.FurnitureSize(1, lw, lh)) {
      w = pass.LenCm(set.BreitEd3);
      h = set.sverhlogo ? static_cast<int32_t>(static_cast<int64_t>(w) * lh / lw) : pass.LenCm(set.HochEd3);
      logo = pass.session.FurnitureForBox(1, w, h);
    }
    if (logo) {
      int32_t lx;
      if (set.ShowLogoRightAlignedCheck) {
        lx = pass.params.width - pass.Len(set.RandKopfEd) - w;
      } else {
        lx = pass.Len(set.RandKopfEd);
        offset = w + pass.Len(set.RandBildEd);
      }
      DrawDibWhole(c, lx, st.toppx, w, h, *logo, false, pass.session.feedback);
    }
    const std::u16string text =
        StripControlChars(ReplaceNoCase(set.KopfEd, u"%CATEGORY%", pass.doc.lastkat.Get(st.page)));
    c.SetTransparentText();
    c.TextOut(pass.Len(set.RandKopfEd) + offset, st.toppx, text);
  }
  if (set.KopfEdmm != 0) {
    st.headerpx = th + pass.Len(set.KopfEdmm);
    st.headermm = set.KopfEdmm + pass.LineHeight();
  } else {
    st.headerpx = 0;
    st.headermm = 0;
  }
  RestoreFont(pass, saved);
}

void DrawFooter(RenderPass& pass, PageState& st, bool drawn) {
  const CatalogSettings& set = pass.set;
  DrawingSurface& c = pass.canvas;
  const FontState saved = SaveFont(pass);
  pass.SelectRoleFont(set.FontDialog8);
  const int32_t th = c.TextHeight(u" ");
  const int32_t e = set.Fuss2Ed.empty() ? 0 : 1;
  const int32_t w = pass.params.width, h = pass.params.height;
  if (drawn) {
    if (set.FarbrechtFussCheck)
      FillRect(c, 0, h - st.bottompx - th - e * th - pass.Len(set.PlatzueberEd), w, h, set.Shape2);
    const bool odd = st.page % 2 != 0;
    const int64_t nr = static_cast<int64_t>(set.FirstPageNr) + st.page - 1;
    const int32_t pagenr = nr < 1 ? 0 : nr > INT32_MAX ? INT32_MAX : static_cast<int32_t>(nr);
    const std::u16string date = pass.session.today ? pass.session.today() : TodayShortDate();
    const std::u16string& kat = pass.doc.lastkat.Get(st.page);
    const int32_t side = pass.Len(set.LinkRandFussEd);
    auto place = [&](const std::u16string& text) {
      const int32_t tw = c.TextWidth(text);
      if (set.ZentrFussCheck) return (w - tw) / 2;
      if (set.FooterLeftCheck) return side;
      const bool left = odd != set.xchangecheck;
      return left ? side : w - tw - side;
    };
    c.SetTransparentText();
    if (e) {
      const std::u16string t = StripControlChars(ReplaceFooterPlaceholders(set.Fuss2Ed, pagenr, date, kat));
      c.TextOut(place(t), h - st.bottompx - th, t);
    }
    const std::u16string& main = (odd != set.xchangecheck) ? set.FussEd : set.FussEd2;
    const std::u16string t = StripControlChars(ReplaceFooterPlaceholders(main, pagenr, date, kat));
    c.TextOut(place(t), h - st.bottompx - th - e * th, t);
  }
  const double lh = pass.LineHeight();
  st.footerpx = e * th + th + pass.Len(set.PlatzueberEd) + pass.FiveMm();
  st.footermm = e * lh + lh + set.PlatzueberEd + 5;
  RestoreFont(pass, saved);
}

void DrawFrame(RenderPass& pass, const PageState& st) {
  DrawingSurface& c = pass.canvas;
  const int32_t w = pass.params.width, h = pass.params.height;
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenColor(pass.set.Shape11);
  c.SetPenWidth(pass.OneMm());
  c.SetGeometricPen();
  const int32_t L = st.leftpx / 2, T = st.toppx / 2, R = w - st.rightpx / 2, B = h - st.bottompx / 2;
  c.MoveTo(st.leftpx, T);
  c.LineTo(w - st.rightpx, T);
  c.MoveTo(R, st.toppx);
  c.LineTo(R, h - st.bottompx);
  c.MoveTo(st.leftpx, B);
  c.LineTo(w - st.rightpx, B);
  c.MoveTo(L, st.toppx);
  c.LineTo(L, h - st.bottompx);
  // Quarter arcs in the margin corners, counter-clockwise between the
  // clock positions of each box.
  auto arc = [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2, int from, int to) {
    const int32_t cx = x1 + (x2 - x1) / 2, cy = y1 + (y2 - y1) / 2;
    auto pt = [&](int clock, int32_t& x, int32_t& y) {
      switch (clock) {
        case 12:
          x = cx, y = y1;
          break;
        case 3:
          x = x2, y = cy;
          break;
        case 6:
          x = cx, y = y2;
          break;
        default:
          x = x1, y = cy;
          break;  // 9
      }
    };
    int32_t ax, ay, bx, by;
    pt(from, ax, ay);
    pt(to, bx, by);
    c.Arc(x1, y1, x2, y2, ax, ay, bx, by);
  };
  arc(0, 0, st.leftpx, st.toppx, 6, 3);
  arc(w - st.rightpx, 0, w, st.toppx, 9, 6);
  arc(0, h - st.bottompx, st.leftpx, h, 3, 12);
  arc(w - st.rightpx, h - st.bottompx, w, h, 12, 9);
}

}  // namespace

void StartPage(RenderPass& pass, PageState& st) {
  const CatalogSettings& set = pass.set;
  if (pass.pagehook) pass.pagehook->BeforePageStart(pass, st);
  // A pass over every page draws this one on a surface of its own.
  pass.BeginPageSurface(st.page);
  const bool drawn = pass.Drawn(st);
  st.itemsonpage = 0;
  // Background, header, footer and frame are no part of the catalog's text.
  if (drawn) pass.canvas.BeginTag(StructTag::Artifact);
  if (drawn && set.BackgroundColorCheck) DrawBackgroundColour(pass);
  if (drawn) DrawBackgroundPicture(pass, st);

  const bool cover = set.CoverCheck && (st.page == 1 || st.page == pass.session.anzpages);
  if (!set.KopfEd.empty() && !cover) {
    DrawHeader(pass, st, drawn);
  } else {
    st.headerpx = 0;
    st.headermm = 0;
  }
  if (!set.FussEd.empty() && !cover) {
    DrawFooter(pass, st, drawn);
  } else {
    st.footerpx = 0;
    st.footermm = 0;
  }
  if (drawn && set.RahmenCheck) DrawFrame(pass, st);
  if (drawn) pass.canvas.EndTag();
  pass.canvas.SetBrushStyle(BrushStyle::Clear);
  if (pass.pagehook) pass.pagehook->AfterPageStart(pass, st);
}

void BreakPage(RenderPass& pass, PageState& st, const std::u16string& katname) {
  pass.doc.lastkat.Set(st.page, katname);
  st.page += 1;
  StartPage(pass, st);
  st.y = st.topmm + st.headermm;
}

}  // namespace render
