#include "platform/textmetrics.h"

#include <cmath>

#include "core/codepage.h"

namespace platform {

FontAdvances::FontAdvances(const QFont& font)
    : font_(font),
      metrics_(font),
      ascent_(static_cast<int>(std::lround(metrics_.ascent()))),
      descent_(static_cast<int>(std::lround(metrics_.descent()))) {}

double FontAdvances::WidthF(const std::u16string& text) {
  double w = 0;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = ql::NextCodePoint(text, i);
    auto it = advance_.constFind(cp);
    if (it == advance_.constEnd()) {
      // Bound the table: a text full of distinct characters starts afresh.
      if (advance_.size() > 4096) advance_.clear();
      const double a = metrics_.horizontalAdvance(QString::fromUcs4(&cp, 1));
      it = advance_.insert(cp, a < 0 ? 0 : a);
    }
    w += it.value();
  }
  return w;
}

int FontAdvances::Width(const std::u16string& text) { return static_cast<int>(std::lround(WidthF(text))); }

}  // namespace platform
