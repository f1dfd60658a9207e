// Fuzzes the reader of translate.dat. Whatever the reader keeps must save and
// load again to the very same table, and every key of the index must find a
// row holding that German text.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "i18n/translate.h"

// With QL_FUZZ_SEEDS naming a folder and QL_FUZZ_TRANSLATE_DAT the shipped
// translate.dat: writes that table and a 20-row cut of it as seeds.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("QL_FUZZ_SEEDS");
  const char* shipped = std::getenv("QL_FUZZ_TRANSLATE_DAT");
  if (!dir || !shipped) return 0;
  std::ifstream in(shipped, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  i18n::TranslationTable full, cut;
  full.LoadFromBytes(bytes);
  for (uint32_t r = 0; r < full.Count() && r < 20; ++r) {
    const auto row = static_cast<uint32_t>(cut.AddEntry(full.Entry(r).texts[0]));
    for (int c = 1; c < i18n::kColumns; ++c) cut.SetText(row, c, full.Entry(r).texts[c]);
  }
  std::ofstream(std::string(dir) + "/translate.dat", std::ios::binary) << full.ToBytes();
  std::ofstream(std::string(dir) + "/translate-20.dat", std::ios::binary) << cut.ToBytes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  i18n::TranslationTable table;
  const i18n::LoadStatus status = table.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
  if (status == i18n::LoadStatus::Damaged && table.LoadProblem().empty()) std::abort();
  for (int b = 0; b < i18n::kBuckets; ++b) {
    const auto& bucket = table.Bucket(b);
    for (uint32_t i = 0; i < bucket.Count(); ++i) {
      if (i > 0 && bucket[i - 1].key > bucket[i].key) std::abort();  // sorted
      if (bucket[i].entry < 0 || static_cast<uint32_t>(bucket[i].entry) >= table.Count()) std::abort();
      if (table.Entry(static_cast<uint32_t>(bucket[i].entry)).texts[0] != bucket[i].key) std::abort();
    }
  }
  const std::string saved = table.ToBytes();
  i18n::TranslationTable again;
  if (again.LoadFromBytes(saved) != i18n::LoadStatus::Loaded) std::abort();
  if (again.ToBytes() != saved || again.Count() != table.Count()) std::abort();
  for (uint32_t r = 0; r < table.Count(); ++r)
    if (!table.Entry(r).texts[0].empty() && again.Find(table.Entry(r).texts[0]) < 0) std::abort();
  return 0;
}
