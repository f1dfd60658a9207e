#include "render/webaddress.h"

#include <cstdio>

#include "core/codepage.h"

namespace render {

namespace {

bool StartsNoCase(const std::u16string& s, size_t at, const char* p) {
  for (size_t i = 0; p[i]; ++i) {
    if (at + i >= s.size()) return false;
    char16_t c = s[at + i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c != static_cast<char16_t>(p[i])) return false;
  }
  return true;
}

bool Trailing(char16_t c) { return std::u16string_view(u".,;:!?)\"'").find(c) != std::u16string_view::npos; }

// Characters a URI may carry as they are; everything else is
// percent-encoded, so the target never ends an attribute or a string.
bool Plain(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~:/?#[]@!$&()*+,;=%").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string Encode(std::u16string_view addr) {
  std::string out;
  for (unsigned char c : ql::ToUtf8(addr)) {
    if (Plain(c)) {
      out += static_cast<char>(c);
    } else {
      char b[4];
      std::snprintf(b, sizeof b, "%%%02X", c);
      out += b;
    }
  }
  return out;
}

bool MailChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         std::u16string_view(u".-_+").find(c) != std::u16string_view::npos;
}

// name@host.tld in [b, e): letters, digits and .-_+ only, a dot in the host
// that is neither its first nor its last character.
bool IsMailAddress(const std::u16string& s, size_t b, size_t e) {
  const size_t at = s.find(u'@', b);
  if (at == std::u16string::npos || at >= e || at == b || at + 1 >= e) return false;
  for (size_t i = b; i < e; ++i)
    if (i != at && !MailChar(s[i])) return false;
  const size_t dot = s.find(u'.', at + 2);
  return dot != std::u16string::npos && dot + 1 < e && s[at + 1] != u'.';
}

}  // namespace

std::vector<WebAddress> FindWebAddresses(const std::u16string& s) {
  std::vector<WebAddress> found;
  size_t i = 0;
  while (i < s.size()) {
    const bool boundary = i == 0 || s[i - 1] == u' ' || s[i - 1] == u'(' || s[i - 1] == u'\t';
    if (!boundary || s[i] <= u' ') {
      ++i;
      continue;
    }
    size_t e = i;
    while (e < s.size() && s[e] > u' ') ++e;
    while (e > i && Trailing(s[e - 1])) --e;
    const std::u16string_view addr(s.data() + i, e - i);
    if (StartsNoCase(s, i, "http://") || StartsNoCase(s, i, "https://") || StartsNoCase(s, i, "www.")) {
      if (addr.size() > 4 && addr.find(u'.') != std::u16string_view::npos) {
        std::string uri = Encode(addr);
        if (StartsNoCase(s, i, "www.")) uri = "https://" + uri;
        found.push_back({i, e, uri});
        i = e + 1;
        continue;
      }
    } else if (IsMailAddress(s, i, e)) {
      found.push_back({i, e, "mailto:" + Encode(addr)});
      i = e + 1;
      continue;
    }
    ++i;
  }
  return found;
}

}  // namespace render
