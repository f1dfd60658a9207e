// One measurement of text for the vector pages and the raster pages: every
// page of the sample in every layout is laid out alike on the vector
// surface and on the bitmap surface (same rules, same runs, same line
// breaks), each run of the vector surface is drawn as wide as measured, and
// the words a PDF reader finds in the print file stand where the raster
// page has them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QString>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../support/shell.h"
#include "core/codepage.h"
#include "pdfvector/fonts.h"
#include "pdfvector/imageobjects.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/pdfwriter.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"
#include "render/units.h"

namespace fs = std::filesystem;

namespace {

using qltest::Sh;

const std::string kBin = QL_BIN_DIR;
constexpr int32_t kW = 2480, kH = 3508;  // A4 at 300 dpi, the vector pages' resolution
constexpr double kTolerancePx = 0.2 / render::kMmPerInch * 300;  // 0.2 mm

struct Op {
  char kind = 0;  // T text run, F fill, R frame, L line
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::u16string text;
};

struct Word {
  std::u16string text;
  int32_t x1 = 0, x2 = 0, y = 0;  // y: top of the run
};

// Records what the renderers draw while the metrics come from a real
// surface: the page as laid out on that surface, nothing drawn.
class MetricsRecorder : public render::DrawingSurface {
 public:
  explicit MetricsRecorder(render::DrawingSurface& real) : real_(real) {}
  int32_t TextWidth(const std::u16string& s) override { return Synced().TextWidth(s); }
  int32_t TextHeight(const std::u16string& s) override { return Synced().TextHeight(s); }
  bool IsRasterPrinter() const override { return real_.IsRasterPrinter(); }
  bool Extent(int32_t& w, int32_t& h) const override {
    w = kW;
    h = kH;
    return true;
  }
  bool StretchDib(int32_t, int32_t, int32_t, int32_t, const dib&, int32_t, int32_t, int32_t,
                  int32_t) override {
    return true;
  }
  void SetDibRow(int32_t, int32_t, const dib&) override {}
  bool SetDibBlock(int32_t, int32_t, const dib&) override { return true; }
  void CopyBitmap(int32_t, int32_t, const dib&) override {}

  std::vector<Op> ops;
  std::vector<Word> words;

 protected:
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override {
    render::DrawingSurface& r = Synced();
    ops.push_back({'T', x, y, x + r.TextWidth(s), y + r.TextHeight(s), s});
    for (size_t i = 0; i < s.size();) {
      while (i < s.size() && s[i] == u' ') ++i;
      size_t e = i;
      while (e < s.size() && s[e] != u' ') ++e;
      if (e > i)
        words.push_back(
            {s.substr(i, e - i), x + r.TextWidth(s.substr(0, i)), x + r.TextWidth(s.substr(0, e)), y});
      i = e;
    }
  }
  void DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor) override {
    ops.push_back({'F', x1, y1, x2, y2, {}});
  }
  void DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    ops.push_back({'R', x1, y1, x2, y2, {}});
  }
  void DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    ops.push_back({'L', x1, y1, x2, y2, {}});
  }
  void DoArc(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}

 private:
  render::DrawingSurface& Synced() {
    real_.AssignFont(Font(), FontEmPixels());
    return real_;
  }
  render::DrawingSurface& real_;
};

class RecorderSink : public render::PageSink {
 public:
  explicit RecorderSink(render::DrawingSurface& real) : real_(real), measuring_(real) {}
  render::DrawingSurface& MeasuringSurface() override { return measuring_; }
  render::DrawingSurface* BeginPage(int32_t) override {
    pages.push_back(std::make_unique<MetricsRecorder>(real_));
    return pages.back().get();
  }
  bool EndPage(int32_t, render::DrawingSurface&) override { return true; }
  std::vector<std::unique_ptr<MetricsRecorder>> pages;

 private:
  render::DrawingSurface& real_;
  MetricsRecorder measuring_;
};

