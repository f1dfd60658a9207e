// Image objects: sample order, colour conversion, spooling, threads, and
// real PDF readers.
#include "pdf/pdfimages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "pdf/pdfcanvas.h"
#include "pdf_test_util.h"

using namespace pdftest;

namespace {

const char* kSystemCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

// A program folder holding the press profile (a stand-in copied under the
// expected name), or none.
struct ProgramFolder {
  TempDir dir;
  bool withProfile;
  explicit ProgramFolder(bool profile) : withProfile(profile) {
    if (profile) fs::copy_file(kSystemCmyk, dir.file(pdfimg::kPressProfileName));
  }
  PDFCanvasOptions opts(int threads = -1) const {
    PDFCanvasOptions o;
    o.progpath = dir.path().string();
    o.tempFolder = dir.path().string();
    o.encoderThreads = threads;
    return o;
  }
};

std::string ImageSamples(const std::string& pdf, int obj) { return Inflate(StreamData(pdf, obj)); }

std::string ExportOne(const PDFCanvasOptions& o, const dib& img, bool cmyk, TPDFCanvas** keep = nullptr) {
  TempDir out;
  TPDFCanvas pdf(o);
  pdf.compressasCMYK = cmyk;
  pdf.usetempfileforimages = true;
  EXPECT_TRUE(pdf.BeginDoc(out.file("x.pdf")));
  pdf.DrawDIB(0, 0, 595, 841, img, 0, 0, img.width, img.height);
  EXPECT_TRUE(pdf.EndDoc()) << pdf.LastError();
  return ReadFile(out.file("x.pdf"));
}

}  // namespace

TEST(PdfImages, RgbSamplesAreTopRowFirstUnpaddedAndRGBOrdered) {
  ProgramFolder prog(false);
  dib img;
  ASSERT_TRUE(newdib(img, 2, 2, 24));
  ASSERT_EQ(img.bytew, 8);  // 2 bytes of padding per row
  std::fill(img.pixels.begin(), img.pixels.end(), 0xEE);
  // (x, y) from the top; colours 0x00BBGGRR.
  setpixel(img, 0, 0, 0x030201);
  setpixel(img, 1, 0, 0x060504);
  setpixel(img, 0, 1, 0x090807);
  setpixel(img, 1, 1, 0x0C0B0A);
  const std::string f = ExportOne(prog.opts(), img, false);
  EXPECT_EQ(ImageSamples(f, 8), std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C", 12));
  const std::string obj = ObjectText(f, 8);
  EXPECT_NE(obj.find("/Width 2 /Height 2 /BitsPerComponent 8\n"), std::string::npos);
  EXPECT_NE(obj.find(" /ColorSpace /DeviceRGB /Filter /FlateDecode\n>>\nstream\n"), std::string::npos);
  // The dictionary's length is exactly the bytes between "stream\n" and "endstream".
  const size_t l = obj.find("/Length ");
  const size_t len = std::stoul(obj.substr(l + 8));
  const size_t s = obj.find(">>\nstream\n") + 10;
  EXPECT_EQ(obj.compare(s + len, 17, "endstream\nendobj\n"), 0);
}

TEST(PdfImages, ArithmeticCmyk) {
  uint8_t c[4];
  pdfimg::ArithmeticRGBTOCMYK(255, 255, 255, c);
  EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{0, 0, 0, 0}));
  pdfimg::ArithmeticRGBTOCMYK(255, 128, 0, c);
  EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{0, 127, 255, 0}));
  pdfimg::ArithmeticRGBTOCMYK(0, 0, 0, c);
  EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{0, 0, 0, 255}));
  pdfimg::ArithmeticRGBTOCMYK(10, 200, 100, c);
  EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{190, 0, 100, 55}));

  // Without a profile the writer's CMYK images go through it: white is 0,0,0,0.
  ProgramFolder prog(false);
  dib white;
  newdib(white, 3, 2, 24);
  std::fill(white.pixels.begin(), white.pixels.end(), 0xFF);
  TPDFCanvas probe(prog.opts());
  EXPECT_FALSE(probe.uselcms());
  const std::string f = ExportOne(prog.opts(), white, true);
  EXPECT_EQ(ImageSamples(f, 8), std::string(24, '\0'));
  EXPECT_NE(ObjectText(f, 8).find("/ColorSpace /DeviceCMYK"), std::string::npos);
}

