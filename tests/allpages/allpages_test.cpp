// RenderAllPages against the page-by-page calls it replaces for the
// outputs: every page of the bundled sample and of a generated 2,000-product
// catalog, in all eight layouts, drawn once in one pass and once one call
// per page after a silent pass, must come out the same: operation for
// operation (with the full drawing state of each) on the recording surface
// and pixel for pixel on Qt bitmaps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"
#include "render/units.h"
#include "support/big_catalog.h"
#include "support/recording_surface.h"

namespace {

using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

// Every recorded field of an operation, as text (so a difference can be
// shown).
std::string Describe(const SurfaceOp& op) {
  std::ostringstream s;
  s << op.kind << " " << op.x1 << "," << op.y1 << "," << op.x2 << "," << op.y2 << "," << op.x3 << "," << op.y3
    << "," << op.x4 << "," << op.y4 << " '" << ql::ToUtf8(op.text) << "' c" << op.color << " font "
    << ql::ToUtf8(op.font.name) << "/" << op.font.size << "/" << op.font.bold << op.font.italic
    << op.font.underline << op.font.strikeout << "/" << int(op.font.charset) << "/" << int(op.font.pitch)
    << "/" << op.font.color << "/" << op.font.ppi << " pen " << op.pen.color << "/" << op.pen.width << "/"
    << int(op.pen.style) << "/" << int(op.pen.kind) << " brush " << op.brush.color << "/"
    << int(op.brush.style) << " opaque " << op.opaque;
  return s.str();
}

using Pages = std::vector<std::vector<SurfaceOp>>;

// Fresh recording surfaces, one per page; pages in `skip` are not drawn.
class RecordingSink : public render::PageSink {
 public:
  render::DrawingSurface& MeasuringSurface() override { return measuring; }
  render::DrawingSurface* BeginPage(int32_t page) override {
    begun.push_back(page);
    if (page == skip) return nullptr;
    current = std::make_unique<RecordingSurface>();
    return current.get();
  }
  bool EndPage(int32_t page, render::DrawingSurface& s) override {
    EXPECT_EQ(&s, current.get());
    if (static_cast<int32_t>(pages.size()) < page) pages.resize(page);
    pages[page - 1] = current->ops;
    ended.push_back(page);
    return page != cancelafter;
  }
  RecordingSurface measuring;
  std::unique_ptr<RecordingSurface> current;
  Pages pages;
  std::vector<int32_t> begun, ended;
  int32_t skip = 0, cancelafter = 0;
};

// The reference: a silent pass, then one call per page on a fresh surface;
// with `every` > 1 only pages 1, 2, every + 1, 2 * every + 1, ... and the
// last two (the others stay empty).
Pages PageByPage(render::RenderSession& s, render::RenderParams p, int32_t layout, int32_t every = 1) {
  RecordingSurface scratch;
  p.canvas0 = &scratch;
  p.seiteedvalue = 0;
  render::RenderLayout(s, p, layout);
  const int32_t pages = s.anzpages;
  Pages out(pages);
  for (int32_t page = 1; page <= pages; ++page) {
    if (every > 1 && page > 2 && (page - 1) % every != 0 && page < pages - 1) continue;
    RecordingSurface r;
    p.canvas0 = &r;
    p.seiteedvalue = page;
    const bool more = render::RenderLayout(s, p, layout);
    EXPECT_EQ(more, page < pages);
    out[page - 1] = r.ops;
  }
  return out;
}

void ExpectSamePages(const Pages& want, const Pages& got, const std::string& what) {
  ASSERT_EQ(want.size(), got.size()) << what << ": page count";
  for (size_t pg = 0; pg < want.size(); ++pg) {
    const auto& a = want[pg];
    const auto& b = got[pg];
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      const std::string da = Describe(a[i]), db = Describe(b[i]);
      ASSERT_EQ(da, db) << what << ": page " << pg + 1 << ", operation " << i;
    }
    ASSERT_EQ(a.size(), b.size()) << what << ": operations on page " << pg + 1;
  }
}

