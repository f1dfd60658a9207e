#include "output/htmlpagetext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "i18n/messages.h"
#include "pdfvector/vectordoc.h"
#include "project/document.h"
#include "render/webaddress.h"

namespace output {

const char* const kHtmlSearchIndexName = "catalogsearch.js";
const char* const kHtmlPageListName = "catalogpages.htm";

std::string HtmlPageTextName(int32_t p) { return "catalogtext" + std::to_string(p) + ".js"; }

void PageText::AddRun(const TextLine& run) {
  if (run.text.empty() || run.w < 0) return;
  bool blank = true;
  for (char16_t c : run.text) blank = blank && (c == u' ' || c == u'\t');
  if (!lines.empty()) {
    TextLine& last = lines.back();
    const int32_t gap = run.x - (last.x + last.w);
    const double em = std::max(1.0, std::max(last.em, run.em));
    // Justified text is drawn word by word; its words continue one line.
    if (run.y == last.y && run.h == last.h && gap > -em * 0.5 && gap < em * 1.5 && !last.toPage) {
      if (blank) {
        last.w = std::max(last.w, run.x + run.w - last.x);
        if (last.text.back() != u' ') last.text += u' ';
        return;
      }
      if (gap > em * 0.15 && last.text.back() != u' ' && run.text.front() != u' ') last.text += u' ';
      last.text += run.text;
      last.w = std::max(last.w, run.x + run.w - last.x);
      last.bold = last.bold && run.bold;
      return;
    }
  }
  if (blank) return;
  lines.push_back(run);
}

void PageText::Finish() {
  for (TextLine& l : lines) {
    while (!l.text.empty() && l.text.back() == u' ') l.text.pop_back();
    const int32_t cy = l.y + l.h / 2;
    for (const Area& a : areas)
      if (cy >= a.y1 && cy < a.y2 && l.x < a.x2 && l.x + l.w > a.x1) l.toPage = a.page;
  }
  // Leader dots of the contents are drawing, not text.
  auto leader = [](const std::u16string& t) {
    if (t.size() < 3) return t.empty();
    for (char16_t c : t)
      if (c != u'.' && c != u'\u00B7' && c != u'\u2026' && c != u'_' && c != u' ') return false;
    return true;
  };
  lines.erase(std::remove_if(lines.begin(), lines.end(), [&](const TextLine& l) { return leader(l.text); }),
              lines.end());
}

std::u16string PageText::PlainText() const {
  std::u16string s;
  for (const TextLine& l : lines) {
    if (!s.empty()) s += u'\n';
    s += l.text;
  }
  return s;
}

void TextCaptureSurface::LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) {
  if (page_ && page >= 1 && x1 < x2 && y1 < y2) page_->areas.push_back({x1, y1, x2, y2, page});
}

void TextCaptureSurface::DoTextOut(int32_t x, int32_t y, const std::u16string& s) {
  platform::ImageSurface::DoTextOut(x, y, s);
  if (!page_) return;
  TextLine run;
  run.x = x;
  run.y = y;
  run.w = TextWidth(s);
  run.h = TextHeight(s);
  run.em = FontEmPixels() > 0 ? FontEmPixels() : FontPixelSize();
  run.bold = Font().bold;
  run.italic = Font().italic;
  // Control characters are stripped by the callers; tabs may remain.
  run.text = s;
  for (char16_t& c : run.text)
    if (c < 0x20) c = u' ';
  page_->AddRun(run);
}

std::vector<std::u16string> PageAltTexts(const Document& doc, int32_t pageCount) {
  constexpr size_t kMax = 300;
  std::vector<std::u16string> names(static_cast<size_t>(std::max(0, pageCount)));
  auto add = [&](int32_t page, const std::u16string& name, bool heading) {
    if (page < 1 || page > pageCount || name.empty()) return;
    std::u16string& to = names[static_cast<size_t>(page - 1)];
    if (to.size() > kMax) return;
    if (!to.empty()) to += heading ? u"; " : (to.back() == u':' ? u" " : u", ");
    for (char16_t c : name) to += c < 0x20 ? u' ' : c;
    if (heading) to += u':';
  };
  auto visit = [&](const pdfvec::OutlineItem& cat) {
    add(cat.page, cat.title, true);
    for (const pdfvec::OutlineItem& prod : cat.kids)
      if (prod.kids.empty()) add(prod.page, prod.title, false);
  };
  for (const pdfvec::OutlineItem& top : pdfvec::CatalogOutline(doc)) {
    visit(top);
    for (const pdfvec::OutlineItem& sub : top.kids)
      if (!sub.kids.empty()) visit(sub);
  }
  const std::u16string seite = i18n::Tr(u"Seite");
  std::vector<std::u16string> alts;
  for (size_t i = 0; i < names.size(); ++i) {
    std::u16string n = names[i];
    if (!n.empty() && n.back() == u':') n.pop_back();
    if (n.size() > kMax) n = n.substr(0, kMax) + u"\u2026";
    const std::string num = std::to_string(i + 1);
    alts.push_back(seite + u' ' + std::u16string(num.begin(), num.end()) + (n.empty() ? u"" : u": " + n));
  }
  return alts;
}

