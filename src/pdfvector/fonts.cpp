#include "pdfvector/fonts.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>

#include "core/codepage.h"
#include "i18n/texts.h"
#include "pdfvector/pdfwriter.h"
#include "render/fontfamilies.h"

namespace pdfvec {

struct FontFace {
  std::string file;
  int index = 0;
  std::string family, style;  // as installed
  bool fakebold = false, fakeitalic = false;
  hb_blob_t* blob = nullptr;
  hb_face_t* face = nullptr;
  hb_font_t* font = nullptr;
  uint32_t upem = 1000;
  double ascent = 0, descent = 0;
  bool cff = false;
  int32_t obj = 0;
  std::string resname;
  std::map<uint32_t, std::u16string> used;  // glyph -> characters it shows
  std::map<char32_t, double> advances;      // character -> advance (font units)
  FontSet* set = nullptr;                   // finds faces for characters this one lacks

  bool Has(char32_t cp) const {
    hb_codepoint_t g = 0;
    return hb_font_get_nominal_glyph(font, cp, &g) && g != 0;
  }
  // The face that draws `cp`: this one, or a fallback.
  FontFace* For(char32_t cp) {
    if (cp < 0x20 || Has(cp) || !set) return this;
    FontFace* fb = set->Fallback(cp);
    return fb ? fb : this;
  }