// The sample is read from its folder: its picture names are relative.
class SampleCatalog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    ASSERT_NE(getcwd(old_, sizeof old_), nullptr);
    const std::string folder = std::string(QL_SOURCE_DIR) + "/data/sample";
    ASSERT_EQ(chdir(folder.c_str()), 0);
    std::u16string error;
    ASSERT_TRUE(OpenProjectFile(doc_, "test.pk2", ReadOptions::FromDocument(doc_), &error))
        << ql::ToUtf8(error);
  }
  void TearDown() override { ASSERT_EQ(chdir(old_), 0); }

  std::unique_ptr<render::RenderSession> NewSession() {
    auto s = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
    s->today = [] { return std::u16string(u"09.12.2026"); };
    s->LoadFurniturePictures();
    return s;
  }
  render::RenderParams Params(int32_t dpi, bool print) const {
    const platform::PrinterPage printer = platform::FallbackPrinterPage();
    render::RenderParams p;
    if (print)
      platform::OutputBitmapSize(printer, dpi, p.width, p.height);
    else
      platform::PreviewBitmapSize(printer, dpi, 100, p.width, p.height);
    p.dpi = dpi;
    p.zoomedvalue = 100;
    p.printit = print;
    p.widthmm = platform::PageWidthMm(printer);
    p.heightmm = platform::PageHeightMm(printer);
    return p;
  }

  char old_[4096];
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
};

TEST_F(SampleCatalog, OnePassRecordsEveryPageAsThePageByPageCalls) {
  for (bool print : {true, false}) {
    for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
      const std::string what = "layout " + std::to_string(layout + 1) + (print ? " printed" : " preview");
      render::RenderParams p = Params(print ? 150 : 96, print);
      auto ref = NewSession();
      const Pages want = PageByPage(*ref, p, layout);
      auto s = NewSession();
      RecordingSink sink;
      const render::AllPagesResult r = render::RenderAllPages(*s, p, sink, layout);
      EXPECT_EQ(r.pages, static_cast<int32_t>(want.size())) << what;
      EXPECT_FALSE(r.cancelled);
      EXPECT_EQ(sink.begun, sink.ended) << what;
      ExpectSamePages(want, sink.pages, what);
      EXPECT_GT(want.size(), 3u) << what;
    }
  }
}

// Qt bitmaps, one per page, as the outputs use them.
class ImageSink : public render::PageSink {
 public:
  ImageSink(int32_t w, int32_t h) : w_(w), h_(h), measuring_(1, 1) {}
  render::DrawingSurface& MeasuringSurface() override { return measuring_; }
  render::DrawingSurface* BeginPage(int32_t) override {
    current_ = std::make_unique<platform::ImageSurface>(w_, h_);
    return current_.get();
  }
  bool EndPage(int32_t, render::DrawingSurface&) override {
    current_->End();
    images.push_back(current_->image());
    return true;
  }
  std::vector<QImage> images;

 private:
  int32_t w_, h_;
  platform::ImageSurface measuring_;
  std::unique_ptr<platform::ImageSurface> current_;
};

TEST_F(SampleCatalog, OnePassDrawsEveryPagePixelForPixelAsThePageByPageCalls) {
  for (bool print : {true, false}) {
    for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
      const std::string what = "layout " + std::to_string(layout + 1) + (print ? " printed" : " preview");
      render::RenderParams p = Params(print ? 100 : 96, print);
      std::vector<QImage> want;
      {
        auto ref = NewSession();
        platform::ImageSurface scratch(p.width, p.height);
        render::RenderParams q = p;
        q.canvas0 = &scratch;
        q.seiteedvalue = 0;
        render::RenderLayout(*ref, q, layout);
        for (int32_t page = 1;; ++page) {
          platform::ImageSurface surface(p.width, p.height);
          q.canvas0 = &surface;
          q.seiteedvalue = page;
          const bool more = render::RenderLayout(*ref, q, layout);
          surface.End();
          want.push_back(surface.image());
          if (!more) break;
        }
      }
      auto s = NewSession();
      ImageSink sink(p.width, p.height);
      render::RenderAllPages(*s, p, sink, layout);
      ASSERT_EQ(sink.images.size(), want.size()) << what;
      for (size_t i = 0; i < want.size(); ++i)
        EXPECT_TRUE(sink.images[i] == want[i]) << what << ": page " << i + 1 << " differs";
    }
  }
}

