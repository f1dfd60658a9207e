// TDynaArray::Reserve: one block for a known count, records and cursor kept,
// a refused block changes and reports nothing.
#include <gtest/gtest.h>

#include <string>

#include "core/alloc.h"
#include "core/dynaarray.h"

namespace {

struct Rec {
  int32_t a = 0;
  std::u16string text;
};

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

}  // namespace
