#include "core/dynaarray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/alloc.h"
#include "core/records.h"

namespace {

struct Rec {
  int32_t a = 0;
  std::u16string text;
};

TEST(DynaArray, GrowsGeometricallyAndRepublishesTheCursor) {
  Rec* cur = nullptr;
  TDynaArray<Rec> arr(&cur);
  EXPECT_EQ(arr.AllocatedBytes(), 0u);
  EXPECT_EQ(arr.Block(), nullptr);
  Rec* first = arr.Add();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(cur, first);
  EXPECT_EQ(arr.Capacity(), 1u);
  // Small arrays grow by half up to one quantum of 100 records.
  std::vector<uint32_t> ladder;
  for (int i = 1; i < 100; ++i) {
    arr.Add()->a = i;
    if (ladder.empty() || ladder.back() != arr.Capacity()) ladder.push_back(arr.Capacity());
  }
  EXPECT_EQ(ladder, (std::vector<uint32_t>{2, 3, 5, 8, 12, 18, 27, 41, 62, 93, 100}));
  const Rec* block = arr.Block();
  arr.GetObject(5);
  Rec* r101 = arr.Add();
  EXPECT_EQ(arr.Capacity(), 200u);
  EXPECT_NE(arr.Block(), block);
  EXPECT_EQ(cur, r101);
  EXPECT_EQ(arr[99].a, 99);
  EXPECT_EQ(arr.AllocatedBytes(), 200u * sizeof(Rec));
  // Above one quantum: whole quanta, at least 1.5 times the last capacity.
  uint32_t replaced = 0;
  for (int i = 101; i < 100000; ++i) {
    const Rec* before = arr.Block();
    arr.Add()->a = i;
    if (arr.Block() != before) {
      ++replaced;
      EXPECT_EQ(arr.Capacity() % 100, 0u);
    }
  }
  EXPECT_LE(replaced, 20u);  // 100,000 appends, geometric growth
  EXPECT_EQ(arr[99999].a, 99999);
  EXPECT_EQ(arr[12345].a, 12345);
  // Deleting shrinks only at a third of the capacity, then to the ladder.
  TDynaArray<Rec> small(&cur);
  for (int i = 0; i < 101; ++i) small.Add()->a = i;
  small.Delete(100);
  EXPECT_EQ(small.Capacity(), 200u);
  while (small.Count() > 67) small.Delete(0);
  EXPECT_EQ(small.Capacity(), 200u);
  small.Delete(0);
  EXPECT_EQ(small.Count(), 66u);
  EXPECT_EQ(small.Capacity(), 93u);
  EXPECT_EQ(small[0].a, 34);
  EXPECT_EQ(small[65].a, 99);
  EXPECT_EQ(cur, nullptr);
}

TEST(DynaArray, NewRecordsAreValueInitialisedEvenInReusedSlots) {
  TDynaArray<Rec> arr;
  arr.Add()->text = u"alt";
  arr.Add()->a = 7;
  arr.Delete(1);
  Rec* r = arr.Add();
  EXPECT_EQ(r->a, 0);
  EXPECT_TRUE(r->text.empty());
  arr.Insert(0)->a = 0;
  EXPECT_EQ(arr[1].text, u"alt");
  EXPECT_TRUE(arr[0].text.empty());
}

TEST(DynaArray, DeleteAndInsertBounds) {
  Rec* cur = nullptr;
  TDynaArray<Rec> arr(&cur);
  arr.Delete(0);
  arr.Delete(-1);
  EXPECT_EQ(arr.Count(), 0u);
  arr.Add();
  arr.Delete(0);
  EXPECT_EQ(arr.AllocatedBytes(), 0u);
  EXPECT_EQ(arr.Block(), nullptr);
  arr.Add()->a = 1;
  arr.Add()->a = 2;
  arr.Delete(2);
  arr.Delete(-1);
  EXPECT_EQ(arr.Count(), 2u);
  EXPECT_EQ(arr.Insert(3), nullptr);
  EXPECT_EQ(arr.Insert(-1), nullptr);
  Rec* appended = arr.Insert(2);
  ASSERT_NE(appended, nullptr);
  EXPECT_EQ(arr.Count(), 3u);
  EXPECT_EQ(cur, appended);
  arr.Delete(0);
  EXPECT_EQ(cur, nullptr);
  EXPECT_EQ(arr.CursorIndex(), -1);
  ASSERT_TRUE(arr.Next());
  EXPECT_EQ(cur->a, 2);
}

TEST(DynaArray, FirstNextWhileNextAndChange) {
  Rec* cur = nullptr;
  TDynaArray<Rec> arr(&cur);
  Rec marker;
  cur = &marker;
  arr.First();  // empty: nothing at all
  EXPECT_EQ(cur, &marker);
  for (int i = 0; i < 3; ++i) arr.Add()->a = i * 10;
  int visited = 0;
  arr.First();
  while (arr.WhileNext()) {
    EXPECT_EQ(cur->a, visited * 10);
    EXPECT_EQ(arr.CursorIndex(), visited + 1);
    ++visited;
  }
  EXPECT_EQ(visited, 3);
  EXPECT_EQ(cur->a, 20);
  EXPECT_FALSE(arr.Next());

  arr.Change(0, 5);
  EXPECT_EQ(arr[0].a, 0);
  arr.Change(-1, 0);
  EXPECT_EQ(arr[0].a, 0);
  arr.Change(0, 2);
  EXPECT_EQ(arr[0].a, 20);
  EXPECT_EQ(arr[2].a, 0);
  EXPECT_EQ(arr.CursorIndex(), 2);
  EXPECT_EQ(cur, &arr[2]);
  arr.Change(1, 1);
  EXPECT_EQ(arr[1].a, 10);
}

TEST(DynaArray, AllocationFailureIsReportedAndTheOldBlockKept) {
  std::string reported;
  ql::SetAllocationFailureHandler([&](const std::string& t) { reported = t; });
  TDynaArray<int32_t> arr;
  ql::SetAllocationLimit(2);  // less than one int
  EXPECT_EQ(arr.Add(), nullptr);
  EXPECT_EQ(reported, "Error 1 while trying to allocate 4 bytes of RAM. Not enough memory.");
  EXPECT_EQ(arr.Count(), 0u);
  ql::SetAllocationLimit(400);
  for (int i = 0; i < 100; ++i) *arr.Add() = i;
  const int32_t* block = arr.Block();
  EXPECT_EQ(arr.Add(), nullptr);
  EXPECT_EQ(reported, "Error 2 while trying to allocate 800 bytes of RAM. Not enough memory.");
  EXPECT_EQ(arr.Count(), 100u);
  EXPECT_EQ(arr.Block(), block);
  EXPECT_EQ(arr[99], 99);
  ql::SetAllocationLimit(0);
  ql::SetAllocationFailureHandler(nullptr);
}

// Reserve: one block for a known count, records and cursor kept, a refused
// block changes and reports nothing.
TEST(DynaArrayReserve, KeepsRecordsAndCursorAndAppendsWithoutGrowing) {
  Rec* cur = nullptr;
  TDynaArray<Rec> arr(&cur);
  EXPECT_TRUE(arr.Reserve(0));
  EXPECT_EQ(arr.Block(), nullptr);  // nothing asked, nothing owned
  for (int i = 0; i < 3; ++i)
    *arr.Add() = Rec{i, u"a long text that lives on the heap " + std::u16string(1, u'0' + i)};
  arr.GetObject(1);
  ASSERT_TRUE(arr.Reserve(1000));
  EXPECT_EQ(arr.Capacity(), 1000u);  // whole quanta, not the ladder's next step
  EXPECT_EQ(arr.Count(), 3u);
  EXPECT_EQ(cur, &arr[1]);  // republished into the new block
  EXPECT_EQ(arr[2].text, u"a long text that lives on the heap 2");
  const Rec* block = arr.Block();
  for (int i = 3; i < 1000; ++i) ASSERT_NE(arr.Add(), nullptr);
  EXPECT_EQ(arr.Block(), block);
  EXPECT_EQ(arr[999].a, 0);      // appended records are still value-initialised
  EXPECT_TRUE(arr.Reserve(10));  // never shrinks
  EXPECT_EQ(arr.Block(), block);
  ASSERT_NE(arr.Add(), nullptr);  // growth past it goes on along the ladder
  EXPECT_EQ(arr.Capacity(), TDynaArray<Rec>::CapacityFor(1001));
  EXPECT_EQ(arr[999].text, u"");
  TDynaArray<Rec> small;
  ASSERT_TRUE(small.Reserve(7));
  EXPECT_EQ(small.Capacity(), TDynaArray<Rec>::CapacityFor(7));
  ASSERT_TRUE(small.Reserve(1234));
  EXPECT_EQ(small.Capacity(), 1300u);
}

TEST(DynaArrayReserve, ARefusedBlockChangesAndReportsNothing) {
  std::string reported;
  ql::SetAllocationFailureHandler([&](const std::string& t) { reported = t; });
  TDynaArray<int32_t> arr;
  for (int i = 0; i < 5; ++i) *arr.Add() = i;
  const int32_t* block = arr.Block();
  ql::SetAllocationLimit(1000);
  EXPECT_FALSE(arr.Reserve(100000));
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(arr.Block(), block);
  EXPECT_EQ(arr.Count(), 5u);
  EXPECT_EQ(arr[4], 4);
  ql::SetAllocationLimit(0);
  ql::SetAllocationFailureHandler(nullptr);
}

TEST(Records, VariantShapeWithRaggedRows) {
  Product p;
  SetProductTableDefaults(p);
  EXPECT_DOUBLE_EQ(p.colwidth[9], 35.0);
  EXPECT_EQ(VariantColumnCount(p), 0u);
  VariantRow* r0 = p.variants.Add();
  r0->cells.Add()->text = u"Name";
  r0->cells.Add()->text = u"Preis";
  VariantRow* r1 = p.variants.Add();
  for (int i = 0; i < 4; ++i) r1->cells.Add();
  r1->cells[3].text = u"x";
  EXPECT_EQ(VariantColumnCount(p), 4u);
  EXPECT_EQ(VariantText(p, 0, 3), u"");
  EXPECT_EQ(VariantText(p, 7, 0), u"");
  Product q;
  CopyProduct(p, q);
  EXPECT_EQ(VariantText(q, 1, 3), u"x");
  EXPECT_EQ(q.variants[0].cells.Count(), 2u);
}

}  // namespace
