#include "render/measure.h"

#include "render/units.h"

namespace render {

namespace {
bool SameMetrics(const TFontSpec& a, const TFontSpec& b) {
  return a.size == b.size && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
         a.strikeout == b.strikeout && a.charset == b.charset && a.pitch == b.pitch && a.name == b.name;
}
}  // namespace

double TextMeasurer::RunWidthPx(const TFontSpec& font, double empx, const std::u16string& text) {
  // At 72 points the em is kMeasurePpi pixels.
  TFontSpec f = font;
  f.size = 72;
  return TextWidthPx(f, text) * empx / kMeasurePpi;
}

void TextMeasurer::LineMetricsPx(const TFontSpec& font, int32_t px, int32_t& ascent, int32_t& descent) {
  TFontSpec f = font;
  f.size = 72;
  const double h = static_cast<double>(TextHeightPx(f, u" ")) * px / kMeasurePpi;
  ascent = static_cast<int32_t>(h * 0.8 + 0.5);
  descent = static_cast<int32_t>(h + 0.5) - ascent;
}

FontId MeasureCache::Intern(const TFontSpec& font, int32_t points) {
  TFontSpec f = font;
  f.size = points < 1 ? 1 : points;
  f.color = 0;
  f.ppi = kMeasurePpi;
  for (size_t i = 0; i < fonts_.size(); ++i)
    if (SameMetrics(fonts_[i], f)) return static_cast<FontId>(i);
  fonts_.push_back(f);
  cache_.emplace_back();
  return static_cast<FontId>(fonts_.size() - 1);
}

void MeasureCache::Account(size_t chars) {
  chars_ += chars;
  if (++entries_ > kMaxEntries || chars_ > kMaxChars) Clear();
}

int32_t MeasureCache::WidthPx(FontId id, const std::u16string& text) {
  if (text.size() == 1 && text[0] < 128) {
    const int32_t known = cache_[id].onechar[text[0]];
    if (known >= 0) return known;
    ++calls_;
    const int32_t px = measurer_->TextWidthPx(fonts_[id], text);
    Account(1);  // may clear the cache: store afterwards
    cache_[id].onechar[text[0]] = px;
    return px;
  }
  auto& m = cache_[id].width;
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  ++calls_;
  const int32_t px = measurer_->TextWidthPx(fonts_[id], text);
  Account(text.size());
  cache_[id].width.emplace(text, px);
  return px;
}

int32_t MeasureCache::HeightPx(FontId id, const std::u16string& text) {
  if (measurer_->HeightOfFontOnly()) {
    // Every line of every description asks for its height: no lookup by text.
    int32_t& h = cache_[id].fontheight;
    if (h < 0) {
      ++calls_;
      h = measurer_->TextHeightPx(fonts_[id], text);
      Account(0);
    }
    return h;
  }
  auto& m = cache_[id].height;
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  ++calls_;
  const int32_t px = measurer_->TextHeightPx(fonts_[id], text);
  Account(text.size());
  cache_[id].height.emplace(text, px);
  return px;
}

double MeasureCache::WidthMm(FontId id, const std::u16string& text) {
  return MeasurePxToMm(WidthPx(id, text));
}
double MeasureCache::HeightMm(FontId id, const std::u16string& text) {
  return MeasurePxToMm(HeightPx(id, text));
}

void MeasureCache::Clear() {
  for (auto& p : cache_) {
    p.width.clear();
    p.height.clear();
    p.fontheight = -1;
    p.onechar.fill(-1);
  }
  entries_ = 0;
  chars_ = 0;
}

}  // namespace render
