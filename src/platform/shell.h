// Handing a file to the desktop.
#pragma once

#include <string>

namespace platform {

// Opens `path` (UTF-8) with its default application; false when the file
// does not exist or the desktop refuses.
bool OpenWithDefaultApplication(const std::string& path);

}  // namespace platform
