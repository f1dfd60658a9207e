// Fuzzes the CSV reader and the three imports.
//  - Reading through a source that delivers one to a few bytes per fill
//    gives the same records as reading the bytes in one block (the one-byte
//    look-back across refills).
//  - No record exceeds the reader's caps.
//  - The imports accept anything and leave a consistent document.
//  - A product line written by the export reads back to the same category
//    name, product name and description (for texts without backslashes,
//    which the format leaves unescaped), compared with line breaks unified:
//    the export writes every break (CR LF, CR or LF) as CR LF on purpose.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/linebreaks.h"
#include "csv/csvexport.h"
#include "csv/csvimport.h"
#include "csv/csvreader.h"

namespace {

class SilentFeedback : public Feedback {
 public:
  void ShowMessage(const std::u16string&, const std::u16string&, MessageIcon) override {}
  Answer Ask(const std::u16string&, const std::u16string&, Buttons) override { return Answer::No; }
};

class TrickleReader : public csv::ByteReader {
 public:
  TrickleReader(std::string_view bytes, size_t step) : bytes_(bytes), step_(step) {}

 protected:
  long Fill(char* dst, size_t cap) override {
    size_t n = std::min({cap, step_, bytes_.size() - at_});
    for (size_t i = 0; i < n; ++i) dst[i] = bytes_[at_ + i];
    at_ += n;
    step_ = step_ % 5 + 1;  // vary the chunk sizes
    return static_cast<long>(n);
  }

 private:
  std::string_view bytes_;
  size_t step_;
  size_t at_ = 0;
};

constexpr size_t kChars = 512;
constexpr size_t kFields = 64;

std::vector<std::vector<std::u16string>> ReadAll(csv::ByteReader& in, csv::ReadStatus& last) {
  csv::CsvReader r(in, kChars, kFields);
  std::vector<std::vector<std::u16string>> out;
  std::vector<std::u16string> f;
  while ((last = r.Next(f)) == csv::ReadStatus::Record) {
    size_t chars = 0;
    for (const auto& s : f) chars += s.size();
    // Unquoting and unescaping only shorten; CR LF joins count against the cap.
    if (f.size() > kFields || chars > kChars) std::abort();
    out.push_back(f);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  csv::MemoryByteReader whole(bytes);
  csv::ReadStatus st1, st2;
  auto a = ReadAll(whole, st1);
  TrickleReader trickle(bytes, size % 3 + 1);
  auto b = ReadAll(trickle, st2);
  if (a != b || st1 != st2) std::abort();

  SilentFeedback fb;
  csv::ImportContext ctx;
  ctx.decimalSeparator = size % 2 ? u',' : u'.';
  // Documents are reused: a fresh one allocates its page-name table each time.
  static Document doc, src, back;
  doc.NewAll();
  src.NewAll();
  back.NewAll();
  doc.templatecolumns.clear();
  for (size_t i = 0; i < (size ? data[0] % 5 : 0); ++i) doc.templatecolumns.push_back(u"T");
  doc.options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1 = size % 3 == 0;
  doc.AddCategory(u"K");
  for (int mode = 0; mode < 3; ++mode) {
    csv::MemoryByteReader in(bytes);
    if (mode == 0) csv::ImportProducts(doc, 0, in, u"f", ctx, fb);
    if (mode == 1) csv::ImportProductsWithCategories(doc, 0, in, u"f", ctx, fb);
    if (mode == 2) csv::ImportCategories(doc, 0, in, u"f", ctx, fb);
  }
  const size_t t = doc.templatecolumns.size();
  for (const Category& c : doc.kats)
    for (const Product& p : c.products) {
      if (p.pictures.Count() != 1) std::abort();
      for (const VariantRow& r : p.variants)
        if (r.cells.Count() != t) std::abort();
    }

  // Round trip of one exported line.
  std::u16string text = ql::FromCp1252(bytes);
  std::u16string clean;
  for (char16_t c : text)
    if (c != u'\\') clean.push_back(c);
  const size_t third = clean.size() / 3;
  Category* cat = src.AddCategory(clean.substr(0, third));
  Product* p = src.AddProduct(*cat);
  p->name = clean.substr(third, third);
  p->description = clean.substr(2 * third);
  const std::u16string category = cat->name;
  std::string line = ql::ToCp1252(csv::ProductLine(src, *p, &category)) + "\r\n";
  csv::MemoryByteReader in(line);
  csv::ImportResult r = csv::ImportProductsWithCategories(back, -1, in, u"f", ctx, fb);
  if (!r.complete) std::abort();
  const bool empty = category.empty() && p->name.empty() && p->description.empty();
  if (empty) {
    if (back.kats.Count() != 0) std::abort();
  } else {
    if (back.kats.Count() != 1 || back.kats[0].products.Count() != 1) std::abort();
    const Product& q = back.kats[0].products[0];
    auto same = [](const std::u16string& a, const std::u16string& b) {
      return ql::WithLineBreaks(a, u"\n") == ql::WithLineBreaks(b, u"\n");
    };
    if (!same(back.kats[0].name, category) || !same(q.name, p->name) || !same(q.description, p->description))
      std::abort();
  }
  return 0;
}
