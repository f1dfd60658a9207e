#include "output/htmlcatalog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

#include "core/codepage.h"
#include "core/safefile.h"
#include "core/temppaths.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "output/bitmapsink.h"
#include "output/pagejobs.h"
#include "pdfvector/vectordoc.h"
#include "project/document.h"
#include "render/render.h"
#include "render/units.h"

namespace output {

const char* const kHtmlTemplateName = "flippages.htm";
const char* const kHtmlCatalogName = "catalog.htm";
const char* const kHtmlPdfName = "catalog.pdf";
const std::vector<const char*> kHtmlNavPictures = {"vcr-end.gif",
                                                   "vcr-next.gif",
                                                   "vcr-previous.gif",
                                                   "vcr-start.gif",
                                                   "magnifying-glass-plus.gif",
                                                   "magnifying-glass-minus.gif"};

namespace {

// Larger templates or pictures are not what the program ships; refusing
// them keeps a wrong file from being read whole into memory.
constexpr std::streamoff kMaxDataFile = 64LL * 1024 * 1024;

bool ReadWhole(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxDataFile) return false;
  in.seekg(0);
  out.resize(static_cast<size_t>(size));
  in.read(out.data(), size);
  return static_cast<bool>(in) || size == 0;
}

// The navigation pictures are written here: under a temporary name, renamed
// over the target when complete.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error) {
  std::string reason;
  if (ql::WriteFileSafely(path, bytes, reason)) return true;
  error = "cannot write " + path + ": " + reason;
  return false;
}

// The page images are written into a folder of their own inside the output
// folder (registered for removal on interrupt) and moved to their names only
// when the whole export has succeeded; otherwise the folder goes with them.
class StagedImages {
 public:
  ~StagedImages() { Discard(); }

  bool Make(const std::string& folder, std::string& error) {
    std::string templ = folder + ".catalogpages-XXXXXX";
    if (!::mkdtemp(templ.data())) {
      error = "cannot write into the folder " + folder + ": " + std::strerror(errno);
      return false;
    }
    stage_ = templ + "/";
    guard_.Reset(templ, true);
    return true;
  }
  const std::string& Folder() const { return stage_; }

  // Moves every staged file into `folder`. Refuses, moving nothing, when a
  // target is a folder or a read-only file (the refusals of every writer).
  bool Publish(const std::string& folder, std::string& error) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(stage_, ec))
      names.push_back(e.path().filename());
    if (ec) {
      error = "cannot read " + stage_ + ": " + ec.message();
      return false;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
      const std::string target = folder + n;
      struct stat st {};
      if (::lstat(target.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        error = "cannot write " + target + ": " + std::strerror(EISDIR);
        return false;
      }
      if (S_ISREG(st.st_mode) && ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        error = "cannot write " + target + ": the file is read-only";
        return false;
      }
    }
    // A link in the folder is replaced, not written through: the images are
    // the export's own files.
    for (const std::string& n : names)
      if (::rename((stage_ + n).c_str(), (folder + n).c_str()) != 0) {
        error = "cannot write " + folder + n + ": " + std::strerror(errno);
        return false;
      }
    return true;
  }

  void Discard() {
    if (stage_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(stage_, ec);
    stage_.clear();
    guard_.Reset();
  }

 private:
  std::string stage_;
  ql::TemporaryPath guard_;
};

bool IsUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t more = c < 0x80                   ? 0
                        : (c >= 0xC2 && c <= 0xDF) ? 1
                        : (c & 0xF0) == 0xE0       ? 2
                        : (c >= 0xF0 && c <= 0xF4) ? 3
                                                   : 9;
    if (more == 9 || i + more >= s.size() + (more == 0 ? 1 : 0)) return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

void ReplaceAll(std::string& s, const std::string& what, const std::string& by) {
  for (size_t at = 0; (at = s.find(what, at)) != std::string::npos; at += by.size())
    s.replace(at, what.size(), by);
}

// shade[f - 50][c] = Round(f * c / 100 + (100 - f) * 128 / 100) for f = 50 ... 100.
const std::array<std::array<uint8_t, 256>, 51>& ShadeTable() {
  static const auto table = [] {
    std::array<std::array<uint8_t, 256>, 51> t{};
    for (int f = 50; f <= 100; ++f)
      for (int c = 0; c < 256; ++c)
        t[f - 50][c] = static_cast<uint8_t>(render::RoundEven(f * c / 100.0 + (100 - f) * 128 / 100.0));
    return t;
  }();
  return table;
}

