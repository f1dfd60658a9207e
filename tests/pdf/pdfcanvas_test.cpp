// Byte layout of the PDF writer: objects, streams, cross-reference table,
// lifecycle and failures.
#include "pdf/pdfcanvas.h"

#include <sys/stat.h>

#include "pdf_test_util.h"

using namespace pdftest;

namespace {

PDFCanvasOptions Opts(const TempDir& tmp, int threads = -1) {
  PDFCanvasOptions o;
  o.progpath = tmp.path().string();
  o.tempFolder = tmp.path().string();
  o.encoderThreads = threads;
  return o;
}

// The whole expected file of a document with one page that shows `img` as
// an RGB image across a 595 × 841 page, assembled independently of the
// writer, with the offsets taken while assembling.
std::string ExpectedOnePage(const dib& img) {
  std::string f = "%PDF-1.3\n";
  std::vector<size_t> off{0};
  auto obj = [&](int n) {
    off.push_back(f.size());
    f += std::to_string(n) + " 0 obj\n";
  };
  obj(1);
  f += "[/PDF /Text /ImageB /ImageC /ImageI]\nendobj\n";
  obj(2);
  f += "<< /Length 3 0 R /Filter /FlateDecode >>\nstream\n";
  const std::string content = Deflate("q\n594 0 0 840 0 0 cm\n/Im0 Do\nQ\n", 9);
  f += content + "\nendstream\nendobj\n";
  obj(3);
  f += std::to_string(content.size() + 1) + "\nendobj\n";
  obj(4);
  f += "<<\n/Type /Pages\n/Count 1\n/Kids [5 0 R]\n>>\nendobj\n";
  obj(5);
  f += "<<\n/Type /Page\n/Parent 4 0 R\n/Resources <</XObject << /Im0 8 0 R >>\n/Font << >> /ProcSet 1 0 "
       "R\n>>\n"
       "/MediaBox [0 0 594 840]\n/Contents 2 0 R\n>>\nendobj\n";
  obj(6);
  f += "<<\n/Type /Catalog\n/Pages 4 0 R\n/Outlines 7 0 R\n>>\nendobj\n";
  obj(7);
  f += "<<\n/Type /Outlines\n/Count 0\n>>\nendobj\n";
  obj(8);
  std::string samples;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const uint32_t c = getpixel(img, x, y);
      samples += static_cast<char>(c & 0xFF);
      samples += static_cast<char>((c >> 8) & 0xFF);
      samples += static_cast<char>((c >> 16) & 0xFF);
    }
  const std::string data = Deflate(samples, Z_DEFAULT_COMPRESSION);
  f += "<<\n/Type /XObject /Subtype /Image\n/Width " + std::to_string(img.width) + " /Height " +
       std::to_string(img.height) + " /BitsPerComponent 8\n/Length " + std::to_string(data.size()) +
       " /ColorSpace /DeviceRGB /Filter /FlateDecode\n>>\nstream\n" + data + "endstream\nendobj\n";
  const size_t xref = f.size();
  f += "xref\n0 9\n0000000000 65535 f \n";
  for (int n = 1; n <= 8; ++n) {
    char line[32];
    std::snprintf(line, sizeof(line), "%010zu 00000 n \n", off[n]);
    f += line;
  }
  f += "trailer\n<<\n/Size 9\n/Root 6 0 R\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF";
  return f;
}

}  // namespace

TEST(PdfCanvas, OnePageOneImageIsExactlyTheNineObjects) {
  TempDir tmp;
  const dib img = PatternDib(5, 3);
  for (int threads : {0, 2}) {
    for (bool spool : {false, true}) {
      const std::string out = tmp.file("one.pdf");
      TPDFCanvas pdf(Opts(tmp, threads));
      pdf.usetempfileforimages = spool;
      ASSERT_TRUE(pdf.BeginDoc(out));
      EXPECT_TRUE(pdf.DrawDIB(0, 0, pdf.PageWidth, pdf.PageHeight, img, 0, 0, img.width, img.height));
      EXPECT_TRUE(pdf.EndDoc()) << pdf.LastError();
      EXPECT_EQ(ReadFile(out), ExpectedOnePage(img)) << "threads " << threads << " spool " << spool;
      EXPECT_EQ(pdf.rootObjNr, 6);
      EXPECT_EQ(pdf.parentnr, 4);
      EXPECT_EQ(pdf.fontobjnr, 4);
    }
  }
}