class OneMeasurement : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    ASSERT_NE(::getcwd(old_, sizeof old_), nullptr);
    // The sample's pictures are named relative to its folder.
    ASSERT_EQ(::chdir(kBin.c_str()), 0);
    std::u16string err;
    ASSERT_TRUE(OpenProjectFile(doc, "test.pk2", ReadOptions::FromDocument(doc), &err)) << ql::ToUtf8(err);
    dir_ = (fs::temp_directory_path() / ("ql-vmeasure-" + std::to_string(::getpid()))).string();
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    if (::chdir(old_) != 0) ADD_FAILURE() << "cannot return to " << old_;
  }

  // Every page of layout `layout` (0 ... 7) laid out with the metrics of `real`.
  std::vector<std::unique_ptr<MetricsRecorder>> Pages(render::DrawingSurface& real, int32_t layout) {
    render::RenderSession s(doc, measurer, loader);
    s.LoadFurniturePictures();
    render::RenderParams p;
    p.dpi = 300;
    p.width = kW;
    p.height = kH;
    p.zoomedvalue = 100;
    p.printit = true;
    p.widthmm = 210;
    p.heightmm = 297;
    RecorderSink sink(real);
    render::RenderAllPages(s, p, sink, layout);
    return std::move(sink.pages);
  }

  char old_[4096];
  std::string dir_;
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
};

TEST_F(OneMeasurement, VectorAndRasterPagesAreLaidOutAlike) {
  pdfvec::PdfWriter writer{0};
  pdfvec::FontSet fonts;
  pdfvec::PictureStore pictures{writer, pdfvec::PictureOptions()};
  pdfvec::ColourOps rgb{false, nullptr};
  // As the export makes it: measuring with the layout's measurer.
  pdfvec::PdfSurface vector(fonts, pictures, writer, rgb, kW, kH, 0.24, 0.24, 0, true, &measurer);
  platform::ImageSurface raster(1, 1);
  int pages = 0;
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    const auto v = Pages(vector, layout), r = Pages(raster, layout);
    ASSERT_EQ(v.size(), r.size()) << "layout " << layout + 1;
    for (size_t pg = 0; pg < v.size(); ++pg) {
      const std::vector<Op>&a = v[pg]->ops, &b = r[pg]->ops;
      ASSERT_EQ(a.size(), b.size()) << "layout " << layout + 1 << " page " << pg + 1;
      int bad = 0;
      for (size_t i = 0; i < a.size() && bad < 5; ++i) {
        const bool same =
            a[i].kind == b[i].kind && a[i].text == b[i].text && std::abs(a[i].x1 - b[i].x1) <= kTolerancePx &&
            std::abs(a[i].x2 - b[i].x2) <= kTolerancePx && std::abs(a[i].y1 - b[i].y1) <= kTolerancePx &&
            std::abs(a[i].y2 - b[i].y2) <= kTolerancePx;
        if (!same) {
          ++bad;
          ADD_FAILURE() << "layout " << layout + 1 << " page " << pg + 1 << " op " << i << ": vector "
                        << a[i].kind << " " << a[i].x1 << "," << a[i].y1 << "-" << a[i].x2 << "," << a[i].y2
                        << " \"" << ql::ToUtf8(a[i].text) << "\", raster " << b[i].kind << " " << b[i].x1
                        << "," << b[i].y1 << "-" << b[i].x2 << "," << b[i].y2 << " \""
                        << ql::ToUtf8(b[i].text) << "\"";
        }
      }
      ++pages;
    }
  }
  EXPECT_GT(pages, 8 * 10);
  EXPECT_TRUE(vector.error().empty()) << vector.error();
}

TEST_F(OneMeasurement, EachVectorRunIsDrawnAsWideAsMeasured) {
  pdfvec::PdfWriter writer{0};
  pdfvec::FontSet fonts;
  pdfvec::PictureStore pictures{writer, pdfvec::PictureOptions()};
  pdfvec::ColourOps rgb{false, nullptr};
  pdfvec::PdfSurface s(fonts, pictures, writer, rgb, kW, kH, 0.24, 0.24, 0, false, &measurer);
  s.BeginPage();
  TFontSpec f = MakeFont(u"Arial", 10, false, 0);
  s.SetFont(f);
  s.SetFontPpi(300);
  s.SetFontEmPixels(10 * 300 / 72.0);  // 41.67 px: drawn at 42, as wide as 41.67
  const std::u16string text = u"Edelrose Gloria Dei";
  s.TextOut(100, 100, text);
  const std::string c = s.TakeContent();
  // "sx 0 0 -1 x y Tm": the run at 42 px stretched to the measured width.
  const QRegularExpression tm(QStringLiteral("BT /\\w+ ([0-9.]+) Tf ([0-9.]+) 0 0 -1 "));
  const auto m = tm.match(QString::fromStdString(c));
  ASSERT_TRUE(m.hasMatch()) << c;
  EXPECT_EQ(m.captured(1).toDouble(), 42);
  std::string err;
  pdfvec::FontFace* face = fonts.Face(f, err);
  ASSERT_NE(face, nullptr) << err;
  const double natural = pdfvec::FontSet::Advance(*face, text) * 42 / pdfvec::FontSet::UnitsPerEm(*face);
  const double drawn = natural * m.captured(2).toDouble();
  EXPECT_NEAR(drawn, measurer.RunWidthPx(f, 10 * 300 / 72.0, text), 0.01);
  EXPECT_NEAR(drawn, s.TextWidth(text), 0.5);
}

