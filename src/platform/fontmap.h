// Logical font names of catalogs mapped to the fonts this system ships, and
// the QFont for a role font at a pixel size.
#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "core/settings.h"
#include "render/fontfamilies.h"

namespace platform {

// The table itself lives in render (Qt-free surfaces need it too); its
// weights are CSS weights, which are QFont's weights as well.
using render::FontMapping;
using render::FontMappings;

// The installed family for a logical name; names without an entry pass
// through unchanged.
QString MapFontFamily(const std::u16string& logical);

// A QFont for `f` with an em height of `pixelSize` pixels, hinting and
// kerning off, so metrics scale linearly with the size.
QFont MakeQFont(const TFontSpec& f, int pixelSize);

// points * ppi / 72, rounded half away from zero, at least 1.
int FontPixelSize(int points, int ppi);

}  // namespace platform
