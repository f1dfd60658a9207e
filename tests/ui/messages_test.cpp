// What the window tells the user: every text of the window and its dialogs
// in the chosen language from the shipped table, captions that fit, and a
// word at the end of each export naming what was written.
#include "i18n/messages.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

#include "core/codepage.h"
#include "fixture.h"
#include "i18n/translate.h"

namespace uitest {
namespace {

struct Seen {
  QString title;
  int width = 0;
};

class MessagesTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                            QString::fromStdString(progpath + "translate.dat")));
  }
  // Triggers the menu entry `name`; every modal window it opens is noted
  // and closed (a file dialog is given `file` and accepted).
  std::vector<Seen> Trigger(const char* name, const QString& file = {}) {
    std::vector<Seen> seen;
    QAction* a = window->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    if (!a) return seen;
    QTimer closer;
    closer.setInterval(30);
    QObject::connect(&closer, &QTimer::timeout, [&] {
      QWidget* m = QApplication::activeModalWidget();
      if (!m || qobject_cast<QProgressDialog*>(m) || !m->isVisible()) return;
      seen.push_back({m->windowTitle(), m->width()});
      if (auto* fd = qobject_cast<QFileDialog*>(m)) {
        if (!file.isEmpty()) {
          // Typed into the name box, as a user would: selectFile leaves a
          // box that has the focus alone, and the box starts with a name.
          if (auto* edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(file);
          else
            fd->selectFile(file);
          static_cast<QDialog*>(fd)->accept();  // QFileDialog's own is protected
          return;
        }
      }
      if (auto* d = qobject_cast<QDialog*>(m))
        d->reject();
      else
        m->close();
    });
    closer.start();
    a->trigger();
    closer.stop();
    Settle();
    return seen;
  }
};

// The rows a run added to the table: texts the window showed that the
// shipped translate.dat does not hold.
std::string Added(const i18n::TranslationTable& t, uint32_t shipped) {
  std::string s;
  for (uint32_t r = shipped; r < t.Count(); ++r) s += "\n  " + ql::ToUtf8(t.Entry(r).texts[0]);
  return s;
}

TEST_F(MessagesTest, EveryWindowAndDialogTextIsShippedAndCaptionsFit) {
  i18n::TranslationTable shippedTable;
  ASSERT_EQ(shippedTable.Load(progpath), i18n::LoadStatus::Loaded);
  const uint32_t shipped = shippedTable.Count();
  for (int lang : {1, 2, 3}) {
    SCOPED_TRACE(lang);
    // Each start begins from the shipped file again.
    QFile::remove(QString::fromStdString(progpath + "translate.dat"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                            QString::fromStdString(progpath + "translate.dat")));
    Start(lang);
    std::vector<Seen> dialogs;
    for (const char* entry :
         {"EinzelneSeitedrucken1", "VariantenSortieren1", "AllePreiseaendern1", "Artikelsuchen1",
          "SuchenundErsetzen1", "PDFAuflsungeinstellen1", "AlsDruckPDFexportieren1",
          "AlsHTMLBltterkatalogexportieren1", "Preislisteerzeugen1", "Ueber1"}) {
      const std::vector<Seen> seen = Trigger(entry);
      EXPECT_FALSE(seen.empty()) << entry << " showed no dialog";
      dialogs.insert(dialogs.end(), seen.begin(), seen.end());
    }
    ASSERT_NE(i18n::CurrentTable(), nullptr);
    EXPECT_EQ(i18n::CurrentTable()->Count(), shipped)
        << "texts missing from translate.dat:" << Added(*i18n::CurrentTable(), shipped);
    // A caption in the title bar's (bold) font, with room for the buttons.
    QFont bold = QApplication::font();
    bold.setBold(true);
    for (const Seen& d : dialogs) {
      EXPECT_NE(d.title.toStdU16String(), u"") << "a dialog without a caption";
      EXPECT_GE(d.width, QFontMetrics(bold).horizontalAdvance(d.title) + 80)
          << d.title.toStdString() << " is cut in a dialog " << d.width << " pixels wide";
    }
    window->document().changed = false;
    window.reset();
  }
}

TEST_F(MessagesTest, ExportsSayWhatTheyWroteAndOfferToOpenIt) {
  std::vector<std::string> opened;
  Start(0);
  ASSERT_TRUE(window->OpenDocument(SamplePath()));
  Settle();
  // The window's hook for opening files, as the desktop would.
  window->SetOpenFileHook([&opened](const std::string& f) {
    opened.push_back(f);
    return true;
  });
  const QString pdf = QString::fromStdString(progpath + "katalog.pdf");
  answers.fb.answers = {Answer::Yes};
  Trigger("AlsPDFDateiexportieren1", pdf);
  ASSERT_FALSE(answers.fb.shown.empty());
  const auto& said = answers.fb.shown.back();
  EXPECT_TRUE(said.question);
  const std::u16string text = said.text;
  EXPECT_NE(text.find(u"Die PDF Datei wurde gespeichert:\n" + pdf.toStdU16String()), std::u16string::npos)
      << ql::ToUtf8(text);
  EXPECT_NE(text.find(u"Seiten: " + ql::FromUtf8(std::to_string(window->session().anzpages))),
            std::u16string::npos)
      << ql::ToUtf8(text);
  EXPECT_NE(text.find(u"Jetzt öffnen?"), std::u16string::npos);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], pdf.toStdString());

  // CSV: all categories (Yes to message 35), then the file; No: nothing opens.
  const QString csv = QString::fromStdString(progpath + "katalog.csv");
  answers.fb.answers = {Answer::Yes, Answer::No};
  Trigger("ExportalsCSVDatei1", csv);
  ASSERT_TRUE(QFile::exists(csv));
  EXPECT_NE(answers.fb.shown.back().text.find(u"Die CSV Datei wurde gespeichert:\n" + csv.toStdU16String()),
            std::u16string::npos)
      << ql::ToUtf8(answers.fb.shown.back().text);
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_EQ(answers.fb.unscripted, 0);
}

}  // namespace
}  // namespace uitest
