#include "render/varianttable.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/furniture.h"
#include "render/text.h"

namespace render {

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return 0;
}

}  // namespace

bool BeginTableRow(RenderPass& pass, PageState& st, uint32_t r, int32_t passnr, double& tabletop,
                   const std::u16string& katname) {
  if (passnr == 1 && st.y > pass.UsableBottom(st)) {
    BreakPage(pass, st, katname);
    st.y += pass.LineHeight();
  }
  const bool drawn = passnr == 1 && pass.Drawn(st);
  if (r == 0 && pass.set.LinesInVariantCheck) {
    tabletop = st.y;
    st.y += pass.set.LineWidthEd2;
  }
  return drawn;
}

void Band(DrawingSurface& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x2 <= x1 || y2 <= y1) return;
  c.Rectangle(x1, y1, x2, y2);
}

void Bar(DrawingSurface& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor col) {
  if (x2 <= x1 || y2 <= y1) return;
  c.SetPenStyle(PenStyle::Clear);
  c.SetBrushColor(col);
  // A clear pen fills one pixel less on the right and bottom.
  c.Rectangle(x1, y1, x2 + 1, y2 + 1);
}

void SelectCellFont(RenderPass& pass, CellRole r) {
  const CatalogSettings& set = pass.set;
  pass.SelectRoleFont(r == kTitle ? set.FontDialog6 : r == kPrice ? set.FontDialog5 : set.FontDialog7);
}

bool IsPrice(int64_t count, int64_t c, int32_t pricecols) { return count - 1 - c < pricecols; }

void SelectCellColours(RenderPass& pass, const CellContent& cell, bool title, bool price) {
  const CatalogSettings& set = pass.set;
  TColor col = title ? set.Shape8 : price ? set.Shape9 : set.Shape7;
  if (cell.hascolor) col = cell.color;
  DrawingSurface& c = pass.canvas;
  c.SetBrushColor(col);
  c.SetPenColor(col);
  c.SetPenWidth(1);
  c.SetTransparentText();
}

int32_t CellAlignment(const CatalogSettings& set, bool price) {
  if (price) return set.PreisCentCheck ? kCellCentre : set.PreisLinksCheck ? kCellLeft : kCellRight;
  return set.AndereRechtsCheck ? kCellRight : set.AndereZentriertCheck ? kCellCentre : kCellLeft;
}

CellContent ParseCellText(const std::u16string& text) {
  CellContent out;
  const size_t n = text.size();
  if (n > 7 && text[n - 8] == u'#' && text[n - 7] == u'#') {
    int v[6];
    for (int i = 0; i < 6; ++i) v[i] = HexDigit(text[n - 6 + i]);
    const int r = v[0] * 16 + v[1], g = v[2] * 16 + v[3], b = v[4] * 16 + v[5];
    out.hascolor = true;
    out.color = static_cast<TColor>(r + g * 256 + b * 65536);
  }
  out.shown = StripControlChars(out.hascolor ? text.substr(0, n - 8) : text);
  return out;
}

int32_t SurfaceTextWidth(RenderPass& pass, const std::u16string& text) {
  return pass.session.layoutcache().SurfaceWidth(pass.canvas, text);
}
int32_t SurfaceTextHeight(RenderPass& pass, const std::u16string& text) {
  return pass.session.layoutcache().SurfaceHeight(pass.canvas, text);
}

SharedLines CellLinesMm(RenderPass& pass, double wmm, TableCells& cells, uint32_t i) {
  return pass.session.layoutcache().CellLines(pass.session.cache(), pass.MeasureFont(), wmm,
                                              pass.set.DoLineBreakinTableCellsCheck, cells, i);
}

