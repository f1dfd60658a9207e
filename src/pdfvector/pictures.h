// The pictures of a vector PDF: each distinct picture is one image object
// however often it is drawn. A picture is known by a hash of its decoded
// pixels; when the picture loader reports the JPEG file a decoded picture
// came from (NoteOrigin), the file itself is written (DCTDecode) instead of
// its pixels, as long as it is no sharper than the maximum resolution at
// the size it is first drawn and the colours may stay as they are (RGB
// output). Otherwise the picture is resampled down to that resolution if
// needed, converted (CMYK through the document's converter) and compressed:
// pictures that came from JPEG files as JPEG again, all others deflated.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "imaging/dib/dib.h"

namespace pdfimg {
class CmykConverter;
}

namespace pdfvec {

class PdfWriter;

// A hash of a picture's size, depth, colour table and pixels.
uint64_t PictureHash(const dib& pic);

struct PictureOptions {
  bool cmyk = false;
  const pdfimg::CmykConverter* conv = nullptr;  // needed for cmyk
  double maxppi = 300;                          // pixels per inch at the drawn size
  int jpegQuality = 90;                         // for pictures encoded as JPEG again
};

class PictureStore {
 public:
  PictureStore(PdfWriter& w, const PictureOptions& o) : w_(w), o_(o) {}

  // The picture with this hash was decoded from `file` (any format; only
  // JPEG files are passed through). Safe from any thread.
  void NoteOrigin(uint64_t hash, const std::string& file);

  struct Entry {
    int32_t obj = 0;
    std::string resname;
    int32_t width = 0, height = 0;  // as written
    bool passthrough = false;
  };
  // The image object of `pic`, drawn so that its whole width covers
  // `inchesW` and its height `inchesH`; queued for writing the first time.
  // Null for a picture without pixels.
  const Entry* Use(const dib& pic, double inchesW, double inchesH);
  size_t count() const { return entries_.size(); }

 private:
  PdfWriter& w_;
  PictureOptions o_;
  std::mutex mu_;
  std::map<uint64_t, std::string> origins_;
  std::map<uint64_t, Entry> entries_;
};

// ---- exposed for tests ----
// Components (1, 3 or 4), width and height from a JPEG's frame header;
// false when the bytes are not a baseline / progressive 8-bit JPEG or carry
// an orientation other than upright.
bool ReadJpegHeader(const std::string& bytes, int& components, int& width, int& height);
// Area-average downscale of w x h pixels of `comps` bytes each (rows top
// first, tightly packed) to nw x nh.
std::string Downscale(const std::string& px, int w, int h, int comps, int nw, int nh);
// JPEG of w x h pixels of 3 (RGB) or 4 (CMYK) bytes; empty on failure.
std::string EncodeJpeg(const std::string& px, int w, int h, int comps, int quality);

}  // namespace pdfvec