TEST(PdfImages, LittleCmsRowsEqualPerPixelCalls) {
  if (!fs::exists(kSystemCmyk)) GTEST_SKIP() << kSystemCmyk << " not installed (package libgs-common)";
  ProgramFolder prog(true);
  TPDFCanvas probe(prog.opts());
  ASSERT_TRUE(probe.uselcms()) << probe.colorFallbackReason();

  pdfimg::CmykConverter conv(prog.dir.file(pdfimg::kPressProfileName));
  ASSERT_TRUE(conv.uselcms());
  const dib img = PatternDib(97, 61, 3);
  // Per pixel, in the writer's own order.
  std::string perPixel;
  bool differsFromArithmetic = false;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const uint32_t c = getpixel(img, x, y);
      uint8_t out[4], ar[4];
      conv.RGBTOCMYK(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, out);
      pdfimg::ArithmeticRGBTOCMYK(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, ar);
      differsFromArithmetic |= std::memcmp(out, ar, 4) != 0;
      perPixel.append(reinterpret_cast<char*>(out), 4);
    }
  EXPECT_TRUE(differsFromArithmetic);
  const pdfimg::PixelView v{img.pixels.data(), img.width, img.height, img.bytew};
  const std::vector<uint8_t> rows = pdfimg::BuildSamples(v, &conv);
  EXPECT_EQ(std::string(rows.begin(), rows.end()), perPixel);
  // And the file written with two encoder threads carries the same samples.
  const std::string f = ExportOne(prog.opts(2), img, true);
  EXPECT_EQ(ImageSamples(f, 8), perPixel);
}

TEST(PdfImages, UnusableProfilesFallBackToArithmetic) {
  ProgramFolder prog(false);
  // Missing profile, a file that is no profile, and an RGB profile (not a
  // CMYK output profile).
  std::ofstream(prog.dir.file("junk.icc")) << "not a colour profile";
  std::vector<std::string> names = {prog.dir.file("missing.icc"), prog.dir.file("junk.icc")};
  if (fs::exists("/usr/share/color/icc/ghostscript/srgb.icc"))
    names.push_back("/usr/share/color/icc/ghostscript/srgb.icc");
  const dib img = PatternDib(7, 5);
  std::string arithmetic;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const uint32_t c = getpixel(img, x, y);
      uint8_t out[4];
      pdfimg::ArithmeticRGBTOCMYK(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, out);
      arithmetic.append(reinterpret_cast<char*>(out), 4);
    }
  for (const std::string& name : names) {
    PDFCanvasOptions o = prog.opts();
    o.profilePath = name;
    TPDFCanvas probe(o);
    EXPECT_FALSE(probe.uselcms()) << name;
    EXPECT_NE(probe.colorFallbackReason().find(name), std::string::npos);
    EXPECT_EQ(ImageSamples(ExportOne(o, img, true), 8), arithmetic) << name;
  }
}

TEST(PdfImages, StreamedEncodingEqualsOneShotCompression) {
  for (auto [w, h] : {std::pair{1, 1}, {3, 700}, {1500, 400}}) {
    const dib img = PatternDib(w, h, w);
    const pdfimg::PixelView v{img.pixels.data(), img.width, img.height, img.bytew};
    const std::vector<uint8_t> samples = pdfimg::BuildSamples(v, nullptr);
    pdfimg::MemorySink sink;
    uint64_t len = 0;
    std::string err;
    ASSERT_TRUE(pdfimg::EncodeImage(v, nullptr, sink, len, err)) << err;
    EXPECT_EQ(len, sink.bytes.size());
    EXPECT_EQ(std::string(sink.bytes.begin(), sink.bytes.end()),
              Deflate(std::string(samples.begin(), samples.end()), Z_DEFAULT_COMPRESSION))
        << w << "x" << h;
  }
}

