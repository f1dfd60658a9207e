#include "imaging/jpegwrite.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>

#include "i18n/texts.h"

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void JpegFail(j_common_ptr c) {
  JpegError* e = reinterpret_cast<JpegError*>(c->err);
  (*c->err->format_message)(c, e->message);
  std::longjmp(e->jump, 1);
}

// The encoder's output grows a string: no second copy of the file.
struct StringDest {
  jpeg_destination_mgr mgr;
  std::string* out;
  static constexpr size_t kChunk = 64 * 1024;

  static void Init(j_compress_ptr c) {
    StringDest* d = reinterpret_cast<StringDest*>(c->dest);
    // A string passed in again keeps what it held: no growing twice.
    d->out->resize(std::max(kChunk, d->out->capacity()));
    d->mgr.next_output_byte = reinterpret_cast<JOCTET*>(d->out->data());
    d->mgr.free_in_buffer = d->out->size();
  }
  static boolean Empty(j_compress_ptr c) {
    StringDest* d = reinterpret_cast<StringDest*>(c->dest);
    const size_t used = d->out->size();  // the whole buffer is full
    d->out->resize(used * 2);
    d->mgr.next_output_byte = reinterpret_cast<JOCTET*>(d->out->data() + used);
    d->mgr.free_in_buffer = d->out->size() - used;
    return TRUE;
  }
  static void Term(j_compress_ptr c) {
    StringDest* d = reinterpret_cast<StringDest*>(c->dest);
    d->out->resize(d->out->size() - d->mgr.free_in_buffer);
  }
};

}  // namespace

bool EncodeJpegRows(const uint8_t* rows, ptrdiff_t stride, int32_t width, int32_t height, int bytesPerPixel,
                    int quality, int32_t dpi, std::string& out, std::string& why,
                    const std::function<void(int32_t row)>& before) {
  out.clear();
  if (!rows || width <= 0 || height <= 0 || width > 65500 || height > 65500 ||
      (bytesPerPixel != 3 && bytesPerPixel != 4)) {
    why = i18n::SayUtf8(i18n::Text::PicNothingToSave);
    return false;
  }
  jpeg_compress_struct c{};
  JpegError err{};
  c.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  StringDest dest{};
  dest.out = &out;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&c);
    out.clear();
    why = i18n::SayUtf8(i18n::Text::PicEncodeFailed, {u"JPEG"});
    return false;
  }
  jpeg_create_compress(&c);
  dest.mgr.init_destination = &StringDest::Init;
  dest.mgr.empty_output_buffer = &StringDest::Empty;
  dest.mgr.term_destination = &StringDest::Term;
  c.dest = &dest.mgr;
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = bytesPerPixel;
  c.in_color_space = bytesPerPixel == 3 ? JCS_EXT_BGR : JCS_EXT_BGRX;
  jpeg_set_defaults(&c);
  // The resolution as the bitmap writers store it (dots per metre, as
  // SaveDib keeps it) read back in whole dots per inch.
  if (dpi < 1 || dpi > 100000) dpi = 96;
  const double inch = std::lround(dpi / 0.0254) * 0.0254;
  c.density_unit = 1;
  c.X_density = c.Y_density = static_cast<UINT16>(std::clamp<long>(std::lround(inch), 1, 65535));
  jpeg_set_quality(&c, std::clamp(quality, 0, 100), TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    if (before) before(static_cast<int32_t>(c.next_scanline));
    JSAMPROW row = const_cast<JSAMPROW>(rows + static_cast<ptrdiff_t>(c.next_scanline) * stride);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return true;
}

bool EncodeJpegDib(const dib& d, int quality, int32_t dpi, std::string& out, std::string& why) {
  if (!d.loaded() || d.bitcount != 24) {
    why = i18n::SayUtf8(i18n::Text::PicNothingToSave);
    return false;
  }
  return EncodeJpegRows(d.toprow(0), -static_cast<ptrdiff_t>(d.bytew), d.width, d.height, 3, quality, dpi,
                        out, why);
}
