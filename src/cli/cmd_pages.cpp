// quillane-cli pages: the number of pages of a catalog in a layout, as the
// preview lays it out at zoom 100 (or, with --dpi, at another resolution;
// variant tables are measured in device pixels).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command.h"
#include "support.h"
#include "core/codepage.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "project/projectfile.h"
#include "render/render.h"

namespace {

constexpr const char* kName = "pages";

int RunPages(const cli::Args& args) {
  std::string in;
  long layout = -1, dpi = 96;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--layout") {
      if (i + 1 >= args.size() || !cli::ParseInt(args[++i], layout) || layout < 0 || layout > 7)
        return cli::UsageError(kName, "--layout needs a layout index 0 ... 7 (layout 1 is 0)");
    } else if (a == "--dpi") {
      if (i + 1 >= args.size() || !cli::ParseInt(args[++i], dpi) || dpi < 10 || dpi > 4000)
        return cli::UsageError(kName, "--dpi needs a resolution of 10 ... 4000");
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else {
      return cli::UsageError(kName, "only one FILE");
    }
  }
  if (in.empty()) return cli::UsageError(kName, "FILE is needed");

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  auto setup = cli::MakeRenderSetup(doc, kName);
  if (!setup) return 1;
  render::RenderSession& session = setup->session;
  platform::PageImageRequest req;
  req.page = 1;
  req.dpi = static_cast<int32_t>(dpi);
  req.layout = static_cast<int32_t>(layout);
  dib bitmap;
  platform::PageImageInfo info;
  std::string why;
  if (!platform::RenderPageImage(session, platform::DefaultPrinterPage(), req, bitmap, info, &why)) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, why.c_str());
    return 1;
  }
  std::printf("%d\n", info.pages);
  return 0;
}

const cli::CliRegistrar reg({kName, "pages FILE [--layout 0-7] [--dpi D]",
                             "print the number of pages of the catalog in a layout (default: its own)", RunPages});

}  // namespace
