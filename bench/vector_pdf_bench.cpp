// bench_vector_pdf: the vector PDF export against the page-image export.
// Exports the 100-page benchmark catalog (copies of the sample catalog, all
// layouts installed) as a vector PDF (CMYK, print: 3 mm bleed, 300 ppi)
// and as the page-image PDF at 300 dpi (CMYK), both with the shipped press
// profile, then a 400-page catalog as a vector PDF for its peak memory, and
// a catalog of 300 products whose 100 camera-sized pictures (1600 x 1200
// JPEG) are each drawn at three sizes (3, 5 and 8 cm).
//
//   time_ratio   vector export seconds / page-image export seconds (100 pages)
//   size_ratio   vector file size / page-image file size
//   peak_rss_mb  peak resident memory of the process exporting 400 pages (vector)
//   sizes_mb     peak resident memory of the 300-product export (vector)
//
// Every export runs in a child process (this program started again with
// --child), so its peak memory comes from wait4().
//
// usage: bench_vector_pdf [--pages N] [--keep DIR]
// The last line of the output is
//   vector_pdf: time_ratio=... size_ratio=... peak_rss_mb=... sizes_mb=... pages=...
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_catalog.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "render/layouts/layouts.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// 300 products in 10 categories; product i shows picture i % 100 at
// 3, 5 or 8 cm. The pictures are made in `folder` the first time.
void BuildSizesCatalog(Document& doc, const std::string& folder) {
  Document sample;
  std::u16string err;
  if (!OpenProjectFile(sample, std::string(QL_BIN_DIR) + "/test.pk2", ReadOptions::FromDocument(sample),
                       &err)) {
    std::fprintf(stderr, "bench: %s\n", ql::ToUtf8(err).c_str());
    std::exit(1);
  }
  doc.settings = sample.settings;
  doc.templatecolumns = sample.templatecolumns;
  std::vector<std::string> files;
  for (int i = 0; i < 100; ++i) {
    const std::string f = folder + "/picture" + std::to_string(i) + ".jpg";
    if (!fs::exists(f)) {
      QImage img(1600, 1200, QImage::Format_RGB32);
      img.fill(QColor::fromHsv((i * 37) % 360, 120, 230));
      QPainter paint(&img);
      for (int k = 0; k < 40; ++k)
        paint.fillRect((k * 97 + i * 13) % 1500, (k * 61 + i * 7) % 1100, 100 + k, 80 + k,
                       QColor::fromHsv((i * 37 + k * 9) % 360, 200, 120 + k));
      paint.end();
      img.save(QString::fromStdString(f), "JPEG", 85);
    }
    files.push_back(f);
  }
  const double widths[3] = {3, 5, 8};
  Category* cat = nullptr;
  for (int i = 0; i < 300; ++i) {
    if (i % 30 == 0) cat = doc.AddCategory(u"Kategorie " + ql::FromUtf8(std::to_string(i / 30 + 1)));
    Product* p = doc.AddProduct(*cat);
    p->name = u"Artikel " + ql::FromUtf8(std::to_string(i + 1));
    p->description = u"Verzinkter Stahl, wetterfest, mit Griff und Ausguss. Inhalt 10 Liter.";
    Picture* pic = p->pictures.Add();
    pic->filename = ql::FromUtf8(files[static_cast<size_t>(i % 100)]);
    pic->width = widths[i / 100];
  }
}

