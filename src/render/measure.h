// Text measurement for layout decisions: texts are measured in pixels at a
// fixed 300 ppi with the unzoomed role font, so page breaks depend neither
// on zoom nor on the surface. The platform implements TextMeasurer with its
// font engine (hinting off); tests use fixed metrics.
//
// MeasureCache lives as long as the document (it belongs to the
// RenderSession) and is shared by all passes. It keys on a small FontId
// interned once per font rather than on a font description built per call;
// cached and uncached results are identical.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/settings.h"

namespace render {

// What a measurer promises about widths of growing texts. Text wrapping
// uses the promise to find line breaks with fewer measurements; every
// choice gives exactly the breaks of the character-by-character rule.
enum class WidthLaw {
  Unknown,   // nothing: every prefix is measured
  Monotone,  // appending characters never makes a text narrower
  Additive,  // width(a + b) == width(a) + width(b) for all texts
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Text cell width / height in pixels at 300 ppi for `font` at font.size
  // points (font.ppi and font.color are ignored).
  virtual int32_t TextWidthPx(const TFontSpec& font, const std::u16string& text) = 0;
  virtual int32_t TextHeightPx(const TFontSpec& font, const std::u16string& text) = 0;
  // Unknown is always correct but makes the introduction rule measure
  // quadratically many prefixes of a long line; a font engine whose glyph
  // advances are never negative (no kerning that outweighs a glyph) should
  // say Monotone.
  virtual WidthLaw Law() const { return WidthLaw::Unknown; }
  // True when TextHeightPx depends on the font alone, never on the text
  // (the cache then keeps one height per font instead of one per text).
  virtual bool HeightOfFontOnly() const { return false; }

  // The metrics a surface draws and places text with, from the same font
  // engine as the layout's measurements, so every surface (bitmap, printer,
  // vector PDF) gives the same widths and line heights. `font.size` and
  // `font.ppi` are ignored: the width of `text` at the unrounded em size
  // `empx` pixels, and the rounded ascent and descent of the font drawn at
  // the whole pixel size `px`. The defaults scale the 300-ppi measurements.
  virtual double RunWidthPx(const TFontSpec& font, double empx, const std::u16string& text);
  virtual void LineMetricsPx(const TFontSpec& font, int32_t px, int32_t& ascent, int32_t& descent);
};

using FontId = uint32_t;

class MeasureCache {
 public:
  explicit MeasureCache(TextMeasurer& m) : measurer_(&m) {}

  // The id of `font` at `points` (its colour and ppi do not matter).
  FontId Intern(const TFontSpec& font, int32_t points);
  const TFontSpec& FontOf(FontId id) const { return fonts_[id]; }

  int32_t WidthPx(FontId id, const std::u16string& text);
  int32_t HeightPx(FontId id, const std::u16string& text);
  // Pixels at 300 ppi as millimetres (px * 25.39995 / 300).
  double WidthMm(FontId id, const std::u16string& text);
  double HeightMm(FontId id, const std::u16string& text);

  WidthLaw Law() const { return measurer_->Law(); }
  TextMeasurer& measurer() { return *measurer_; }

  // Number of measurements held, and those actually asked of the measurer.
  size_t Entries() const { return entries_; }
  uint64_t MeasurerCalls() const { return calls_; }
  // Forgets all measurements (fonts keep their ids).
  void Clear();

  // Upper bounds of cached measurements and of the characters they hold;
  // beyond either the cache starts afresh.
  static constexpr size_t kMaxEntries = 400000;
  static constexpr size_t kMaxChars = 16 * 1024 * 1024;

 private:
  struct PerFont {
    PerFont() { onechar.fill(-1); }
    std::unordered_map<std::u16string, int32_t> width, height;
    int32_t fontheight = -1;  // with HeightOfFontOnly, once measured
    // Widths of one-character ASCII texts (-1: not measured): the space the
    // tables and wrapping ask for all the time, without a lookup.
    std::array<int32_t, 128> onechar;
  };
  void Account(size_t chars);

  TextMeasurer* measurer_;
  std::vector<TFontSpec> fonts_;
  std::vector<PerFont> cache_;
  size_t entries_ = 0;
  size_t chars_ = 0;
  uint64_t calls_ = 0;
};

}  // namespace render
