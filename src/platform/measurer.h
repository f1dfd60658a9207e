// The layout measurer: text sizes at 300 pixels per inch with the platform's
// fonts, hinting off, independent of any surface.
#pragma once

#include <map>
#include <memory>
#include <tuple>

#include "platform/textmetrics.h"
#include "render/measure.h"

namespace platform {

class QtTextMeasurer : public render::TextMeasurer {
 public:
  // Needs a QGuiApplication (see EnsureGuiApplication).
  QtTextMeasurer();
  ~QtTextMeasurer() override;

  int32_t TextWidthPx(const TFontSpec& font, const std::u16string& text) override;
  int32_t TextHeightPx(const TFontSpec& font, const std::u16string& text) override;
  // Advances are never negative, so a longer text is never narrower.
  render::WidthLaw Law() const override { return render::WidthLaw::Monotone; }
  // The height is the font's line height whatever the text.
  bool HeightOfFontOnly() const override { return true; }
  // The QPainter surfaces' own rule (platform/qtsurface): advances of a
  // 300-pixel reference face scaled to the em size, ascent and descent of
  // the face at the pixel size.
  double RunWidthPx(const TFontSpec& font, double empx, const std::u16string& text) override;
  void LineMetricsPx(const TFontSpec& font, int32_t px, int32_t& ascent, int32_t& descent) override;
  static constexpr int kReferencePx = 300;

 private:
  FontAdvances& For(const TFontSpec& font);
  FontAdvances& AtPixels(const TFontSpec& font, int32_t px);
  using Key = std::tuple<std::u16string, int32_t, bool, bool, uint8_t>;
  std::map<Key, std::unique_ptr<FontAdvances>> fonts_;
  std::map<Key, std::unique_ptr<FontAdvances>> bypixels_;  // size field: pixels
};

}  // namespace platform
