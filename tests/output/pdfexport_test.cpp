// The PDF export: page and bitmap geometry, the render loop, colour modes,
// cancellation and failures without losing an existing file, and a real
// reader rendering the pages back to the page bitmaps' pixels.
#include "output/pdfexport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "output/vectorexport.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "project/document.h"
#include "render/layouts/layouts.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A renderer with a known number of pages, each showing a pattern of its
// own (filled rectangles and a block of pixels of many colours).
int32_t g_pages = 3;
int32_t g_calls = 0;  // calls that draw a page

dib PagePattern(int32_t page) {
  dib d;
  newdib(d, 97, 61, 24);
  for (int32_t y = 0; y < d.height; ++y)
    for (int32_t x = 0; x < d.width; ++x)
      setpixel(d, x, y, ((x * 2654435761u) ^ (y * 40503u) ^ (page * 977u)) & 0xFFFFFF);
  return d;
}

bool TestRenderer(render::RenderSession& s, const render::RenderParams& p, const render::LayoutEntry&) {
  s.anzpages = g_pages;
  if (p.seiteedvalue >= 1 && p.seiteedvalue <= g_pages) {
    ++g_calls;
    render::DrawingSurface& c = *p.canvas0;
    c.SetPenStyle(render::PenStyle::Clear);
    c.SetBrushColor(RGBColor(40 * p.seiteedvalue, 10, 200));
    c.Rectangle(p.width / 10, p.height / 10, p.width / 2, p.height / 3);
    c.SetBrushColor(RGBColor(0, 0, 0));
    c.Rectangle(0, p.height - 5, p.width + 1, p.height + 1);  // bottom rows: the row order shows
    c.SetDibBlock(p.width / 20, p.height / 2, PagePattern(p.seiteedvalue));
  }
  return p.seiteedvalue < g_pages;
}

class PdfExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    g_pages = 3;
    g_calls = 0;
    std::string t = (fs::temp_directory_path() / "ql-pdfexport-XXXXXX").string();
    dir_ = mkdtemp(t.data());
    doc_.settings.FilenameEdit1.clear();  // no logo file to look for
    session_ = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
    session_->drawWith = TestRenderer;
    opts_.dpi = 20;  // small pages keep the tests quick
    opts_.cmyk = false;
    opts_.progpath = dir_;
    opts_.tempFolder = dir_;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::string file(const std::string& name) const { return dir_ + "/" + name; }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}));
  }

  std::string dir_;
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
  output::PdfExportOptions opts_;
};

}  // namespace

TEST(PdfGeometry, SizeModes) {
  CatalogSettings set;
  platform::PrinterPage a4{4960, 7016, 600, 600, false, {}, {}, 0, 0, false};
  // Printer page (the default): 595 x 841 points, bitmap from the printer page.
  output::PdfGeometry g = output::ComputePdfGeometry(set, 300, a4);
  EXPECT_EQ(g.pageWidth, 595);
  EXPECT_EQ(g.pageHeight, 841);
  EXPECT_EQ(g.bitmapWidth, 2480);
  EXPECT_EQ(g.bitmapHeight, 3508);
  EXPECT_NEAR(g.widthmm, 4960 / 600.0 * 25.39995, 1e-9);
  EXPECT_NEAR(g.heightmm, 7016 / 600.0 * 25.39995, 1e-9);
  // The margin only enlarges the PDF page (56.69 points on each axis).
  set.PDFRandEd = 10;
  g = output::ComputePdfGeometry(set, 300, a4);
  EXPECT_EQ(g.pageWidth, 651);
  EXPECT_EQ(g.pageHeight, 898);
  EXPECT_EQ(g.bitmapWidth, 2480);

  // Chosen size: the bitmap has that size (plus margins) at the resolution.
  set.PDFRandEd = 0;
  set.SetPDFSizeCheck = true;
  platform::PrinterPage letter{5100, 6600, 600, 600, false, {}, {}, 0, 0, false};
  g = output::ComputePdfGeometry(set, 300, letter);
  EXPECT_EQ(g.pageWidth, 595);
  EXPECT_EQ(g.pageHeight, 841);
  EXPECT_EQ(g.bitmapWidth, 2480);
  EXPECT_EQ(g.bitmapHeight, 3507);
  EXPECT_DOUBLE_EQ(g.widthmm, 210);
  EXPECT_DOUBLE_EQ(g.heightmm, 297);
  set.PDFRandEd = 10;
  g = output::ComputePdfGeometry(set, 300, letter);
  EXPECT_EQ(g.pageWidth, 651);
  EXPECT_EQ(g.bitmapWidth, static_cast<int32_t>(210 * 300 / 25.39995 + 10 * 2 * 300 / 25.39995));
  EXPECT_DOUBLE_EQ(g.widthmm, 230);
  // Stretched: laid out as for the printer, drawn onto the chosen page.
  set.ZerrePDFCheck = true;
  g = output::ComputePdfGeometry(set, 300, letter);
  EXPECT_EQ(g.pageWidth, 651);
  EXPECT_EQ(g.bitmapWidth, 2550);
  EXPECT_EQ(g.bitmapHeight, 3300);
  EXPECT_NEAR(g.heightmm, 6600 / 600.0 * 25.39995, 1e-9);
}

