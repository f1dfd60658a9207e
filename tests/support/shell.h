// What the tests that read files back through outside programs (qpdf,
// pdftotext, pdfinfo, Ghostscript) share: a file's bytes, a shell command's
// output and exit status, and a quoted shell word.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace qltest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs a shell command; its standard output, and its exit status in `rc`.
inline std::string Sh(const std::string& cmd, int* rc = nullptr) {
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int st = ::pclose(p);
  if (rc) *rc = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

// A word for the shell, in single quotes (names without a quote of their own).
inline std::string Q(const std::string& s) { return "'" + s + "'"; }

}  // namespace qltest
