// Web and e-mail addresses inside a line of catalog text, for outputs that
// make them links (the vector PDF, the HTML catalog).
#pragma once

#include <string>
#include <vector>

namespace render {

struct WebAddress {
  size_t begin = 0, end = 0;  // the address is text[begin, end)
  // The link target, plain ASCII: "http://…" or "https://…" as written
  // ("www.…" gets "https://"), or "mailto:…". Characters outside ASCII are
  // percent-encoded UTF-8, and so is everything that could end an attribute
  // or a string where the target is written (blanks, quotes, <, >, \, `).
  std::string uri;
};

// Addresses start at the beginning of the text or after a blank, tab or
// "(": "http://", "https://" or "www." (any case), followed by more than a
// dot, up to the next blank; or a word of the form name@host.tld. Trailing
// punctuation (.,;:!?)"') is not part of an address.
std::vector<WebAddress> FindWebAddresses(const std::u16string& text);

}  // namespace render
