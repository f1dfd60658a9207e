// The lookup index's bucket sort: the order of the plain middle-pivot
// quicksort for ordinary tables (the shipped one included, equal keys too),
// O(n log n) for a bucket crafted against the middle pivot, and a table that
// loads, saves and loads again to the same table.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "i18n/translate.h"

namespace {

using i18n::TranslationTable;

void PutI32(std::string& b, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}
std::string TableBytes(const std::vector<std::u16string>& keys) {
  std::string b;
  PutI32(b, 20);
  PutI32(b, static_cast<int32_t>(keys.size()));
  for (size_t r = 0; r < keys.size(); ++r)
    for (int c = 0; c < 20; ++c) {
      const std::u16string t = c == 0 ? keys[r] : c == 1 ? u"e" + keys[r] : u"";
      PutI32(b, static_cast<int32_t>(t.size()));
      for (char16_t ch : t) {
        b.push_back(static_cast<char>(ch & 0xFF));
        b.push_back(static_cast<char>(ch >> 8));
      }
    }
  return b;
}

using Bucket = std::vector<std::pair<std::u16string, int32_t>>;

// The plain quicksort the index always used (middle pivot, Hoare partition),
// as the reference order.
void PlainQuicksort(Bucket& a, int64_t low, int64_t high) {
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
  if (low < j) PlainQuicksort(a, low, j);
  if (i < high) PlainQuicksort(a, i, high);
}

// Every bucket of `table` against the reference sort of its rows in table order.
void ExpectReferenceOrder(const TranslationTable& table) {
  std::vector<Bucket> expected(i18n::kBuckets);
  for (uint32_t r = 0; r < table.Count(); ++r) {
    const std::u16string& k = table.Entry(r).texts[0];
    if (!k.empty()) expected[TranslationTable::BucketOf(k)].push_back({k, static_cast<int32_t>(r)});
  }
  for (int b = 0; b < i18n::kBuckets; ++b) {
    Bucket& e = expected[b];
    if (e.size() > 1) PlainQuicksort(e, 0, static_cast<int64_t>(e.size()) - 1);
    const auto& got = table.Bucket(b);
    ASSERT_EQ(got.Count(), e.size()) << "bucket " << b;
    for (uint32_t i = 0; i < got.Count(); ++i) {
      ASSERT_EQ(got[i].key, e[i].first) << "bucket " << b << " place " << i;
      ASSERT_EQ(got[i].entry, e[i].second) << "bucket " << b << " place " << i;
    }
  }
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
      // keys, where an unstable sort shows its order.
      std::u16string k(1, static_cast<char16_t>(u'A' + rng() % 3));
      k += static_cast<char16_t>(u'a' + rng() % (round % 4 == 0 ? 2 : 20));
      if (rng() % 2) k += static_cast<char16_t>(u'0' + rng() % 10);
      keys.push_back(k);
    }
    TranslationTable table;
    ASSERT_EQ(table.LoadFromBytes(TableBytes(keys)), i18n::LoadStatus::Loaded);
    ExpectReferenceOrder(table);
  }
}

// 50,000 keys of one bucket in the order that makes every middle pivot the
// smallest key of its part: the plain quicksort peels off one key per round
// and needs about 1.25e9 comparisons.
std::vector<std::u16string> MiddlePivotKiller(int n) {
  // Replays the partition: in a part [low, n-1] whose middle record is the
  // smallest, it is swapped to `low` and the next part is [low+1, n-1].
  std::vector<int> at(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) at[static_cast<size_t>(i)] = i;
  std::vector<int> rank(static_cast<size_t>(n));
  for (int low = 0; low < n; ++low) {
    const int mid = (low + n - 1) / 2;
    std::swap(at[static_cast<size_t>(low)], at[static_cast<size_t>(mid)]);
    rank[static_cast<size_t>(at[static_cast<size_t>(low)])] = low;
  }
  std::vector<std::u16string> keys;
  for (int i = 0; i < n; ++i) {
    std::string digits = std::to_string(rank[static_cast<size_t>(i)]);
    std::u16string k = u"K" + std::u16string(8 - digits.size(), u'0');
    for (char c : digits) k += static_cast<char16_t>(c);
    keys.push_back(k);
  }
  return keys;
}

TEST(TranslateSort, BucketCraftedAgainstTheMiddlePivotSortsInNLogN) {
  // The construction is right: on a small table the plain sort really does
  // peel one key per round (its recursion depth equals the size).
  {
    const std::vector<std::u16string> keys = MiddlePivotKiller(300);
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
  const std::vector<std::u16string> keys = MiddlePivotKiller(50000);
  // The same keys in a shuffled order: what an ordinary table costs to load.
  std::vector<std::u16string> shuffled = keys;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
  auto secondsToLoad = [](const std::string& bytes, TranslationTable& table) {
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(table.LoadFromBytes(bytes), i18n::LoadStatus::Loaded);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  };
  TranslationTable ordinary;
  const double base = secondsToLoad(TableBytes(shuffled), ordinary);
  TranslationTable table;
  const double s = secondsToLoad(TableBytes(keys), table);
  RecordProperty("load_seconds", std::to_string(s));
  RecordProperty("shuffled_load_seconds", std::to_string(base));
  // The plain quicksort would take minutes (1.25e9 comparisons) against the
  // shuffled table's fraction of a second; the load itself (a million
  // texts) dominates both.
  EXPECT_LT(s, 3 * base + 0.5) << s << " s against " << base << " s";
  EXPECT_LT(s, 30.0);
  const auto& bucket = table.Bucket(u'K');
  ASSERT_EQ(bucket.Count(), 50000u);
  for (uint32_t i = 1; i < bucket.Count(); ++i) ASSERT_LE(bucket[i - 1].key, bucket[i].key);
  for (uint32_t i = 0; i < bucket.Count(); i += 997)
    EXPECT_EQ(table.Entry(static_cast<uint32_t>(bucket[i].entry)).texts[0], bucket[i].key);
  EXPECT_EQ(table.TranslateText(keys[123], 1), u"e" + keys[123]);
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
