// How the renderers reach picture files without knowing any codec: the
// imaging library implements PictureLoader on the platform's image I/O.
// Relative file names are resolved by the implementation (current folder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/dib/dib.h"

namespace render {

class PictureLoader {
 public:
  virtual ~PictureLoader() = default;
  // Decodes `filename` into `out` (1, 4, 8 or 24 bits per pixel). False,
  // and `out` left empty, when the file is missing, unreadable, damaged or
  // larger than kMaxDibPixels. Never shows a message.
  virtual bool Load(const std::u16string& filename, dib& out) = 0;
  // The picture's pixel size without decoding its pixels where the format
  // allows. False (and 0, 0) when it cannot be learnt.
  virtual bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) = 0;

  // Decodes `filename` for drawing into a box of boxWidth x boxHeight device
  // pixels (0 x 0: no box known). The implementation may hand back fewer
  // pixels than the file holds, but never fewer than the box needs at the
  // picture's aspect; fullWidth/fullHeight receive the file's own pixel size,
  // which is what layouts measure with. The default loads the full picture.
  virtual bool LoadForBox(const std::u16string& filename, int32_t boxWidth, int32_t boxHeight, dib& out,
                          int32_t& fullWidth, int32_t& fullHeight) {
    (void)boxWidth;
    (void)boxHeight;
    const bool ok = Load(filename, out);
    fullWidth = ok ? out.width : 0;
    fullHeight = ok ? out.height : 0;
    return ok;
  }

  // `pic`, made from `filename` by changing its pixels (a lightened page
  // background), is about to be drawn. Lets a loader that keeps track of
  // where pictures come from name it. The default does nothing.
  virtual void NoteDerived(const dib& pic, const std::u16string& filename) {
    (void)pic;
    (void)filename;
  }

  // The memory the loader may keep decoded pictures in, in bytes (0: it
  // keeps none). An export, which draws each page once, lowers it for its
  // run and puts the old limit back. The default keeps nothing.
  virtual uint64_t CacheLimit() const { return 0; }
  virtual void SetCacheLimit(uint64_t bytes) { (void)bytes; }

  // A picture that should have been drawn and could not be: its file name and
  // why (missing, damaged, too large ...).
  struct Problem {
    std::u16string filename;
    std::string reason;
  };
  // The pictures that failed to load since the last call, each file once, in
  // the order met; the list is emptied. Callers show it after a render or an
  // export. The default records nothing.
  virtual std::vector<Problem> TakeProblems() { return {}; }
};

}  // namespace render
