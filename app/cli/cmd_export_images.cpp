// quillane-cli export-images: saves every catalog page (or a range) as a
// picture file named base + page number + extension.
#include <cmath>
#include <cstdio>
#include <string>

#include "command.h"
#include "support.h"
#include "imaging/pixoran.h"
#include "output/pageimages.h"
#include "platform/printer.h"
#include "project/document.h"

namespace {

constexpr const char* kName = "export-images";

int RunExportImages(const cli::Args& args) {
  std::string in, out;
  long layout = -1, format = 0;
  double dpi = 150, quality = 95, from = 0, to = 0;
  bool haveFrom = false, haveTo = false, progress = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    auto value = [&]() {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    if (a == "--layout") {
      if (!value() || !cli::ParseInt(v, layout) || layout < 0 || layout > 7)
        return cli::UsageError(kName, "--layout needs a layout index 0 ... 7 (layout 1 is 0)");
    } else if (a == "--dpi") {
      if (!value() || !cli::ParseNumber(v, dpi) || dpi < 10 || dpi > 1440)
        return cli::UsageError(kName, "--dpi needs a resolution of 10 ... 1440");
    } else if (a == "--quality") {
      if (!value() || !cli::ParseNumber(v, quality) || quality < 0 || quality > 100)
        return cli::UsageError(kName, "--quality needs a JPEG quality of 0 ... 100");
    } else if (a == "--from") {
      if (!value() || !cli::ParseNumber(v, from) || from < 1 || from > 1000000)
        return cli::UsageError(kName, "--from needs a page number 1 ... 1000000");
      haveFrom = true;
    } else if (a == "--to") {
      if (!value() || !cli::ParseNumber(v, to) || to < 1 || to > 1000000)
        return cli::UsageError(kName, "--to needs a page number 1 ... 1000000");
      haveTo = true;
    } else if (a == "--format") {
      if (!value() || !cli::ParseInt(v, format) || format < 3 || format > 13)
        return cli::UsageError(kName, "--format needs a format code 3 ... 13 (8 = JPEG)");
    } else if (a == "--progress") {
      progress = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else if (out.empty()) {
      out = a;
    } else {
      return cli::UsageError(kName, "only FILE and OUT.EXT");
    }
  }
  if (in.empty() || out.empty()) return cli::UsageError(kName, "FILE and OUT.EXT are needed");
  if (haveFrom != haveTo) return cli::UsageError(kName, "--from and --to go together");
  // Without --format the extension picks the format; an unknown one is
  // kept and the pictures are JPEG.
  if (format == 0) {
    const int byExt = DibFormatForExtension(out);
    format = byExt >= 3 && byExt <= 13 ? byExt : kDibJpeg;
  }

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  auto setup = cli::MakeRenderSetup(doc, kName);
  if (!setup) return 1;

  output::PageImagesOptions opts;
  opts.dpi = dpi;
  opts.compress = 100 - quality;
  opts.allPages = !haveFrom;
  opts.from = from;
  opts.to = to;
  opts.filterIndex = static_cast<int>(format) - 2;
  opts.layout = static_cast<int32_t>(layout);
  opts.printer = platform::DefaultPrinterPage();
  output::PageImagesProgressFn report;
  if (progress)
    report = [](const output::PageImagesProgress& p) {
      std::fprintf(stderr, "page %d\n", p.page);
      return true;
    };
  const output::PageImagesResult r = output::ExportPageImages(setup->session, out, opts, report);
  if (!r.ok) {
    std::fprintf(stderr, "quillane-cli %s: %s (%d pictures written)\n", kName, r.error.c_str(), r.saved);
    return 1;
  }
  std::printf("%d of %d pages saved as %d x %d pixel pictures, first %s\n", r.saved, r.anzpages, r.width, r.height,
              r.firstFile.c_str());
  return 0;
}

const cli::CliRegistrar reg({kName,
                             "export-images FILE OUT.EXT [--layout 0-7] [--dpi N] [--quality Q] [--from A --to B] "
                             "[--format CODE] [--progress]",
                             "save every page (or pages A ... B) as OUT<page>.EXT (default 150 dpi, JPEG quality 95; "
                             "CODE 3 ... 13 as in the save filter, 8 = JPEG)",
                             RunExportImages});

}  // namespace
