#include "i18n/translate.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "core/safefile.h"
#include "i18n/messages.h"

namespace i18n {
namespace {

// Little-endian reader over a byte string that never reads past the end.
class Reader {
 public:
  explicit Reader(const std::string& b) : b_(b) {}
  size_t Remaining() const { return b_.size() - pos_; }
  bool I32(int32_t& v) {
    if (Remaining() < 4) return false;
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
      u |= static_cast<uint32_t>(static_cast<unsigned char>(b_[pos_ + i])) << (8 * i);
    pos_ += 4;
    v = static_cast<int32_t>(u);
    return true;
  }
  // A counted UTF-16LE text; fails on a negative count or one larger than
  // what is left of the file, before anything is allocated.
  bool Text(std::u16string* out) {
    int32_t n = 0;
    if (!I32(n) || n < 0 || static_cast<uint64_t>(n) * 2 > Remaining()) return false;
    if (out) {
      out->resize(static_cast<size_t>(n));
      for (int32_t i = 0; i < n; ++i) {
        auto lo = static_cast<unsigned char>(b_[pos_ + 2 * i]);
        auto hi = static_cast<unsigned char>(b_[pos_ + 2 * i + 1]);
        (*out)[static_cast<size_t>(i)] = static_cast<char16_t>(lo | (hi << 8));
      }
    }
    pos_ += static_cast<size_t>(n) * 2;
    return true;
  }