inline void ShadePixel(uint8_t* px, int32_t f) {
  if (f >= 100) return;  // f = 100 keeps the colour
  const auto& t = ShadeTable()[f - 50];
  px[0] = t[px[0]];
  px[1] = t[px[1]];
  px[2] = t[px[2]];
}

dib WhitePage(int32_t w, int32_t h) {
  dib d;
  if (newdib(d, w, h, 24)) std::memset(d.pixels.data(), 255, d.pixels.size());
  return d;
}

// The catalog's name in the browser: the header text or the project's name.
std::u16string HtmlTitle(const Document& doc) {
  const std::u16string t = pdfvec::CatalogTitle(doc);
  return doc.afilename.empty() && t == u"Catalog" ? i18n::Tr(u"Katalog") : t;
}

// The text of every page beside its pictures, the search index and the
// page list for readers without scripts (into info.noscript).
bool WriteTextLayer(const std::string& folder, const Document& doc, const render::RenderParams& p,
                    HtmlTemplateInfo& info, const std::vector<PageText>& texts, std::string& error) {
  const std::vector<std::u16string> alts = PageAltTexts(doc, info.pageCount);
  for (int32_t page = 1; page <= info.pageCount; ++page) {
    const size_t i = static_cast<size_t>(page - 1);
    const std::string script = PageTextScript(page, p.width, p.height, alts[i], texts[i]);
    if (!WriteFileSafely(folder + HtmlPageTextName(page), script, error)) return false;
  }
  if (!WriteFileSafely(folder + kHtmlSearchIndexName, SearchIndexScript(texts), error)) return false;
  const std::u16string list = NoScriptPages(texts, alts, p.width, p.height, info.title, info.lang);
  if (!WriteFileSafely(folder + kHtmlPageListName, ql::ToUtf8(list), error)) return false;
  info.noscript =
      u"<a href=\"" + ql::FromUtf8(kHtmlPageListName) + u"\">" + HtmlEscapeText(info.title) + u"</a>";
  info.noscriptHead = u"<noscript><meta http-equiv=\"refresh\" content=\"0; url=" +
                      ql::FromUtf8(kHtmlPageListName) + u"\"></noscript>";
  return true;
}

}  // namespace

std::string HtmlPageImageName(int32_t p) { return "catalogpage" + std::to_string(p) + ".jpg"; }
std::string HtmlCurlImageName(int32_t p) { return "catalogpageflip" + std::to_string(p) + ".jpg"; }
std::string HtmlHdImageName(int32_t p) { return "catalogpagehd" + std::to_string(p) + ".jpg"; }

bool HalveDib(const dib& big, int32_t width, int32_t height, dib& out) {
  if (big.bitcount != 24 || width < 1 || height < 1 || big.width < 2 * width || big.height < 2 * height ||
      !newdib(out, width, height, 24))
    return false;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* a = big.toprow(2 * y);
    const uint8_t* b = big.toprow(2 * y + 1);
    uint8_t* o = out.toprow(y);
    for (int32_t x = 0; x < 3 * width; x += 3)
      for (int32_t c = 0; c < 3; ++c)
        o[x + c] =
            static_cast<uint8_t>((a[2 * x + c] + a[2 * x + 3 + c] + b[2 * x + c] + b[2 * x + 3 + c] + 2) / 4);
  }
  return true;
}

std::string FillHtmlTemplate(const std::string& templ, int32_t evenPageCount) {
  const bool utf8 = IsUtf8(templ);
  auto text = [&](int msg) {
    const std::u16string t = HtmlEscapeText(i18n::Msg(msg));
    return utf8 ? ql::ToUtf8(t) : ql::ToCp1252(t);
  };
  std::string s = templ;
  ReplaceAll(s, "%%ANZPAGES%%", std::to_string((evenPageCount + 1) / 2 + 1));
  ReplaceAll(s, "%%BACKTEXT%%", text(39));
  ReplaceAll(s, "%%FORWARDTEXT%%", text(40));
  ReplaceAll(s, "%%FIRSTPAGE%%", text(41));
  ReplaceAll(s, "%%LASTPAGE%%", text(42));
  // As text lines: every line, the last one too, ends with CR LF.
  std::string out;
  out.reserve(s.size() + s.size() / 16 + 2);
  size_t start = 0;
  while (start < s.size()) {
    size_t end = s.find('\n', start);
    if (end == std::string::npos) end = s.size();
    size_t stop = end;
    if (stop > start && s[stop - 1] == '\r') --stop;
    out.append(s, start, stop - start);
    out += "\r\n";
    start = end + 1;
  }
  return out;
}

