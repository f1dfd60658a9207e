// Project files crafted to be large in one direction, for the tests and the
// benchmark of reading time and memory: many empty categories, or one product
// with many one-cell variant rows. The parts the shape does not concern come
// from the writer, so the files stay readable as the format grows.
#pragma once

#include <cstdint>
#include <string>

#include "core/codepage.h"
#include "project/document.h"
#include "project/projectfile.h"

namespace testsupport {

inline void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void PutText(std::string& out, const std::u16string& s) {
  PutU32(out, static_cast<uint32_t>(s.size()));
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
}

// Part B and the optional groups of an empty catalog, as the writer puts
// them after part A's category count.
inline std::string EmptyCatalogSettingsPart() {
  Document empty;
  return ProjectFileBytes(empty, "/d/x.pk2").substr(4);
}

// A project file of n empty categories "Kategorie0", "Kategorie1", ...
inline std::string EmptyCategoriesFile(uint32_t n) {
  std::string out;
  PutU32(out, n);
  for (uint32_t i = 0; i < n; ++i) {
    PutText(out, u"Kategorie" + ql::FromUtf8(std::to_string(i)));
    PutU32(out, 0);  // no products
  }
  return out + EmptyCatalogSettingsPart();
}

// Part A of one category "K" holding one product "P" with `rows` one-cell
// rows ("x").
inline std::string OneProductPartA(uint32_t rows) {
  std::string out;
  PutU32(out, 1);
  PutText(out, u"K");
  PutU32(out, 1);
  PutText(out, u"P");
  PutText(out, u"");
  PutU32(out, 0);  // pricecols
  PutU32(out, rows);
  for (uint32_t i = 0; i < rows; ++i) {
    PutU32(out, 1);
    PutText(out, u"x");
  }
  PutU32(out, 0);  // pictures
  return out;
}

// The whole project file of that product: part A, then the rest as the
// writer puts it for the same catalog without rows (the per-product groups
// need their product). Empty when the writer's part A no longer starts as
// OneProductPartA(0) does.
inline std::string OneProductRowsFile(uint32_t rows) {
  Document shape;
  shape.AddProduct(*shape.AddCategory(u"K"))->name = u"P";
  const std::string whole = ProjectFileBytes(shape, "/d/x.pk2");
  const std::string empty = OneProductPartA(0);
  if (whole.compare(0, empty.size(), empty) != 0) return {};
  return OneProductPartA(rows) + whole.substr(empty.size());
}

}  // namespace testsupport
