// The print-ready PDF dialog: presets for print and screen, the values it
// hands back, and a picture of it for looking at.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include "fixture.h"
#include "ui/printpdfdialog.h"

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
    ASSERT_EQ(combos.size(), 2);
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

}  // namespace
