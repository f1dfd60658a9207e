// Helpers shared by the PDF writer tests: temporary folders, bitmaps with
// recognisable pixels, reading files and inflating streams.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/dib/dib.h"

namespace pdftest {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string t = (fs::temp_directory_path() / "ql-pdftest-XXXXXX").string();
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back('\0');
    path_ = mkdtemp(buf.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string Inflate(const std::string& data) {
  z_stream zs{};
  inflateInit(&zs);
  std::string out;
  std::vector<char> buf(1 << 16);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  int rc;
  do {
    zs.next_out = reinterpret_cast<Bytef*>(buf.data());
    zs.avail_out = static_cast<uInt>(buf.size());
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(buf.data(), buf.size() - zs.avail_out);
  } while (rc == Z_OK);
  inflateEnd(&zs);
  EXPECT_EQ(rc, Z_STREAM_END);
  return out;
}

inline std::string Deflate(const std::string& data, int level) {
  uLongf len = compressBound(static_cast<uLong>(data.size()));
  std::string out(len, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &len, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), level);
  out.resize(len);
  return out;
}

// A 24-bit bitmap whose pixel (x, y from the top) has a colour derived from
// x, y and `seed`; the row padding is filled with 0xEE so it cannot pass
// unnoticed into the samples.
inline dib PatternDib(int32_t w, int32_t h, uint32_t seed = 0) {
  dib d;
  newdib(d, w, h, 24);
  std::fill(d.pixels.begin(), d.pixels.end(), 0xEE);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t v = (x * 37u + y * 101u + seed * 13u) * 2654435761u;
      setpixel(d, x, y, v & 0xFFFFFF);
    }
  return d;
}

// Text of object `n` ("n 0 obj" up to and including "endobj\n").
inline std::string ObjectText(const std::string& pdf, int n) {
  const std::string head = "\n" + std::to_string(n) + " 0 obj\n";
  size_t at = pdf.find(head);
  if (at == std::string::npos) return {};
  at += 1;
  size_t end = pdf.find("endobj\n", at);
  return end == std::string::npos ? std::string() : pdf.substr(at, end + 7 - at);
}

// Data of the stream in object `n` with the length the dictionary gives
// (a number or an indirect length object).
inline std::string StreamData(const std::string& pdf, int n) {
  const std::string obj = ObjectText(pdf, n);
  size_t l = obj.find("/Length ");
  if (l == std::string::npos) return {};
  long long len = std::atoll(obj.c_str() + l + 8);
  if (obj.compare(l + 8 + std::to_string(len).size(), 4, " 0 R") == 0) {
    const std::string lobj = ObjectText(pdf, static_cast<int>(len));
    len = std::atoll(lobj.c_str() + lobj.find('\n') + 1);
  }
  const size_t s = obj.find("stream\n");
  return obj.substr(s + 7, static_cast<size_t>(len));
}

inline bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string RunCapture(const std::string& cmd, int* status = nullptr) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof(buf), p)) > 0) out.append(buf, n);
  const int rc = pclose(p);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

}  // namespace pdftest
