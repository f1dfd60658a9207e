// The text layer of the HTML catalog: the texts a page draws, caught on the
// page image's own surface during the drawing pass, grouped into lines, and
// written beside the page pictures as small script files the catalog loads
// page by page (they load from file:// as well as from a web server), plus
// one search index and the plain page list for readers without scripts.
//
// Every catalog text that leaves here is data: in scripts it is a string
// literal with every character that could end it or the script escaped; in
// markup it is escaped for HTML; link targets are only "#page=N", http(s)
// or mailto addresses with everything unusual percent-encoded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/qtsurface.h"

class Document;

namespace output {

// One line of text on a page, in page pixels (top left of the text cell).
struct TextLine {
  int32_t x = 0, y = 0, w = 0, h = 0;
  double em = 0;  // the em height in pixels
  bool bold = false, italic = false;
  std::u16string text;
  int32_t toPage = 0;  // the whole line leads to this page (contents entries), 0: none
};

struct PageText {
  std::vector<TextLine> lines;  // in drawing order, which is reading order
  // Areas that lead to another page (x1, y1, x2, y2, page), as the layout
  // reports them; Finish() hands them to the lines inside.
  struct Area {
    int32_t x1, y1, x2, y2, page;
  };
  std::vector<Area> areas;

  // Adds a run as drawn; a run that continues the last line (same row,
  // starting within about an em of its end) is joined to it, with a blank
  // when there is a gap.
  void AddRun(const TextLine& run);
  // Gives each line the page of the link area it lies in.
  void Finish();
  // The lines' texts, one per line.
  std::u16string PlainText() const;
};

// The page image's surface that also notes what it draws while a PageText
// is attached (null: draws only).
class TextCaptureSurface : public platform::ImageSurface {
 public:
  using platform::ImageSurface::ImageSurface;
  void Attach(PageText* page) { page_ = page; }
  void LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) override;

 protected:
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override;

 private:
  PageText* page_ = nullptr;
};

// Names of the files written beside the pages.
std::string HtmlPageTextName(int32_t p);        // catalogtext<p>.js
extern const char* const kHtmlSearchIndexName;  // catalogsearch.js

// Alternative texts of pages 1 ... pageCount: "Seite p" (translated), then
// the categories and products the last layout pass put on that page, e.g.
// "Seite 3: Garten: Gießkanne, Rechen". Each at most about 300 characters.
// Plain text (escape where used).
std::vector<std::u16string> PageAltTexts(const Document& doc, int32_t pageCount);

// A JavaScript string literal of `s` in ASCII only: quotes, backslash, <, >,
// &, control characters and everything outside ASCII as \uXXXX.
std::string JsString(const std::u16string& s);
// `s` escaped for HTML text and attribute values.
std::u16string HtmlEscapeText(const std::u16string& s);

// The script file of page p: one call qlPageText(p, {w, h, alt, r: lines}),
// each line [x, y, w, h, em, text, flags (1 bold, 2 italic), toPage,
// [[begin, end, uri], ...] web and e-mail addresses in it].
std::string PageTextScript(int32_t page, int32_t width, int32_t height, const std::u16string& alt,
                           const PageText& text);
// The search index: qlSearchIndex([[p, text], ...]) over the pages with text.
std::string SearchIndexScript(const std::vector<PageText>& pages);
// The page list for readers without scripts and for search engines
// (catalogpages.htm, a whole UTF-16 document the catalog page sends such
// readers to): every page as its picture (loaded lazily) with its
// alternative text, followed by its lines; contents lines link to
// "#page=N" (the sections of the same list) and addresses to themselves.
extern const char* const kHtmlPageListName;  // catalogpages.htm
std::u16string NoScriptPages(const std::vector<PageText>& pages, const std::vector<std::u16string>& alts,
                             int32_t width, int32_t height, const std::u16string& title,
                             const std::string& lang);

}  // namespace output
