// Text metrics of one font at one pixel size, as the surfaces and the
// layout measurer use them: a text's width is the sum of its characters'
// advances (no kerning), its height the font's ascent plus descent,
// whatever the text. Unhinted advances scale exactly with the size, so
// widths do not depend on the device.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <string>

namespace platform {

class FontAdvances {
 public:
  explicit FontAdvances(const QFont& font);

  const QFont& font() const { return font_; }
  // Unrounded width in pixels, and rounded to whole pixels.
  double WidthF(const std::u16string& text);
  int Width(const std::u16string& text);
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int Height() const { return ascent_ + descent_; }

 private:
  QFont font_;
  QFontMetricsF metrics_;
  QHash<char32_t, double> advance_;
  int ascent_, descent_;
};

}  // namespace platform
