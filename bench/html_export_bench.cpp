// bench_html_export: exports the 100-page benchmark catalog (copies of the
// sample catalog, bench_catalog.h) as an HTML page-turning catalog at 50
// and at 150 dpi, and in the same run renders and saves the same page
// images (every page as its page and its curl image, plus the blank pages)
// without the binding shade and the corner curl.
//
//   shade_ratio  HTML export time / time of the same images unshaded,
//                summed over both resolutions (target <= 1.15), both
//                without the text layer and the sharper pictures
//   reader_ratio export time with the text layer and the pictures at twice
//                the resolution / without them, at 100 dpi (target <= 2.5)
//   reader_cpu   the same ratio of the processor time of all threads (what
//                the export costs on a machine busy with other work)
//
// usage: bench_html_export [--pages N]
// The last line of the output is
//   html_export: shade_ratio=... reader_ratio=... reader_cpu=... pages=...
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_catalog.h"
#include "imaging/pixoran.h"
#include "output/bitmapsink.h"
#include "output/htmlcatalog.h"
#include "output/pagejobs.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "render/layouts/layouts.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); }
// Processor time of the whole process (every thread), seconds.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// The reference: the same render loop, sink and encoder threads as the
// export, the same files, only without shading.
double Unshaded(render::RenderSession& session, int32_t dpi, const std::string& dir) {
  fs::create_directories(dir);
  const auto t0 = Clock::now();
  const render::RenderParams p = output::OutputPageParams(platform::FallbackPrinterPage(), dpi);
  SetJPEGQual(95);
  output::PageJobs jobs(-1);
  auto save = [&](int32_t page, dib&& d) {
    const std::string a = dir + "/" + output::HtmlPageImageName(page),
                      b = dir + "/" + output::HtmlCurlImageName(page);
    jobs.Submit(page, std::move(d), [a, b](dib& bmp) {
      std::string e;
      if (!SaveDib(bmp, a, kDibJpeg, &e) || !SaveDib(bmp, b, kDibJpeg, &e)) return e;
      return std::string();
    });
  };
  dib white;
  newdib(white, p.width, p.height, 24);
  std::memset(white.pixels.data(), 255, white.pixels.size());
  save(0, dib(white));
  output::BitmapSink sink(
      p.width, p.height,
      [](int32_t, bool& draw) {
        draw = true;
        return true;
      },
      [&](int32_t page, dib&& d) {
        save(page, std::move(d));
        return true;
      });
  const render::AllPagesResult all = render::RenderAllPages(session, p, sink);
  save(all.pages + all.pages % 2 + 1, std::move(white));
  jobs.Wait();
  if (!jobs.Failures().empty()) {
    std::fprintf(stderr, "bench_html_export: %s\n", jobs.Failures().begin()->second.c_str());
    std::exit(1);
  }
  return Seconds(t0);
}

}  // namespace

int main(int argc, char** argv) {
  int32_t target = 100;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--pages") && i + 1 < argc) {
      target = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: bench_html_export [--pages N]\n");
      return 2;
    }
  }
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_html_export: fonts are not available\n");
    return 1;
  }
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  const int32_t pages = benchcat::BuildCatalog(doc, session, target);

  std::string t = (fs::temp_directory_path() / "ql-bench-html-XXXXXX").string();
  const std::string work = mkdtemp(t.data());
  const std::string prog = work + "/prog";
  fs::create_directories(prog);
  fs::copy_file(std::string(QL_BIN_DIR) + "/flippages.htm", prog + "/flippages.htm");

  double shaded = 0, plain = 0;
  for (int32_t dpi : {50, 150}) {
    // Alternating order, so neither side always runs on warm caches.
    output::HtmlCatalogOptions o;
    o.progpath = prog;
    o.dpi = dpi;
    o.textLayer = false;
    o.hdPictures = false;
    output::HtmlCatalogResult r;
    double u = 0, h = 0;
    auto html = [&] {
      const auto t0 = Clock::now();
      r = output::ExportHtmlCatalog(session, work + "/html" + std::to_string(dpi), o);
      h = Seconds(t0);
    };
    if (dpi == 50) html();
    u = Unshaded(session, dpi, work + "/plain" + std::to_string(dpi));
    if (dpi != 50) html();
    if (!r.ok) {
      std::fprintf(stderr, "bench_html_export: %s\n", r.error.c_str());
      return 1;
    }
    std::printf("%d dpi: html %.3f s, unshaded %.3f s, ratio %.3f\n", dpi, h, u, h / u);
    shaded += h;
    plain += u;
  }
  // What the reader gets: the text layer and the sharper pictures.
  double bare = 0, full = 0, bareCpu = 0, fullCpu = 0;
  for (int round = 0; round < 2; ++round) {
    for (bool extras : {round == 0, round != 0}) {
      output::HtmlCatalogOptions o;
      o.progpath = prog;
      o.dpi = 100;
      o.textLayer = o.hdPictures = extras;
      const auto t0 = Clock::now();
      const double c0 = CpuSeconds();
      const output::HtmlCatalogResult r =
          output::ExportHtmlCatalog(session, work + "/reader" + std::to_string(extras), o);
      const double t = Seconds(t0);
      (extras ? fullCpu : bareCpu) += CpuSeconds() - c0;
      if (!r.ok) {
        std::fprintf(stderr, "bench_html_export: %s\n", r.error.c_str());
        return 1;
      }
      (extras ? full : bare) += t;
    }
  }
  std::printf("100 dpi: with text layer and 2x pictures %.3f s, without %.3f s, ratio %.3f\n", full / 2,
              bare / 2, full / bare);
  std::printf("100 dpi, processor time: with %.3f s, without %.3f s, ratio %.3f\n", fullCpu / 2, bareCpu / 2,
              fullCpu / bareCpu);
  fs::remove_all(work);
  std::printf("html_export: shade_ratio=%.3f reader_ratio=%.3f reader_cpu=%.3f pages=%d\n", shaded / plain,
              full / bare, fullCpu / bareCpu, pages);
  return 0;
}