// The words pdftotext finds in the exported print file against the words
// of the raster layout: same line, same place.
TEST_F(OneMeasurement, WordsOfThePrintFileStandWhereTheRasterPageHasThem) {
  if (Sh("command -v pdftotext").empty()) GTEST_SKIP() << "pdftotext is not installed";
  platform::ImageSurface raster(1, 1);
  for (int32_t layout : {0, 2, 4}) {
    const std::string pdf = dir_ + "/l" + std::to_string(layout) + ".pdf";
    int rc = 0;
    const std::string out =
        Sh("CUPS_SERVER=/nonexistent/cups.sock '" + kBin + "/quillane-cli' export-pdf test.pk2 '" + pdf +
               "' --vector --rgb --bleed 0 --layout " + std::to_string(layout + 1) + " 2>&1",
           &rc);
    ASSERT_EQ(rc, 0) << out;
    const QString xml = QString::fromStdString(Sh("pdftotext -bbox '" + pdf + "' -"));
    const auto r = Pages(raster, layout);
    const QRegularExpression pagere(QStringLiteral("<page [^>]*>(.*?)</page>"),
                                    QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression wordre(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    auto pit = pagere.globalMatch(xml);
    size_t pg = 0;
    int matched = 0, words = 0;
    for (; pit.hasNext(); ++pg) {
      const QString body = pit.next().captured(1);
      ASSERT_LT(pg, r.size()) << "layout " << layout + 1 << ": more pages in the PDF";
      auto wit = wordre.globalMatch(body);
      while (wit.hasNext()) {
        const auto w = wit.next();
        const std::u16string text = w.captured(4)
                                        .replace(QStringLiteral("&amp;"), QStringLiteral("&"))
                                        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                                        .toStdU16String();
        if (text.size() < 2 || text.find(u'.') != std::u16string::npos) continue;  // leaders join dots
        ++words;
        const double k = 300.0 / 72;  // points to pixels
        const double x1 = w.captured(1).toDouble() * k, x2 = w.captured(3).toDouble() * k;
        const double y = w.captured(2).toDouble() * k;
        // The raster word of that text nearest to it.
        const Word* best = nullptr;
        double dist = 1e9;
        for (const Word& rw : r[pg]->words)
          if (rw.text == text) {
            const double d = std::fabs(rw.x1 - x1) + std::fabs(rw.y - y);
            if (d < dist) dist = d, best = &rw;
          }
        if (!best) continue;
        ++matched;
        EXPECT_LE(std::fabs(best->x1 - x1), kTolerancePx)
            << "layout " << layout + 1 << " page " << pg + 1 << " \"" << ql::ToUtf8(text) << "\" starts at "
            << x1 << " px in the PDF, " << best->x1 << " on the raster page";
        EXPECT_LE(std::fabs(best->x2 - x2), kTolerancePx)
            << "layout " << layout + 1 << " page " << pg + 1 << " \"" << ql::ToUtf8(text) << "\" ends at "
            << x2 << " px in the PDF, " << best->x2 << " on the raster page";
        // The same line: the PDF's word box starts above the run's top by
        // less than a line.
        EXPECT_LE(std::fabs(best->y - y), 1.0 / render::kMmPerInch * 300)
            << "layout " << layout + 1 << " page " << pg + 1 << " \"" << ql::ToUtf8(text) << "\"";
      }
    }
    EXPECT_EQ(pg, r.size()) << "layout " << layout + 1;
    EXPECT_GT(matched, words * 8 / 10) << "layout " << layout + 1;
  }
}

}  // namespace
