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
// These three are keyed by the text itself. In front of them each product
// has a slot (found by its address, visited in the order of the last pass)
// that keeps its wrapped texts and its parsed, measured table cells, so a
// pass over unchanged products hashes no text. A slot is only a shortcut:
// it holds copies of the texts it was made from and every use compares
// them with the product's texts of the moment (and the font ids and widths
// with those asked for), so an edited text, other settings, another
// resolution, zoom or font measure afresh.
// Each cache starts afresh when it grows beyond its bounds; slots that no
// pass visits any more (products deleted, or moved by an undo) are dropped
// at the start of a pass.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "core/records.h"
#include "core/settings.h"
#include "render/measure.h"
#include "render/tablecells.h"

namespace render {

class DrawingSurface;

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

  // ---- through the product's slot (while a RenderPass exists) ----
  // The lines of `text`, which is p.name or p.description, as ProductLines.
  SharedLines ProductLines(MeasureCache& m, FontId font, const Product& p, const std::u16string& text,
                           double limitmm);
  // The cells of p's variant table, parsed; the same object while no cell
  // text and no row changes.
  std::shared_ptr<TableCells> Cells(const Product& p);
  // SurfaceWidth, MeasureCache::WidthPx and CellLines of cell i of `t`.
  int32_t CellSurfaceWidth(DrawingSurface& s, TableCells& t, uint32_t i);
  int32_t CellWidthPx(MeasureCache& m, FontId font, TableCells& t, uint32_t i);
  SharedLines CellLines(MeasureCache& m, FontId font, double wmm, bool wrap, TableCells& t, uint32_t i);

  // A layout pass starts (drops slots no recent pass visited).
  void BeginPass();
  // The document's texts may have changed since the last call: the slots
  // compare them again. Every RenderPass calls it when it is made; the
  // texts must not change while one exists (within it a slot compares each
  // text once).
  void TextsMayHaveChanged() { ++epoch_; }
  size_t Slots() const { return slots_.size(); }

  // The id of the surface's current font for the caches above, and a note
  // that the surface's current font has that id (a pass that assigns a
  // font it has measured before says so, sparing the comparison).
  uint32_t SurfaceFontId(DrawingSurface& s) { return FontIdOf(s); }
  void NoteSurfaceFont(const DrawingSurface& s, uint32_t id);

  // Statistics for tests and benchmarks.
  uint64_t SurfaceMeasurements() const { return surfacecalls_; }
  void Clear();

  static constexpr size_t kMaxEntries = 200000;
  static constexpr size_t kMaxChars = 16 * 1024 * 1024;
  // Wrapped texts a slot keeps (name and description in one or two fonts).
  static constexpr size_t kSlotTexts = 4;

 private:
  struct SurfaceFont {
    std::type_index type{typeid(void)};
    TFontSpec font;
    double em = 0;  // DrawingSurface::FontEmPixels: surfaces may draw to it
  };
  struct PerFont {
    PerFont() { ClearOneChar(); }
    void ClearOneChar() {
      onewidth.fill(-1);
      oneheight.fill(-1);
    }
    std::unordered_map<std::u16string, int32_t> width, height;
    // One-character ASCII texts (the space of every cell) without a lookup;
    // -1: not measured.
    std::array<int32_t, 128> onewidth, oneheight;
  };
  // A one-character ASCII text's entry in `one`, else null.
  static int32_t* OneChar(std::array<int32_t, 128>& one, const std::u16string& text) {
    return text.size() == 1 && text[0] < 128 ? &one[text[0]] : nullptr;
  }
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

  struct SlotText {
    FontId font;
    uint64_t limit;
    std::u16string text;
    SharedLines lines;
    const std::u16string* source;  // the product's text it last equalled
    uint64_t checked;              // in that epoch
  };
  struct ProductSlot {
    const Product* owner = nullptr;
    uint64_t pass = 0;  // the last pass that used it
    std::vector<SlotText> texts;
    uint32_t nexttext = 0;                  // the entry replaced next when texts is full
    std::vector<std::u16string> celltexts;  // the table's texts, row-major, as parsed
    std::shared_ptr<TableCells> cells;
    uint64_t cellschecked = 0;  // the epoch the table last equalled the product's
  };
  ProductSlot& SlotOf(const Product& p);
  static bool TableUnchanged(const ProductSlot& s, const Product& p);
  void DropSlots();
  void ClearTexts();

  std::vector<ProductSlot> slots_;
  std::unordered_map<const Product*, uint32_t> slotof_;
  uint32_t cur_ = 0;  // the slot used last; the next product is expected after it
  uint64_t pass_ = 1;
  uint64_t epoch_ = 1;    // see TextsMayHaveChanged
  size_t touched_ = 0;    // slots the current pass used
  size_t slotchars_ = 0;  // characters of the texts the slots copied

  uint32_t lastfont_ = 0;
  uint64_t lastserial_ = 0;  // the font serial lastfont_ belongs to (0: none)
  size_t entries_ = 0, chars_ = 0;
  uint64_t surfacecalls_ = 0;
};

// The table cell rule (uncached): characters are appended while the line
// fits in `wmm`; a character that does not fit ends the line at the
// buffer's last space after its first character (the text after it is read
// again and the space dropped), or right there inside the word.
Lines BreakCellText(MeasureCache& m, FontId font, double wmm, bool wrap, const std::u16string& text);

}  // namespace render
