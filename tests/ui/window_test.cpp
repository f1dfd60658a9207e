// The window's own rules: panel and column sizing, the preview's mouse
// wheel, the caption marker, the ask-to-save and close guards, start-up
// language and the per-user options.
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWheelEvent>

#include "fixture.h"
#include "platform/userstore.h"
#include "ui/preview.h"

namespace uitest {
namespace {

void Wheel(QWidget* target, int delta) {
  const QPointF at(10, 10);
  QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &e);
}

TEST_F(WindowTest, ProductPanelsShareTheTabHeight) {
  Start();
  ui::ProductTab* page = window->productTab();
  page->resize(700, 480);
  EXPECT_EQ(page->panel(0)->height(), 100);
  EXPECT_EQ(page->panel(1)->height(), 100);
  EXPECT_EQ(page->panel(2)->height(), 100);
  EXPECT_EQ(page->panel(3)->height(), 180);
  EXPECT_EQ(page->panel(3)->y(), 300);
  EXPECT_EQ(page->panel(0)->width(), 700);
  page->resize(700, 483);  // div drops the remainder
  EXPECT_EQ(page->panel(2)->height(), 100);
  EXPECT_EQ(page->panel(3)->height(), 180);
  page->resize(700, 600);
  EXPECT_EQ(page->panel(0)->height(), 130);
  EXPECT_EQ(page->panel(3)->height(), 210);
}

TEST_F(WindowTest, ListColumnsFollowTheListWidth) {
  Start();
  window->productTab()->productList()->resize(400, 100);
  EXPECT_EQ(window->productTab()->productList()->columnWidth(0), 150);
  EXPECT_EQ(window->productTab()->productList()->columnWidth(1), 240);
  window->productTab()->categoryList()->resize(300, 100);
  EXPECT_EQ(window->productTab()->categoryList()->columnWidth(0), 290);

  // Other lists of the program (the found-products dialog's) keep their own
  // columns: the first is not stretched over the whole list.
  QTreeWidget other;
  other.setHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("Beschreibung")});
  other.setColumnWidth(0, 80);
  other.show();
  other.resize(400, 100);
  QApplication::processEvents();
  EXPECT_EQ(other.columnWidth(0), 80);
}

TEST_F(WindowTest, WheelScrollsThePreviewOnlyOnItsTab) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->resize(900, 600);
  window->pages()->setCurrentIndex(2);
  Settle();
  QScrollBar* vb = window->previewScroll()->verticalScrollBar();
  ASSERT_GT(vb->maximum(), 100) << "the page is higher than the scroll box";
  vb->setValue(50);
  Wheel(window->preview(), -120);  // one notch down
  EXPECT_EQ(vb->value(), 70);
  Wheel(window->preview(), -240);
  EXPECT_EQ(vb->value(), 110);
  Wheel(window->focusSink(), 120);  // anywhere in the window
  EXPECT_EQ(vb->value(), 90);
  EXPECT_TRUE(window->focusSink()->hasFocus() || !window->isActiveWindow());
  vb->setValue(vb->maximum());
  Wheel(window->preview(), -120);
  EXPECT_EQ(vb->value(), vb->maximum());

  vb->setValue(40);
  window->pages()->setCurrentIndex(0);
  Settle();
  Wheel(window->productTab()->productList(), -120);
  Wheel(window->productTab()->categoryList()->viewport(), -360);
  EXPECT_EQ(vb->value(), 40);
}

TEST_F(WindowTest, CaptionMarksUnsavedChanges) {
  Start();
  EXPECT_EQ(window->Caption(), QStringLiteral("Morvetta Quillane 1.0 - [unbenannt.pk2]"));
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  EXPECT_EQ(window->Caption(), QStringLiteral("Morvetta Quillane 1.0 - [test.pk2]"));
  EXPECT_EQ(window->windowTitle(), window->Caption());
  QTreeWidget* cats = window->productTab()->categoryList();
  ASSERT_GE(cats->topLevelItemCount(), 2);
  cats->setCurrentItem(cats->topLevelItem(2));
  EXPECT_TRUE(window->document().changed);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvetta Quillane 1.0 - [test.pk2*]"));
  EXPECT_GT(window->productTab()->productList()->topLevelItemCount(), 0)
      << "the category's products are listed";
}

TEST_F(WindowTest, NewAsksToSaveFirst) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(1));
  const uint32_t cats = window->document().kats.Count();

  answers.fb.answers = {Answer::Cancel};
  window->NewCmd();
  EXPECT_EQ(window->document().kats.Count(), cats);
  EXPECT_TRUE(window->document().changed);
  ASSERT_EQ(answers.fb.shown.size(), 1u);
  EXPECT_EQ(answers.fb.shown[0].caption, u"Speichern");
  EXPECT_EQ(answers.fb.shown[0].buttons, Buttons::YesNoCancel);

  // Yes saves to the file it came from; make it untitled so the dialog shows.
  window->document().afilename.clear();
  answers.fb.answers = {Answer::Yes};
  answers.saveNames = {u""};
  window->NewCmd();
  EXPECT_EQ(answers.saveDialogs, 1);
  EXPECT_EQ(window->document().kats.Count(), cats);

  answers.fb.answers = {Answer::No};
  window->NewCmd();
  EXPECT_EQ(window->document().kats.Count(), 0u);
  EXPECT_FALSE(window->document().changed);
  EXPECT_EQ(window->productTab()->categoryList()->topLevelItemCount(), 0);
  EXPECT_TRUE(answers.fb.AllAnswersUsed());
}

