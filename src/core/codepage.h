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
std::string ToUtf8(std::u16string_view text);

}  // namespace ql
