// Work the user does is never lost without a question: every change marks
// the document and is one undo step, the undo keys reach the history from
// the text boxes, and a recovery copy survives a killed program.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "editing/variants.h"
#include "fixture.h"
#include "ui/preview.h"
#include "ui/undohistory.h"

namespace uitest {
namespace {

// Runs `handle` on the next modal dialog once it is shown (polled, as a
// dialog's exec does not return to the caller until it closes).
template <typename D = QDialog, typename F>
void OnNextDialog(F handle) {
  auto tries = std::make_shared<int>(0);
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [=] {
    if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
      handle(d);
      return;
    }
    if (++*tries < 300) QTimer::singleShot(10, *poll);
  };
  QTimer::singleShot(0, *poll);
}

class UnsavedTest : public WindowTest {
 protected:
  QString UndoText() {
    return window->findChild<QAction*>(QStringLiteral("Rueckgaengig1"))->text().remove(QLatin1Char('&'));
  }
  void Trigger(const char* action) {
    auto* a = window->findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }
  // The sample saved into the test folder, so saves and exports stay there.
  QString OpenSampleCopy(const QString& name = QStringLiteral("katalog.pk2")) {
    EXPECT_TRUE(window->OpenDocument(SamplePath()));
    const QString file = dir.filePath(name);
    answers.saveNames = {file.toStdU16String()};
    EXPECT_TRUE(window->SaveAsCmd());
    EXPECT_FALSE(window->document().changed);
    return file;
  }
  // A change that must mark the document and leave one step named `step`;
  // undoing it gives back the saved state.
  void ExpectMarkedStep(const char* what, const QString& step, const std::function<void()>& change) {
    SCOPED_TRACE(what);
    ASSERT_FALSE(window->document().changed);
    const QByteArray before = ui::UndoHistory::Snapshot(window->document());
    const int steps = window->history().stack()->index();
    change();
    Settle();
    EXPECT_NE(ui::UndoHistory::Snapshot(window->document()), before) << "nothing changed";
    EXPECT_TRUE(window->document().changed);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("*]"))) << window->windowTitle().toStdString();
    EXPECT_EQ(window->history().stack()->index(), steps + 1);
    EXPECT_EQ(UndoText(), QStringLiteral("Rückgängig: ") + step);
    ASSERT_TRUE(window->history().Undo());
    EXPECT_EQ(ui::UndoHistory::Snapshot(window->document()), before);
    EXPECT_FALSE(window->document().changed);
  }
};

TEST_F(UnsavedTest, BulkCommandsAndSettingsTabsMarkTheDocumentAsOneNamedStep) {
  Start();
  OpenSampleCopy();
  ExpectMarkedStep("sort", QStringLiteral("Varianten aller Produkte sortieren"), [&] {
    OnNextDialog([](QDialog* d) {
      d->findChild<QSpinBox*>()->setValue(3);
      d->accept();
    });
    Trigger("VariantenSortieren1");
  });
  ExpectMarkedStep("prices", QStringLiteral("Alle Preise ändern"), [&] {
    OnNextDialog([](QDialog* d) {
      d->findChildren<QDoubleSpinBox*>().at(0)->setValue(10);
      d->accept();
    });
    Trigger("AllePreiseaendern1");
  });
  ExpectMarkedStep("replace", QStringLiteral("Suchen und Ersetzen in den Variantentabellen"), [&] {
    OnNextDialog([](QDialog* d) {
      const QList<QLineEdit*> boxes = d->findChildren<QLineEdit*>();
      boxes.at(0)->setText(QStringLiteral("€"));
      boxes.at(1)->setText(QStringLiteral("EUR"));
      d->accept();
    });
    Trigger("SuchenundErsetzen1");
  });
  ExpectMarkedStep("collect pictures", QStringLiteral("Bilddateien alle in ein Verzeichnis kopieren"), [&] {
    OnNextDialog([this](QDialog* d) {
      d->findChild<QLineEdit*>()->setText(dir.filePath(QStringLiteral("bilder")));
      d->accept();
    });
    Trigger("Bilddateienkopieren1");
  });
  ExpectMarkedStep("layout tab", QStringLiteral("Einstellung ändern"),
                   [&] { window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->setValue(30); });
  ExpectMarkedStep("background tab", QStringLiteral("Einstellung ändern"),
                   [&] { window->findChild<QDoubleSpinBox*>(QStringLiteral("HellEd"))->setValue(40); });
  ExpectMarkedStep("logo tab", QStringLiteral("Einstellung ändern"), [&] {
    window->findChild<QCheckBox*>(QStringLiteral("ShowLogoRightAlignedCheck"))->click();
  });

  // Quitting now asks.
  window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->setValue(30);
  const int questions = answers.fb.Questions();
  answers.fb.answers = {Answer::Cancel};
  EXPECT_FALSE(window->close());
  EXPECT_EQ(answers.fb.Questions(), questions + 1);
  EXPECT_EQ(answers.fb.shown.back().caption, u"Speichern");
}

