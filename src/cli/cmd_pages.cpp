// quillane-cli pages: the number of pages of a catalog in a layout, as the
// preview lays it out at zoom 100 (or, with --dpi, at another resolution;
// variant tables are measured in device pixels).
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "platform/pageimage.h"

namespace cli {

CommandRun Pages(CLI::App& app) {
  struct Args {
    std::string file;
    LayoutOption layout;
    int dpi = 96;
    std::string printer;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->file, "project file")->required();
  AddLayoutOption(app, a->layout);
  AddDpiOption(app, a->dpi);
  AddPrinterOption(app, a->printer);
  return [a](Console& io) {
    Document doc;
    if (!OpenProject(io, doc, a->file)) return int(kFileError);
    auto setup = MakeRenderSetup(io, doc, "pages");
    if (!setup) return int(kFileError);
    platform::PrinterPage printer;
    if (!ChoosePrinterPage(io, "pages", a->printer, printer)) return int(kFileError);
    platform::PageImageRequest req;
    req.dpi = a->dpi;
    req.layout = a->layout.Index();
    dib bitmap;
    platform::PageImageInfo info;
    std::string why;
    if (!platform::RenderPageImage(setup->session, printer, req, bitmap, info, &why))
      return FileError(io, "pages", why);
    io.out << info.pages << '\n';
    return int(kOk);
  };
}

}  // namespace cli
