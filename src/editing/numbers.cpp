#include "editing/numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "i18n/languages.h"

namespace editing {

bool NumberLocaleFromName(std::string_view name, NumberLocale& out) {
  // Cut codeset and modifier: "de_DE.UTF-8@euro" -> "de_DE".
  std::string n(name.substr(0, name.find_first_of(".@")));
  if (n == "C" || n == "POSIX") {
    out = NumberLocale{u'.', u','};
    return true;
  }
  std::string lang = n.substr(0, n.find_first_of("_-"));
  std::string region = lang.size() < n.size() ? n.substr(lang.size() + 1) : std::string();
  if (lang.size() < 2 || lang.size() > 3) return false;
  for (char& ch : lang) {
    if (!std::isalpha(static_cast<unsigned char>(ch))) return false;
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  for (char& ch : region) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));

  // Swiss and Liechtenstein German, Italian and French write a point.
  if ((region == "CH" || region == "LI") && (lang == "de" || lang == "it" || lang == "fr")) {
    out = NumberLocale{u'.', u'\''};
    return true;
  }
  static const char* const kPoint[] = {"en", "ja", "zh", "ko", "he", "th", "ga", "mt", "hi", "ms", "tl"};
  static const char* const kCommaDot[] = {"de", "nl", "it", "es", "pt", "da", "tr", "el", "id",
                                          "ro", "hr", "sl", "sr", "is", "ca", "eu", "gl"};
  static const char* const kCommaSpace[] = {"fr", "sv", "nb", "nn", "no", "fi", "pl", "cs", "sk",
                                            "ru", "uk", "hu", "bg", "et", "lv", "lt", "be", "kk"};
  for (const char* l : kPoint)
    if (lang == l) {
      out = NumberLocale{u'.', u','};
      return true;
    }
  for (const char* l : kCommaDot)
    if (lang == l) {
      // Mexican and some other Spanish-speaking regions write a point.
      if (lang == "es" && (region == "MX" || region == "US" || region == "PR" || region == "GT"))
        out = NumberLocale{u'.', u','};
      else
        out = NumberLocale{u',', u'.'};
      return true;
    }
  for (const char* l : kCommaSpace)
    if (lang == l) {
      out = NumberLocale{u',', u'\u00A0'};
      return true;
    }
  return false;
}

NumberLocale EnvironmentNumberLocale() {
  NumberLocale loc;
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      NumberLocaleFromName(v, loc);
      break;
    }
  }
  return loc;
}

bool EnvironmentNamesLanguage() {
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (!v || !*v) continue;
    const std::string_view n = std::string_view(v).substr(0, std::string_view(v).find_first_of(".@"));
    return n != "C" && n != "POSIX";
  }
  return false;
}

NumberLocale InterfaceNumberLocale(int language) {
  const i18n::InterfaceLanguage& l = i18n::InterfaceLanguageOrEnglish(language);
  return NumberLocale{l.decimal, l.thousands};
}

bool ParseLocaleNumber(std::u16string_view text, const NumberLocale& loc, double& out) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  if (b == e || e - b > 400) return false;
  std::string a;  // the number in the form from_chars reads
  size_t i = b;
  if (text[i] == u'+' || text[i] == u'-') {
    if (text[i] == u'-') a += '-';
    ++i;
  }
  size_t digits = 0;
  bool separator = false;
  for (; i < e; ++i) {
    char16_t ch = text[i];
    if (ch >= u'0' && ch <= u'9') {
      a += static_cast<char>(ch);
      ++digits;
    } else if (ch == loc.decimal && !separator) {
      a += '.';
      separator = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < e && (text[i] == u'e' || text[i] == u'E')) {
    a += 'e';
    ++i;
    if (i < e && (text[i] == u'+' || text[i] == u'-')) a += static_cast<char>(text[i++]);
    size_t expDigits = 0;
    for (; i < e && text[i] >= u'0' && text[i] <= u'9'; ++i, ++expDigits) a += static_cast<char>(text[i]);
    if (expDigits == 0) return false;
  }
  if (i != e) return false;
  double v = 0;
  auto res = std::from_chars(a.data(), a.data() + a.size(), v);
  if (res.ec != std::errc() || res.ptr != a.data() + a.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == 0x00A0 || c == 0x202F || c == 0x2009; }
bool IsUpperAscii(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || IsUpperAscii(c) || (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c < 0x2000);
}
bool IsCurrencySign(char16_t c) {
  return c == u'$' || (c >= 0x00A2 && c <= 0x00A5) || c == 0x058F || c == 0x060B || c == 0x09F2 ||
         c == 0x09F3 || c == 0x0E3F || c == 0x17DB || (c >= 0x20A0 && c <= 0x20CF);
}

// Length of the currency sign or code at the start of `t` (0 when none).
size_t CurrencyAtStart(std::u16string_view t) {
  if (!t.empty() && IsCurrencySign(t[0])) return 1;
  if (t.size() >= 3 && IsUpperAscii(t[0]) && IsUpperAscii(t[1]) && IsUpperAscii(t[2]) &&
      (t.size() == 3 || !IsLetter(t[3])))
    return 3;
  return 0;
}

// Length of the currency sign or code at the end of `t` (0 when none).
size_t CurrencyAtEnd(std::u16string_view t) {
  const size_t n = t.size();
  if (n && IsCurrencySign(t[n - 1])) return 1;
  if (n >= 3 && IsUpperAscii(t[n - 1]) && IsUpperAscii(t[n - 2]) && IsUpperAscii(t[n - 3]) &&
      (n == 3 || !IsLetter(t[n - 4])))
    return 3;
  return 0;
}

}  // namespace