TEST_F(UnsavedTest, OneUndoKeyUndoesOneTypingRunAndReachesTheHistoryFromTheNameBox) {
  Start();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  auto click = [&](const char* button) {
    window->findChild<QPushButton*>(QString::fromLatin1(button))->click();
  };
  click("NeueKategorieBtn");
  click("NeuesProduktBtn");
  auto* name = window->findChild<QPlainTextEdit*>(QStringLiteral("NameEd"));
  ASSERT_TRUE(name->hasFocus()) << "a new product puts the cursor into its name";
  // Right after "Neues Produkt" the box has nothing of its own to undo.
  QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->document().kats[0].products.Count(), 0u) << "Ctrl+Z undid \"Neues Produkt\"";
  QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(window->document().kats[0].products.Count(), 1u);

  answers.saveNames = {dir.filePath(QStringLiteral("a.pk2")).toStdU16String()};
  ASSERT_TRUE(window->SaveCmd());
  window->productTab()->SelectProduct(0);
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, QStringLiteral("XYZ"));
  ASSERT_EQ(window->document().kats[0].products[0].name, u"XYZ");
  QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->document().kats[0].products[0].name, u"Neues Produkt") << "the whole run is undone";
  EXPECT_FALSE(window->document().changed) << "back at the saved state";
  QTest::keyClick(name, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(window->document().kats[0].products[0].name, u"XYZ");
}

TEST_F(UnsavedTest, DeleteEmptiesTheSelectedCellsAsOneStep) {
  Start();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  window->findChild<QPushButton*>(QStringLiteral("NeueKategorieBtn"))->click();
  window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"))->click();
  auto* grid = window->findChild<QTableView*>(QStringLiteral("StringGrid1"));
  QAbstractItemModel* m = grid->model();
  m->setData(m->index(1, 0), QStringLiteral("A"));
  m->setData(m->index(1, 2), QStringLiteral("4,95 €"));
  m->setData(m->index(2, 0), QStringLiteral("B"));
  // An undo step reads the document anew: no reference outlives it.
  auto cell = [&](int row, int col) { return VariantText(window->document().kats[0].products[0], row, col); };
  const QByteArray filled = ui::UndoHistory::Snapshot(window->document());
  const int steps = window->history().Steps();

  for (const int key : {int(Qt::Key_Delete), int(Qt::Key_Backspace)}) {
    SCOPED_TRACE(key);
    grid->setFocus();
    grid->clearSelection();
    grid->setCurrentIndex(m->index(1, 0));
    grid->selectionModel()->select(m->index(1, 2), QItemSelectionModel::Select);
    QTest::keyClick(grid, Qt::Key(key));
    EXPECT_EQ(cell(1, 0), u"");
    EXPECT_EQ(cell(1, 2), u"");
    EXPECT_EQ(cell(2, 0), u"B") << "an unselected cell stays";
    EXPECT_EQ(m->data(m->index(1, 2)).toString(), QString()) << "the grid shows it";
    EXPECT_EQ(QApplication::focusWidget(), grid) << "no editor opened";
    EXPECT_EQ(window->history().Steps(), steps + 1);
    EXPECT_EQ(UndoText(), QStringLiteral("Rückgängig: Zellen leeren"));
    window->history().Undo();
    EXPECT_EQ(ui::UndoHistory::Snapshot(window->document()), filled);
  }
}

