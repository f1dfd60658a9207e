#include "imaging/dib/dib.h"

int32_t DibRowBytes(int32_t width, int32_t bitcount) {
  const int64_t bits = static_cast<int64_t>(width) * bitcount;
  return static_cast<int32_t>(((bits + 31) / 32) * 4);
}

bool newdib(dib& d, int32_t width, int32_t height, int32_t bitcount, const DibRGB* pal, int entries) {
  deldib(d);
  if (width <= 0 || height <= 0) return false;
  if (bitcount != 1 && bitcount != 4 && bitcount != 8 && bitcount != 24) return false;
  if (static_cast<int64_t>(width) * height > kMaxDibPixels) return false;
  d.width = width;
  d.height = height;
  d.bitcount = bitcount;
  d.bytew = DibRowBytes(width, bitcount);
  d.pixels.assign(static_cast<size_t>(d.bytew) * height, 0);
  if (bitcount <= 8) {
    d.ispal = true;
    d.palette.assign(static_cast<size_t>(1) << bitcount, DibRGB{});
    for (int i = 0; pal && i < entries && i < static_cast<int>(d.palette.size()); ++i) d.palette[i] = pal[i];
  }
  return true;
}

void deldib(dib& d) { d = dib{}; }

uint32_t getpixel(const dib& d, int32_t x, int32_t y) {
  if (!d.loaded() || x < 0 || y < 0 || x >= d.width || y >= d.height) return 0;
  const uint8_t* row = d.toprow(y);
  switch (d.bitcount) {
    case 24: {
      const uint8_t* p = row + x * 3;
      return static_cast<uint32_t>(p[2]) | (static_cast<uint32_t>(p[1]) << 8) |
             (static_cast<uint32_t>(p[0]) << 16);
    }
    case 8:
      return row[x];
    case 4:
      return (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
    case 1:
      return (row[x / 8] >> (7 - (x & 7))) & 1;
  }
  return 0;
}

void setpixel(dib& d, int32_t x, int32_t y, uint32_t v) {
  if (!d.loaded() || x < 0 || y < 0 || x >= d.width || y >= d.height) return;
  uint8_t* row = d.toprow(y);
  switch (d.bitcount) {
    case 24: {
      uint8_t* p = row + x * 3;
      p[0] = static_cast<uint8_t>(v >> 16);
      p[1] = static_cast<uint8_t>(v >> 8);
      p[2] = static_cast<uint8_t>(v);
      break;
    }
    case 8:
      row[x] = static_cast<uint8_t>(v);
      break;
    case 4: {
      uint8_t& b = row[x / 2];
      if (x & 1)
        b = static_cast<uint8_t>((b & 0xF0) | (v & 0x0F));
      else
        b = static_cast<uint8_t>((b & 0x0F) | ((v & 0x0F) << 4));
      break;
    }
    case 1: {
      uint8_t& b = row[x / 8];
      const uint8_t m = static_cast<uint8_t>(0x80 >> (x & 7));
      b = (v & 1) ? (b | m) : (b & ~m);
      break;
    }
  }
}

uint32_t getcolor(const dib& d, int32_t x, int32_t y) {
  uint32_t v = getpixel(d, x, y);
  if (d.bitcount == 24) return v;
  if (v >= d.palette.size()) return 0;
  const DibRGB& c = d.palette[v];
  return static_cast<uint32_t>(c.red) | (static_cast<uint32_t>(c.green) << 8) |
         (static_cast<uint32_t>(c.blue) << 16);
}
