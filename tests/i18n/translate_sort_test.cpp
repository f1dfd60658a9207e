// The lookup index's bucket sort: the order of the plain middle-pivot
// quicksort for ordinary tables (the shipped one included, equal keys too),
// the same order as sorting the keys themselves with the heapsort fallback
// for buckets crafted against the middle pivot, which load in O(n log n),
// lookups that find the first of equal keys, and a table that loads, saves
// and loads again to the same table.
#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "i18n/translate.h"
#include "support/translate_tables.h"

namespace {

using i18n::TranslationTable;
using testsupport::MiddlePivotWorstKeys;
using testsupport::TranslateTableBytes;

using Bucket = std::vector<std::pair<std::u16string, int32_t>>;

// The quicksort the index always used, on the keys themselves (middle pivot,
// Hoare partition), as the reference order. With a `depth`, a part still
// unsorted after that many rounds is finished by heapsort, and `fellBack`
// is set; without one it is the plain quicksort.
void ReferenceSort(Bucket& a, int64_t low, int64_t high, int depth = -1, bool* fellBack = nullptr) {
  while (low < high) {
    if (depth == 0) {
      auto less = [](const auto& x, const auto& y) { return x.first < y.first; };
      std::make_heap(a.begin() + low, a.begin() + high + 1, less);
      std::sort_heap(a.begin() + low, a.begin() + high + 1, less);
      if (fellBack) *fellBack = true;
      return;
    }
    if (depth > 0) --depth;
    int64_t i = low, j = high;
    const std::u16string pivot = a[static_cast<size_t>((low + high) / 2)].first;
    do {
      while (a[static_cast<size_t>(i)].first < pivot) ++i;
      while (a[static_cast<size_t>(j)].first > pivot) --j;
      if (i <= j) {
        std::swap(a[static_cast<size_t>(i)], a[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - low < high - i) {
      if (low < j) ReferenceSort(a, low, j, depth, fellBack);
      low = i;
    } else {
      if (i < high) ReferenceSort(a, i, high, depth, fellBack);
      high = j;
    }
  }
}

int DepthLimit(size_t n) {
  int log2n = 0;
  while ((size_t(1) << log2n) < n) ++log2n;
  return 4 * log2n + 16;
}

// Every bucket of `table` against the reference sort of its rows in table
// order; a lookup of each key finds the first row of that key in the bucket.
// Returns whether any bucket needed the heapsort fallback.
bool ExpectReferenceOrder(const TranslationTable& table, bool withFallback = false) {
  std::vector<Bucket> expected(i18n::kBuckets);
  for (uint32_t r = 0; r < table.Count(); ++r) {
    const std::u16string& k = table.Entry(r).texts[0];
    if (!k.empty()) expected[TranslationTable::BucketOf(k)].push_back({k, static_cast<int32_t>(r)});
  }
  bool fellBack = false;
  for (int b = 0; b < i18n::kBuckets; ++b) {
    Bucket& e = expected[b];
    if (e.size() > 1) {
      ReferenceSort(e, 0, static_cast<int64_t>(e.size()) - 1, withFallback ? DepthLimit(e.size()) : -1,
                    &fellBack);
    }
    const auto& got = table.Bucket(b);
    EXPECT_EQ(got.Count(), e.size()) << "bucket " << b;
    if (got.Count() != e.size()) return fellBack;
    for (uint32_t i = 0; i < got.Count(); ++i) {
      EXPECT_EQ(got[i].key, e[i].first) << "bucket " << b << " place " << i;
      EXPECT_EQ(got[i].entry, e[i].second) << "bucket " << b << " place " << i;
      if (got[i].key != e[i].first || got[i].entry != e[i].second) return fellBack;
      if (i == 0 || e[i - 1].first != e[i].first) {
        EXPECT_EQ(table.Find(e[i].first), e[i].second);
      }
    }
  }
  return fellBack;
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

TEST(TranslateSort, ShippedTableKeepsThePlainQuicksortOrder) {
  TranslationTable table;
  ASSERT_EQ(table.Load(std::string(QL_BIN_DIR) + "/"), i18n::LoadStatus::Loaded);
  ASSERT_GT(table.Count(), 100u);
  ExpectReferenceOrder(table);
}

TEST(TranslateSort, RandomTablesWithRepeatedKeysKeepThePlainQuicksortOrder) {
  std::mt19937 rng(17);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::u16string> keys;
    const int n = 200 + round * 150;
    for (int i = 0; i < n; ++i) {
      // Few first letters and few distinct keys: crowded buckets with equal
      // keys, where an unstable sort shows its order. Some keys share a
      // long beginning, so comparisons reach past it.
      std::u16string k(1, static_cast<char16_t>(u'A' + rng() % 3));
      if (round % 3 == 1) k += std::u16string(40 + rng() % 3, u'x');
      k += static_cast<char16_t>(u'a' + rng() % (round % 4 == 0 ? 2 : 20));
      if (rng() % 2) k += static_cast<char16_t>(u'0' + rng() % 10);
      keys.push_back(k);
    }
    TranslationTable table;
    ASSERT_EQ(table.LoadFromBytes(TranslateTableBytes(keys)), i18n::LoadStatus::Loaded);
    ExpectReferenceOrder(table);
  }
}

TEST(TranslateSort, BucketsCraftedAgainstTheMiddlePivotLoadInNLogNInTheSameOrder) {
  // The construction is right: on a small table the plain sort really does
  // peel one key per round (its recursion depth equals the size).
  {
    const std::vector<std::u16string> keys = MiddlePivotWorstKeys(300);
    Bucket b;
    for (int i = 0; i < 300; ++i) b.push_back({keys[static_cast<size_t>(i)], i});
    int depth = 0;
    for (int64_t low = 0; low < 299; ++low, ++depth) {
      const std::u16string pivot = b[static_cast<size_t>((low + 299) / 2)].first;
      for (int64_t k = low; k <= 299; ++k) ASSERT_LE(pivot, b[static_cast<size_t>(k)].first);
      std::swap(b[static_cast<size_t>(low)], b[static_cast<size_t>((low + 299) / 2)]);
    }
    EXPECT_EQ(depth, 299);
  }
  // 50,000 keys in the worst order, short and behind a 200-character common
  // beginning (which made every comparison of the partition rounds slow).
  // The order must be the one of the sort on the keys, heapsort part included.
  for (const std::u16string& prefix : {std::u16string(), std::u16string(200, u'x')}) {
    const std::vector<std::u16string> keys = MiddlePivotWorstKeys(50000, prefix);
    const std::string bytes = TranslateTableBytes(keys);
    TranslationTable table;
    const double t0 = CpuSeconds();
    ASSERT_EQ(table.LoadFromBytes(bytes), i18n::LoadStatus::Loaded);
    const double s = CpuSeconds() - t0;
    RecordProperty(prefix.empty() ? "load_seconds" : "long_prefix_load_seconds", std::to_string(s));
    EXPECT_LT(s, 5.0) << "prefix of " << prefix.size();
    ASSERT_EQ(table.Bucket(u'K').Count(), 50000u);
    EXPECT_TRUE(ExpectReferenceOrder(table, true));
    EXPECT_EQ(table.TranslateText(keys[123], 1), u"e" + keys[123]);
  }
}

TEST(TranslateSort, EqualKeysInTheWorstOrderKeepTheOrderOfTheSortOnTheKeys) {
  // The worst order with the keys above the 200 smallest made equal in
  // threes: the partition rounds before the heapsort take the smallest keys
  // as before, and the heapsort decides which row of equal keys wins.
  std::vector<std::u16string> keys;
  for (int rank : testsupport::MiddlePivotWorstRanks(6000))
    keys.push_back(testsupport::NumberedKey(rank < 200 ? rank : rank / 3 * 3));
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(TranslateTableBytes(keys)), i18n::LoadStatus::Loaded);
  EXPECT_TRUE(ExpectReferenceOrder(table, true));
}

TEST(TranslateSort, AOneColumnFileOfOneRepeatedKeyLoadsInSeconds) {
  // 1 MB: a count and one code unit a row, 166,666 rows of 20 texts each.
  const std::vector<std::u16string> keys(1000000 / 6, u"K");
  const std::string bytes = TranslateTableBytes(keys, 1);
  TranslationTable table;
  const double t0 = CpuSeconds();
  ASSERT_EQ(table.LoadFromBytes(bytes), i18n::LoadStatus::Loaded);
  const double s = CpuSeconds() - t0;
  RecordProperty("load_seconds", std::to_string(s));
  EXPECT_LT(s, 5.0);
  ASSERT_EQ(table.Count(), keys.size());
  EXPECT_EQ(table.Entry(table.Count() - 1).texts[1], u"");
  ExpectReferenceOrder(table);
}

TEST(TranslateSort, LookupsInAHugeBucketDoNotWalkIt) {
  const std::vector<std::u16string> keys = testsupport::ShuffledKeys(50000, 9);
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(TranslateTableBytes(keys)), i18n::LoadStatus::Loaded);
  const double t0 = CpuSeconds();
  for (const auto& k : keys) ASSERT_EQ(table.TranslateText(k, 1), u"e" + k);
  const double s = CpuSeconds() - t0;
  RecordProperty("lookup_seconds", std::to_string(s));
  // A walk through the bucket takes 1.25e9 comparisons for these lookups.
  EXPECT_LT(s, 2.0);
  EXPECT_EQ(table.Count(), 50000u);
}

TEST(TranslateSort, AddedKeysAreFoundAndEqualKeysKeepTheEarlierRow) {
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(TranslateTableBytes({u"Kb", u"Kd", u"Kb", u"Kf"})), i18n::LoadStatus::Loaded);
  const auto& bucket = table.Bucket(u'K');
  // Of equal keys, the one first in the bucket.
  auto firstInBucket = [&bucket](const std::u16string& key) {
    for (const auto& k : bucket)
      if (k.key == key) return k.entry;
    return -1;
  };
  const int32_t firstKb = table.Find(u"Kb");
  ASSERT_TRUE(firstKb == 0 || firstKb == 2);
  EXPECT_EQ(firstKb, firstInBucket(u"Kb"));
  // After the last key: the bucket stays sorted.
  EXPECT_EQ(table.AddEntry(u"Kg"), 4);
  // Before it: appended behind the sorted part.
  EXPECT_EQ(table.AddEntry(u"Ka"), 5);
  EXPECT_EQ(table.AddEntry(u"Kd"), 6);
  EXPECT_EQ(table.AddEntry(u"Kg"), 7);
  EXPECT_EQ(table.AddEntry(u"Kc"), 8);
  EXPECT_EQ(table.Find(u"Kg"), 4);
  EXPECT_EQ(table.Find(u"Ka"), 5);
  EXPECT_EQ(table.Find(u"Kd"), 1);
  EXPECT_EQ(table.Find(u"Kc"), 8);
  EXPECT_EQ(table.Find(u"Kb"), firstKb);
  EXPECT_EQ(table.Find(u"Ke"), -1);
  EXPECT_EQ(table.Find(u"Kz"), -1);
  ASSERT_EQ(bucket.Count(), 9u);
  EXPECT_EQ(bucket[8].key, u"Kc");  // new keys go to the end of their bucket
  // Rebuilt after a delete: sorted again, every key still found.
  table.DeleteEntry(0);
  for (uint32_t i = 1; i < bucket.Count(); ++i) EXPECT_LE(bucket[i - 1].key, bucket[i].key);
  EXPECT_EQ(table.Find(u"Kc"), 7);
  EXPECT_EQ(table.Find(u"Kb"), 1);
  for (const std::u16string k : {u"Kd", u"Kg"}) EXPECT_EQ(table.Find(k), firstInBucket(k)) << "duplicate key";
}

TEST(TranslateSort, LoadSaveLoadGivesTheSameTable) {
  TranslationTable a;
  ASSERT_EQ(a.Load(std::string(QL_BIN_DIR) + "/"), i18n::LoadStatus::Loaded);
  const std::string first = a.ToBytes();
  TranslationTable b;
  ASSERT_EQ(b.LoadFromBytes(first), i18n::LoadStatus::Loaded);
  EXPECT_EQ(b.ToBytes(), first);
  ASSERT_EQ(b.Count(), a.Count());
  for (uint32_t r = 0; r < a.Count(); ++r)
    for (int c = 0; c < i18n::kColumns; ++c) ASSERT_EQ(b.Entry(r).texts[c], a.Entry(r).texts[c]);
}

}  // namespace
