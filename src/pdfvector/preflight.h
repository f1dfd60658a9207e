// What a print shop would send back, found while the print-ready PDF is
// made: pictures printed below the resolution a press needs, pictures that
// could not be loaded, role fonts printed in another family than asked for,
// characters their font lacks, texts that run past the page, and the
// highest total of the four inks.
//
// The findings are data (files, pages, numbers); the window words them in
// the user's language, `quillane-cli export-pdf --preflight` writes them
// as JSON (ToJson).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pdfvec {

struct Preflight {
  // Pictures below this effective resolution at their drawn size are listed.
  double minPpi = 150;

  struct LowPicture {
    std::string file;                  // empty: a picture not read from a file as it is (processed)
    int32_t firstPage = 0;             // counted from 1
    int32_t pages = 0;                 // pages that draw it at this size
    double ppi = 0;                    // effective pixels per inch at the drawn size
    double widthMm = 0, heightMm = 0;  // drawn size
  };
  std::vector<LowPicture> lowResolution;

  struct MissingPicture {
    std::string file;
    bool exists = false;  // false: no such file; true: it cannot be read
  };
  std::vector<MissingPicture> missingPictures;

  struct SubstitutedFont {
    std::string asked;  // the role font's name as set ("Arial Black", bold)
    std::string used;   // the face printed ("DejaVu Sans Bold")
  };
  std::vector<SubstitutedFont> substitutedFonts;

  struct MissingCharacters {
    std::string font;           // the face printed
    std::u16string characters;  // each character once, in the order met
    int32_t firstPage = 0;
  };
  std::vector<MissingCharacters> missingCharacters;

  struct TextPastPage {
    std::u16string text;  // the run (cut to 60 characters)
    int32_t page = 0;
  };
  std::vector<TextPastPage> textsPastPage;

  // The highest total ink of the colours and pictures, in percent
  // (0 ... 400); below 0 for RGB output, which has no inks.
  double inkMaxPercent = -1;

  // A missing picture or a substituted font: what --strict refuses.
  bool Blocking() const { return !missingPictures.empty() || !substitutedFonts.empty(); }
  bool Empty() const {
    return lowResolution.empty() && missingPictures.empty() && substitutedFonts.empty() &&
           missingCharacters.empty() && textsPastPage.empty();
  }
  // The report as one JSON object (UTF-8, keys in a fixed order).
  std::string ToJson() const;
};

// The name asked for is printed in another family that does not share its
// character widths (Arial printed as Liberation Sans is the same font for
// the page; Arial Black printed as DejaVu Sans Bold is not).
bool IsSubstitute(const std::u16string& asked, const std::string& usedFamily);

}  // namespace pdfvec
