#include "core/alloc.h"

#include <cstdio>

namespace ql {
namespace {
AllocationFailureHandler g_handler;
uint64_t g_limit = 0;
}  // namespace

std::string AllocationFailureText(int kind, uint64_t bytes) {
  return "Error " + std::to_string(kind) + " while trying to allocate " + std::to_string(bytes) +
         " bytes of RAM. Not enough memory.";
}

void SetAllocationFailureHandler(AllocationFailureHandler handler) { g_handler = std::move(handler); }

void ReportAllocationFailure(int kind, uint64_t bytes) {
  const std::string text = AllocationFailureText(kind, bytes);
  if (g_handler)
    g_handler(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

void SetAllocationLimit(uint64_t bytes) { g_limit = bytes; }

bool AllocationAllowed(uint64_t bytes) { return g_limit == 0 || bytes <= g_limit; }

}  // namespace ql
