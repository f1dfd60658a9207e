// Reading time and memory grow with the file, not with its square: many
// empty categories, one product of many one-cell rows, and the record arrays
// of a typical product. Limits are generous (a loaded 2-core machine); the
// figures themselves come from bench_memory.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "project/document.h"
#include "project/projectfile.h"
#include "support/crafted_project.h"

namespace {

double SecondsToRead(Document& doc, const std::string& bytes, std::u16string& error) {
  const auto t0 = std::chrono::steady_clock::now();
  const bool ok = ReadProjectBytes(doc, bytes, ProjectFormat::Current, "/d/x.pk2", ReadOptions{}, &error);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return ok ? s : -1;
}

TEST(LargeInput, EightyThousandEmptyCategoriesReadInLinearTime) {
  const std::string bytes = testsupport::EmptyCategoriesFile(80000);
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

TEST(LargeInput, HalfAMillionOneCellRowsReadInLinearTime) {
  const std::string bytes = testsupport::OneProductRowsFile(500000);
  ASSERT_FALSE(bytes.empty()) << "the writer's part A changed";
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
