// The preview page, the settings controls and the product editor driven
// through the window.
#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>

#include "fixture.h"
#include "platform/printer.h"
#include "render/layouts/layouts.h"
#include "ui/preview.h"
#include "ui/qtlifecycleui.h"

namespace uitest {
namespace {

// Pixels that are neither white nor the black border.
int InkInside(const QImage& img) {
  int ink = 0;
  for (int y = 2; y < img.height() - 2; y += 2)
    for (int x = 2; x < img.width() - 2; x += 2)
      if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++ink;
  return ink;
}

TEST_F(WindowTest, PreviewRendersTheSamplePage) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  ui::PagePreview* pv = window->preview();
  const QImage& img = pv->Rendered();
  ASSERT_FALSE(img.isNull());
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(platform::FallbackPrinterPage(), pv->Dpi(), 100, w, h);
  EXPECT_EQ(img.width(), w);
  EXPECT_EQ(img.height(), h);
  EXPECT_EQ(img.pixel(0, h / 2) & 0xFFFFFF, 0u) << "black border";
  const int ink = InkInside(img);
  EXPECT_GT(ink, (w / 2) * (h / 2) / 20) << "header, pictures and text are drawn";

  // Another page, another layout and another zoom give other pictures.
  const QImage page1 = img.copy();
  window->findChild<QSpinBox*>(QStringLiteral("SeiteEd"))->setValue(2);
  EXPECT_NE(pv->Rendered(), page1);
  window->findChild<QDoubleSpinBox*>(QStringLiteral("ZoomEd"))->setValue(50);
  int32_t w2 = 0, h2 = 0;
  platform::PreviewBitmapSize(platform::FallbackPrinterPage(), pv->Dpi(), 50, w2, h2);
  EXPECT_EQ(pv->Rendered().width(), w2);
  EXPECT_LT(w2, w * 6 / 10);
  QComboBox* layouts = window->findChild<QComboBox*>(QStringLiteral("LayoutCombo"));
  ASSERT_EQ(layouts->count(), render::kLayoutCount);
  const QImage l1 = pv->Rendered().copy();
  layouts->setCurrentIndex(1);
  EXPECT_EQ(window->document().settings.LayoutCombo, 1);
  EXPECT_NE(pv->Rendered(), l1);

  // The paint box is the bitmap plus 8 pixels once it has been painted.
  window->pages()->setCurrentIndex(2);
  Settle();
  EXPECT_EQ(pv->size(), pv->Rendered().size() + QSize(8, 8));
}

TEST_F(WindowTest, SettingsControlsWriteAndReloadTheDocument) {
  Start();
  auto* links = window->findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"));
  ASSERT_NE(links, nullptr);
  EXPECT_EQ(links->value(), 12.0);
  links->setValue(20.5);
  EXPECT_EQ(window->document().settings.LinksEd, 20.5);
  EXPECT_TRUE(window->document().changed) << "a layout setting is unsaved work";

  auto* hex = window->findChild<QLineEdit*>(QStringLiteral("Shape1Hex"));
  ASSERT_NE(hex, nullptr);
  hex->setText(QStringLiteral("  #FFAACC"));
  emit hex->returnPressed();
  EXPECT_EQ(window->document().settings.Shape1, RGBColor(255, 170, 204));
  EXPECT_TRUE(hex->text().isEmpty());
  hex->setText(QStringLiteral("#FFAAC"));
  emit hex->returnPressed();
  EXPECT_EQ(window->document().settings.Shape1, RGBColor(255, 170, 204));
  EXPECT_TRUE(hex->text().isEmpty());
  auto* fonthex = window->findChild<QLineEdit*>(QStringLiteral("FontDialog5Hex"));
  fonthex->setText(QStringLiteral("00ff00zz"));
  emit fonthex->returnPressed();
  EXPECT_EQ(window->document().settings.FontDialog5.color, RGBColor(0, 255, 0));

  // Opening a file shows its values; an exact value is not rounded by the box.
  window->document().settings.LinksEd = 7.125;
  window->ShowDocument();
  EXPECT_EQ(links->value(), 7.13);
  EXPECT_EQ(window->document().settings.LinksEd, 7.125);
}

TEST_F(WindowTest, ProductEditorStoresThroughTheCommands) {
  Start();
  window->document().AddCategory(u"Kat");
  window->ShowDocument();
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(0));
  QPushButton* neu = window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"));
  ASSERT_TRUE(neu->isEnabled());
  neu->click();
  Document& doc = window->document();
  ASSERT_EQ(doc.kats[0].products.Count(), 1u);
  ASSERT_EQ(window->productTab()->productList()->topLevelItemCount(), 1);
  auto* name = window->findChild<QPlainTextEdit*>(QStringLiteral("NameEd"));
  EXPECT_EQ(name->toPlainText(), QStringLiteral("Neues Produkt"));
  EXPECT_EQ(doc.kats[0].products[0].pricecols, 3);

