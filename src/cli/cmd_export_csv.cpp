// quillane-cli export-csv: writes the products of a project file as a CSV
// file, all categories with the category column or one category without it.
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "core/codepage.h"
#include "csv/csvexport.h"
#include "project/projectfile.h"

namespace {

// A category number as the user counts them (1 = first).
bool ParseCategoryNumber(const std::string& s, int32_t& out) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  out = static_cast<int32_t>(std::strtol(s.c_str(), nullptr, 10));
  return out >= 1;
}

int RunExportCsv(const cli::Args& args) {
  std::vector<std::string> files;
  bool all = true;
  int modes = 0;
  int32_t number = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--all") {
      ++modes;
    } else if (a == "--category") {
      ++modes;
      all = false;
      if (++i == args.size() || !ParseCategoryNumber(args[i], number))
        return cli::UsageError("export-csv", "--category needs a category number (1 = first)");
    } else if (a.size() > 1 && a[0] == '-') {
      return cli::UsageError("export-csv", "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return cli::UsageError("export-csv", "FILE and OUT.csv expected");
  if (modes > 1) return cli::UsageError("export-csv", "--all and --category exclude each other");

  Document doc;
  std::u16string error;
  if (!OpenProjectFile(doc, files[0], ReadOptions::FromDocument(doc), &error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  if (!all && static_cast<uint32_t>(number) > doc.kats.Count()) {
    std::fprintf(stderr, "quillane-cli export-csv: the project has %u categories\n", doc.kats.Count());
    return 2;
  }
  if (!csv::ExportCSVFile(doc, files[1], all, number - 1, error)) {
    std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
    return 1;
  }
  return 0;
}

const cli::CliRegistrar reg({"export-csv", "export-csv FILE OUT.csv [--all | --category N]",
                             "write the products as CSV: all categories with a category column (default), "
                             "or category N (1 = first) without it",
                             RunExportCsv});

}  // namespace
