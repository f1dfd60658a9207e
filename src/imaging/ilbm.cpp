#include "imaging/ilbm.h"

#include <algorithm>
#include <vector>

#include "i18n/texts.h"
#include "imaging/writers.h"

namespace {

using i18n::Decimal;
using i18n::SayUtf8;
using i18n::Text;

uint32_t Be16(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 8 | static_cast<uint8_t>(b[at + 1]);
}
uint32_t Be32(const std::string& b, size_t at) { return Be16(b, at) << 16 | Be16(b, at + 2); }

void Put16(std::string& b, uint32_t v) {
  b += static_cast<char>((v >> 8) & 0xFF);
  b += static_cast<char>(v & 0xFF);
}
void Put32(std::string& b, uint32_t v) {
  Put16(b, v >> 16);
  Put16(b, v & 0xFFFF);
}

constexpr uint32_t kCamgHam = 0x800;
constexpr uint32_t kCamgHalfBrite = 0x80;

struct Chunks {
  bool header = false;
  int32_t width = 0, height = 0;
  int planes = 0;
  int masking = 0;
  int compression = 0;
  size_t cmap = 0, cmapSize = 0;
  size_t body = 0, bodySize = 0;
  bool haveBody = false;
  uint32_t camg = 0;
};

// Walks the chunks of the FORM; stops at the end of `b` or of the FORM,
// whichever comes first (a BODY cut short is found by the decoder).
bool FindChunks(const std::string& b, Chunks& c, std::string& why) {
  if (!LooksLikeIlbm(b)) {
    why = SayUtf8(Text::PicNotFormat, {u"ILBM"});
    return false;
  }
  const uint64_t formEnd = std::min<uint64_t>(b.size(), 8 + static_cast<uint64_t>(Be32(b, 4)));
  uint64_t pos = 12;
  while (pos + 8 <= formEnd) {
    const std::string id = b.substr(static_cast<size_t>(pos), 4);
    const uint64_t size = Be32(b, static_cast<size_t>(pos + 4));
    const uint64_t data = pos + 8;
    const uint64_t avail = std::min<uint64_t>(size, formEnd - data);
    if (id == "BMHD") {
      if (avail < 20) {
        why = SayUtf8(Text::PicHeaderDamaged, {u"ILBM"});
        return false;
      }
      const size_t at = static_cast<size_t>(data);
      c.header = true;
      c.width = static_cast<int32_t>(Be16(b, at));
      c.height = static_cast<int32_t>(Be16(b, at + 2));
      c.planes = static_cast<uint8_t>(b[at + 8]);
      c.masking = static_cast<uint8_t>(b[at + 9]);
      c.compression = static_cast<uint8_t>(b[at + 10]);
    } else if (id == "CMAP") {
      c.cmap = static_cast<size_t>(data);
      c.cmapSize = static_cast<size_t>(avail);
    } else if (id == "CAMG" && avail >= 4) {
      c.camg = Be32(b, static_cast<size_t>(data));
    } else if (id == "BODY") {
      c.body = static_cast<size_t>(data);
      c.bodySize = static_cast<size_t>(avail);
      c.haveBody = true;
      break;  // the pixels come last
    }
    pos = data + size + (size & 1);
  }
  if (!c.header) {
    why = SayUtf8(Text::PicPartMissing, {u"ILBM", u"BMHD"});
    return false;
  }
  if (c.width <= 0 || c.height <= 0) {
    why = SayUtf8(Text::PicNoSize, {u"ILBM"});
    return false;
  }
  return true;
}

// ByteRun1 over one plane row: n 0 ... 127 copies the next n + 1 bytes,
// n -1 ... -127 repeats the next byte 1 - n times, -128 does nothing.
void CodeByteRun1(const uint8_t* p, size_t n, std::string& out) {
  size_t i = 0;
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < 128 && p[i + run] == p[i]) ++run;
    if (run >= 3) {
      out += static_cast<char>(static_cast<int8_t>(1 - static_cast<int>(run)));
      out += static_cast<char>(p[i]);
      i += run;
      continue;
    }
    // Literals up to the next run of three.
    size_t lit = 0;
    while (i + lit < n && lit < 128 &&
           !(i + lit + 2 < n && p[i + lit] == p[i + lit + 1] && p[i + lit] == p[i + lit + 2]))
      ++lit;
    out += static_cast<char>(lit - 1);
    out.append(reinterpret_cast<const char*>(p + i), lit);
    i += lit;
  }
}

}  // namespace

