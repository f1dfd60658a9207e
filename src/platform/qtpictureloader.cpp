#include "platform/qtpictureloader.h"

#include "core/codepage.h"
#include "imaging/pixoran.h"

namespace platform {

bool QtPictureLoader::Load(const std::u16string& filename, dib& out) {
  if (filename.empty()) {
    deldib(out);
    return false;
  }
  return OpenDib(out, ql::ToUtf8(filename), kDibAuto);
}

bool QtPictureLoader::PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) {
  width = height = 0;
  if (filename.empty()) return false;
  return DibFileSize(ql::ToUtf8(filename), width, height);
}

}  // namespace platform
