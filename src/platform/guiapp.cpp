#include "platform/guiapp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

namespace platform {

bool EnsureGuiApplication() {
  if (QCoreApplication::instance())
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  if (!std::getenv("QT_QPA_PLATFORM") && !display) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Headless runs (CI, batch jobs) often have no runtime folder; give Qt the
  // private one it would choose anyway, so it does not warn on every run.
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    const std::string dir = "/tmp/runtime-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) {
      struct stat st;
      if (stat(dir.c_str(), &st) == 0 && st.st_uid == getuid() && (st.st_mode & 0077) == 0)
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 0);
    }
  }
  // The application object lives until the process ends; argv must outlive it.
  static int argc = 1;
  static char name[] = "quillane";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
  return true;
}

}  // namespace platform
