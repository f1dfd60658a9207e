// The print-ready PDF dialog: presets for print and screen, the values it
// hands back, and a picture of it for looking at.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include "fixture.h"
#include "ui/exportcommands.h"
#include "ui/previewtab.h"
#include "ui/undohistory.h"

namespace {

QDialog* OpenDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) return d;
  return nullptr;
}

TEST(PrintPdfDialog, ScreenPresetThenOwnValues) {
  uitest::App();
  output::VectorPdfOptions o = output::PrintPdfPreset();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QDialog* d = OpenDialog();
    ASSERT_NE(d, nullptr);
    seen = true;
    auto combos = d->findChildren<QComboBox*>();
    ASSERT_GE(combos.size(), 2);
    EXPECT_EQ(combos[0]->currentIndex(), 0);  // print
    EXPECT_EQ(combos[1]->currentIndex(), 0);  // CMYK
    if (const char* shot = std::getenv("QL_SHOT_DIR")) d->grab().save(QString(shot) + "/printpdf-dialog.png");
    // Screen: RGB, no bleed, 150 ppi.
    combos[0]->setCurrentIndex(1);
    emit combos[0]->activated(1);
    EXPECT_EQ(combos[1]->currentIndex(), 1);
    auto* bleed = d->findChild<QDoubleSpinBox*>();
    auto* ppi = d->findChild<QSpinBox*>();
    EXPECT_EQ(bleed->value(), 0);
    EXPECT_EQ(ppi->value(), 150);
    ppi->setValue(200);
    d->findChild<QLineEdit*>()->setText(" /tmp/my.icc ");
    d->accept();
  });
  ASSERT_TRUE(ui::RunPrintPdfDialog(nullptr, o));
  EXPECT_TRUE(seen);
  EXPECT_FALSE(o.cmyk);
  EXPECT_EQ(o.bleedMm, 0);
  EXPECT_EQ(o.maxPictureppi, 200);
  EXPECT_EQ(o.profilePath, "/tmp/my.icc");
  // Cancelled: the options stay.
  QTimer::singleShot(0, [] {
    if (QDialog* d = OpenDialog()) d->reject();
  });
  output::VectorPdfOptions before = o;
  EXPECT_FALSE(ui::RunPrintPdfDialog(nullptr, o));
  EXPECT_EQ(o.maxPictureppi, before.maxPictureppi);
}

TEST(PrintPdfDialog, TrimSizeIsShownByNameAndChangedThere) {
  uitest::App();
  output::VectorPdfOptions o = output::PrintPdfPreset();
  ui::TrimSize trim;  // A4
  QTimer::singleShot(0, [&] {
    QDialog* d = OpenDialog();
    ASSERT_NE(d, nullptr);
    auto* paper = d->findChild<QComboBox*>(QStringLiteral("TrimPaperCombo"));
    auto* w = d->findChild<QDoubleSpinBox*>(QStringLiteral("PDFWidthEd"));
    auto* h = d->findChild<QDoubleSpinBox*>(QStringLiteral("PDFHeightED"));
    ASSERT_TRUE(paper && w && h);
    EXPECT_EQ(paper->currentText(), QStringLiteral("A4 (210 x 297 mm)"));
    if (const char* shot = std::getenv("QL_SHOT_DIR")) d->grab().save(QString(shot) + "/printpdf-trim.png");
    // A size of one's own names no paper; a paper's size names it again.
    w->setValue(200);
    EXPECT_EQ(paper->currentIndex(), paper->count() - 1);
    w->setValue(210);
    EXPECT_EQ(paper->currentText(), QStringLiteral("A4 (210 x 297 mm)"));
    paper->setCurrentIndex(1);
    emit paper->activated(1);  // A5
    EXPECT_EQ(w->value(), 148);
    EXPECT_EQ(h->value(), 210);
    d->accept();
  });
  ASSERT_TRUE(ui::RunPrintPdfDialog(nullptr, o, &trim));
  EXPECT_EQ(trim.widthMm, 148);
  EXPECT_EQ(trim.heightMm, 210);
}

}  // namespace

