#include "core/settings.h"

TFontSpec MakeFont(const char16_t* name, int32_t size, bool bold, TColor color) {
  TFontSpec f;
  f.name = name;
  f.size = size;
  f.bold = bold;
  f.color = color;
  return f;
}

void CatalogSettings::SetPictureAlignment(int a) {
  if (a < 0 || a > 2) return;
  BildLinks = a == 0;
  BildZentr = a == 1;
  BildRechts = a == 2;
}

void CatalogSettings::SetColumnCount(int n) {
  if (n < 2 || n > 4) return;
  ZweiColumns = n == 2;
  dreiColumns = n == 3;
  FourColumns = n == 4;
}

double CatalogSettings::DefaultColumnWidth(int i) const {
  switch (i) {
    case 0:
      return RxSpinEdit1;
    case 1:
      return RxSpinEdit2;
    case 2:
      return RxSpinEdit3;
    case 3:
      return RxSpinEdit4;
    case 4:
      return RxSpinEdit5;
    case 5:
      return RxSpinEdit7;
    case 6:
      return RxSpinEdit8;
    case 7:
      return RxSpinEdit9;
    case 8:
      return RxSpinEdit10;
    case 9:
      return RxSpinEdit11;
    default:
      return 0;
  }
}

void CatalogSettings::SetDefaultColumnWidth(int i, double mm) {
  double* slots[10] = {&RxSpinEdit1, &RxSpinEdit2, &RxSpinEdit3, &RxSpinEdit4,  &RxSpinEdit5,
                       &RxSpinEdit7, &RxSpinEdit8, &RxSpinEdit9, &RxSpinEdit10, &RxSpinEdit11};
  if (i >= 0 && i < 10) *slots[i] = mm;
}

namespace {
int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}
}  // namespace

bool ParseHexColor(const std::u16string& box, TColor& out) {
  size_t b = 0, e = box.size();
  while (b < e && box[b] <= u' ') ++b;
  while (e > b && box[e - 1] <= u' ') --e;
  std::u16string s = box.substr(b, e - b);
  if (!s.empty() && s[0] == u'#') s.erase(0, 1);
  if (s.size() < 6) return false;
  int d[6];
  for (int i = 0; i < 6; ++i) {
    d[i] = HexDigit(s[i]);
    if (d[i] < 0) return false;
  }
  out = RGBColor(d[0] * 16 + d[1], d[2] * 16 + d[3], d[4] * 16 + d[5]);
  return true;
}