TEST_F(UnsavedTest, ExportDialogsStartAtTheProjectsFolderAndName) {
  Start();
  const QString project = OpenSampleCopy(QStringLiteral("Gartenkatalog.pk2"));
  struct Case {
    const char* action;
    QString file;
  };
  for (const Case& c : {Case{"ExportalsCSVDatei1", QStringLiteral("Gartenkatalog.csv")},
                        Case{"AlsPDFDateiexportieren1", QStringLiteral("Gartenkatalog.pdf")},
                        Case{"SeitenalsBilderexportieren1", QStringLiteral("Gartenkatalog")}}) {
    SCOPED_TRACE(c.action);
    answers.fb.answers = {Answer::Yes};  // the CSV export: all categories
    QString folder, selected;
    OnNextDialog<QFileDialog>([&](QFileDialog* d) {
      folder = d->directory().absolutePath();
      selected = d->selectedFiles().value(0);
      d->reject();
    });
    Trigger(c.action);
    EXPECT_EQ(folder, QFileInfo(project).absolutePath());
    EXPECT_EQ(QFileInfo(selected).fileName(), c.file);
  }
  // The HTML catalog's folder: beside the project, named after it.
  QString offered;
  OnNextDialog<QDialog>([&](QDialog* d) {
    if (auto* edit = d->findChild<QLineEdit*>(QStringLiteral("DirectoryEdit1"))) offered = edit->text();
    d->reject();
  });
  Trigger("AlsHTMLBltterkatalogexportieren1");
  EXPECT_EQ(offered, QFileInfo(project).absolutePath() + QStringLiteral("/Gartenkatalog"));
}

TEST_F(UnsavedTest, ThePreviewFollowsTheLayoutTab) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->pages()->setCurrentIndex(2);
  Settle();
  const QImage before = window->preview()->Rendered().copy();
  window->pages()->setCurrentIndex(3);
  window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->setValue(40);
  window->pages()->setCurrentIndex(2);
  Settle();
  EXPECT_NE(window->preview()->Rendered(), before);
}

// Environment variables set for one test and put back afterwards.
class EnvironmentGuard {
 public:
  EnvironmentGuard(std::initializer_list<std::pair<const char*, const char*>> vars) {
    for (const auto& [name, value] : vars) {
      saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
      value ? qputenv(name, value) : qunsetenv(name);
    }
  }
  ~EnvironmentGuard() {
    for (const Saved& s : saved_) s.set ? qputenv(s.name, s.value) : qunsetenv(s.name);
  }

 private:
  struct Saved {
    const char* name;
    QByteArray value;
    bool set;
  };
  std::vector<Saved> saved_;
};

// Undo and redo speak the window's language from the start, before any
// step, and keep it once a step names itself.
TEST_F(UnsavedTest, UndoAndRedoSpeakTheWindowsLanguage) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                          QString::fromStdString(progpath + "translate.dat")));
  Start(1);  // English
  EXPECT_EQ(UndoText(), QStringLiteral("Undo"));
  EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("Wiederholen1"))->text().remove(QLatin1Char('&')),
            QStringLiteral("Redo"));
  OpenSampleCopy();
  auto* left = window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"));
  ASSERT_NE(left, nullptr);
  left->setValue(left->value() + 5);
  Settle();
  EXPECT_TRUE(UndoText().startsWith(QStringLiteral("Undo: "))) << UndoText().toStdString();
}

