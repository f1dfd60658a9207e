#include "project/optionsfile.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "core/safefile.h"
#include "i18n/languages.h"

namespace options {

std::string WithTrailingSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + '/';
}

LoadedOptions LoadOptions(const std::string& progpath) {
  LoadedOptions o;
  std::ifstream in(progpath + "options.dat", std::ios::binary);
  if (!in) return o;
  unsigned char b[4];
  if (!in.read(reinterpret_cast<char*>(b), 4)) return o;  // short file: English
  const auto v =
      static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
  // The language menu only ever writes a language's column; anything else is not ours.
  if (!i18n::FindInterfaceLanguage(v)) return o;
  o.language = v;
  o.fromFile = true;
  return o;
}

bool SaveOptions(const std::string& progpath, int language) {
  const std::string path = progpath + "options.dat";
  const auto u = static_cast<uint32_t>(static_cast<int32_t>(language));
  const char b[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                     static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
  std::string reason;
  return ql::WriteFileSafely(path, std::string_view(b, 4), reason);
}

}  // namespace options
