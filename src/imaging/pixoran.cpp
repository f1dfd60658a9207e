#include "imaging/pixoran.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <set>

#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/messages.h"
#include "i18n/texts.h"
#include "imaging/filecheck.h"
#include "imaging/ilbm.h"
#include "imaging/pcx.h"
#include "imaging/qtdib.h"
#include "imaging/writers.h"

namespace {

std::atomic<int> g_jpegQuality{75};

// Format names of our own codecs, beside Qt's ("bmp", "jpeg", ...).
const char* const kOwnPcx = "ql-pcx";
const char* const kOwnIlbm = "ql-ilbm";

const std::vector<DibFileFormat> kFormats = {
    {kDibBmp, ".bmp", "Windows Bitmap", true, true},
    {kDibDib, ".dib", "Device Independent Bitmap", true, true},
    {kDibGif, ".gif", "GIF", true, true},
    {kDibIff, ".iff", "Amiga IFF", true, true},
    {kDibJif, ".jif", "JPEG JFIF", true, true},
    {kDibJpeg, ".jpg", "JPEG", true, true},
    {kDibLbm, ".lbm", "Deluxe Paint LBM", true, true},
    {kDibPcx, ".pcx", "PC Paintbrush", true, true},
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
    case kDibRle:
      return "bmp";
    case kDibGif:
      return "gif";
    case kDibJif:
    case kDibJpeg:
      return "jpeg";
    case kDibTga:
      return "tga";
    case kDibTiff:
      return "tiff";
    case kDibPng:
      return "png";
    case kDibWebp:
      return "webp";
    case kDibPcx:
      return kOwnPcx;
    case kDibIff:
    case kDibLbm:
      return kOwnIlbm;
  }
  return {};
}

// The formats our own codecs (pcx.h, ilbm.h) read; Qt's image I/O knows
// neither.
bool OwnFormat(const QByteArray& fmt) { return fmt == kOwnPcx || fmt == kOwnIlbm; }

bool OwnSize(const QByteArray& fmt, const std::string& bytes, int32_t& w, int32_t& h) {
  return fmt == kOwnPcx ? PcxSize(bytes, w, h) : IlbmSize(bytes, w, h);
}

// The first bytes of a picture file: enough for the PCX header and for the
// chunks an ILBM file puts in front of its pixels.
std::string Head(QIODevice& dev) {
  const QByteArray b = dev.peek(64 * 1024);
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

using i18n::Decimal;
using i18n::SayUtf8;
using i18n::Text;

// The file's name and the reason, in the language of the messages.
void SetError(std::string* error, const std::string& filename, const std::string& why) {
  if (error) *error = SayUtf8(Text::PictureNotDrawn, {ql::FromUtf8(filename), ql::FromUtf8(why)});
}

// Why a file cannot be opened, in our own short words for the system's
// reason (Qt's error strings are the system's English).
std::string OpenFailure(const std::string& filename) {
  int err = EIO;
  const int fd = ::open(filename.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
  } else {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) err = EISDIR;
    ::close(fd);
  }
  return SayUtf8(Text::PicOpenFailed, {i18n::SystemErrorText(err)});
}

