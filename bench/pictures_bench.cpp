// bench_pictures: what camera-sized pictures cost the preview and the PDF
// export against small ones.
//
// The bench writes one 6000 x 4000 JPEG and one 600 x 400 JPEG of the same
// motif and gives each 300 names (hard links; the loader decodes and caches
// by name, so every name is decoded on its own). A catalog of 100 products,
// each with three pictures 4 cm wide and a page break after it, has 100 pages
// and 300 pictures; it is built once with the large and once with the small
// pictures (layout 1, A4).
//
//   preview_ratio  seconds to preview every page (96 dpi, zoom 100) with
//                  the large pictures / with the small ones
//   export_ratio   seconds to export the 150 dpi RGB PDF after that
//                  preview (one loader, as in the window), large / small
//   peak_rss_mb    peak resident memory of the process that previews and
//                  exports the catalog with the large pictures
// The lines before it give the export without a preview before it (as
// quillane-cli does it): every picture is decoded in the export then; and
// the least the preview ratio can be while each picture is decoded once: a
// JPEG decode reads all of its data whatever the scale, so the small
// catalog's preview with the CPU of the 300 decodes of the small pictures
// replaced by that of the large ones (a child that only loads every picture
// for its 4 cm box, as the preview does).
//
// Times are CPU times of the process (the PDF writer's encoder threads
// included), so other work on the shared machine does not enter the ratios;
// the wall-clock times and the loader's decodes and cache hits are printed
// on the lines before. Every run is a child process (this program again with
// --child), so its peak memory comes from wait4() and no run warms the cache
// of another; both catalogs are measured in the same run.
//
// usage: bench_pictures [--keep DIR]
// The last line of the output is
//   pictures: preview_ratio=... export_ratio=... peak_rss_mb=...
#include <time.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/codepage.h"
#include "output/pdfexport.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "render/render.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); }

// CPU seconds of the whole process, every thread included.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

constexpr int kProducts = 100;
constexpr int kPicturesEach = 3;

bool WritePicture(const fs::path& path, int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.scale(w / 600.0, h / 400.0);
  p.fillRect(0, 0, 600, 400, QColor(230, 240, 250));
  for (int i = 0; i < 12; ++i) {
    p.setBrush(QColor::fromHsv(i * 30, 180, 200));
    p.drawEllipse(QPointF(50 + i * 45, 200 + (i % 3) * 60), 40, 90);
  }
  p.end();
  return img.save(QString::fromStdString(path.string()), "JPEG", 85);
}

// `count` names for one picture file.
void Names(const fs::path& dir, const std::string& stem, int count) {
  const fs::path first = dir / (stem + "-0.jpg");
  for (int i = 1; i < count; ++i) {
    const fs::path n = dir / (stem + "-" + std::to_string(i) + ".jpg");
    if (!fs::exists(n)) fs::create_hard_link(first, n);
  }
}

void BuildCatalog(Document& doc, const fs::path& dir, const std::string& stem) {
  Category* cat = doc.AddCategory(u"Bilder");
  int n = 0;
  for (int i = 0; i < kProducts; ++i) {
    Product* p = doc.AddProduct(*cat);
    p->name = u"Produkt " + ql::FromUtf8(std::to_string(i + 1));
    p->description = u"Drei Bilder von je 4 cm Breite.";
    p->pagebreakafter = true;
    for (int k = 0; k < kPicturesEach; ++k, ++n) {
      Picture* pic = doc.AddPicture(*p);
      pic->filename = ql::FromUtf8((dir / (stem + "-" + std::to_string(n) + ".jpg")).string());
      pic->width = 4;
    }
  }
}

