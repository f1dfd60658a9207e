// The benchmark catalog shared by the export benchmarks: copies of the
// sample catalog test.pk2 (with its pictures and page background) until it
// has the wanted number of pages.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/codepage.h"
#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"

namespace benchcat {

// Copies of the sample catalog's categories (the contents category once)
// until the catalog has at least `target` pages, then products from the
// end deactivated until it has exactly `target` (or the nearest above).
inline int32_t BuildCatalog(Document& doc, render::RenderSession& session, int32_t target) {
  Document sample;
  std::u16string err;
  const std::string path = std::string(QL_BIN_DIR) + "/test.pk2";
  if (!OpenProjectFile(sample, path, ReadOptions::FromDocument(sample), &err)) {
    std::fprintf(stderr, "bench: %s\n", ql::ToUtf8(err).c_str());
    std::exit(1);
  }
  doc.settings = sample.settings;
  doc.templatecolumns = sample.templatecolumns;
  session.LoadFurniturePictures();

  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  render::RenderParams p;
  p.dpi = 300;
  p.width = 2480;
  p.height = 3508;
  p.zoomedvalue = 100;
  p.printit = true;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  p.seiteedvalue = 0;  // lays out, draws nothing
  platform::ImageSurface scratch(1, 1);
  p.canvas0 = &scratch;
  auto countPages = [&]() {
    render::RenderCatalogPage(session, p);
    return session.anzpages;
  };

  int copy = 0;
  int32_t count = 0;
  for (;;) {
    for (const Category& c : sample.kats) {
      if (copy > 0 && c.options && c.options->istoc) continue;
      Category* n =
          doc.AddCategory(copy == 0 ? c.name : c.name + u" " + ql::FromUtf8(std::to_string(copy + 1)));
      if (c.options) n->options = std::make_unique<CategoryOptions>(*c.options);
      for (const Product& sp : c.products) {
        Product* np = doc.AddProduct(*n);
        CopyProduct(sp, *np);
      }
    }
    ++copy;
    count = countPages();
    if (count >= target || copy > 1000) break;
  }
  // Products of the last copy, last first.
  for (uint32_t k = doc.kats.Count(); k-- > 0 && count > target;) {
    Category& c = doc.kats[k];
    for (uint32_t i = c.products.Count(); i-- > 0 && count > target;) {
      c.products[i].deactivated = true;
      const int32_t now = countPages();
      if (now < target) {
        c.products[i].deactivated = false;
        return count;
      }
      count = now;
    }
  }
  return count;
}

// Runs this program again with `args` (argv[1] ...) and collects its
// standard output and peak resident memory (bench/child_process.h).
using ChildRun = bench::ChildOutput;
inline ChildRun RunSelf(const std::vector<std::string>& args) {
  char self[4096];
  const ssize_t sl = readlink("/proc/self/exe", self, sizeof self - 1);
  if (sl <= 0) return {};
  return bench::RunSelf(std::string(self, static_cast<size_t>(sl)), args);
}

// The options every export benchmark takes: --pages N (1 ... 5000) and
// --keep DIR. False, after a message naming `prog`, for anything else.
inline bool ParseBenchArgs(int argc, char** argv, const char* prog, int32_t& pages, std::string& keep) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--pages") == 0 && i + 1 < argc) {
      pages = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
      keep = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--pages N] [--keep DIR]\n", prog);
      return false;
    }
  }
  if (pages < 1 || pages > 5000) {
    std::fprintf(stderr, "%s: --pages must be 1 ... 5000\n", prog);
    return false;
  }
  return true;
}

// The folder the exports write into: `keep` (created), or a new temporary
// one named after `tag`; empty when it cannot be made.
inline std::string WorkFolder(const std::string& keep, const std::string& tag) {
  namespace fs = std::filesystem;
  if (!keep.empty()) {
    std::error_code ec;
    fs::create_directories(keep, ec);
    return keep;
  }
  std::string t = (fs::temp_directory_path() / ("ql-bench-" + tag + "-XXXXXX")).string();
  return mkdtemp(t.data()) ? t : std::string();
}

}  // namespace benchcat