TEST(PdfImages, FileBytesDoNotDependOnThreadsOrSpooling) {
  ProgramFolder prog(fs::exists(kSystemCmyk));
  for (bool cmyk : {false, true}) {
    std::string reference;
    for (int threads : {0, 1, 2, 3}) {
      for (bool spool : {true, false}) {
        TempDir out;
        TPDFCanvas pdf(prog.opts(threads));
        pdf.compressasCMYK = cmyk;
        pdf.usetempfileforimages = spool;
        ASSERT_TRUE(pdf.BeginDoc(out.file("t.pdf")));
        for (int p = 0; p < 7; ++p) {
          if (p) pdf.NewPage();
          pdf.DrawDIB(0, 0, 595, 841, PatternDib(120 + 13 * p, 90 + p, p), 0, 0, 1, 1);
        }
        ASSERT_TRUE(pdf.EndDoc()) << pdf.LastError();
        const std::string f = ReadFile(out.file("t.pdf"));
        if (reference.empty())
          reference = f;
        else
          EXPECT_TRUE(f == reference) << "cmyk " << cmyk << " threads " << threads << " spool " << spool;
      }
    }
  }
}

TEST(PdfImages, SpoolFilesLiveInAPrivateFolderNumberedFromZero) {
  TempDir tmp;
  PDFCanvasOptions o;
  o.tempFolder = tmp.path().string();
  for (int run = 0; run < 2; ++run) {
    std::string folder;
    {
      TPDFCanvas pdf(o);
      pdf.usetempfileforimages = true;
      ASSERT_TRUE(pdf.BeginDoc(tmp.file("s.pdf")));
      for (int i = 0; i < 3; ++i) {
        if (i) pdf.NewPage();
        pdf.DrawDIB(0, 0, 595, 841, PatternDib(10, 10, i), 0, 0, 1, 1);
      }
      folder = pdf.spoolFolder();
      ASSERT_FALSE(folder.empty());
      struct stat st {};
      ASSERT_EQ(lstat(folder.c_str(), &st), 0);
      EXPECT_TRUE(S_ISDIR(st.st_mode));
      EXPECT_EQ(st.st_mode & 0777, 0700u);
      EXPECT_EQ(fs::path(folder).parent_path().parent_path(), tmp.path());
      const std::vector<std::string> files = pdf.spoolFiles();
      ASSERT_EQ(files.size(), 3u);
      for (int i = 0; i < 3; ++i) EXPECT_EQ(files[i], folder + "temppdfimg" + std::to_string(i) + ".bmp");
      ASSERT_TRUE(pdf.EndDoc());
      // The spool files outlive EndDoc and go with the writer.
      for (const std::string& f : files) EXPECT_TRUE(fs::exists(f));
    }
    EXPECT_FALSE(fs::exists(folder));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator{}), 1);  // s.pdf only
}

TEST(PdfImages, SpoolFilesAreCreatedExclusivelyNeverThroughALink) {
  TempDir tmp;
  const std::string folder = tmp.path().string() + "/";
  const std::string victim = tmp.file("victim.txt");
  std::ofstream(victim) << "precious";
  fs::create_symlink(victim, folder + "temppdfimg0.bmp");
  fs::create_symlink(tmp.file("nowhere"), folder + "temppdfimg1.bmp");  // dangling link
  std::ofstream(folder + "temppdfimg2.bmp") << "someone else's";
  uint32_t n = 0;
  std::string path, err;
  const int fd = pdfimg::CreateSpoolFile(folder, n, path, err);
  ASSERT_GE(fd, 0) << err;
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(path, folder + "temppdfimg3.bmp");
  EXPECT_TRUE(pdfimg::WriteAll(fd, reinterpret_cast<const uint8_t*>("x"), 1));
  close(fd);
  EXPECT_EQ(ReadFile(victim), "precious");
  EXPECT_FALSE(fs::exists(tmp.file("nowhere")));
  EXPECT_EQ(ReadFile(folder + "temppdfimg2.bmp"), "someone else's");
}