  ~FontFace() {
    if (font) hb_font_destroy(font);
    if (face) hb_face_destroy(face);
    if (blob) hb_blob_destroy(blob);
  }
};

namespace {

std::once_flag g_fcinit;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

uint16_t U16(const char* p) {
  return static_cast<uint16_t>((static_cast<uint8_t>(p[0]) << 8) | static_cast<uint8_t>(p[1]));
}
int16_t S16(const char* p) { return static_cast<int16_t>(U16(p)); }

std::string PostScriptName(hb_face_t* face, const std::string& fallback) {
  char buf[128];
  unsigned len = sizeof buf;
  std::string n;
  if (hb_ot_name_get_utf8(face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &len, buf) > 0) n = buf;
  if (n.empty()) n = fallback;
  std::string clean;
  for (char c : n)
    if (c > ' ' && c < 127 && !std::strchr("()<>[]{}/%#", c)) clean += c;
  return clean.empty() ? "Font" : clean;
}

// Six capital letters that name the subset (the same glyphs give the same tag).
std::string SubsetTag(const FontFace& f) {
  uint64_t h = 1469598103934665603ULL;
  for (const auto& g : f.used) h = (h ^ g.first) * 1099511628211ULL;
  for (char c : f.file) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ULL;
  std::string t;
  for (int i = 0; i < 6; ++i) {
    t += static_cast<char>('A' + h % 26);
    h /= 26;
  }
  return t;
}

std::string Hex4(uint32_t v) {
  char b[8];
  std::snprintf(b, sizeof b, "%04X", v & 0xFFFF);
  return b;
}

std::string ToUnicodeCMap(const FontFace& f) {
  std::string s =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<uint32_t, std::u16string>> entries;
  for (const auto& g : f.used)
    if (!g.second.empty()) entries.push_back(g);
  for (size_t i = 0; i < entries.size(); i += 100) {
    const size_t n = std::min<size_t>(100, entries.size() - i);
    s += std::to_string(n) + " beginbfchar\n";
    for (size_t k = i; k < i + n; ++k) {
      s += "<" + Hex4(entries[k].first) + "> <";
      for (char16_t c : entries[k].second) s += Hex4(c);
      s += ">\n";
    }
    s += "endbfchar\n";
  }
  s += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return s;
}

std::string WidthArray(const FontFace& f) {
  std::string s = "[";
  uint32_t prev = 0;
  bool open = false;
  for (const auto& g : f.used) {
    const double w = hb_font_get_glyph_h_advance(f.font, g.first) * 1000.0 / f.upem;
    if (!open || g.first != prev + 1) {
      if (open) s += "]";
      s += " " + std::to_string(g.first) + " [";
      open = true;
    } else {
      s += " ";
    }
    s += Num(w, 2);
    prev = g.first;
  }
  if (open) s += "]";
  return s + " ]";
}

using i18n::SayUtf8;
using i18n::Text;

std::u16string U(const std::string& utf8) { return ql::FromUtf8(utf8); }

std::string NotEmbeddable(const FontFace& f) {
  return SayUtf8(Text::FontNotEmbeddable, {U(f.family + " " + f.style), U(f.file)});
}

// The subset font program: the used glyphs at their own ids, without the
// layout tables a PDF reader does not use.
std::string SubsetProgram(const FontFace& f) {
  hb_subset_input_t* in = hb_subset_input_create_or_fail();
  if (!in) throw std::bad_alloc();
  hb_set_t* glyphs = hb_subset_input_glyph_set(in);
  hb_set_add(glyphs, 0);
  for (const auto& g : f.used) hb_set_add(glyphs, g.first);
  hb_set_clear(hb_subset_input_unicode_set(in));
  hb_subset_input_set_flags(in, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
  hb_set_t* drop = hb_subset_input_set(in, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (const char* t :
       {"GSUB", "GPOS", "GDEF", "kern", "BASE", "JSTF", "MATH", "DSIG", "hdmx", "LTSH", "VDMX", "gasp"})
    hb_set_add(drop, hb_tag_from_string(t, 4));
  hb_face_t* sub = hb_subset_or_fail(f.face, in);
  hb_subset_input_destroy(in);
  if (!sub) throw std::runtime_error(NotEmbeddable(f));
  hb_blob_t* blob = hb_face_reference_blob(sub);
  unsigned len = 0;
  const char* data = hb_blob_get_data(blob, &len);
  std::string out(data ? data : "", data ? len : 0);
  hb_blob_destroy(blob);
  hb_face_destroy(sub);
  if (out.empty()) throw std::runtime_error(NotEmbeddable(f));
  return out;
}

}  // namespace

FontSet::FontSet() {
  std::call_once(g_fcinit, [] { FcInit(); });
}
FontSet::~FontSet() = default;

FontFace* FontSet::Face(const TFontSpec& spec, std::string& error) {
  const auto key = std::make_tuple(spec.name, spec.bold, spec.italic);
  auto known = byspec_.find(key);
  if (known != byspec_.end()) return known->second;

  const std::string family = render::MappedFontFamily(spec.name);
  const int weight = render::MappedFontWeight(spec.name, spec.bold);
  const std::string shown =
      ql::ToUtf8(spec.name) + (family != ql::ToUtf8(spec.name) ? " (" + family + ")" : "");
  if (family.empty()) {
    error = SayUtf8(Text::FontWithoutName);
    return nullptr;
  }
  FcPattern* pat = FcPatternCreate();
  if (!pat) throw std::bad_alloc();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pat, FC_SLANT, spec.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult r = FcResultNoMatch;
  FcPattern* m = FcFontMatch(nullptr, pat, &r);
  FcPatternDestroy(pat);
  if (!m) {
    error = SayUtf8(Text::FontNotInstalled, {U(shown)});
    return nullptr;
  }
  // fontconfig always answers with some face; only one of the asked family
  // will do (a substitute would not match the layout's measurements).
  bool same = false;
  FcChar8* s = nullptr;
  std::string matchedFamily;
  for (int i = 0; FcPatternGetString(m, FC_FAMILY, i, &s) == FcResultMatch; ++i) {
    if (i == 0) matchedFamily = reinterpret_cast<const char*>(s);
    if (Lower(reinterpret_cast<const char*>(s)) == Lower(family)) {
      same = true;
      matchedFamily = reinterpret_cast<const char*>(s);
    }
  }
  std::string file, style;
  int index = 0, mweight = FC_WEIGHT_REGULAR, mslant = FC_SLANT_ROMAN;
  FcBool embolden = FcFalse;
  if (FcPatternGetString(m, FC_FILE, 0, &s) == FcResultMatch) file = reinterpret_cast<const char*>(s);
  if (FcPatternGetString(m, FC_STYLE, 0, &s) == FcResultMatch) style = reinterpret_cast<const char*>(s);
  FcPatternGetInteger(m, FC_INDEX, 0, &index);
  FcPatternGetInteger(m, FC_WEIGHT, 0, &mweight);
  FcPatternGetInteger(m, FC_SLANT, 0, &mslant);
  FcPatternGetBool(m, FC_EMBOLDEN, 0, &embolden);
  FcPatternDestroy(m);
  if (!same || file.empty()) {
    error = matchedFamily.empty() ? SayUtf8(Text::FontNotInstalled, {U(shown)})
                                  : SayUtf8(Text::FontOnlySubstitute, {U(shown), U(matchedFamily)});
    return nullptr;
  }
  const bool fakebold = weight >= 600 && (embolden || mweight < FC_WEIGHT_DEMIBOLD);
  const bool fakeitalic = spec.italic && mslant == FC_SLANT_ROMAN;
  FontFace* f = Load(file, index, matchedFamily, style, fakebold, fakeitalic, shown, error);
  if (!f) return nullptr;
  byspec_[key] = f;
  return f;
}

FontFace* FontSet::Load(const std::string& file, int index, const std::string& family,
                        const std::string& style, bool fakebold, bool fakeitalic, const std::string& shown,
                        std::string& error) {
  const std::string facekey =
      file + "#" + std::to_string(index) + (fakebold ? "b" : "") + (fakeitalic ? "i" : "");
  auto it = faces_.find(facekey);
  if (it != faces_.end()) return it->second.get();
  auto f = std::make_unique<FontFace>();
  f->file = file;
  f->index = index;
  f->family = family;
  f->style = style;
  f->fakebold = fakebold;
  f->fakeitalic = fakeitalic;
  f->set = this;
  f->blob = hb_blob_create_from_file_or_fail(file.c_str());
  if (!f->blob) {
    error = SayUtf8(Text::FontFileUnreadable, {U(file), U(shown)});
    return nullptr;
  }
  f->face = hb_face_create(f->blob, static_cast<unsigned>(index));
  if (!f->face || hb_face_get_glyph_count(f->face) == 0) {
    error = SayUtf8(Text::FontFileUnusable, {U(file), U(shown)});
    return nullptr;
  }
  hb_blob_t* glyf = hb_face_reference_table(f->face, HB_TAG('g', 'l', 'y', 'f'));
  hb_blob_t* cff = hb_face_reference_table(f->face, HB_TAG('C', 'F', 'F', ' '));
  const bool hasglyf = hb_blob_get_length(glyf) > 0, hascff = hb_blob_get_length(cff) > 0;
  hb_blob_destroy(glyf);
  hb_blob_destroy(cff);
  if (!hasglyf && !hascff) {
    error = SayUtf8(Text::FontNotEmbeddable, {U(shown), U(file)});
    return nullptr;
  }
  f->cff = !hasglyf;
  f->upem = hb_face_get_upem(f->face);
  f->font = hb_font_create(f->face);
  hb_font_set_scale(f->font, static_cast<int>(f->upem), static_cast<int>(f->upem));
  hb_position_t v = 0;
  if (hb_ot_metrics_get_position(f->font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, &v)) f->ascent = v;
  if (hb_ot_metrics_get_position(f->font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, &v)) f->descent = -v;
  f->resname = "F" + std::to_string(faces_.size() + 1);
  return faces_.emplace(facekey, std::move(f)).first->second.get();
}

// The first scalable face in fontconfig's order for a pattern asking for the
// character that really holds a glyph for it; the answer is kept per
// character, so a document asks once for each.
FontFace* FontSet::Fallback(char32_t cp) {
  auto known = fallback_.find(cp);
  if (known != fallback_.end()) return known->second;
  FontFace* found = nullptr;
  FcPattern* pat = FcPatternCreate();
  FcCharSet* want = FcCharSetCreate();
  if (!pat || !want) throw std::bad_alloc();
  FcCharSetAddChar(want, cp);
  FcPatternAddCharSet(pat, FC_CHARSET, want);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult r = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(nullptr, pat, FcFalse, nullptr, &r);
  for (int i = 0; sorted && i < sorted->nfont && !found; ++i) {
    FcPattern* m = sorted->fonts[i];
    FcCharSet* cs = nullptr;
    FcChar8* s = nullptr;
    if (FcPatternGetCharSet(m, FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, cp)) continue;
    if (FcPatternGetString(m, FC_FILE, 0, &s) != FcResultMatch) continue;
    const std::string file = reinterpret_cast<const char*>(s);
    std::string family, style;
    int index = 0;
    if (FcPatternGetString(m, FC_FAMILY, 0, &s) == FcResultMatch) family = reinterpret_cast<const char*>(s);
    if (FcPatternGetString(m, FC_STYLE, 0, &s) == FcResultMatch) style = reinterpret_cast<const char*>(s);
    FcPatternGetInteger(m, FC_INDEX, 0, &index);
    std::string ignored;
    FontFace* f = Load(file, index, family, style, false, false, family, ignored);
    if (f && f->Has(cp)) found = f;
  }
  if (sorted) FcFontSetDestroy(sorted);
  FcCharSetDestroy(want);
  FcPatternDestroy(pat);
  fallback_[cp] = found;
  return found;
}

std::vector<FontSet::Run> FontSet::Runs(FontFace& face, const std::u16string& text) {
  std::vector<Run> runs;
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    FontFace* f = face.For(ql::NextCodePoint(text, i));
    if (runs.empty() || runs.back().face != f) runs.push_back({f, {}});
    runs.back().text.append(text, at, i - at);
  }
  return runs;
}

void FontSet::Shape(FontFace& f, const std::u16string& text, std::vector<ShapedGlyph>& out) {
  out.clear();
  if (text.empty()) return;
  hb_buffer_t* buf = hb_buffer_create();
  hb_buffer_add_utf16(buf, reinterpret_cast<const uint16_t*>(text.data()), static_cast<int>(text.size()), 0,
                      static_cast<int>(text.size()));
  hb_buffer_guess_segment_properties(buf);
  // The layout adds up single characters' advances: no kerning, no
  // ligatures, so the run ends where it was measured.
  hb_feature_t features[4];
  const char* names[] = {"kern=0", "liga=0", "clig=0", "calt=0"};
  for (int i = 0; i < 4; ++i) hb_feature_from_string(names[i], -1, &features[i]);
  hb_shape(f.font, buf, features, 4);
  unsigned n = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, nullptr);
  out.reserve(n);
  for (unsigned i = 0; i < n; ++i) {
    const uint32_t cluster = info[i].cluster;
    uint32_t end = static_cast<uint32_t>(text.size());
    for (unsigned k = i + 1; k < n; ++k)
      if (info[k].cluster != cluster) {
        end = std::max(info[k].cluster, cluster);
        break;
      }
    const bool first = i == 0 || info[i - 1].cluster != cluster;
    std::u16string chars = first && end > cluster ? text.substr(cluster, end - cluster) : std::u16string();
    auto u = f.used.find(info[i].codepoint);
    if (u == f.used.end())
      f.used.emplace(info[i].codepoint, chars);
    else if (u->second.empty())
      u->second = chars;
    out.push_back({info[i].codepoint, static_cast<double>(pos[i].x_advance)});
  }
  hb_buffer_destroy(buf);
}

double FontSet::Advance(FontFace& f, const std::u16string& text) {
  double w = 0;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = ql::NextCodePoint(text, i);
    auto it = f.advances.find(cp);
    if (it == f.advances.end()) {
      if (f.advances.size() > 4096) f.advances.clear();
      FontFace* by = f.For(cp);
      hb_codepoint_t g = 0;
      hb_font_get_nominal_glyph(by->font, cp, &g);
      const double a = static_cast<double>(hb_font_get_glyph_h_advance(by->font, g)) * f.upem / by->upem;
      it = f.advances.emplace(cp, a).first;
    }
    w += it->second;
  }
  return w;
}