TEST(PdfCanvas, PagesKeepTheSizeInEffectWhenFinishedAndNameEveryImage) {
  TempDir tmp;
  const std::string out = tmp.file("sizes.pdf");
  TPDFCanvas pdf(Opts(tmp));
  const dib img = PatternDib(4, 4);
  ASSERT_TRUE(pdf.BeginDoc(out));
  pdf.DrawDIB(10, 20, 100, 50, img, 0, 0, 4, 4);
  pdf.PageWidth = 300;  // page 1 is finished with this size
  pdf.PageHeight = 400;
  pdf.NewPage();
  pdf.DrawDIB(0, 0, -30, -40, img, 0, 0, 4, 4);
  pdf.PageWidth = 1000;
  pdf.PageHeight = 500;
  ASSERT_TRUE(pdf.EndDoc());
  const std::string f = ReadFile(out);
  // 2 pages: contents 2 and 4, lengths 3 and 5, tree 6, pages 7 and 8,
  // catalog 9, outlines 10, images 11 and 12.
  EXPECT_NE(ObjectText(f, 6).find("/Count 2\n/Kids [7 0 R 8 0 R]\n"), std::string::npos);
  for (int p : {7, 8}) {
    const std::string page = ObjectText(f, p);
    EXPECT_NE(page.find("/XObject << /Im0 11 0 R/Im1 12 0 R >>"), std::string::npos) << page;
    EXPECT_NE(page.find("/Contents " + std::to_string(2 * (p - 6)) + " 0 R"), std::string::npos);
  }
  EXPECT_NE(ObjectText(f, 7).find("/MediaBox [0 0 299 399]"), std::string::npos);
  EXPECT_NE(ObjectText(f, 8).find("/MediaBox [0 0 999 499]"), std::string::npos);
  // Placement: one point less in magnitude, y from the top of the page.
  EXPECT_EQ(Inflate(StreamData(f, 2)), "q\n99 0 0 49 10 771 cm\n/Im0 Do\nQ\n");
  // Negative sizes grow toward +1; page 2's own PageHeight (500) is not yet
  // in effect while it is drawn: 400 - 1 - 0 - (-39) = 438.
  EXPECT_EQ(Inflate(StreamData(f, 4)), "q\n-29 0 0 -39 0 438 cm\n/Im1 Do\nQ\n");
  EXPECT_NE(f.find("/Size 13\n/Root 9 0 R\n"), std::string::npos);
}

TEST(PdfCanvas, ZeroSizePlacementAddsNothingAndNumbersDoNotSkip) {
  TempDir tmp;
  const std::string out = tmp.file("zero.pdf");
  TPDFCanvas pdf(Opts(tmp));
  const dib img = PatternDib(2, 2);
  ASSERT_TRUE(pdf.BeginDoc(out));
  EXPECT_FALSE(pdf.DrawDIB(0, 0, 0, 10, img, 0, 0, 2, 2));
  EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 0, img, 0, 0, 2, 2));
  EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 10, img, 0, 0, 0, 2));
  EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 10, img, 0, 0, 2, 0));
  EXPECT_EQ(pdf.imageCount(), 0u);
  EXPECT_TRUE(pdf.DrawDIB(0, 0, 10, 10, img, 7, 7, 2, 2));
  ASSERT_TRUE(pdf.EndDoc());
  const std::string f = ReadFile(out);
  EXPECT_EQ(Inflate(StreamData(f, 2)), "q\n9 0 0 9 0 831 cm\n/Im0 Do\nQ\n");
  EXPECT_NE(ObjectText(f, 5).find("/XObject << /Im0 8 0 R >>"), std::string::npos);
  EXPECT_NE(f.find("xref\n0 9\n"), std::string::npos);
}

