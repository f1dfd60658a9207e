#include "imaging/pcx.h"

#include <vector>

#include "i18n/texts.h"
#include "imaging/writers.h"

namespace {

using i18n::Decimal;
using i18n::SayUtf8;
using i18n::Text;

constexpr size_t kHeader = 128;
constexpr size_t kPaletteBlock = 769;  // 0x0C, then 256 x red, green, blue

uint32_t U16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}

void Put16(std::string& b, size_t at, uint32_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

struct Header {
  int32_t width = 0, height = 0;
  int planes = 0;
  uint32_t bytesPerLine = 0;
  bool coded = true;
  bool palette = false;  // a 256-colour table ends the file
};

bool ParseHeader(const std::string& b, Header& h, std::string& why) {
  if (b.size() < kHeader || !LooksLikePcx(b)) {
    why = SayUtf8(Text::PicNotFormat, {u"PCX"});
    return false;
  }
  const uint32_t xmin = U16(b, 4), ymin = U16(b, 6), xmax = U16(b, 8), ymax = U16(b, 10);
  if (xmax < xmin || ymax < ymin) {
    why = SayUtf8(Text::PicNoSize, {u"PCX"});
    return false;
  }
  h.width = static_cast<int32_t>(xmax - xmin + 1);
  h.height = static_cast<int32_t>(ymax - ymin + 1);
  h.planes = static_cast<uint8_t>(b[65]);
  h.bytesPerLine = U16(b, 66);
  h.coded = b[2] == 1;
  const int bits = static_cast<uint8_t>(b[3]);
  if (bits != 8 || (h.planes != 1 && h.planes != 3 && h.planes != 4)) {
    why = SayUtf8(Text::PicPlanesUnsupported, {u"PCX", Decimal(h.planes), Decimal(bits)});
    return false;
  }
  if (h.bytesPerLine < static_cast<uint32_t>(h.width)) {
    why = SayUtf8(Text::PicHeaderDamaged, {u"PCX"});
    return false;
  }
  h.palette = h.planes == 1 && b.size() >= kHeader + kPaletteBlock && b[b.size() - kPaletteBlock] == 0x0C;
  return true;
}

// One plane row, run-length coded: a byte of the two top bits set counts the
// next byte 1 ... 63 times; every other byte stands for itself.
void CodeRow(const uint8_t* p, size_t n, std::string& out) {
  size_t i = 0;
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < 63 && p[i + run] == p[i]) ++run;
    if (run > 1 || p[i] >= 0xC0) out += static_cast<char>(0xC0 | run);
    out += static_cast<char>(p[i]);
    i += run;
  }
}

}  // namespace