TEST_F(UnsavedTest, WithoutALanguageInTheEnvironmentNumbersFollowTheInterface) {
  const EnvironmentGuard env({{"LC_ALL", "C"}, {"LC_NUMERIC", nullptr}, {"LANG", "POSIX"}});
  Start(0);  // German
  EXPECT_EQ(window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->text(), QStringLiteral("12,00"));
  OpenSampleCopy();
  int euro = 0;
  for (const Category& c : window->document().kats)
    for (const Product& p : c.products)
      for (const VariantRow& r : p.variants)
        for (const VariantCell& cell : r.cells) euro += cell.text == u"4,95 €";
  ASSERT_GT(euro, 0) << "the sample no longer holds \"4,95 €\"";
  OnNextDialog([](QDialog* d) {
    d->findChildren<QDoubleSpinBox*>().at(0)->setValue(10);
    d->accept();
  });
  Trigger("AllePreiseaendern1");
  Settle();
  ASSERT_FALSE(answers.fb.shown.empty());
  const std::u16string report = answers.fb.shown.back().text;
  ASSERT_EQ(report.rfind(u"Geänderte Preise: ", 0), 0u) << ql::ToUtf8(report);
  EXPECT_GE(std::stoi(ql::ToUtf8(report.substr(18))), euro);

  window->document().changed = false;
  window.reset();
  Start(1);  // English
  EXPECT_EQ(window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->text(), QStringLiteral("12.00"));
  window.reset();
  Start(4);  // Spanish
  EXPECT_EQ(window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->text(), QStringLiteral("12,00"));
}

// ---- the recovery copy

class RecoveryTest : public UnsavedTest {
 protected:
  void SetUp() override {
    UnsavedTest::SetUp();
    configure = [](ui::MainWindowConfig& c) {
      c.recoveryIntervalMs = 0;
      c.recoveryQuietMs = 0;
    };
  }
  QString Folder() const { return QString::fromStdString(progpath + "recovery"); }
  QStringList Copies() const { return QDir(Folder()).entryList({QStringLiteral("*.qlr")}, QDir::Files); }
  bool WaitForCopy() {
    for (int i = 0; i < 200 && !window->recovery().Exists(); ++i) QTest::qWait(10);
    return window->recovery().Exists();
  }
  // What a killed program leaves: its copy under the name of a process that
  // does not run (no process id is that large).
  void Crash() {
    ASSERT_TRUE(WaitForCopy());
    ASSERT_TRUE(QFile::rename(window->recovery().path(), Folder() + QStringLiteral("/2147483000-1-0.qlr")));
    window->document().changed = false;
    window.reset();
  }
};

TEST_F(RecoveryTest, AnEditSurvivesACrashWhenRestored) {
  Start();
  const QString project = OpenSampleCopy();
  EXPECT_TRUE(Copies().isEmpty()) << "nothing unsaved, no copy";
  window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->setValue(30);
  Crash();

  answers.fb.answers = {Answer::Yes};
  Start();
  ASSERT_EQ(answers.fb.Questions(), 1);
  const auto& q = answers.fb.shown.back();
  EXPECT_EQ(q.caption, u"Sicherungskopie");
  EXPECT_NE(q.text.find(project.toStdU16String()), std::u16string::npos) << "names the project";
  EXPECT_EQ(window->document().settings.LinksEd, 30);
  EXPECT_EQ(window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->value(), 30);
  EXPECT_EQ(window->document().afilename, project.toStdU16String());
  EXPECT_TRUE(window->document().changed);
  EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("katalog.pk2*]")));
  EXPECT_EQ(Copies().size(), 1) << "the restored work is this program's copy now";
  EXPECT_TRUE(window->recovery().Exists());
  window->history().Undo();  // nothing to undo: the history starts here
  EXPECT_TRUE(window->document().changed);

  // A save removes it; the project file holds the edit.
  ASSERT_TRUE(window->SaveCmd());
  EXPECT_TRUE(Copies().isEmpty());
  Document reread;
  ASSERT_TRUE(lifecycle::OpenFileByName(reread, project.toStdU16String()));
  EXPECT_EQ(reread.settings.LinksEd, 30);
}

