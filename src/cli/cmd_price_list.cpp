// quillane-cli price-list: writes a project's price list as plain text (the
// window's lines exactly), as an HTML page or as the printed PDF.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <ostream>

#include "cli/support.h"
#include "output/pricelist.h"
#include "platform/guiapp.h"

namespace cli {

CommandRun PriceList(CLI::App& app) {
  struct Args {
    std::string in, out;
    output::PriceListFormat format = output::PriceListFormat::Text;
  };
  auto a = std::make_shared<Args>();
  app.add_option("FILE", a->in, "project file")->required();
  app.add_option("OUT", a->out, "file to write")->required();
  const std::map<std::string, output::PriceListFormat> formats = {{"text", output::PriceListFormat::Text},
                                                                  {"html", output::PriceListFormat::Html},
                                                                  {"pdf", output::PriceListFormat::Pdf}};
  app.add_option("--format", a->format, "text (the window's lines), html or pdf; default text")
      ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case))
      ->type_name("text|html|pdf");
  return [a](Console& io) {
    Document doc;
    if (!OpenProject(io, doc, a->in)) return int(kFileError);
    // The font family name of the HTML page and the PDF need the font database.
    if (!platform::EnsureGuiApplication()) return FileError(io, "price-list", "fonts are not available");
    std::string error;
    if (!output::WritePriceList(doc, a->out, a->format, error)) return FileError(io, "price-list", error);
    io.out << "price list written to " << a->out << '\n';
    return int(kOk);
  };
}

}  // namespace cli