namespace uitest {

TEST_F(WindowTest, PreviewTabNamesThePageItLaysOutOn) {
  Start();
  Settle();
  auto* label = window->findChild<QLabel*>(QStringLiteral("PageSizeLabel"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("A4 (ohne Drucker)"));  // the tests lay out without a printer
  if (const char* shot = std::getenv("QL_SHOT_DIR")) {
    window->findChild<QTabWidget*>()->setCurrentIndex(2);
    Settle();
    window->grab().save(QString(shot) + "/preview-page-size.png");
  }
  platform::PrinterPage p;
  p.printer = "PDF";
  p.paper = "A4";
  EXPECT_EQ(ui::PreviewTab::PrinterPageText(p), QStringLiteral("A4 (Drucker: PDF)"));
  p.landscape = true;
  EXPECT_EQ(ui::PreviewTab::PrinterPageText(p), QStringLiteral("A4 quer (Drucker: PDF)"));
  p.paper.clear();
  p.paperWidthMm = 100;
  p.paperHeightMm = 150;
  EXPECT_EQ(ui::PreviewTab::PrinterPageText(p), QStringLiteral("100 x 150 mm (Drucker: PDF)"));
}

// The print-ready PDF's size chosen in its dialog is the document's PDF
// page size (one undo step), and the file's trim box is that paper.
TEST_F(WindowTest, PrintPdfTrimSizeChangeIsStoredAndUsed) {
  Start();
  const QString file = dir.filePath(QStringLiteral("a5.pdf"));
  ui::UndoHistory& h = window->history();
  const int steps = h.Steps();
  bool fileChosen = false;
  QTimer::singleShot(0, [&] {
    QDialog* d = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dd = qobject_cast<QDialog*>(w); dd && dd->isVisible()) d = dd;
    ASSERT_NE(d, nullptr);
    auto* paper = d->findChild<QComboBox*>(QStringLiteral("TrimPaperCombo"));
    ASSERT_NE(paper, nullptr);
    paper->setCurrentIndex(1);
    emit paper->activated(1);  // A5
    // The file dialog follows once this one has closed.
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<QFileDialog*>(w); f && f->isVisible()) {
          // Typed into the name box: selectFile leaves a box with the focus alone.
          if (auto* edit = f->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(file);
          else
            f->selectFile(file);
          fileChosen = true;
          static_cast<QDialog*>(f)->accept();  // public in QDialog
        }
    });
    d->accept();
  });
  // Then the preflight list: "Trotzdem exportieren".
  QTimer preflight;
  preflight.setInterval(50);
  QObject::connect(&preflight, &QTimer::timeout, [&] {
    QWidget* m = QApplication::activeModalWidget();
    auto* dd = qobject_cast<QDialog*>(m);
    if (fileChosen && dd && dd->isVisible() && !qobject_cast<QFileDialog*>(m) &&
        !qobject_cast<QProgressDialog*>(m))
      dd->accept();
  });
  preflight.start();
  window->findChild<QAction*>(QStringLiteral("AlsDruckPDFexportieren1"))->trigger();
  preflight.stop();
  const CatalogSettings& s = window->document().settings;
  EXPECT_TRUE(s.SetPDFSizeCheck);
  EXPECT_EQ(s.PDFWidthEd, 148);
  EXPECT_EQ(s.PDFHeightED, 210);
  EXPECT_EQ(h.Steps(), steps + 1);
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "no PDF written";
  const QByteArray pdf = f.readAll();
  // 148 x 210 mm with 3 mm of bleed on each side: 8.5 pt in, 419.5 x 595.3 pt.
  const int at = pdf.indexOf("/TrimBox [");
  ASSERT_GE(at, 0);
  const QList<QByteArray> box = pdf.mid(at + 10, pdf.indexOf(']', at) - at - 10).split(' ');
  ASSERT_EQ(box.size(), 4);
  EXPECT_NEAR(box[2].toDouble() - box[0].toDouble(), 148 * 72 / 25.4, 0.05);
  EXPECT_NEAR(box[3].toDouble() - box[1].toDouble(), 210 * 72 / 25.4, 0.05);
}

}  // namespace uitest
