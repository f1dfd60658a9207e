// quillane-cli export-images: saves every catalog page (or a range) as a
// picture file named base + page number + extension.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/options.h"
#include "cli/support.h"
#include "imaging/pixoran.h"
#include "output/pageimages.h"
#include "platform/printer.h"

namespace cli {

CommandRun ExportImages(CLI::App& app) {
  struct Args {
    std::string in, out;
    LayoutOption layout;
    int dpi = 150;
    int quality = 95;
    int from = 0, to = 0;
    int format = 0;
    bool progress = false;
    std::string printer;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  app.add_option("OUT.EXT", a->out, "base name of the pictures; the page number goes before the extension")
      ->required();
  AddLayoutOption(app, a->layout);
  AddDpiOption(app, a->dpi);
  AddPrinterOption(app, a->printer);
  app.add_option("--quality", a->quality, "JPEG quality 0 ... 100 (default 95)")->check(CLI::Range(0, 100));
  CLI::Option* from =
      app.add_option("--from", a->from, "first page to save, from 1")->check(CLI::Range(1, 1000000));
  CLI::Option* to = app.add_option("--to", a->to, "last page to save")->check(CLI::Range(1, 1000000));
  from->needs(to);
  to->needs(from);
  app.add_option("--format", a->format,
                 "format code 3 ... 13 as in the save filter (8 = JPEG); default: by extension")
      ->check(CLI::Range(3, 13));
  app.add_flag("--progress", a->progress, "write each finished page number on stderr");
  return [a](Console& io) {
    // Without --format the extension picks the format; an unknown one is
    // kept and the pictures are JPEG.
    int format = a->format;
    if (format == 0) {
      const int byExt = DibFormatForExtension(a->out);
      format = byExt >= 3 && byExt <= 13 ? byExt : kDibJpeg;
    }
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    auto setup = MakeRenderSetup(io, doc, "export-images");
    if (!setup) return int(kFileError);

    output::PageImagesOptions opts;
    opts.dpi = a->dpi;
    opts.compress = 100 - a->quality;
    opts.allPages = a->from == 0;
    opts.from = a->from;
    opts.to = a->to;
    opts.filterIndex = format - 2;
    opts.layout = a->layout.Index();
    if (!ChoosePrinterPage(io, "export-images", a->printer, opts.printer)) return int(kFileError);
    output::PageImagesProgressFn report;
    if (a->progress)
      report = [&io](const output::PageImagesProgress& p) {
        io.err << "page " << p.page << '\n';
        return true;
      };
    const output::PageImagesResult r = output::ExportPageImages(setup->session, a->out, opts, report);
    if (!r.ok)
      return FileError(io, "export-images", r.error + " (" + std::to_string(r.saved) + " pictures written)");
    io.out << r.saved << " of " << r.anzpages << " pages saved as " << r.width << " x " << r.height
           << " pixel pictures, first " << r.firstFile << '\n';
    return int(kOk);
  };
}

}  // namespace cli