std::vector<double> ColumnWidthsMm(RenderPass& pass, const Product& prod, const VariantColumns& cols,
                                   double capmm) {
  const CatalogSettings& set = pass.set;
  std::vector<double> w(cols.maxcells, 0.0);
  TableCells& t = *cols.cells;
  LayoutCache& lc = pass.session.layoutcache();
  const uint32_t nrows = static_cast<uint32_t>(t.rowstart.size()) - 1;
  for (uint32_t r = 0; r < nrows; ++r) {
    const uint32_t cells = t.rowstart[r + 1] - t.rowstart[r];
    for (uint32_t ci = 0; ci < cells; ++ci) {
      SelectCellFont(pass, r == 0 ? kTitle : IsPrice(cells, ci, prod.pricecols) ? kPrice : kCell);
      const double textmm =
          MeasurePxToMm(lc.CellWidthPx(pass.session.cache(), pass.MeasureFont(), t, t.rowstart[r] + ci));
      double v = std::max(textmm, pass.TextWidthMm(u" "));
      if (set.DefMaxCellWidthCheck) v = std::min(v, set.MaxCellWidthEd);
      if (capmm > 0) v = std::min(v, capmm);
      w[ci] = r == 0 ? v : std::max(w[ci], v);
    }
  }
  if (prod.overwrite && prod.fixcellwidth) {
    for (uint32_t ci = 0; ci < cols.maxcells && ci < 10; ++ci) w[ci] = prod.colwidth[ci];
  } else if (!prod.overwrite && set.DefineFixedWidthCheck) {
    for (uint32_t ci = 0; ci < cols.maxcells && ci < 10; ++ci) w[ci] = set.DefaultColumnWidth(ci);
  }
  if ((prod.overwrite && prod.fixtablewidth) || (!prod.overwrite && set.FixWidthForTableCheck)) {
    const double t = prod.overwrite ? prod.tablewidth : set.FixedWidthForTableEd;
    double sum = 0;
    for (uint32_t ci = 0; ci < cols.row0cells; ++ci) sum += w[ci];
    if (t > sum && cols.row0cells > 0)
      for (uint32_t ci = 0; ci < cols.row0cells; ++ci) w[ci] += (t - sum) / cols.row0cells;
  }
  for (double& v : w)
    if (!(v >= 0)) v = 0;
  return w;
}

int32_t TableCellText(RenderPass& pass, int32_t x, int32_t y, int32_t step, int32_t align, int32_t w,
                      double wmm, TableCells& cells, uint32_t i, int32_t rowpx, bool draw) {
  const SharedLines lines = CellLinesMm(pass, wmm, cells, i);
  if (draw) {
    DrawingSurface& c = pass.canvas;
    const int32_t pad = pass.OneMm();
    int32_t n = 0;
    for (const std::u16string& line : *lines) {
      const int32_t top = y + n * step;
      Band(c, x - pad, top, x + w + pad, top + rowpx);
      int32_t tx = x;
      if (align != kCellLeft) {
        const int32_t tw = SurfaceTextWidth(pass, line);
        tx = align == kCellCentre ? x + (w - tw) / 2 : x + w - tw;
      }
      c.TextOut(tx, top, line);
      ++n;
    }
  }
  return static_cast<int32_t>(std::min<size_t>(lines->size(), INT32_MAX));
}

