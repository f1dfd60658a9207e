// Line breaks in catalog texts. The window stores typed texts with CR LF, as
// files from elsewhere hold them, but a text may also come with a bare LF or
// a lone CR (imports, older files); all three are one line break wherever a
// text is set, split or written out.
#pragma once

#include <string>
#include <vector>

namespace ql {

// The length of the line break starting at `i` (2 for CR LF, 1 for a lone CR
// or LF), 0 when `text[i]` starts none or `i` is past the end.
size_t LineBreakAt(const std::u16string& text, size_t i);

// The text split at its line breaks. A text ending in a line break gives no
// empty last line; an empty text gives no lines.
std::vector<std::u16string> SplitAtLineBreaks(const std::u16string& text);

// The text with every line break replaced by `lineBreak` (e.g. u"\r\n").
std::u16string WithLineBreaks(const std::u16string& text, const std::u16string& lineBreak);

}  // namespace ql
