#include "imaging/writers.h"

#include <QByteArray>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "core/codepage.h"
#include "i18n/texts.h"
#include "imaging/pixoran.h"

namespace {

using i18n::SayUtf8;
using i18n::Text;

void Put16(QByteArray& b, int v) {
  b.append(static_cast<char>(v & 0xFF));
  b.append(static_cast<char>((v >> 8) & 0xFF));
}

}  // namespace

bool WriteTga(const dib& d, QIODevice& out, std::string& why) {
  if (d.width > 0xFFFF || d.height > 0xFFFF) {
    why = SayUtf8(Text::PicTooLargeForFormat, {u"Targa"});
    return false;
  }
  QByteArray header;
  header.append(char(0));  // no image id
  header.append(char(0));  // no colour map
  header.append(char(2));  // uncompressed true colour
  header.append(5, char(0));
  Put16(header, 0);
  Put16(header, 0);
  Put16(header, d.width);
  Put16(header, d.height);
  header.append(char(24));
  header.append(char(0));  // rows bottom first, like the dib
  if (out.write(header) != header.size()) {
    why = SayUtf8(Text::PicEncodeFailed, {u"Targa"});
    return false;
  }
  std::vector<char> row(static_cast<size_t>(d.width) * 3);
  for (int32_t r = 0; r < d.height; ++r) {
    const int32_t y = d.height - 1 - r;  // bottom row first
    if (d.bitcount == 24) {
      const uint8_t* s = d.toprow(y);
      std::copy(s, s + row.size(), reinterpret_cast<uint8_t*>(row.data()));
    } else {
      for (int32_t x = 0; x < d.width; ++x) {
        const uint32_t c = getcolor(d, x, y);
        row[x * 3] = static_cast<char>((c >> 16) & 0xFF);
        row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<char>(c & 0xFF);
      }
    }
    if (out.write(row.data(), static_cast<qint64>(row.size())) != static_cast<qint64>(row.size())) {
      why = SayUtf8(Text::PicEncodeFailed, {u"Targa"});
      return false;
    }
  }
  // Version 2 footer: no extension or developer area. Qt's reader insists on it.
  QByteArray footer(8, '\0');
  footer.append("TRUEVISION-XFILE.");
  footer.append('\0');
  if (out.write(footer) != footer.size()) {
    why = SayUtf8(Text::PicEncodeFailed, {u"Targa"});
    return false;
  }
  return true;
}

const dib* PictureToEncode(const dib& src, dib& indexed, const char* format, std::string& why) {
  if (src.width > 0xFFFF || src.height > 0xFFFF) {
    why = SayUtf8(Text::PicTooLargeForFormat, {ql::FromUtf8(format)});
    return nullptr;
  }
  if (src.bitcount > 8) return &src;
  if (!ToIndexed8(src, indexed)) {
    why = SayUtf8(Text::PicNoMemory);
    return nullptr;
  }
  return &indexed;
}

bool ToIndexed8(const dib& src, dib& out) {
  deldib(out);
  if (!src.loaded()) return false;
  if (src.bitcount <= 8) {
    if (!newdib(out, src.width, src.height, 8, src.palette.data(), static_cast<int>(src.palette.size())))
      return false;
    for (int32_t y = 0; y < src.height; ++y)
      for (int32_t x = 0; x < src.width; ++x) out.toprow(y)[x] = static_cast<uint8_t>(getpixel(src, x, y));
    return true;
  }
  // Collect up to 256 distinct colours; more than that means halftoning.
  std::unordered_map<uint32_t, uint8_t> index;
  std::vector<DibRGB> table;
  for (int32_t y = 0; y < src.height && table.size() <= 256; ++y) {
    const uint8_t* p = src.toprow(y);
    for (int32_t x = 0; x < src.width; ++x, p += 3) {
      const uint32_t c = p[0] | (p[1] << 8) | (p[2] << 16);
      if (index.count(c)) continue;
      if (table.size() == 256) {
        table.push_back({});
        break;
      }
      index.emplace(c, static_cast<uint8_t>(table.size()));
      table.push_back(DibRGB{p[2], p[1], p[0], 0});
    }
  }
  if (table.size() > 256) return DIBHalftoneDIB(out, src);
  if (!newdib(out, src.width, src.height, 8, table.data(), static_cast<int>(table.size()))) return false;
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* p = src.toprow(y);
    uint8_t* t = out.toprow(y);
    for (int32_t x = 0; x < src.width; ++x, p += 3) t[x] = index[p[0] | (p[1] << 8) | (p[2] << 16)];
  }
  return true;
}

