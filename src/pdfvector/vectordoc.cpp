#include "pdfvector/vectordoc.h"

#include <lcms2.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <sstream>

#include "core/codepage.h"
#include "i18n/texts.h"
#include "pdf/pdfimages.h"
#include "pdfvector/fonts.h"
#include "pdfvector/imageobjects.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/pdfwriter.h"
#include "pdfvector/tagtree.h"
#include "render/heading.h"

namespace pdfvec {

namespace {

constexpr uint64_t kMaxProfileBytes = 64ULL << 20;

bool ReadProfile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff n = in.tellg();
  if (n <= 128 || static_cast<uint64_t>(n) > kMaxProfileBytes) return false;
  in.seekg(0);
  out.resize(static_cast<size_t>(n));
  return static_cast<bool>(in.read(&out[0], n));
}

std::string Description(cmsHPROFILE p) {
  char buf[256] = {0};
  if (p && cmsGetProfileInfoASCII(p, cmsInfoDescription, "en", "US", buf, sizeof buf) > 0) return buf;
  return std::string();
}

std::string XmlEscape(const std::string& s) {
  std::string o;
  for (char c : s) {
    if (c == '&')
      o += "&amp;";
    else if (c == '<')
      o += "&lt;";
    else if (c == '>')
      o += "&gt;";
    else if (c == '"')
      o += "&quot;";
    else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n')
      o += c;
  }
  return o;
}

std::u16string WithoutPlaceholders(const std::u16string& s) {
  std::u16string o;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'%') {
      const size_t e = s.find(u'%', i + 1);
      if (e != std::u16string::npos && e > i + 1) {
        bool word = true;
        for (size_t k = i + 1; k < e; ++k)
          if (!((s[k] >= u'A' && s[k] <= u'Z') || (s[k] >= u'a' && s[k] <= u'z'))) word = false;
        if (word) {
          i = e;
          continue;
        }
      }
    }
    o += s[i] < 0x20 ? u' ' : s[i];
  }
  // Blanks and separators left at the ends by a removed placeholder.
  const std::u16string trim = u" \t-|:,;/";
  const size_t a = o.find_first_not_of(trim);
  if (a == std::u16string::npos) return std::u16string();
  return o.substr(a, o.find_last_not_of(trim) - a + 1);
}

}  // namespace

struct VectorDocument::PageRecord {
  int32_t contents = 0;
  bool overprint = false;
  bool registration = false;  // the marks' colour space /CSreg
  std::map<std::string, int32_t> fonts, images;
  std::vector<PageLink> links;
};

std::vector<OutlineItem> CatalogOutline(const Document& doc) {
  std::vector<OutlineItem> top;
  OutlineItem* main = nullptr;
  const int64_t first = doc.settings.FirstPageNr;
  auto pageOf = [&](int32_t printed) {
    const int64_t p = static_cast<int64_t>(printed) - first + 1;
    return p >= 1 && p <= INT32_MAX ? static_cast<int32_t>(p) : 0;
  };
  for (const Category& c : doc.kats) {
    if (render::CategoryDeactivated(c)) continue;
    OutlineItem item;
    item.title = c.name;
    for (char16_t& ch : item.title)
      if (ch < 0x20) ch = u' ';
    item.page = c.options ? pageOf(c.options->pagenr) : 0;
    for (const Product& p : c.products) {
      if (p.deactivated) continue;
      item.kids.push_back({p.name, pageOf(p.pagenr), {}});
    }
    if (render::IsMainCategory(c) && !render::IsToc(c)) {
      top.push_back(std::move(item));
      main = &top.back();
    } else if (main && !render::IsToc(c)) {
      main->kids.push_back(std::move(item));
    } else {
      top.push_back(std::move(item));
      main = nullptr;
    }
  }
  return top;
}

std::u16string CatalogTitle(const Document& doc) {
  std::u16string t = WithoutPlaceholders(doc.settings.KopfEd);
  if (!t.empty()) return t;
  std::u16string name = doc.afilename;
  const size_t slash = name.find_last_of(u"/\\");
  if (slash != std::u16string::npos) name = name.substr(slash + 1);
  const size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string::npos && dot > 0) name = name.substr(0, dot);
  return name.empty() ? u"Catalog" : name;
}

