// bench_translate: what loading translate.dat and looking texts up cost when
// a crafted file puts every key into one bucket of the index.
//
//   load_50k_one_bucket_s   CPU seconds to load 50,000 rows whose keys all
//                           start with "K", in a shuffled order
//   worst_order_s           the same keys in the order worst for a
//                           middle-pivot quicksort
//   long_prefix_s           50,000 shuffled keys sharing a 200-character
//                           prefix after the "K"
//   long_prefix_worst_s     those keys in the worst order
//   lookups_50k_s           CPU seconds for 50,000 lookups (every key once)
//                           in the loaded 50,000-key bucket
//
// Each figure is the best of three runs. The last line of the output is
//   translate: load_50k_one_bucket_s=... worst_order_s=... long_prefix_s=... long_prefix_worst_s=...
//   lookups_50k_s=...
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/translate.h"
#include "support/translate_tables.h"

namespace {

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Best of three loads of `bytes`; exits when a load does not read all of it.
double LoadSeconds(const std::string& bytes) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    i18n::TranslationTable table;
    const double t0 = CpuSeconds();
    const i18n::LoadStatus s = table.LoadFromBytes(bytes);
    best = std::min(best, CpuSeconds() - t0);
    if (s != i18n::LoadStatus::Loaded || table.Count() != 50000) {
      std::fprintf(stderr, "bench_translate: the crafted table did not load\n");
      std::exit(1);
    }
  }
  return best;
}

double LookupSeconds(const std::vector<std::u16string>& keys) {
  i18n::TranslationTable table;
  table.LoadFromBytes(testsupport::TranslateTableBytes(keys));
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    size_t found = 0;
    const double t0 = CpuSeconds();
    for (const auto& k : keys) found += table.TranslateText(k, 1).size() == k.size() + 1;
    best = std::min(best, CpuSeconds() - t0);
    if (found != keys.size() || table.Count() != keys.size()) {
      std::fprintf(stderr, "bench_translate: a lookup missed its key\n");
      std::exit(1);
    }
  }
  return best;
}

}  // namespace

int main() {
  using namespace testsupport;
  const int n = 50000;
  const std::u16string prefix(200, u'x');
  const std::vector<std::u16string> shuffled = ShuffledKeys(n, 5);
  const double shuffledS = LoadSeconds(TranslateTableBytes(shuffled));
  const double worstS = LoadSeconds(TranslateTableBytes(MiddlePivotWorstKeys(n)));
  const double prefixS = LoadSeconds(TranslateTableBytes(ShuffledKeys(n, 5, prefix)));
  const double prefixWorstS = LoadSeconds(TranslateTableBytes(MiddlePivotWorstKeys(n, prefix)));
  const double lookupS = LookupSeconds(shuffled);
  std::printf(
      "translate: load_50k_one_bucket_s=%.3f worst_order_s=%.3f long_prefix_s=%.3f long_prefix_worst_s=%.3f "
      "lookups_50k_s=%.3f\n",
      shuffledS, worstS, prefixS, prefixWorstS, lookupS);
  return 0;
}
