// The fonts of a vector PDF: role fonts resolved to font files through the
// program's font map and fontconfig, text shaped with HarfBuzz (kerning and
// ligatures off, as the layout measures: the sum of the characters'
// unhinted advances), and at the end every used face embedded as a subset
// (HarfBuzz's subsetter) in a Type 0 font with Identity-H encoding, a W
// array and a ToUnicode map.
//
// Glyph ids are kept in the subset, so the CIDs of the content streams are
// the glyph ids of the font file and the map from CID to glyph is Identity.
//
// A character the role font lacks is drawn with a fallback face that
// fontconfig finds for it (as Qt does for the preview), embedded the same
// way; a character no installed face has stays with the role font.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/settings.h"

namespace pdfvec {

class PdfWriter;

// One face (file and index) with its metrics and the glyphs used from it.
struct FontFace;

struct ShapedGlyph {
  uint32_t gid = 0;
  double advance = 0;  // in font units
};

class FontSet {
 public:
  FontSet();
  ~FontSet();
  FontSet(const FontSet&) = delete;
  FontSet& operator=(const FontSet&) = delete;

  // The face of a role font (name through the font map, weight, italic),
  // or null with a message naming the font when no installed face of that
  // family exists or the file cannot be read as a TrueType / OpenType font.
  FontFace* Face(const TFontSpec& f, std::string& error);

  // Shapes `text` (glyph ids, advances in font units) and records which
  // characters each glyph shows, for the ToUnicode map.
  void Shape(FontFace& face, const std::u16string& text, std::vector<ShapedGlyph>& out);
  // `text` cut into runs, each with the face that draws it: the role font,
  // or the fallback face of characters it lacks.
  struct Run {
    FontFace* face;
    std::u16string text;
  };
  std::vector<Run> Runs(FontFace& face, const std::u16string& text);
  // Sum of the characters' advances in the units of `face` (the layout's
  // measure), characters it lacks at their fallback face's advance.
  static double Advance(FontFace& face, const std::u16string& text);
  // The advance of one glyph (the width array's value), font units.
  static double GlyphAdvance(const FontFace& face, uint32_t gid);

  static uint32_t UnitsPerEm(const FontFace& face);
  static double Ascent(const FontFace& face);   // font units, positive
  static double Descent(const FontFace& face);  // font units, positive
  // Underline / strikeout offset (above the baseline, font units) and thickness.
  static void UnderlineMetrics(const FontFace& face, double& offset, double& thickness);
  static void StrikeoutMetrics(const FontFace& face, double& offset, double& thickness);
  // The face is bolder / more slanted than its file: the surface fakes it.
  static bool FakeBold(const FontFace& face);
  static bool FakeItalic(const FontFace& face);
  // The object number of the Type 0 font dictionary (reserved on first use).
  static int32_t Object(FontFace& face, PdfWriter& w);
  static const std::string& ResourceName(const FontFace& face);
  // "family style" as installed, for messages and tests.
  static std::string Describe(const FontFace& face);
  // The family as installed.
  static const std::string& Family(const FontFace& face);

  // Queues every used face's objects. Faces never used write nothing.
  void WriteAll(PdfWriter& w);

 private:
  std::map<std::string, std::unique_ptr<FontFace>> faces_;  // by file, index and fakes
  std::map<std::tuple<std::u16string, bool, bool>, FontFace*> byspec_;
  std::map<char32_t, FontFace*> fallback_;  // null: no installed face has it

  friend struct FontFace;
  FontFace* Load(const std::string& file, int index, const std::string& family, const std::string& style,
                 bool fakebold, bool fakeitalic, const std::string& shown, std::string& error);
  FontFace* Fallback(char32_t cp);
};

}  // namespace pdfvec
