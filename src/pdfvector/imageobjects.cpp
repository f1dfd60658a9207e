#include "pdfvector/imageobjects.h"

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>

#include "pdf/pdfimages.h"
#include "pdfvector/pdfwriter.h"

namespace pdfvec {

namespace {

constexpr uint64_t kMaxJpegBytes = 256ULL << 20;

uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
  return h * 0xBF58476D1CE4E5B9ULL;
}

// Where the frame header of a JPEG usually lies: past a few metadata
// segments, well within the start of the file.
constexpr std::streamoff kJpegHeadBytes = 256 << 10;

// The whole file (wanted 0), or at most its first `wanted`
// bytes; false for a file that is empty or larger than kMaxJpegBytes.
bool ReadFileStart(const std::string& path, std::streamoff wanted, std::string& out, bool& whole) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0 || static_cast<uint64_t>(size) > kMaxJpegBytes) return false;
  const std::streamoff n = wanted > 0 ? std::min(size, wanted) : size;
  whole = n == size;
  in.seekg(0);
  out.resize(static_cast<size_t>(n));
  return static_cast<bool>(in.read(&out[0], n));
}

// The frame header of the JPEG file `path` (see ReadJpegHeader). `bytes`
// receives the whole file when `keepBytes` (it is to be copied into the
// PDF), otherwise only as much of it as the header needed.
bool ReadJpegFile(const std::string& path, bool keepBytes, std::string& bytes, int& components, int& width,
                  int& height) {
  bool whole = false;
  if (!ReadFileStart(path, keepBytes ? 0 : kJpegHeadBytes, bytes, whole)) return false;
  if (ReadJpegHeader(bytes, components, width, height)) return true;
  // A header beyond the start read: look again in the whole file.
  return !whole && ReadFileStart(path, 0, bytes, whole) && ReadJpegHeader(bytes, components, width, height);
}

// Top-down rows of B, G, R bytes, whatever the picture's depth.
std::string TopDownBGR(const dib& d) {
  std::string px(static_cast<size_t>(d.width) * d.height * 3, '\0');
  uint8_t* out = reinterpret_cast<uint8_t*>(&px[0]);
  for (int32_t y = 0; y < d.height; ++y) {
    const uint8_t* row = d.toprow(y);
    uint8_t* o = out + static_cast<size_t>(y) * d.width * 3;
    if (d.bitcount == 24) {
      std::memcpy(o, row, static_cast<size_t>(d.width) * 3);
    } else {
      for (int32_t x = 0; x < d.width; ++x) {
        const uint32_t c = getcolor(d, x, y);  // 0x00BBGGRR
        o[x * 3] = static_cast<uint8_t>(c >> 16);
        o[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
        o[x * 3 + 2] = static_cast<uint8_t>(c);
      }
    }
  }
  return px;
}

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void JpegFail(j_common_ptr c) { std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); }

}  // namespace

uint64_t PictureHash(const dib& pic) {
  uint64_t h = Mix(Mix(Mix(0, static_cast<uint64_t>(pic.width)), static_cast<uint64_t>(pic.height)),
                   static_cast<uint64_t>(pic.bitcount));
  for (const DibRGB& c : pic.palette) h = Mix(h, (uint64_t(c.red) << 16) | (uint64_t(c.green) << 8) | c.blue);
  const uint8_t* p = pic.pixels.data();
  const size_t n = pic.pixels.size();
  size_t i = 0;
  uint64_t a = h, b = ~h;
  for (; i + 16 <= n; i += 16) {
    uint64_t x, y;
    std::memcpy(&x, p + i, 8);
    std::memcpy(&y, p + i + 8, 8);
    a = (a ^ x) * 0x9FB21C651E98DF25ULL;
    b = (b ^ y) * 0xC2B2AE3D27D4EB4FULL;
    a ^= a >> 29;
    b ^= b >> 31;
  }
  for (; i < n; ++i) a = (a ^ p[i]) * 0x100000001B3ULL;
  return Mix(Mix(h, a), b);
}

bool ReadJpegHeader(const std::string& bytes, int& components, int& width, int& height) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t n = bytes.size();
  if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return false;
  size_t i = 2;
  while (i + 4 <= n) {
    if (p[i] != 0xFF) return false;
    const uint8_t marker = p[i + 1];
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    const size_t len = (static_cast<size_t>(p[i + 2]) << 8) | p[i + 3];
    if (len < 2 || i + 2 + len > n) return false;
    const uint8_t* seg = p + i + 4;
    if (marker == 0xE1 && len >= 16 && std::memcmp(seg, "Exif\0\0", 6) == 0) {
      // A rotated picture is shown turned by the loader: its file is not
      // what is drawn.
      const uint8_t* t = seg + 6;
      const size_t tl = len - 8;
      const bool le = t[0] == 'I';
      auto u16 = [&](size_t o) -> unsigned {
        return o + 2 > tl ? 0 : le ? t[o] | (t[o + 1] << 8) : (t[o] << 8) | t[o + 1];
      };
      auto u32 = [&](size_t o) -> size_t {
        return o + 4 > tl ? 0
               : le       ? t[o] | (t[o + 1] << 8) | (t[o + 2] << 16) | (size_t(t[o + 3]) << 24)
                          : (size_t(t[o]) << 24) | (t[o + 1] << 16) | (t[o + 2] << 8) | t[o + 3];
      };
      const size_t ifd = u32(4);
      const unsigned count = u16(ifd);
      for (unsigned k = 0; k < count; ++k) {
        const size_t e = ifd + 2 + 12 * k;
        if (u16(e) == 0x0112 && u16(e + 8) > 1) return false;
      }
    }
    if ((marker >= 0xC0 && marker <= 0xC2)) {
      if (len < 8 || seg[0] != 8) return false;
      height = (seg[1] << 8) | seg[2];
      width = (seg[3] << 8) | seg[4];
      components = seg[5];
      return width > 0 && height > 0 && (components == 1 || components == 3 || components == 4);
    }
    if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return false;
    i += 2 + len;
  }
  return false;
}