namespace {

// LSB-first bit packer writing GIF data sub-blocks of up to 255 bytes.
class GifBits {
 public:
  explicit GifBits(QByteArray& out) : out_(out) {}
  void Put(int code, int bits) {
    acc_ |= static_cast<uint32_t>(code) << nbits_;
    nbits_ += bits;
    while (nbits_ >= 8) {
      Byte(static_cast<uint8_t>(acc_ & 0xFF));
      acc_ >>= 8;
      nbits_ -= 8;
    }
  }
  void Finish() {
    if (nbits_ > 0) Byte(static_cast<uint8_t>(acc_ & 0xFF));
    acc_ = 0;
    nbits_ = 0;
    FlushBlock();
    out_.append(char(0));  // block terminator
  }

 private:
  void Byte(uint8_t b) {
    block_[blen_++] = static_cast<char>(b);
    if (blen_ == 255) FlushBlock();
  }
  void FlushBlock() {
    if (blen_ == 0) return;
    out_.append(static_cast<char>(blen_));
    out_.append(block_, blen_);
    blen_ = 0;
  }
  QByteArray& out_;
  uint32_t acc_ = 0;
  int nbits_ = 0;
  char block_[255];
  int blen_ = 0;
};

// LZW over 8-bit indexes with the GIF conventions (clear 256, end 257,
// codes up to 12 bits, a clear code when the table is full).
void GifLzw(const dib& d, QByteArray& out) {
  constexpr int kClear = 256, kEnd = 257, kMaxCode = 4096;
  constexpr int kHashSize = 5003;  // prime, above the 4096 codes
  std::vector<int32_t> hkey(kHashSize, -1);
  std::vector<int16_t> hcode(kHashSize, 0);
  GifBits bits(out);
  int codesize = 9, next = 258;
  bits.Put(kClear, codesize);
  int prefix = -1;
  for (int32_t y = 0; y < d.height; ++y) {
    const uint8_t* row = d.toprow(y);
    for (int32_t x = 0; x < d.width; ++x) {
      const int k = row[x];
      if (prefix < 0) {
        prefix = k;
        continue;
      }
      const int32_t key = (prefix << 8) | k;
      int h = static_cast<int>((static_cast<uint32_t>(key) * 2654435761u) % kHashSize);
      while (hkey[h] != -1 && hkey[h] != key) h = (h + 1) % kHashSize;
      if (hkey[h] == key) {
        prefix = hcode[h];
        continue;
      }
      bits.Put(prefix, codesize);
      if (next < kMaxCode) {
        hkey[h] = key;
        hcode[h] = static_cast<int16_t>(next++);
        // The decoder widens its codes one code later than we add entries.
        if (next > (1 << codesize) && codesize < 12) ++codesize;
      } else {
        bits.Put(kClear, codesize);
        std::fill(hkey.begin(), hkey.end(), -1);
        codesize = 9;
        next = 258;
      }
      prefix = k;
    }
  }
  if (prefix >= 0) bits.Put(prefix, codesize);
  bits.Put(kEnd, codesize);
  bits.Finish();
}

void PutLe32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteGif(const dib& src, QIODevice& out, std::string& why) {
  if (src.width > 0xFFFF || src.height > 0xFFFF) {
    why = SayUtf8(Text::PicTooLargeForFormat, {u"GIF"});
    return false;
  }
  dib d;
  if (!ToIndexed8(src, d)) {
    why = SayUtf8(Text::PicNoMemory);
    return false;
  }
  QByteArray b("GIF89a");
  Put16(b, d.width);
  Put16(b, d.height);
  b.append(static_cast<char>(0xF7));  // global table of 256 entries, 8 bits per primary
  b.append(char(0));
  b.append(char(0));
  for (int i = 0; i < 256; ++i) {
    const DibRGB c = i < static_cast<int>(d.palette.size()) ? d.palette[i] : DibRGB{};
    b.append(static_cast<char>(c.red));
    b.append(static_cast<char>(c.green));
    b.append(static_cast<char>(c.blue));
  }
  b.append(char(0x2C));
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, d.width);
  Put16(b, d.height);
  b.append(char(0));  // no local table, not interlaced
  b.append(char(8));  // LZW minimum code size
  GifLzw(d, b);
  b.append(char(0x3B));
  if (out.write(b) != b.size()) {
    why = SayUtf8(Text::PicEncodeFailed, {u"GIF"});
    return false;
  }
  return true;
}

