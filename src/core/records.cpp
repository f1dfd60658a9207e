#include "core/records.h"

void SetProductTableDefaults(Product& p) {
  for (double& w : p.colwidth) w = kDefaultColWidth;
  p.tablewidth = kDefaultTableWidth;
  p.rowheight = kDefaultRowHeight;
}

CategoryOptions NewCategoryOptions() {
  CategoryOptions o;
  o.picwidth = 3.0;
  o.areacolor = RGBColor(128, 128, 128);
  o.namecolor = RGBColor(0, 0, 0);
  o.fontcolor = RGBColor(255, 255, 0);
  return o;
}

void CopyProduct(const Product& from, Product& to) {
  to.name = from.name;
  to.description = from.description;
  to.pictures.Clear();
  for (const Picture& pic : from.pictures) {
    Picture* np = to.pictures.Add();
    if (!np) break;
    *np = pic;
  }
  to.variants.Clear();
  for (const VariantRow& row : from.variants) {
    VariantRow* nr = to.variants.Add();
    if (!nr) break;
    nr->lines = row.lines;
    nr->cells.SetOuter(row.cells.Outer());
    for (const VariantCell& cell : row.cells) {
      VariantCell* nc = nr->cells.Add();
      if (!nc) break;
      *nc = cell;
    }
  }
  to.pagenr = from.pagenr;
  to.pricecols = from.pricecols;
  to.deactivated = from.deactivated;
  to.pagebreakafter = from.pagebreakafter;
  to.overwrite = from.overwrite;
  to.fixcellwidth = from.fixcellwidth;
  to.fixtablewidth = from.fixtablewidth;
  to.fixcellheight = from.fixcellheight;
  for (int i = 0; i < 10; ++i) to.colwidth[i] = from.colwidth[i];
  to.tablewidth = from.tablewidth;
  to.rowheight = from.rowheight;
}

const std::u16string& VariantText(const Product& p, uint32_t row, uint32_t col) {
  static const std::u16string empty;
  if (row >= p.variants.Count()) return empty;
  const VariantRow& r = p.variants[row];
  if (col >= r.cells.Count()) return empty;
  return r.cells[col].text;
}

uint32_t VariantColumnCount(const Product& p) {
  uint32_t n = 0;
  for (const VariantRow& r : p.variants)
    for (uint32_t c = r.cells.Count(); c > n; --c)
      if (!r.cells[c - 1].text.empty()) {
        n = c;
        break;
      }
  return n;
}