std::string FillHtmlTemplate(const std::string& templ, int32_t evenPageCount, const HtmlTemplateInfo& info) {
  const std::string filled = FillHtmlTemplate(templ, evenPageCount);
  const bool utf8 = IsUtf8(templ);
  auto text = [&](const std::u16string& t) {
    std::u16string e = HtmlEscapeText(t);
    for (size_t at = 0; (at = e.find(u'%', at)) != std::u16string::npos; at += 5) e.replace(at, 1, u"&#37;");
    return utf8 ? ql::ToUtf8(e) : ql::ToCp1252(e);
  };
  std::string out;
  out.reserve(filled.size() + info.noscript.size() * 2);
  size_t at = 0;
  while (at < filled.size()) {
    const size_t open = filled.find("%%", at);
    const size_t close = open == std::string::npos ? open : filled.find("%%", open + 2);
    if (close == std::string::npos) break;
    const std::string name = filled.substr(open + 2, close - open - 2);
    std::string by;
    bool known = true;
    if (name == "PAGECOUNT")
      by = std::to_string(info.pageCount);
    else if (name == "LANG")
      by = info.lang;
    else if (name == "TITLE")
      by = text(info.title);
    else if (name == "NOSCRIPT")
      by = utf8 ? ql::ToUtf8(info.noscript) : ql::ToCp1252(info.noscript);
    else if (name == "NOSCRIPTHEAD")
      by = utf8 ? ql::ToUtf8(info.noscriptHead) : ql::ToCp1252(info.noscriptHead);
    else if (name == "PDFFILE")
      by = text(ql::FromUtf8(info.pdfFile));
    else if (name == "TEXTLAYER")
      by = info.textLayer ? "1" : "";
    else if (name == "HDPICTURES")
      by = info.hdPictures ? "1" : "";
    else if (name.compare(0, 3, "TR:") == 0 && name.find('\n') == std::string::npos)
      by = text(i18n::Tr(ql::FromUtf8(name.substr(3))));
    else
      known = false;
    if (!known) {  // not ours: the second "%%" may open the next one
      out.append(filled, at, close - at);
      at = close;
      continue;
    }
    out.append(filled, at, open - at);
    out += by;
    at = close + 2;
  }
  out.append(filled, at, std::string::npos);
  return out;
}

void ApplyBindingShade(dib& page, bool oddPage) {
  const int32_t w = page.width, h = page.height;
  if (page.bitcount != 24 || w <= 0 || h <= 0 || !page.loaded()) return;
  // The distance from the spine (or 5 x the distance from the outer edge)
  // of every column; the same for every row.
  std::vector<int32_t> dx(static_cast<size_t>(w));
  std::vector<int32_t> shaded;  // columns that change in a row away from the top and bottom
  for (int32_t x = 0; x < w; ++x) {
    int32_t d;
    if (oddPage) {
      d = x;
      if (x > w - 10) d = 5 * (w - 1 - x);
    } else {
      d = w - 1 - x;
      if (d > w - 10) d = 5 * x;
    }
    dx[static_cast<size_t>(x)] = d;
    if (d < 50) shaded.push_back(x);
  }
  for (int32_t y = 0; y < h; ++y) {
    int32_t cap = INT32_MAX;
    if (y < 10) cap = 5 * y;
    if (y > h - 11 && cap > 5 * (h - 1 - y)) cap = 5 * (h - 1 - y);
    uint8_t* row = page.toprow(y);
    if (cap >= 50) {
      for (int32_t x : shaded) ShadePixel(row + 3 * x, std::min(dx[static_cast<size_t>(x)] + 50, 100));
    } else {
      for (int32_t x = 0; x < w; ++x)
        ShadePixel(row + 3 * x, std::min(std::min(dx[static_cast<size_t>(x)], cap) + 50, 100));
    }
  }
}

void ApplyCornerCurl(dib& page, bool oddPage) {
  const int32_t w = page.width, h = page.height;
  if (page.bitcount != 24 || w <= 0 || h <= 0 || !page.loaded()) return;
  static const auto grey = [] {
    std::array<uint8_t, 101> g{};
    for (int a = 0; a <= 100; ++a)
      g[a] = static_cast<uint8_t>(render::RoundEven(a * 255 / 100.0 + (100 - a) * 128 / 100.0));
    return g;
  }();
  const double s45 = std::sin(M_PI / 4), c45 = std::cos(M_PI / 4);
  const int32_t x0 = oddPage ? std::max(0, w - 80) : 0;
  const int32_t x1 = oddPage ? w - 1 : std::min(80, w - 1);
  for (int32_t y = std::max(0, h - 80); y < h; ++y) {
    uint8_t* row = page.toprow(y);
    const double dy = std::abs(h - y) * c45;
    for (int32_t x = x0; x <= x1; ++x) {
      int32_t a = render::RoundEven(std::abs(oddPage ? w - x : x) * s45 + dy);
      if (a < 60) a = 100;
      a = std::min(a, 100);
      std::memset(row + 3 * x, grey[static_cast<size_t>(a)], 3);
    }
  }
}

