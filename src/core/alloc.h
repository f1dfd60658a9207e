// Reporting of failed record-array allocations.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ql {

// The fixed English text for a failed allocation: kind 1 = first block,
// 2 = growth of an existing block, 3 = shrink.
std::string AllocationFailureText(int kind, uint64_t bytes);

// The UI installs a handler that shows the text in a message box; without one
// the text goes to stderr.
using AllocationFailureHandler = std::function<void(const std::string&)>;
void SetAllocationFailureHandler(AllocationFailureHandler handler);
void ReportAllocationFailure(int kind, uint64_t bytes);

// Upper bound for one block in bytes (0 = no bound besides the 32-bit size
// arithmetic). Tests lower it to exercise the failure paths.
void SetAllocationLimit(uint64_t bytes);
bool AllocationAllowed(uint64_t bytes);

}  // namespace ql
