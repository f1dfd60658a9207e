// Undo and redo through the window: every kind of command undone gives the
// document's project-file bytes from before it, redone those from after.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "fixture.h"
#include "ui/undohistory.h"

namespace uitest {
namespace {

class UndoTest : public WindowTest {
 protected:
  QByteArray Bytes() { return ui::UndoHistory::Snapshot(window->document()); }
  void Click(const char* button) {
    auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
  }
  // Runs `command`, which must add exactly one step; checks undo and redo.
  void Check(const char* what, const std::function<void()>& command) {
    SCOPED_TRACE(what);
    ui::UndoHistory& h = window->history();
    const int steps = h.Steps();
    const QByteArray before = Bytes();
    command();
    const QByteArray after = Bytes();
    ASSERT_NE(before, after) << "the command changed nothing";
    ASSERT_EQ(h.Steps(), steps + 1);
    ASSERT_TRUE(h.Undo());
    EXPECT_EQ(Bytes(), before);
    ASSERT_TRUE(h.Redo());
    EXPECT_EQ(Bytes(), after);
  }
  QString UndoText() {
    return window->findChild<QAction*>(QStringLiteral("Rueckgaengig1"))->text().remove(QLatin1Char('&'));
  }
};

TEST_F(UndoTest, EveryKindOfCommandIsUndoneAndRedoneExactly) {
  Start();
  // A real picture for the picture commands.
  const QString png = dir.filePath(QStringLiteral("rot.png"));
  QImage red(40, 30, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(png));

  Check("new category", [&] { Click("NeueKategorieBtn"); });
  Check("rename category",
        [&] { window->productTab()->categoryList()->topLevelItem(0)->setText(0, QStringLiteral("Töpfe")); });
  Check("new product", [&] { Click("NeuesProduktBtn"); });
  Check("product name",
        [&] { window->findChild<QPlainTextEdit*>(QStringLiteral("NameEd"))->setPlainText("Kanne"); });
  Check("description", [&] {
    window->findChild<QPlainTextEdit*>(QStringLiteral("BeschreibungEd"))->setPlainText("aus Zink");
  });
  auto* grid = window->findChild<QTableView*>(QStringLiteral("StringGrid1"));
  Check("grid cell", [&] { grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("12,50")); });
  Check("grid row insert", [&] { window->productTab()->GridCommand(3, 1, 1); });
  Check("grid column delete", [&] { window->productTab()->GridCommand(0, 0, 0); });
  Check("page break", [&] {
    for (QCheckBox* c : window->findChildren<QCheckBox*>())
      if (c->text() == QStringLiteral("Seitenumbruch nach dem Produkt")) c->click();
  });
  Check("picture drop", [&] { window->productTab()->AddPictureFiles({png.toStdU16String()}); });
  auto* pics = window->findChild<QListWidget*>(QStringLiteral("BilderList"));
  Check("picture delete", [&] {
    pics->setCurrentRow(0);
    Click("BildLoeschenBtn");
  });
  Check("second product", [&] { Click("NeuesProduktBtn"); });
  Check("move product", [&] { Click("ProduktHochBtn"); });
  Check("delete product", [&] { Click("ProduktLoeschenBtn"); });
  Check("template column", [&] {
    for (QPushButton* b : window->findChildren<QPushButton*>())
      if (b->text() == QStringLiteral("Neue Spalte")) b->click();
  });
  Check("logo setting",
        [&] { window->findChild<QDoubleSpinBox*>(QStringLiteral("BreitEd3"))->setValue(33); });
  Check("delete category", [&] {
    answers.fb.answers = {Answer::Yes};
    window->productTab()->categoryList()->setCurrentItem(
        window->productTab()->categoryList()->topLevelItem(0));
    Click("KategorieLoeschenBtn");
  });
}

TEST_F(UndoTest, TypingMergesAndNothingChangedLeavesNoStep) {
  Start();
  Click("NeueKategorieBtn");
  Click("NeuesProduktBtn");
  ui::UndoHistory& h = window->history();
  const int steps = h.Steps();
  const QByteArray before = Bytes();
  auto* name = window->findChild<QPlainTextEdit*>(QStringLiteral("NameEd"));
  for (const char* t : {"K", "Ka", "Kan", "Kanne"}) name->setPlainText(QString::fromLatin1(t));
  EXPECT_EQ(h.Steps(), steps + 1) << "typing in one box is one step";
  EXPECT_EQ(UndoText(), QStringLiteral("Rückgängig: Bezeichnung")) << "named without the label's colon";
  Click("KategorieHochBtn");  // already first: nothing moves
  Click("ProduktRunterBtn");  // the only product: nothing moves
  EXPECT_EQ(h.Steps(), steps + 1);
  h.Undo();
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(window->productTab()->productList()->topLevelItem(0)->text(0), QStringLiteral("Neues Produkt"))
      << "the list shows the restored document";
}

TEST_F(UndoTest, UndoingToTheSavedStateClearsTheMarker) {
  Start();
  Click("NeueKategorieBtn");
  answers.saveNames = {QString(dir.filePath("a.pk2")).toStdU16String()};
  ASSERT_TRUE(window->SaveCmd());
  EXPECT_FALSE(window->Caption().contains(QLatin1Char('*')));
  Click("NeuesProduktBtn");
  EXPECT_TRUE(window->Caption().endsWith(QStringLiteral("a.pk2*]")));
  window->history().Undo();
  EXPECT_FALSE(window->document().changed);
  EXPECT_TRUE(window->Caption().endsWith(QStringLiteral("a.pk2]")));
  window->history().Undo();  // before the save: changed again
  EXPECT_TRUE(window->document().changed);
  window->history().Redo();
  EXPECT_FALSE(window->document().changed);
  EXPECT_EQ(window->document().afilename, QString(dir.filePath("a.pk2")).toStdU16String())
      << "a step keeps the file name";
}

TEST_F(UndoTest, OpeningStartsAnewAndTheHistoryIsBounded) {
  Start();
  for (int i = 0; i < ui::UndoHistory::kMaxSteps + 20; ++i) Click("NeueKategorieBtn");
  ui::UndoHistory& h = window->history();
  EXPECT_EQ(h.Steps(), ui::UndoHistory::kMaxSteps);
  EXPECT_LE(h.Memory(), ui::UndoHistory::kMemoryCap);
  int undone = 0;
  while (h.Undo()) ++undone;
  EXPECT_EQ(undone, ui::UndoHistory::kMaxSteps);
  EXPECT_EQ(window->document().kats.Count(), 20u) << "the oldest steps dropped out";
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  EXPECT_EQ(h.Steps(), 0);
  EXPECT_FALSE(h.CanRedo());
}

TEST_F(UndoTest, ShortcutsReachUndoAndRedo) {
  Start();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  Click("NeueKategorieBtn");
  ASSERT_EQ(window->document().kats.Count(), 1u);
  window->pages()->setFocus();
  QTest::keyClick(window->pages(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->document().kats.Count(), 0u);
  QTest::keyClick(window->pages(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window->document().kats.Count(), 1u);
  QTest::keyClick(window->pages(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(window->pages(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(window->document().kats.Count(), 1u);
}

}  // namespace
}  // namespace uitest
