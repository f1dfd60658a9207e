#include "support.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/codepage.h"
#include "platform/guiapp.h"
#include "project/projectfile.h"

namespace cli {

bool ParseNumber(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtod(s.c_str(), &end);
  return errno == 0 && end && *end == '\0' && std::isfinite(out);
}

bool ParseInt(const std::string& s, long& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtol(s.c_str(), &end, 10);
  return errno == 0 && end && *end == '\0';
}

bool OpenProject(Document& doc, const std::string& path) {
  std::u16string error;
  if (OpenProjectFile(doc, path, ReadOptions::FromDocument(doc), &error)) return true;
  std::fprintf(stderr, "%s\n", ql::ToUtf8(error).c_str());
  return false;
}

std::unique_ptr<RenderSetup> MakeRenderSetup(Document& doc, const char* command) {
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "quillane-cli %s: fonts are not available\n", command);
    return nullptr;
  }
  return std::make_unique<RenderSetup>(doc);
}

void ReportPictureProblems(RenderSetup& setup, const char* command) {
  const auto problems = setup.loader.TakeProblems();
  if (problems.empty()) return;
  std::fprintf(stderr, "quillane-cli %s: %zu picture%s could not be drawn:\n", command, problems.size(),
               problems.size() == 1 ? "" : "s");
  for (const auto& p : problems) std::fprintf(stderr, "  %s\n", p.reason.c_str());
}

}  // namespace cli