TEST_F(SampleCatalog, PagesWithoutSurfaceAreSkippedAndACancelStopsDrawing) {
  const render::RenderParams p = Params(150, true);
  const int32_t layout = 1;
  auto ref = NewSession();
  const Pages want = PageByPage(*ref, p, layout);
  ASSERT_GT(want.size(), 3u);
  {
    auto s = NewSession();
    RecordingSink sink;
    sink.skip = 2;
    const render::AllPagesResult r = render::RenderAllPages(*s, p, sink, layout);
    EXPECT_EQ(r.pages, static_cast<int32_t>(want.size()));
    ASSERT_EQ(sink.pages.size(), want.size());
    EXPECT_TRUE(sink.pages[1].empty());
    Pages expected = want;
    expected[1].clear();
    ExpectSamePages(expected, sink.pages, "page 2 skipped");
  }
  {
    auto s = NewSession();
    RecordingSink sink;
    sink.cancelafter = 2;
    const render::AllPagesResult r = render::RenderAllPages(*s, p, sink, layout);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(sink.begun, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(sink.ended, (std::vector<int32_t>{1, 2}));
    // The pass still lays out the whole catalog (the page count is known).
    EXPECT_EQ(r.pages, static_cast<int32_t>(want.size()));
    EXPECT_EQ(s->anzpages, r.pages);
  }
}

// The generated catalog with the recording surface's fixed metrics and
// small pictures in memory: 300 dpi A4, printing. The page-by-page
// reference costs a whole pass per page, so by default it draws every
// 50th page and the first and last two; QL_ALLPAGES_EVERY=1 compares every
// page (minutes). Both runs share the session (its caches give what
// uncached work gives; the sample tests use separate sessions).
TEST(BigCatalog, OnePassRecordsThePagesOf2000ProductsAsThePageByPageCalls) {
  const char* env = std::getenv("QL_ALLPAGES_EVERY");
  const int32_t every = env && std::atoi(env) >= 1 ? std::atoi(env) : 50;
  testsupport::FixedMeasurer measurer;
  testsupport::MemoryPictureLoader loader;
  std::vector<std::u16string> pictures;
  for (int i = 0; i < 8; ++i) {
    const std::u16string name = u"bild" + ql::FromUtf8(std::to_string(i)) + u".jpg";
    dib d;
    newdib(d, 16 + 4 * i, 12, 24);
    for (int32_t y = 0; y < d.height; ++y)
      for (int32_t x = 0; x < d.width; ++x)
        setpixel(d, x, y, static_cast<uint32_t>(x * 9 + y * 300 + i * 70000));
    loader.files[name] = d;
    pictures.push_back(name);
  }
  Document doc;
  testsupport::BuildBigCatalog(doc, pictures, 2000);
  doc.settings.FilenameEdit1.clear();
  render::RenderParams p;
  p.dpi = 300;
  p.width = 2480;
  p.height = 3508;
  p.zoomedvalue = 100;
  p.printit = true;
  p.widthmm = render::PageMm(p.width, 300);
  p.heightmm = render::PageMm(p.height, 300);
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    const std::string what = "layout " + std::to_string(layout + 1);
    render::RenderSession s(doc, measurer, loader);
    const Pages want = PageByPage(s, p, layout, every);
    RecordingSink sink;
    const render::AllPagesResult r = render::RenderAllPages(s, p, sink, layout);
    EXPECT_EQ(r.pages, static_cast<int32_t>(want.size())) << what;
    EXPECT_GT(r.pages, 150) << what;
    Pages got = sink.pages;
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
      if (want[i].empty())
        got[i].clear();  // not in the reference
      else
        EXPECT_FALSE(got[i].empty()) << what << ": page " << i + 1 << " drawn";
    }
    ExpectSamePages(want, got, what);
  }
}

}  // namespace
