// quillane-cli text: lists the text runs the pages draw, where they draw
// them, as the preview lays the catalog out (or, with --print, as the
// outputs do), so that a page's line breaks can be compared with any output
// of it.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <ostream>
#include <vector>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "core/codepage.h"
#include "platform/pageimage.h"

namespace cli {

CommandRun Text(CLI::App& app) {
  struct Args {
    std::string file;
    LayoutOption layout;
    int page = 0, dpi = 96;
    bool print = false;
    std::string printer;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->file, "project file")->required();
  app.add_option("--page", a->page, "only this page, from 1 (default: every page)")
      ->type_name("N")
      ->check(CLI::Range(1, 100000));
  AddLayoutOption(app, a->layout);
  AddDpiOption(app, a->dpi);
  AddPrinterOption(app, a->printer);
  app.add_flag("--print", a->print, "lay out as the outputs do");
  return [a](Console& io) {
    Document doc;
    if (!OpenProject(io, doc, a->file)) return int(kFileError);
    auto setup = MakeRenderSetup(io, doc, "text");
    if (!setup) return int(kFileError);
    platform::PrinterPage printer;
    if (!ChoosePrinterPage(io, "text", a->printer, printer)) return int(kFileError);
    platform::PageImageRequest req;
    req.page = a->page;
    req.dpi = a->dpi;
    req.layout = a->layout.Index();
    req.print = a->print;
    std::vector<platform::PageTextRun> runs;
    platform::PageImageInfo info;
    std::string why;
    if (!platform::PageTextRuns(setup->session, printer, req, runs, info, &why))
      return FileError(io, "text", why);
    if (a->page > info.pages)
      return FileError(io, "text",
                       "there is no page " + std::to_string(a->page) + " of " + std::to_string(info.pages));
    char head[160];
    std::snprintf(head, sizeof head, "# %d pages of %d x %d pixels at %d dpi (%.2f x %.2f mm)\n", info.pages,
                  info.width, info.height, a->dpi, platform::PageWidthMm(printer),
                  platform::PageHeightMm(printer));
    io.out << head;
    for (const platform::PageTextRun& r : runs) {
      std::u16string text = r.text;
      for (char16_t& c : text)
        if (c < 0x20) c = u' ';
      io.out << r.page << '\t' << r.x << '\t' << r.y << '\t' << r.w << '\t' << r.h << '\t' << ql::ToUtf8(text)
             << '\n';
    }
    io.out.flush();
    if (!io.out) return FileError(io, "text", "the output could not be written");
    return int(kOk);
  };
}

}  // namespace cli