TEST_F(RecoveryTest, DiscardedCopiesGoAndACleanExitLeavesNone) {
  Start();
  OpenSampleCopy();
  window->findChild<QDoubleSpinBox*>(QStringLiteral("ObenEd"))->setValue(25);
  Crash();

  answers.fb.answers = {Answer::No};
  Start();
  EXPECT_EQ(answers.fb.Questions(), 1);
  EXPECT_NE(window->document().settings.ObenEd, 25);
  EXPECT_FALSE(window->document().changed);
  EXPECT_TRUE(Copies().isEmpty());

  // An edit writes a copy; quitting without saving ("Nein") removes it.
  window->findChild<QDoubleSpinBox*>(QStringLiteral("ObenEd"))->setValue(26);
  ASSERT_TRUE(WaitForCopy());
  answers.fb.answers = {Answer::No};
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(Copies().isEmpty());
}

TEST_F(RecoveryTest, NoCopyWhileTheUserTypes) {
  configure = [](ui::MainWindowConfig& c) {
    c.recoveryIntervalMs = 0;
    c.recoveryQuietMs = 300;
  };
  Start();
  window->findChild<QPushButton*>(QStringLiteral("NeueKategorieBtn"))->click();
  window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"))->click();
  auto* name = window->findChild<QPlainTextEdit*>(QStringLiteral("NameEd"));
  for (int i = 0; i < 8; ++i) {
    QTest::keyClick(name, Qt::Key_A);
    QTest::qWait(100);
    EXPECT_FALSE(window->recovery().Exists()) << "keystroke " << i;
  }
  EXPECT_TRUE(WaitForCopy()) << "written after the pause";
}

// The real thing: a program killed after an edit. The test starts this test
// program again as a child that runs only RecoveryChild (which does nothing
// without QL_RECOVERY_CHILD).
TEST_F(RecoveryTest, RecoveryChild) {
  const QByteArray folder = qgetenv("QL_RECOVERY_CHILD");
  if (folder.isEmpty()) GTEST_SKIP() << "run by KilledProgramLeavesACopyThatRestores";
  configure = [folder](ui::MainWindowConfig& c) {
    c.recoveryFolder = folder.toStdString();
    c.recoveryIntervalMs = 0;
    c.recoveryQuietMs = 0;
  };
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"))->setValue(31.5);
  ASSERT_TRUE(WaitForCopy());
  std::printf("READY\n");
  std::fflush(stdout);
  QTest::qWait(60000);  // killed long before
}

TEST_F(RecoveryTest, KilledProgramLeavesACopyThatRestores) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QL_RECOVERY_CHILD"), Folder());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=RecoveryTest.RecoveryChild")});
  ASSERT_TRUE(child.waitForStarted(10000));
  QByteArray out;
  for (int i = 0; i < 600 && !out.contains("READY"); ++i) {
    child.waitForReadyRead(100);
    out += child.readAllStandardOutput();
  }
  ASSERT_TRUE(out.contains("READY")) << out.toStdString();
  child.kill();  // SIGKILL: no clean-up of any kind
  ASSERT_TRUE(child.waitForFinished(10000));
  ASSERT_EQ(Copies().size(), 1);

  answers.fb.answers = {Answer::Yes};
  Start();
  EXPECT_EQ(answers.fb.Questions(), 1);
  EXPECT_EQ(window->document().settings.LinksEd, 31.5);
  EXPECT_EQ(window->document().afilename, SamplePath());
  EXPECT_TRUE(window->document().changed);
}

}  // namespace
}  // namespace uitest
