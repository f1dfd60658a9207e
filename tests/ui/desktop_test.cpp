// What a desktop user expects: recent files, the preview's page count and
// keys, files dropped onto the window, the usual shortcuts.
#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include "fixture.h"
#include "ui/preview.h"

namespace uitest {
namespace {

void Drop(QWidget* target, const QStringList& files) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& f : files) urls << QUrl::fromLocalFile(f);
  mime.setUrls(urls);
  const QPointF at(5, 5);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

QString RedPicture(const QTemporaryDir& dir, const char* name) {
  const QString f = dir.filePath(QString::fromLatin1(name));
  QImage img(40, 30, QImage::Format_RGB32);
  img.fill(Qt::red);
  img.save(f);
  return f;
}

TEST_F(WindowTest, RecentFilesAreKeptAndAVanishedOneIsOfferedForRemoval) {
  Start();
  const QString copy = dir.filePath(QStringLiteral("kopie.pk2"));
  ASSERT_TRUE(QFile::copy(QString::fromStdU16String(SamplePath()), copy));
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  ASSERT_TRUE(window->OpenDocument(copy.toStdU16String()));
  ASSERT_EQ(window->recentFiles().Files().size(), 2);
  EXPECT_EQ(window->recentFiles().Files()[0], copy) << "newest first";
  QAction* first = window->findChild<QAction*>(QStringLiteral("Recent1"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->text(), QStringLiteral("&1 kopie.pk2"));
  EXPECT_EQ(first->toolTip(), copy);

  // The list survives a restart (per user).
  window.reset();
  Start();
  ASSERT_EQ(window->recentFiles().Files().size(), 2);
  QFile::remove(copy);
  answers.fb.answers = {Answer::Yes};
  window->findChild<QAction*>(QStringLiteral("Recent1"))->trigger();
  ASSERT_EQ(answers.fb.Questions(), 1);
  EXPECT_NE(answers.fb.shown[0].text.find(copy.toStdU16String()), std::u16string::npos);
  EXPECT_EQ(window->recentFiles().Files().size(), 1) << "removed on Yes";
  EXPECT_EQ(window->document().kats.Count(), 0u) << "nothing was opened";
  window->findChild<QAction*>(QStringLiteral("Recent1"))->trigger();  // the sample, still there
  EXPECT_GT(window->document().kats.Count(), 0u);
}

TEST_F(WindowTest, PreviewTellsThePageAndStopsAtTheLast) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->pages()->setCurrentIndex(2);
  window->preview()->Rendered();
  auto* page = window->findChild<QSpinBox*>(QStringLiteral("SeiteEd"));
  auto* info = window->findChild<QLabel*>(QStringLiteral("SeiteVonLabel"));
  const int pages = window->session().anzpages;
  ASSERT_GT(pages, 2);
  EXPECT_EQ(page->maximum(), pages);
  EXPECT_EQ(info->text(), QStringLiteral("Seite 1 von %1").arg(pages));
  page->setValue(pages + 5);
  EXPECT_EQ(page->value(), pages) << "no blank pages past the end";
  EXPECT_EQ(window->preview()->page(), pages) << "the value takes effect at once";
  window->preview()->Rendered();
  EXPECT_EQ(info->text(), QStringLiteral("Seite %1 von %1").arg(pages));
}

TEST_F(WindowTest, PreviewKeysTurnPagesAndZoom) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  window->pages()->setCurrentIndex(2);
  window->preview()->Rendered();
  QWidget* sink = window->focusSink();
  sink->setFocus();
  auto* page = window->findChild<QSpinBox*>(QStringLiteral("SeiteEd"));
  auto* zoom = window->findChild<QDoubleSpinBox*>(QStringLiteral("ZoomEd"));
  QTest::keyClick(sink, Qt::Key_PageDown);
  QTest::keyClick(sink, Qt::Key_PageDown);
  EXPECT_EQ(page->value(), 3);
  QTest::keyClick(sink, Qt::Key_PageUp);
  EXPECT_EQ(page->value(), 2);
  zoom->setValue(50);
  QTest::keyClick(sink, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(zoom->value(), 60);
  QTest::keyClick(sink, Qt::Key_Minus, Qt::ControlModifier);
  QTest::keyClick(sink, Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(zoom->value(), 40);
  QTest::keyClick(sink, Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(zoom->value(), 100);
  EXPECT_EQ(window->preview()->zoom(), 100);
}

TEST_F(WindowTest, MenuShortcutsReachTheirCommands) {
  Start();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  window->findChild<QPushButton*>(QStringLiteral("NeueKategorieBtn"))->click();
  ASSERT_TRUE(window->document().changed);
  answers.fb.answers = {Answer::No};
  QTest::keyClick(window->pages(), Qt::Key_N, Qt::ControlModifier);  // "Neu"
  EXPECT_EQ(answers.fb.Questions(), 1) << "the ask-to-save guard of \"Neu\"";
  EXPECT_EQ(window->document().kats.Count(), 0u);
  QTest::keyClick(window->pages(), Qt::Key_O, Qt::ControlModifier);  // "Öffnen..."
  EXPECT_EQ(answers.openDialogs, 1);
  QTest::keyClick(window->pages(), Qt::Key_S,
                  Qt::ControlModifier | Qt::ShiftModifier);  // "Speichern unter..."
  EXPECT_EQ(answers.saveDialogs, 1);
  QTest::keyClick(window->pages(), Qt::Key_S, Qt::ControlModifier);  // "Speichern", untitled: asks a name
  EXPECT_EQ(answers.saveDialogs, 2);
  QTest::keyClick(window->pages(), Qt::Key_Q, Qt::ControlModifier);  // "Beenden"
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowTest, DroppedFilesBecomePicturesOrOpen) {
  Start();
  const QString red = RedPicture(dir, "rot.png");
  auto* pics = window->findChild<QListWidget*>(QStringLiteral("BilderList"));
  Drop(pics->viewport(), {red});
  EXPECT_EQ(pics->count(), 0) << "no product selected: nothing to add to";
  window->findChild<QPushButton*>(QStringLiteral("NeueKategorieBtn"))->click();
  window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"))->click();
  const QString blue = RedPicture(dir, "blau.png");
  const QString broken = dir.filePath(QStringLiteral("kaputt.png"));
  {
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
  }
  Drop(pics->viewport(), {red, broken, blue});
  const Product& p = window->document().kats[0].products[0];
  ASSERT_EQ(p.pictures.Count(), 2u) << "as \"Neue Bilder...\": the broken one is refused";
  EXPECT_EQ(pics->count(), 2);
  EXPECT_EQ(answers.fb.Messages(), 1) << "with the same message";

  QWidget* logoTab = window->findChild<QWidget*>(QStringLiteral("TabLogo"));
  Drop(logoTab, {blue});
  EXPECT_EQ(window->document().settings.FilenameEdit1, blue.toStdU16String());
  QWidget* backTab = window->findChild<QWidget*>(QStringLiteral("TabHintergrund"));
  Drop(backTab, {red});
  EXPECT_EQ(window->document().settings.FilenameEdit2, red.toStdU16String());

  answers.fb.answers = {Answer::Cancel};
  Drop(window.get(), {QString::fromStdU16String(SamplePath())});
  EXPECT_EQ(window->document().kats.Count(), 1u) << "Cancel at the ask-to-save guard keeps the document";
  answers.fb.answers = {Answer::No};
  Drop(window.get(), {QString::fromStdU16String(SamplePath())});
  EXPECT_EQ(window->document().afilename, SamplePath());
}

}  // namespace
}  // namespace uitest
