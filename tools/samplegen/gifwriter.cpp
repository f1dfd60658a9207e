#include "samplegen/gifwriter.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

namespace samplegen {

namespace {

QImage AsRgb32(const QImage& image) {
  return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

// Packs variable-width codes least significant bit first, as GIF wants.
class BitPacker {
 public:
  void Put(uint32_t code, int bits) {
    acc_ |= uint64_t(code) << nbits_;
    nbits_ += bits;
    while (nbits_ >= 8) {
      out_.append(char(acc_ & 0xFF));
      acc_ >>= 8;
      nbits_ -= 8;
    }
  }
  QByteArray Finish() {
    if (nbits_ > 0) out_.append(char(acc_ & 0xFF));
    acc_ = 0;
    nbits_ = 0;
    return out_;
  }

 private:
  QByteArray out_;
  uint64_t acc_ = 0;
  int nbits_ = 0;
};

void PutU16(QByteArray& out, int v) {
  out.append(char(v & 0xFF));
  out.append(char((v >> 8) & 0xFF));
}

}  // namespace

QVector<QRgb> ChoosePalette(const QImage& source) {
  const QImage image = AsRgb32(source);
  std::map<QRgb, uint64_t> histogram;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) ++histogram[line[x] & 0xFFFFFF];
  }
  std::vector<std::pair<QRgb, uint64_t>> entries(histogram.begin(), histogram.end());
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  if (entries.size() > 256) entries.resize(256);
  QVector<QRgb> palette;
  for (const auto& e : entries) palette.append(qRgb(qRed(e.first), qGreen(e.first), qBlue(e.first)));
  return palette;
}

std::vector<uint8_t> MapToPalette(const QImage& source, const QVector<QRgb>& palette) {
  const QImage image = AsRgb32(source);
  std::vector<uint8_t> out;
  out.reserve(size_t(image.width()) * size_t(image.height()));
  std::unordered_map<QRgb, uint8_t> cache;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = line[x] & 0xFFFFFF;
      auto it = cache.find(c);
      if (it == cache.end()) {
        int best = 0;
        int bestDist = INT32_MAX;
        for (int i = 0; i < palette.size(); ++i) {
          const int dr = qRed(c) - qRed(palette[i]);
          const int dg = qGreen(c) - qGreen(palette[i]);
          const int db = qBlue(c) - qBlue(palette[i]);
          const int d = dr * dr + dg * dg + db * db;
          if (d < bestDist) {
            bestDist = d;
            best = i;
          }
        }
        it = cache.emplace(c, uint8_t(best)).first;
      }
      out.push_back(it->second);
    }
  }
  return out;
}

QByteArray LzwEncode(const std::vector<uint8_t>& indexes, int minCodeSize) {
  const uint32_t clearCode = 1u << minCodeSize;
  const uint32_t endCode = clearCode + 1;
  constexpr uint32_t kMaxCodes = 4096;

  // The dictionary as a trie: child[code][symbol], 0 = no entry (code 0 is a
  // root symbol and never a child, so 0 is free to mean "none").
  std::vector<std::array<uint16_t, 256>> child(kMaxCodes);
  auto resetDictionary = [&] {
    for (auto& c : child) c.fill(0);
  };

  BitPacker bits;
  int codeSize = minCodeSize + 1;
  uint32_t nextCode = endCode + 1;
  resetDictionary();
  bits.Put(clearCode, codeSize);

  if (!indexes.empty()) {
    uint32_t prefix = indexes[0];
    for (size_t i = 1; i < indexes.size(); ++i) {
      const uint8_t symbol = indexes[i];
      const uint16_t found = child[prefix][symbol];
      if (found != 0) {
        prefix = found;
        continue;
      }
      bits.Put(prefix, codeSize);
      child[prefix][symbol] = uint16_t(nextCode);
      // The decoder grows its code width one code later than the encoder
      // adds an entry, so the width changes once the new entry's code no
      // longer fits.
      if (nextCode >= (1u << codeSize) && codeSize < 12) ++codeSize;
      ++nextCode;
      if (nextCode == kMaxCodes) {
        bits.Put(clearCode, codeSize);
        resetDictionary();
        codeSize = minCodeSize + 1;
        nextCode = endCode + 1;
      }
      prefix = symbol;
    }
    bits.Put(prefix, codeSize);
  }
  bits.Put(endCode, codeSize);
  return bits.Finish();
}

QByteArray EncodeGif(const QImage& image) {
  QVector<QRgb> palette = ChoosePalette(image);
  const std::vector<uint8_t> indexes = MapToPalette(image, palette);
  while (palette.size() < 256) palette.append(qRgb(0, 0, 0));

  QByteArray out("GIF89a");
  // Logical screen: global colour table of 256 entries, 8 bits per primary.
  PutU16(out, image.width());
  PutU16(out, image.height());
  out.append(char(0xF7));
  out.append(char(0));  // background colour index
  out.append(char(0));  // no aspect ratio
  for (QRgb c : palette) {
    out.append(char(qRed(c)));
    out.append(char(qGreen(c)));
    out.append(char(qBlue(c)));
  }
  // Image descriptor: whole screen, not interlaced, no local table.
  out.append(char(0x2C));
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, image.width());
  PutU16(out, image.height());
  out.append(char(0));

  constexpr int kMinCodeSize = 8;
  out.append(char(kMinCodeSize));
  const QByteArray data = LzwEncode(indexes, kMinCodeSize);
  for (int pos = 0; pos < data.size(); pos += 255) {
    const int n = std::min(255, int(data.size()) - pos);
    out.append(char(n));
    out.append(data.constData() + pos, n);
  }
  out.append(char(0));     // end of the image data
  out.append(char(0x3B));  // trailer
  return out;
}

bool WriteGif(const QImage& image, const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QByteArray bytes = EncodeGif(image);
  return f.write(bytes) == bytes.size() && f.flush();
}

}  // namespace samplegen
