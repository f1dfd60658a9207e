// The contents page of an export shows the page numbers of the export's own
// layout run: page 1 of the exported PDF of the sample, read back from the
// file with a real reader (pdfimages, the image exactly as stored), equals
// page 1 as `quillane-cli render --print` draws it at the same resolution
// (platform::RenderPageImage), pixel for pixel, in every layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/codepage.h"
#include "imaging/qtdib.h"
#include "output/pdfexport.h"
#include "platform/guiapp.h"
#include "platform/pageimage.h"
#include "platform/printer.h"
#include "render/layouts/layouts.h"
#include "render/render.h"
#include "sample_session.h"

namespace fs = std::filesystem;

TEST(ExportContentsPage, PageOneOfThePdfIsPageOneAsRenderedForPrintInEveryLayout) {
  if (std::system("command -v pdfimages >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdfimages not installed (package poppler-utils)";
  ASSERT_TRUE(platform::EnsureGuiApplication());
  std::string t = (fs::temp_directory_path() / "ql-contents-XXXXXX").string();
  ASSERT_NE(mkdtemp(t.data()), nullptr);
  const std::string dir = t;
  // Picture names in the sample are relative to its folder.
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir((std::string(QL_SOURCE_DIR) + "/data/sample").c_str()), 0);
  constexpr int32_t kDpi = 72;
  for (int32_t layout = 0; layout < 8; ++layout) {
    SCOPED_TRACE("layout " + std::to_string(layout + 1));
    const std::string pdf = dir + "/l" + std::to_string(layout) + ".pdf";
    {
      SampleSession s;
      ASSERT_TRUE(s.Open("test.pk2", layout));
      output::PdfExportOptions o;
      o.dpi = kDpi;
      o.cmyk = false;
      o.tempFolder = dir;
      const output::PdfExportResult r = output::ExportPDF(*s.session, pdf, o);
      ASSERT_TRUE(r.ok) << r.error;
      ASSERT_GT(r.anzpages, 3);
    }
    dib page;
    {
      SampleSession s;
      ASSERT_TRUE(s.Open("test.pk2", layout));
      platform::PageImageRequest req;
      req.page = 1;
      req.dpi = kDpi;
      req.layout = layout;
      req.print = true;
      platform::PageImageInfo info;
      std::string why;
      ASSERT_TRUE(
          platform::RenderPageImage(*s.session, platform::FallbackPrinterPage(), req, page, info, &why))
          << why;
    }
    const std::string prefix = dir + "/img" + std::to_string(layout);
    const std::string cmd = "pdfimages -f 1 -l 1 -png '" + pdf + "' '" + prefix + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const QImage got =
        QImage(QString::fromStdString(prefix + "-000.png")).convertToFormat(QImage::Format_RGB32);
    const QImage want = DibToQImage(page).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(got.isNull());
    ASSERT_EQ(got.size(), want.size());
    int64_t differ = 0;
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x)
        differ += (got.pixel(x, y) & 0xFFFFFF) != (want.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differ, 0) << "pixels of page 1 differ";
  }
  ASSERT_EQ(chdir(old), 0);
  std::error_code ec;
  fs::remove_all(dir, ec);
}
