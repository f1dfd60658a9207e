// The records of a catalog: categories with their options, products,
// pictures and variant tables. Texts are UTF-16 strings owned by the record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/dynaarray.h"

// Colours are 0x00BBGGRR (red in the low byte).
using TColor = uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int ColorR(TColor c) { return c & 0xFF; }
constexpr int ColorG(TColor c) { return (c >> 8) & 0xFF; }
constexpr int ColorB(TColor c) { return (c >> 16) & 0xFF; }

struct VariantCell {
  std::u16string text;
  int32_t measuredwidth = 0;  // scratch of the table renderer (row 0), never stored
};

struct VariantRow {
  TDynaArray<VariantCell> cells;
  int32_t lines = 0;  // scratch of the table renderer, never stored
};

struct Picture {
  std::u16string filename;
  double width = 0;      // printed width in cm
  int32_t pixwidth = 0;  // cached pixel size, 0 = not yet known; never stored
  int32_t pixheight = 0;
};

struct Product {
  std::u16string name;
  std::u16string description;
  TDynaArray<Picture> pictures;
  TDynaArray<VariantRow> variants;  // row 0 = column titles
  int32_t pagenr = 0;               // set by the last layout pass, never stored
  int32_t pricecols = 0;
  bool deactivated = false;
  bool pagebreakafter = false;
  // Per-product table settings (stored as one 104-byte block).
  bool overwrite = false;
  bool fixcellwidth = false;
  bool fixtablewidth = false;
  bool fixcellheight = false;
  double colwidth[10] = {};
  double tablewidth = 0;
  double rowheight = 0;
};

// Table defaults a product gets when it is created.
constexpr double kDefaultColWidth = 35.0;
constexpr double kDefaultTableWidth = 155.0;
constexpr double kDefaultRowHeight = 5.0;
void SetProductTableDefaults(Product& p);

struct CategoryOptions {
  std::u16string picfile;
  double picwidth = 0;  // cm
  std::u16string introtext;
  int32_t pagenr = 0;  // set by the last layout pass, never stored
  int32_t picbelowname = 0;
  bool deactivated = false;
  bool tocallcategories = false;
  bool tocsubcategoriesonly = false;
  bool notintoc = false;
  bool picasbackground = false;
  bool pictureonly = false;
  bool firstproductnewpage = false;
  bool istoc = false;
  bool nonewpage = false;
  bool introbelowpic = false;
  bool tocnocategories = false;
  bool tocwithproducts = false;
  bool ownareacolor = false;
  bool ownnamecolor = false;
  bool ownfontcolor = false;
  TColor areacolor = 0;
  TColor namecolor = 0;
  TColor fontcolor = 0;
};

// The values the category dialog gives a record it creates from scratch.
CategoryOptions NewCategoryOptions();

// A category: its list entry (name and optional options record) and its
// products. An entry without options behaves as one with every flag off.
struct Category {
  std::u16string name;
  std::unique_ptr<CategoryOptions> options;
  TDynaArray<Product> products;
};

// Deep copy of a product's content (texts, pictures, variant table, flags and
// table settings). Cursor variables of the copy's arrays are those of `to`.
void CopyProduct(const Product& from, Product& to);

// Reads a variant cell, empty when the row or cell does not exist.
const std::u16string& VariantText(const Product& p, uint32_t row, uint32_t col);
// The table's column count: the largest (index + 1) of a non-empty cell.
uint32_t VariantColumnCount(const Product& p);