// A format name for messages: "JPEG", "PCX" ... (ours are named without
// their prefix).
std::u16string FormatName(const QByteArray& fmt) {
  if (fmt == kOwnPcx) return u"PCX";
  if (fmt == kOwnIlbm) return u"ILBM";
  return QString::fromLatin1(fmt).toUpper().toStdU16String();
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

// The one message for a file SafeFile could not write.
std::string CannotWrite(const std::string& filename, const std::string& reason) {
  return SayUtf8(Text::CannotWriteFile, {ql::FromUtf8(filename), i18n::SystemErrorText(reason)});
}

bool SizeAcceptable(const QSize& s, std::string& why) {
  if (!s.isValid()) return true;  // unknown until decoded
  if (s.width() <= 0 || s.height() <= 0) {
    why = SayUtf8(Text::PicNoPixels);
    return false;
  }
  if (static_cast<int64_t>(s.width()) * s.height() > PicturePixelCap()) {
    why = SayUtf8(Text::PicTooLarge,
                  {Decimal(s.width()), Decimal(s.height()), Decimal(PicturePixelCap() / 1000000)});
    return false;
  }
  return true;
}

// Opens the file and finds its Qt format; false with a reason otherwise.
bool FindFormat(QIODevice& f, int code, QByteArray& fmt, std::string& why);
bool Prepare(QFile& f, int code, QByteArray& fmt, std::string& why) {
  if (!f.open(QIODevice::ReadOnly)) {
    why = OpenFailure(QFile::encodeName(f.fileName()).toStdString());
    return false;
  }
  return FindFormat(f, code, fmt, why);
}

bool FindFormat(QIODevice& f, int code, QByteArray& fmt, std::string& why) {
  if (code == kDibAuto) {
    const std::string head = Head(f);
    if (LooksLikePcx(head)) {
      fmt = kOwnPcx;
      return true;
    }
    if (LooksLikeIlbm(head)) {
      fmt = kOwnIlbm;
      return true;
    }
    fmt = QImageReader::imageFormat(&f);
    f.seek(0);
    // Qt names a ".dib" file's format after the extension, meaning a bitmap
    // without file header; ours carry one.
    if (fmt == "dib" && f.peek(2) == "BM") fmt = "bmp";
    if (fmt.isEmpty()) {
      why = SayUtf8(Text::PicUnknownFormat);
      return false;
    }
  } else {
    const DibFileFormat* info = DibFormatByCode(code);
    fmt = QtFormat(code);
    if (!info || !info->readable || fmt.isEmpty()) {
      why = SayUtf8(Text::PicFormatNotReadable, {info ? ql::FromUtf8(info->description) : Decimal(code)});
      return false;
    }
    if (OwnFormat(fmt)) return true;
  }
  if (fmt == "svg" || fmt == "svgz") {
    why = SayUtf8(Text::PicVector, {FormatName(fmt)});
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

namespace {

// The size to decode a picture of `full` pixels at for a box of box.w x
// box.h: the box's size at the picture's aspect (never below the box, never
// above the full size) when the picture holds more than four times the box's
// pixels and more than kScaledDecodeMinPixels; otherwise the full size.
QSize DecodeSize(const QSize& full, int32_t boxw, int32_t boxh) {
  if (!full.isValid() || boxw <= 0 || boxh <= 0) return full;
  const int64_t fullpx = int64_t(full.width()) * full.height();
  if (fullpx <= kScaledDecodeMinPixels || fullpx <= 4 * int64_t(boxw) * boxh) return full;
  // The scale that makes both sides at least as large as the box.
  const double f = std::max(double(boxw) / full.width(), double(boxh) / full.height());
  if (f >= 1) return full;
  const int w = std::clamp(static_cast<int>(std::ceil(full.width() * f)), 1, full.width());
  const int h = std::clamp(static_cast<int>(std::ceil(full.height() * f)), 1, full.height());
  return QSize(w, h);
}

// Decodes a PCX or ILBM picture with our own codecs, then scales it for the
// box as the decoders of Qt would.
bool DecodeOwn(QIODevice& dev, const QByteArray& fmt, int32_t boxw, int32_t boxh, dib& d, QSize& full,
               std::string& why) {
  const QByteArray all = dev.readAll();
  const std::string bytes(all.constData(), static_cast<size_t>(all.size()));
  int32_t w = 0, h = 0;
  if (!OwnSize(fmt, bytes, w, h)) {
    // The reader refuses the same header and names what is wrong with it.
    dib none;
    if (fmt == kOwnPcx)
      ReadPcx(bytes, 0, none, why);
    else
      ReadIlbm(bytes, 0, none, why);
    return false;
  }
  full = QSize(w, h);
  const QSize want = DecodeSize(full, boxw, boxh);
  if (!SizeAcceptable(full, why)) return false;
  const bool ok =
      fmt == kOwnPcx ? ReadPcx(bytes, PicturePixelCap(), d, why) : ReadIlbm(bytes, PicturePixelCap(), d, why);
  if (!ok) return false;
  if (want != full && !ResampleDib(d, d, want.width(), want.height())) {
    why = SayUtf8(Text::PicNoMemory);
    return false;
  }
  return true;
}

// Decodes the picture in `dev` (format `fmt`) into `d`, scaled for the box.
bool Decode(QIODevice& dev, const QByteArray& fmt, int32_t boxw, int32_t boxh, dib& d, QSize& full,
            std::string& why) {
  if (OwnFormat(fmt)) return DecodeOwn(dev, fmt, boxw, boxh, d, full, why);
  if (!PictureDataComplete(dev, fmt, why)) return false;
  QImageReader reader(&dev, fmt);
  reader.setDecideFormatFromContent(false);  // fixed above; content sniffing misreads TGA
  full = reader.size();
  const QSize want = DecodeSize(full, boxw, boxh);
  // The cap applies to what is decoded: a huge JPEG drawn small is fine.
  if (!SizeAcceptable(want, why)) return false;
  if (want.isValid() && want != full) reader.setScaledSize(want);
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    // Qt's reasons are English and technical: ours by the kind of error.
    switch (reader.error()) {
      case QImageReader::DeviceError:
        why = SayUtf8(Text::PicReadFailed);
        break;
      case QImageReader::UnsupportedFormatError:
        why = SayUtf8(Text::PicUnsupported, {FormatName(fmt)});
        break;
      default:
        why = SayUtf8(Text::PicDataDamaged);
    }
    return false;
  }
  // A header that promises another size than the data delivers (a GIF
  // screen wider than its frames, say) would have the layout measure one
  // picture and the page draw another: damaged.
  if (want.isValid() && image.size() != want) {
    why = SayUtf8(Text::PicSizeMismatch, {Decimal(full.width()), Decimal(full.height()),
                                          Decimal(image.width()), Decimal(image.height())});
    return false;
  }
  if (!full.isValid()) full = image.size();
  if (!SizeAcceptable(image.size(), why)) return false;
  return QImageToDib(image, d, &why);
}

}  // namespace

void DibSizeForBox(int32_t fullWidth, int32_t fullHeight, int32_t boxWidth, int32_t boxHeight, int32_t& width,
                   int32_t& height) {
  const QSize s = DecodeSize(QSize(fullWidth, fullHeight), boxWidth, boxHeight);
  width = s.width();
  height = s.height();
}

int64_t PicturePixelCap() {
  static const int64_t cap = [] {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pagesize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pagesize <= 0) return kMaxDibPixels;
    // One decoded picture (4 bytes a pixel at most) may take an eighth of
    // the machine's memory.
    const int64_t bymemory = int64_t(pages) * pagesize / 4 / 8;
    return std::max<int64_t>(std::min(kMaxDibPixels, bymemory), 4 * 1000 * 1000);
  }();
  return cap;
}

bool OpenDib(dib& d, const std::string& filename, int format, std::string* error) {
  int32_t w, h;
  return OpenDibForBox(d, filename, 0, 0, w, h, error, format);
}

bool OpenDibForBox(dib& d, const std::string& filename, int32_t boxWidth, int32_t boxHeight,
                   int32_t& fullWidth, int32_t& fullHeight, std::string* error, int format) {
  deldib(d);
  fullWidth = fullHeight = 0;
  InstallAllocationLimit();
  QFile f(QString::fromStdString(filename));
  QByteArray fmt;
  std::string why;
  QSize full;
  if (!Prepare(f, format, fmt, why) || !Decode(f, fmt, boxWidth, boxHeight, d, full, why)) {
    deldib(d);
    SetError(error, filename, why);
    return false;
  }
  fullWidth = full.width();
  fullHeight = full.height();
  return true;
}

bool OpenDibFromBytes(dib& d, const std::string& bytes, int32_t boxWidth, int32_t boxHeight,
                      std::string* error) {
  deldib(d);
  InstallAllocationLimit();
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buf(&data);
  buf.open(QIODevice::ReadOnly);
  QByteArray fmt;
  std::string why;
  QSize full;
  if (!FindFormat(buf, kDibAuto, fmt, why) || !Decode(buf, fmt, boxWidth, boxHeight, d, full, why)) {
    deldib(d);
    if (error) *error = why;
    return false;
  }
  return true;
}

bool IsReadablePicture(const std::string& bytes) {
  dib d;
  // A small box: a large JPEG is decoded at an eighth of its size.
  return OpenDibFromBytes(d, bytes, 64, 64);
}

bool DibSizeFromBytes(const std::string& bytes, int32_t& width, int32_t& height) {
  width = height = 0;
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buf(&data);
  buf.open(QIODevice::ReadOnly);
  QByteArray fmt;
  std::string why;
  if (!FindFormat(buf, kDibAuto, fmt, why)) return false;
  if (OwnFormat(fmt)) return OwnSize(fmt, bytes, width, height);
  QImageReader reader(&buf, fmt);
  const QSize s = reader.size();
  if (!s.isValid() || s.width() <= 0 || s.height() <= 0) return false;
  width = s.width();
  height = s.height();
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
  QSize s;
  int32_t ow = 0, oh = 0;
  if (!OwnFormat(fmt))
    s = QImageReader(&f, fmt).size();
  else if (OwnSize(fmt, Head(f), ow, oh))
    s = QSize(ow, oh);
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

int32_t DotsPerMetre(int32_t dpi) {
  if (dpi < 1 || dpi > 100000) dpi = kDefaultDibDpi;
  return static_cast<int32_t>(std::lround(dpi / 0.0254));
}

bool SaveDib(const dib& d, const std::string& filename, int code, std::string* error, int32_t dpi) {
  const DibFileFormat* info = DibFormatByCode(code);
  if (!info) {
    SetError(error, filename, SayUtf8(Text::PicFormatNotWritable, {Decimal(code)}));
    return false;
  }
  if (!info->writable) {
    SetError(error, filename, SayUtf8(Text::PicFormatNotWritable, {ql::FromUtf8(info->description)}));
    return false;
  }
  if (!d.loaded() || d.width <= 0 || d.height <= 0) {
    SetError(error, filename, SayUtf8(Text::PicNothingToSave));
    return false;
  }
  // The codecs write to memory (TIFF seeks back while writing); the bytes
  // then replace the file through SafeFile, and only when complete.
  ql::SafeFile file;
  if (!file.Open(filename)) {
    if (error) *error = CannotWrite(filename, file.Error());
    return false;
  }
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  std::string why;
  bool ok = false;
  if (code == kDibTga) {
    ok = WriteTga(d, out, why);
  } else if (code == kDibGif) {
    ok = WriteGif(d, out, why);
  } else if (code == kDibRle) {
    ok = WriteRle8Bmp(d, out, why, DotsPerMetre(dpi));
  } else if (code == kDibPcx || code == kDibIff || code == kDibLbm) {
    std::string encoded;
    ok = code == kDibPcx ? WritePcx(d, encoded, why) : WriteIlbm(d, encoded, why);
    if (ok) bytes = QByteArray(encoded.data(), static_cast<qsizetype>(encoded.size()));
  } else {
    // Qt's writers take the resolution from the image: BMP and PNG store
    // these pixels per metre, JPEG and TIFF round them back to the dpi.
    QImage image = DibToQImage(d);
    image.setDotsPerMeterX(DotsPerMetre(dpi));
    image.setDotsPerMeterY(DotsPerMetre(dpi));
    if (image.isNull()) {
      why = SayUtf8(Text::PicNoMemory);
    } else {
      QImageWriter writer(&out, QtFormat(code));
      if (code == kDibJpeg || code == kDibJif) writer.setQuality(g_jpegQuality);
      ok = writer.write(image);
      if (!ok) why = SayUtf8(Text::PicEncodeFailed, {ql::FromUtf8(info->description)});
    }
  }
  if (ok && (!file.Write(bytes.constData(), static_cast<size_t>(bytes.size())) || !file.Commit())) {
    file.Abandon();
    if (error) *error = CannotWrite(filename, file.Error());
    return false;
  }
  if (!ok) {
    file.Abandon();
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
      {kOwnPcx, "PC Paintbrush", "*.pcx"},
      {kOwnIlbm, "Amiga IFF", "*.iff *.lbm *.ilbm"},
  };
  have.insert(kOwnPcx);
  have.insert(kOwnIlbm);
  std::string all, each;
  for (const Entry& e : entries) {
    if (!have.count(e.qt)) continue;
    all += (all.empty() ? "" : " ") + std::string(e.patterns);
    each += std::string(";;") + e.name + " (" + e.patterns + ")";
  }
  return ql::ToUtf8(i18n::Tr(u"Alle Bilder")) + " (" + all + ")" + each + ";;" +
         ql::ToUtf8(i18n::Tr(u"Alle Dateien")) + " (*)";
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

bool ResampleDib(dib& out, const dib& src, int32_t width, int32_t height) {
  if (&out == &src) {
    dib copy = src;
    return ResampleDib(out, copy, width, height);
  }
  if (!src.loaded() || width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxDibPixels) {
    deldib(out);
    return false;
  }
  if (src.width == width && src.height == height) {
    out = src;
    return true;
  }
  QImage image = DibToQImage(src);
  if (image.isNull()) {
    deldib(out);
    return false;
  }
  // 32-bit pixels take Qt's fastest averaging path.
  image = image.convertToFormat(QImage::Format_RGB32)
              .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return QImageToDib(image, out);
}

bool DIBHalftoneDIBXY(dib& out, const dib& src, int32_t width, int32_t height) {
  dib resampled;
  if (!ResampleDib(resampled, src, width, height)) {
    deldib(out);
    return false;
  }
  return DIBHalftoneDIB(out, resampled);
}
