// Crafted translate.dat contents for the tests and the benchmark of the
// translation table's index: many keys in one bucket, in a shuffled order,
// in the order that is worst for a middle-pivot quicksort, and with a long
// prefix every key shares.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// A translate.dat of `columns` columns (20 as the program writes it) whose
// rows hold `keys` in column 0 and "e" + key in column 1 (English), the other
// columns empty.
inline std::string TranslateTableBytes(const std::vector<std::u16string>& keys, int columns = 20) {
  std::string b;
  auto putI32 = [&b](int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
  };
  auto putText = [&](const std::u16string& t) {
    putI32(static_cast<int32_t>(t.size()));
    for (char16_t ch : t) {
      b.push_back(static_cast<char>(ch & 0xFF));
      b.push_back(static_cast<char>(ch >> 8));
    }
  };
  size_t bytes = 8;
  for (const auto& k : keys) bytes += static_cast<size_t>(columns) * 4 + 4 * k.size() + 2;
  b.reserve(bytes);
  putI32(columns);
  putI32(static_cast<int32_t>(keys.size()));
  for (const auto& k : keys) {
    putText(k);
    if (columns > 1) putText(u"e" + k);
    for (int c = 2; c < columns; ++c) putI32(0);
  }
  return b;
}

// "K" + `prefix` + the number in 8 digits: distinct keys of bucket 'K' whose
// ordinal order is the numbers' order.
inline std::u16string NumberedKey(int number, const std::u16string& prefix = {}) {
  const std::string digits = std::to_string(number);
  std::u16string k = u"K" + prefix + std::u16string(digits.size() < 8 ? 8 - digits.size() : 0, u'0');
  for (char c : digits) k += static_cast<char16_t>(c);
  return k;
}

// The order of n distinct keys that makes every middle pivot of a
// Hoare-partition quicksort the smallest key of its part, so that each round
// peels off one key (n^2 / 2 comparisons for the plain sort): element i gets
// rank [i] among the keys. Built by replaying the partition: in a part
// [low, n-1] whose middle record is the smallest, that record is swapped to
// `low` and the next part is [low+1, n-1].
inline std::vector<int> MiddlePivotWorstRanks(int n) {
  std::vector<int> at(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) at[static_cast<size_t>(i)] = i;
  std::vector<int> rank(static_cast<size_t>(n));
  for (int low = 0; low < n; ++low) {
    const int mid = (low + n - 1) / 2;
    std::swap(at[static_cast<size_t>(low)], at[static_cast<size_t>(mid)]);
    rank[static_cast<size_t>(at[static_cast<size_t>(low)])] = low;
  }
  return rank;
}

// n keys of one bucket in that worst order.
inline std::vector<std::u16string> MiddlePivotWorstKeys(int n, const std::u16string& prefix = {}) {
  std::vector<std::u16string> keys;
  keys.reserve(static_cast<size_t>(n));
  for (int r : MiddlePivotWorstRanks(n)) keys.push_back(NumberedKey(r, prefix));
  return keys;
}

// n distinct keys of one bucket in a shuffled order.
inline std::vector<std::u16string> ShuffledKeys(int n, unsigned seed, const std::u16string& prefix = {}) {
  std::vector<std::u16string> keys;
  keys.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) keys.push_back(NumberedKey(i, prefix));
  std::shuffle(keys.begin(), keys.end(), std::mt19937(seed));
  return keys;
}

}  // namespace testsupport
