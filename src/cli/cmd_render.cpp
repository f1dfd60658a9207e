// quillane-cli render: draws one catalog page into an image file, as the
// preview shows it or (--print) as the outputs draw it.
#include <CLI/CLI.hpp>
#include <cmath>
#include <memory>
#include <ostream>

#include "cli/sharedoptions.h"
#include "cli/support.h"
#include "imaging/pixoran.h"
#include "platform/pageimage.h"
#include "render/units.h"

namespace cli {

CommandRun Render(CLI::App& app) {
  struct Args {
    std::string file, out;
    LayoutOption layout;
    int page = 1, dpi = 96;
    double zoom = 100;
    bool print = false;
    std::string printer;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->file, "project file")->required();
  app.add_option("-o,--output", a->out, "picture file to write; its extension names the format")
      ->type_name("PAGE.png")
      ->required();
  AddPageOption(app, a->page);
  AddLayoutOption(app, a->layout);
  AddDpiOption(app, a->dpi);
  AddPrinterOption(app, a->printer);
  CLI::Option* zoom = app.add_option("--zoom", a->zoom, "zoom in percent, 1 ... 1000 (preview only)")
                          ->type_name("Z")
                          ->check(CLI::Range(1.0, 1000.0))
                          ->capture_default_str();
  app.add_flag("--print", a->print, "draw as the outputs do, at zoom 100")->excludes(zoom);
  return [a](Console& io) {
    const int format = DibFormatForExtension(a->out);
    if (format == 0)
      return UsageError(io, "render", "the output name needs a picture extension such as .png");
    Document doc;
    if (!OpenProject(io, doc, a->file)) return int(kFileError);
    auto setup = MakeRenderSetup(io, doc, "render");
    if (!setup) return int(kFileError);
    platform::PrinterPage printer;
    if (!ChoosePrinterPage(io, "render", a->printer, printer)) return int(kFileError);
    platform::PageImageRequest req;
    req.page = a->page;
    req.zoom = a->zoom;
    req.dpi = a->dpi;
    req.layout = a->layout.Index();
    req.print = a->print;
    dib bitmap;
    platform::PageImageInfo info;
    std::string why;
    if (!platform::RenderPageImage(setup->session, printer, req, bitmap, info, &why) ||
        !SaveDib(bitmap, a->out, format, &why, render::TruncClamp(std::lround(a->dpi * a->zoom / 100))))
      return FileError(io, "render", why);
    ReportPictureProblems(io, *setup, "render");
    io.out << a->out << ": page " << a->page << " of " << info.pages << ", " << info.width << " x "
           << info.height << " pixels at " << a->dpi << " dpi" << (a->print ? ", as printed" : "") << " ("
           << (printer.fallback ? std::string("A4 fallback") : printer.printer) << " page " << printer.width
           << " x " << printer.height << " at " << printer.resx << " dpi)\n";
    return int(kOk);
  };
}

}  // namespace cli
