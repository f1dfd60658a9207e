// A generated catalog of any size for tests and benchmarks: a contents
// category, main categories every eight categories, 50 products per
// category with one or two pictures from `pictures`, descriptions of 10 to
// 29 words, a variant table with a header row, two price columns and a
// coloured cell. The same seed gives the same catalog every time.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "project/document.h"

namespace testsupport {

inline std::u16string BigCatalogSentence(std::mt19937& rng, int words) {
  static const char* const kWords[] = {
      "Garten", "robust",     "wetterfest",    "aus",       "Holz",  "und",
      "Metall", "mit",        "praktischem",   "Griff",     "ideal", "für",
      "Balkon", "Terrasse",   "pflegeleicht",  "langlebig", "in",    "verschiedenen",
      "Größen", "erhältlich", "handgefertigt", "frostfest", "leicht"};
  std::string s;
  for (int i = 0; i < words; ++i) {
    if (i) s += ' ';
    s += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
  }
  return ql::FromUtf8(s + ".");
}

inline void BuildBigCatalog(Document& doc, const std::vector<std::u16string>& pictures, int products = 2000) {
  auto U = [](const std::string& s) { return ql::FromUtf8(s); };
  std::mt19937 rng(20270);
  Category* toc = doc.AddCategory(u"Inhaltsverzeichnis");
  toc->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  toc->options->istoc = true;
  int made = 0;
  for (int k = 0; made < products; ++k) {
    if (k % 8 == 0) doc.AddCategory(U("Bereich " + std::to_string(k / 8 + 1)));  // a main category
    Category* c = doc.AddCategory(U("Kategorie " + std::to_string(k + 1)));
    c->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
    c->options->introtext = BigCatalogSentence(rng, 25);
    if (k % 3 == 0) {
      c->options->picfile = pictures[k % pictures.size()];
      c->options->picwidth = 2;
    }
    for (int i = 0; i < 50 && made < products; ++i, ++made) {
      Product* p = doc.AddProduct(*c);
      p->name = U("Artikel " + std::to_string(made + 1) + " ") + BigCatalogSentence(rng, 2);
      p->description = BigCatalogSentence(rng, 10 + static_cast<int>(rng() % 20));
      const int npics = 1 + static_cast<int>(rng() % 2);
      for (int j = 0; j < npics; ++j) {
        Picture* pic = doc.AddPicture(*p);
        pic->filename = pictures[(made + j) % pictures.size()];
        pic->width = 3;
      }
      p->pricecols = 2;
      const char* titles[] = {"Name", "Art. Nummer", "Preis", "Ab 10 Stk."};
      VariantRow* r0 = doc.AddRow(*p);
      for (const char* t : titles) r0->cells.Add()->text = U(t);
      const int rows = 1 + static_cast<int>(rng() % 2);
      for (int r = 0; r < rows; ++r) {
        VariantRow* row = doc.AddRow(*p);
        row->cells.Add()->text = U(std::to_string(10 + 5 * r) + " cm");
        row->cells.Add()->text = U("GM-" + std::to_string(1000 + made) + "-" + std::to_string(r));
        row->cells.Add()->text = U(std::to_string(5 + r) + ",90 €");
        row->cells.Add()->text = U(std::to_string(4 + r) + ",50 €" + (r == 0 ? "##FFE0E0" : ""));
      }
    }
  }
}

}  // namespace testsupport
