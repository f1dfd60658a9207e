// The pictures of a vector PDF. Each use of a picture asks for the pixels
// its drawn size needs: the source's own pixels when they are no sharper
// than the maximum resolution there, else the source resampled to that
// resolution. Each distinct (picture, pixel size) is one image object
// however often it is drawn, so a picture drawn at one size stays one
// object, and one drawn small and large gets one object per size, each
// sharp enough for its use.
//
// A picture is known by its file when the picture loader reported it
// (NoteOrigin: the file and its full pixel size; the pixels handed to Use
// may be fewer, decoded for the drawn box), else by a hash of its pixels.
// A JPEG file used at its full size is written as it is (DCTDecode) when
// the colours may stay as they are (RGB output). Otherwise the pixels are
// resampled if needed, converted (CMYK through the document's converter)
// and compressed: pictures that came from JPEG files as JPEG again, all
// others deflated.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

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

  // The picture with this hash shows `file`, whose full size is fullWidth
  // x fullHeight pixels. `filePixels`: the pixels are the file's own
  // (decoded, perhaps at fewer pixels), so a JPEG file may be passed
  // through; false for a picture processed after loading (it is then only
  // named after the file). Safe from any thread.
  void NoteOrigin(uint64_t hash, const std::string& file, int32_t fullWidth, int32_t fullHeight,
                  bool filePixels = true);

  struct Entry {
    int32_t obj = 0;
    std::string resname;
    int32_t width = 0, height = 0;  // as written
    bool passthrough = false;
    std::string file;  // the picture's file, when known
  };
  // The image object of `pic` drawn so that its whole width covers
  // `inchesW` and its height `inchesH`; queued for writing the first time
  // this picture is used at this pixel size. Null for a picture without
  // pixels.
  const Entry* Use(const dib& pic, double inchesW, double inchesH);
  size_t count() const { return entries_.size(); }
  // The pixel size a use needs: the full size, or at a resolution above
  // maxppi the size that gives maxppi (rounded up), never below 1.
  static void SizeForUse(int32_t fullW, int32_t fullH, double inchesW, double inchesH, double maxppi,
                         int32_t& w, int32_t& h);
  // The highest total of the four inks (0 ... 4) in the CMYK pictures
  // written so far (complete after PdfWriter::Drain).
  double maxInk() const { return maxInk_->load() / 1000.0; }

 private:
  struct Origin {
    std::string file;
    int32_t fullw = 0, fullh = 0;
    bool filePixels = true;
  };
  PdfWriter& w_;
  PictureOptions o_;
  std::mutex mu_;
  std::map<uint64_t, Origin> origins_;
  // By the file (or "#" and the pixel hash) and the written size.
  std::map<std::tuple<std::string, int32_t, int32_t>, Entry> entries_;
  // In thousandths; shared with the encoding workers.
  std::shared_ptr<std::atomic<int32_t>> maxInk_ = std::make_shared<std::atomic<int32_t>>(0);
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
