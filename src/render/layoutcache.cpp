#include "render/layoutcache.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "render/surface.h"
#include "render/text.h"

namespace render {

namespace {

// Text equality by bytes (the slots compare every text they keep on every
// use, and the library's character-wise comparison is several times slower).
bool SameText(const std::u16string& a, const std::u16string& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

bool SameSurfaceMetrics(const TFontSpec& a, const TFontSpec& b) {
  return a.size == b.size && a.ppi == b.ppi && a.bold == b.bold && a.italic == b.italic &&
         a.underline == b.underline && a.strikeout == b.strikeout && a.charset == b.charset &&
         a.pitch == b.pitch && a.name == b.name;
}

}  // namespace

uint32_t LayoutCache::FontIdOf(DrawingSurface& s) {
  // Serials are unique per font state of a surface, so an equal serial is
  // the same font on the same surface.
  if (lastserial_ != 0 && s.FontSerial() == lastserial_) return lastfont_;
  const std::type_index type(typeid(s));
  const TFontSpec& f = s.Font();
  const double em = s.FontEmPixels();
  auto same = [&](const SurfaceFont& sf) {
    return sf.type == type && sf.em == em && SameSurfaceMetrics(sf.font, f);
  };
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
  lastserial_ = s.FontSerial();
  return id;
}

void LayoutCache::NoteSurfaceFont(const DrawingSurface& s, uint32_t id) {
  if (id < fonts_.size()) {
    lastfont_ = id;
    lastserial_ = s.FontSerial();
  }
}

void LayoutCache::Account(size_t chars) {
  chars_ += chars;
  if (++entries_ > kMaxEntries || chars_ > kMaxChars) ClearTexts();
}

void LayoutCache::Clear() {
  ClearTexts();
  DropSlots();
}

// Slots keep what they hold (shared lines stay valid), so a slot in use
// survives this.
void LayoutCache::ClearTexts() {
  for (PerFont& p : perfont_) {
    p.width.clear();
    p.height.clear();
    p.ClearOneChar();
  }
  cells_.clear();
  product_.clear();
  entries_ = 0;
  chars_ = 0;
}

void LayoutCache::DropSlots() {
  slots_.clear();
  slotof_.clear();
  cur_ = 0;
  touched_ = 0;
  slotchars_ = 0;
}

void LayoutCache::BeginPass() {
  // Slots of products the last pass did not visit are only kept while they
  // are few; the products of a pass find theirs again by address.
  if (slots_.size() > 2 * touched_ + 1024 || slotchars_ > kMaxChars) DropSlots();
  ++pass_;
  touched_ = 0;
  cur_ = 0;
}

LayoutCache::ProductSlot& LayoutCache::SlotOf(const Product& p) {
  uint32_t i = cur_;
  if (!(i < slots_.size() && slots_[i].owner == &p)) {
    if (i + 1 < slots_.size() && slots_[i + 1].owner == &p) {
      ++i;
    } else {
      const auto found = slotof_.try_emplace(&p, static_cast<uint32_t>(slots_.size()));
      if (found.second) {
        slots_.emplace_back();
        slots_.back().owner = &p;
      }
      i = found.first->second;
    }
    cur_ = i;
  }
  ProductSlot& s = slots_[i];
  if (s.pass != pass_) {
    s.pass = pass_;
    ++touched_;
  }
  return s;
}

int32_t LayoutCache::SurfaceWidth(DrawingSurface& s, const std::u16string& text) {
  PerFont& pf = perfont_[FontIdOf(s)];
  if (int32_t* one = OneChar(pf.onewidth, text)) {
    if (*one < 0) {
      ++surfacecalls_;
      *one = s.TextWidth(text);
    }
    return *one;
  }
  auto& m = pf.width;
  auto it = m.find(text);
  if (it != m.end()) return it->second;
  ++surfacecalls_;
  const int32_t w = s.TextWidth(text);
  Account(text.size());
  perfont_[FontIdOf(s)].width.emplace(text, w);
  return w;
}

int32_t LayoutCache::SurfaceHeight(DrawingSurface& s, const std::u16string& text) {
  PerFont& pf = perfont_[FontIdOf(s)];
  if (int32_t* one = OneChar(pf.oneheight, text)) {
    if (*one < 0) {
      ++surfacecalls_;
      *one = s.TextHeight(text);
    }
    return *one;
  }
  auto& m = pf.height;
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

SharedLines LayoutCache::ProductLines(MeasureCache& mc, FontId font, const Product& p,
                                      const std::u16string& text, double limitmm) {
  const uint64_t limit = Bits(limitmm);
  for (SlotText& e : SlotOf(p).texts) {
    if (e.font != font || e.limit != limit) continue;
    if (e.source == &text && e.checked == epoch_) return e.lines;
    if (SameText(e.text, text)) {
      e.source = &text;
      e.checked = epoch_;
      return e.lines;
    }
  }
  SharedLines lines = ProductLines(mc, font, text, limitmm);
  // The text-keyed level touches no slot: the slot found above is current.
  ProductSlot& s = slots_[cur_];
  SlotText e{font, limit, text, lines, &text, epoch_};
  slotchars_ += text.size();
  if (s.texts.size() < kSlotTexts) {
    s.texts.push_back(std::move(e));
  } else {
    s.texts[s.nexttext] = std::move(e);
    s.nexttext = (s.nexttext + 1) % kSlotTexts;
  }
  return lines;
}

bool LayoutCache::TableUnchanged(const ProductSlot& s, const Product& p) {
  const TableCells& t = *s.cells;
  const uint32_t nrows = p.variants.Count();
  if (t.rowstart.size() != size_t(nrows) + 1) return false;
  for (uint32_t r = 0; r < nrows; ++r) {
    const VariantRow& row = p.variants[r];
    const uint32_t first = t.rowstart[r];
    if (t.rowstart[r + 1] - first != row.cells.Count()) return false;
    for (uint32_t c = 0; c < row.cells.Count(); ++c)
      if (!SameText(s.celltexts[first + c], row.cells[c].text)) return false;
  }
  return true;
}

std::shared_ptr<TableCells> LayoutCache::Cells(const Product& p) {
  ProductSlot& s = SlotOf(p);
  if (s.cells && (s.cellschecked == epoch_ || TableUnchanged(s, p))) {
    s.cellschecked = epoch_;
    return s.cells;
  }
  auto t = std::make_shared<TableCells>();
  const uint32_t nrows = p.variants.Count();
  t->rowstart.assign(size_t(nrows) + 1, 0);
  s.celltexts.clear();
  for (uint32_t r = 0; r < nrows; ++r) {
    t->rowstart[r] = static_cast<uint32_t>(t->parsed.size());
    const VariantRow& row = p.variants[r];
    t->maxcells = std::max(t->maxcells, row.cells.Count());
    for (const VariantCell& cell : row.cells) {
      t->parsed.push_back(ParseCellText(cell.text));
      s.celltexts.push_back(cell.text);
      slotchars_ += cell.text.size();
    }
  }
  t->rowstart[nrows] = static_cast<uint32_t>(t->parsed.size());
  t->row0cells = nrows > 0 ? t->rowstart[1] : 0;
  t->measured.resize(t->parsed.size());
  s.cells = t;
  s.cellschecked = epoch_;
  return t;
}

int32_t LayoutCache::CellSurfaceWidth(DrawingSurface& s, TableCells& t, uint32_t i) {
  const uint32_t font = FontIdOf(s);
  TableCells::Measured& m = t.measured[i];
  if (m.surfacefont != font) {
    m.surfacepx = SurfaceWidth(s, t.parsed[i].shown);
    m.surfacefont = font;
  }
  return m.surfacepx;
}

int32_t LayoutCache::CellWidthPx(MeasureCache& mc, FontId font, TableCells& t, uint32_t i) {
  TableCells::Measured& m = t.measured[i];
  if (m.measurefont != font) {
    m.measurepx = mc.WidthPx(font, t.parsed[i].shown);
    m.measurefont = font;
  }
  return m.measurepx;
}

SharedLines LayoutCache::CellLines(MeasureCache& mc, FontId font, double wmm, bool wrap, TableCells& t,
                                   uint32_t i) {
  TableCells::Measured& m = t.measured[i];
  const FontId key = static_cast<FontId>(font * 2 + (wrap ? 1 : 0));
  const uint64_t width = Bits(wmm);
  if (!(m.lines && m.linesfont == key && m.lineswidth == width)) {
    m.lines = CellLines(mc, font, wmm, wrap, t.parsed[i].shown);
    m.linesfont = key;
    m.lineswidth = width;
  }
  return m.lines;
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
