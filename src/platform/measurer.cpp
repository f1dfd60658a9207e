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

int32_t QtTextMeasurer::TextWidthPx(const TFontSpec& font, const std::u16string& text) {
  return For(font).Width(text);
}

int32_t QtTextMeasurer::TextHeightPx(const TFontSpec& font, const std::u16string&) {
  return For(font).Height();
}

}  // namespace platform
