#include "platform/fontmap.h"

namespace platform {

namespace {

const FontMapping kMappings[] = {
    {u"Arial", "Liberation Sans", 0},
    {u"Arial Black", "DejaVu Sans", QFont::Black},
    {u"Arial Narrow", "Liberation Sans Narrow", 0},
    {u"Helvetica", "Liberation Sans", 0},
    {u"Courier New", "Liberation Mono", 0},
    {u"Courier", "Liberation Mono", 0},
    {u"Times New Roman", "Liberation Serif", 0},
    {u"Times", "Liberation Serif", 0},
    {u"Verdana", "DejaVu Sans", 0},
    {u"Tahoma", "DejaVu Sans", 0},
    {u"MS Sans Serif", "Liberation Sans", 0},
};

}  // namespace

const FontMapping* FontMappings(int& count) {
  count = static_cast<int>(sizeof(kMappings) / sizeof(kMappings[0]));
  return kMappings;
}

static const FontMapping* Find(const std::u16string& logical) {
  const QString name = QString::fromStdU16String(logical).trimmed();
  for (const FontMapping& m : kMappings)
    if (name.compare(QString::fromUtf16(m.logical), Qt::CaseInsensitive) == 0) return &m;
  return nullptr;
}

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
