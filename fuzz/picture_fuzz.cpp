// Fuzzes the picture readers on bytes: the structural checks of filecheck.cpp
// and the codecs behind OpenDib, with the pixel cap. A decoded picture never
// exceeds the cap, has rows of the size it claims, and when the header gave a
// size the full decode has exactly that size; a decode for a small box never
// has more pixels than the full one. A PCX or ILBM picture (our own codecs)
// that was accepted writes in its format and reads back to the same pixels.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "imaging/ilbm.h"
#include "imaging/pcx.h"
#include "imaging/pixoran.h"

// With QL_FUZZ_SEEDS naming a folder: a small picture saved in every format
// the program writes (the sample's own pictures are copied by run-all.sh).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("QL_FUZZ_SEEDS");
  if (!dir) return 0;
  dib d;
  if (!newdib(d, 24, 16, 24)) return 0;
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 24; ++x) setpixel(d, x, y, uint32_t(x * 10) | uint32_t(y * 15) << 8 | 0x400000u);
  dib pal;
  DIBHalftoneDIB(pal, d);
  for (const DibFileFormat& f : DibSaveFormats()) {
    if (!f.writable) continue;
    SaveDib(d, std::string(dir) + "/seed24" + f.extension, f.code);
    if (pal.loaded()) SaveDib(pal, std::string(dir) + "/seed8" + f.extension, f.code);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  dib d;
  std::string error;
  const bool ok = OpenDibFromBytes(d, bytes, 0, 0, &error);
  if (!ok) {
    if (error.empty() || d.loaded()) std::abort();
    return 0;
  }
  if (!d.loaded() || d.width <= 0 || d.height <= 0) std::abort();
  if (int64_t(d.width) * d.height > PicturePixelCap()) std::abort();
  if (d.pixels.size() != static_cast<size_t>(d.bytew) * static_cast<size_t>(d.height)) std::abort();
  if (d.bytew < DibRowBytes(d.width, d.bitcount)) std::abort();
  int32_t hw = 0, hh = 0;
  if (DibSizeFromBytes(bytes, hw, hh) && (hw != d.width || hh != d.height)) std::abort();
  dib small;
  if (OpenDibFromBytes(small, bytes, 16, 16, &error)) {
    if (int64_t(small.width) * small.height > int64_t(d.width) * d.height) std::abort();
  }
  const bool pcx = LooksLikePcx(bytes), ilbm = LooksLikeIlbm(bytes);
  if (pcx || ilbm) {
    std::string written, why;
    if (!(pcx ? WritePcx(d, written, why) : WriteIlbm(d, written, why))) std::abort();
    dib back;
    if (!OpenDibFromBytes(back, written, 0, 0, &error)) std::abort();
    if (back.width != d.width || back.height != d.height) std::abort();
    for (int32_t y = 0; y < d.height; ++y)
      for (int32_t x = 0; x < d.width; ++x)
        if (getcolor(back, x, y) != getcolor(d, x, y)) std::abort();
  }
  return 0;
}