double FontSet::GlyphAdvance(const FontFace& f, uint32_t gid) {
  return static_cast<double>(hb_font_get_glyph_h_advance(f.font, gid));
}

uint32_t FontSet::UnitsPerEm(const FontFace& f) { return f.upem; }
double FontSet::Ascent(const FontFace& f) { return f.ascent; }
double FontSet::Descent(const FontFace& f) { return f.descent; }
bool FontSet::FakeBold(const FontFace& f) { return f.fakebold; }
bool FontSet::FakeItalic(const FontFace& f) { return f.fakeitalic; }
const std::string& FontSet::ResourceName(const FontFace& f) { return f.resname; }
std::string FontSet::Describe(const FontFace& f) { return f.family + " " + f.style; }

const std::string& FontSet::Family(const FontFace& f) { return f.family; }

void FontSet::UnderlineMetrics(const FontFace& f, double& offset, double& thickness) {
  hb_position_t o = 0, t = 0;
  if (!hb_ot_metrics_get_position(f.font, HB_OT_METRICS_TAG_UNDERLINE_OFFSET, &o))
    o = -static_cast<int>(f.upem / 10);
  if (!hb_ot_metrics_get_position(f.font, HB_OT_METRICS_TAG_UNDERLINE_SIZE, &t) || t <= 0) t = f.upem / 20;
  offset = o;
  thickness = t;
}