int Child(const std::string& mode, int32_t target, const std::string& out) {
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_vector_pdf: fonts are not available\n");
    return 1;
  }
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  if (mode == "sizes")
    BuildSizesCatalog(doc, fs::path(out).parent_path().string());
  else
    benchcat::BuildCatalog(doc, session, target);
  const auto t0 = Clock::now();
  int32_t pages = 0;
  std::string colours;
  if (mode == "raster") {
    output::PdfExportOptions o;
    o.dpi = 300;
    o.cmyk = true;
    o.progpath = QL_BIN_DIR;
    const output::PdfExportResult r = output::ExportPDF(session, out, o);
    if (!r.ok) {
      std::fprintf(stderr, "bench_vector_pdf: %s\n", r.error.c_str());
      return 1;
    }
    pages = r.anzpages;
    colours = r.uselcms ? r.profile : "arithmetic";
  } else {
    output::VectorPdfOptions o = output::PrintPdfPreset();
    o.progpath = QL_BIN_DIR;
    const output::VectorPdfResult r = output::ExportVectorPDF(session, out, o);
    if (!r.ok) {
      std::fprintf(stderr, "bench_vector_pdf: %s\n", r.error.c_str());
      return 1;
    }
    pages = r.anzpages;
    colours = r.profile.empty() ? "arithmetic" : r.profile;
  }
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  std::printf("seconds=%.4f pages=%d size=%lld profile=%s\n", s, pages,
              static_cast<long long>(fs::file_size(out)), colours.c_str());
  return 0;
}

struct Figures {
  bool ok = false;
  double seconds = 0, peakMb = 0;
  int pages = 0;
  long long size = 0;
  std::string profile;
};

Figures Measure(const std::string& mode, int32_t pages, const std::string& out) {
  Figures f;
  const benchcat::ChildRun r = benchcat::RunSelf({"--child", mode, std::to_string(pages), out});
  char profile[1024] = {0};
  f.ok = r.ok && std::sscanf(r.out.c_str(), "seconds=%lf pages=%d size=%lld profile=%1023s", &f.seconds,
                             &f.pages, &f.size, profile) == 4;
  f.profile = profile;
  f.peakMb = r.peakMb;
  if (!f.ok)
    std::fprintf(stderr, "bench_vector_pdf: the %s export of %d pages failed\n", mode.c_str(), pages);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], std::atoi(argv[3]), argv[4]);
  int32_t pages = 100;
  std::string keep;
  if (!benchcat::ParseBenchArgs(argc, argv, "bench_vector_pdf", pages, keep)) return 2;
  const std::string work = benchcat::WorkFolder(keep, "vector");
  if (work.empty()) return 1;
  std::printf("machine: %ld cores online (shared with other work: figures vary)\n",
              sysconf(_SC_NPROCESSORS_ONLN));
  const Figures v = Measure("vector", pages, work + "/vector.pdf");
  if (!v.ok) return 1;
  std::printf("vector: %d pages in %.2f s, %.2f MB, peak %.0f MB, profile %s\n", v.pages, v.seconds,
              v.size / 1e6, v.peakMb, v.profile.c_str());
  const Figures r = Measure("raster", pages, work + "/raster.pdf");
  if (!r.ok) return 1;
  std::printf("raster: %d pages in %.2f s, %.2f MB, peak %.0f MB, profile %s\n", r.pages, r.seconds,
              r.size / 1e6, r.peakMb, r.profile.c_str());
  const Figures l = Measure("vector", pages * 4, work + "/vector4x.pdf");
  if (!l.ok) return 1;
  std::printf("vector4x: %d pages in %.2f s, %.2f MB, peak %.0f MB\n", l.pages, l.seconds, l.size / 1e6,
              l.peakMb);
  const Figures z = Measure("sizes", 0, work + "/sizes.pdf");
  if (!z.ok) return 1;
  std::printf("sizes: 300 products, 100 pictures at 3 sizes, %d pages in %.2f s, %.2f MB, peak %.0f MB\n",
              z.pages, z.seconds, z.size / 1e6, z.peakMb);
  std::error_code ec;
  if (keep.empty()) fs::remove_all(work, ec);
  std::printf("vector_pdf: time_ratio=%.3f size_ratio=%.3f peak_rss_mb=%.0f sizes_mb=%.0f pages=%d\n",
              v.seconds / r.seconds, static_cast<double>(v.size) / r.size, l.peakMb, z.peakMb, v.pages);
  return 0;
}
