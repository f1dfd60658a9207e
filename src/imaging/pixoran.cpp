#include "imaging/pixoran.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <set>

#include "imaging/filecheck.h"
#include "imaging/qtdib.h"
#include "imaging/writers.h"

namespace {

std::atomic<int> g_jpegQuality{75};

const std::vector<DibFileFormat> kFormats = {
    {kDibBmp, ".bmp", "Windows Bitmap", true, true},
    {kDibDib, ".dib", "Device Independent Bitmap", true, true},
    {kDibGif, ".gif", "GIF", true, true},
    {kDibIff, ".iff", "Amiga IFF", false, false},
    {kDibJif, ".jif", "JPEG JFIF", true, true},
    {kDibJpeg, ".jpg", "JPEG", true, true},
    {kDibLbm, ".lbm", "Deluxe Paint LBM", false, false},
    {kDibPcx, ".pcx", "PC Paintbrush", false, false},
    {kDibRle, ".rle", "Windows RLE Bitmap", true, true},
    {kDibTga, ".tga", "Truevision Targa", true, true},
    {kDibTiff, ".tif", "TIFF", true, true},
    {kDibPng, ".png", "PNG", true, true},
    {kDibWebp, ".webp", "WebP", true, true},
};

// The Qt format name a code reads or writes as.
QByteArray QtFormat(int code) {
  switch (code) {
    case kDibBmp:
    case kDibDib:
    case kDibRle: return "bmp";
    case kDibGif: return "gif";
    case kDibJif:
    case kDibJpeg: return "jpeg";
    case kDibTga: return "tga";
    case kDibTiff: return "tiff";
    case kDibPng: return "png";
    case kDibWebp: return "webp";
  }
  return {};
}

void SetError(std::string* error, const std::string& filename, const std::string& why) {
  if (error) *error = filename + ": " + why;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

void InstallAllocationLimit() {
  // Qt's decoders refuse to allocate more than this (in MB) for one image;
  // 4 bytes per pixel is the widest format they decode into.
  static const bool done = [] {
    QImageReader::setAllocationLimit(static_cast<int>(kMaxDibPixels * 4 / (1024 * 1024)) + 1);
    return true;
  }();
  (void)done;
}

bool SizeAcceptable(const QSize& s, std::string& why) {
  if (!s.isValid()) return true;  // unknown until decoded
  if (s.width() <= 0 || s.height() <= 0) {
    why = "the picture has no pixels";
    return false;
  }
  if (static_cast<int64_t>(s.width()) * s.height() > kMaxDibPixels) {
    why = "picture too large (" + std::to_string(s.width()) + " x " + std::to_string(s.height()) + " pixels)";
    return false;
  }
  return true;
}

// Opens the file and finds its Qt format; false with a reason otherwise.
bool Prepare(QFile& f, int code, QByteArray& fmt, std::string& why) {
  if (!f.open(QIODevice::ReadOnly)) {
    why = "cannot open the file (" + f.errorString().toStdString() + ")";
    return false;
  }
  if (code == kDibAuto) {
    fmt = QImageReader::imageFormat(&f);
    f.seek(0);
    // Qt names a ".dib" file's format after the extension, meaning a bitmap
    // without file header; ours carry one.
    if (fmt == "dib" && f.peek(2) == "BM") fmt = "bmp";
    if (fmt.isEmpty()) {
      why = "not a picture file in a known format";
      return false;
    }
  } else {
    const DibFileFormat* info = DibFormatByCode(code);
    fmt = QtFormat(code);
    if (!info || !info->readable || fmt.isEmpty()) {
      why = "format code " + std::to_string(code) + " cannot be read";
      return false;
    }
  }
  if (fmt == "svg" || fmt == "svgz") {
    why = "vector pictures are not supported";
    return false;
  }
  return true;
}

}  // namespace

const std::vector<DibFileFormat>& DibSaveFormats() { return kFormats; }

const DibFileFormat* DibFormatByCode(int code) {
  for (const DibFileFormat& f : kFormats)
    if (f.code == code) return &f;
  return nullptr;
}

int DibFormatForExtension(const std::string& filename) {
  const size_t dot = filename.find_last_of('.');
  const size_t slash = filename.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return 0;
  const std::string ext = Lower(filename.substr(dot));
  if (ext == ".jpeg" || ext == ".jpe" || ext == ".jfif") return kDibJpeg;
  if (ext == ".tiff") return kDibTiff;
  for (const DibFileFormat& f : kFormats)
    if (ext == f.extension) return f.code;
  return 0;
}

bool OpenDib(dib& d, const std::string& filename, int format, std::string* error) {
  deldib(d);
  InstallAllocationLimit();
  QFile f(QString::fromStdString(filename));
  QByteArray fmt;
  std::string why;
  if (!Prepare(f, format, fmt, why)) {
    SetError(error, filename, why);
    return false;
  }
  if (!PictureDataComplete(f, fmt, why)) {
    SetError(error, filename, why);
    return false;
  }
  QImageReader reader(&f, fmt);
  reader.setDecideFormatFromContent(false);  // fixed above; content sniffing misreads TGA
  if (!SizeAcceptable(reader.size(), why)) {
    SetError(error, filename, why);
    return false;
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    SetError(error, filename, "cannot read the picture (" + reader.errorString().toStdString() + ")");
    return false;
  }
  if (!SizeAcceptable(image.size(), why)) {
    SetError(error, filename, why);
    return false;
  }
  if (!QImageToDib(image, d, &why)) {
    SetError(error, filename, why);
    return false;
  }
  return true;
}

bool DibFileSize(const std::string& filename, int32_t& width, int32_t& height, std::string* error) {
  width = height = 0;
  QFile f(QString::fromStdString(filename));
  QByteArray fmt;
  std::string why;
  if (!Prepare(f, kDibAuto, fmt, why)) {
    SetError(error, filename, why);
    return false;
  }
  QImageReader reader(&f, fmt);
  const QSize s = reader.size();
  if (!s.isValid()) {
    // The format keeps its size inside the data: decode once.
    f.close();
    dib d;
    if (!OpenDib(d, filename, kDibAuto, error)) return false;
    width = d.width;
    height = d.height;
    return true;
  }
  if (!SizeAcceptable(s, why)) {
    SetError(error, filename, why);
    return false;
  }
  width = s.width();
  height = s.height();
  return true;
}

bool SaveDib(const dib& d, const std::string& filename, int code, std::string* error) {
  const DibFileFormat* info = DibFormatByCode(code);
  if (!info) {
    SetError(error, filename, "unknown picture format code " + std::to_string(code));
    return false;
  }
  if (!info->writable) {
    SetError(error, filename, std::string("pictures cannot be saved as ") + info->description);
    return false;
  }
  if (!d.loaded() || d.width <= 0 || d.height <= 0) {
    SetError(error, filename, "there is no picture to save");
    return false;
  }
  QSaveFile out(QString::fromStdString(filename));
  if (!out.open(QIODevice::WriteOnly)) {
    SetError(error, filename, "cannot create the file (" + out.errorString().toStdString() + ")");
    return false;
  }
  std::string why;
  bool ok = false;
  if (code == kDibTga) {
    ok = WriteTga(d, out, why);
  } else if (code == kDibGif) {
    ok = WriteGif(d, out, why);
  } else if (code == kDibRle) {
    ok = WriteRle8Bmp(d, out, why);
  } else {
    const QImage image = DibToQImage(d);
    if (image.isNull()) {
      why = "out of memory converting the picture";
    } else {
      QImageWriter writer(&out, QtFormat(code));
      if (code == kDibJpeg || code == kDibJif) writer.setQuality(g_jpegQuality);
      ok = writer.write(image);
      if (!ok) why = "cannot write the picture (" + writer.errorString().toStdString() + ")";
    }
  }
  if (ok && !out.commit()) {
    ok = false;
    why = "cannot write the file (" + out.errorString().toStdString() + ")";
  }
  if (!ok) {
    out.cancelWriting();
    SetError(error, filename, why);
  }
  return ok;
}

void SetJPEGQual(int quality) { g_jpegQuality = std::clamp(quality, 0, 100); }
int GetJPEGQual() { return g_jpegQuality; }

std::string GetDIBOpenFilter() {
  std::set<std::string> have;
  for (const QByteArray& f : QImageReader::supportedImageFormats()) have.insert(f.toStdString());
  struct Entry {
    const char* qt;
    const char* name;
    const char* patterns;
  };
  static const Entry entries[] = {
      {"bmp", "Windows Bitmap", "*.bmp *.dib *.rle"},
      {"jpeg", "JPEG", "*.jpg *.jpeg *.jpe *.jif *.jfif"},
      {"png", "PNG", "*.png"},
      {"gif", "GIF", "*.gif"},
      {"tiff", "TIFF", "*.tif *.tiff"},
      {"tga", "Truevision Targa", "*.tga"},
      {"webp", "WebP", "*.webp"},
      {"ppm", "Portable Pixmap", "*.pbm *.pgm *.ppm"},
      {"xpm", "X Pixmap", "*.xpm"},
      {"ico", "Windows Icon", "*.ico"},
  };
  std::string all, each;
  for (const Entry& e : entries) {
    if (!have.count(e.qt)) continue;
    all += (all.empty() ? "" : " ") + std::string(e.patterns);
    each += std::string(";;") + e.name + " (" + e.patterns + ")";
  }
  return "Alle Bilder (" + all + ")" + each + ";;Alle Dateien (*)";
}

std::string GetDIBSaveFilter() {
  std::string s;
  for (const DibFileFormat& f : kFormats) {
    if (!s.empty()) s += ";;";
    s += std::string(f.description) + " (*" + f.extension + ")";
  }
  return s;
}

namespace {

// 6 x 6 x 6 colour cube at indexes 0 ... 215; the rest black.
void CubePalette(dib& d) {
  for (int i = 0; i < 216; ++i) {
    d.palette[i] = DibRGB{static_cast<uint8_t>((i / 36) * 51), static_cast<uint8_t>(((i / 6) % 6) * 51),
                          static_cast<uint8_t>((i % 6) * 51), 0};
  }
}

// Ordered (4 x 4 Bayer) dither of one channel value to 0 ... 5.
inline int Dither6(int v, int threshold) {
  const int scaled = v * 5;  // cube steps are 51 apart
  const int level = scaled / 255;
  const int frac = scaled % 255;
  return (frac * 32 > (2 * threshold + 1) * 255) ? level + 1 : level;
}

}  // namespace

bool DIBHalftoneDIB(dib& out, const dib& src) {
  if (&out == &src) {
    dib copy = src;
    return DIBHalftoneDIB(out, copy);
  }
  deldib(out);
  if (!src.loaded() || !newdib(out, src.width, src.height, 8)) return false;
  CubePalette(out);
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int y = 0; y < src.height; ++y) {
    uint8_t* row = out.toprow(y);
    for (int x = 0; x < src.width; ++x) {
      const uint32_t c = getcolor(src, x, y);
      const int t = bayer[y & 3][x & 3];
      const int r = Dither6(c & 0xFF, t), g = Dither6((c >> 8) & 0xFF, t), b = Dither6((c >> 16) & 0xFF, t);
      row[x] = static_cast<uint8_t>(r * 36 + g * 6 + b);
    }
  }
  return true;
}

bool DIBHalftoneDIBXY(dib& out, const dib& src, int32_t width, int32_t height) {
  if (!src.loaded() || width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxDibPixels) {
    deldib(out);
    return false;
  }
  QImage image = DibToQImage(src);
  if (image.isNull()) {
    deldib(out);
    return false;
  }
  if (image.width() != width || image.height() != height) {
    image = image.convertToFormat(QImage::Format_RGB888)
                .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  dib resampled;
  if (!QImageToDib(image, resampled)) {
    deldib(out);
    return false;
  }
  return DIBHalftoneDIB(out, resampled);
}
