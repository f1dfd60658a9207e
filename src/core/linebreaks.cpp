#include "core/linebreaks.h"

namespace ql {

size_t LineBreakAt(const std::u16string& text, size_t i) {
  if (i >= text.size()) return 0;
  if (text[i] == u'\n') return 1;
  if (text[i] != u'\r') return 0;
  return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
}

std::vector<std::u16string> SplitAtLineBreaks(const std::u16string& text) {
  std::vector<std::u16string> lines;
  std::u16string cur;
  for (size_t i = 0; i < text.size();) {
    if (const size_t n = LineBreakAt(text, i)) {
      lines.push_back(std::move(cur));
      cur.clear();
      i += n;
    } else {
      cur.push_back(text[i++]);
    }
  }
  if (!cur.empty()) lines.push_back(std::move(cur));
  return lines;
}

std::u16string WithLineBreaks(const std::u16string& text, const std::u16string& lineBreak) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (const size_t n = LineBreakAt(text, i)) {
      out += lineBreak;
      i += n;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

}  // namespace ql
