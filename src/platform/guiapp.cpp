#include "platform/guiapp.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace platform {

bool EnsureGuiApplication() {
  if (QCoreApplication::instance()) return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  if (!std::getenv("QT_QPA_PLATFORM") && !display) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The application object lives until the process ends; argv must outlive it.
  static int argc = 1;
  static char name[] = "quillane";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
  return true;
}

}  // namespace platform
