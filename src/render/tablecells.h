// The cells of one product's variant table as the table renderers read
// them: each text parsed once (colour suffix, control characters) and what
// the passes measured of it, so a pass over an unchanged table neither
// parses nor looks a text up by its characters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/settings.h"
#include "render/measure.h"

namespace render {

using Lines = std::vector<std::u16string>;
using SharedLines = std::shared_ptr<const Lines>;

// A cell text with its optional colour suffix: a text longer than seven
// characters whose 8th- and 7th-last characters are '#' carries the colour
// RRGGBB of its last six characters (non-hex digits count as 0).
struct CellContent {
  std::u16string shown;  // control characters removed, suffix cut off
  bool hascolor = false;
  TColor color = 0;  // 0x00BBGGRR
};
CellContent ParseCellText(const std::u16string& text);

// Marks a measurement not taken yet.
constexpr uint32_t kNoFontId = UINT32_MAX;

// Row-major cells of a table (row r holds rowstart[r] ... rowstart[r + 1] - 1)
// with the last measurement of each cell. A measurement is reused only for
// the same font id (fonts are interned with everything that changes a
// width: surface kind, size, resolution, zoom) and, for lines, the same
// column width and wrapping flag; anything else measures again.
struct TableCells {
  std::vector<CellContent> parsed;
  std::vector<uint32_t> rowstart;  // one more than the rows
  uint32_t maxcells = 0;           // cells of the longest row
  uint32_t row0cells = 0;          // cells of the title row

  struct Measured {
    uint32_t surfacefont = kNoFontId;  // LayoutCache's surface font id
    int32_t surfacepx = 0;
    FontId measurefont = kNoFontId;  // MeasureCache's font id
    int32_t measurepx = 0;
    FontId linesfont = kNoFontId;  // with the wrap flag: font * 2 + wrap
    uint64_t lineswidth = 0;       // bits of the column width in mm
    SharedLines lines;
  };
  std::vector<Measured> measured;  // one per cell, as parsed
};

}  // namespace render