TEST(PdfImages, RealReadersAcceptTheFile) {
  const bool qpdf = HaveTool("qpdf"), pdfinfo = HaveTool("pdfinfo");
  if (!qpdf && !pdfinfo) GTEST_SKIP() << "qpdf and pdfinfo not installed (packages qpdf, poppler-utils)";
  ProgramFolder prog(false);
  for (bool cmyk : {false, true}) {
    TempDir out;
    const std::string file = out.file("real.pdf");
    {
      TPDFCanvas pdf(prog.opts());
      pdf.compressasCMYK = cmyk;
      pdf.usetempfileforimages = true;
      ASSERT_TRUE(pdf.BeginDoc(file));
      pdf.DrawDIB(0, 0, pdf.PageWidth, pdf.PageHeight, PatternDib(60, 80), 0, 0, 60, 80);
      pdf.NewPage();
      pdf.PageWidth = 842;
      pdf.PageHeight = 595;
      pdf.DrawDIB(0, 0, pdf.PageWidth, pdf.PageHeight, PatternDib(80, 60, 1), 0, 0, 80, 60);
      pdf.NewPage();  // an empty third page
      ASSERT_TRUE(pdf.EndDoc());
    }
    int status = -1;
    if (qpdf) {
      const std::string r = RunCapture("qpdf --check '" + file + "' 2>&1", &status);
      EXPECT_EQ(status, 0) << r;
      EXPECT_NE(r.find("No syntax or stream encoding errors"), std::string::npos) << r;
    }
    if (pdfinfo) {
      const std::string r = RunCapture("pdfinfo -f 1 -l 3 '" + file + "' 2>&1", &status);
      EXPECT_EQ(status, 0) << r;
      EXPECT_NE(r.find("Pages:           3"), std::string::npos) << r;
      EXPECT_NE(r.find("Page    1 size:  594 x 840 pts"), std::string::npos) << r;
      EXPECT_NE(r.find("Page    2 size:  841 x 594 pts"), std::string::npos) << r;
      EXPECT_NE(r.find("Page    3 size:  841 x 594 pts"), std::string::npos) << r;
    }
  }
}

TEST(PdfImages, RowConversionsOfEveryWidthMatchThePixels) {
  // The shuffles work in steps of several pixels; every remainder counts.
  for (int32_t w : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 31, 141, 2480}) {
    const dib img = PatternDib(w, 3, static_cast<uint32_t>(w));
    const pdfimg::PixelView v{img.pixels.data(), img.width, img.height, img.bytew};
    const std::vector<uint8_t> got = pdfimg::BuildSamples(v, nullptr);
    std::string expect;
    std::vector<uint8_t> bgrx;  // the same pixels as 4-byte B, G, R, x
    for (int32_t y = 0; y < img.height; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t c = getpixel(img, x, y);
        expect +=
            {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>(c >> 16)};
        if (y == 0) bgrx.insert(bgrx.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 0x77});
      }
    ASSERT_EQ(std::string(got.begin(), got.end()), expect) << "width " << w;
    std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
    pdfimg::DropFourthByte(bgrx.data(), row.data(), static_cast<size_t>(w));
    EXPECT_EQ(0, std::memcmp(row.data(), img.toprow(0), row.size())) << "width " << w;
  }
}

TEST(PdfImages, HandingOverThePixelsWritesTheSameFile) {
  TempDir tmp;
  std::string files[2];
  for (int mode = 0; mode < 2; ++mode) {
    PDFCanvasOptions o;
    o.tempFolder = tmp.path().string();
    TPDFCanvas pdf(o);
    pdf.usetempfileforimages = true;
    files[mode] = tmp.file("h" + std::to_string(mode) + ".pdf");
    ASSERT_TRUE(pdf.BeginDoc(files[mode]));
    for (int p = 0; p < 5; ++p) {
      if (p) pdf.NewPage();
      dib img = PatternDib(301, 203, p);
      if (mode == 0) {
        pdf.DrawDIB(0, 0, 595, 841, img, 0, 0, 1, 1);
      } else {
        const size_t size = img.pixels.size();
        pdf.DrawDIB(0, 0, 595, 841, std::move(img), 0, 0, 1, 1);
        EXPECT_EQ(img.pixels.size(), size);  // ready to be drawn into again
        EXPECT_EQ(img.width, 301);
      }
    }
    ASSERT_TRUE(pdf.EndDoc()) << pdf.LastError();
  }
  EXPECT_TRUE(ReadFile(files[0]) == ReadFile(files[1]));
}
