#include "render/layouts/celltable.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/furniture.h"
#include "render/text.h"
#include "render/varianttable.h"

namespace render {

namespace {

struct Placed {
  uint32_t ci;
  double x;  // left edge of the cell band, mm from the cell's left edge
};

}  // namespace

void DrawCellVariantTable(RenderPass& pass, PageState& st, Product& prod, int32_t x0, double cellmm,
                          int32_t passnr, const std::u16string& katname) {
  const CatalogSettings& set = pass.set;
  DrawingSurface& c = pass.canvas;
  const uint32_t nrows = prod.variants.Count();
  if (nrows == 0) return;

  // Every decision (which columns share a band, how many lines a row takes)
  // is made in millimetres from the layout measurement; pixels only place
  // what is drawn. So the pages do not depend on resolution or zoom.
  VariantColumns cols = MeasureVariantColumns(pass, prod, pass.Len(cellmm));
  TableCells& table = *cols.cells;
  const std::vector<CellContent>& parsed = table.parsed;
  const std::vector<uint32_t>& rowstart = table.rowstart;
  const int32_t rowpx = cols.rowpx;
  const double rowmm = cols.rowmm;
  if (set.DonotShowVariantsCheck) return;
  const std::vector<double> width = ColumnWidthsMm(pass, prod, cols, cellmm);
  auto px = [&](double relmm) { return x0 + pass.Pos(relmm); };

  // ---- Bands ----
  const double pad = 1.0;
  const int32_t padpx = pass.OneMm();
  const bool lines = set.LinesInVariantCheck;
  const double p = lines ? set.LineWidthEd2 : 0;
  const int32_t ppx = lines ? pass.Len(set.LineWidthEd2) : 0;
  const int64_t C = VariantColumnCount(prod);
  const bool hideprices = set.DonotShowPriceColumnscheck;
  std::vector<Placed> placed;
  std::vector<SharedLines> celllines;
  std::vector<int32_t> bars;
  uint32_t bandstart = 0;
  for (;;) {
    uint32_t nextstart = std::numeric_limits<uint32_t>::max();
    bool handled = false;  // the band showed a cell
    bool more = false;     // some row has columns left for a further band
    double tabletop = st.y;
    TagScope tablepart(c, StructTag::Table, passnr == 1);  // each band of columns a table
    for (uint32_t r = 0; r < nrows; ++r) {
      VariantRow& row = prod.variants[r];
      const bool drawn = BeginTableRow(pass, st, r, passnr, tabletop, katname);
      TagScope tr(c, StructTag::TableRow, drawn);
      // The row's cells in this band and its line count.
      const uint32_t cells = rowstart[r + 1] - rowstart[r];
      placed.clear();
      celllines.clear();
      double x = 0;
      int32_t nlines = 1;
      uint32_t ci = bandstart;
      bool finished = true;
      for (; ci < cells; ++ci) {
        const bool price = IsPrice(C, ci, prod.pricecols);
        if (hideprices && price) break;  // only prices follow
        double cx = x;
        if (lines && ci == bandstart) cx += p;
        if (ci != bandstart && !(cx + width[ci] + 3 * pad < cellmm)) {
          nextstart = std::min(nextstart, ci);
          finished = false;
          break;
        }
        placed.push_back({ci, cx});
        celllines.emplace_back();
        x = cx;
        if (width[ci] > 0) {
          SelectCellFont(pass, r == 0 ? kTitle : price ? kPrice : kCell);
          celllines.back() = CellLinesMm(pass, width[ci], table, rowstart[r] + ci);
          nlines =
              std::max(nlines, static_cast<int32_t>(std::min<size_t>(celllines.back()->size(), INT32_MAX)));
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
      x = 0;
      for (size_t k = 0; k < placed.size(); ++k) {
        const Placed& pl = placed[k];
        const bool price = IsPrice(C, pl.ci, prod.pricecols);
        SelectCellFont(pass, r == 0 ? kTitle : price ? kPrice : kCell);
        const CellContent& cell = parsed[rowstart[r] + pl.ci];
        x = pl.x;
        if (width[pl.ci] > 0) {
          SelectCellColours(pass, cell, r == 0, price);
          const int32_t left = px(x), right = px(x + width[pl.ci] + 2 * pad);
          if (drawn) {
            Band(c, left, ry, right, ry + nlines * rowpx);
            const int32_t align = CellAlignment(set, price);
            // The text area: one pad in from both band edges.
            const int32_t tx0 = left + padpx, tw = right - padpx - tx0;
            TagScope td(c, r == 0 ? StructTag::HeaderCell : StructTag::Cell);
            int32_t n = 0;
            for (const std::u16string& line : *celllines[k]) {
              const int32_t top = ry + n * step;
              Band(c, tx0 - padpx, top, tx0 + tw + padpx, top + rowpx);
              int32_t tx = tx0;
              if (align != kCellLeft) {
                const int32_t lw = SurfaceTextWidth(pass, line);
                tx = align == kCellCentre ? tx0 + (tw - lw) / 2 : tx0 + tw - lw;
              }
              c.TextOut(tx, top, line);
              ++n;
            }
          }
          x += width[pl.ci] + (lines ? 2 : 3) * pad;
        }
        if (lines) {
          if (drawn) {
            const int32_t top = ry + ppx / 2 - ppx;
            const int32_t bottom = pass.Pos(st.y + nlines * rowmm) + ppx / 2 - 1;
            if (bars.empty()) bars.push_back(px(pl.x) - ppx);
            bars.push_back(px(x));
            for (int32_t bx : bars) Bar(c, bx, top, bx + ppx, bottom, set.Shape10);
          }
          x += p;
        }
      }
      st.y += nlines * rowmm;
      const bool last = r + 1 == nrows;
      const bool showed = !placed.empty() && x != 0;
      if (lines) {
        if (drawn && showed) {
          Bar(c, x0, pass.Pos(st.y), px(x), pass.Pos(st.y) + ppx, set.Shape10);
          if (r == 0) Bar(c, x0, pass.Pos(tabletop), px(x), pass.Pos(tabletop) + ppx, set.Shape10);
        }
        st.y += last && showed ? pass.LineHeight() + set.LineWidthEd2 / 2 : set.LineWidthEd2;
      } else if (last && showed) {
        if (drawn && !set.NoLineBelowVariantsCheck) {
          const int32_t lw = pass.Len(set.LineWidthEd2);
          c.SetPenColor(set.Shape10);
          c.SetPenWidth(lw);
          c.SetGeometricPen();
          const int32_t ly = pass.Pos(st.y) + lw / 2;
          c.MoveTo(px(x) - padpx, ly);
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
