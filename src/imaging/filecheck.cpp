#include "imaging/filecheck.h"

#include <cstdint>
#include <cstring>

#include "i18n/texts.h"

namespace {

using i18n::SayUtf8;
using i18n::Text;

std::string EndsEarly() { return SayUtf8(Text::PicEndsEarly); }

// Sequential reader over a device with its own buffer and an end flag.
class ByteStream {
 public:
  explicit ByteStream(QIODevice& dev) : dev_(dev) {}

  // Next byte, or -1 at the end of the data.
  int Get() {
    if (pos_ == buf_.size()) {
      buf_ = dev_.read(1 << 16);
      pos_ = 0;
      if (buf_.isEmpty()) return -1;
    }
    return static_cast<uint8_t>(buf_[pos_++]);
  }
  // Skips n bytes; false when the data ends first.
  bool Skip(int64_t n) {
    const int64_t inbuf = buf_.size() - pos_;
    if (n <= inbuf) {
      pos_ += static_cast<int>(n);
      return true;
    }
    n -= inbuf;
    pos_ = buf_.size();
    const int64_t target = dev_.pos() + n;
    if (target > dev_.size()) return false;
    return dev_.seek(target);
  }
  // Moves to the next 0xFF byte (left for Get); false when the data ends first.
  bool SeekFF() {
    for (;;) {
      if (pos_ < buf_.size()) {
        const char* from = buf_.constData() + pos_;
        const void* hit = std::memchr(from, 0xFF, static_cast<size_t>(buf_.size() - pos_));
        if (hit) {
          pos_ += static_cast<int>(static_cast<const char*>(hit) - from);
          return true;
        }
      }
      buf_ = dev_.read(1 << 16);
      pos_ = 0;
      if (buf_.isEmpty()) return false;
    }
  }
  int Get16BE() {
    const int a = Get(), b = Get();
    return (a < 0 || b < 0) ? -1 : (a << 8) | b;
  }

 private:
  QIODevice& dev_;
  QByteArray buf_;
  int pos_ = 0;
};

uint32_t Le32(const QByteArray& h, int at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(h[at])) |
         (static_cast<uint32_t>(static_cast<uint8_t>(h[at + 1])) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(h[at + 2])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(h[at + 3])) << 24);
}
uint16_t Le16(const QByteArray& h, int at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(h[at]) | (static_cast<uint8_t>(h[at + 1]) << 8));
}

// Walks the marker segments up to the end-of-image marker. Entropy-coded
// data after a start-of-scan holds no marker other than restart markers and
// stuffed 0xFF 0x00 pairs, so the next real marker is found by scanning.
bool JpegComplete(QIODevice& dev, std::string& why) {
  ByteStream s(dev);
  if (s.Get() != 0xFF || s.Get() != 0xD8) {
    why = SayUtf8(Text::PicNotFormat, {u"JPEG"});
    return false;
  }
  int pending = -1;  // a marker found while scanning entropy data
  for (;;) {
    int m = pending;
    pending = -1;
    if (m < 0) {
      int c = s.Get();
      if (c != 0xFF) {
        why = c < 0 ? EndsEarly() : SayUtf8(Text::PicStructureDamaged, {u"JPEG"});
        return false;
      }
      do m = s.Get();
      while (m == 0xFF);
      if (m < 0) {
        why = EndsEarly();
        return false;
      }
    }
    if (m == 0xD9) return true;
    if ((m >= 0xD0 && m <= 0xD7) || m == 0x01) continue;
    const int len = s.Get16BE();
    if (len < 2 || !s.Skip(len - 2)) {
      why = len < 0 || len >= 2 ? EndsEarly() : SayUtf8(Text::PicStructureDamaged, {u"JPEG"});
      return false;
    }
    if (m != 0xDA) continue;
    // Entropy-coded data.
    for (;;) {
      if (!s.SeekFF()) {
        why = EndsEarly();
        return false;
      }
      s.Get();
      int n = s.Get();
      while (n == 0xFF) n = s.Get();
      if (n < 0) {
        why = EndsEarly();
        return false;
      }
      if (n == 0x00 || (n >= 0xD0 && n <= 0xD7)) continue;
      pending = n;
      break;
    }
  }
}