VariantColumns MeasureVariantColumns(RenderPass& pass, Product& prod, int32_t capwidth) {
  const CatalogSettings& set = pass.set;
  LayoutCache& lc = pass.session.layoutcache();
  std::shared_ptr<TableCells> table = lc.Cells(prod);
  TableCells& t = *table;
  const std::vector<uint32_t>& rowstart = t.rowstart;
  const uint32_t nrows = static_cast<uint32_t>(rowstart.size()) - 1;
  const uint32_t maxcells = t.maxcells;
  std::vector<int32_t> width(maxcells, 0);
  const int32_t maxcell = pass.Len(set.MaxCellWidthEd);
  bool anycell = false;
  for (uint32_t r = 0; r < nrows; ++r) {
    const uint32_t cells = rowstart[r + 1] - rowstart[r];
    for (uint32_t ci = 0; ci < cells; ++ci) {
      SelectCellFont(pass, r == 0 ? kTitle : IsPrice(cells, ci, prod.pricecols) ? kPrice : kCell);
      anycell = true;
      int32_t w =
          std::max(lc.CellSurfaceWidth(pass.canvas, t, rowstart[r] + ci), SurfaceTextWidth(pass, u" "));
      if (set.DefMaxCellWidthCheck) w = std::min(w, maxcell);
      if (capwidth > 0) w = std::min(w, capwidth);
      width[ci] = r == 0 ? w : std::max(width[ci], w);
    }
  }
  const uint32_t row0cells = t.row0cells;
  // Fixed column widths (the first ten columns).
  if (prod.overwrite && prod.fixcellwidth) {
    for (uint32_t ci = 0; ci < maxcells && ci < 10; ++ci) width[ci] = pass.Len(prod.colwidth[ci]);
  } else if (!prod.overwrite && set.DefineFixedWidthCheck) {
    for (uint32_t ci = 0; ci < maxcells && ci < 10; ++ci) width[ci] = pass.Len(set.DefaultColumnWidth(ci));
  }
  // Fixed table width: the title row's columns grow evenly, never shrink.
  if ((prod.overwrite && prod.fixtablewidth) || (!prod.overwrite && set.FixWidthForTableCheck)) {
    const double mm = prod.overwrite ? prod.tablewidth : set.FixedWidthForTableEd;
    const double t = mm / kMmPerInch * pass.dpi * pass.zoom / 100.0;
    double sum = 0;
    for (uint32_t ci = 0; ci < row0cells; ++ci) sum += width[ci];
    if (t > sum && row0cells > 0)
      for (uint32_t ci = 0; ci < row0cells; ++ci) width[ci] = TruncClamp(width[ci] + (t - sum) / row0cells);
  }
  for (uint32_t ci = 0; ci < row0cells; ++ci) prod.variants[0].cells[ci].measuredwidth = width[ci];
  // Row height: fixed, or that of the font of the last cell measured.
  int32_t rowpx;
  double rowmm;
  if ((prod.overwrite && prod.fixcellheight) || (!prod.overwrite && set.DefineFixedHeightCheck)) {
    rowmm = prod.overwrite ? prod.rowheight : set.RxSpinEdit6;
    rowpx = pass.Len(rowmm);
  } else {
    if (!anycell) SelectCellFont(pass, kTitle);
    rowpx = SurfaceTextHeight(pass, u" ");
    rowmm = pass.TextHeightMm(u" ");
  }
  VariantColumns out;
  out.cells = std::move(table);
  out.width = std::move(width);
  out.maxcells = maxcells;
  out.row0cells = row0cells;
  out.rowpx = rowpx;
  out.rowmm = rowmm;
  return out;
}

