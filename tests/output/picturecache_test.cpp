// Camera pictures in a real catalog: the preview and the exports share one
// loader, and no picture is decoded more often than its file needs.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <string>

#include "core/codepage.h"
#include "output/pdfexport.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

constexpr int kProducts = 3;

class PictureCache : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "ql-picturecache-XXXXXX").string();
    dir_ = mkdtemp(t.data());
    doc_.settings.FilenameEdit1.clear();  // no logo file to look for
    // One product a page, each with its own 3000 x 2000 picture 4 cm wide.
    Category* cat = doc_.AddCategory(u"Kameras");
    for (int i = 0; i < kProducts; ++i) {
      const std::string file = dir_ + "/bild" + std::to_string(i) + ".jpg";
      QImage img(3000, 2000, QImage::Format_RGB32);
      img.fill(QColor::fromHsv(i * 100, 160, 220));
      QPainter p(&img);
      p.setBrush(Qt::black);
      p.drawEllipse(500, 300, 2000, 1400);
      p.end();
      ASSERT_TRUE(img.save(QString::fromStdString(file), "JPEG", 80));
      Product* prod = doc_.AddProduct(*cat);
      prod->name = u"Kamera " + ql::FromUtf8(std::to_string(i + 1));
      prod->pagebreakafter = true;
      Picture* pic = doc_.AddPicture(*prod);
      pic->filename = ql::FromUtf8(file);
      pic->width = 4;
    }
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  bool Preview(render::RenderSession& session, int32_t page, double zoom, dib& out) {
    platform::PageImageRequest req;
    req.page = page;
    req.zoom = zoom;
    platform::PageImageInfo info;
    std::string why;
    const bool ok = platform::RenderPageImage(session, printer_, req, out, info, &why);
    EXPECT_TRUE(ok) << why;
    return ok && info.pages >= kProducts;
  }

  bool Export(render::RenderSession& session, const std::string& name) {
    output::PdfExportOptions o;
    o.dpi = 150;
    o.cmyk = false;
    o.printer = printer_;
    o.progpath = dir_;
    o.tempFolder = dir_;
    const output::PdfExportResult r = output::ExportPDF(session, dir_ + "/" + name, o, nullptr);
    EXPECT_TRUE(r.ok) << r.error;
    return r.ok;
  }

  std::string dir_;
  Document doc_;
  platform::QtTextMeasurer measurer_;
  const platform::PrinterPage printer_ = platform::FallbackPrinterPage();
};

TEST_F(PictureCache, PreviewAgainZoomedAndExportedDecodesEachPictureOnce) {
  platform::QtPictureLoader loader;
  render::RenderSession session(doc_, measurer_, loader);
  dib first, again;
  ASSERT_TRUE(Preview(session, 2, 100, first));
  EXPECT_EQ(loader.Decodes(), 1u);  // only the picture drawn on page 2
  ASSERT_TRUE(Preview(session, 2, 100, again));
  EXPECT_EQ(loader.Decodes(), 1u);
  EXPECT_EQ(first.pixels, again.pixels);
  // Zoomed in: a larger box, served from the same decoded picture.
  ASSERT_TRUE(Preview(session, 2, 150, again));
  EXPECT_EQ(loader.Decodes(), 1u);
  EXPECT_GT(again.width, first.width);

  // The 150-dpi export after the preview decodes only the pictures the
  // preview has not shown, and the next export none.
  ASSERT_TRUE(Export(session, "a.pdf"));
  EXPECT_EQ(loader.Decodes(), uint64_t(kProducts));
  ASSERT_TRUE(Export(session, "b.pdf"));
  EXPECT_EQ(loader.Decodes(), uint64_t(kProducts));
  EXPECT_TRUE(loader.TakeProblems().empty());
}

TEST_F(PictureCache, ExportAloneDecodesEachPictureOnce) {
  platform::QtPictureLoader loader;
  render::RenderSession session(doc_, measurer_, loader);
  ASSERT_TRUE(Export(session, "c.pdf"));
  EXPECT_EQ(loader.Decodes(), uint64_t(kProducts));
  EXPECT_EQ(loader.CacheHits(), 0u);
  EXPECT_TRUE(loader.TakeProblems().empty());
}

}  // namespace
