// Fuzzes the reader of options.dat (read from a file, as the program does,
// in a folder of its own under /dev/shm). The language read is always one
// the menu offers; a file that holds 0 ... 3 in its first four bytes gives
// exactly that language; and saving the language read and loading again
// gives it back from the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "i18n/languages.h"
#include "project/optionsfile.h"

namespace {
std::string Folder() {
  static const std::string dir = [] {
    std::string t = "/dev/shm/options_fuzz.XXXXXX";
    if (!mkdtemp(t.data())) std::abort();
    return t + "/";
  }();
  return dir;
}
}  // namespace

// With QL_FUZZ_SEEDS naming a folder: the files the language menu writes.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("QL_FUZZ_SEEDS");
  if (!dir) return 0;
  const std::string d = options::WithTrailingSeparator(dir);
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    const int lang = l.column;
    options::SaveOptions(d, lang);
    std::rename((d + "options.dat").c_str(), (d + "options-" + std::to_string(lang) + ".dat").c_str());
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string dir = Folder();
  {
    std::ofstream f(dir + "options.dat", std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const options::LoadedOptions o = options::LoadOptions(dir);
  if (!i18n::FindInterfaceLanguage(o.language)) std::abort();
  if (size >= 4) {
    const auto v = static_cast<int32_t>(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                                        uint32_t(data[3]) << 24);
    const bool ours = i18n::FindInterfaceLanguage(v) != nullptr;
    if (o.fromFile != ours || (ours && o.language != v)) std::abort();
  } else if (o.fromFile || o.language != options::kEnglish) {
    std::abort();
  }
  if (!options::SaveOptions(dir, o.language)) std::abort();
  const options::LoadedOptions back = options::LoadOptions(dir);
  if (!back.fromFile || back.language != o.language) std::abort();
  return 0;
}
