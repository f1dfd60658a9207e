#include "editing/variants.h"

#include <algorithm>
#include <cmath>

namespace editing {

VariantGrid::VariantGrid() : cells_(static_cast<size_t>(kGridCols) * kGridRows) {}

void VariantGrid::Clear() {
  for (std::u16string& s : cells_) s.clear();
}

void VariantGrid::Fill(const Product& p) {
  Clear();
  const uint32_t rows = std::min<uint32_t>(p.variants.Count(), kGridRows);
  for (uint32_t r = 0; r < rows; ++r) {
    const VariantRow& row = p.variants[r];
    const uint32_t cols = std::min<uint32_t>(row.cells.Count(), kGridCols);
    for (uint32_t c = 0; c < cols; ++c) cells_[r * kGridCols + c] = row.cells[c].text;
  }
}

const std::u16string& VariantGrid::Cell(int col, int row) const {
  static const std::u16string empty;
  if (!InGrid(col, row)) return empty;
  return cells_[static_cast<size_t>(row) * kGridCols + col];
}

void VariantGrid::SetCell(int col, int row, const std::u16string& text) {
  if (!InGrid(col, row)) return;
  cells_[static_cast<size_t>(row) * kGridCols + col] = text;
}

int VariantGrid::ColumnWidth(int col, const std::function<int(const std::u16string&)>& textWidth) const {
  int widest = 44;
  if (textWidth && col >= 0 && col < kGridCols)
    for (int r = 0; r < kGridRows; ++r) {
      const std::u16string& t = Cell(col, r);
      if (!t.empty()) widest = std::max(widest, textWidth(t));
    }
  return widest + 20;
}

bool StoreVariantCell(Document& doc, Product& p, int col, int row, const std::u16string& text) {
  if (!VariantGrid::InGrid(col, row)) return false;
  const uint32_t c = static_cast<uint32_t>(col);
  const uint32_t r = static_cast<uint32_t>(row);
  // 1. Enough rows for row r.
  while (p.variants.Count() < r + 1)
    if (!doc.AddRow(p)) return false;
  // 2. m: the larger of c and the widest row.
  uint32_t m = c;
  for (const VariantRow& vr : p.variants) m = std::max(m, vr.cells.Count());
  // 5. (computed ahead) the extent of the non-empty cells once the text is in.
  // Padding adds only empty cells, so it does not change the extent; knowing
  // it first lets every row go straight to its final length.
  uint32_t R = 0, C = 0;
  for (uint32_t i = 0; i < p.variants.Count(); ++i) {
    const VariantRow& vr = p.variants[i];
    for (uint32_t k = vr.cells.Count(); k > 0; --k) {
      const bool nonEmpty = (i == r && k - 1 == c) ? !text.empty() : !vr.cells[k - 1].text.empty();
      if (nonEmpty) {
        C = std::max(C, k);
        R = std::max(R, i + 1);
        break;
      }
    }
  }
  if (!text.empty()) {
    C = std::max(C, c + 1);
    R = std::max(R, r + 1);
  }
  // 3., 4., 6. Rows of at most c cells are padded to m + 1 cells; every row
  // is then cut to C cells.
  for (uint32_t i = 0; i < p.variants.Count(); ++i) {
    VariantRow& vr = p.variants[i];
    const uint32_t n = vr.cells.Count();
    const uint32_t target = std::min(n <= c ? m + 1 : n, C);
    while (vr.cells.Count() < target)
      if (!vr.cells.Add()) return false;
    while (vr.cells.Count() > target) vr.cells.Delete(static_cast<int32_t>(vr.cells.Count() - 1));
    if (i == r && c < vr.cells.Count()) vr.cells[c].text = text;
  }
  // 7. Trailing rows without text.
  while (p.variants.Count() > R) p.variants.Delete(static_cast<int32_t>(p.variants.Count() - 1));
  // 8.
  doc.SetChanged();
  return true;
}

bool TypeInCell(Document& doc, const Selection& sel, VariantGrid& grid, int col, int row,
                const std::u16string& text) {
  if (!VariantGrid::InGrid(col, row)) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  grid.SetCell(col, row, text);
  return StoreVariantCell(doc, *p, col, row, text);
}

namespace {

// Sets a grid cell and stores it when its text changes.
void Put(Document& doc, Product& p, VariantGrid& grid, int col, int row, const std::u16string& text) {
  if (grid.Cell(col, row) == text) return;
  grid.SetCell(col, row, text);
  StoreVariantCell(doc, p, col, row, text);
}

void ShiftColumnsRight(Document& doc, Product& p, VariantGrid& grid, int col) {
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = kGridCols - 1; c > col; --c) Put(doc, p, grid, c, r, std::u16string(grid.Cell(c - 1, r)));
    Put(doc, p, grid, col, r, std::u16string());
  }
}