// Previews every page, then exports; prints "preview_cpu export_cpu pages
// preview_wall export_wall decodes hits" (the decodes and hits of the loader
// after the preview and after the export).
int Child(const std::string& dir, const std::string& stem, const std::string& what) {
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_pictures: fonts are not available\n");
    return 1;
  }
  Document doc;
  BuildCatalog(doc, dir, stem);
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  double preview = 0, exported = 0, previewWall = 0, exportWall = 0;
  int32_t pages = 0;
  std::string counts;
  const auto count = [&] {
    counts += " " + std::to_string(loader.Decodes()) + " " + std::to_string(loader.CacheHits());
  };
  if (what == "preview" || what == "both") {
    const auto t0 = Clock::now();
    const double c0 = CpuSeconds();
    for (int32_t page = 1;; ++page) {
      platform::PageImageRequest req;
      req.page = page;
      dib bitmap;
      platform::PageImageInfo info;
      std::string why;
      if (!platform::RenderPageImage(session, printer, req, bitmap, info, &why)) {
        std::fprintf(stderr, "bench_pictures: %s\n", why.c_str());
        return 1;
      }
      pages = info.pages;
      if (page >= info.pages) break;
    }
    preview = CpuSeconds() - c0;
    previewWall = Seconds(t0);
  }
  count();
  if (what == "export" || what == "both") {
    output::PdfExportOptions o;
    o.dpi = 150;
    o.cmyk = false;
    o.printer = printer;
    const auto t0 = Clock::now();
    const double c0 = CpuSeconds();
    const output::PdfExportResult r = output::ExportPDF(session, dir + "/" + stem + ".pdf", o, nullptr);
    if (!r.ok) {
      std::fprintf(stderr, "bench_pictures: %s\n", r.error.c_str());
      return 1;
    }
    exported = CpuSeconds() - c0;
    exportWall = Seconds(t0);
    pages = r.anzpages;
  }
  count();
  if (what == "decode") {
    // Every picture loaded once for its box at 96 dpi (4 cm: 151 x 100
    // pixels), nothing drawn.
    const double c0 = CpuSeconds();
    for (const Product& p : doc.kats[0].products)
      for (const Picture& pic : p.pictures) {
        dib d;
        int32_t fw, fh;
        loader.LoadForBox(pic.filename, 151, 100, d, fw, fh);
      }
    preview = CpuSeconds() - c0;
  }
  const auto problems = loader.TakeProblems();
  if (!problems.empty()) {
    std::fprintf(stderr, "bench_pictures: %s\n", problems[0].reason.c_str());
    return 1;
  }
  std::printf("%.3f %.3f %d %.3f %.3f%s\n", preview, exported, pages, previewWall, exportWall,
              counts.c_str());
  return 0;
}

struct Run {
  double preview = -1, exported = -1, peakMb = -1, previewWall = -1, exportWall = -1;
  int pages = 0;
  unsigned long long previewDecodes = 0, previewHits = 0, decodes = 0, hits = 0;
};

Run RunChild(const std::string& self, const fs::path& dir, const std::string& stem, const std::string& what) {
  Run res;
  const bench::ChildOutput c = bench::RunSelf(self, {"--child", dir.string(), stem, what});
  if (!c.ok || std::sscanf(c.out.c_str(), "%lf %lf %d %lf %lf %llu %llu %llu %llu", &res.preview,
                           &res.exported, &res.pages, &res.previewWall, &res.exportWall, &res.previewDecodes,
                           &res.previewHits, &res.decodes, &res.hits) != 9)
    return Run{};
  res.peakMb = c.peakMb;
  return res;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3], argv[4]);
  bool keep = false;
  const fs::path dir = bench::WorkFolder(argc, argv, "bench_pictures", keep);
  const std::string self = fs::read_symlink("/proc/self/exe");
  if (!platform::EnsureGuiApplication()) return 1;
  if (!WritePicture(dir / "gross-0.jpg", 6000, 4000) || !WritePicture(dir / "klein-0.jpg", 600, 400)) {
    std::fprintf(stderr, "bench_pictures: cannot write the pictures\n");
    return 1;
  }
  Names(dir, "gross", kProducts * kPicturesEach);
  Names(dir, "klein", kProducts * kPicturesEach);

  const Run small = RunChild(self, dir, "klein", "both");
  const Run large = RunChild(self, dir, "gross", "both");
  const Run smallAlone = RunChild(self, dir, "klein", "export");
  const Run largeAlone = RunChild(self, dir, "gross", "export");
  const Run smallDecodes = RunChild(self, dir, "klein", "decode");
  const Run largeDecodes = RunChild(self, dir, "gross", "decode");
  if (!keep) fs::remove_all(dir);
  if (small.pages <= 0 || large.pages <= 0 || smallAlone.pages <= 0 || largeAlone.pages <= 0 ||
      smallDecodes.preview < 0 || largeDecodes.preview < 0) {
    std::fprintf(stderr, "bench_pictures: a run failed\n");
    return 1;
  }
  for (const auto& [name, r] : {std::pair<const char*, const Run&>{"small", small}, {"large", large}}) {
    std::printf(
        "%s pictures: %d pages, preview cpu %.2f s (wall %.2f s, %llu decodes, %llu cache hits), "
        "export cpu %.2f s (wall %.2f s, %llu decodes, %llu cache hits), %.0f MB\n",
        name, r.pages, r.preview, r.previewWall, r.previewDecodes, r.previewHits, r.exported, r.exportWall,
        r.decodes - r.previewDecodes, r.hits - r.previewHits, r.peakMb);
  }
  std::printf("export alone: cpu %.2f s small (%llu decodes), %.2f s large (%llu decodes), ratio %.2f\n",
              smallAlone.exported, smallAlone.decodes, largeAlone.exported, largeAlone.decodes,
              largeAlone.exported / smallAlone.exported);
  std::printf("decodes alone: cpu %.2f s small, %.2f s large; least preview ratio %.2f\n",
              smallDecodes.preview, largeDecodes.preview,
              (small.preview - smallDecodes.preview + largeDecodes.preview) / small.preview);
  std::printf("pictures: preview_ratio=%.2f export_ratio=%.2f peak_rss_mb=%.0f\n",
              large.preview / small.preview, large.exported / small.exported, large.peakMb);
  return 0;
}
