// Logical font names of catalogs mapped to the fonts this system ships, and
// the QFont for a role font at a pixel size.
#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "core/settings.h"

namespace platform {

struct FontMapping {
  const char16_t* logical;  // as stored in a catalog, compared case-insensitively
  const char* family;       // installed family
  int minWeight;            // QFont weight the face needs at least (0: as the font says)
};

// The whole substitution table (one entry per logical name).
const FontMapping* FontMappings(int& count);

// The installed family for a logical name; names without an entry pass
// through unchanged.
QString MapFontFamily(const std::u16string& logical);

// A QFont for `f` with an em height of `pixelSize` pixels, hinting and
// kerning off, so metrics scale linearly with the size.
QFont MakeQFont(const TFontSpec& f, int pixelSize);

// points * ppi / 72, rounded half away from zero, at least 1.
int FontPixelSize(int points, int ppi);

}  // namespace platform
