// How the renderers reach picture files without knowing any codec: the
// imaging library implements PictureLoader on the platform's image I/O.
// Relative file names are resolved by the implementation (current folder).
#pragma once

#include <cstdint>
#include <string>

#include "imaging/dib/dib.h"

namespace render {

class PictureLoader {
 public:
  virtual ~PictureLoader() = default;
  // Decodes `filename` into `out` (1, 4, 8 or 24 bits per pixel). False,
  // and `out` left empty, when the file is missing, unreadable, damaged or
  // larger than kMaxDibPixels. Never shows a message.
  virtual bool Load(const std::u16string& filename, dib& out) = 0;
  // The picture's pixel size without decoding its pixels where the format
  // allows. False (and 0, 0) when it cannot be learnt.
  virtual bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) = 0;
};

}  // namespace render
