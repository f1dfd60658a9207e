// Fuzzes the reader of variant-table templates (".vor"). Every title read
// must survive being saved (Windows-1252, characters it lacks become "?")
// and read again; a title without line breaks is one line of the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "project/templatefile.h"

namespace {
std::string File() {
  static const std::string path = [] {
    std::string t = "/dev/shm/template_fuzz.XXXXXX";
    if (!mkdtemp(t.data())) std::abort();
    return t + "/t.vor";
  }();
  return path;
}
}  // namespace

// With QL_FUZZ_SEEDS naming a folder: the default template as the program
// saves it, and the same titles with UTF-8 and UTF-16 byte order marks.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("QL_FUZZ_SEEDS");
  if (!dir) return 0;
  const std::vector<std::u16string> titles = {
      u"Name", u"Art. Nummer", u"Preis", u"Ab 10 Stk.", u"Ab 100 Stk.", u"Gr\u00F6\u00DFe \u20AC", u""};
  const std::string d(dir);
  SaveTemplateFile(d + "/vorlage.vor", titles);
  std::string utf8 = "\xEF\xBB\xBF", utf16 = "\xFF\xFE";
  for (const std::u16string& t : titles) {
    utf8 += ql::ToUtf8(t) + "\n";
    for (char16_t c : t + u"\r\n") {
      utf16 += static_cast<char>(c & 0xFF);
      utf16 += static_cast<char>(c >> 8);
    }
  }
  FILE* f = std::fopen((d + "/vorlage-utf8.vor").c_str(), "wb");
  if (f) std::fwrite(utf8.data(), 1, utf8.size(), f), std::fclose(f);
  f = std::fopen((d + "/vorlage-utf16.vor").c_str(), "wb");
  if (f) std::fwrite(utf16.data(), 1, utf16.size(), f), std::fclose(f);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::u16string> titles = ParseTemplateText(bytes);
  for (const std::u16string& t : titles)
    if (t.find_first_of(u"\r\n") != std::u16string::npos) std::abort();
  if (!SaveTemplateFile(File(), titles)) std::abort();
  std::vector<std::u16string> back;
  if (!LoadTemplateFile(File(), back)) std::abort();
  // A first title that starts like a byte order mark in Windows-1252 reads
  // back in that encoding; nothing else may change.
  if (!titles.empty()) {
    const std::string first = ql::ToCp1252(titles[0]);
    if (first.rfind("\xEF\xBB\xBF", 0) == 0 || first.rfind("\xFF\xFE", 0) == 0 ||
        first.rfind("\xFE\xFF", 0) == 0)
      return 0;
  }
  if (back.size() != titles.size()) std::abort();
  for (size_t i = 0; i < titles.size(); ++i)
    if (back[i] != ql::FromCp1252(ql::ToCp1252(titles[i]))) std::abort();
  return 0;
}