std::string Downscale(const std::string& px, int w, int h, int comps, int nw, int nh) {
  std::string out(static_cast<size_t>(nw) * nh * comps, '\0');
  const auto* s = reinterpret_cast<const uint8_t*>(px.data());
  auto* o = reinterpret_cast<uint8_t*>(&out[0]);
  // Column spans of each target column, as fixed source ranges.
  std::vector<int> x0(nw), x1(nw);
  for (int i = 0; i < nw; ++i) {
    x0[i] = static_cast<int>(static_cast<int64_t>(i) * w / nw);
    x1[i] = std::max(x0[i] + 1, static_cast<int>(static_cast<int64_t>(i + 1) * w / nw));
  }
  std::vector<uint32_t> acc(static_cast<size_t>(nw) * comps);
  for (int k = 0; k < nh; ++k) {
    const int y0 = static_cast<int>(static_cast<int64_t>(k) * h / nh);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<int64_t>(k + 1) * h / nh));
    std::fill(acc.begin(), acc.end(), 0);
    for (int y = y0; y < y1; ++y) {
      const uint8_t* row = s + static_cast<size_t>(y) * w * comps;
      for (int i = 0; i < nw; ++i)
        for (int x = x0[i]; x < x1[i]; ++x)
          for (int c = 0; c < comps; ++c) acc[static_cast<size_t>(i) * comps + c] += row[x * comps + c];
    }
    for (int i = 0; i < nw; ++i) {
      const uint32_t area = static_cast<uint32_t>((x1[i] - x0[i]) * (y1 - y0));
      for (int c = 0; c < comps; ++c)
        o[(static_cast<size_t>(k) * nw + i) * comps + c] =
            static_cast<uint8_t>((acc[static_cast<size_t>(i) * comps + c] + area / 2) / area);
    }
  }
  return out;
}

std::string EncodeJpeg(const std::string& px, int w, int h, int comps, int quality) {
  jpeg_compress_struct c{};
  JpegError err{};
  c.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&c);
    std::free(mem);
    return std::string();
  }
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = comps;
  c.in_color_space = comps == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  // Plain (not inverted) CMYK samples: without the APP14 marker readers
  // take them as they are.
  c.write_Adobe_marker = FALSE;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<char*>(px.data()) +
                                              static_cast<size_t>(c.next_scanline) * w * comps);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string out(reinterpret_cast<const char*>(mem), size);
  std::free(mem);
  return out;
}

void PictureStore::NoteOrigin(uint64_t hash, const std::string& file, int32_t fullWidth, int32_t fullHeight,
                              bool filePixels) {
  std::lock_guard<std::mutex> lock(mu_);
  // A processed picture equal to its file's pixels stays the file's.
  if (!filePixels && origins_.count(hash)) return;
  origins_[hash] = Origin{file, fullWidth, fullHeight, filePixels};
}

void PictureStore::SizeForUse(int32_t fullW, int32_t fullH, double inchesW, double inchesH, double maxppi,
                              int32_t& w, int32_t& h) {
  w = std::max(1, fullW);
  h = std::max(1, fullH);
  const double ppi = std::max(inchesW > 0 ? w / inchesW : 0, inchesH > 0 ? h / inchesH : 0);
  if (maxppi > 0 && ppi > maxppi * 1.001) {
    const double f = maxppi / ppi;
    // A hair below the exact product first, so a size that is whole at the
    // cap is not pushed up a pixel by rounding.
    w = std::max(1, std::min(w, static_cast<int32_t>(std::ceil(w * f - 1e-6))));
    h = std::max(1, std::min(h, static_cast<int32_t>(std::ceil(h * f - 1e-6))));
  }
}