// The print-ready PDF lays out on its trim size alone: A4 by default, the
// chosen PDF size when set; the page-image export's margin and stretching
// leave it alone.
TEST(PdfGeometry, PrintReadyPageIsThePaper) {
  CatalogSettings set;
  set.PDFRandEd = 10;
  set.ZerrePDFCheck = true;
  output::PdfGeometry g = output::VectorPdfGeometry(set);
  EXPECT_DOUBLE_EQ(g.widthmm, 210);
  EXPECT_DOUBLE_EQ(g.heightmm, 297);
  EXPECT_EQ(g.pageWidth, 595);
  EXPECT_EQ(g.pageHeight, 841);
  EXPECT_EQ(g.bitmapWidth, 2480);
  EXPECT_EQ(g.bitmapHeight, 3508);
  set.SetPDFSizeCheck = true;
  set.PDFWidthEd = 148;
  set.PDFHeightED = 210;
  g = output::VectorPdfGeometry(set);
  EXPECT_DOUBLE_EQ(g.widthmm, 148);
  EXPECT_DOUBLE_EQ(g.heightmm, 210);
  EXPECT_EQ(g.pageWidth, 419);
  EXPECT_EQ(g.bitmapWidth, 1748);
  EXPECT_EQ(g.bitmapHeight, 2480);
}

TEST_F(PdfExport, EveryPageOnceAtTheChosenSizeAndColourSpace) {
  doc_.settings.SetPDFSizeCheck = true;  // 210 x 297 mm
  for (bool cmyk : {false, true}) {
    opts_.cmyk = cmyk;
    const std::string out = file(cmyk ? "c.pdf" : "r.pdf");
    int progressCalls = 0;
    const output::PdfExportResult r =
        output::ExportPDF(*session_, out, opts_, [&](const output::PdfExportProgress& p) {
          EXPECT_EQ(p.pagesDone, ++progressCalls);
          return true;
        });
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.anzpages, 3);
    EXPECT_EQ(session_->anzpages, 3);
    EXPECT_EQ(progressCalls, 3);
    EXPECT_FALSE(r.uselcms);  // no press profile in the program folder
    const std::string f = ReadFile(out);
    EXPECT_NE(f.find("/Count 3\n"), std::string::npos);
    size_t boxes = 0;
    for (size_t at = 0; (at = f.find("/MediaBox [0 0 594 840]", at)) != std::string::npos; ++at) ++boxes;
    EXPECT_EQ(boxes, 3u);
    const int32_t bw = static_cast<int32_t>(210 * 20 / 25.39995),
                  bh = static_cast<int32_t>(297 * 20 / 25.39995);
    EXPECT_NE(f.find("/Width " + std::to_string(bw) + " /Height " + std::to_string(bh)), std::string::npos);
    EXPECT_NE(f.find(cmyk ? "/DeviceCMYK" : "/DeviceRGB"), std::string::npos);
    EXPECT_EQ(f.find(cmyk ? "/DeviceRGB" : "/DeviceCMYK"), std::string::npos);
  }
  EXPECT_EQ(g_calls, 6);  // pages 1, 2, 3 in each export
  // Only the two PDFs: no temporary or spool files are left behind.
  EXPECT_EQ(FilesInDir(), 2u);
}

TEST_F(PdfExport, EmptyCatalogGivesOnePage) {
  session_->drawWith = nullptr;  // the layout's own renderer
  const output::PdfExportResult r = output::ExportPDF(*session_, file("e.pdf"), opts_);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.anzpages, 1);
  EXPECT_NE(ReadFile(file("e.pdf")).find("/Count 1\n"), std::string::npos);
}

