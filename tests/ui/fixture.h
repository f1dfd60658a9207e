// A main window in a temporary program folder with scripted answers, for
// the window tests (offscreen platform).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "support/scripted_feedback.h"
#include "ui/mainwindow.h"
#include "ui/producttab.h"

namespace uitest {

inline QApplication* App() {
  static int argc = 1;
  static char arg0[] = "ui_tests";
  static char* argv[] = {arg0, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

// Message boxes answered from a queue; file dialogs return the queued names
// (an empty name cancels).
class ScriptedUi : public lifecycle::LifecycleUi {
 public:
  ScriptedFeedback fb;
  std::deque<std::u16string> saveNames, openNames;
  int saveDialogs = 0, openDialogs = 0;

  void ShowMessage(const std::u16string& t, const std::u16string& c, MessageIcon i) override {
    fb.ShowMessage(t, c, i);
  }
  Answer Ask(const std::u16string& t, const std::u16string& c, Buttons b) override { return fb.Ask(t, c, b); }
  bool AskSaveFileName(const std::u16string&, const std::u16string&, std::u16string& name) override {
    ++saveDialogs;
    return Take(saveNames, name);
  }
  bool AskOpenFileName(const std::u16string&, const std::u16string&, std::u16string& name) override {
    ++openDialogs;
    return Take(openNames, name);
  }

 private:
  static bool Take(std::deque<std::u16string>& q, std::u16string& name) {
    if (q.empty()) return false;
    name = q.front();
    q.pop_front();
    return !name.empty();
  }
};

inline std::u16string SamplePath() { return QStringLiteral(QL_BIN_DIR "/test.pk2").toStdU16String(); }

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir.isValid());
    progpath = dir.path().toStdString() + "/";
  }
  // language < 0: no options.dat (the program starts in English).
  void Start(int language = 0) {
    if (language >= 0) {
      std::ofstream o(progpath + "options.dat", std::ios::binary);
      const char b[4] = {static_cast<char>(language), 0, 0, 0};
      o.write(b, 4);
    }
    ui::MainWindowConfig c;
    c.progpath = progpath;
    c.userStoreFile = progpath + "user.ini";
    c.dialogs = &answers;
    c.offerTestProject = false;
    c.systemPrinter = false;
    c.recoveryFolder = progpath + "recovery";  // never the user's own folder
    if (configure) configure(c);
    window = std::make_unique<ui::MainWindow>(c);
    window->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    if (window) {
      window->document().changed = false;  // no questions while tearing down
      window.reset();
    }
  }
  void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  QTemporaryDir dir;
  std::string progpath;
  std::function<void(ui::MainWindowConfig&)> configure;  // adjusts the window's configuration
  ScriptedUi answers;
  std::unique_ptr<ui::MainWindow> window;
};

}  // namespace uitest
