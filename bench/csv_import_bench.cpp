// bench_csv_import: the category import of CSV files with only distinct
// category names, each name looked up among those imported before it.
//
//   categories_12k_s, categories_50k_s, categories_200k_s
//       seconds to import 12,500, 50,000 and 200,000 categories (one record
//       each: name, introduction, picture, picture width) into an empty
//       document, the file read from memory
//   update_200k_s
//       seconds to import the 200,000 records once more into the filled
//       document (every record updates an existing category)
//   categories_200k_cpu_s, update_200k_cpu_s
//       the CPU seconds of the two 200,000 imports (on a busy machine the
//       wall-clock figures above include the time other processes ran)
//
// The last line of the output is
//   csv_import: categories_12k_s=... categories_50k_s=... categories_200k_s=... update_200k_s=...
//   categories_200k_cpu_s=... update_200k_cpu_s=...
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "csv/csvimport.h"
#include "csv/csvreader.h"
#include "project/document.h"

namespace {

using Clock = std::chrono::steady_clock;

class QuietFeedback : public Feedback {
 public:
  void ShowMessage(const std::u16string&, const std::u16string&, MessageIcon) override {}
  Answer Ask(const std::u16string&, const std::u16string&, Buttons) override { return Answer::No; }
};

std::string CategoryFile(int n) {
  std::string s;
  s.reserve(static_cast<size_t>(n) * 48);
  for (int i = 0; i < n; ++i)
    s += "Kategorie " + std::to_string(i) + ";Einleitung " + std::to_string(i) + ";bild.jpg;3.5\r\n";
  return s;
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

double Import(Document& doc, const std::string& bytes, uint32_t expectCreated, uint32_t expectUpdated,
              double* cpu = nullptr) {
  QuietFeedback fb;
  csv::ImportContext ctx;
  csv::MemoryByteReader in(bytes);
  const auto t0 = Clock::now();
  const double c0 = CpuSeconds();
  const csv::ImportResult r = csv::ImportCategories(doc, -1, in, u"bench.csv", ctx, fb);
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  if (cpu) *cpu = CpuSeconds() - c0;
  if (!r.complete || r.categoriesCreated != expectCreated || r.categoriesUpdated != expectUpdated) {
    std::fprintf(stderr, "bench_csv_import: %u created, %u updated\n", r.categoriesCreated,
                 r.categoriesUpdated);
    std::exit(1);
  }
  return s;
}

}  // namespace

int main() {
  double secs[3], cpu = 0, updateCpu = 0;
  const int counts[3] = {12500, 50000, 200000};
  for (int i = 0; i < 3; ++i) {
    Document doc;
    secs[i] = Import(doc, CategoryFile(counts[i]), counts[i], 0, &cpu);
    std::printf("%d categories: %.3f s (%.3f s CPU)\n", counts[i], secs[i], cpu);
  }
  Document doc;
  const std::string file = CategoryFile(200000);
  Import(doc, file, 200000, 0);
  const double update = Import(doc, file, 0, 200000, &updateCpu);
  std::printf("200000 categories updated: %.3f s (%.3f s CPU)\n", update, updateCpu);
  std::printf(
      "csv_import: categories_12k_s=%.3f categories_50k_s=%.3f categories_200k_s=%.3f update_200k_s=%.3f "
      "categories_200k_cpu_s=%.3f update_200k_cpu_s=%.3f\n",
      secs[0], secs[1], secs[2], update, cpu, updateCpu);
  return 0;
}