TEST(PdfCanvas, StreamFramingLengthObjectsAndEmptyPages) {
  TempDir tmp;
  const std::string out = tmp.file("empty.pdf");
  TPDFCanvas pdf(Opts(tmp));
  ASSERT_TRUE(pdf.BeginDoc(out));
  pdf.NewPage();
  ASSERT_TRUE(pdf.EndDoc());
  const std::string f = ReadFile(out);
  const std::string empty = Deflate("", 9);
  for (int page : {1, 2}) {
    const std::string content = ObjectText(f, 2 * page);
    const std::string expect = std::to_string(2 * page) + " 0 obj\n<< /Length " +
                               std::to_string(2 * page + 1) + " 0 R /Filter /FlateDecode >>\nstream\n" +
                               empty + "\nendstream\nendobj\n";
    EXPECT_EQ(content, expect);
    EXPECT_EQ(ObjectText(f, 2 * page + 1),
              std::to_string(2 * page + 1) + " 0 obj\n" + std::to_string(empty.size() + 1) + "\nendobj\n");
  }
  EXPECT_NE(ObjectText(f, 6).find("/Kids [7 0 R 8 0 R]"), std::string::npos);
  EXPECT_NE(ObjectText(f, 7).find("/XObject <<  >>"), std::string::npos);
  EXPECT_EQ(f.substr(f.size() - 6), "\n%%EOF");
  EXPECT_EQ(f.find('\r'), std::string::npos);
}

TEST(PdfCanvas, CrossReferenceEntriesPointAtTheirObjects) {
  TempDir tmp;
  const std::string out = tmp.file("xref.pdf");
  TPDFCanvas pdf(Opts(tmp));
  pdf.usetempfileforimages = true;
  ASSERT_TRUE(pdf.BeginDoc(out));
  for (int p = 0; p < 3; ++p) {
    if (p) pdf.NewPage();
    pdf.DrawDIB(0, 0, 595, 841, PatternDib(30 + p, 20, p), 0, 0, 1, 1);
  }
  ASSERT_TRUE(pdf.EndDoc());
  const std::string f = ReadFile(out);
  const size_t sx = f.rfind("startxref\n");
  const size_t xref = std::stoul(f.substr(sx + 10));
  ASSERT_EQ(f.compare(xref, 5, "xref\n"), 0);
  // 3 pages: 1 + 6 stream objects + tree + 3 pages + catalog + outline + 3 images = 16 objects.
  ASSERT_EQ(f.compare(xref + 5, 5, "0 17\n"), 0);
  const size_t table = xref + 10;
  EXPECT_EQ(f.substr(table, 20), "0000000000 65535 f \n");
  for (int n = 1; n < 17; ++n) {
    const std::string e = f.substr(table + 20 * n, 20);
    ASSERT_EQ(e.substr(10), " 00000 n \n");
    const size_t at = std::stoul(e.substr(0, 10));
    EXPECT_EQ(f.compare(at, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0) << n;
  }
  EXPECT_EQ(f.compare(table + 20 * 17, 8, "trailer\n"), 0);
}

TEST(PdfCanvas, LifecycleClosedStateAndEndDocTwice) {
  TempDir tmp;
  const std::string out = tmp.file("twice.pdf");
  TPDFCanvas pdf(Opts(tmp));
  const dib img = PatternDib(2, 2);
  // Closed: nothing happens.
  pdf.NewPage();
  EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 10, img, 0, 0, 2, 2));
  EXPECT_FALSE(pdf.EndDoc());
  EXPECT_FALSE(std::filesystem::exists(out));

  ASSERT_TRUE(pdf.BeginDoc(out));
  EXPECT_TRUE(pdf.isOpen());
  EXPECT_FALSE(pdf.BeginDoc(out));  // already open
  pdf.DrawDIB(0, 0, 10, 10, img, 0, 0, 2, 2);
  ASSERT_TRUE(pdf.EndDoc());
  const std::string first = ReadFile(out);
  EXPECT_TRUE(pdf.EndDoc());  // same answer, nothing written
  pdf.NewPage();
  EXPECT_EQ(ReadFile(out), first);
  EXPECT_EQ(first.substr(first.size() - 5), "%%EOF");
}