bool WriteRle8Bmp(const dib& src, QIODevice& out, std::string& why, int32_t dotsPerMetre) {
  dib d;
  if (!ToIndexed8(src, d)) {
    why = SayUtf8(Text::PicNoMemory);
    return false;
  }
  QByteArray data;
  for (int32_t r = 0; r < d.height; ++r) {
    const uint8_t* row = d.toprow(d.height - 1 - r);  // bottom row first
    int32_t x = 0;
    while (x < d.width) {
      int32_t run = 1;
      while (x + run < d.width && run < 255 && row[x + run] == row[x]) ++run;
      if (run >= 2) {
        data.append(static_cast<char>(run));
        data.append(static_cast<char>(row[x]));
        x += run;
        continue;
      }
      // Literal pixels up to the next run of two (absolute mode needs >= 3).
      int32_t lit = 1;
      while (x + lit < d.width && lit < 255 && !(x + lit + 1 < d.width && row[x + lit] == row[x + lit + 1]))
        ++lit;
      if (lit < 3) {
        for (int32_t i = 0; i < lit; ++i) {
          data.append(char(1));
          data.append(static_cast<char>(row[x + i]));
        }
      } else {
        data.append(char(0));
        data.append(static_cast<char>(lit));
        data.append(reinterpret_cast<const char*>(row + x), lit);
        if (lit & 1) data.append(char(0));  // absolute runs end on a word boundary
      }
      x += lit;
    }
    data.append(char(0));
    data.append(char(r + 1 == d.height ? 1 : 0));  // end of line / end of bitmap
  }
  const uint32_t offbits = 14 + 40 + 256 * 4;
  QByteArray b("BM");
  PutLe32(b, offbits + static_cast<uint32_t>(data.size()));
  PutLe32(b, 0);
  PutLe32(b, offbits);
  PutLe32(b, 40);
  PutLe32(b, static_cast<uint32_t>(d.width));
  PutLe32(b, static_cast<uint32_t>(d.height));
  Put16(b, 1);
  Put16(b, 8);
  PutLe32(b, 1);  // BI_RLE8
  PutLe32(b, static_cast<uint32_t>(data.size()));
  PutLe32(b, static_cast<uint32_t>(dotsPerMetre));
  PutLe32(b, static_cast<uint32_t>(dotsPerMetre));
  PutLe32(b, 256);
  PutLe32(b, 0);
  for (int i = 0; i < 256; ++i) {
    const DibRGB c = i < static_cast<int>(d.palette.size()) ? d.palette[i] : DibRGB{};
    b.append(static_cast<char>(c.blue));
    b.append(static_cast<char>(c.green));
    b.append(static_cast<char>(c.red));
    b.append(char(0));
  }
  if (out.write(b) != b.size() || out.write(data) != data.size()) {
    why = SayUtf8(Text::PicEncodeFailed, {u"BMP"});
    return false;
  }
  return true;
}