VectorDocument::VectorDocument(const VectorOptions& o) : o_(o) {}

VectorDocument::~VectorDocument() { Abort(); }

bool VectorDocument::Begin(int fd, const std::string& name) {
  if (o_.widthPx <= 0 || o_.heightPx <= 0 || !(o_.widthPt > 0) || !(o_.heightPt > 0)) {
    error_ = i18n::SayUtf8(i18n::Text::PdfPageSizeNotPositive);
    ::close(fd);
    return false;
  }
  if (o_.cmyk) {
    conv_ = std::make_unique<pdfimg::CmykConverter>(o_.profilePath);
    if (conv_->uselcms() && !ReadProfile(o_.profilePath, profileBytes_)) {
      conv_ = std::make_unique<pdfimg::CmykConverter>(std::string());
      profileBytes_.clear();
    }
    if (!conv_->uselcms()) {
      if (o_.requireProfile) {
        error_ = conv_->fallbackReason().empty()
                     ? i18n::SayUtf8(i18n::Text::ProfileNotCmyk, {ql::FromUtf8(o_.profilePath)})
                     : conv_->fallbackReason();
        ::close(fd);
        return false;
      }
    } else {
      profile_ = o_.profilePath;
      cmsHPROFILE p =
          cmsOpenProfileFromMem(profileBytes_.data(), static_cast<cmsUInt32Number>(profileBytes_.size()));
      profileDesc_ = Description(p);
      if (p) cmsCloseProfile(p);
    }
  } else {
    cmsHPROFILE p = cmsCreate_sRGBProfile();
    cmsUInt32Number n = 0;
    if (p && cmsSaveProfileToMem(p, nullptr, &n) && n > 0) {
      profileBytes_.resize(n);
      cmsSaveProfileToMem(p, &profileBytes_[0], &n);
    }
    if (p) cmsCloseProfile(p);
    profile_ = "sRGB";
    profileDesc_ = "sRGB IEC61966-2.1";
  }
  ptPerPxX_ = o_.widthPt / o_.widthPx;
  ptPerPxY_ = o_.heightPt / o_.heightPx;
  const double bleedMm = std::max(0.0, std::min(o_.bleedMm, 25.0));
  // The boxes take the bleed exactly; areas that reach into it are drawn
  // whole pixels beyond the edge, at least as far as the media box.
  bleedPt_ = bleedMm * 72 / 25.4;
  slugPt_ = o_.marks ? kSlugMm * 72 / 25.4 : 0;
  const int32_t bleedPx = static_cast<int32_t>(std::ceil(bleedPt_ / std::min(ptPerPxX_, ptPerPxY_) - 1e-9));
  preflight_ = Preflight();
  preflight_.minPpi = o_.preflightPpi;

  w_ = std::make_unique<PdfWriter>(o_.threads);
  w_->Open(fd, name);
  fonts_ = std::make_unique<FontSet>();
  PictureOptions po;
  po.cmyk = o_.cmyk;
  po.conv = conv_.get();
  po.maxppi = o_.maxPictureppi;
  pictures_ = std::make_unique<PictureStore>(*w_, po);
  colours_ = std::make_unique<ColourOps>(o_.cmyk, conv_.get(), o_.ink);
  measuring_ =
      std::make_unique<PdfSurface>(*fonts_, *pictures_, *w_, *colours_, o_.widthPx, o_.heightPx, ptPerPxX_,
                                   ptPerPxY_, bleedPx, true, o_.metrics, bleedPt_ + slugPt_);
  page_ = std::make_unique<PdfSurface>(*fonts_, *pictures_, *w_, *colours_, o_.widthPx, o_.heightPx,
                                       ptPerPxX_, ptPerPxY_, bleedPx, false, o_.metrics, bleedPt_ + slugPt_);
  tags_ = std::make_unique<TagTree>();
  page_->SetTagTree(tags_.get());
  return true;
}

