// The benchmark catalog shared by the output benchmarks: copies of the
// sample catalog test.pk2 (from QL_BIN_DIR) grown to a page count.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/codepage.h"
#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "project/projectfile.h"
#include "render/render.h"

// Copies of the sample catalog's categories (the contents category once)
// until the catalog has at least `target` pages, then products from the
// end deactivated until it has exactly `target` (or the nearest above).
inline int32_t BuildCatalog(Document& doc, render::RenderSession& session, int32_t target, const char* who) {
  Document sample;
  std::u16string err;
  const std::string path = std::string(QL_BIN_DIR) + "/test.pk2";
  if (!OpenProjectFile(sample, path, ReadOptions::FromDocument(sample), &err)) {
    std::fprintf(stderr, "%s: %s\n", who, ql::ToUtf8(err).c_str());
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
      Category* n = doc.AddCategory(copy == 0 ? c.name : c.name + u" " + ql::FromUtf8(std::to_string(copy + 1)));
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

