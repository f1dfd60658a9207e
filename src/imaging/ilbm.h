// Interleaved bitmaps in an IFF file ("FORM" ... "ILBM"; the extensions .iff
// and .lbm), read and written by our own code: Qt's image I/O has no codec
// for them.
//
// Written: BMHD, CMAP and BODY, every plane row coded with ByteRun1; 8 planes
// with a 256-entry CMAP for pictures with a colour table, 24 planes (red
// bits 0 ... 7, green, blue; no CMAP) for 24-bit pictures. Read: 1 ... 8
// planes (extra half-brite included) and 24 planes, coded or not, with or
// without a mask plane; hold-and-modify pictures are refused.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/dib/dib.h"

// Whether `head` (the first bytes of a file, at least 12) looks like ILBM.
bool LooksLikeIlbm(const std::string& head);

// The pixel size the BMHD chunk gives; false when `bytes` holds no ILBM
// header (the BMHD must lie within `bytes`).
bool IlbmSize(const std::string& bytes, int32_t& width, int32_t& height);

// Decodes a whole file into `d` (8 bits with its colour table, or 24 bits).
// Refuses a picture of more than `maxPixels` before allocating it, and data
// that ends early; `d` is emptied and `why` says what is wrong on failure.
bool ReadIlbm(const std::string& bytes, int64_t maxPixels, dib& d, std::string& why);

// Encodes `d` (1, 4 or 8 bits with a colour table, or 24 bits) into `out`.
bool WriteIlbm(const dib& d, std::string& out, std::string& why);