TEST_F(WindowTest, SaveOnUntitledAsksForANameAndClearsTheMarker) {
  Start();
  window->document().AddCategory(u"Kat");
  window->document().AddCategory(u"Kat 2");
  window->ShowDocument();
  // The first category shows; selecting another one marks the change.
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(1));
  ASSERT_TRUE(window->document().changed);
  const std::u16string target = QString::fromStdString(progpath + "neu.pk2").toStdU16String();
  answers.saveNames = {target};
  EXPECT_TRUE(window->SaveCmd());
  EXPECT_TRUE(QFile::exists(QString::fromStdU16String(target)));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvetta Quillane 1.0 - [neu.pk2]"));
  // A failed write keeps the marker and says why.
  window->productTab()->categoryList()->setCurrentItem(nullptr);
  window->document().SetChanged();
  answers.saveNames = {QString::fromStdString(progpath + "kein/ordner/x.pk2").toStdU16String()};
  EXPECT_FALSE(window->SaveAsCmd());
  EXPECT_TRUE(window->document().changed);
  EXPECT_EQ(answers.fb.Messages(), 1);
}

TEST_F(WindowTest, CloseGuardKeepsTheWindowOnCancelledSave) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->document().afilename.clear();
  window->document().SetChanged();
  answers.fb.answers = {Answer::Yes};  // save, then cancel the dialog
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  answers.fb.answers = {Answer::Cancel};
  EXPECT_FALSE(window->close());
  answers.fb.answers = {Answer::No};
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(answers.fb.AllAnswersUsed());
}

TEST_F(WindowTest, StartsInEnglishWithoutOptionsAndStoresTheChosenLanguage) {
  // The shipped table, so the window texts have English translations.
  ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                          QString::fromStdString(progpath + "translate.dat")));
  Start(-1);
  QAction* english = window->findChild<QAction*>(QStringLiteral("Sprache1"));
  ASSERT_NE(english, nullptr);
  EXPECT_TRUE(english->isChecked());
  EXPECT_EQ(window->pages()->tabText(0), QStringLiteral("Products"));
  EXPECT_EQ(window->pages()->tabText(2), QStringLiteral("Create catalog"));
  EXPECT_EQ(window->productTab()->productList()->headerItem()->text(0).isEmpty(), false);
  EXPECT_TRUE(window->Caption().endsWith(QStringLiteral("[untitled.pk2]")));

  QAction* french = window->findChild<QAction*>(QStringLiteral("Sprache2"));
  french->trigger();
  ASSERT_EQ(answers.fb.Messages(), 1);  // "please restart", already in French
  EXPECT_NE(answers.fb.shown[0].text, u"Bitte schließen Sie das Program und starten Sie es neu.");
  EXPECT_EQ(window->pages()->tabText(0), QStringLiteral("Products"))
      << "window texts follow at the next start";
  EXPECT_TRUE(window->close());
  QFile f(QString::fromStdString(progpath + "options.dat"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("\x02\x00\x00\x00", 4));
}

TEST_F(WindowTest, ProgramOptionsAreKeptPerUser) {
  Start();
  QAction* cmyk = window->findChild<QAction*>(QStringLiteral("PDFDateienmitCMYKFarbenausgeben1"));
  ASSERT_NE(cmyk, nullptr);
  EXPECT_TRUE(cmyk->isChecked());
  cmyk->trigger();
  EXPECT_FALSE(window->document().options.PDFDateienmitCMYKFarbenausgeben1);
  window
      ->findChild<QAction*>(
          QStringLiteral("BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1"))
      ->trigger();
  EXPECT_TRUE(window->close());
  window.reset();

  ProgramOptions o;
  double zoom = 0;
  platform::UserStore(progpath + "user.ini").LoadOptions(o, zoom);
  EXPECT_FALSE(o.PDFDateienmitCMYKFarbenausgeben1);
  EXPECT_EQ(zoom, 100);
  Start();
  EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("PDFDateienmitCMYKFarbenausgeben1"))->isChecked());
  // Not kept between runs.
  EXPECT_FALSE(window->document()
                   .options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1);
}

TEST_F(WindowTest, MenusOfferOnlyWhatExists) {
  Start();
  QStringList titles;
  for (QAction* a : window->menuBar()->actions()) titles << QString(a->text()).remove(QLatin1Char('&'));
  EXPECT_EQ(titles, QStringList({"Datei", "Bearbeiten", "Sprache", "Optionen", "Hilfe"}));
  int enabled = 0, disabled = 0;
  for (QAction* m : window->menuBar()->actions())
    for (QAction* a : m->menu()->actions()) {
      if (a->isSeparator()) continue;
      (a->isEnabled() ? enabled : disabled)++;
      const QString plain = QString(a->text()).remove(QLatin1Char('&'));
      if (plain == QStringLiteral("Drucken") || plain == QStringLiteral("Preisliste erzeugen...") ||
          plain == QStringLiteral("Einzelne Seite drucken...") ||
          plain == QStringLiteral("Drucker einrichten") || plain == QStringLiteral("Übersetzen...") ||
          plain == QStringLiteral("Als Druck-PDF exportieren...")) {
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
      }
      if (plain == QStringLiteral("Übersetzen...")) {
        EXPECT_TRUE(a->isEnabled());
      }
    }
  // Undo and redo with an empty history.
  EXPECT_EQ(disabled, 2);
  EXPECT_GE(enabled, 25);
}

}  // namespace
}  // namespace uitest