bool ParsePrice(std::u16string_view text, const NumberLocale& loc, PriceText& out) {
  // Outer blanks belong to the surrounding texts, the number lies between.
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  size_t nb = b, ne = e;
  if (const size_t k = CurrencyAtStart(text.substr(b, e - b))) {
    nb = b + k;
    while (nb < e && IsBlank(text[nb])) ++nb;
  } else if (const size_t k2 = CurrencyAtEnd(text.substr(b, e - b))) {
    ne = e - k2;
    while (ne > nb && IsBlank(text[ne - 1])) --ne;
  }
  if (nb >= ne) return false;
  std::u16string number(text.substr(nb, ne - nb));
  bool grouped = false;
  if (number.find(loc.thousands) != std::u16string::npos && loc.thousands != loc.decimal) {
    // Groups: 1 to 3 leading digits (after a sign), then separator + 3 digits
    // up to the decimal separator or the end.
    const size_t start = (number[0] == u'+' || number[0] == u'-') ? 1 : 0;
    size_t end = number.find(loc.decimal);
    if (end == std::u16string::npos) end = number.size();
    std::u16string plain = number.substr(0, start);
    size_t run = 0, groups = 0;
    for (size_t i = start; i < end; ++i) {
      const char16_t c = number[i];
      if (c >= u'0' && c <= u'9') {
        ++run;
        plain.push_back(c);
      } else if (c == loc.thousands && run >= 1 && (groups ? run == 3 : run <= 3)) {
        run = 0;
        ++groups;
      } else {
        return false;
      }
    }
    if (groups == 0 || run != 3) return false;
    number = plain + number.substr(end);
    grouped = true;
  }
  double v = 0;
  if (!ParseLocaleNumber(number, loc, v)) return false;
  out.value = v;
  out.grouped = grouped;
  out.before = std::u16string(text.substr(0, nb));
  out.after = std::u16string(text.substr(ne));
  return true;
}

std::u16string FormatFixed2(double value, const NumberLocale& loc) {
  if (!std::isfinite(value)) return std::u16string();
  char buf[400];
  // The shortest fixed form that reads back as the same double.
  auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed);
  std::string s = res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
  bool neg = !s.empty() && s[0] == '-';
  if (neg) s.erase(0, 1);
  size_t dot = s.find('.');
  std::string ip = dot == std::string::npos ? s : s.substr(0, dot);
  std::string fp = dot == std::string::npos ? std::string() : s.substr(dot + 1);
  bool up = fp.size() > 2 && fp[2] >= '5';
  fp.resize(2, '0');
  if (up) {
    std::string all = ip + fp;
    int k = static_cast<int>(all.size()) - 1;
    while (k >= 0 && all[static_cast<size_t>(k)] == '9') all[static_cast<size_t>(k--)] = '0';
    if (k < 0)
      all.insert(all.begin(), '1');
    else
      all[static_cast<size_t>(k)]++;
    ip = all.substr(0, all.size() - 2);
    fp = all.substr(all.size() - 2);
  }
  if (ip.empty()) ip = "0";
  bool zero = ip.find_first_not_of('0') == std::string::npos && fp == "00";
  std::u16string out;
  if (neg && !zero) out += u'-';
  for (char ch : ip) out += static_cast<char16_t>(ch);
  out += loc.decimal;
  for (char ch : fp) out += static_cast<char16_t>(ch);
  return out;
}

std::u16string FormatPriceLike(double value, const PriceText& as, const NumberLocale& loc) {
  std::u16string n = FormatFixed2(value, loc);
  if (as.grouped) {
    const size_t start = !n.empty() && n[0] == u'-' ? 1 : 0;
    const size_t dec = n.find(loc.decimal);
    for (size_t i = (dec == std::u16string::npos ? n.size() : dec); i > start + 3; i -= 3)
      n.insert(i - 3, 1, loc.thousands);
  }
  return as.before + n + as.after;
}

}  // namespace editing