bool LooksLikeIlbm(const std::string& head) {
  return head.size() >= 12 && head.compare(0, 4, "FORM") == 0 && head.compare(8, 4, "ILBM") == 0;
}

bool IlbmSize(const std::string& bytes, int32_t& width, int32_t& height) {
  Chunks c;
  std::string why;
  if (!FindChunks(bytes, c, why)) return false;
  width = c.width;
  height = c.height;
  return true;
}

bool ReadIlbm(const std::string& b, int64_t maxPixels, dib& d, std::string& why) {
  deldib(d);
  Chunks c;
  if (!FindChunks(b, c, why)) return false;
  if ((c.planes < 1 || c.planes > 8) && c.planes != 24) {
    why = SayUtf8(Text::PicPlanesUnsupported, {u"ILBM", Decimal(c.planes), u"1"});
    return false;
  }
  if (c.camg & kCamgHam) {
    why = SayUtf8(Text::PicHamUnsupported, {u"ILBM"});
    return false;
  }
  if (c.compression > 1) {
    why = SayUtf8(Text::PicCompressionUnsupported, {u"ILBM", Decimal(c.compression)});
    return false;
  }
  if (!c.haveBody) {
    why = SayUtf8(Text::PicPartMissing, {u"ILBM", u"BODY"});
    return false;
  }
  if (static_cast<int64_t>(c.width) * c.height > maxPixels) {
    why = SayUtf8(Text::PicTooLarge, {Decimal(c.width), Decimal(c.height), Decimal(maxPixels / 1000000)});
    return false;
  }
  const size_t rowBytes = static_cast<size_t>((c.width + 15) / 16) * 2;
  const int rowPlanes = c.planes + (c.masking == 1 ? 1 : 0);
  const size_t line = rowBytes * static_cast<size_t>(rowPlanes);
  // Coded data holds at most 128 bytes per two; uncoded data must be all there.
  const uint64_t need = static_cast<uint64_t>(line) * static_cast<uint64_t>(c.height);
  if (need > (c.compression == 1 ? static_cast<uint64_t>(c.bodySize) / 2 * 128 + 128 : c.bodySize)) {
    why = SayUtf8(Text::PicEndsEarly);
    return false;
  }
  const bool truecolour = c.planes == 24;
  if (!newdib(d, c.width, c.height, truecolour ? 24 : 8)) {
    why = SayUtf8(Text::PicNoMemory);
    return false;
  }
  if (!truecolour) {
    const int entries = static_cast<int>(std::min<size_t>(c.cmapSize / 3, 256));
    for (int i = 0; i < entries; ++i) {
      const size_t at = c.cmap + static_cast<size_t>(i) * 3;
      d.palette[i] = DibRGB{static_cast<uint8_t>(b[at]), static_cast<uint8_t>(b[at + 1]),
                            static_cast<uint8_t>(b[at + 2]), 0};
    }
    if (entries == 0) {  // no colour table: grey steps over the planes' range
      const int n = 1 << c.planes;
      for (int i = 0; i < n; ++i) {
        const uint8_t g = static_cast<uint8_t>(n == 1 ? 0 : i * 255 / (n - 1));
        d.palette[i] = DibRGB{g, g, g, 0};
      }
    }
    // Extra half-brite: the upper 32 entries are the lower ones at half brightness.
    if ((c.camg & kCamgHalfBrite) && c.planes == 6)
      for (int i = 32; i < 64; ++i) {
        const DibRGB s = d.palette[i - 32];
        d.palette[i] = DibRGB{static_cast<uint8_t>(s.red / 2), static_cast<uint8_t>(s.green / 2),
                              static_cast<uint8_t>(s.blue / 2), 0};
      }
  }
  std::vector<uint8_t> row(line);
  const size_t end = c.body + c.bodySize;
  size_t pos = c.body;
  for (int32_t y = 0; y < c.height; ++y) {
    size_t i = 0;
    while (i < line) {
      if (pos >= end) {
        why = SayUtf8(Text::PicEndsAtRow, {Decimal(y + 1), Decimal(c.height)});
        deldib(d);
        return false;
      }
      if (c.compression == 0) {
        const size_t n = std::min(line - i, end - pos);
        std::copy(b.begin() + static_cast<std::ptrdiff_t>(pos),
                  b.begin() + static_cast<std::ptrdiff_t>(pos + n),
                  row.begin() + static_cast<std::ptrdiff_t>(i));
        i += n;
        pos += n;
        continue;
      }
      const int n = static_cast<int8_t>(b[pos++]);
      if (n >= 0) {
        // Bytes past the row belong to no pixel: a run may not cross rows.
        const size_t count = static_cast<size_t>(n) + 1;
        if (pos + count > end) {
          pos = end;
          continue;
        }
        const size_t take = std::min(count, line - i);
        std::copy(b.begin() + static_cast<std::ptrdiff_t>(pos),
                  b.begin() + static_cast<std::ptrdiff_t>(pos + take),
                  row.begin() + static_cast<std::ptrdiff_t>(i));
        i += take;
        pos += count;
      } else if (n != -128) {
        if (pos >= end) continue;
        const size_t take = std::min(static_cast<size_t>(1 - n), line - i);
        std::fill_n(row.begin() + static_cast<std::ptrdiff_t>(i), take, static_cast<uint8_t>(b[pos++]));
        i += take;
      }
    }
    uint8_t* out = d.toprow(y);
    for (int32_t x = 0; x < c.width; ++x) {
      const size_t byte = static_cast<size_t>(x) >> 3;
      const int shift = 7 - (x & 7);
      uint32_t v = 0;
      for (int p = 0; p < c.planes; ++p)
        v |= static_cast<uint32_t>((row[p * rowBytes + byte] >> shift) & 1) << p;
      if (truecolour) {
        out[x * 3] = static_cast<uint8_t>(v >> 16);
        out[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
        out[x * 3 + 2] = static_cast<uint8_t>(v);
      } else {
        out[x] = static_cast<uint8_t>(v);
      }
    }
  }
  return true;
}

bool WriteIlbm(const dib& src, std::string& out, std::string& why) {
  out.clear();
  dib indexed;
  const dib* picture = PictureToEncode(src, indexed, "ILBM", why);
  if (!picture) return false;
  const dib& d = *picture;
  const bool palette = picture == &indexed;
  const int planes = palette ? 8 : 24;
  const size_t rowBytes = static_cast<size_t>((d.width + 15) / 16) * 2;

  std::string body;
  std::vector<uint8_t> plane(rowBytes);
  for (int32_t y = 0; y < d.height; ++y) {
    const uint8_t* row = d.toprow(y);
    for (int p = 0; p < planes; ++p) {
      std::fill(plane.begin(), plane.end(), 0);
      for (int32_t x = 0; x < d.width; ++x) {
        // 24 planes: red bits 0 ... 7, then green, then blue (dib rows are blue, green, red).
        const uint32_t v = palette ? row[x] : row[x * 3 + 2 - p / 8];
        if ((v >> (palette ? p : p % 8)) & 1) plane[static_cast<size_t>(x) >> 3] |= 0x80 >> (x & 7);
      }
      CodeByteRun1(plane.data(), plane.size(), body);
    }
  }

  std::string header;
  Put16(header, static_cast<uint32_t>(d.width));
  Put16(header, static_cast<uint32_t>(d.height));
  Put32(header, 0);  // position
  header += static_cast<char>(planes);
  header += '\0';  // no mask
  header += '\1';  // ByteRun1
  header += '\0';
  Put16(header, 0);  // transparent colour
  header += '\1';    // square pixels
  header += '\1';
  Put16(header, static_cast<uint32_t>(std::min(d.width, 0x7FFF)));
  Put16(header, static_cast<uint32_t>(std::min(d.height, 0x7FFF)));

  std::string cmap;
  if (palette)
    for (int i = 0; i < 256; ++i) {
      const DibRGB c = i < static_cast<int>(d.palette.size()) ? d.palette[i] : DibRGB{};
      cmap += static_cast<char>(c.red);
      cmap += static_cast<char>(c.green);
      cmap += static_cast<char>(c.blue);
    }

  std::string chunks;
  auto chunk = [&chunks](const char* id, const std::string& data) {
    chunks += id;
    Put32(chunks, static_cast<uint32_t>(data.size()));
    chunks += data;
    if (data.size() & 1) chunks += '\0';
  };
  chunk("BMHD", header);
  if (palette) chunk("CMAP", cmap);
  chunk("BODY", body);
  if (chunks.size() + 4 > 0xFFFFFFFFu) {
    why = SayUtf8(Text::PicTooLargeForFormat, {u"ILBM"});
    return false;
  }
  out = "FORM";
  Put32(out, static_cast<uint32_t>(chunks.size() + 4));
  out += "ILBM";
  out += chunks;
  return true;
}
