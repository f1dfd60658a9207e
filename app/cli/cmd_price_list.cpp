// quillane-cli price-list: writes a project's price list as plain text (the
// window's lines exactly), as an HTML page or as the printed PDF.
#include <cstdio>
#include <string>

#include "command.h"
#include "output/pricelist.h"
#include "platform/guiapp.h"
#include "support.h"

namespace {

constexpr const char* kName = "price-list";

int RunPriceList(const cli::Args& args) {
  std::string in, out, format = "text";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--format") {
      if (i + 1 >= args.size()) return cli::UsageError(kName, "--format needs text, html or pdf");
      format = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError(kName, "unknown option " + a);
    } else if (in.empty()) {
      in = a;
    } else if (out.empty()) {
      out = a;
    } else {
      return cli::UsageError(kName, "only FILE and OUT");
    }
  }
  output::PriceListFormat f;
  if (format == "text")
    f = output::PriceListFormat::Text;
  else if (format == "html")
    f = output::PriceListFormat::Html;
  else if (format == "pdf")
    f = output::PriceListFormat::Pdf;
  else
    return cli::UsageError(kName, "--format needs text, html or pdf");
  if (in.empty() || out.empty()) return cli::UsageError(kName, "FILE and OUT are needed");

  Document doc;
  if (!cli::OpenProject(doc, in)) return 1;
  // The font family name of the HTML page and the PDF need the font database.
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "quillane-cli %s: fonts are not available\n", kName);
    return 1;
  }
  std::string error;
  if (!output::WritePriceList(doc, out, f, error)) {
    std::fprintf(stderr, "quillane-cli %s: %s\n", kName, error.c_str());
    return 1;
  }
  std::printf("price list written to %s (%s)\n", out.c_str(), format.c_str());
  return 0;
}

const cli::CliRegistrar reg({kName, "price-list FILE OUT [--format text|html|pdf]",
                             "write the price list (names in bold, aligned columns) as text, HTML or PDF",
                             RunPriceList});

}  // namespace
