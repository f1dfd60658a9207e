#include "render/text.h"

#include <algorithm>
#include <cstdint>

#include "core/linebreaks.h"
#include "render/units.h"

namespace render {

std::u16string StripControlChars(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s)
    if (c >= 32) out.push_back(c);
  return out;
}

namespace {

// The capital of one UTF-16 unit, or the unit itself when it has none (or
// its capital is more than one character; ß is handled by the caller).
// Covers Latin (Basic, Latin-1, Extended-A, the common Extended-B pairs and
// Extended Additional), Greek and Cyrillic: the scripts catalog texts use.
char16_t UpperUnit(char16_t c) {
  auto pairEvenUpper = [](char16_t u) { return static_cast<char16_t>(u & 1 ? u - 1 : u); };
  auto pairOddUpper = [](char16_t u) { return static_cast<char16_t>(u & 1 ? u : u - 1); };
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0xB5) return c;
  if (c == 0xB5) return 0x039C;  // µ → Μ
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x0178;  // ÿ → Ÿ
  if (c >= 0x0100 && c <= 0x0137) return pairEvenUpper(c);
  if (c >= 0x0139 && c <= 0x0148) return pairOddUpper(c);
  if (c >= 0x014A && c <= 0x0177) return pairEvenUpper(c);
  if (c >= 0x0179 && c <= 0x017E) return pairOddUpper(c);
  if (c == 0x0131) return u'I';  // dotless ı
  if (c == 0x017F) return u'S';  // long s
  if (c >= 0x01CD && c <= 0x01DC) return pairOddUpper(c);
  if (c >= 0x01DE && c <= 0x01EF) return pairEvenUpper(c);
  if (c >= 0x01F8 && c <= 0x021F) return pairEvenUpper(c);
  if (c == 0x01C6 || c == 0x01C9 || c == 0x01CC || c == 0x01F3)
    return static_cast<char16_t>(c - 2);  // dž lj nj dz
  if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return static_cast<char16_t>(c - 0x20);
  if (c == 0x03C2) return 0x03A3;  // final sigma
  if (c == 0x03AC) return 0x0386;
  if (c >= 0x03AD && c <= 0x03AF) return static_cast<char16_t>(c - 0x25);
  if (c == 0x03CA || c == 0x03CB) return static_cast<char16_t>(c - 0x20);
  if (c == 0x03CC) return 0x038C;
  if (c == 0x03CD || c == 0x03CE) return static_cast<char16_t>(c - 0x3F);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) || (c >= 0x04D0 && c <= 0x04FF))
    return pairEvenUpper(c);
  if (c >= 0x04C1 && c <= 0x04CE) return pairOddUpper(c);
  if (c == 0x04CF) return 0x04C0;
  if ((c >= 0x1E00 && c <= 0x1E95) || (c >= 0x1EA0 && c <= 0x1EFF)) return pairEvenUpper(c);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);  // full-width a…z
  return c;
}

}  // namespace

