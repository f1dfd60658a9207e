// The category, product and template lists keep their entries and
// selection in step with the document through the list commands.
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include "fixture.h"

namespace uitest {
namespace {

QStringList Names(QTreeWidget* list) {
  QStringList out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(0);
  return out;
}

void Click(ui::MainWindow* w, const char* button) {
  auto* b = w->findChild<QPushButton*>(QString::fromLatin1(button));
  ASSERT_NE(b, nullptr) << button;
  b->click();
}

TEST_F(WindowTest, CategoryCommandsKeepListAndDocumentInStep) {
  Start();
  Click(window.get(), "NeueKategorieBtn");
  QTreeWidget* cats = window->productTab()->categoryList();
  ASSERT_EQ(cats->topLevelItemCount(), 1);
  EXPECT_TRUE(window->document().changed);
  cats->topLevelItem(0)->setText(0, QStringLiteral("Töpfe"));  // the in-place edit ends
  EXPECT_EQ(window->document().kats[0].name, u"Töpfe");
  Click(window.get(), "NeueKategorieBtn");
  cats->topLevelItem(1)->setText(0, QStringLiteral("Bänke"));
  ASSERT_EQ(window->productTab()->CurrentSelection().kat, 1);

  Click(window.get(), "KategorieHochBtn");
  EXPECT_EQ(Names(cats), QStringList({"Bänke", "Töpfe"}));
  EXPECT_EQ(window->document().kats[0].name, u"Bänke");
  EXPECT_EQ(window->productTab()->CurrentSelection().kat, 0) << "the moved entry stays selected";
  Click(window.get(), "KategorieHochBtn");  // already first
  EXPECT_EQ(Names(cats), QStringList({"Bänke", "Töpfe"}));

  answers.fb.answers = {Answer::No};
  Click(window.get(), "KategorieLoeschenBtn");
  EXPECT_EQ(window->document().kats.Count(), 2u);
  ASSERT_EQ(answers.fb.Questions(), 1);
  EXPECT_EQ(answers.fb.shown.back().text.find(u"\"Bänke\"") != std::u16string::npos, true);
  answers.fb.answers = {Answer::Yes};
  Click(window.get(), "KategorieLoeschenBtn");
  EXPECT_EQ(Names(cats), QStringList({"Töpfe"}));
  EXPECT_EQ(window->document().kats.Count(), 1u);
  EXPECT_EQ(window->productTab()->productList()->topLevelItemCount(), 0);
  EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"))->isEnabled())
      << "no category selected after the delete";
}

TEST_F(WindowTest, ProductMovesAndDeletesFollowTheSelection) {
  Start();
  Click(window.get(), "NeueKategorieBtn");
  for (int i = 0; i < 3; ++i) Click(window.get(), "NeuesProduktBtn");
  Document& doc = window->document();
  ASSERT_EQ(doc.kats[0].products.Count(), 3u);
  EXPECT_EQ(window->productTab()->CurrentSelection().prods, std::vector<int32_t>({2}))
      << "the new product is selected";
  doc.kats[0].products.GetObject(0)->name = u"A";
  doc.kats[0].products.GetObject(1)->name = u"B";
  doc.kats[0].products.GetObject(2)->name = u"C";
  window->ShowDocument();
  window->productTab()->categoryList()->setCurrentItem(window->productTab()->categoryList()->topLevelItem(0));
  QTreeWidget* prods = window->productTab()->productList();
  prods->setCurrentItem(prods->topLevelItem(2));
  Click(window.get(), "ProduktHochBtn");
  EXPECT_EQ(Names(prods), QStringList({"A", "C", "B"}));
  EXPECT_EQ(window->productTab()->CurrentSelection().prods, std::vector<int32_t>({1}));

  prods->clearSelection();
  prods->topLevelItem(2)->setSelected(true);
  prods->topLevelItem(0)->setSelected(true);
  Click(window.get(), "ProduktLoeschenBtn");
  EXPECT_EQ(Names(prods), QStringList({"C"})) << "every selected product goes";
  EXPECT_EQ(doc.kats[0].products.Count(), 1u);
}

TEST_F(WindowTest, TemplateListHoldsTheStartTitlesAndFollowsAFile) {
  Start();
  auto* list = window->findChild<QTreeWidget*>(QStringLiteral("ListView3"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Names(list), QStringList({"Name", "Art. Nummer", "Preis", "Ab 10 Stk.", "Ab 100 Stk."}));
  list->topLevelItem(1)->setText(0, QStringLiteral("Artikel"));
  EXPECT_EQ(window->document().templatecolumns[1], u"Artikel");
  EXPECT_TRUE(window->document().changed) << "the template is saved with the project: unsaved work";

  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  std::vector<std::u16string> titles = window->document().templatecolumns;
  ASSERT_EQ(list->topLevelItemCount(), static_cast<int>(titles.size()));
  EXPECT_EQ(list->topLevelItem(0)->text(0), QString::fromStdU16String(titles[0]));
  EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("LayoutCombo"))->currentIndex(),
            window->document().settings.LayoutCombo);
}

}  // namespace
}  // namespace uitest
