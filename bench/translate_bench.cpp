// bench_translate: what loading translate.dat and looking texts up cost when
// a crafted file puts every key into one bucket of the index.
//
//   load_50k_one_bucket_s   CPU seconds to load 50,000 rows whose keys all
//                           start with "K", in a shuffled order
//   worst_order_s           the same keys in the order worst for a
//                           middle-pivot quicksort
//   long_prefix_s           50,000 shuffled keys sharing a 200-character
//                           beginning after the "K"
//   long_prefix_worst_s     those keys in the worst order
//   lookups_50k_s           CPU seconds for 50,000 lookups (every key once)
//                           in the loaded 50,000-key bucket
//   load_mb                 peak resident memory of the process that loads
//                           the shuffled table (its bytes included)
//   one_column_1mb_s        CPU seconds to load a 1 MB file of one column:
//   one_column_1mb_mb       166,666 rows of the same one-letter key (each
//                           row still holds 20 texts), and the peak memory
//
// The table is loaded once per program start, so each figure is measured in
// a fresh process (this program started again with --child), the best of
// three. The last line of the output is
//   translate: load_50k_one_bucket_s=... worst_order_s=... long_prefix_s=... long_prefix_worst_s=...
//   lookups_50k_s=... load_mb=... one_column_1mb_s=... one_column_1mb_mb=...
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "i18n/translate.h"
#include "support/translate_tables.h"

namespace {

constexpr int kRows = 50000;
constexpr size_t kOneColumnRows = 1000000 / 6;  // a count and one code unit a row

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::vector<std::u16string> Keys(const std::string& mode) {
  using namespace testsupport;
  const std::u16string prefix(200, u'x');
  if (mode == "worst") return MiddlePivotWorstKeys(kRows);
  if (mode == "prefix") return ShuffledKeys(kRows, 5, prefix);
  if (mode == "prefix-worst") return MiddlePivotWorstKeys(kRows, prefix);
  return ShuffledKeys(kRows, 5);
}

// Loads the table of `mode` and prints the CPU seconds of the load (mode
// "lookup": of looking every key up afterwards).
int Child(const std::string& mode) {
  const bool oneColumn = mode == "one-column";
  const std::vector<std::u16string> keys =
      oneColumn ? std::vector<std::u16string>(kOneColumnRows, u"K") : Keys(mode);
  const std::string bytes = testsupport::TranslateTableBytes(keys, oneColumn ? 1 : 20);
  i18n::TranslationTable table;
  double t0 = CpuSeconds();
  if (table.LoadFromBytes(bytes) != i18n::LoadStatus::Loaded || table.Count() != keys.size()) {
    std::printf("the crafted table did not load\n");
    return 1;
  }
  double seconds = CpuSeconds() - t0;
  if (mode == "lookup") {
    size_t found = 0;
    t0 = CpuSeconds();
    for (const auto& k : keys) found += table.TranslateText(k, 1).size() == k.size() + 1;
    seconds = CpuSeconds() - t0;
    if (found != keys.size() || table.Count() != kRows) {
      std::printf("a lookup missed its key\n");
      return 1;
    }
  }
  std::printf("%.3f\n", seconds);
  return 0;
}

struct Best {
  double seconds = 1e9;
  double peakMb = 1e9;
};

Best RunChildren(const std::string& self, const std::string& mode) {
  Best best;
  for (int run = 0; run < 3; ++run) {
    const bench::ChildOutput c = bench::RunSelf(self, {"--child", mode});
    if (!c.ok) {
      std::fprintf(stderr, "bench_translate: child %s failed: %s\n", mode.c_str(), c.out.c_str());
      std::exit(1);
    }
    best.seconds = std::min(best.seconds, std::atof(c.out.c_str()));
    best.peakMb = std::min(best.peakMb, c.peakMb);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--child") return Child(argv[2]);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe");
  const Best shuffled = RunChildren(self, "shuffled");
  const Best worst = RunChildren(self, "worst");
  const Best prefix = RunChildren(self, "prefix");
  const Best prefixWorst = RunChildren(self, "prefix-worst");
  const Best lookup = RunChildren(self, "lookup");
  const Best oneColumn = RunChildren(self, "one-column");
  std::printf(
      "translate: load_50k_one_bucket_s=%.3f worst_order_s=%.3f long_prefix_s=%.3f long_prefix_worst_s=%.3f "
      "lookups_50k_s=%.3f load_mb=%.1f one_column_1mb_s=%.3f one_column_1mb_mb=%.1f\n",
      shuffled.seconds, worst.seconds, prefix.seconds, prefixWorst.seconds, lookup.seconds, shuffled.peakMb,
      oneColumn.seconds, oneColumn.peakMb);
  return 0;
}
