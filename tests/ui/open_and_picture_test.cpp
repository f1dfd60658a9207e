// Through the window: a damaged project file is reported and changes
// nothing; the product picture preview follows the product in the editor.
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "fixture.h"
#include "ui/preview.h"

namespace uitest {
namespace {

TEST_F(WindowTest, DamagedProjectFileIsReportedAndTheOpenDocumentStays) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  Document& doc = window->document();
  const uint32_t cats = doc.kats.Count();
  const std::u16string name = doc.afilename;
  const QString caption = window->Caption();

  // The sample cut in the middle.
  QFile sample(QString::fromStdU16String(SamplePath()));
  ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
  const QByteArray bytes = sample.readAll();
  const QString damaged = dir.path() + QStringLiteral("/kaputt.pk2");
  QFile out(damaged);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(bytes.left(bytes.size() / 2));
  out.close();

  answers.openNames = {damaged.toStdU16String()};
  window->OpenCmd();
  ASSERT_EQ(answers.fb.Messages(), 1);
  const std::u16string& text = answers.fb.shown.back().text;
  EXPECT_NE(text.find(damaged.toStdU16String()), std::u16string::npos)
      << QString::fromStdU16String(text).toStdString();
  EXPECT_NE(text.find(u'\n'), std::u16string::npos) << "says what is wrong";
  EXPECT_EQ(answers.fb.shown.back().icon, MessageIcon::Error);
  EXPECT_EQ(doc.kats.Count(), cats);
  EXPECT_EQ(doc.afilename, name);
  EXPECT_FALSE(doc.changed);
  EXPECT_EQ(window->Caption(), caption);
}

TEST_F(WindowTest, PicturePreviewClearsForAProductWithoutPicturesAndANewDocument) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  auto* box = window->findChild<ui::DibBox*>(QStringLiteral("DibPrev"));
  auto* pics = window->findChild<QListWidget*>(QStringLiteral("BilderList"));
  ASSERT_TRUE(box && pics);
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(2));
  window->productTab()->productList()->setCurrentItem(window->productTab()->productList()->topLevelItem(0));
  ASSERT_GT(pics->count(), 0);
  auto clickFirstPicture = [&] {
    pics->setCurrentRow(0);
    emit pics->itemClicked(pics->item(0));
  };
  clickFirstPicture();
  ASSERT_TRUE(box->HasPicture()) << "the sample's picture loads";

  // A new product has no pictures: nothing is shown.
  window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"))->click();
  EXPECT_EQ(pics->count(), 0);
  EXPECT_FALSE(box->HasPicture());

  // Back to the first product: its picture shows again once clicked; another
  // product in the editor clears it. (Selected explicitly: a modifier key
  // left down by an earlier test would otherwise extend the selection.)
  QTreeWidget* products = window->productTab()->productList();
  auto selectOnly = [products](int row) {
    products->setCurrentItem(products->topLevelItem(row), 0, QItemSelectionModel::ClearAndSelect);
  };
  selectOnly(0);
  EXPECT_FALSE(box->HasPicture());
  clickFirstPicture();
  EXPECT_TRUE(box->HasPicture());
  selectOnly(1);
  EXPECT_FALSE(box->HasPicture());

  // A new document shows no picture of the old one.
  selectOnly(0);
  clickFirstPicture();
  ASSERT_TRUE(box->HasPicture());
  answers.fb.answers = {Answer::No};  // do not save the added product
  window->NewCmd();
  EXPECT_EQ(window->document().kats.Count(), 0u);
  EXPECT_FALSE(box->HasPicture());
}

}  // namespace
}  // namespace uitest
