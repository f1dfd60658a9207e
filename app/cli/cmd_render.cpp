// quillane-cli render: draws one catalog page into an image file, as the
// preview shows it or (--print) as the outputs draw it.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command.h"
#include "support.h"
#include "core/codepage.h"
#include "imaging/pixoran.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "project/projectfile.h"
#include "render/render.h"

namespace {

constexpr const char* kName = "render";

int RunRender(const cli::Args& args) {
  std::string in, out;
  long page = 1, layout = -1, dpi = 96;
  double zoom = 100;
  bool print = false, haveZoom = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    auto value = [&] {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    if (a == "--page") {
      if (!value() || !cli::ParseInt(v, page) || page < 1 || page > 100000)
        return cli::UsageError(kName, "--page needs a page number 1 ... 100000");
    } else if (a == "--zoom") {
      if (!value() || !cli::ParseNumber(v, zoom) || zoom < 1 || zoom > 1000)
        return cli::UsageError(kName, "--zoom needs a percentage 1 ... 1000");
      haveZoom = true;
    } else if (a == "--dpi") {
      if (!value() || !cli::ParseInt(v, dpi) || dpi < 10 || dpi > 4000)
        return cli::UsageError(kName, "--dpi needs a resolution of 10 ... 4000");
    } else if (a == "--layout") {
      if (!value() || !cli::ParseInt(v, layout) || layout < 0 || layout > 7)
        return cli::UsageError(kName, "--layout needs a layout index 0 ... 7 (layout 1 is 0)");
    } else if (a == "--print") {
      print = true;
    } else if (a == "-o") {
      if (!value() || v.empty()) return cli::UsageError(kName, "-o needs an output file");
      out = v;
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else {
      return cli::UsageError(kName, "only one FILE");
    }
  }
  if (in.empty() || out.empty()) return cli::UsageError(kName, "FILE and -o PAGE.png are needed");
  if (print && haveZoom) return cli::UsageError(kName, "--print draws at zoom 100; leave out --zoom");
  const int format = DibFormatForExtension(out);
  if (format == 0) return cli::UsageError(kName, "the output name needs a picture extension such as .png");

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  auto setup = cli::MakeRenderSetup(doc, kName);
  if (!setup) return 1;
  render::RenderSession& session = setup->session;

  const platform::PrinterPage printer = platform::DefaultPrinterPage();
  platform::PageImageRequest req;
  req.page = static_cast<int32_t>(page);
  req.zoom = zoom;
  req.dpi = static_cast<int32_t>(dpi);
  req.layout = static_cast<int32_t>(layout);
  req.print = print;
  dib bitmap;
  platform::PageImageInfo info;
  std::string why;
  if (!platform::RenderPageImage(session, printer, req, bitmap, info, &why)) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, why.c_str());
    return 1;
  }
  if (!SaveDib(bitmap, out, format, &why)) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, why.c_str());
    return 1;
  }
  cli::ReportPictureProblems(*setup, kName);
  std::printf("%s: page %ld of %d, %d x %d pixels at %ld dpi%s (%s page %d x %d at %d dpi)\n", out.c_str(), page,
              info.pages, info.width, info.height, dpi, print ? ", as printed" : "",
              printer.fallback ? "A4 fallback" : printer.printer.c_str(), printer.width, printer.height,
              printer.resx);
  return 0;
}

const cli::CliRegistrar reg({kName,
                             "render FILE [--page N] [--zoom Z] [--dpi D] [--layout 0-7] [--print] -o PAGE.png",
                             "draw one page as the preview shows it (or, with --print, as printed) into an image",
                             RunRender});

}  // namespace