void ShiftRowsDown(Document& doc, Product& p, VariantGrid& grid, int row) {
  for (int c = 0; c < kGridCols; ++c) {
    for (int r = kGridRows - 1; r > row; --r) Put(doc, p, grid, c, r, std::u16string(grid.Cell(c, r - 1)));
    Put(doc, p, grid, c, row, std::u16string());
  }
}

const std::u16string& CopyText(const std::vector<std::u16string>& copy, int i) {
  static const std::u16string empty;
  return i >= 0 && static_cast<size_t>(i) < copy.size() ? copy[static_cast<size_t>(i)] : empty;
}

}  // namespace

bool InsertGridColumn(Document& doc, const Selection& sel, VariantGrid& grid, int col) {
  if (col < 0 || col >= kGridCols) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  ShiftColumnsRight(doc, *p, grid, col);
  return true;
}

bool DeleteGridColumn(Document& doc, const Selection& sel, VariantGrid& grid, int col) {
  if (col < 0 || col >= kGridCols) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = col; c + 1 < kGridCols; ++c) Put(doc, *p, grid, c, r, std::u16string(grid.Cell(c + 1, r)));
    Put(doc, *p, grid, kGridCols - 1, r, std::u16string());
  }
  return true;
}

bool InsertGridRow(Document& doc, const Selection& sel, VariantGrid& grid, int row) {
  if (row < 0 || row >= kGridRows) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  ShiftRowsDown(doc, *p, grid, row);
  return true;
}

bool DeleteGridRow(Document& doc, const Selection& sel, VariantGrid& grid, int row) {
  if (row < 0 || row >= kGridRows) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  for (int c = 0; c < kGridCols; ++c) {
    for (int r = row; r + 1 < kGridRows; ++r) Put(doc, *p, grid, c, r, std::u16string(grid.Cell(c, r + 1)));
    Put(doc, *p, grid, c, kGridRows - 1, std::u16string());
  }
  return true;
}

void CopyGridColumn(Document& doc, const VariantGrid& grid, int col) {
  if (col < 0 || col >= kGridCols) return;
  doc.kopiespalte.assign(kGridRows, std::u16string());
  for (int r = 0; r < kGridRows; ++r) doc.kopiespalte[static_cast<size_t>(r)] = grid.Cell(col, r);
}

void CopyGridRow(Document& doc, const VariantGrid& grid, int row) {
  if (row < 0 || row >= kGridRows) return;
  doc.kopiezeile.assign(kGridCols, std::u16string());
  for (int c = 0; c < kGridCols; ++c) doc.kopiezeile[static_cast<size_t>(c)] = grid.Cell(c, row);
}

bool PasteGridColumn(Document& doc, const Selection& sel, VariantGrid& grid, int col) {
  if (col < 0 || col >= kGridCols) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  ShiftColumnsRight(doc, *p, grid, col);
  for (int r = 0; r < kGridRows; ++r) Put(doc, *p, grid, col, r, CopyText(doc.kopiespalte, r));
  return true;
}

bool PasteGridRow(Document& doc, const Selection& sel, VariantGrid& grid, int row) {
  if (row < 0 || row >= kGridRows) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  ShiftRowsDown(doc, *p, grid, row);
  for (int c = 0; c < kGridCols; ++c) Put(doc, *p, grid, c, row, CopyText(doc.kopiezeile, c));
  return true;
}

namespace {
double ClampLength(double v, double old) {
  if (!std::isfinite(v)) return old;
  return std::clamp(v, 0.0, kMaxTableLength);
}
}  // namespace

bool TableSettingsFromProduct(Document& doc, const Selection& sel, TableSettingsValues& out) {
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  out.overwrite = p->overwrite;
  out.fixcellwidth = p->fixcellwidth;
  for (int i = 0; i < 10; ++i) out.colwidth[i] = p->colwidth[i];
  out.fixcellheight = p->fixcellheight;
  out.rowheight = p->rowheight;
  out.fixtablewidth = p->fixtablewidth;
  out.tablewidth = p->tablewidth;
  return true;
}

bool ApplyTableSettings(Document& doc, const Selection& sel, const TableSettingsValues& v) {
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  p->overwrite = v.overwrite;
  p->fixcellwidth = v.fixcellwidth;
  for (int i = 0; i < 10; ++i) p->colwidth[i] = ClampLength(v.colwidth[i], p->colwidth[i]);
  p->fixcellheight = v.fixcellheight;
  p->rowheight = ClampLength(v.rowheight, p->rowheight);
  p->fixtablewidth = v.fixtablewidth;
  p->tablewidth = ClampLength(v.tablewidth, p->tablewidth);
  return true;
}

}  // namespace editing