void FontSet::StrikeoutMetrics(const FontFace& f, double& offset, double& thickness) {
  hb_position_t o = 0, t = 0;
  if (!hb_ot_metrics_get_position(f.font, HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, &o) || o <= 0)
    o = f.upem * 3 / 10;
  if (!hb_ot_metrics_get_position(f.font, HB_OT_METRICS_TAG_STRIKEOUT_SIZE, &t) || t <= 0) t = f.upem / 20;
  offset = o;
  thickness = t;
}

int32_t FontSet::Object(FontFace& f, PdfWriter& w) {
  if (!f.obj) f.obj = w.Reserve();
  return f.obj;
}

void FontSet::WriteAll(PdfWriter& w) {
  for (auto& entry : faces_) {
    FontFace& f = *entry.second;
    if (!f.obj) continue;
    const std::string base = SubsetTag(f) + "+" + PostScriptName(f.face, f.family);
    const int32_t cid = w.Reserve(), desc = w.Reserve(), file = w.Reserve(), tounicode = w.Reserve();
    w.WriteObject(f.obj, "<< /Type /Font /Subtype /Type0 /BaseFont " + Name(base) +
                             " /Encoding /Identity-H /DescendantFonts [" + Ref(cid) + "] /ToUnicode " +
                             Ref(tounicode) + " >>");
    w.WriteObject(cid, std::string("<< /Type /Font /Subtype ") + (f.cff ? "/CIDFontType0" : "/CIDFontType2") +
                           " /BaseFont " + Name(base) +
                           " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                           " /FontDescriptor " +
                           Ref(desc) + " /DW 0 /W " + WidthArray(f) +
                           (f.cff ? "" : " /CIDToGIDMap /Identity") + " >>");
    // Descriptor values from the head, post and OS/2 tables, in 1000 units.
    const double k = 1000.0 / f.upem;
    double bbox[4] = {0, -f.descent * k, 1000, f.ascent * k};
    hb_blob_t* head = hb_face_reference_table(f.face, HB_TAG('h', 'e', 'a', 'd'));
    unsigned len = 0;
    const char* hd = hb_blob_get_data(head, &len);
    if (hd && len >= 44)
      for (int i = 0; i < 4; ++i) bbox[i] = S16(hd + 36 + 2 * i) * k;
    hb_blob_destroy(head);
    double italic = 0;
    hb_blob_t* post = hb_face_reference_table(f.face, HB_TAG('p', 'o', 's', 't'));
    const char* pd = hb_blob_get_data(post, &len);
    if (pd && len >= 8) italic = S16(pd + 4) + U16(pd + 6) / 65536.0;
    hb_blob_destroy(post);
    hb_position_t cap = 0;
    if (!hb_ot_metrics_get_position(f.font, HB_OT_METRICS_TAG_CAP_HEIGHT, &cap) || cap <= 0)
      cap = static_cast<hb_position_t>(f.ascent * 0.8);
    const int flags = 4 | (italic != 0 ? 64 : 0);
    w.WriteObject(desc, "<< /Type /FontDescriptor /FontName " + Name(base) + " /Flags " +
                            std::to_string(flags) + " /FontBBox [" + Num(bbox[0], 0) + " " + Num(bbox[1], 0) +
                            " " + Num(bbox[2], 0) + " " + Num(bbox[3], 0) + "] /ItalicAngle " +
                            Num(italic, 2) + " /Ascent " + Num(f.ascent * k, 0) + " /Descent " +
                            Num(-f.descent * k, 0) + " /CapHeight " + Num(cap * k, 0) + " /StemV 80 " +
                            (f.cff ? "/FontFile3 " : "/FontFile2 ") + Ref(file) + " >>");
    const FontFace* fp = &f;
    w.Enqueue(file, [fp] {
      const std::string program = SubsetProgram(*fp);
      const std::string z = Deflate(program);
      return "<< /Filter /FlateDecode" + std::string(fp->cff ? " /Subtype /OpenType" : "") + " /Length1 " +
             std::to_string(program.size()) + " /Length " + std::to_string(z.size()) + " >>\nstream\n" + z +
             "\nendstream";
    });
    const std::string cmap = Deflate(ToUnicodeCMap(f));
    w.WriteStream(tounicode, " /Filter /FlateDecode", cmap);
  }
}

}  // namespace pdfvec
