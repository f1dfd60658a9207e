// Per-document caches of the layout renderers, held by the RenderSession.
//
// Every page drawn lays out the whole catalog, so a pass must not measure
// the same thing twice. The caches hold results that are pure functions of
// their keys and therefore give exactly what uncached work would:
//  - surface text metrics (variant tables measure in surface pixels): keyed
//    on the surface's type and the font's metric properties including its
//    pixels-per-inch (colour does not matter). Surfaces of one type measure
//    a font the same way whatever their device.
//  - table cell lines: the wrapping of a cell text into a column width, as
//    the layout measures it (millimetres at 300 ppi), so row heights do not
//    depend on the surface.
//  - wrapped product texts: the lines of a name or description for a
//    measuring font and a limit.
// Each cache starts afresh when it grows beyond its bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "core/settings.h"
#include "render/measure.h"

namespace render {

class DrawingSurface;

using Lines = std::vector<std::u16string>;
using SharedLines = std::shared_ptr<const Lines>;

class LayoutCache {
 public:
  // Width / height in surface pixels of `text` in the surface's current font.
  int32_t SurfaceWidth(DrawingSurface& s, const std::u16string& text);
  int32_t SurfaceHeight(DrawingSurface& s, const std::u16string& text);

  // The lines a table cell text breaks into in column width `wmm` with the
  // measuring font `font`; `wrap` false gives the text as one line.
  SharedLines CellLines(MeasureCache& m, FontId font, double wmm, bool wrap, const std::u16string& text);

  // WrapProductText through the cache.
  SharedLines ProductLines(MeasureCache& m, FontId font, const std::u16string& text, double limitmm);

  // Statistics for tests and benchmarks.
  uint64_t SurfaceMeasurements() const { return surfacecalls_; }
  void Clear();

  static constexpr size_t kMaxEntries = 200000;
  static constexpr size_t kMaxChars = 16 * 1024 * 1024;

 private:
  struct SurfaceFont {
    std::type_index type{typeid(void)};
    TFontSpec font;
    double em = 0;  // DrawingSurface::FontEmPixels: surfaces may draw to it
  };
  struct PerFont {
    std::unordered_map<std::u16string, int32_t> width, height;
  };
  using LinesMap = std::unordered_map<std::u16string, SharedLines>;
  uint32_t FontIdOf(DrawingSurface& s);
  void Account(size_t chars);

  std::vector<SurfaceFont> fonts_;
  std::vector<PerFont> perfont_;
  // Product lines by (measure font, limit bits); cell lines by (measure
  // font * 2 + wrap flag, width bits).
  struct LinesKey {
    FontId font;
    uint64_t limit;
    bool operator==(const LinesKey& o) const { return font == o.font && limit == o.limit; }
  };
  struct LinesKeyHash {
    size_t operator()(const LinesKey& k) const { return std::hash<uint64_t>()(k.limit * 31 + k.font); }
  };
  std::unordered_map<LinesKey, LinesMap, LinesKeyHash> product_, cells_;

  uint32_t lastfont_ = 0;
  bool havelast_ = false;
  size_t entries_ = 0, chars_ = 0;
  uint64_t surfacecalls_ = 0;
};

// The table cell rule (uncached): characters are appended while the line
// fits in `wmm`; a character that does not fit ends the line at the
// buffer's last space after its first character (the text after it is read
// again and the space dropped), or right there inside the word.
Lines BreakCellText(MeasureCache& m, FontId font, double wmm, bool wrap, const std::u16string& text);

}  // namespace render
