// quillane-cli export-images: saves every catalog page (or a range) as a
// picture file named base + page number + extension.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/exportcommand.h"
#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "imaging/pixoran.h"
#include "output/pageimages.h"

namespace cli {

CommandRun ExportImages(CLI::App& app) {
  struct Args {
    ExportArgs common;
    int quality = 95;
    int from = 0, to = 0;
    int format = 0;
  };
  auto a = std::make_shared<Args>();
  AddExportArgs(app, *output::FindOutput("images"), a->common, "OUT.EXT",
                "base name of the pictures; the page number goes before the extension");
  AddPrinterOption(app, a->common.printer);
  app.add_option("--quality", a->quality, "JPEG quality 0 ... 100 (default 95)")->check(CLI::Range(0, 100));
  CLI::Option* from =
      app.add_option("--from", a->from, "first page to save, from 1")->check(CLI::Range(1, 1000000));
  CLI::Option* to = app.add_option("--to", a->to, "last page to save")->check(CLI::Range(1, 1000000));
  from->needs(to);
  to->needs(from);
  app.add_option("--format", a->format,
                 "format code 3 ... 13 as in the save filter (8 = JPEG); default: by extension")
      ->check(CLI::Range(3, 13));
  return [a](Console& io) {
    // Without --format the extension picks the format; an unknown one is
    // kept and the pictures are JPEG.
    int format = a->format;
    if (format == 0) {
      const int byExt = DibFormatForExtension(a->common.target);
      format = byExt >= 3 && byExt <= 13 ? byExt : kDibJpeg;
    }
    const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("images")->make();
    output::PageImagesOptions& o = *output::FormatOf<output::PageImagesOptions>(*out);
    o.compress = 100 - a->quality;
    o.allPages = a->from == 0;
    o.from = a->from;
    o.to = a->to;
    o.filterIndex = format - 2;
    ExportHooks hooks;
    hooks.after = [](Console& io, const output::OutputResult& r) {
      if (r.ok) return -1;
      return FileError(io, "export-images",
                       r.error + " (" + std::to_string(r.filesWritten) + " pictures written)");
    };
    return RunExport(io, "export-images", a->common, *out, hooks);
  };
}

}  // namespace cli
