// The window shows what it holds: the first category of a document just
// opened, the page an export stopped at, and pictures taken from the
// program's folder wherever the program was started.
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "core/codepage.h"
#include "fixture.h"
#include "output/htmlcatalog.h"
#include "ui/exportdialogs.h"
#include "ui/preview.h"

namespace uitest {
namespace {

// Runs `step` on the modal dialog of type D once it shows; gives up after
// `tries` polls 20 ms apart, so a dialog that never comes cannot hang.
template <class D>
void WhenModal(std::function<void(D&)> step, int tries = 250) {
  auto left = std::make_shared<int>(tries);
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [step, left, poll] {
    if (auto* d = dynamic_cast<D*>(QApplication::activeModalWidget())) {
      step(*d);
      return;
    }
    if (--*left > 0) QTimer::singleShot(20, *poll);
  };
  QTimer::singleShot(20, *poll);
}

TEST_F(WindowTest, AnOpenedProjectShowsItsFirstCategoryAndItsProducts) {
  Start();
  QPushButton* newProduct = window->findChild<QPushButton*>(QStringLiteral("NeuesProduktBtn"));
  ASSERT_NE(newProduct, nullptr);
  EXPECT_FALSE(newProduct->isEnabled()) << "an empty document has no category";
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  const Document& doc = window->document();
  ASSERT_GT(doc.kats.Count(), 0u);
  QTreeWidget* cats = window->productTab()->categoryList();
  ASSERT_NE(cats->currentItem(), nullptr);
  EXPECT_EQ(cats->indexOfTopLevelItem(cats->currentItem()), 0);
  EXPECT_TRUE(cats->topLevelItem(0)->isSelected());
  QTreeWidget* prods = window->productTab()->productList();
  ASSERT_EQ(prods->topLevelItemCount(), static_cast<int>(doc.kats[0].products.Count()));
  if (prods->topLevelItemCount() > 0) {
    EXPECT_EQ(prods->topLevelItem(0)->text(0), QString::fromStdU16String(doc.kats[0].products[0].name));
  }
  EXPECT_TRUE(newProduct->isEnabled());
  EXPECT_FALSE(doc.changed) << "showing the first category changes nothing";
  EXPECT_FALSE(window->Caption().contains(QStringLiteral("*")));
}

TEST_F(WindowTest, AfterExportingPageImagesTheBoxAndThePreviewShowOnePage) {
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  window->pages()->setCurrentIndex(2);
  auto* box = window->findChild<QSpinBox*>(QStringLiteral("SeiteEd"));
  ASSERT_NE(box, nullptr);
  ASSERT_FALSE(window->preview()->Rendered().isNull());
  box->setValue(2);
  Settle();
  ASSERT_EQ(window->preview()->page(), 2);

  const QString target = dir.path() + QStringLiteral("/seite.jpg");
  bool done = false;
  WhenModal<QFileDialog>([&](QFileDialog& fd) {
    // Typed into the name box: selectFile leaves a box with the focus alone.
    if (auto* edit = fd.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      edit->setText(target);
    else
      fd.selectFile(target);
    WhenModal<ui::TBitmapResolution>([&](ui::TBitmapResolution& res) {
      res.findChild<QSpinBox*>(QStringLiteral("ResEd"))->setValue(10);
      // The closing message box comes once every page is written.
      WhenModal<QMessageBox>(
          [&](QMessageBox& m) {
            done = true;
            m.done(0);
          },
          3000);
      res.accept();
    });
    static_cast<QDialog&>(fd).accept();  // QFileDialog's own is protected
  });
  QAction* a = window->findChild<QAction*>(QStringLiteral("SeitenalsBilderexportieren1"));
  ASSERT_NE(a, nullptr);
  a->trigger();
  Settle();
  ASSERT_TRUE(done) << "the export ran to its message";
  ASSERT_TRUE(QFile::exists(dir.path() + QStringLiteral("/seite1.jpg")));
  const int last = window->session().anzpages;
  ASSERT_GT(last, 2);
  EXPECT_EQ(box->value(), last) << "the box stopped at the last page exported";
  EXPECT_EQ(window->preview()->page(), box->value()) << "the preview shows the page of the box";
  EXPECT_FALSE(window->preview()->Rendered().isNull());
}

TEST_F(WindowTest, TheHtmlCatalogDialogAsksForThePdfAndTheCatalogLinksIt) {
  const QString prog = QString::fromStdString(progpath);
  QStringList shipped = {QString::fromLatin1(output::kHtmlTemplateName)};
  for (const char* p : output::kHtmlNavPictures) shipped << QString::fromLatin1(p);
  for (const QString& f : shipped)
    ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/") + f, prog + f)) << f.toStdString();
  Start();
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  const QString folder = dir.path() + QStringLiteral("/katalog");
  // Twice: the first run ticks the box, the second finds it ticked.
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    bool ticked = false;
    WhenModal<ui::TSelectFolderForm>([&](ui::TSelectFolderForm& d) {
      d.findChild<QLineEdit*>(QStringLiteral("DirectoryEdit1"))->setText(folder);
      auto* pdf = d.findChild<QCheckBox*>(QStringLiteral("WithPdfCheck"));
      ASSERT_NE(pdf, nullptr);
      ticked = pdf->isChecked();
      pdf->setChecked(true);
      WhenModal<ui::TBitmapResolution>([](ui::TBitmapResolution& res) {
        res.findChild<QSpinBox*>(QStringLiteral("ResEd"))->setValue(10);
        res.accept();
      });
      d.accept();
    });
    QAction* a = window->findChild<QAction*>(QStringLiteral("AlsHTMLBltterkatalogexportieren1"));
    ASSERT_NE(a, nullptr);
    a->trigger();
    Settle();
    EXPECT_EQ(ticked, run == 1) << "the choice is kept for the next export";
  }
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/") + QString::fromLatin1(output::kHtmlPdfName)));
  QFile html(folder + QStringLiteral("/") + QString::fromLatin1(output::kHtmlCatalogName));
  ASSERT_TRUE(html.open(QIODevice::ReadOnly));
  EXPECT_TRUE(html.readAll().contains("href=\"catalog.pdf\""));
  EXPECT_FALSE(window->document().changed) << "an export changes nothing in the document";
}

// Changes the current folder for the scope.
struct InFolder {
  std::string previous;
  explicit InFolder(const QString& folder) {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) previous = buf;
    EXPECT_EQ(::chdir(folder.toStdString().c_str()), 0);
  }
  ~InFolder() {
    if (!previous.empty()) {
      EXPECT_EQ(::chdir(previous.c_str()), 0);
    }
  }
};

TEST_F(WindowTest, APictureFromTheProgramFolderIsDrawnWhereverTheProgramStarted) {
  // The program's folder holds the default logo and a picture; the program
  // runs in a folder of its own, and the project is saved into a third one.
  const QString prog = QString::fromStdString(progpath);
  for (const char* name : {"gartenbank-1.jpg", "logo morvetta200x200.gif"})
    ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/") + QString::fromUtf8(name),
                            prog + QString::fromUtf8(name)));
  QTemporaryDir elsewhere, saved;
  ASSERT_TRUE(elsewhere.isValid() && saved.isValid());
  InFolder cwd(elsewhere.path());
  Start();
  Document& doc = window->document();
  EXPECT_TRUE(window->session().di3.loaded()) << "the default logo beside the program";

  Product* p = doc.AddProduct(*doc.AddCategory(u"Gartenmöbel"));
  p->name = u"Gartenbank";
  window->ShowDocument();
  window->productTab()->productList()->setCurrentItem(window->productTab()->productList()->topLevelItem(0));
  window->productTab()->AddPictureFiles({prog.toStdU16String() + u"gartenbank-1.jpg"});
  ASSERT_EQ(p->pictures.Count(), 1u);
  EXPECT_EQ(p->pictures[0].filename, u"gartenbank-1.jpg") << "a picture of the program's folder is held bare";

  auto drawsEverything = [&](const char* when) {
    SCOPED_TRACE(when);
    window->pages()->setCurrentIndex(2);
    window->preview()->Invalidate();
    ASSERT_FALSE(window->preview()->Rendered().isNull());
    EXPECT_TRUE(window->preview()->toolTip().isEmpty()) << window->preview()->toolTip().toStdString();
    EXPECT_TRUE(window->session().di3.loaded());
  };
  drawsEverything("added");

  const QString file = saved.path() + QStringLiteral("/katalog.pk2");
  answers.saveNames = {file.toStdU16String()};
  ASSERT_TRUE(window->SaveAsCmd());
  ASSERT_TRUE(window->OpenDocument(file.toStdU16String()));
  ASSERT_EQ(doc.kats.Count(), 1u);
  ASSERT_EQ(doc.kats[0].products[0].pictures.Count(), 1u);
  EXPECT_EQ(doc.kats[0].products[0].pictures[0].filename, prog.toStdU16String() + u"gartenbank-1.jpg");
  EXPECT_EQ(doc.settings.FilenameEdit1, prog.toStdU16String() + u"logo morvetta200x200.gif");
  drawsEverything("saved and opened again");
}

}  // namespace
}  // namespace uitest
