// Image plug-ins (JPEG, GIF) are found through the application object; the
// tests create one core application for the whole executable.
#pragma once

#include <QCoreApplication>

inline void EnsureCoreApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "sample_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}
