// Writers for the save formats that Qt's image I/O cannot write.
#pragma once

#include <QIODevice>
#include <string>

#include "imaging/dib/dib.h"

// Uncompressed 24-bit Truevision Targa, bottom-left origin, with the
// version 2 footer. Pictures with a
// colour table are expanded to 24 bits (Qt's reader takes only true colour).
bool WriteTga(const dib& d, QIODevice& out, std::string& why);

// An 8-bit copy of `src` for the palette formats: pictures with a colour
// table keep it; 24-bit pictures of at most 256 colours get an exact table,
// others the halftone palette.
bool ToIndexed8(const dib& src, dib& out);

// The picture a palette-or-true-colour writer encodes: `src` itself when it
// has more than 8 bits, else its 8-bit copy in `indexed`. Null with `why`
// when the picture is larger than 65535 pixels a side (`format` names the
// format) or the copy cannot be made.
const dib* PictureToEncode(const dib& src, dib& indexed, const char* format, std::string& why);

// GIF89a, one image, LZW-coded (8-bit through ToIndexed8).
bool WriteGif(const dib& d, QIODevice& out, std::string& why);

// Windows bitmap with run-length coded 8-bit rows (BI_RLE8), claiming
// `dotsPerMetre` pixels per metre both ways.
bool WriteRle8Bmp(const dib& d, QIODevice& out, std::string& why, int32_t dotsPerMetre);
