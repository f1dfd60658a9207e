// The price list: a title, then for every product its name in bold and its
// variant table as text columns padded with spaces. All products share one
// set of column widths, so the columns line up over the whole list in a
// fixed-pitch font. The window's rich-text box, its printout and the
// command-line tool all start from these lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/document.h"

namespace csv {

struct PriceLine {
  std::u16string text;  // one line without a line end
  bool bold = false;
  int32_t points = 10;  // 14 for the title, 10 otherwise
};

// Column widths are kept for cell positions 1 ... kPriceColumns; cells
// beyond are padded to kPriceWideColumn characters.
constexpr uint32_t kPriceColumns = 1000;
constexpr uint32_t kPriceWideColumn = 20;

// Width in characters (UTF-16 units) of every cell position 1 ... 1000 over
// the whole catalog; index 0 is position 1.
std::vector<uint32_t> PriceColumnWidths(const Document& doc);

// The variant row as one line: every cell padded on the right to its
// column's width (texts longer than that are not cut), one space after
// each cell. A row without cells gives an empty text.
std::u16string PriceRowText(const VariantRow& row, const std::vector<uint32_t>& widths);

// The whole list: the title `title` (message 43 in the current language) in
// bold 14 points and an empty line; per product (every category and product,
// deactivated ones included; category names are not written) its name in
// bold, every non-empty row line, then an empty line. A text holding line
// breaks (CR LF, a lone LF or a lone CR) becomes several lines with the same
// attributes, as the box shows it.
std::vector<PriceLine> BuildPriceList(const Document& doc, const std::u16string& title);

// The lines as plain text, each ended by LF, in UTF-8.
std::string PriceListPlainText(const std::vector<PriceLine>& lines);

// The lines as a complete HTML page (UTF-8) in a fixed-pitch font, with the
// bold lines and point sizes kept; `family` is the CSS font family list.
std::string PriceListHtml(const std::vector<PriceLine>& lines, const std::u16string& title,
                          const std::string& family);

}  // namespace csv
