#include "render/layoutcache.h"

#include <cstring>
#include <typeinfo>

#include "render/surface.h"
#include "render/text.h"

namespace render {

namespace {

bool SameSurfaceMetrics(const TFontSpec& a, const TFontSpec& b) {
  return a.size == b.size && a.ppi == b.ppi && a.bold == b.bold && a.italic == b.italic &&
         a.underline == b.underline && a.strikeout == b.strikeout && a.charset == b.charset &&
         a.pitch == b.pitch && a.name == b.name;
}

}  // namespace

uint32_t LayoutCache::FontIdOf(DrawingSurface& s) {
  const std::type_index type(typeid(s));
  const TFontSpec& f = s.Font();
  const double em = s.FontEmPixels();
  auto same = [&](const SurfaceFont& sf) {
    return sf.type == type && sf.em == em && SameSurfaceMetrics(sf.font, f);
  };
  if (havelast_ && same(fonts_[lastfont_])) return lastfont_;
  uint32_t id = 0;
  for (; id < fonts_.size(); ++id)
    if (same(fonts_[id])) break;
  if (id == fonts_.size()) {
    SurfaceFont sf;
    sf.type = type;
    sf.em = em;
    sf.font = f;
    sf.font.color = 0;
    fonts_.push_back(sf);
    perfont_.emplace_back();
  }
  lastfont_ = id;
  havelast_ = true;
  return id;
}

void LayoutCache::Account(size_t chars) {
  chars_ += chars;
  if (++entries_ > kMaxEntries || chars_ > kMaxChars) Clear();
}

void LayoutCache::Clear() {
  for (PerFont& p : perfont_) {
    p.width.clear();
    p.height.clear();
  }
  cells_.clear();
  product_.clear();
  entries_ = 0;
  chars_ = 0;
}

int32_t LayoutCache::SurfaceWidth(DrawingSurface& s, const std::u16string& text) {
  auto& m = perfont_[FontIdOf(s)].width;
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  ++surfacecalls_;
  const int32_t w = s.TextWidth(text);
  Account(text.size());
  perfont_[FontIdOf(s)].width.emplace(text, w);
  return w;
}

int32_t LayoutCache::SurfaceHeight(DrawingSurface& s, const std::u16string& text) {
  auto& m = perfont_[FontIdOf(s)].height;
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  ++surfacecalls_;
  const int32_t h = s.TextHeight(text);
  Account(text.size());
  perfont_[FontIdOf(s)].height.emplace(text, h);
  return h;
}

Lines BreakCellText(MeasureCache& m, FontId font, double wmm, bool wrap, const std::u16string& text) {
  Lines out;
  // Without wrapping, or when it fits, the text is one line (no prefix is
  // then measured).
  if (!wrap || m.WidthMm(font, text) <= wmm) {
    if (!text.empty()) out.push_back(text);
    return out;
  }
  std::u16string buf;
  bool cut = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (m.WidthMm(font, buf + text[i]) > wmm) {
      // The last space at a position after the first character.
      const size_t sp = buf.size() > 1 ? buf.find_last_of(u' ') : std::u16string::npos;
      if (sp != std::u16string::npos && sp >= 1) {
        i -= buf.size() - sp;  // back to the space; the characters after it are read again
        buf.resize(sp);
        cut = true;
      }
      out.push_back(buf);
      buf.clear();
    }
    if (!(cut && text[i] == u' ')) buf.push_back(text[i]);
    cut = false;
  }
  if (!buf.empty()) out.push_back(buf);
  return out;
}

SharedLines LayoutCache::CellLines(MeasureCache& mc, FontId font, double wmm, bool wrap,
                                   const std::u16string& text) {
  LinesKey key{static_cast<FontId>(font * 2 + (wrap ? 1 : 0)), 0};
  std::memcpy(&key.limit, &wmm, sizeof key.limit);
  LinesMap& m = cells_[key];
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  auto lines = std::make_shared<const Lines>(BreakCellText(mc, font, wmm, wrap, text));
  Account(text.size());
  cells_[key].emplace(text, lines);
  return lines;
}

SharedLines LayoutCache::ProductLines(MeasureCache& mc, FontId font, const std::u16string& text,
                                      double limitmm) {
  LinesKey key{font, 0};
  std::memcpy(&key.limit, &limitmm, sizeof key.limit);
  LinesMap& m = product_[key];
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  auto lines = std::make_shared<const Lines>(WrapProductText(mc, font, text, limitmm));
  Account(text.size());
  product_[key].emplace(text, lines);
  return lines;
}

}  // namespace render
