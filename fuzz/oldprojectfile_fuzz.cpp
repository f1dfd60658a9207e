// Fuzzes the reader of older-format project files. An accepted file, saved
// in the current format, must read back and save to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "project/dumpjson.h"
#include "project/projectfile.h"
#include "projectfile_fuzz_seeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzseeds::WriteIfAsked();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = "/fz/x.pkd";
  ReadOptions options;
  options.memoryBudget = 256u << 20;  // well inside the fuzzer's memory limit
  options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = size % 2 == 0;
  Document doc;
  std::u16string error;
  if (!ReadProjectBytes(doc, std::string_view(reinterpret_cast<const char*>(data), size),
                        ProjectFormat::Older, path, options, &error)) {
    if (error.empty() || !doc.kats.Empty()) std::abort();
    return 0;
  }
  (void)project::DumpJson(doc, path);
  const std::string first = ProjectFileBytes(doc, "/fz/x.pk2");
  Document again;
  if (!ReadProjectBytes(again, first, ProjectFormat::Current, "/fz/x.pk2", options, &error)) std::abort();
  if (ProjectFileBytes(again, "/fz/x.pk2") != first) std::abort();
  return 0;
}
