#include "render/fontfamilies.h"

#include "core/codepage.h"

namespace render {

namespace {

const FontMapping kMappings[] = {
    {u"Arial", "Liberation Sans", 0},
    {u"Arial Black", "DejaVu Sans", 900},
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

std::u16string Trimmed(const std::u16string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == u' ' || s[a] == u'\t')) ++a;
  while (b > a && (s[b - 1] == u' ' || s[b - 1] == u'\t')) --b;
  return s.substr(a, b - a);
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameName(const std::u16string& a, const char16_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return i == a.size() && !b[i];
}

}  // namespace

const FontMapping* FontMappings(int& count) {
  count = static_cast<int>(sizeof(kMappings) / sizeof(kMappings[0]));
  return kMappings;
}

const FontMapping* FindFontMapping(const std::u16string& logical) {
  const std::u16string name = Trimmed(logical);
  for (const FontMapping& m : kMappings)
    if (SameName(name, m.logical)) return &m;
  return nullptr;
}

std::string MappedFontFamily(const std::u16string& logical) {
  const FontMapping* m = FindFontMapping(logical);
  return m ? std::string(m->family) : ql::ToUtf8(Trimmed(logical));
}

int MappedFontWeight(const std::u16string& logical, bool bold) {
  int weight = bold ? 700 : 400;
  const FontMapping* m = FindFontMapping(logical);
  if (m && m->minWeight > weight) weight = m->minWeight;
  return weight;
}

}  // namespace render
