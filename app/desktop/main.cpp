// quillane: the desktop program. Parses the arguments, creates the
// application and the main window, runs the event loop.
#include <QApplication>
#include <QDir>
#include <QStringList>

#include "core/temppaths.h"
#include "ui/mainwindow.h"

int main(int argc, char** argv) {
  ql::InstallInterruptCleanup();    // SIGINT/SIGTERM/SIGHUP remove temporary files
  ql::StartTemporaryPathJournal();  // removes what killed runs left behind
  QApplication app(argc, argv);
  ui::MainWindowConfig config;
  config.progpath = QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) config.args.push_back(args[i].toStdU16String());
  ui::MainWindow window(config);
  window.show();
  return app.exec();
}