std::string JsString(const std::u16string& s) {
  std::string out = "\"";
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\' && c != u'<' && c != u'>' && c != u'&' &&
        c != u'\'') {
      out += static_cast<char>(c);
    } else {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04x", static_cast<unsigned>(c));
      out += b;
    }
  }
  return out + "\"";
}

std::u16string HtmlEscapeText(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    switch (c) {
      case u'&':
        out += u"&amp;";
        break;
      case u'<':
        out += u"&lt;";
        break;
      case u'>':
        out += u"&gt;";
        break;
      case u'"':
        out += u"&quot;";
        break;
      case u'\'':
        out += u"&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

std::string Num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", v);
  std::string s = b;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

std::string PageTextScript(int32_t page, int32_t width, int32_t height, const std::u16string& alt,
                           const PageText& text) {
  std::string s = "qlPageText(" + std::to_string(page) + ",{\"w\":" + std::to_string(width) +
                  ",\"h\":" + std::to_string(height) + ",\"alt\":" + JsString(alt) + ",\"r\":[";
  bool firstLine = true;
  for (const TextLine& l : text.lines) {
    if (!firstLine) s += ',';
    firstLine = false;
    s += "\n[" + std::to_string(l.x) + ',' + std::to_string(l.y) + ',' + std::to_string(l.w) + ',' +
         std::to_string(l.h) + ',' + Num(l.em) + ',' + JsString(l.text) + ',' +
         std::to_string((l.bold ? 1 : 0) | (l.italic ? 2 : 0)) + ',' + std::to_string(l.toPage);
    const std::vector<render::WebAddress> addrs = render::FindWebAddresses(l.text);
    if (!addrs.empty()) {
      s += ",[";
      for (size_t i = 0; i < addrs.size(); ++i)
        s += (i ? ",[" : "[") + std::to_string(addrs[i].begin) + ',' + std::to_string(addrs[i].end) + ',' +
             JsString(U16(addrs[i].uri)) + ']';
      s += ']';
    }
    s += ']';
  }
  return s + "]});\n";
}

std::string SearchIndexScript(const std::vector<PageText>& pages) {
  std::string s = "qlSearchIndex([";
  bool first = true;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].lines.empty()) continue;
    s += first ? "\n[" : ",\n[";
    first = false;
    s += std::to_string(i + 1) + ',' + JsString(pages[i].PlainText()) + ']';
  }
  return s + "]);\n";
}

std::u16string NoScriptPages(const std::vector<PageText>& pages, const std::vector<std::u16string>& alts,
                             int32_t width, int32_t height, const std::u16string& title,
                             const std::string& lang) {
  std::u16string s =
      u"<!DOCTYPE html>\n<html lang=\"" + U16(lang) +
      u"\">\n<head>\n<meta charset=\"utf-8\">\n<meta name=\"viewport\" content=\"width=device-width, "
      u"initial-scale=1\">\n<title>" +
      HtmlEscapeText(title) +
      u"</title>\n<link rel=\"icon\" href=\"data:,\">\n<style>\n"
      u"body { margin: 0; font: 16px/1.4 system-ui, sans-serif; color: #1d2430; background: #e9e5dc; }\n"
      u"#plain { max-width: 900px; margin: 0 auto; padding: 16px; }\n"
      u"section { background: #fff; margin: 0 0 24px; padding: 12px; box-shadow: 0 2px 10px "
      u"rgba(0,0,0,.15); }\n"
      u"img { display: block; width: 100%; height: auto; }\np { margin: .2em 0; }\n</style>\n"
      u"</head>\n<body>\n<h1>" +
      HtmlEscapeText(title) + u"</h1>\n<div id=\"plain\">\n";
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::u16string n = U16(std::to_string(i + 1));
    s += u"<section id=\"page=" + n + u"\"><img src=\"catalogpage" + n + u".jpg\" loading=\"lazy\" width=\"" +
         U16(std::to_string(width)) + u"\" height=\"" + U16(std::to_string(height)) + u"\" alt=\"" +
         HtmlEscapeText(i < alts.size() ? alts[i] : std::u16string()) + u"\">\n";
    for (const TextLine& l : pages[i].lines) {
      s += u"<p>";
      if (l.toPage > 0) {
        s += u"<a href=\"#page=" + U16(std::to_string(l.toPage)) + u"\">" + HtmlEscapeText(l.text) + u"</a>";
      } else {
        size_t at = 0;
        for (const render::WebAddress& a : render::FindWebAddresses(l.text)) {
          s += HtmlEscapeText(l.text.substr(at, a.begin - at));
          s += u"<a href=\"" + HtmlEscapeText(U16(a.uri)) + u"\">" +
               HtmlEscapeText(l.text.substr(a.begin, a.end - a.begin)) + u"</a>";
          at = a.end;
        }
        s += HtmlEscapeText(l.text.substr(at));
      }
      s += u"</p>\n";
    }
    s += u"</section>\n";
  }
  return s + u"</div>\n</body>\n</html>\n";
}

}  // namespace output
