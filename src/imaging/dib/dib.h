// The in-memory bitmap record shared by the image codecs, the renderers and
// the PDF writer. Rows are stored bottom row first, each padded to a multiple
// of four bytes; 24-bit pixels are blue, green, red. 1-, 4- and 8-bit
// pictures carry a colour table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DibRGB {
  uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

struct dib {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitcount = 0;  // 1, 4, 8 or 24
  int32_t bytew = 0;     // bytes per row
  bool ispal = false;    // a colour table is in use
  std::vector<DibRGB> palette;
  std::vector<uint8_t> pixels;  // height * bytew bytes, bottom row first

  // Success of a load or creation: pixels are present.
  bool loaded() const { return !pixels.empty(); }
  int colorcount() const { return bitcount <= 8 ? (1 << bitcount) : 0; }

  // Row y counted from the top of the picture.
  uint8_t* toprow(int32_t y) { return pixels.data() + static_cast<size_t>(height - 1 - y) * bytew; }
  const uint8_t* toprow(int32_t y) const {
    return pixels.data() + static_cast<size_t>(height - 1 - y) * bytew;
  }
};

// Largest picture the program keeps in memory, in pixels (64 megapixels,
// 192 MB at 24 bits). Larger ones are refused when created or loaded.
constexpr int64_t kMaxDibPixels = 64LL * 1024 * 1024;

int32_t DibRowBytes(int32_t width, int32_t bitcount);

// A blank picture (all bytes zero): 24-bit without a colour table, or up to
// 8 bits with `entries` colours copied from `pal` (may be null).
// False (and `d` emptied) for bad sizes or more than kMaxDibPixels.
bool newdib(dib& d, int32_t width, int32_t height, int32_t bitcount, const DibRGB* pal = nullptr,
            int entries = 0);
void deldib(dib& d);

// Palette index, or 0x00BBGGRR for 24 bits; (x, y) from the top left.
// Outside the picture getpixel gives 0 and setpixel does nothing.
uint32_t getpixel(const dib& d, int32_t x, int32_t y);
void setpixel(dib& d, int32_t x, int32_t y, uint32_t value);

// Colour of a pixel as 0x00BBGGRR whatever the bit count.
uint32_t getcolor(const dib& d, int32_t x, int32_t y);
