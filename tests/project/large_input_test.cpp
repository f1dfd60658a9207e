// Reading time and memory grow with the file, not with its square: many
// empty categories, one product of many one-cell rows, and the record arrays
// of a typical product. Limits are generous (a loaded 2-core machine); the
// figures themselves come from bench_memory.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "project/document.h"
#include "project/projectfile.h"

namespace {

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutText(std::string& out, const std::u16string& s) {
  PutU32(out, static_cast<uint32_t>(s.size()));
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
}
std::string SettingsPart() {
  Document empty;
  return ProjectFileBytes(empty, "/d/x.pk2").substr(4);
}
double SecondsToRead(Document& doc, const std::string& bytes, std::u16string& error) {
  const auto t0 = std::chrono::steady_clock::now();
  const bool ok = ReadProjectBytes(doc, bytes, ProjectFormat::Current, "/d/x.pk2", ReadOptions{}, &error);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return ok ? s : -1;
}

TEST(LargeInput, EightyThousandEmptyCategoriesReadInLinearTime) {
  std::string bytes;
  PutU32(bytes, 80000);
  for (uint32_t i = 0; i < 80000; ++i) {
    PutText(bytes, u"K" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
    PutU32(bytes, 0);
  }
  bytes += SettingsPart();
  Document doc;
  std::u16string error;
  const double s = SecondsToRead(doc, bytes, error);
  ASSERT_GE(s, 0) << std::string(error.begin(), error.end());
  EXPECT_LT(s, 10.0);
  ASSERT_EQ(doc.kats.Count(), 80000u);
  // No empty category owns a block; the category array is at most half
  // empty.
  for (const Category& c : doc.kats) ASSERT_EQ(c.products.AllocatedBytes(), 0u);
  EXPECT_LE(doc.kats.AllocatedBytes(), 2u * 80000u * sizeof(Category));
}

// Part A of one category holding one product "P" with `rows` one-cell rows.
std::string OneProductPartA(uint32_t rows) {
  std::string bytes;
  PutU32(bytes, 1);
  PutText(bytes, u"K");
  PutU32(bytes, 1);
  PutText(bytes, u"P");
  PutText(bytes, u"");
  PutU32(bytes, 0);
  PutU32(bytes, rows);
  for (uint32_t i = 0; i < rows; ++i) {
    PutU32(bytes, 1);
    PutText(bytes, u"x");
  }
  PutU32(bytes, 0);
  return bytes;
}

TEST(LargeInput, HalfAMillionOneCellRowsReadInLinearTime) {
  // The settings and per-product groups of the same catalog without rows.
  Document shape;
  shape.AddProduct(*shape.AddCategory(u"K"))->name = u"P";
  const std::string whole = ProjectFileBytes(shape, "/d/x.pk2");
  const std::string empty = OneProductPartA(0);
  ASSERT_EQ(whole.compare(0, empty.size(), empty), 0);
  const std::string bytes = OneProductPartA(500000) + whole.substr(empty.size());
  Document doc;
  std::u16string error;
  const double s = SecondsToRead(doc, bytes, error);
  ASSERT_GE(s, 0) << std::string(error.begin(), error.end());
  EXPECT_LT(s, 20.0);
  const Product& p = doc.kats[0].products[0];
  ASSERT_EQ(p.variants.Count(), 500000u);
  // One cell each: a one-record block, not a block of 100.
  EXPECT_EQ(p.variants[499999].cells.AllocatedBytes(), sizeof(VariantCell));
  EXPECT_EQ(p.variants[499999].cells[0].text, u"x");
}

TEST(LargeInput, TypicalProductArraysHoldLittleMoreThanTheirRecords) {
  Document doc;
  Category* cat = doc.AddCategory(u"K");
  Product* p = doc.AddProduct(*cat);
  for (int k = 0; k < 3; ++k) doc.AddPicture(*p)->filename = u"b.jpg";
  for (int r = 0; r < 10; ++r) {
    VariantRow* row = doc.AddRow(*p);
    for (int c = 0; c < 5; ++c) row->cells.Add()->text = u"1";
  }
  uint64_t bytes = p->pictures.AllocatedBytes() + p->variants.AllocatedBytes();
  for (const VariantRow& row : p->variants) bytes += row.cells.AllocatedBytes();
  const uint64_t records = 3 * sizeof(Picture) + 10 * sizeof(VariantRow) + 50 * sizeof(VariantCell);
  EXPECT_LE(bytes, records * 5 / 4) << bytes << " bytes for " << records << " bytes of records";
}

}  // namespace
