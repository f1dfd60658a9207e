// Variant table editing: the editor grid, the cell store that keeps the
// table free of trailing empty rows and columns, the grid's row and column
// commands with their copy buffers, and the table settings dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editing/selection.h"
#include "project/document.h"

namespace editing {

constexpr int kGridCols = 100;
constexpr int kGridRows = 100;

// The editor's 100 x 100 grid of texts. Cell (col, row) shows cell col of
// variant row row; what lies beyond the grid cannot be edited.
class VariantGrid {
 public:
  VariantGrid();

  // Editor refresh: empties the grid, then copies every existing cell in.
  void Fill(const Product& p);
  void Clear();

  static bool InGrid(int col, int row) { return col >= 0 && col < kGridCols && row >= 0 && row < kGridRows; }
  const std::u16string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::u16string& text);

  // Width of a grid column: 20 pixels more than the wider of 44 pixels and
  // the widest text, measured by `textWidth`.
  int ColumnWidth(int col, const std::function<int(const std::u16string&)>& textWidth) const;

 private:
  std::vector<std::u16string> cells_;  // row-major
};

// The cell store on one product: puts `text` into cell (col, row), padding
// the table as needed, then deletes trailing cells and rows that hold only
// empty texts. Marks the document changed. False (nothing done) when the
// cell lies outside the grid or the table could not be grown.
bool StoreVariantCell(Document& doc, Product& p, int col, int row, const std::u16string& text);

// Typing in a grid cell: the grid cell and the selected product's table.
// Nothing without a selected category and product.
bool TypeInCell(Document& doc, const Selection& sel, VariantGrid& grid, int col, int row,
                const std::u16string& text);

// The pop-up menu of the grid at the current cell (col, row). Each changed
// grid cell goes through the cell store. Nothing without a selected product
// or with a cell outside the grid.
bool InsertGridColumn(Document& doc, const Selection& sel, VariantGrid& grid, int col);  // "Spalte einfügen"
bool DeleteGridColumn(Document& doc, const Selection& sel, VariantGrid& grid, int col);  // "Spalte löschen"
bool InsertGridRow(Document& doc, const Selection& sel, VariantGrid& grid, int row);     // "Zeile einfügen"
bool DeleteGridRow(Document& doc, const Selection& sel, VariantGrid& grid, int row);     // "Zeile löschen"
// "Spalte kopieren" / "Zeile kopieren": the grid's texts into
// doc.kopiespalte / doc.kopiezeile (they survive switching products).
void CopyGridColumn(Document& doc, const VariantGrid& grid, int col);
void CopyGridRow(Document& doc, const VariantGrid& grid, int row);
// "Spaltenkopie einfügen" / "Zeilenkopie einfügen": insert, then fill from
// the copy (empty where the copy is shorter).
bool PasteGridColumn(Document& doc, const Selection& sel, VariantGrid& grid, int col);
bool PasteGridRow(Document& doc, const Selection& sel, VariantGrid& grid, int row);

// The dialog "Tabellen Einstellungen..." (lengths in mm, 0 ... 1000).
struct TableSettingsValues {
  bool overwrite = false;
  bool fixcellwidth = false;
  double colwidth[10] = {};
  bool fixcellheight = false;
  double rowheight = 0;
  bool fixtablewidth = false;
  double tablewidth = 0;
};

constexpr double kMaxTableLength = 1000;

// Fills the dialog from the first selected product; false without one.
bool TableSettingsFromProduct(Document& doc, const Selection& sel, TableSettingsValues& out);
// Closing the dialog writes every field back (numbers kept within 0 ...
// 1000). Does not mark the document changed.
bool ApplyTableSettings(Document& doc, const Selection& sel, const TableSettingsValues& v);

}  // namespace editing
