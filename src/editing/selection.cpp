#include "editing/selection.h"

#include <algorithm>

namespace editing {

Category* PositionCategory(Document& doc, int32_t kat) {
  if (kat < 0 || static_cast<uint32_t>(kat) >= doc.kats.Count()) return nullptr;
  return doc.kats.GetObject(kat);
}

int32_t FirstSelectedProduct(const Category& cat, const std::vector<int32_t>& prods) {
  int32_t first = -1;
  for (int32_t p : prods)
    if (p >= 0 && static_cast<uint32_t>(p) < cat.products.Count() && (first < 0 || p < first)) first = p;
  return first;
}

Product* PositionProduct(Document& doc, const Selection& sel) {
  Category* cat = PositionCategory(doc, sel.kat);
  if (!cat) return nullptr;
  int32_t p = FirstSelectedProduct(*cat, sel.prods);
  if (p < 0) return nullptr;
  return cat->products.GetObject(p);
}

std::vector<int32_t> ValidSelectedProducts(const Category& cat, const std::vector<int32_t>& prods) {
  std::vector<int32_t> v;
  for (int32_t p : prods)
    if (p >= 0 && static_cast<uint32_t>(p) < cat.products.Count()) v.push_back(p);
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

std::u16string AsciiUpper(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return s;
}

int ReplaceAll(std::u16string& s, const std::u16string& from, const std::u16string& to) {
  if (from.empty()) return 0;
  std::u16string out;
  int n = 0;
  size_t pos = 0;
  for (;;) {
    size_t hit = s.find(from, pos);
    if (hit == std::u16string::npos) break;
    out.append(s, pos, hit - pos);
    out += to;
    pos = hit + from.size();
    ++n;
  }
  if (n == 0) return 0;
  out.append(s, pos, std::u16string::npos);
  s = std::move(out);
  return n;
}

static size_t LastSeparator(const std::u16string& path) { return path.find_last_of(u"/\\"); }

std::u16string FileNamePart(const std::u16string& path) {
  size_t s = LastSeparator(path);
  return s == std::u16string::npos ? path : path.substr(s + 1);
}

std::u16string FolderNamePart(const std::u16string& path) {
  size_t s = LastSeparator(path);
  return s == std::u16string::npos ? std::u16string() : path.substr(0, s + 1);
}

std::u16string DecimalText(int64_t n) {
  std::string a = std::to_string(n);
  return std::u16string(a.begin(), a.end());
}

}  // namespace editing
