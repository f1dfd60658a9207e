// What the window tells a command about its lists: the selected category
// and the selected products of the product list. Commands that act on "the
// selected product" take the first selected one (the lowest list position).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/document.h"

namespace editing {

struct Selection {
  int32_t kat = -1;            // category list entry, -1 = none
  std::vector<int32_t> prods;  // selected product list entries
};

// Positions kats on the selected category (akat) and returns it; null when
// no valid category is selected.
Category* PositionCategory(Document& doc, int32_t kat);

// The first selected product index that exists in `cat`, -1 when none.
int32_t FirstSelectedProduct(const Category& cat, const std::vector<int32_t>& prods);

// Positions the document on the selected category and its first selected
// product (akat, aprod) and returns the product; null unless both exist.
Product* PositionProduct(Document& doc, const Selection& sel);

// The selected product indexes that exist in `cat`, each once, ascending.
std::vector<int32_t> ValidSelectedProducts(const Category& cat, const std::vector<int32_t>& prods);

// Suppresses the window's selection reactions (donotupdate) while list
// entries move; restores the previous state.
class NoUpdateGuard {
 public:
  explicit NoUpdateGuard(Document& d) : doc_(d), old_(d.donotupdate) { doc_.donotupdate = true; }
  ~NoUpdateGuard() { doc_.donotupdate = old_; }
  NoUpdateGuard(const NoUpdateGuard&) = delete;
  NoUpdateGuard& operator=(const NoUpdateGuard&) = delete;

 private:
  Document& doc_;
  bool old_;
};

// Upper-cases the ASCII letters a-z only; every other code unit stays.
std::u16string AsciiUpper(std::u16string s);

// Replaces every occurrence of `from` (non-empty) in `s`, left to right;
// returns the number of replacements.
int ReplaceAll(std::u16string& s, const std::u16string& from, const std::u16string& to);

// The file name after the last "/" or "\" (the whole text when there is none).
std::u16string FileNamePart(const std::u16string& path);
// The folder part up to and including the last "/" or "\", empty when none.
std::u16string FolderNamePart(const std::u16string& path);

// A whole number in decimal, as the result lists show it.
std::u16string DecimalText(int64_t n);

}  // namespace editing
