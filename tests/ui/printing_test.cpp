// The window's printing: "Drucken" (button and menu) without a dialog,
// "Einzelne Seite drucken..." with its page form, "Drucker einrichten"
// re-laying the preview out for the new paper, and the price list window
// whose edited text is what gets printed. The printer writes a PDF through
// Qt's own PDF output.
#include <QAction>
#include <QApplication>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "fixture.h"
#include "pdf/pdf_test_util.h"
#include "ui/preview.h"
#include "ui/printcommands.h"

namespace {

using uitest::WindowTest;

int PdfPages(const QString& path) {
  return std::atoi(
      pdftest::RunCapture("qpdf --show-npages '" + path.toStdString() + "' 2>/dev/null").c_str());
}

// Runs `step` on the modal dialog of type D once it is shown; a dialog that
// never appears ends the wait after a few seconds so the test cannot hang.
template <class D>
void WhenModal(std::function<void(D&)> step) {
  auto tries = std::make_shared<int>(0);
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [step, tries, poll] {
    if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
      step(*d);
      return;
    }
    if (++*tries < 200) QTimer::singleShot(20, *poll);
  };
  QTimer::singleShot(20, *poll);
}

class PrintWindow : public WindowTest {
 protected:
  void Open() {
    Start();
    ASSERT_TRUE(window->OpenDocument(uitest::SamplePath()));
    QPrinter& p = window->printing().printer();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setResolution(100);
    pdf = dir.path() + QStringLiteral("/printed.pdf");
    p.setOutputFileName(pdf);
  }
  void Trigger(const char* name) {
    QAction* a = window->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(a, nullptr) << name;
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
    Settle();
  }
  QString pdf;
};

TEST_F(PrintWindow, PrintButtonAndMenuPrintTheWholeCatalogAtOnce) {
  Open();
  ASSERT_FALSE(window->document().options.DruckenDialoganzeigenvordemDrucken1);
  window->session().anzpages = 0;
  auto* button = window->findChild<QPushButton*>(QStringLiteral("PrintBtn"));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isEnabled());
  button->click();
  Settle();
  EXPECT_TRUE(answers.fb.shown.empty());
  const int pages = window->session().anzpages;
  ASSERT_GE(pages, 3);
  EXPECT_EQ(PdfPages(pdf), pages);

  QFile::remove(pdf);
  Trigger("Drucken1");
  EXPECT_EQ(PdfPages(pdf), pages);
}

TEST_F(PrintWindow, OnePageFormPrintsTheChosenPage) {
  Open();
  window->session().anzpages = 77;
  WhenModal<QDialog>([](QDialog& d) {
    EXPECT_EQ(d.objectName(), QStringLiteral("TPrintOnePageForm"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Eine Seite drucken..."));
    auto* page = d.findChild<QSpinBox*>(QStringLiteral("PageEd"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->minimum(), 1);
    EXPECT_EQ(page->maximum(), 1000000);
    page->setValue(2);
    d.accept();
  });
  Trigger("EinzelneSeitedrucken1");
  EXPECT_EQ(PdfPages(pdf), 1);
  EXPECT_EQ(window->printing().onePage, 2);  // kept for the next time
  EXPECT_EQ(window->session().anzpages, 77);

  // A page the catalog does not have: a message, nothing printed.
  QFile::remove(pdf);
  WhenModal<QDialog>([](QDialog& d) {
    d.findChild<QSpinBox*>(QStringLiteral("PageEd"))->setValue(5000);
    d.accept();
  });
  Trigger("EinzelneSeitedrucken1");
  ASSERT_EQ(answers.fb.shown.size(), 1u);
  EXPECT_NE(answers.fb.shown[0].text.find(u"Die Seite 5000 gibt es nicht"), std::u16string::npos);
  EXPECT_FALSE(QFile::exists(pdf));

  // Closing the form any other way prints nothing.
  WhenModal<QDialog>([](QDialog& d) { d.reject(); });
  Trigger("EinzelneSeitedrucken1");
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintWindow, PrinterSetupLaysThePreviewOutForTheNewPaper) {
  Open();
  const platform::PrinterPage before = window->preview()->printer();
  // The paper changes while the setup dialog is open; the dialog is then
  // cancelled, and the preview still follows the printer. (Qt has no setup
  // dialog for its PDF output: then the dialog does not show at all.)
  QPrinter& printer = window->printing().printer();
  printer.setPageSize(QPageSize(QPageSize::A5));
  WhenModal<QPageSetupDialog>([](QPageSetupDialog& d) { d.reject(); });
  Trigger("Druckereinrichten1");
  const platform::PrinterPage now = window->preview()->printer();
  const platform::PrinterPage expect = platform::PrinterPageOf(printer);
  EXPECT_EQ(now.resx, 100);
  EXPECT_EQ(now.width, expect.width);
  EXPECT_EQ(now.height, expect.height);
  // A5 at 100 dpi less the printer's margins: 583 x 827 pixels at most.
  EXPECT_LE(now.width, 583);
  EXPECT_GT(now.width, 500);
  EXPECT_LE(now.height, 827);
  EXPECT_NE(now.height, before.height);
}

TEST_F(PrintWindow, PriceListWindowPrintsWhatTheUserEdited) {
  Open();
  bool shown = false;
  window->printing().onPriceListShown = [&](ui::TPreisListeForm& form) {
    shown = true;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Preisliste"));
    EXPECT_EQ(form.BitBtn2->text(), QStringLiteral("Drucken"));
    EXPECT_EQ(form.BitBtn3->text(), QStringLiteral("Drucker einrichten..."));
    EXPECT_FALSE(form.RichEdit1->isReadOnly());
    QTextDocument* doc = form.RichEdit1->document();
    const QTextBlock title = doc->begin();
    EXPECT_EQ(title.text(), QStringLiteral("Preisliste"));
    QTextCharFormat f = title.begin().fragment().charFormat();
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_EQ(f.fontPointSize(), 14);
    EXPECT_EQ(f.fontFamilies().toStringList().value(0), QStringLiteral("Liberation Mono"));
    // The first product: its name bold 10 pt, then its rows regular.
    const QTextBlock name = title.next().next();
    EXPECT_EQ(name.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(name.begin().fragment().charFormat().fontPointSize(), 10);
    EXPECT_EQ(name.next().begin().fragment().charFormat().fontWeight(), QFont::Normal);
    QTimer::singleShot(0, &form, [&form] {
      QTextCursor cur(form.RichEdit1->document());
      cur.movePosition(QTextCursor::End);
      cur.insertText(QStringLiteral("Von Hand ergänzt"));
      // Kept as a test artefact: the window as the user sees it.
      form.grab().save(QStringLiteral("price_list_window.png"));
      form.BitBtn2->click();
      form.BitBtn1->click();
    });
  };
  Trigger("Preislisteerzeugen1");
  EXPECT_TRUE(shown);
  EXPECT_TRUE(answers.fb.shown.empty());
  ASSERT_GE(PdfPages(pdf), 1);
  const std::string text = pdftest::RunCapture("pdftotext -layout '" + pdf.toStdString() + "' -");
  EXPECT_NE(text.find("Preisliste"), std::string::npos);
  EXPECT_NE(text.find("Von Hand ergänzt"), std::string::npos);
  EXPECT_NE(pdftest::RunCapture("pdfinfo '" + pdf.toStdString() + "'").find("Katalog"), std::string::npos);
}

}  // namespace
