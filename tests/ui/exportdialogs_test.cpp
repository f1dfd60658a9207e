// The dialogs of the page-images and HTML exports: controls, ranges and
// defaults, the preset buttons, the range choices switched off for the HTML
// catalog and on again afterwards, and the menu entries enabled.
#include "ui/exportdialogs.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "fixture.h"

namespace {

template <typename T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

}  // namespace

TEST(ExportDialogs, BitmapResolutionControlsAndPresets) {
  uitest::App();
  ui::TBitmapResolution d(nullptr);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Wählen Sie die Bildauflösung und Qualität"));
  QSpinBox* res = Child<QSpinBox>(d, "ResEd");
  QSpinBox* comp = Child<QSpinBox>(d, "CompressEd");
  QSpinBox* from = Child<QSpinBox>(d, "frompageed");
  ASSERT_TRUE(res && comp && from);
  EXPECT_EQ(res->value(), 150);
  EXPECT_EQ(res->minimum(), 10);
  EXPECT_EQ(res->maximum(), 1440);
  EXPECT_EQ(res->singleStep(), 5);
  EXPECT_EQ(comp->value(), 5);
  EXPECT_EQ(comp->maximum(), 100);
  EXPECT_EQ(from->maximum(), 1000000);
  EXPECT_TRUE(d.allPages());
  const int presets[] = {72, 96, 150, 300};
  for (int i = 0; i < 4; ++i) {
    Child<QPushButton>(d, QStringLiteral("BitBtn%1").arg(i + 1).toLatin1().constData())->click();
    EXPECT_EQ(d.resolution(), presets[i]);
  }
  // The HTML catalog: range choices off while the dialog shows, on after.
  QRadioButton* r1 = Child<QRadioButton>(d, "RadioButton1");
  QRadioButton* r2 = Child<QRadioButton>(d, "RadioButton2");
  r2->setChecked(true);
  bool offWhileShown = false;
  QTimer::singleShot(0, &d, [&] {
    offWhileShown = !r1->isEnabled() && !r2->isEnabled() && r1->isChecked();
    d.accept();
  });
  EXPECT_TRUE(d.Run(false));
  EXPECT_TRUE(offWhileShown);
  EXPECT_TRUE(r1->isEnabled() && r2->isEnabled());
  EXPECT_TRUE(d.allPages());
  QTimer::singleShot(0, &d, [&] { d.reject(); });
  EXPECT_FALSE(d.Run(true));
  d.grab().save(QStringLiteral(QL_BIN_DIR "/../bitmapresolution.png"));
}

TEST(ExportDialogs, SelectFolderFormTakesTheTypedFolder) {
  uitest::App();
  ui::TSelectFolderForm d(nullptr);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Als HTML Blätterkatalog exportieren"));
  QLineEdit* edit = Child<QLineEdit>(d, "DirectoryEdit1");
  ASSERT_TRUE(edit);
  QTimer::singleShot(0, &d, [&] {
    edit->setText(QStringLiteral("  /tmp/katalog  "));
    d.accept();
  });
  EXPECT_TRUE(d.Run());
  EXPECT_EQ(d.folder(), QStringLiteral("/tmp/katalog"));
  d.grab().save(QStringLiteral(QL_BIN_DIR "/../selectfolder.png"));
}

namespace uitest {
TEST_F(WindowTest, ImageAndHtmlExportEntriesAreEnabled) {
  Start();
  for (const char* name : {"SeitenalsBilderexportieren1", "AlsHTMLBltterkatalogexportieren1"}) {
    QAction* a = window->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(a, nullptr) << name;
    EXPECT_TRUE(a->isEnabled());
  }
}
}  // namespace uitest