std::u16string UpperForDisplay(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (c == 0x00DF) {
      out += u"SS";  // ß has no single capital in common use
    } else {
      out.push_back(UpperUnit(c));
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Product text wrapping.
//
// The rule takes characters one at a time and ends the line at the first
// character after which the stripped buffer is wider than the limit, at a CR or LF,
// or at the end of the text. Only the position of that first "too wide"
// character matters, so the fast version finds it without measuring every
// prefix, depending on what the measurer promises:
//  - Additive: widths of the stripped prefixes are running sums of the
//    widths of single characters (each measured once, cached).
//  - Monotone: the stripped prefix width never decreases as the prefix
//    grows (a control character leaves the stripped prefix unchanged, any
//    other appends one character). "Wider than the limit" is therefore false
//    up to some prefix length and true from there on; an exponential probe
//    from the short end followed by a binary search finds the first true
//    one, measuring O(log line length) prefixes no longer than about twice
//    the line.
//  - Unknown: every prefix is measured in order, as in the rule itself.
// Everything after the break position (space search, separator removal) is
// shared with the reference implementation below.
namespace {

constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;

struct Broken {
  std::u16string line;
  size_t remove = 0;  // characters to drop from the front of the text
};

// `end` is the index of the character that ended the buffer; `wide` whether
// the buffer s[0 .. end] is wider than the limit.
Broken ProductBreak(const std::u16string& s, size_t end, bool wide) {
  Broken b;
  const size_t len = end + 1;
  if (wide) {
    // A space at a (1-based) position greater than 1.
    size_t sp = std::u16string::npos;
    for (size_t i = len; i-- > 1;)
      if (s[i] == u' ') {
        sp = i;
        break;
      }
    if (sp != std::u16string::npos) {
      b.line = s.substr(0, sp);
      b.remove = sp + 1;
    } else if (len > 1) {
      b.line = s.substr(0, len - 1);
      b.remove = len - 1;
    } else {
      // A single character wider than the line on its own: it is set on a
      // line of its own (overflowing) rather than dropped.
      b.line = s.substr(0, 1);
      b.remove = 1;
    }
    return b;
  }
  b.line = s.substr(0, len);
  b.remove = len;
  // The LF of a CR LF pair goes with the break. A lone CR keeps the
  // character after it (dropping it would lose text).
  if (s[end] == kCR && len < s.size() && s[len] == kLF) ++b.remove;
  return b;
}

// Index of the first line break character (CR or LF), or the last index.
size_t LastCandidate(const std::u16string& s) {
  const size_t cr = s.find_first_of(u"\r\n");
  return cr == std::u16string::npos ? s.size() - 1 : cr;
}

}  // namespace

std::vector<std::u16string> WrapProductTextNaive(MeasureCache& cache, FontId font, const std::u16string& text,
                                                 double limitmm) {
  std::vector<std::u16string> lines;
  std::u16string s = text;
  while (!s.empty()) {
    std::u16string buf;
    size_t i = 0;
    bool wide = false;
    for (;; ++i) {
      buf.push_back(s[i]);
      if (cache.WidthMm(font, StripControlChars(buf)) > limitmm) {
        wide = true;
        break;
      }
      if (s[i] == kCR || s[i] == kLF || i + 1 == s.size()) break;
    }
    Broken b = ProductBreak(s, i, wide);
    lines.push_back(std::move(b.line));
    s.erase(0, b.remove);
  }
  return lines;
}

std::vector<std::u16string> WrapProductText(MeasureCache& cache, FontId font, const std::u16string& text,
                                            double limitmm) {
  const WidthLaw law = cache.Law();
  if (law == WidthLaw::Unknown) return WrapProductTextNaive(cache, font, text, limitmm);

  std::vector<std::u16string> lines;
  std::u16string s = text;
  std::u16string probe;
  while (!s.empty()) {
    const size_t last = LastCandidate(s);  // the buffer ends here at the latest
    size_t end = last;
    bool wide = false;
    if (law == WidthLaw::Additive) {
      int64_t px = 0;
      std::u16string one(1, u' ');
      for (size_t i = 0; i <= last; ++i) {
        if (s[i] >= 32) {
          one[0] = s[i];
          px += cache.WidthPx(font, one);
        }
        if (MeasurePxToMm(static_cast<int32_t>(std::min<int64_t>(px, INT32_MAX))) > limitmm) {
          end = i;
          wide = true;
          break;
        }
      }
    } else {
      // Wider(i): the stripped buffer s[0 .. i] exceeds the limit.
      auto wider = [&](size_t i) {
        probe.clear();
        for (size_t k = 0; k <= i; ++k)
          if (s[k] >= 32) probe.push_back(s[k]);
        return cache.WidthMm(font, probe) > limitmm;
      };
      // Exponential probe: lo is known not wider (or -1), hi known wider.
      size_t step = 1;
      size_t lo_plus1 = 0;   // first index not yet known to fit
      size_t hi = last + 1;  // sentinel: none wider
      for (size_t i = 0;; i = std::min(last, lo_plus1 + step - 1)) {
        if (wider(i)) {
          hi = i;
          break;
        }
        lo_plus1 = i + 1;
        if (i == last) break;
        step *= 2;
      }
      if (hi <= last) {
        size_t a = lo_plus1, b = hi;  // first wider index lies in [a, b]
        while (a < b) {
          const size_t mid = a + (b - a) / 2;
          if (wider(mid))
            b = mid;
          else
            a = mid + 1;
        }
        end = a;
        wide = true;
      }
    }
    Broken b = ProductBreak(s, end, wide);
    lines.push_back(std::move(b.line));
    s.erase(0, b.remove);
  }
  return lines;
}

// ---------------------------------------------------------------------------
// Introduction wrapping.
//
// The rule shortens the line from its end while it is wider than the limit:
// one character, then back to the last space if the line still has one.
// The lengths it tries form a fixed decreasing sequence (the full length,
// the ends of the spaces from the back, then the first word character by
// character), and it stops at the first that fits or at one character. With
// a monotone measurer the lengths that fit form a tail of that sequence, so
// the longest fitting one is found by probing from the short end and
// bisecting; otherwise the sequence is tried in order.
namespace {

// The lengths the rule tries, longest first, ending with the first length
// of at most one character (or the only length n).
std::vector<size_t> IntroCandidates(const std::u16string& line) {
  const size_t n = line.size();
  std::vector<size_t> c;
  c.push_back(n);
  // lastspace[k]: index of the last space in line[0 .. k), or npos.
  std::vector<size_t> lastspace(n + 1, std::u16string::npos);
  for (size_t k = 1; k <= n; ++k) lastspace[k] = line[k - 1] == u' ' ? k - 1 : lastspace[k - 1];
  size_t len = n;
  while (len > 1) {
    len -= 1;
    if (lastspace[len] != std::u16string::npos) len = lastspace[len] + 1;
    c.push_back(len);
  }
  return c;
}

}  // namespace

std::vector<std::u16string> WrapIntroLineNaive(MeasureCache& cache, FontId font, const std::u16string& input,
                                               double limitmm) {
  std::vector<std::u16string> out;
  std::u16string line = input;
  for (;;) {
    std::u16string rem;
    while (cache.WidthMm(font, line) > limitmm && line.size() > 1) {
      rem.insert(rem.begin(), line.back());
      line.pop_back();
      if (line.find(u' ') != std::u16string::npos)
        while (line.back() != u' ') {
          rem.insert(rem.begin(), line.back());
          line.pop_back();
        }
    }
    out.push_back(line);
    if (rem.empty()) break;
    line = std::move(rem);
  }
  return out;
}

std::vector<std::u16string> WrapIntroLine(MeasureCache& cache, FontId font, const std::u16string& input,
                                          double limitmm) {
  const WidthLaw law = cache.Law();
  std::vector<std::u16string> out;
  std::u16string line = input;
  for (;;) {
    const std::vector<size_t> cand = IntroCandidates(line);
    auto fits = [&](size_t k) { return cache.WidthMm(font, line.substr(0, cand[k])) <= limitmm; };
    size_t pick = cand.size() - 1;
    if (law == WidthLaw::Unknown) {
      for (size_t k = 0; k < cand.size(); ++k)
        if (k + 1 == cand.size() || fits(k)) {
          pick = k;
          break;
        }
    } else {
      // Index k counted from the short end: j = cand.size() - 1 - k. Fitting
      // indexes j form a prefix 0 ... J; find J (the last candidate, j = 0,
      // is taken whether or not it fits).
      const size_t m = cand.size();
      auto fits_j = [&](size_t j) { return j == 0 || fits(m - 1 - j); };
      size_t good = 0, bad = m;  // fits_j(good), !fits_j(bad) or bad == m
      size_t step = 1;
      while (good + step < m) {
        if (fits_j(good + step)) {
          good += step;
          step *= 2;
        } else {
          bad = good + step;
          break;
        }
      }
      while (bad - good > 1) {
        const size_t mid = good + (bad - good) / 2;
        if (fits_j(mid))
          good = mid;
        else
          bad = mid;
      }
      pick = m - 1 - good;
    }
    const size_t len = cand[pick];
    out.push_back(line.substr(0, len));
    if (len >= line.size()) break;
    line.erase(0, len);
  }
  return out;
}

std::vector<std::u16string> SplitLines(const std::u16string& text) { return ql::SplitAtLineBreaks(text); }

std::vector<std::u16string> WrapIntroText(MeasureCache& cache, FontId font, const std::u16string& text,
                                          double limitmm) {
  std::vector<std::u16string> out;
  for (const auto& l : SplitLines(text)) {
    auto part = WrapIntroLine(cache, font, l, limitmm);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

void textoutBlockSatz(DrawingSurface& canvas, int32_t x, int32_t y, const std::u16string& line,
                      int32_t maxw) {
  int32_t n = static_cast<int32_t>(std::count(line.begin(), line.end(), u' '));
  if (n == 0) n = 1;
  const int32_t gap = (maxw - canvas.TextWidth(line)) / n;
  std::u16string s = line;
  while (!s.empty()) {
    const size_t sp = s.find(u' ');
    std::u16string w = sp == std::u16string::npos ? s : s.substr(0, sp);
    s.erase(0, sp == std::u16string::npos ? s.size() : sp + 1);
    canvas.TextOut(x, y, w);
    x += canvas.TextWidth(w + u" ") + gap;
  }
}

}  // namespace render
