#include "platform/measurer.h"

#include "platform/fontmap.h"
#include "render/units.h"

namespace platform {

QtTextMeasurer::QtTextMeasurer() = default;
QtTextMeasurer::~QtTextMeasurer() = default;

FontAdvances& QtTextMeasurer::For(const TFontSpec& font) {
  const Key key{font.name, font.size, font.bold, font.italic, font.pitch};
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    if (fonts_.size() >= 256) fonts_.clear();
    const int px = FontPixelSize(font.size, render::kMeasurePpi);
    it = fonts_.emplace(key, std::make_unique<FontAdvances>(MakeQFont(font, px))).first;
  }
  return *it->second;
}

FontAdvances& QtTextMeasurer::AtPixels(const TFontSpec& font, int32_t px) {
  px = px < 1 ? 1 : px;
  const Key key{font.name, px, font.bold, font.italic, font.pitch};
  auto it = bypixels_.find(key);
  if (it == bypixels_.end()) {
    if (bypixels_.size() >= 256) bypixels_.clear();
    it = bypixels_.emplace(key, std::make_unique<FontAdvances>(MakeQFont(font, px))).first;
  }
  return *it->second;
}

double QtTextMeasurer::RunWidthPx(const TFontSpec& font, double empx, const std::u16string& text) {
  // Unhinted advances scale with the size: a large reference face gives the
  // width at any exact em size.
  return AtPixels(font, kReferencePx).WidthF(text) * empx / kReferencePx;
}

void QtTextMeasurer::LineMetricsPx(const TFontSpec& font, int32_t px, int32_t& ascent, int32_t& descent) {
  FontAdvances& f = AtPixels(font, px);
  ascent = f.Ascent();
  descent = f.Descent();
}

int32_t QtTextMeasurer::TextWidthPx(const TFontSpec& font, const std::u16string& text) {
  return For(font).Width(text);
}

int32_t QtTextMeasurer::TextHeightPx(const TFontSpec& font, const std::u16string&) {
  return For(font).Height();
}

}  // namespace platform
