// bench_scale: what an export costs per page as catalogs grow. Builds the
// generated catalog with 2,000 and with 8,000 products (layout 1, A4
// fallback page), exports each as a 150 dpi raster PDF (RGB) and as a vector
// PDF (RGB, no bleed, pictures at most 150 ppi), and prints the time per page of the
// large catalog over that of the small one, measured in the same run:
//   raster_per_page_ratio  raster PDF: (s/page at 8,000) / (s/page at 2,000)
//   vector_per_page_ratio  the same for the vector PDF
//   first_pass_8000_ms     the first layout pass over 8,000 products (empty
//                          caches), 150 dpi, printing
// Times are CPU times of the process (the PDF writer's encoder threads
// included; the layout pass runs on one thread), so other work on the
// machine does not enter the figures. The wall-clock times are printed on
// the lines before.
//
// usage: bench_scale [--small N] [--large N]   (products; 2000 and 8000)
// The last line of the output is
//   scale: raster_per_page_ratio=... vector_per_page_ratio=... first_pass_8000_ms=...
#include <sys/resource.h>
#include <time.h>

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"
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

constexpr int32_t kDpi = 150;

double ProcessCpuSeconds() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}
double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}
double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One export of a catalog into `path`: pages written, or 0 with a message.
using ExportFn = int32_t (*)(render::RenderSession& session, const std::string& path);

int32_t ExportRaster(render::RenderSession& session, const std::string& path) {
  output::PdfExportOptions o;
  o.dpi = kDpi;
  o.cmyk = false;
  const output::PdfExportResult r = output::ExportPDF(session, path, o);
  if (!r.ok) std::fprintf(stderr, "bench_scale: raster export: %s\n", r.error.c_str());
  return r.ok ? r.anzpages : 0;
}

int32_t ExportVector(render::RenderSession& session, const std::string& path) {
  output::VectorPdfOptions o = output::ScreenPdfPreset();
  o.maxPictureppi = kDpi;
  const output::VectorPdfResult r = output::ExportVectorPDF(session, path, o);
  if (!r.ok) std::fprintf(stderr, "bench_scale: vector export: %s\n", r.error.c_str());
  return r.ok ? r.anzpages : 0;
}

struct Output {
  const char* name;
  ExportFn fn;
};
const Output kOutputs[] = {{"raster", ExportRaster}, {"vector", ExportVector}};

struct Catalog {
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session{doc, measurer, loader};
  Catalog(const std::vector<std::u16string>& pictures, int products) {
    testsupport::BuildBigCatalog(doc, pictures, products);
    doc.settings.FilenameEdit1.clear();
    doc.settings.LayoutCombo = 0;
  }
};

// CPU seconds per page of one export (0 when it failed).
double PerPage(const Output& out, Catalog& cat, const std::string& path, int products) {
  const double w0 = WallSeconds(), c0 = ProcessCpuSeconds();
  const int32_t pages = out.fn(cat.session, path);
  const double cpu = ProcessCpuSeconds() - c0, wall = WallSeconds() - w0;
  std::filesystem::remove(path);
  if (pages <= 0) return 0;
  std::printf("%s: %d products, %d pages, cpu %.2f s (%.4f s/page), wall %.2f s\n", out.name, products, pages,
              cpu, cpu / pages, wall);
  return cpu / pages;
}

}  // namespace

int main(int argc, char** argv) {
  int small = 2000, large = 8000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--small")) small = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--large")) large = std::atoi(argv[i + 1]);
  }
  if (small < 1 || large < 1) {
    std::fprintf(stderr, "usage: bench_scale [--small N] [--large N]\n");
    return 2;
  }
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_scale: fonts are not available\n");
    return 1;
  }
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const std::vector<std::u16string> pictures = WriteBenchPictures(dir);
  const std::string folder = dir.path().toStdString();

  Catalog smallcat(pictures, small), largecat(pictures, large);

  // The first pass over the large catalog, as an export starts it.
  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  render::RenderParams p;
  platform::OutputBitmapSize(printer, kDpi, p.width, p.height);
  p.dpi = kDpi;
  p.zoomedvalue = 100;
  p.printit = true;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  p.seiteedvalue = 0;
  platform::ImageSurface scratch(1, 1);
  p.canvas0 = &scratch;
  const double f0 = ThreadCpuSeconds(), fw0 = WallSeconds();
  render::RenderCatalogPage(largecat.session, p);
  const double firstms = (ThreadCpuSeconds() - f0) * 1000, firstwall = (WallSeconds() - fw0) * 1000;
  std::printf("first pass: %d products, %d pages, cpu %.1f ms, wall %.1f ms\n", large,
              largecat.session.anzpages, firstms, firstwall);
  // Both catalogs start their exports with warm caches.
  render::RenderCatalogPage(smallcat.session, p);

  std::string ratios[2];
  for (size_t i = 0; i < 2; ++i) {
    const Output& out = kOutputs[i];
    ratios[i] = "n/a";
    const double a = PerPage(out, smallcat, folder + "/small.pdf", small);
    const double b = PerPage(out, largecat, folder + "/large.pdf", large);
    if (a > 0 && b > 0) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.3f", b / a);
      ratios[i] = buf;
    }
  }
  std::printf("scale: raster_per_page_ratio=%s vector_per_page_ratio=%s first_pass_8000_ms=%.0f\n",
              ratios[0].c_str(), ratios[1].c_str(), firstms);
  return 0;
}