  name->setPlainText(QStringLiteral("Gießkanne"));
  EXPECT_EQ(doc.kats[0].products[0].name, u"Gießkanne");
  EXPECT_EQ(window->productTab()->productList()->topLevelItem(0)->text(0), QStringLiteral("Gießkanne"));

  // A typed line break is stored as CR LF, the break texts from files hold,
  // and a description shown again comes back as typed.
  auto* desc = window->findChild<QPlainTextEdit*>(QStringLiteral("BeschreibungEd"));
  desc->setPlainText(QStringLiteral("verzinkt\nmit Brause"));
  EXPECT_EQ(doc.kats[0].products[0].description, u"verzinkt\r\nmit Brause");
  window->ShowDocument();
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(0));
  window->productTab()->productList()->setCurrentItem(window->productTab()->productList()->topLevelItem(0));
  EXPECT_EQ(desc->toPlainText(), QStringLiteral("verzinkt\nmit Brause"));
  EXPECT_EQ(doc.kats[0].products[0].description, u"verzinkt\r\nmit Brause") << "showing it changed nothing";

  // Row 0 holds the template titles; a cell typed further down pads the table.
  auto* grid = window->findChild<QTableView*>(QStringLiteral("StringGrid1"));
  QAbstractItemModel* m = grid->model();
  EXPECT_EQ(m->data(m->index(0, 2)).toString(), QStringLiteral("Preis"));
  ASSERT_TRUE(m->setData(m->index(2, 1), QStringLiteral("4711"), Qt::EditRole));
  const Product& p = doc.kats[0].products[0];
  ASSERT_EQ(p.variants.Count(), 3u);
  EXPECT_EQ(VariantText(p, 2, 1), u"4711");
  m->setData(m->index(2, 1), QString(), Qt::EditRole);
  EXPECT_EQ(doc.kats[0].products[0].variants.Count(), 1u) << "the emptied last row is trimmed";

  auto* cols = window->findChild<QSpinBox*>(QStringLiteral("AnzPreisSpaltenEd"));
  cols->setValue(2);
  EXPECT_EQ(doc.kats[0].products[0].pricecols, 2);

  // Deselecting the product empties and disables the editor; typing then changes nothing.
  window->productTab()->productList()->clearSelection();
  EXPECT_FALSE(name->isEnabled());
  EXPECT_TRUE(name->toPlainText().isEmpty());
  name->setPlainText(QStringLiteral("x"));
  EXPECT_EQ(doc.kats[0].products[0].name, u"Gießkanne");
}

TEST_F(WindowTest, PicturesOfAProductAreListed) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(2));
  ASSERT_GT(window->productTab()->productList()->topLevelItemCount(), 0);
  window->productTab()->productList()->setCurrentItem(window->productTab()->productList()->topLevelItem(0));
  const Product& p = window->document().kats[2].products[0];
  auto* pics = window->findChild<QListWidget*>(QStringLiteral("BilderList"));
  ASSERT_EQ(pics->count(), static_cast<int>(p.pictures.Count()));
  ASSERT_GT(pics->count(), 0);
  EXPECT_EQ(pics->item(0)->text(), QString::fromStdU16String(p.pictures[0].filename));
}

TEST(FileFilter, DescriptionAndPatternsBecomeAQtFilter) {
  EXPECT_EQ(ui::QtFileFilter(u"Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd"),
            QStringLiteral("Produkt Kataloge (*.pk2 *.pkd)"));
  EXPECT_EQ(ui::QtFileFilter(u"CSV Dateien (*.csv)|*.csv|Alle|*.*"),
            QStringLiteral("CSV Dateien (*.csv);;Alle (*.*)"));
  EXPECT_EQ(ui::QtFileFilter(u"Catalogs|*.pk2"), QStringLiteral("Catalogs (*.pk2)"));
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

// Every tab shows its controls; the pictures land in screens/ beside the
// test program for a look by eye.
TEST_F(WindowTest, EveryTabDrawsItsControls) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->resize(1100, 800);
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(2));
  window->productTab()->productList()->setCurrentItem(window->productTab()->productList()->topLevelItem(0));
  QDir().mkpath(QStringLiteral("screens"));
  for (int i = 0; i < window->pages()->count(); ++i) {
    window->pages()->setCurrentIndex(i);
    Settle();
    const QImage shot = window->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3)
      for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 8) << "tab " << i;
    shot.save(QStringLiteral("screens/tab%1.png").arg(i));
  }
}

}  // namespace
}  // namespace uitest
