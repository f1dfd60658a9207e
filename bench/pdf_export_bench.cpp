// bench_pdf_export: exports a generated catalog of about 100 pages (copies of
// the sample catalog test.pk2 with its pictures and page background, laid
// out by whatever layout renderers are installed) at 300 dpi on A4, and
// compares with what zlib alone needs to deflate the same page samples.
//
//   rgb_ratio   export seconds per page (RGB) / single-thread zlib seconds per page
//   cmyk_ratio  export seconds per page (CMYK through Little CMS with the
//               system's default_cmyk.icc as the press profile) / the same zlib figure
//   scale_4x    export time of a catalog four times as long / the 100-page one (RGB)
//   peak_rss_mb peak resident memory of the process exporting the long catalog
//
// Every export runs in a child process (this program started again with
// --child), so its peak memory comes from wait4() and no export warms the
// caches of the next. The zlib figure deflates, on one thread at zlib's
// default level, the RGB samples read back from the 100-page file.
//
// usage: bench_pdf_export [--pages N] [--keep DIR]
// The last line of the output is
//   pdf_export: rgb_ratio=... cmyk_ratio=... scale_4x=... peak_rss_mb=... pages=...
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_catalog.h"
#include "core/codepage.h"
#include "output/pdfexport.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "project/projectfile.h"
#include "render/render.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); }

const char* kSystemCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

using benchcat::BuildCatalog;

int RunChild(const std::string& mode, int32_t target, const std::string& out, const std::string& work) {
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_pdf_export: fonts are not available\n");
    return 1;
  }
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  const int32_t pages = BuildCatalog(doc, session, target);

  output::PdfExportOptions o;
  o.dpi = 300;
  o.cmyk = mode == "cmyk";
  o.progpath = work;  // holds the stand-in press profile
  o.tempFolder = work;
  const auto t0 = Clock::now();
  const output::PdfExportResult r = output::ExportPDF(session, out, o);
  const double s = Seconds(t0);
  if (!r.ok) {
    std::fprintf(stderr, "bench_pdf_export: %s\n", r.error.c_str());
    return 1;
  }
  std::printf("seconds=%.4f pages=%d planned=%d lcms=%d size=%lld\n", s, r.anzpages, pages, r.uselcms ? 1 : 0,
              static_cast<long long>(fs::file_size(out)));
  return 0;
}

struct ChildResult {
  bool ok = false;
  double seconds = 0;
  int pages = 0;
  int lcms = 0;
  long long size = 0;
  double peakMb = 0;
};

ChildResult Spawn(const std::string& mode, int32_t pages, const std::string& out, const std::string& work) {
  ChildResult res;
  const benchcat::ChildRun run = benchcat::RunSelf({"--child", mode, std::to_string(pages), out, work});
  res.peakMb = run.peakMb;
  res.ok = run.ok && std::sscanf(run.out.c_str(), "seconds=%lf pages=%d planned=%*d lcms=%d size=%lld",
                                 &res.seconds, &res.pages, &res.lcms, &res.size) == 4;
  return res;
}

// Single-thread zlib at the default level on the RGB samples of every image
// of `pdf` (read back by inflating its image streams).
double ZlibSeconds(const std::string& pdf, int& images) {
  std::ifstream in(pdf, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  const std::string f = ss.str();
  double total = 0;
  images = 0;
  std::vector<uint8_t> samples, packed;
  for (size_t at = 0; (at = f.find("/Subtype /Image\n", at)) != std::string::npos; ++at) {
    int w = 0, h = 0;
    unsigned long long len = 0;
    const size_t wpos = f.find("/Width ", at);
    const size_t lpos = f.find("/Length ", at);
    std::sscanf(f.c_str() + wpos, "/Width %d /Height %d", &w, &h);
    std::sscanf(f.c_str() + lpos, "/Length %llu", &len);
    const size_t data = f.find(">>\nstream\n", lpos) + 10;
    samples.resize(static_cast<size_t>(w) * h * 3);
    uLongf out = static_cast<uLongf>(samples.size());
    if (uncompress(samples.data(), &out, reinterpret_cast<const Bytef*>(f.data() + data),
                   static_cast<uLong>(len)) != Z_OK ||
        out != samples.size()) {
      std::fprintf(stderr, "bench_pdf_export: cannot read image %d of %s\n", images, pdf.c_str());
      std::exit(1);
    }
    uLongf plen = compressBound(static_cast<uLong>(samples.size()));
    packed.resize(plen);
    const auto t0 = Clock::now();
    compress2(packed.data(), &plen, samples.data(), static_cast<uLong>(samples.size()),
              Z_DEFAULT_COMPRESSION);
    total += Seconds(t0);
    if (plen != len) std::fprintf(stderr, "bench_pdf_export: image %d deflates to other bytes\n", images);
    ++images;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
    return RunChild(argv[2], std::atoi(argv[3]), argv[4], argv[5]);

  int32_t pages = 100;
  std::string keep;
  if (!benchcat::ParseBenchArgs(argc, argv, "bench_pdf_export", pages, keep)) return 2;
  const std::string work = benchcat::WorkFolder(keep, "pdf");
  if (work.empty()) return 1;
  std::error_code ec;
  fs::copy_file(kSystemCmyk, work + "/WebCoatedSWOP2006Grade3.icc", fs::copy_options::overwrite_existing, ec);
  if (ec)
    std::fprintf(stderr, "bench_pdf_export: %s missing, CMYK uses the arithmetic conversion\n", kSystemCmyk);

  std::printf("machine: %ld cores online (shared with other work: figures vary)\n",
              sysconf(_SC_NPROCESSORS_ONLN));
  const std::string rgb = work + "/rgb.pdf", cmyk = work + "/cmyk.pdf", longer = work + "/rgb4x.pdf";
  const ChildResult r = Spawn("rgb", pages, rgb, work);
  if (!r.ok) return 1;
  std::printf("rgb:  %d pages in %.2f s (%.3f s/page), %.1f MB file, peak %.0f MB\n", r.pages, r.seconds,
              r.seconds / r.pages, r.size / 1e6, r.peakMb);
  int images = 0;
  const double z = ZlibSeconds(rgb, images);
  std::printf("zlib: %d page images deflated on one thread in %.2f s (%.3f s/page)\n", images, z, z / images);
  const ChildResult c = Spawn("cmyk", pages, cmyk, work);
  if (!c.ok) return 1;
  std::printf("cmyk: %d pages in %.2f s (%.3f s/page), %.1f MB file, peak %.0f MB, %s\n", c.pages, c.seconds,
              c.seconds / c.pages, c.size / 1e6, c.peakMb, c.lcms ? "Little CMS" : "arithmetic conversion");
  if (keep.empty()) fs::remove(cmyk, ec);
  const ChildResult l = Spawn("rgb", pages * 4, longer, work);
  if (!l.ok) return 1;
  std::printf("rgb4x: %d pages in %.2f s (%.3f s/page), %.1f MB file, peak %.0f MB\n", l.pages, l.seconds,
              l.seconds / l.pages, l.size / 1e6, l.peakMb);
  if (keep.empty()) fs::remove_all(work, ec);

  const double zpp = z / images;
  std::printf("pdf_export: rgb_ratio=%.3f cmyk_ratio=%.3f scale_4x=%.3f peak_rss_mb=%.0f pages=%d\n",
              (r.seconds / r.pages) / zpp, (c.seconds / c.pages) / zpp, l.seconds / r.seconds, l.peakMb,
              r.pages);
  return 0;
}