TEST(PdfCanvas, DestructorCompletesAnOpenDocument) {
  TempDir tmp;
  const std::string out = tmp.file("dtor.pdf");
  {
    TPDFCanvas pdf(Opts(tmp));
    ASSERT_TRUE(pdf.BeginDoc(out));
    pdf.DrawDIB(0, 0, 10, 10, PatternDib(3, 3), 0, 0, 3, 3);
  }
  const std::string f = ReadFile(out);
  EXPECT_EQ(f.substr(f.size() - 5), "%%EOF");
  EXPECT_NE(f.find("/Im0 8 0 R"), std::string::npos);
}

TEST(PdfCanvas, FailuresAreReportedNotSwallowed) {
  TempDir tmp;
  {
    TPDFCanvas pdf(Opts(tmp));
    EXPECT_FALSE(pdf.BeginDoc(tmp.file("no/such/folder/x.pdf")));
    EXPECT_FALSE(pdf.isOpen());
  }
  if (std::filesystem::exists("/dev/full")) {
    // Disk full: every write fails; EndDoc must say so.
    TPDFCanvas pdf(Opts(tmp));
    ASSERT_TRUE(pdf.BeginDoc("/dev/full"));
    pdf.DrawDIB(0, 0, 10, 10, PatternDib(64, 64), 0, 0, 1, 1);
    EXPECT_FALSE(pdf.EndDoc());
    EXPECT_NE(pdf.LastError().find("Datenträger voll"), std::string::npos) << pdf.LastError();
  }
  {
    // A bitmap that is not 24-bit is refused and fails the document.
    TPDFCanvas pdf(Opts(tmp));
    ASSERT_TRUE(pdf.BeginDoc(tmp.file("bad.pdf")));
    dib pal;
    newdib(pal, 4, 4, 8);
    EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 10, pal, 0, 0, 4, 4));
    dib empty;
    EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 10, empty, 0, 0, 4, 4));
    EXPECT_FALSE(pdf.EndDoc());
    EXPECT_FALSE(pdf.LastError().empty());
  }
  if (geteuid() != 0) {
    // The spool folder cannot be made: the export fails instead of losing the image.
    const std::string locked = tmp.file("locked");
    std::filesystem::create_directory(locked);
    chmod(locked.c_str(), 0500);
    PDFCanvasOptions o = Opts(tmp);
    o.tempFolder = locked;
    TPDFCanvas pdf(o);
    pdf.usetempfileforimages = true;
    ASSERT_TRUE(pdf.BeginDoc(tmp.file("nospool.pdf")));
    EXPECT_FALSE(pdf.DrawDIB(0, 0, 10, 10, PatternDib(2, 2), 0, 0, 2, 2));
    EXPECT_FALSE(pdf.EndDoc());
    EXPECT_NE(pdf.LastError().find("Zwischendatei"), std::string::npos) << pdf.LastError();
  }
}

TEST(PdfCanvas, AbortLeavesNoSpoolFilesAndClosesTheDocument) {
  TempDir tmp;
  std::string folder;
  {
    TPDFCanvas pdf(Opts(tmp, 2));
    pdf.usetempfileforimages = true;
    ASSERT_TRUE(pdf.BeginDoc(tmp.file("abort.pdf")));
    for (int i = 0; i < 6; ++i) pdf.DrawDIB(0, 0, 10, 10, PatternDib(200, 200, i), 0, 0, 1, 1);
    folder = pdf.spoolFolder();
    pdf.AbortDoc();
    EXPECT_FALSE(pdf.isOpen());
    EXPECT_FALSE(pdf.EndDoc());
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}