 private:
  const std::string& b_;
  size_t pos_ = 0;
};

void PutI32(std::string& out, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void PutText(std::string& out, const std::u16string& t) {
  PutI32(out, static_cast<int32_t>(t.size()));
  for (char16_t c : t) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

TranslationTable::TranslationTable() {
  for (auto& b : buckets_) b.SetOuter(&akey_);
}

LoadStatus TranslationTable::Load(const std::string& progpath) {
  file_ = progpath + "translate.dat";
  std::string bytes;
  if (!ReadWholeFile(file_, bytes)) {
    table_.Clear();
    BuildIndex();
    problem_.clear();
    damaged_file_ = false;
    return LoadStatus::Missing;
  }
  std::string keep = file_;
  LoadStatus s = LoadFromBytes(bytes);
  file_ = keep;
  damaged_file_ = s == LoadStatus::Damaged;
  return s;
}

LoadStatus TranslationTable::LoadFromBytes(const std::string& bytes) {
  table_.Clear();
  problem_.clear();
  damaged_file_ = false;
  Reader r(bytes);
  int32_t cols = 0, rows = 0;
  LoadStatus status = LoadStatus::Loaded;
  if (!r.I32(cols) || !r.I32(rows)) {
    problem_ = "the file ends inside its header";
    status = LoadStatus::Damaged;
  } else if (cols < 0 || rows < 0 || (cols == 0 && rows > 0)) {
    problem_ = "impossible column or row count";
    status = LoadStatus::Damaged;
  } else if (static_cast<uint64_t>(rows) * static_cast<uint64_t>(cols) * 4 > r.Remaining()) {
    // Every text takes at least its 4-byte count: a row count the file
    // cannot hold is damage, found before anything is allocated. The rows
    // that are there are still read below.
    problem_ = "the file is shorter than its row count says";
    status = LoadStatus::Damaged;
  }
  if (cols > 0 && rows > 0) {
    // One block for the rows, instead of growing (and moving 20 texts a
    // row) step by step. Every text takes at least its 4-byte count, so no
    // more rows are reserved than the file can hold: a complete load needs
    // the block anyway, and growing to it would need more at its peak.
    const uint64_t fit = r.Remaining() / (4 * static_cast<uint64_t>(cols));
    table_.Reserve(static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(rows), fit)));
    for (int32_t row = 0; row < rows; ++row) {
      if (r.Remaining() < static_cast<uint64_t>(cols) * 4) {
        if (problem_.empty()) problem_ = "the file ends inside row " + std::to_string(row + 1);
        status = LoadStatus::Damaged;
        break;
      }
      TranslationEntry e;
      bool ok = true;
      for (int32_t c = 0; c < cols && ok; ++c) ok = r.Text(c < kColumns ? &e.texts[c] : nullptr);
      if (!ok) {
        if (problem_.empty()) problem_ = "the file ends inside row " + std::to_string(row + 1);
        status = LoadStatus::Damaged;
        break;
      }
      TranslationEntry* added = table_.Add();
      if (!added) {
        problem_ = "out of memory";
        status = LoadStatus::Damaged;
        break;
      }
      *added = std::move(e);
    }
  }
  BuildIndex();
  return status;
}

void TranslationTable::BuildIndex() {
  uint32_t counts[kBuckets] = {};
  for (const TranslationEntry& e : table_)
    if (!e.texts[0].empty()) ++counts[BucketOf(e.texts[0])];
  for (int b = 0; b < kBuckets; ++b) {
    buckets_[b].Clear();
    buckets_[b].Reserve(counts[b]);
  }
  for (uint32_t i = 0; i < table_.Count(); ++i) {
    const std::u16string& g = table_[i].texts[0];
    if (g.empty()) continue;
    TranslationKey* k = buckets_[BucketOf(g)].Add();
    if (!k) continue;
    k->key = g;
    k->entry = static_cast<int32_t>(i);
  }
  for (int b = 0; b < kBuckets; ++b) {
    SortBucket(buckets_[b]);
    sorted_[b] = buckets_[b].Count();
  }
}

namespace {

// Ordinal comparison of two keys from code unit `from` on (both keys agree
// before it): the order of std::u16string's operator<, but equal stretches
// are skipped a block at a time, so keys with a long common part compare
// quickly.
int CompareKeys(const std::u16string& a, const std::u16string& b, size_t from) {
  const size_t n = std::min(a.size(), b.size());
  size_t i = from;
  constexpr size_t kBlock = 16;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock * sizeof(char16_t)) == 0)
    i += kBlock;
  for (; i < n; ++i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// The length of the part every key of the bucket starts with.
size_t CommonPrefix(const TDynaArray<TranslationKey>& bucket) {
  const std::u16string& first = bucket[0].key;
  size_t p = first.size();
  for (const TranslationKey& k : bucket) {
    size_t i = 0;
    const size_t n = std::min(p, k.key.size());
    while (i < n && k.key[i] == first[i]) ++i;
    p = i;
  }
  return p;
}

}  // namespace

// The order is that of a quicksort by key with the middle element as pivot
// (Hoare partition), which decides which of several rows with the same German
// text a lookup finds: that order is kept exactly, equal keys included.
//
// The quicksort does not run on the keys themselves: each key is first
// replaced by its rank among the bucket's keys (one O(n log n) sort, equal
// keys get equal ranks), and the quicksort runs on the ranks. Every
// comparison gives the answer the keys would give, so the resulting
// permutation is the same, but a partition round costs integer comparisons
// instead of text comparisons, which matters for long keys with a common
// beginning. The quicksort recurses into the smaller part and loops on the
// larger one so that a hostile file cannot exhaust the stack; the parts are
// disjoint, so the order of work does not change the result. A part still
// unsorted after 4 log2(n) + 16 partition rounds (which ordinary tables never
// reach) is finished by heapsort, so a bucket crafted against the middle
// pivot sorts in O(n log n) instead of O(n^2).
void TranslationTable::SortBucket(TDynaArray<TranslationKey>& bucket) {
  const uint32_t n = bucket.Count();
  if (n < 2) return;
  struct Item {
    uint32_t rank;
    uint32_t from;  // its place in the unsorted bucket
  };
  std::vector<Item> items(n);
  {
    std::vector<uint32_t> byKey(n);
    for (uint32_t i = 0; i < n; ++i) byKey[i] = i;
    const size_t common = CommonPrefix(bucket);
    auto keyLess = [&](uint32_t x, uint32_t y) {
      return CompareKeys(bucket[x].key, bucket[y].key, common) < 0;
    };
    std::sort(byKey.begin(), byKey.end(), keyLess);
    uint32_t rank = 0;
    for (uint32_t i = 0; i < n; ++i) {
      if (i > 0 && keyLess(byKey[i - 1], byKey[i])) ++rank;
      items[byKey[i]] = Item{rank, byKey[i]};
    }
  }

  struct Sorter {
    std::vector<Item>& a;
    void Sort(int64_t low, int64_t high, int depth) {
      while (low < high) {
        if (depth-- <= 0) {
          Item* first = a.data() + low;
          Item* last = first + (high - low + 1);
          auto less = [](const Item& x, const Item& y) { return x.rank < y.rank; };
          std::make_heap(first, last, less);
          std::sort_heap(first, last, less);
          return;
        }
        int64_t i = low, j = high;
        const uint32_t pivot = a[static_cast<size_t>((low + high) / 2)].rank;
        do {
          while (a[static_cast<size_t>(i)].rank < pivot) ++i;
          while (a[static_cast<size_t>(j)].rank > pivot) --j;
          if (i <= j) {
            std::swap(a[static_cast<size_t>(i)], a[static_cast<size_t>(j)]);
            ++i;
            --j;
          }
        } while (i <= j);
        if (j - low < high - i) {
          if (low < j) Sort(low, j, depth);
          low = i;
        } else {
          if (i < high) Sort(i, high, depth);
          high = j;
        }
      }
    }
  };
  int log2n = 0;
  while ((int64_t(1) << log2n) < int64_t(n)) ++log2n;
  Sorter{items}.Sort(0, int64_t(n) - 1, 4 * log2n + 16);

  // Apply the permutation: each key is moved, never copied.
  std::vector<TranslationKey> sorted(n);
  for (uint32_t i = 0; i < n; ++i) sorted[i] = std::move(bucket[items[i].from]);
  for (uint32_t i = 0; i < n; ++i) bucket[i] = std::move(sorted[i]);
}

int32_t TranslationTable::Find(const std::u16string& german) const {
  int b = BucketOf(german);
  if (b < 0) return -1;
  const TDynaArray<TranslationKey>& bucket = buckets_[b];
  // The sorted part: the first of equal keys, as a walk from the front would find.
  const TranslationKey* sortedEnd = bucket.begin() + sorted_[b];
  const TranslationKey* k =
      std::lower_bound(bucket.begin(), sortedEnd, german,
                       [](const TranslationKey& x, const std::u16string& g) { return x.key < g; });
  if (k != sortedEnd && k->key == german) return k->entry;
  // Keys appended since the index was built, in the order they came.
  for (k = sortedEnd; k != bucket.end(); ++k)
    if (k->key == german) return k->entry;
  return -1;
}

std::u16string TranslationTable::TranslateText(const std::u16string& text, int language) {
  if (text.empty()) return text;
  size_t lead = 0;
  while (lead < text.size() && text[lead] == u' ') ++lead;
  if (lead == text.size()) return text;
  size_t end = text.size();
  while (end > lead && text[end - 1] == u' ') --end;
  const size_t trail = text.size() - end;
  const std::u16string s = text.substr(lead, end - lead);

  int32_t row = Find(s);
  if (row >= 0) {
    // German is the key itself: the text comes back exactly as given.
    if (language <= 0 || language >= kColumns) return text;
    const std::u16string& t = table_[static_cast<uint32_t>(row)].texts[language];
    if (t.empty()) return text;
    size_t a = 0, z = t.size();
    while (a < z && t[a] <= u' ') ++a;
    while (z > a && t[z - 1] <= u' ') --z;
    return std::u16string(lead, u' ') + t.substr(a, z - a) + std::u16string(trail, u' ');
  }
  AddEntry(s);
  SaveTranslationTable();
  return text;
}

int32_t TranslationTable::AddEntry(const std::u16string& german) {
  TranslationEntry* e = table_.Add();
  if (!e) return -1;
  e->texts[0] = german;
  const auto row = static_cast<int32_t>(table_.Count() - 1);
  if (!german.empty()) {
    // Appended at the end of its bucket; buckets are sorted only at load.
    // A key that does not sort before the last of a bucket that is still
    // wholly sorted keeps it sorted (equal keys: the earlier one still wins).
    const int b = BucketOf(german);
    TDynaArray<TranslationKey>& bucket = buckets_[b];
    const bool staysSorted =
        sorted_[b] == bucket.Count() && (bucket.Count() == 0 || !(german < bucket[bucket.Count() - 1].key));
    TranslationKey* k = bucket.Add();
    if (k) {
      k->key = german;
      k->entry = row;
      if (staysSorted) sorted_[b] = bucket.Count();
    }
  }
  return row;
}

void TranslationTable::SetText(uint32_t row, int column, const std::u16string& text) {
  if (row >= table_.Count() || column < 0 || column >= kColumns) return;
  // A changed German text keeps its old key in the index until the next
  // load, so lookups of the old text still find this row meanwhile.
  table_[row].texts[column] = text;
}

void TranslationTable::DeleteEntry(uint32_t row) {
  if (row >= table_.Count()) return;
  table_.Delete(static_cast<int32_t>(row));
  BuildIndex();
}

std::string TranslationTable::ToBytes() const {
  std::string out;
  PutI32(out, kColumns);
  PutI32(out, static_cast<int32_t>(table_.Count()));
  for (const TranslationEntry& e : table_)
    for (const std::u16string& t : e.texts) PutText(out, t);
  return out;
}

bool TranslationTable::SaveTranslationTable() {
  if (file_.empty()) return false;
  if (damaged_file_) {
    // The file on disk could not be read completely: keep it beside the new
    // one instead of replacing what could not be read.
    const std::string keep = file_ + ".damaged";
    std::remove(keep.c_str());
    if (std::rename(file_.c_str(), keep.c_str()) != 0) return false;
    damaged_file_ = false;
  }
  std::string reason;
  return ql::WriteFileSafely(file_, ToBytes(), reason);
}

// ---- The process-wide lookup of messages.h.

namespace {
TranslationTable* g_table = nullptr;
int g_language = 0;
}  // namespace

void SetCurrentTable(TranslationTable* table) { g_table = table; }
TranslationTable* CurrentTable() { return g_table; }
void SetLanguage(int language) { g_language = language; }
int Language() { return g_language; }

std::u16string Tr(const std::u16string& german) {
  return g_table ? g_table->TranslateText(german, g_language) : german;
}

std::u16string Msg(int n) {
  if (n < 1 || n > HighestMessageNumber()) return {};
  return Tr(MessageTable(n));
}

}  // namespace i18n