void DrawVariantTable(RenderPass& pass, PageState& st, Product& prod, int32_t x0, int32_t passnr, bool centre,
                      const std::u16string& katname) {
  const CatalogSettings& set = pass.set;
  DrawingSurface& c = pass.canvas;
  const uint32_t nrows = prod.variants.Count();
  if (nrows == 0) return;

  // ---- 1. Column widths (every pass, every page) ----
  VariantColumns cols = MeasureVariantColumns(pass, prod, 0);
  // Line counts (and so row heights and page breaks) come from the layout
  // measurement, not from the surface.
  const std::vector<double> widthmm = ColumnWidthsMm(pass, prod, cols, 0);
  TableCells& table = *cols.cells;
  const std::vector<CellContent>& parsed = table.parsed;
  const std::vector<uint32_t>& rowstart = table.rowstart;
  const std::vector<int32_t>& width = cols.width;
  const uint32_t row0cells = cols.row0cells;
  const int32_t rowpx = cols.rowpx;
  const double rowmm = cols.rowmm;
  if (set.DonotShowVariantsCheck) return;

  // ---- 2. Placement ----
  const int32_t pad = pass.OneMm();
  const bool lines = set.LinesInVariantCheck;
  const int32_t p = lines ? pass.Len(set.LineWidthEd2) : 0;
  const int64_t C = VariantColumnCount(prod);
  int64_t tablew = 0;
  for (uint32_t ci = 0; ci < row0cells; ++ci) tablew += width[ci] + 3 * pad;
  int32_t indent = 0;
  if (centre && set.ZentrTabelleCheck)
    indent = static_cast<int32_t>((int64_t(pass.params.width) - st.leftpx - st.rightpx - tablew) / 2);
  const bool hideprices = set.DonotShowPriceColumnscheck;

  // ---- 3. Rows ----
  double tabletop = st.y;
  std::vector<int32_t> bars;  // right edges of the cells so far (bar starts)
  TagScope tagged(c, StructTag::Table, passnr == 1);
  for (uint32_t r = 0; r < nrows; ++r) {
    VariantRow& row = prod.variants[r];
    const bool drawn = BeginTableRow(pass, st, r, passnr, tabletop, katname);
    TagScope tr(c, StructTag::TableRow, drawn);
    if (passnr == 0) row.lines = 1;
    const int32_t ry = pass.Pos(st.y);
    const int32_t step = pass.Pos(rowmm);
    int32_t x = x0;
    bars.clear();
    const uint32_t cells = rowstart[r + 1] - rowstart[r];
    for (uint32_t ci = 0; ci < cells; ++ci) {
      const bool price = IsPrice(C, ci, prod.pricecols);
      if (hideprices && price) continue;
      if (lines && ci == 0) x += p;
      const int32_t cellleft = x + indent;
      SelectCellFont(pass, r == 0 ? kTitle : price ? kPrice : kCell);
      const CellContent& cell = parsed[rowstart[r] + ci];
      if (width[ci] > 0) {
        SelectCellColours(pass, cell, r == 0, price);
        if (drawn) Band(c, x + indent, ry, x + indent + width[ci] + 2 * pad, ry + row.lines * rowpx);
        TagScope td(c, r == 0 ? StructTag::HeaderCell : StructTag::Cell, drawn);
        const int32_t n = TableCellText(pass, x + indent + pad, ry, step, CellAlignment(set, price),
                                        width[ci], widthmm[ci], table, rowstart[r] + ci, rowpx, drawn);
        row.lines = std::max(row.lines, n);
        x += width[ci] + (lines ? 2 : 3) * pad;
      }
      if (lines) {
        if (drawn) {
          const int32_t top = ry + p / 2 - p;
          const int32_t bottom = pass.Pos(st.y + row.lines * rowmm) + p / 2 - 1;
          // Left of column 0 a bar ends at the cell's left edge; after each
          // cell one starts at its right edge. All are drawn again with the
          // row's current height.
          if (ci == 0) bars.push_back(cellleft - p);
          bars.push_back(x + indent);
          for (int32_t bx : bars) Bar(c, bx, top, bx + p, bottom, set.Shape10);
        }
        x += p;
      }
    }
    st.y += row.lines * rowmm;
    const bool last = r + 1 == nrows;
    const bool showed = x != x0;
    if (lines) {
      if (drawn && showed) {
        Bar(c, x0 + indent, pass.Pos(st.y), x + indent, pass.Pos(st.y) + p, set.Shape10);
        if (r == 0) Bar(c, x0 + indent, pass.Pos(tabletop), x + indent, pass.Pos(tabletop) + p, set.Shape10);
      }
      if (last && showed)
        st.y += pass.LineHeight() + set.LineWidthEd2 / 2;
      else
        st.y += set.LineWidthEd2;
    } else if (last && showed) {
      if (drawn && !set.NoLineBelowVariantsCheck) {
        const int32_t lw = pass.Len(set.LineWidthEd2);
        c.SetPenColor(set.Shape10);
        c.SetPenWidth(lw);
        c.SetGeometricPen();
        const int32_t ly = pass.Pos(st.y) + lw / 2;
        c.MoveTo(x - pad + indent, ly);
        c.LineTo(x0 + indent, ly);
      }
      st.y += pass.LineHeight() + set.LineWidthEd2 / 2;
    }
  }
  c.SetBrushStyle(BrushStyle::Clear);
  c.SetPenStyle(PenStyle::Solid);
}

}  // namespace render
