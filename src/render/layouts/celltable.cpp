#include "render/layouts/celltable.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "render/furniture.h"
#include "render/text.h"
#include "render/varianttable.h"

namespace render {

namespace {

struct Placed {
  uint32_t ci;
  int32_t x;  // left edge of the cell band
};

}  // namespace

void DrawCellVariantTable(RenderPass& pass, PageState& st, Product& prod, int32_t x0, double cellmm,
                          int32_t passnr, const std::u16string& katname) {
  const CatalogSettings& set = pass.set;
  DrawingSurface& c = pass.canvas;
  const uint32_t nrows = prod.variants.Count();
  if (nrows == 0) return;
  const int32_t cellpx = pass.Len(cellmm);
  const double cellright = x0 + cellmm / kMmPerInch * pass.dpi * pass.zoom / 100.0;

  // ---- Column widths: never wider than the cell ----
  VariantColumns cols = MeasureVariantColumns(pass, prod, cellpx);
  const std::vector<CellContent>& parsed = cols.parsed;
  const std::vector<uint32_t>& rowstart = cols.rowstart;
  const std::vector<int32_t>& width = cols.width;
  const int32_t rowpx = cols.rowpx;
  const double rowmm = cols.rowmm;
  if (set.DonotShowVariantsCheck) return;

  // ---- Bands ----
  const int32_t pad = pass.OneMm();
  const bool lines = set.LinesInVariantCheck;
  const int32_t p = lines ? pass.Len(set.LineWidthEd2) : 0;
  const int64_t C = VariantColumnCount(prod);
  const bool hideprices = set.DonotShowPriceColumnscheck;
  std::vector<Placed> placed;
  std::vector<int32_t> bars;
  uint32_t bandstart = 0;
  for (;;) {
    uint32_t nextstart = std::numeric_limits<uint32_t>::max();
    bool handled = false;  // the band showed a cell
    bool more = false;     // some row has columns left for a further band
    double tabletop = st.y;
    for (uint32_t r = 0; r < nrows; ++r) {
      VariantRow& row = prod.variants[r];
      const bool drawn = BeginTableRow(pass, st, r, passnr, tabletop, katname);
      // The row's cells in this band and its line count.
      const uint32_t cells = rowstart[r + 1] - rowstart[r];
      placed.clear();
      int32_t x = x0;
      int32_t nlines = 1;
      uint32_t ci = bandstart;
      bool finished = true;
      for (; ci < cells; ++ci) {
        const bool price = IsPrice(C, ci, prod.pricecols);
        if (hideprices && price) break;  // only prices follow
        int32_t cx = x;
        if (lines && ci == bandstart) cx += p;
        if (ci != bandstart && !(cx + width[ci] + 3 * pad < cellright)) {
          nextstart = std::min(nextstart, ci);
          finished = false;
          break;
        }
        placed.push_back({ci, cx});
        x = cx;
        if (width[ci] > 0) {
          SelectCellFont(pass, r == 0 ? kTitle : price ? kPrice : kCell);
          const int32_t n = TableCellText(pass, cx + pad, 0, 1, kCellLeft, width[ci],
                                          parsed[rowstart[r] + ci].shown, rowpx, false);
          nlines = std::max(nlines, n);
          x += width[ci] + (lines ? 2 : 3) * pad;
        }
        if (lines) x += p;
      }
      if (!finished) more = true;
      if (!placed.empty()) handled = true;
      row.lines = nlines;

      // Draw the row.
      const int32_t ry = pass.Pos(st.y);
      const int32_t step = pass.Pos(rowmm);
      bars.clear();
      x = x0;
      for (const Placed& pl : placed) {
        const bool price = IsPrice(C, pl.ci, prod.pricecols);
        SelectCellFont(pass, r == 0 ? kTitle : price ? kPrice : kCell);
        const CellContent& cell = parsed[rowstart[r] + pl.ci];
        x = pl.x;
        if (width[pl.ci] > 0) {
          SelectCellColours(pass, cell, r == 0, price);
          if (drawn) Band(c, x, ry, x + width[pl.ci] + 2 * pad, ry + nlines * rowpx);
          TableCellText(pass, x + pad, ry, step, CellAlignment(set, price), width[pl.ci], cell.shown, rowpx, drawn);
          x += width[pl.ci] + (lines ? 2 : 3) * pad;
        }
        if (lines) {
          if (drawn) {
            const int32_t top = ry + p / 2 - p;
            const int32_t bottom = pass.Pos(st.y + nlines * rowmm) + p / 2 - 1;
            if (bars.empty()) bars.push_back(pl.x - p);
            bars.push_back(x);
            for (int32_t bx : bars) Bar(c, bx, top, bx + p, bottom, set.Shape10);
          }
          x += p;
        }
      }
      st.y += nlines * rowmm;
      const bool last = r + 1 == nrows;
      const bool showed = !placed.empty() && x != x0;
      if (lines) {
        if (drawn && showed) {
          Bar(c, x0, pass.Pos(st.y), x, pass.Pos(st.y) + p, set.Shape10);
          if (r == 0) Bar(c, x0, pass.Pos(tabletop), x, pass.Pos(tabletop) + p, set.Shape10);
        }
        st.y += last && showed ? pass.LineHeight() + set.LineWidthEd2 / 2 : set.LineWidthEd2;
      } else if (last && showed) {
        if (drawn && !set.NoLineBelowVariantsCheck) {
          const int32_t lw = pass.Len(set.LineWidthEd2);
          c.SetPenColor(set.Shape10);
          c.SetPenWidth(lw);
          c.SetGeometricPen();
          const int32_t ly = pass.Pos(st.y) + lw / 2;
          c.MoveTo(x - pad, ly);
          c.LineTo(x0, ly);
        }
        st.y += pass.LineHeight() + set.LineWidthEd2 / 2;
      }
    }
    if (!handled || !more || nextstart <= bandstart) break;
    bandstart = nextstart;
  }
  st.x = x0;
  c.SetBrushStyle(BrushStyle::Clear);
  c.SetPenStyle(PenStyle::Solid);
}

}  // namespace render
