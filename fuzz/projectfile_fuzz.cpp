// Fuzzes the reader of current-format project files. Every file the reader
// accepts must survive being written and read again: the second write gives
// the same bytes as the first.
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
  const std::string path = "/fz/x.pk2";
  ReadOptions options;
  options.memoryBudget = 256u << 20;  // well inside the fuzzer's memory limit
  options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = size % 2 == 0;
  Document doc;
  std::u16string error;
  if (!ReadProjectBytes(doc, std::string_view(reinterpret_cast<const char*>(data), size),
                        ProjectFormat::Current, path, options, &error)) {
    if (error.empty() || !doc.kats.Empty()) std::abort();  // a failure must say why and keep the document
    return 0;
  }
  (void)project::DumpJson(doc, path);
  const std::string first = ProjectFileBytes(doc, path);
  Document again;
  if (!ReadProjectBytes(again, first, ProjectFormat::Current, path, options, &error)) std::abort();
  if (ProjectFileBytes(again, path) != first) std::abort();
  return 0;
}
