#include "platform/fontmap.h"

namespace platform {

static const FontMapping* Find(const std::u16string& logical) { return render::FindFontMapping(logical); }

QString MapFontFamily(const std::u16string& logical) {
  const FontMapping* m = Find(logical);
  return m ? QString::fromLatin1(m->family) : QString::fromStdU16String(logical);
}

int FontPixelSize(int points, int ppi) {
  const long long v = static_cast<long long>(points) * ppi;
  const int px = static_cast<int>(v >= 0 ? (v + 36) / 72 : -((-v + 36) / 72));
  return px < 1 ? 1 : px;
}

QFont MakeQFont(const TFontSpec& f, int pixelSize) {
  QFont q;
  const FontMapping* m = Find(f.name);
  q.setFamily(m ? QString::fromLatin1(m->family) : QString::fromStdU16String(f.name));
  q.setPixelSize(pixelSize < 1 ? 1 : pixelSize);
  int weight = f.bold ? QFont::Bold : QFont::Normal;
  if (m && m->minWeight > weight) weight = m->minWeight;
  q.setWeight(static_cast<QFont::Weight>(weight));
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  if (f.pitch == 2) q.setFixedPitch(true);
  q.setHintingPreference(QFont::PreferNoHinting);
  q.setKerning(false);
  q.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferQuality));
  return q;
}

}  // namespace platform