bool LooksLikePcx(const std::string& head) {
  if (head.size() < 4) return false;
  const uint8_t version = static_cast<uint8_t>(head[1]);
  const uint8_t bits = static_cast<uint8_t>(head[3]);
  return head[0] == 0x0A && (version == 0 || (version >= 2 && version <= 5)) &&
         (head[2] == 0 || head[2] == 1) && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

bool PcxSize(const std::string& bytes, int32_t& width, int32_t& height) {
  Header h;
  std::string why;
  if (!ParseHeader(bytes, h, why)) return false;
  width = h.width;
  height = h.height;
  return true;
}

bool ReadPcx(const std::string& b, int64_t maxPixels, dib& d, std::string& why) {
  deldib(d);
  Header h;
  if (!ParseHeader(b, h, why)) return false;
  if (static_cast<int64_t>(h.width) * h.height > maxPixels) {
    why = SayUtf8(Text::PicTooLarge, {Decimal(h.width), Decimal(h.height), Decimal(maxPixels / 1000000)});
    return false;
  }
  const size_t end = h.palette ? b.size() - kPaletteBlock : b.size();
  const size_t line = static_cast<size_t>(h.bytesPerLine) * static_cast<size_t>(h.planes);
  // Uncoded data must be all there; coded data holds at most 63 bytes per two.
  const uint64_t need = static_cast<uint64_t>(line) * static_cast<uint64_t>(h.height);
  const uint64_t have = end - kHeader;
  if (need > (h.coded ? have / 2 * 63 + 63 : have)) {
    why = SayUtf8(Text::PicEndsEarly);
    return false;
  }
  if (!newdib(d, h.width, h.height, h.planes == 1 ? 8 : 24)) {
    why = SayUtf8(Text::PicNoMemory);
    return false;
  }
  if (h.planes == 1) {
    for (int i = 0; i < 256; ++i) {
      if (h.palette) {
        const size_t at = end + 1 + static_cast<size_t>(i) * 3;
        d.palette[i] = DibRGB{static_cast<uint8_t>(b[at]), static_cast<uint8_t>(b[at + 1]),
                              static_cast<uint8_t>(b[at + 2]), 0};
      } else {
        const uint8_t g = static_cast<uint8_t>(i);
        d.palette[i] = DibRGB{g, g, g, 0};
      }
    }
  }
  std::vector<uint8_t> row(line);
  size_t pos = kHeader;
  uint32_t pending = 0;  // a run may go on into the next row
  uint8_t value = 0;
  for (int32_t y = 0; y < h.height; ++y) {
    for (size_t i = 0; i < line;) {
      if (pending == 0) {
        if (pos >= end) {
          why = SayUtf8(Text::PicEndsAtRow, {Decimal(y + 1), Decimal(h.height)});
          deldib(d);
          return false;
        }
        const uint8_t c = static_cast<uint8_t>(b[pos++]);
        if (h.coded && c >= 0xC0) {
          if (pos >= end) continue;  // reported above on the next round
          pending = c & 0x3F;
          value = static_cast<uint8_t>(b[pos++]);
          continue;
        }
        pending = 1;
        value = c;
      }
      row[i++] = value;
      --pending;
    }
    uint8_t* out = d.toprow(y);
    if (h.planes == 1) {
      std::copy(row.begin(), row.begin() + h.width, out);
      continue;
    }
    const uint8_t* r = row.data();
    const uint8_t* g = r + h.bytesPerLine;
    const uint8_t* bl = g + h.bytesPerLine;
    for (int32_t x = 0; x < h.width; ++x) {
      out[x * 3] = bl[x];
      out[x * 3 + 1] = g[x];
      out[x * 3 + 2] = r[x];
    }
  }
  return true;
}

bool WritePcx(const dib& src, std::string& out, std::string& why) {
  out.clear();
  dib indexed;
  const dib* picture = PictureToEncode(src, indexed, "PCX", why);
  if (!picture) return false;
  const dib& d = *picture;
  const bool palette = picture == &indexed;
  const int planes = palette ? 1 : 3;
  const uint32_t bytesPerLine = static_cast<uint32_t>(d.width + (d.width & 1));  // even
  out.assign(kHeader, '\0');
  out[0] = 0x0A;
  out[1] = 5;
  out[2] = 1;
  out[3] = 8;
  Put16(out, 8, static_cast<uint32_t>(d.width - 1));
  Put16(out, 10, static_cast<uint32_t>(d.height - 1));
  Put16(out, 12, 72);
  Put16(out, 14, 72);
  out[65] = static_cast<char>(planes);
  Put16(out, 66, bytesPerLine);
  Put16(out, 68, 1);  // colour
  std::vector<uint8_t> plane(bytesPerLine, 0);
  for (int32_t y = 0; y < d.height; ++y) {
    const uint8_t* row = d.toprow(y);
    for (int p = 0; p < planes; ++p) {
      for (int32_t x = 0; x < d.width; ++x) plane[x] = palette ? row[x] : row[x * 3 + 2 - p];
      CodeRow(plane.data(), plane.size(), out);
    }
  }
  if (palette) {
    out += static_cast<char>(0x0C);
    for (int i = 0; i < 256; ++i) {
      const DibRGB c = i < static_cast<int>(d.palette.size()) ? d.palette[i] : DibRGB{};
      out += static_cast<char>(c.red);
      out += static_cast<char>(c.green);
      out += static_cast<char>(c.blue);
    }
  }
  return true;
}
