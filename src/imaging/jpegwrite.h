// JPEG encoding straight from rows of blue, green, red pixels: a 24-bit
// bitmap's rows or a 32-bit page image's (blue, green, red, unused), with
// no converted copy of the picture. The bytes are those SaveDib writes for
// the same pixels, quality and resolution (baseline, standard tables, JFIF
// density in dots per inch).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "imaging/dib/dib.h"

// `rows` points at the top row, `stride` bytes apart (negative for a
// bitmap stored bottom row first); `bytesPerPixel` 3 or 4. `quality`
// 0 ... 100. False with `why` set when the encoder fails. `before`, when
// given, is called with each row's number (0 at the top) just before the
// encoder reads that row: a caller can finish the rows one by one while
// they are in the cache.
bool EncodeJpegRows(const uint8_t* rows, ptrdiff_t stride, int32_t width, int32_t height, int bytesPerPixel,
                    int quality, int32_t dpi, std::string& out, std::string& why,
                    const std::function<void(int32_t row)>& before = {});
// A 24-bit bitmap.
bool EncodeJpegDib(const dib& d, int quality, int32_t dpi, std::string& out, std::string& why);
