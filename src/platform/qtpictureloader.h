// The renderers' picture loader on the image codecs.
#pragma once

#include "render/pictureloader.h"

namespace platform {

class QtPictureLoader : public render::PictureLoader {
 public:
  bool Load(const std::u16string& filename, dib& out) override;
  bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) override;
};

}  // namespace platform
