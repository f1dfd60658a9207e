// bench_layout: lays out a generated catalog of 2,000 products (about 400
// pages in layout 1: pictures, variant tables, a contents category) with the
// Qt measurer, picture loader and surface, and times (thread CPU time)
//   first_pass_ms        a pass over the whole catalog with empty caches
//   cached_pass_ms       the same pass again (best of five; BENCH_LAYOUT_RUNS)
//   last_page_preview_ms the preview of the last page at 96 dpi, zoom 100
// for layout 1, then the same figures for layout 2 and layout 3, each on a
// freshly built catalog (lines "layout2: ..." and "layout3: ..."). Layout 3's
// first call lays the catalog out twice (its name padding is learnt).
// The last line of the output is
//   layout: first_pass_ms=... cached_pass_ms=... last_page_preview_ms=... pages=...
#include <time.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "core/codepage.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "project/document.h"
#include "render/layouts/layouts.h"
#include "render/render.h"
#include "support/big_catalog.h"

namespace {

// The CPU time of this thread: other work on a shared machine does not
// enter the figures (the passes run on one thread).
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
  }
};
double Ms(double a, double b) { return (b - a) * 1000; }

void BuildCatalog(Document& doc, const std::vector<std::u16string>& pictures) {
  testsupport::BuildBigCatalog(doc, pictures, 2000);
}

// Cached passes timed (best of); BENCH_LAYOUT_RUNS raises it for profiling.
int CachedRuns() {
  const char* v = std::getenv("BENCH_LAYOUT_RUNS");
  return v && std::atoi(v) > 0 ? std::atoi(v) : 5;
}

struct Timings {
  double first = 0, cached = 1e30, preview = 1e30;
  int32_t pages = 0;
};

// The three figures of one layout on its own copy of the catalog.
Timings TimeLayout(int32_t layout, const std::vector<std::u16string>& pictures, render::RenderParams p) {
  Document doc;
  BuildCatalog(doc, pictures);
  doc.settings.FilenameEdit1.clear();
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  platform::ImageSurface surface(p.width, p.height);
  p.canvas0 = &surface;
  Timings t;
  auto t0 = Clock::now();
  render::RenderLayout(session, p, layout);
  t.first = Ms(t0, Clock::now());
  for (int i = 0; i < CachedRuns(); ++i) {
    auto a = Clock::now();
    render::RenderLayout(session, p, layout);
    t.cached = std::min(t.cached, Ms(a, Clock::now()));
  }
  t.pages = session.anzpages;
  for (int i = 0; i < 3; ++i) {
    auto a = Clock::now();
    platform::ImageSurface page(p.width, p.height);
    render::RenderParams q = p;
    q.canvas0 = &page;
    q.seiteedvalue = t.pages;
    render::RenderLayout(session, q, layout);
    page.End();
    t.preview = std::min(t.preview, Ms(a, Clock::now()));
  }
  return t;
}

}  // namespace

int main() {
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_layout: fonts are not available\n");
    return 1;
  }
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const std::vector<std::u16string> pictures = WriteBenchPictures(dir);
  Document doc;
  BuildCatalog(doc, pictures);
  doc.settings.FilenameEdit1.clear();
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);

  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(printer, 96, 100, w, h);
  render::RenderParams p;
  p.dpi = 96;
  p.width = w;
  p.height = h;
  p.zoomedvalue = 100;
  p.printit = false;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  p.seiteedvalue = 0;  // lays out, draws nothing but the preview page

  platform::ImageSurface surface(w, h);
  p.canvas0 = &surface;
  auto t0 = Clock::now();
  render::RenderLayout(session, p, 0);
  auto t1 = Clock::now();
  const double first = Ms(t0, t1);
  double cached = 1e30;
  for (int i = 0; i < CachedRuns(); ++i) {
    auto a = Clock::now();
    render::RenderLayout(session, p, 0);
    cached = std::min(cached, Ms(a, Clock::now()));
  }
  const int32_t pages = session.anzpages;
  double preview = 1e30;
  for (int i = 0; i < 3; ++i) {
    auto a = Clock::now();
    platform::ImageSurface page(w, h);
    render::RenderParams q = p;
    q.canvas0 = &page;
    q.seiteedvalue = pages;
    render::RenderLayout(session, q, 0);
    page.End();
    if (i == 0 && std::getenv("BENCH_LAYOUT_PNG")) page.image().save(std::getenv("BENCH_LAYOUT_PNG"));
    preview = std::min(preview, Ms(a, Clock::now()));
  }
  std::printf("catalog: %u products, %u categories; preview page %d x %d px\n", doc.ProductCount(),
              doc.kats.Count(), w, h);
  for (int32_t layout : {1, 2}) {
    const Timings t = TimeLayout(layout, pictures, p);
    std::printf("layout%d: first_pass_ms=%.1f cached_pass_ms=%.1f last_page_preview_ms=%.1f pages=%d\n",
                layout + 1, t.first, t.cached, t.preview, t.pages);
  }
  std::printf("layout: first_pass_ms=%.1f cached_pass_ms=%.1f last_page_preview_ms=%.1f pages=%d\n", first,
              cached, preview, pages);
  return 0;
}