TEST_F(PdfExport, CancelAndFailureKeepTheExistingFile) {
  const std::string out = file("keep.pdf");
  std::ofstream(out) << "the previous export";
  chmod(out.c_str(), 0640);
  // Cancelled after the second page.
  output::PdfExportResult r = output::ExportPDF(
      *session_, out, opts_, [](const output::PdfExportProgress& p) { return p.pagesDone < 2; });
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.anzpages, 2);
  EXPECT_EQ(ReadFile(out), "the previous export");
  EXPECT_EQ(FilesInDir(), 1u);

  // Bad settings are refused before anything is written.
  output::PdfExportOptions bad = opts_;
  bad.dpi = 5;
  r = output::ExportPDF(*session_, out, bad);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("Auflösung"), std::string::npos) << r.error;
  bad = opts_;
  bad.dpi = 4000;  // A4 at 4000 dpi is far beyond the page bitmap limit
  r = output::ExportPDF(*session_, out, bad);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("Pixeln"), std::string::npos) << r.error;
  bad = opts_;
  bad.cmyk = true;
  bad.profilePath = file("missing.icc");  // a profile named explicitly must work
  r = output::ExportPDF(*session_, out, bad);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("missing.icc"), std::string::npos);
  EXPECT_EQ(ReadFile(out), "the previous export");

  if (geteuid() != 0) {
    // The writer fails mid-way (its spool folder cannot be made).
    bad = opts_;
    bad.tempFolder = file("locked");
    fs::create_directory(bad.tempFolder);
    chmod(bad.tempFolder.c_str(), 0500);
    r = output::ExportPDF(*session_, out, bad);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Zwischendateien"), std::string::npos) << r.error;
    EXPECT_EQ(ReadFile(out), "the previous export");
    EXPECT_EQ(FilesInDir(), 2u);  // keep.pdf and the locked folder

    // A folder that cannot be written: a message, nothing created.
    const std::string ro = file("ro");
    fs::create_directory(ro);
    chmod(ro.c_str(), 0500);
    r = output::ExportPDF(*session_, ro + "/x.pdf", opts_);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(ro + "/x.pdf"), std::string::npos) << r.error;
  }

  // A successful export replaces the file and keeps its permissions.
  r = output::ExportPDF(*session_, out, opts_);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(ReadFile(out).substr(0, 8), "%PDF-1.3");
  struct stat st {};
  stat(out.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(PdfExport, ARealReaderShowsThePageBitmapsPixelForPixel) {
  // pdftocairo rather than pdftoppm: the latter passes DeviceRGB through a
  // colour transform that moves some values by one and smooths image edges
  // at scales other than 1.
  if (!HaveTool("pdftocairo")) GTEST_SKIP() << "pdftocairo not installed (package poppler-utils)";
  // A 100 x 150 mm page is 283 x 425 points, its media box 282 x 424; at
  // 36 dpi the bitmap is 141 x 212 pixels, so a reader at 36 dpi maps every
  // image pixel onto one output pixel with an exact scale of 1/2.
  doc_.settings.SetPDFSizeCheck = true;
  doc_.settings.PDFWidthEd = 100;
  doc_.settings.PDFHeightED = 150;
  opts_.dpi = 36;
  const std::string out = file("pixels.pdf");
  const output::PdfExportResult r = output::ExportPDF(*session_, out, opts_);
  ASSERT_TRUE(r.ok) << r.error;
  const int32_t w = r.geometry.bitmapWidth, h = r.geometry.bitmapHeight;
  ASSERT_EQ(w * 2, r.geometry.pageWidth - 1);
  ASSERT_EQ(h * 2, r.geometry.pageHeight - 1);
  const std::string cmd = "pdftocairo -r 36 -png '" + out + "' '" + file("pg") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (int32_t nr = 1; nr <= 3; ++nr) {
    // The page bitmap as the export renders it.
    platform::ImageSurface surf(w, h);
    render::RenderParams p;
    p.canvas0 = &surf;
    p.dpi = 36;
    p.width = w;
    p.height = h;
    p.seiteedvalue = nr;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = r.geometry.widthmm;
    p.heightmm = r.geometry.heightmm;
    render::RenderCatalogPage(*session_, p);
    surf.End();
    const QImage expect = surf.image().convertToFormat(QImage::Format_RGB888);

    const QImage got = QImage(QString::fromStdString(file("pg-" + std::to_string(nr) + ".png")))
                           .convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(got.width(), w);
    ASSERT_EQ(got.height(), h);
    int64_t differing = 0;
    for (int32_t y = 0; y < h; ++y)
      differing +=
          std::memcmp(got.constScanLine(y), expect.constScanLine(y), static_cast<size_t>(w) * 3) != 0;
    EXPECT_EQ(differing, 0) << "page " << nr << ": rows differ";
  }
}
