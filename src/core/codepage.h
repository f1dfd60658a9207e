// Windows-1252, the 8-bit code page of CSV files, templates and older
// project files, to and from UTF-16; plus UTF-8 helpers for the command line.
#pragma once

#include <string>
#include <string_view>

namespace ql {

char16_t Cp1252ToUnicode(unsigned char c);
// The code page's byte for a character, or '?' when it has none.
unsigned char UnicodeToCp1252(char16_t c);

std::u16string FromCp1252(std::string_view bytes);
std::string ToCp1252(std::u16string_view text);

std::u16string FromUtf8(std::string_view utf8);

// The character starting at `text[i]`, a surrogate pair read as one; `i`
// moves past it. A lone surrogate comes back as it is.
inline char32_t NextCodePoint(std::u16string_view text, size_t& i) {
  char32_t cp = text[i++];
  if (cp >= 0xD800 && cp < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
    cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i++] - 0xDC00);
  return cp;
}
std::string ToUtf8(std::u16string_view text);

}  // namespace ql
