// quillane-cli price-list: writes a project's price list as plain text (the
// window's lines exactly), as an HTML page or as the printed PDF.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <ostream>

#include "cli/exportcommand.h"
#include "cli/support.h"
#include "output/pricelistdocument.h"

namespace cli {

CommandRun PriceList(CLI::App& app) {
  struct Args {
    ExportArgs common;
    output::PriceListFormat format = output::PriceListFormat::Text;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->common.in, "project file")->required();
  app.add_option("OUT", a->common.target, "file to write")->required();
  const std::map<std::string, output::PriceListFormat> formats = {{"text", output::PriceListFormat::Text},
                                                                  {"html", output::PriceListFormat::Html},
                                                                  {"pdf", output::PriceListFormat::Pdf}};
  app.add_option("--format", a->format, "text (the window's lines), html or pdf; default text")
      ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case))
      ->type_name("text|html|pdf");
  return [a](Console& io) {
    // The font family name of the HTML page and the PDF need the font
    // database, which the render setup starts.
    const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("price-list")->make();
    *output::FormatOf<output::PriceListFormat>(*out) = a->format;
    ExportHooks hooks;
    hooks.choosePage = false;
    return RunExport(io, "price-list", a->common, *out, hooks);
  };
}

}  // namespace cli
