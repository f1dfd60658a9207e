// Logical font names of catalogs (Windows family names) mapped to the
// families this system installs. Every surface that turns a role font into
// real glyphs (the QPainter surfaces, the layout measurer, the vector PDF)
// reads this one table, so all of them draw and measure the same faces.
#pragma once

#include <string>

namespace render {

struct FontMapping {
  const char16_t* logical;  // as stored in a catalog, compared case-insensitively
  const char* family;       // installed family
  int minWeight;            // CSS weight the face needs at least (0: as the role font says)
};

// The whole substitution table (one entry per logical name).
const FontMapping* FontMappings(int& count);

// The entry for a logical name (surrounding blanks ignored, ASCII case
// ignored), or null when the name passes through unchanged.
const FontMapping* FindFontMapping(const std::u16string& logical);

// The installed family for a logical name as UTF-8; names without an entry
// pass through unchanged (trimmed).
std::string MappedFontFamily(const std::u16string& logical);

// Weight of a role font: bold 700, else 400, raised to the mapping's minimum.
int MappedFontWeight(const std::u16string& logical, bool bold);

}  // namespace render