const PictureStore::Entry* PictureStore::Use(const dib& pic, double inchesW, double inchesH) {
  if (!pic.loaded() || pic.width <= 0 || pic.height <= 0) return nullptr;
  const uint64_t hash = PictureHash(pic);
  Origin origin;
  bool known = false;
  {
    std::lock_guard<std::mutex> lock(mu_);
    auto o = origins_.find(hash);
    if (o != origins_.end()) {
      origin = o->second;
      known = origin.fullw > 0 && origin.fullh > 0;
    }
  }
  // The file's pixels (the loader may have handed fewer) when the loader
  // named them, else the picture's own.
  const bool fileSized = known && origin.filePixels;
  const int32_t fullw = fileSized ? origin.fullw : pic.width, fullh = fileSized ? origin.fullh : pic.height;
  int32_t nw, nh;
  SizeForUse(fullw, fullh, inchesW, inchesH, o_.maxppi, nw, nh);
  // Pixels cannot be made up: a decode smaller than the use asks (the
  // loader's box rounded down) gives what it has.
  nw = std::min(nw, pic.width);
  nh = std::min(nh, pic.height);
  const bool whole = fileSized && nw == fullw && nh == fullh;
  char hex[24];
  std::snprintf(hex, sizeof hex, "#%016llx", static_cast<unsigned long long>(hash));
  const auto key = std::make_tuple(fileSized ? origin.file : std::string(hex), nw, nh);
  auto it = entries_.find(key);
  if (it != entries_.end()) return &it->second;

  Entry e;
  e.obj = w_.Reserve();
  e.resname = "Im" + std::to_string(entries_.size() + 1);
  e.width = nw;
  e.height = nh;
  e.file = known ? origin.file : std::string();

  std::string jpeg;
  int comps = 0, jw = 0, jh = 0;
  // The file's bytes are kept only when they may be copied as they are.
  const bool mayCopy = whole && !o_.cmyk;
  const bool fromJpeg = fileSized && ReadJpegFile(origin.file, mayCopy, jpeg, comps, jw, jh);
  if (fromJpeg && mayCopy && jw == fullw && jh == fullh && comps != 4) {
    e.passthrough = true;
    const std::string cs = comps == 1 ? "/DeviceGray" : "/DeviceRGB";
    auto bytes = std::make_shared<std::string>(std::move(jpeg));
    const int32_t w = jw, h = jh;
    w_.Enqueue(
        e.obj,
        [bytes, cs, w, h] {
          return "<< /Type /XObject /Subtype /Image /Width " + std::to_string(w) + " /Height " +
                 std::to_string(h) + " /ColorSpace " + cs +
                 " /BitsPerComponent 8 /Filter /DCTDecode /Length " + std::to_string(bytes->size()) +
                 " >>\nstream\n" + *bytes + "\nendstream";
        },
        bytes->size());
  } else {
    jpeg.clear();
    jpeg.shrink_to_fit();
    // The pixels are copied now: the caller's picture may be gone by the
    // time a worker encodes them.
    auto px = std::make_shared<std::string>(TopDownBGR(pic));
    const int32_t w = pic.width, h = pic.height;
    const bool cmyk = o_.cmyk && o_.conv;
    const pdfimg::CmykConverter* conv = o_.conv;
    const bool asJpeg = fromJpeg;
    const int quality = o_.jpegQuality;
    auto maxInk = maxInk_;
    w_.Enqueue(
        e.obj,
        [px, w, h, nw, nh, cmyk, conv, asJpeg, quality, maxInk] {
          std::string bgr = nw != w || nh != h ? Downscale(*px, w, h, 3, nw, nh) : std::move(*px);
          px->clear();
          const size_t n = static_cast<size_t>(nw) * nh;
          std::string samples(n * (cmyk ? 4 : 3), '\0');
          auto* out = reinterpret_cast<uint8_t*>(&samples[0]);
          const auto* in = reinterpret_cast<const uint8_t*>(bgr.data());
          if (cmyk) {
            const size_t band = 4096;
            for (size_t i = 0; i < n; i += band)
              conv->ConvertBGR(in + i * 3, out + i * 4, std::min(band, n - i));
            int32_t most = 0;
            for (size_t i = 0; i < n; ++i)
              most = std::max(most, out[i * 4] + out[i * 4 + 1] + out[i * 4 + 2] + out[i * 4 + 3]);
            const int32_t thousandths = static_cast<int32_t>(std::lround(most * 1000.0 / 255));
            int32_t seen = maxInk->load();
            while (thousandths > seen && !maxInk->compare_exchange_weak(seen, thousandths)) {
            }
          } else {
            pdfimg::SwapRedBlue(in, out, n);
          }
          bgr.clear();
          bgr.shrink_to_fit();
          std::string data, filter;
          if (asJpeg) {
            data = EncodeJpeg(samples, nw, nh, cmyk ? 4 : 3, quality);
            filter = "/DCTDecode";
          }
          if (data.empty()) {
            data = Deflate(samples);
            filter = "/FlateDecode";
          }
          return "<< /Type /XObject /Subtype /Image /Width " + std::to_string(nw) + " /Height " +
                 std::to_string(nh) + " /ColorSpace " + (cmyk ? "/DeviceCMYK" : "/DeviceRGB") +
                 " /BitsPerComponent 8 /Filter " + filter + " /Length " + std::to_string(data.size()) +
                 " >>\nstream\n" + data + "\nendstream";
        },
        px->size());
  }
  return &entries_.emplace(key, std::move(e)).first->second;
}

}  // namespace pdfvec