void VectorDocument::NoteOrigin(uint64_t hash, const std::string& file, int32_t fullWidth, int32_t fullHeight,
                                bool filePixels) {
  if (pictures_) pictures_->NoteOrigin(hash, file, fullWidth, fullHeight, filePixels);
}

void VectorDocument::NoteMissingPicture(const std::string& file, bool exists) {
  for (const Preflight::MissingPicture& m : preflight_.missingPictures)
    if (m.file == file) return;
  preflight_.missingPictures.push_back({file, exists});
}

int32_t VectorDocument::pages() const { return static_cast<int32_t>(pages_.size()); }

size_t VectorDocument::pictureCount() const { return pictures_ ? pictures_->count() : 0; }

PdfSurface& VectorDocument::MeasuringSurface() { return *measuring_; }

PdfSurface& VectorDocument::BeginPage() {
  tags_->BeginPage(static_cast<int32_t>(pages_.size()));
  page_->BeginPage();
  return *page_;
}

bool VectorDocument::EndPage() {
  if (!measuring_->error().empty()) error_ = measuring_->error();
  if (!page_->error().empty()) error_ = page_->error();
  if (!error_.empty()) return false;
  PageRecord r;
  r.overprint = page_->overprintUsed();
  const int32_t pageNo = static_cast<int32_t>(pages_.size()) + 1;
  // ---- preflight ----
  for (const PdfSurface::PictureUse& u : page_->pictureUses()) {
    const double ppi =
        std::min(u.inchesW > 0 ? u.width / u.inchesW : 1e9, u.inchesH > 0 ? u.height / u.inchesH : 1e9);
    if (!(ppi < preflight_.minPpi - 0.05)) continue;
    auto it = lowUses_.find(u.entry);
    if (it == lowUses_.end()) {
      lowUses_[u.entry] = {preflight_.lowResolution.size(), pageNo};
      preflight_.lowResolution.push_back({u.file, pageNo, 1, ppi, u.inchesW * 25.4, u.inchesH * 25.4});
    } else if (it->second.lastPage != pageNo) {
      it->second.lastPage = pageNo;
      ++preflight_.lowResolution[it->second.index].pages;
    }
  }
  for (const PdfSurface::AskedFont& a : page_->askedFonts()) {
    if (!IsSubstitute(a.name, FontSet::Family(*a.face))) continue;
    const std::string asked = ql::ToUtf8(a.name) + (a.bold ? " bold" : "") + (a.italic ? " italic" : "");
    bool known = false;
    for (const Preflight::SubstitutedFont& f : preflight_.substitutedFonts) known = known || f.asked == asked;
    if (!known) preflight_.substitutedFonts.push_back({asked, FontSet::Describe(*a.face)});
  }
  for (const auto& m : page_->missingCharacters()) {
    const std::string font = FontSet::Describe(*m.first);
    Preflight::MissingCharacters* entry = nullptr;
    for (Preflight::MissingCharacters& c : preflight_.missingCharacters)
      if (c.font == font) entry = &c;
    if (!entry) {
      preflight_.missingCharacters.push_back({font, std::u16string(), pageNo});
      entry = &preflight_.missingCharacters.back();
    }
    for (char16_t ch : m.second)
      if (entry->characters.find(ch) == std::u16string::npos && entry->characters.size() < 64)
        entry->characters += ch;
  }
  for (const std::u16string& t : page_->textsPastPage())
    if (preflight_.textsPastPage.size() < 200) preflight_.textsPastPage.push_back({t, pageNo});

  // The page is clipped to the bleed box (areas reach whole pixels into the
  // bleed), the marks lie around it.
  const std::string marks = o_.marks ? Marks(pageNo) : std::string();
  r.registration = o_.marks && o_.cmyk;
  r.contents = w_->Reserve();
  for (FontFace* f : page_->fonts()) r.fonts[FontSet::ResourceName(*f)] = FontSet::Object(*f, *w_);
  r.images = page_->images();
  r.links = page_->links();
  auto content = std::make_shared<std::string>(page_->TakeContent());
  if (o_.marks) {
    const double s = slugPt_;
    *content = "q " + Num(s, 4) + " " + Num(s, 4) + " " + Num(o_.widthPt + 2 * bleedPt_, 4) + " " +
               Num(o_.heightPt + 2 * bleedPt_, 4) + " re W n\n" + *content + "Q\n" + marks;
  }
  const size_t holds = content->size();
  w_->Enqueue(
      r.contents,
      [content] {
        const std::string z = Deflate(*content);
        content->clear();
        return "<< /Filter /FlateDecode /Length " + std::to_string(z.size()) + " >>\nstream\n" + z +
               "\nendstream";
      },
      holds);
  pages_.push_back(std::move(r));
  if (w_->failed()) {
    error_ = w_->error();
    return false;
  }
  return true;
}

