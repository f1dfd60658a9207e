#include "csv/pricelistlines.h"

#include <algorithm>

#include "core/codepage.h"

namespace csv {

namespace {

// Appends `text` as one or more lines: a catalog text may hold line breaks
// (CR LF from the window, a lone LF from imports, a lone CR), and each of
// them starts a new line of the box.
void AddLines(std::vector<PriceLine>& out, const std::u16string& text, bool bold, int32_t points) {
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\r' && text[i] != u'\n') continue;
    out.push_back(PriceLine{text.substr(start, i - start), bold, points});
    if (i < text.size() && text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
}

void AppendEscaped(std::string& out, const std::u16string& text) {
  for (char c : ql::ToUtf8(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

std::vector<uint32_t> PriceColumnWidths(const Document& doc) {
  std::vector<uint32_t> widths(kPriceColumns, 0);
  for (const Category& cat : doc.kats)
    for (const Product& p : cat.products)
      for (const VariantRow& row : p.variants) {
        const uint32_t n = std::min(row.cells.Count(), kPriceColumns);
        for (uint32_t c = 0; c < n; ++c)
          widths[c] = std::max(widths[c], static_cast<uint32_t>(row.cells[c].text.size()));
      }
  return widths;
}

std::u16string PriceRowText(const VariantRow& row, const std::vector<uint32_t>& widths) {
  std::u16string line;
  for (uint32_t c = 0; c < row.cells.Count(); ++c) {
    const std::u16string& t = row.cells[c].text;
    const size_t w = c < widths.size() && c < kPriceColumns ? widths[c] : kPriceWideColumn;
    line += t;
    if (t.size() < w) line.append(w - t.size(), u' ');
    line += u' ';
  }
  return line;
}

std::vector<PriceLine> BuildPriceList(const Document& doc, const std::u16string& title) {
  std::vector<PriceLine> lines;
  AddLines(lines, title, true, 14);
  lines.push_back(PriceLine{u"", false, 10});
  const std::vector<uint32_t> widths = PriceColumnWidths(doc);
  for (const Category& cat : doc.kats)
    for (const Product& p : cat.products) {
      AddLines(lines, p.name, true, 10);
      for (const VariantRow& row : p.variants) {
        const std::u16string text = PriceRowText(row, widths);
        if (!text.empty()) AddLines(lines, text, false, 10);
      }
      lines.push_back(PriceLine{u"", false, 10});
    }
  return lines;
}

std::string PriceListPlainText(const std::vector<PriceLine>& lines) {
  std::string out;
  for (const PriceLine& l : lines) {
    out += ql::ToUtf8(l.text);
    out += '\n';
  }
  return out;
}

std::string PriceListHtml(const std::vector<PriceLine>& lines, const std::u16string& title,
                          const std::string& family) {
  std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
  AppendEscaped(out, title);
  out += "</title>\n<style>\nbody { font-family: " + family +
         "; color: #000; background: #fff; }\n"
         "p { margin: 0; white-space: pre; font-size: 10pt; min-height: 1.15em; }\n"
         "p.b { font-weight: bold; }\n</style>\n</head>\n<body>\n";
  for (const PriceLine& l : lines) {
    out += l.bold ? "<p class=\"b\"" : "<p";
    if (l.points != 10) out += " style=\"font-size: " + std::to_string(l.points) + "pt\"";
    out += '>';
    AppendEscaped(out, l.text);
    out += "</p>\n";
  }
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace csv
