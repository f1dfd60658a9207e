#include "project/options.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

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
  const auto v = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                      (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
  // The language menu only ever writes 0 ... 3; anything else is not ours.
  if (v < kGerman || v > kDutch) return o;
  o.language = v;
  o.fromFile = true;
  return o;
}

bool SaveOptions(const std::string& progpath, int language) {
  const std::string path = progpath + "options.dat";
  const std::string tmp = path + ".tmp";
  const auto u = static_cast<uint32_t>(static_cast<int32_t>(language));
  const char b[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                     static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::write(fd, b, 4) == 4 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    std::remove(tmp.c_str());
    return false;
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace options