bool BmpComplete(QIODevice& dev, std::string& why) {
  const QByteArray h = dev.peek(54);
  if (h.size() < 26 || h[0] != 'B' || h[1] != 'M') {
    why = SayUtf8(Text::PicHeaderDamaged, {u"BMP"});
    return false;
  }
  const uint32_t offbits = Le32(h, 10);
  const uint32_t infosize = Le32(h, 14);
  int64_t width = 0, height = 0;
  int bits = 0;
  uint32_t compression = 0;
  if (infosize == 12) {
    width = Le16(h, 18);
    height = Le16(h, 20);
    bits = h.size() >= 26 ? Le16(h, 24) : 0;
  } else if (infosize >= 40 && h.size() >= 34) {
    width = static_cast<int32_t>(Le32(h, 18));
    height = static_cast<int32_t>(Le32(h, 22));
    bits = Le16(h, 28);
    compression = Le32(h, 30);
  } else {
    why = SayUtf8(Text::PicHeaderDamaged, {u"BMP"});
    return false;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0) {
    why = SayUtf8(Text::PicNoSize, {u"BMP"});
    return false;
  }
  // Run-length compressed data has no size to check beforehand.
  if (compression != 0 && compression != 3 && compression != 6) return true;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    why = SayUtf8(Text::PicBitsUnsupported, {u"BMP", i18n::Decimal(bits)});
    return false;
  }
  // Compared by division: width and height may each be near 2^31.
  const int64_t rowbytes = ((width * bits + 31) / 32) * 4;
  const int64_t room = dev.size() - static_cast<int64_t>(offbits);
  if (room < 0 || rowbytes > room || height > room / rowbytes) {
    why = EndsEarly();
    return false;
  }
  return true;
}

bool TgaComplete(QIODevice& dev, std::string& why) {
  const QByteArray h = dev.peek(18);
  if (h.size() < 18) {
    why = SayUtf8(Text::PicHeaderDamaged, {u"TGA"});
    return false;
  }
  const int idlen = static_cast<uint8_t>(h[0]);
  const int type = static_cast<uint8_t>(h[2]);
  const int64_t cmaplen = Le16(h, 5);
  const int cmapbits = static_cast<uint8_t>(h[7]);
  const int64_t width = Le16(h, 12), height = Le16(h, 14);
  const int bits = static_cast<uint8_t>(h[16]);
  if (type != 1 && type != 2 && type != 3) return true;  // compressed: checked by the decoder
  const int64_t need = 18 + idlen + (static_cast<uint8_t>(h[1]) ? cmaplen * ((cmapbits + 7) / 8) : 0) +
                       width * height * ((bits + 7) / 8);
  if (need > dev.size()) {
    why = EndsEarly();
    return false;
  }
  return true;
}

bool SkipSubBlocks(ByteStream& s) {
  for (;;) {
    const int n = s.Get();
    if (n < 0) return false;
    if (n == 0) return true;
    if (!s.Skip(n)) return false;
  }
}

// Walks the blocks of a GIF up to the end of its first image.
bool GifComplete(QIODevice& dev, std::string& why) {
  ByteStream s(dev);
  why = EndsEarly();
  char sig[6];
  for (char& c : sig) {
    const int b = s.Get();
    if (b < 0) return false;
    c = static_cast<char>(b);
  }
  if (std::string(sig, 3) != "GIF") {
    why = SayUtf8(Text::PicNotFormat, {u"GIF"});
    return false;
  }
  int lsd[7];
  for (int& b : lsd)
    if ((b = s.Get()) < 0) return false;
  if ((lsd[4] & 0x80) && !s.Skip(3LL << ((lsd[4] & 7) + 1))) return false;
  for (;;) {
    const int b = s.Get();
    if (b < 0) return false;
    if (b == 0x21) {
      if (s.Get() < 0 || !SkipSubBlocks(s)) return false;
    } else if (b == 0x2C) {
      int desc[9];
      for (int& d : desc)
        if ((d = s.Get()) < 0) return false;
      if ((desc[8] & 0x80) && !s.Skip(3LL << ((desc[8] & 7) + 1))) return false;
      if (s.Get() < 0) return false;  // LZW minimum code size
      return SkipSubBlocks(s);
    } else {
      why = b == 0x3B ? SayUtf8(Text::PicNoPicture) : SayUtf8(Text::PicStructureDamaged, {u"GIF"});
      return false;
    }
  }
}

}  // namespace

bool PictureDataComplete(QIODevice& dev, const QByteArray& format, std::string& why) {
  const qint64 start = dev.pos();
  bool ok = true;
  if (format == "jpeg" || format == "jpg")
    ok = JpegComplete(dev, why);
  else if (format == "bmp")
    ok = BmpComplete(dev, why);
  else if (format == "tga")
    ok = TgaComplete(dev, why);
  else if (format == "gif")
    ok = GifComplete(dev, why);
  dev.seek(start);
  return ok;
}
