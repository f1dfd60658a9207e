// PC Paintbrush (.pcx) pictures, read and written by our own code: Qt's
// image I/O has no codec for them.
//
// Written: version 5, run-length coded, 8 bits per sample, one plane with the
// 256-colour table at the end (pictures with a colour table) or three planes
// red, green, blue (24-bit pictures). Read: those two and 8-bit pictures of
// four planes (the fourth, alpha, is dropped) and uncoded data; the colour
// table is optional (grey without one).
#pragma once

#include <cstdint>
#include <string>

#include "imaging/dib/dib.h"

// Whether `head` (the first bytes of a file, at least 4) looks like PCX.
bool LooksLikePcx(const std::string& head);

// The pixel size the 128-byte header gives; false when it is no PCX header.
bool PcxSize(const std::string& bytes, int32_t& width, int32_t& height);

// Decodes a whole file into `d` (8 bits with its colour table, or 24 bits).
// Refuses a picture of more than `maxPixels` before allocating it, and data
// that ends early; `d` is emptied and `why` says what is wrong on failure.
bool ReadPcx(const std::string& bytes, int64_t maxPixels, dib& d, std::string& why);

// Encodes `d` (1, 4 or 8 bits with a colour table, or 24 bits) into `out`.
bool WritePcx(const dib& d, std::string& out, std::string& why);