std::string VectorDocument::Marks(int32_t pageNo) {
  constexpr double kPtPerMm = 72 / 25.4;
  const double b = bleedPt_, s = slugPt_;
  const double tx1 = s + b, ty1 = s + b, tx2 = tx1 + o_.widthPt, ty2 = ty1 + o_.heightPt;
  // Each mark begins a millimetre beyond the bleed (at least 3 mm from the
  // trim) and is 5 mm long, leaving 2 mm of the slug.
  const double from = std::max(b, 2 * kPtPerMm) + kPtPerMm, to = from + 5 * kPtPerMm;
  // Marks are no part of the catalog's text.
  std::string m = "/Artifact BMC\nq ";
  // Registration colour: every separation of the press (/All); black on screen.
  m += o_.cmyk ? "/CSreg CS 1 SCN /CSreg cs 1 scn " : "0 0 0 RG 0 0 0 rg ";
  m += "0.25 w 0 J [] 0 d\n";
  auto line = [&m](double x1, double y1, double x2, double y2) {
    m += Num(x1, 3) + " " + Num(y1, 3) + " m " + Num(x2, 3) + " " + Num(y2, 3) + " l\n";
  };
  // Per corner: the edge lines of the box extended outwards, away from the
  // page, along both axes. (ex, ey) is the corner's outward direction.
  auto corner = [&](double x, double y, double ex, double ey, double a, double z) {
    line(x, y + ey * a, x, y + ey * z);
    line(x + ex * a, y, x + ex * z, y);
  };
  for (int c = 0; c < 4; ++c) {
    const double ex = c % 2 ? 1 : -1, ey = c / 2 ? 1 : -1;
    const double x = ex < 0 ? tx1 : tx2, y = ey < 0 ? ty1 : ty2;
    corner(x, y, ex, ey, from, to);  // crop marks on the trim edges
    // Bleed marks on the bleed edges: shorter, so the two are told apart.
    if (b > 0) corner(x + ex * b, y + ey * b, ex, ey, from - b, from - b + 3 * kPtPerMm);
  }
  m += "S\n";
  // The page line in the bottom slug, right of the crop mark.
  std::u16string info = o_.marksFile.substr(0, 120);
  const int64_t printed = o_.firstPageNr + pageNo - 1;
  info += (info.empty() ? u"" : u"  \u00B7  ") + ql::FromUtf8(std::to_string(printed < 0 ? 0 : printed));
  TFontSpec f;
  f.name = u"Arial";
  m += page_->TextInPoints(f, tx1 + 6 * kPtPerMm, ty1 - to, 6, info);
  return m + "Q\nEMC\n";
}

int32_t VectorDocument::PageObject(int32_t page) { return pageobjs_[static_cast<size_t>(page - 1)]; }

std::string VectorDocument::Box(double x1, double y1, double x2, double y2) const {
  return "[" + Num(x1) + " " + Num(y1) + " " + Num(x2) + " " + Num(y2) + "]";
}

