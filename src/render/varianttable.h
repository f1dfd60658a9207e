// The variant table below a product: column measuring (maximum cell width,
// fixed column widths, fixed table width, fixed row height, per-product
// overrides), coloured cells with the "##RRGGBB" suffix, in-cell wrapping,
// and the grid lines drawn as filled bars.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "render/render.h"

namespace render {

// Cell text alignment for TableCellText.
enum CellAlign : int32_t { kCellLeft = 0, kCellCentre = 1, kCellRight = 2 };

// The role font of a cell: title row, price column or other cell.
enum CellRole { kTitle, kPrice, kCell };
void SelectCellFont(RenderPass& pass, CellRole r);
// Is column c (of `count` columns) one of the `pricecols` rightmost ones?
bool IsPrice(int64_t count, int64_t c, int32_t pricecols);
// The fill of a cell as brush and one-pixel pen, with transparent text:
// Shape8 in the title row, Shape9 in price columns, Shape7 elsewhere; the
// cell's own colour suffix wins.
void SelectCellColours(RenderPass& pass, const CellContent& cell, bool title, bool price);
// The alignment of a cell text: prices centred (PreisCentCheck), left
// (PreisLinksCheck) or right; other cells right (AndereRechtsCheck),
// centred (AndereZentriertCheck) or left.
int32_t CellAlignment(const CatalogSettings& set, bool price);

// The measured columns of a table, as every layout that draws one needs
// them: the parsed cells (the session's, shared), column widths in pixels
// (also stored in the title row's cells as measuredwidth), and the row
// height.
struct VariantColumns {
  std::shared_ptr<TableCells> cells;
  std::vector<int32_t> width;
  uint32_t maxcells = 0;   // cells of the longest row
  uint32_t row0cells = 0;  // cells of the title row
  int32_t rowpx = 0;
  double rowmm = 0;
};
// Measures the table of `prod` (at least one row): maximum cell width,
// fixed column widths, fixed table width (never narrowed), fixed row
// height, per-product overrides. No cell is measured wider than `capwidth`
// pixels (0: no such cap). Leaves the font of the last cell measured
// selected on the surface.
VariantColumns MeasureVariantColumns(RenderPass& pass, Product& prod, int32_t capwidth);

// Lays out (pass 0) or lays out and draws (pass 1, on the drawn page) the
// table of `prod` with its left edge at x0 px, starting at st.y and leaving
// st.y below the table. `centre`: ZentrTabelleCheck applies (layout 1
// only). `katname` names the category for page breaks before rows (pass 1
// only). Column widths are kept in the title row's cells (measuredwidth)
// and row line counts in VariantRow::lines, so pass 0 and pass 1 of one
// product see the same values. An empty table changes nothing; with
// DonotShowVariantsCheck the table takes no space.
void DrawVariantTable(RenderPass& pass, PageState& st, Product& prod, int32_t x0, int32_t passnr, bool centre,
                      const std::u16string& katname);

// Column widths in millimetres from the layout measurement (300 ppi,
// unzoomed fonts), by the rules of MeasureVariantColumns; `capmm` > 0 caps
// every measured cell. Layout decisions (line counts, bands) use these and
// never the surface's widths, so pages do not depend on resolution or zoom.
std::vector<double> ColumnWidthsMm(RenderPass& pass, const Product& prod, const VariantColumns& cols,
                                   double capmm);
// The shown text of cell i of `cells` (in the current cell font) broken into
// lines no wider than `wmm` as the layout measures them: at the last space
// after the first character, or inside a word; one line without
// DoLineBreakinTableCellsCheck.
SharedLines CellLinesMm(RenderPass& pass, double wmm, TableCells& cells, uint32_t i);

// Draws the text of cell i into column width w px at (x, y), one line every `step` px,
// alignment 0 left, 1 centred, 2 right, in the lines CellLinesMm gives for
// the column's width `wmm`. Before each line the band x - pad ... x + w +
// pad, (y + lines so far * step) ... + rowpx is filled with the current
// brush. Only draws when `draw` is set; always returns the number of lines.
int32_t TableCellText(RenderPass& pass, int32_t x, int32_t y, int32_t step, int32_t align, int32_t w,
                      double wmm, TableCells& cells, uint32_t i, int32_t rowpx, bool draw);

// The start of row r of a table, the same in every table: in pass 1 a row
// that would start below the usable bottom goes to a new page, one line
// down (the page break names `katname`); the title row of a lined table
// (LinesInVariantCheck) sets `tabletop` and moves st.y down by the line
// width LineWidthEd2. Returns whether the row is drawn (pass 1 on the
// requested page).
bool BeginTableRow(RenderPass& pass, PageState& st, uint32_t r, int32_t passnr, double& tabletop,
                   const std::u16string& katname);

// The two fills every table grid is drawn with (the tables below products
// and those inside layout-3 cells). Band fills x1 <= x < x2, y1 <= y < y2
// with the current brush, outlined with the pen the caller has set (a
// one-pixel pen of the brush colour). Bar fills the same area in colour
// `col` without outline and leaves the pen clear. Empty areas draw nothing.
void Band(DrawingSurface& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void Bar(DrawingSurface& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor col);

// Surface text width (pixels of the drawing surface, its current font)
// through the session's per-document cache of surface metrics.
int32_t SurfaceTextWidth(RenderPass& pass, const std::u16string& text);
int32_t SurfaceTextHeight(RenderPass& pass, const std::u16string& text);

}  // namespace render