HtmlCatalogResult ExportHtmlCatalog(render::RenderSession& session, const std::string& folderName,
                                    const HtmlCatalogOptions& options,
                                    const HtmlCatalogProgressFn& progress) {
  HtmlCatalogResult res;
  if (folderName.empty()) {
    res.error = ql::ToUtf8(i18n::Msg(38));
    return res;
  }
  if (options.writeImages && !(options.dpi >= 10 && options.dpi <= 1440)) {
    res.error = "the resolution must lie between 10 and 1440 DPI";
    return res;
  }
  if (options.writeImages && !(options.compress >= 0 && options.compress <= 100)) {
    res.error = "the compression must lie between 0 and 100";
    return res;
  }
  std::string progpath = options.progpath;
  if (!progpath.empty() && progpath.back() != '/') progpath += '/';
  const std::string templPath = progpath + kHtmlTemplateName;
  std::string templ;
  if (!ReadWhole(templPath, templ)) {
    res.error = "cannot read the template " + templPath;
    return res;
  }

  const render::RenderParams p = OutputPageParams(options.printer, render::TruncClamp(options.dpi));
  res.error = CheckPageSize(p);
  if (!res.error.empty()) return res;
  res.width = p.width;
  res.height = p.height;

  // Stored names may separate folders with "\" as well.
  std::string folder = folderName;
  std::replace(folder.begin(), folder.end(), '\\', '/');
  if (folder.back() != '/') folder += '/';
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder)) {
    res.error = "cannot create the folder " + folder + (ec ? ": " + ec.message() : std::string());
    return res;
  }

  // The catalog file is opened before the first picture: a read-only
  // catalog.htm or a folder that cannot be written is refused before any
  // work is done.
  const std::string catalog = folder + kHtmlCatalogName;
  ql::SafeFile catalogFile;
  if (!catalogFile.Open(catalog)) {
    res.error = "cannot write " + catalog + ": " + catalogFile.Error();
    return res;
  }

  // The page and the pictures need the page count of this very run; with
  // page images they are written after the pages, without them after a
  // layout pass that draws nothing (the count the window last showed may
  // be stale).
  std::vector<PageText> texts;
  HtmlTemplateInfo info;
  // With the sharper pictures the pages are drawn at twice the resolution
  // once; each page's picture is that drawing halved.
  const render::RenderParams p2 =
      options.hdPictures ? OutputPageParams(options.printer, 2 * render::TruncClamp(options.dpi)) : p;
  const bool hd =
      options.hdPictures && CheckPageSize(p2).empty() && p2.width >= 2 * p.width && p2.height >= 2 * p.height;
  const render::RenderParams& drawn = hd ? p2 : p;
  info.hdPictures = hd && options.writeImages;
  // A column no language uses holds no texts: the buttons are German then.
  const i18n::InterfaceLanguage* language = i18n::FindInterfaceLanguage(i18n::Language());
  info.lang = language ? language->code : "de";
  info.title = HtmlTitle(session.doc());
  info.pdfFile = options.pdfFile;
  auto writePageAndPictures = [&](int32_t evenCount) {
    if (info.textLayer && !WriteTextLayer(folder, session.doc(), drawn, info, texts, res.error)) return false;
    if (!catalogFile.Write(FillHtmlTemplate(templ, evenCount, info)) || !catalogFile.Commit()) {
      res.error = "cannot write " + catalog + ": " + catalogFile.Error();
      return false;
    }
    res.catalogFile = catalog;
    for (const char* name : kHtmlNavPictures) {
      const std::string src = progpath + name, dst = folder + name;
      std::string bytes;
      struct stat st {};
      if (!ReadWhole(src, bytes) || ::stat(src.c_str(), &st) != 0) continue;  // missing: skipped
      std::string ignored;
      if (!WriteFileSafely(dst, bytes, ignored)) continue;
      // The copy keeps the source's times (access and modification; Linux
      // keeps no settable creation time).
      const struct timespec times[2] = {st.st_atim, st.st_mtim};
      ::utimensat(AT_FDCWD, dst.c_str(), times, 0);
      ++res.picturesCopied;
    }
    return true;
  };

  if (!options.writeImages) {
    platform::ImageSurface measure(1, 1);
    render::RenderParams q = p;
    q.canvas0 = &measure;
    q.seiteedvalue = 0;
    render::RenderLayout(session, q,
                         options.layout >= 0 ? options.layout : session.doc().settings.LayoutCombo);
    res.anzpages = session.anzpages + session.anzpages % 2;
    info.pageCount = session.anzpages;
    res.ok = writePageAndPictures(res.anzpages);
    return res;
  }

  StagedImages staged;  // outlives the jobs that write into it
  if (!staged.Make(folder, res.error)) return res;
  const std::string& stage = staged.Folder();
  SetJPEGQual(render::TruncClamp(100 - options.compress));
  PageJobs jobs(options.encoderThreads);
  auto savePage = [&](int32_t page, dib&& bitmap) {
    const std::string pageFile = stage + HtmlPageImageName(page), curlFile = stage + HtmlCurlImageName(page),
                      hdFile = stage + HtmlHdImageName(page);
    const int32_t w = p.width, h = p.height;
    jobs.Submit(page, std::move(bitmap), [page, pageFile, curlFile, hdFile, hd, w, h](dib& big) {
      std::string error;
      dib halved;
      if (hd && !HalveDib(big, w, h, halved)) return "not enough memory for the picture " + pageFile;
      dib& d = hd ? halved : big;
      if (hd) {
        ApplyBindingShade(big, page % 2 == 1);
        if (!SaveDib(big, hdFile, kDibJpeg, &error)) return error;
      }
      ApplyBindingShade(d, page % 2 == 1);
      if (!SaveDib(d, pageFile, kDibJpeg, &error)) return error;
      ApplyCornerCurl(d, page % 2 == 1);
      if (!SaveDib(d, curlFile, kDibJpeg, &error)) return error;
      return std::string();
    });
  };
  auto saveBlank = [&](int32_t page, bool withCurl) {
    const std::string pageFile = stage + HtmlPageImageName(page), curlFile = stage + HtmlCurlImageName(page);
    jobs.Submit(-page - 1, WhitePage(p.width, p.height), [pageFile, curlFile, withCurl](dib& d) {
      std::string error;
      if (!d.loaded()) return "not enough memory for the blank page " + pageFile;
      if (!SaveDib(d, pageFile, kDibJpeg, &error)) return error;
      if (withCurl && !SaveDib(d, curlFile, kDibJpeg, &error)) return error;
      return std::string();
    });
  };

  saveBlank(0, false);
  BitmapSink sink(
      drawn.width, drawn.height,
      [&](int32_t page, bool& draw) {
        draw = true;
        return !progress || progress(HtmlCatalogProgress{page});
      },
      [&](int32_t page, dib&& bitmap) {
        savePage(page, std::move(bitmap));
        return true;
      });
  if (options.textLayer) sink.CaptureText(&texts);
  render::AllPagesResult all;
  if (!sink.ok()) {
    res.error = "not enough memory for a page of " + std::to_string(p.width) + " x " +
                std::to_string(p.height) + " pixels";
  } else {
    try {
      all = render::RenderAllPages(session, drawn, sink, options.layout);
    } catch (const std::bad_alloc&) {
      res.error = "not enough memory to render the pages";
    }
  }
  if (res.error.empty()) res.error = sink.error();
  if (res.error.empty() && !sink.cancelled()) {
    // An odd count ends with an empty right-hand page; blank pages close
    // the last pair.
    const int32_t n = all.pages + all.pages % 2;
    if (n != all.pages) {
      dib empty = WhitePage(drawn.width, drawn.height);
      if (empty.loaded()) savePage(n, std::move(empty));
    }
    saveBlank(n + 1, true);
    res.anzpages = n;
    session.anzpages = n;
    info.pageCount = all.pages;
    info.textLayer = options.textLayer;
    texts.resize(static_cast<size_t>(std::max(0, all.pages)));
  }
  jobs.Wait();
  res.jobsDone = jobs.Succeeded();
  if (res.error.empty() && !jobs.Failures().empty()) res.error = jobs.Failures().begin()->second;
  res.cancelled = res.error.empty() && sink.cancelled();
  // A cancelled or failed export leaves the folder as it was: no catalog
  // page naming pictures that were never written, no images of this run.
  if (res.error.empty() && !res.cancelled && staged.Publish(folder, res.error))
    writePageAndPictures(res.anzpages);
  staged.Discard();
  res.ok = res.error.empty() && !res.cancelled;
  return res;
}

}  // namespace output