bool VectorDocument::Finish(const std::vector<OutlineItem>& outline) {
  if (!w_) return false;
  if (!error_.empty()) return false;
  if (pages_.empty()) {
    error_ = i18n::SayUtf8(i18n::Text::NoPages);
    return false;
  }
  fonts_->WriteAll(*w_);
  const int32_t tree = w_->Reserve();
  pageobjs_.clear();
  for (size_t i = 0; i < pages_.size(); ++i) pageobjs_.push_back(w_->Reserve());
  const int32_t structure = tags_->Write(*w_, pageobjs_);
  const double W = o_.widthPt, H = o_.heightPt, s = slugPt_, b = bleedPt_ + s;
  const std::string media = Box(0, 0, W + 2 * b, H + 2 * b), bleed = Box(s, s, W + 2 * b - s, H + 2 * b - s),
                    trim = Box(b, b, W + b, H + b);
  const int32_t count = static_cast<int32_t>(pages_.size());
  std::string kids;
  for (int32_t p = 1; p <= count; ++p) {
    const PageRecord& r = pages_[static_cast<size_t>(p - 1)];
    std::string res = "<< ";
    if (!r.fonts.empty()) {
      res += "/Font <<";
      for (const auto& f : r.fonts) res += " " + Name(f.first) + " " + Ref(f.second);
      res += " >> ";
    }
    if (!r.images.empty()) {
      res += "/XObject <<";
      for (const auto& im : r.images) res += " " + Name(im.first) + " " + Ref(im.second);
      res += " >> ";
    }
    if (r.registration)
      res +=
          "/ColorSpace << /CSreg [/Separation /All /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 "
          "0] "
          "/C1 [1 1 1 1] /N 1 >>] >> ";
    if (r.overprint)
      res +=
          "/ExtGState << /GSop << /Type /ExtGState /OP true /op true /OPM 1 >> /GSko << /Type /ExtGState "
          "/OP false /op false /OPM 0 >> >> ";
    res += ">>";
    std::string annots;
    for (const PageLink& l : r.links) {
      // Device pixels (y downward) to points of the media box.
      const double x1 = b + l.x1 * ptPerPxX_, x2 = b + l.x2 * ptPerPxX_;
      const double y1 = b + H - l.y2 * ptPerPxY_, y2 = b + H - l.y1 * ptPerPxY_;
      std::string a = "<< /Type /Annot /Subtype /Link /Rect " + Box(x1, y1, x2, y2) + " /Border [0 0 0]";
      if (l.page > 0) {
        if (l.page > count) continue;
        a += " /Dest [" + Ref(PageObject(l.page)) + " /Fit]";
      } else {
        a += " /A << /S /URI /URI " + Literal(l.uri) + " >>";
      }
      annots += " " + a + " >>";
    }
    w_->WriteObject(
        PageObject(p),
        "<< /Type /Page /Parent " + Ref(tree) + " /MediaBox " + media + " /BleedBox " + bleed + " /TrimBox " +
            trim + " /Resources " + res + " /Contents " + Ref(r.contents) +
            (structure ? " /StructParents " + std::to_string(p - 1) + " /Tabs /S" : std::string()) +
            (annots.empty() ? "" : " /Annots [" + annots + " ]") + " >>");
    kids += " " + Ref(PageObject(p));
  }
  w_->WriteObject(tree, "<< /Type /Pages /Kids [" + kids + " ] /Count " + std::to_string(count) + " >>");

  // ---- outline ----
  int32_t outlines = 0;
  {
    struct Node {
      std::u16string title;
      int32_t page;
      std::vector<Node> kids;
      int32_t obj = 0;
    };
    // Entries without a page of this document take their first child's;
    // entries that lead nowhere are left out.
    std::function<bool(const OutlineItem&, Node&)> build = [&](const OutlineItem& it, Node& n) {
      n.title = it.title;
      n.page = it.page >= 1 && it.page <= count ? it.page : 0;
      for (const OutlineItem& k : it.kids) {
        Node kn;
        if (build(k, kn)) n.kids.push_back(std::move(kn));
      }
      if (!n.page && !n.kids.empty()) n.page = n.kids.front().page;
      return n.page > 0;
    };
    std::vector<Node> roots;
    for (const OutlineItem& it : outline) {
      Node n;
      if (build(it, n)) roots.push_back(std::move(n));
    }
    if (!roots.empty()) {
      outlines = w_->Reserve();
      std::function<void(std::vector<Node>&)> number = [&](std::vector<Node>& v) {
        for (Node& n : v) {
          n.obj = w_->Reserve();
          number(n.kids);
        }
      };
      number(roots);
      std::function<int32_t(std::vector<Node>&, int32_t)> write = [&](std::vector<Node>& v, int32_t parent) {
        int32_t total = 0;
        for (size_t i = 0; i < v.size(); ++i) {
          Node& n = v[i];
          const int32_t below = write(n.kids, n.obj);
          std::string d = "<< /Title " + TextString(n.title) + " /Parent " + Ref(parent) + " /Dest [" +
                          Ref(PageObject(n.page)) + " /Fit]";
          if (i > 0) d += " /Prev " + Ref(v[i - 1].obj);
          if (i + 1 < v.size()) d += " /Next " + Ref(v[i + 1].obj);
          if (!n.kids.empty())
            d += " /First " + Ref(n.kids.front().obj) + " /Last " + Ref(n.kids.back().obj) + " /Count " +
                 std::to_string(-below);  // closed: categories open on a click
          w_->WriteObject(n.obj, d + " >>");
          total += 1;
        }
        return total;
      };
      const int32_t n = write(roots, outlines);
      w_->WriteObject(outlines, "<< /Type /Outlines /First " + Ref(roots.front().obj) + " /Last " +
                                    Ref(roots.back().obj) + " /Count " + std::to_string(n) + " >>");
    }
  }

  // ---- output intent, metadata, info ----
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char pdfdate[32], xmpdate[32];
  std::strftime(pdfdate, sizeof pdfdate, "D:%Y%m%d%H%M%SZ", &tm);
  std::strftime(xmpdate, sizeof xmpdate, "%Y-%m-%dT%H:%M:%SZ", &tm);
  const std::string title = ql::ToUtf8(o_.title);
  uint64_t idh = 1469598103934665603ULL;
  for (char c : title + pdfdate + std::to_string(w_->bytesWritten()))
    idh = (idh ^ static_cast<uint8_t>(c)) * 1099511628211ULL;
  char idhex[40];
  std::snprintf(idhex, sizeof idhex, "%016llx%016llx", static_cast<unsigned long long>(idh),
                static_cast<unsigned long long>(idh * 0x9E3779B97F4A7C15ULL));
  const std::string uuid = std::string(idhex, 8) + "-" + std::string(idhex + 8, 4) + "-" +
                           std::string(idhex + 12, 4) + "-" + std::string(idhex + 16, 4) + "-" +
                           std::string(idhex + 20, 12);

  std::string intents;
  if (!profileBytes_.empty()) {
    const int32_t icc = w_->Reserve(), intent = w_->Reserve();
    const std::string z = Deflate(profileBytes_);
    w_->WriteStream(icc, " /N " + std::string(o_.cmyk ? "4" : "3") + " /Filter /FlateDecode", z);
    const bool fogra = profile_.find(pdfimg::kShippedProfileName) != std::string::npos;
    const std::string ident = !o_.cmyk ? "sRGB IEC61966-2.1" : fogra ? "FOGRA39" : "Custom";
    const std::string desc = profileDesc_.empty() ? ident : profileDesc_;
    // The subtype of a press condition is PDF/X's; the screen colours of an
    // RGB file use the general one, which viewers read for any PDF.
    const std::string subtype = o_.cmyk ? "/GTS_PDFX" : "/GTS_PDFA1";
    w_->WriteObject(intent, "<< /Type /OutputIntent /S " + subtype + " /OutputConditionIdentifier " +
                                Literal(ident) + " /OutputCondition " + Literal(desc) + " /Info " +
                                Literal(desc) + " /RegistryName (http://www.color.org) /DestOutputProfile " +
                                Ref(icc) + " >>");
    intents = " /OutputIntents [" + Ref(intent) + "]";
  }
  // Only a print file with a press profile is PDF/X-4.
  const bool pdfx = o_.cmyk && !profileBytes_.empty();
  const int32_t meta = w_->Reserve();
  std::string xmp =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n<rdf:RDF "
      "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
      "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" "
      "xmlns:xmpMM=\"http://ns.adobe.com/xap/1.0/mm/\" xmlns:pdfxid=\"http://www.npes.org/pdfx/ns/id/\">\n"
      "<dc:format>application/pdf</dc:format>\n"
      "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
      XmlEscape(title) +
      "</rdf:li></rdf:Alt></dc:title>\n"
      "<xmp:CreatorTool>Quillane</xmp:CreatorTool>\n<xmp:CreateDate>" +
      xmpdate + "</xmp:CreateDate>\n<xmp:ModifyDate>" + xmpdate + "</xmp:ModifyDate>\n<xmp:MetadataDate>" +
      xmpdate +
      "</xmp:MetadataDate>\n<pdf:Producer>Quillane</pdf:Producer>\n<pdf:Trapped>False</pdf:Trapped>\n"
      "<xmpMM:DocumentID>uuid:" +
      uuid + "</xmpMM:DocumentID>\n<xmpMM:InstanceID>uuid:" + uuid +
      "</xmpMM:InstanceID>\n<xmpMM:VersionID>1</xmpMM:VersionID>\n<xmpMM:RenditionClass>default</"
      "xmpMM:RenditionClass>\n" +
      (pdfx ? "<pdfxid:GTS_PDFXVersion>PDF/X-4</pdfxid:GTS_PDFXVersion>\n" : "") +
      "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
  w_->WriteStream(meta, " /Type /Metadata /Subtype /XML", xmp);
  const int32_t info = w_->Reserve(), catalog = w_->Reserve();
  w_->WriteObject(info, "<< /Title " + TextString(o_.title) +
                            " /Creator (Quillane) /Producer (Quillane) /CreationDate (" + pdfdate +
                            ") /ModDate (" + pdfdate + ") /Trapped /False" +
                            (pdfx ? " /GTS_PDFXVersion (PDF/X-4)" : "") + " >>");
  // Page labels: the printed numbers. Pages before the one printed as 1
  // show 0 in their footers, and are labelled so.
  std::string labels;
  {
    const int64_t first = o_.firstPageNr;
    if (first >= 1) {
      labels = " /PageLabels << /Nums [0 << /S /D /St " + std::to_string(first) + " >>] >>";
    } else {
      const int64_t one = 1 - first;  // index of the page printed as 1
      labels = " /PageLabels << /Nums [0 << /P (0) >>";
      if (one < count) labels += " " + std::to_string(one) + " << /S /D /St 1 >>";
      labels += "] >>";
    }
  }
  std::string lang;
  for (char c : o_.language)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') lang += c;
  if (!lang.empty()) labels += " /Lang (" + lang + ")";
  w_->WriteObject(
      catalog,
      "<< /Type /Catalog /Pages " + Ref(tree) + " /Metadata " + Ref(meta) + intents + labels +
          (structure ? " /MarkInfo << /Marked true >> /StructTreeRoot " + Ref(structure) : std::string()) +
          (outlines ? " /Outlines " + Ref(outlines) + " /PageMode /UseOutlines" : "") +
          " /ViewerPreferences << /DisplayDocTitle true >> >>");
  const std::string id = "<" + std::string(idhex) + ">";
  if (!w_->Finish("/Root " + Ref(catalog) + " /Info " + Ref(info) + " /ID [" + id + " " + id + "]")) {
    error_ = w_->error();
    return false;
  }
  if (o_.cmyk) preflight_.inkMaxPercent = 100 * std::max(colours_->maxInk(), pictures_->maxInk());
  return true;
}

void VectorDocument::Abort() {
  if (w_) w_->Abort();
}

}  // namespace pdfvec
