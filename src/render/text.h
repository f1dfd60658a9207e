// Text composition: control characters, upper-casing, the two wrapping
// rules and justified lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/measure.h"
#include "render/surface.h"

namespace render {

class RenderPass;

// The text without every character below 32.
std::u16string StripControlChars(const std::u16string& s);
// The text in capitals for display: every letter that has a capital becomes
// it (ä → Ä, é → É, ø → Ø, Greek and Cyrillic too) and ß becomes "SS"; other
// characters stay. Whatever measures such a text measures this result.
// Search and sort comparisons keep their own folding (editing/).
std::u16string UpperForDisplay(const std::u16string& s);

// Product names and descriptions: the text (line breaks CR LF, CR or LF) broken into
// lines no wider than `limitmm` (stripped of control characters when
// measured), in the font `font` of `cache`. A break at a space drops that
// space; a word longer than the line is broken inside; a line break always
// ends a line (the LF after its CR goes with it; a lone CR or LF keeps the
// character after it). A single character wider than the whole line gets a
// line of its own. Lines may be empty and may end with a CR or LF (stripped
// when drawn). No character other than break spaces and LFs is lost.
std::vector<std::u16string> WrapProductText(MeasureCache& cache, FontId font, const std::u16string& text,
                                            double limitmm);
// The same rule measuring every prefix from scratch (the reference the
// fast version must equal).
std::vector<std::u16string> WrapProductTextNaive(MeasureCache& cache, FontId font, const std::u16string& text,
                                                 double limitmm);

// Category introductions, one line of the text (no line breaks in it):
// cut from the end, back to the last space where there is one, while wider
// than `limitmm` (measured unstripped). Emitted lines keep their trailing
// space; a word wider than the limit is emitted on its own. No character is
// lost: the concatenation of the result is the input.
std::vector<std::u16string> WrapIntroLine(MeasureCache& cache, FontId font, const std::u16string& line,
                                          double limitmm);
std::vector<std::u16string> WrapIntroLineNaive(MeasureCache& cache, FontId font, const std::u16string& line,
                                               double limitmm);
// A whole introduction: split at its line breaks (CR LF, CR or LF), each
// line set with WrapIntroLine.
std::vector<std::u16string> WrapIntroText(MeasureCache& cache, FontId font, const std::u16string& text,
                                          double limitmm);
// The introduction text split at its line breaks.
std::vector<std::u16string> SplitLines(const std::u16string& text);

// One justified line: the words of `s` at x, x + width(word + " ") + gap ...
// with gap = (maxw - TextWidth(s)) div (number of spaces, or 1). A line
// without space is drawn left-aligned.
void textoutBlockSatz(DrawingSurface& canvas, int32_t x, int32_t y, const std::u16string& s, int32_t maxw);

}  // namespace render
