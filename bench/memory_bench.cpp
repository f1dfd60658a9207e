// bench_memory: what the record arrays cost on crafted and typical input.
//
//   bytes_per_product       heap bytes a typical product (3 pictures, a 10 x 5
//                           variant table) takes beyond its texts, averaged
//                           over 2,000 products of one category. The texts
//                           are short enough to live inside their 55 string
//                           objects (name, description, 3 file names, 50
//                           cells); those objects are the texts' storage and
//                           are subtracted, everything else (records, array
//                           blocks and their slack, heap overhead) counts
//   read_80k_categories_s   seconds to read a project file of 80,000 empty
//   read_80k_categories_mb  categories, and the peak resident memory of the
//                           process that reads it
//   read_500k_rows_s        seconds to read a project file of one product with
//                           500,000 one-cell variant rows
//   csv_50k_products_mb     peak resident memory of the process that imports
//                           50,000 products (one picture, two rows of three
//                           cells each) from a CSV file
//
// Each read and the import run in a child process (this program started
// again with --child), so the peak memory comes from wait4() of that child
// alone and includes the program's own resident size (about 10 MB).
//
// usage: bench_memory [--keep DIR]
// With QL_BENCH_CHILD_LIMIT=SECONDS every child ends after that many seconds
// (for measuring builds whose reading is quadratic); its time then shows as
// the negative limit and its memory as the peak reached until then.
// The last line of the output is
//   memory: bytes_per_product=... read_80k_categories_s=... read_80k_categories_mb=... read_500k_rows_s=...
//   csv_50k_products_mb=...
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/codepage.h"
#include "csv/csvimport.h"
#include "project/document.h"
#include "project/projectfile.h"
#include "support/crafted_project.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string FiveHundredThousandRows() {
  std::string bytes = testsupport::OneProductRowsFile(500000);
  if (bytes.empty()) {
    std::fprintf(stderr, "bench_memory: the writer's part A changed\n");
    std::exit(1);
  }
  return bytes;
}

std::string FiftyThousandCsvProducts() {
  std::string out;
  out.reserve(50000 * 60);
  for (int i = 0; i < 50000; ++i)
    out += "Produkt " + std::to_string(i) + ";Beschreibung;bild" + std::to_string(i % 100) +
           ".jpg;A1;B2;C3;D4;E5;F6\r\n";
  return out;
}

void WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary);
  f << bytes;
}

size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

double BytesPerProduct() {
  constexpr int kProducts = 2000;
  const size_t before = HeapInUse();
  {
    Document doc;
    Category* cat = doc.AddCategory(u"K");
    for (int i = 0; i < kProducts; ++i) {
      Product* p = doc.AddProduct(*cat);
      p->name = u"P";
      for (int k = 0; k < 3; ++k) {
        Picture* pic = doc.AddPicture(*p);
        pic->filename = u"b.jpg";
        pic->width = 4;
      }
      for (int r = 0; r < 10; ++r) {
        VariantRow* row = doc.AddRow(*p);
        for (int c = 0; c < 5; ++c) row->cells.Add()->text = u"12,50";
      }
    }
    const size_t after = HeapInUse();
    constexpr size_t kTextsEach = 2 + 3 + 50;
    const double total = static_cast<double>(after - before) / kProducts;
    std::printf("typical product: %.0f heap bytes, %zu of them its texts\n", total,
                kTextsEach * sizeof(std::u16string));
    return total - static_cast<double>(kTextsEach * sizeof(std::u16string));
  }
}

struct ChildResult {
  double seconds = -1;
  double peakMb = -1;
};

ChildResult RunChild(const std::string& self, const std::string& mode, const std::string& file) {
  ChildResult res;
  const bench::ChildOutput c = bench::RunSelf(self, {"--child", mode, file});
  if (c.signal == SIGALRM) {
    res.seconds = -std::atof(std::getenv("QL_BENCH_CHILD_LIMIT"));
    res.peakMb = c.peakMb;
    return res;
  }
  if (!c.ok) {
    std::fprintf(stderr, "bench_memory: child %s failed: %s\n", mode.c_str(), c.out.c_str());
    return res;
  }
  res.seconds = std::atof(c.out.c_str());
  res.peakMb = c.peakMb;
  return res;
}

int Child(const std::string& mode, const std::string& file) {
  if (const char* limit = std::getenv("QL_BENCH_CHILD_LIMIT")) alarm(static_cast<unsigned>(std::atoi(limit)));
  const auto t0 = Clock::now();
  Document doc;
  if (mode == "read") {
    std::u16string err;
    if (!OpenProjectFile(doc, file, ReadOptions::FromDocument(doc), &err)) {
      std::printf("%s\n", ql::ToUtf8(err).c_str());
      return 1;
    }
  } else {
    struct Silent : Feedback {
      void ShowMessage(const std::u16string& text, const std::u16string&, MessageIcon) override {
        std::fprintf(stderr, "%s\n", ql::ToUtf8(text).c_str());
      }
      Answer Ask(const std::u16string&, const std::u16string&, Buttons) override { return Answer::No; }
    } fb;
    doc.AddCategory(u"K");
    csv::ImportResult r = csv::ImportCSVFile(doc, 0, file, csv::ImportContext{}, fb);
    if (r.products != 50000) {
      std::printf("imported %u products\n", r.products);
      return 1;
    }
  }
  std::printf("%.3f\n", std::chrono::duration<double>(Clock::now() - t0).count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3]);
  bool keep = false;
  const fs::path dir = bench::WorkFolder(argc, argv, "bench_memory", keep);
  const std::string self = fs::read_symlink("/proc/self/exe");

  const double perProduct = BytesPerProduct();
  WriteFile(dir / "cats.pk2", testsupport::EmptyCategoriesFile(80000));
  WriteFile(dir / "rows.pk2", FiveHundredThousandRows());
  WriteFile(dir / "products.csv", FiftyThousandCsvProducts());

  const ChildResult cats = RunChild(self, "read", (dir / "cats.pk2").string());
  std::printf("80,000 categories (%ju bytes): %.3f s, %.1f MB\n",
              static_cast<uintmax_t>(fs::file_size(dir / "cats.pk2")), cats.seconds, cats.peakMb);
  const ChildResult rows = RunChild(self, "read", (dir / "rows.pk2").string());
  std::printf("500,000 rows (%ju bytes): %.3f s, %.1f MB\n",
              static_cast<uintmax_t>(fs::file_size(dir / "rows.pk2")), rows.seconds, rows.peakMb);
  const ChildResult csvr = RunChild(self, "csv", (dir / "products.csv").string());
  std::printf("50,000 CSV products: %.3f s, %.1f MB\n", csvr.seconds, csvr.peakMb);
  if (!keep) fs::remove_all(dir);

  std::printf(
      "memory: bytes_per_product=%.0f read_80k_categories_s=%.3f read_80k_categories_mb=%.1f "
      "read_500k_rows_s=%.3f csv_50k_products_mb=%.1f\n",
      perProduct, cats.seconds, cats.peakMb, rows.seconds, csvr.peakMb);
  return 0;
}
