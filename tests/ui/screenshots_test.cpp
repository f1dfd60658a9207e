// The window and its dialogs in English, French and Dutch, as a user sees
// them: with QL_SHOT_DIR set, each tab and each dialog is saved there as a
// picture (LANGUAGE-NN-what.png) for a person to look at. Always: no label
// or button of a dialog is narrower than its text needs, and no two of its
// controls share a mnemonic.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <set>

#include "core/codepage.h"
#include "fixture.h"
#include "i18n/languages.h"
#include "platform/recoveryfile.h"
#include "project/projectfile.h"

namespace uitest {
namespace {

class ScreenshotTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                            QString::fromStdString(progpath + "translate.dat")));
    shots_ = qEnvironmentVariable("QL_SHOT_DIR");
    // The window's own message boxes, not scripted answers.
    configure = [](ui::MainWindowConfig& c) { c.dialogs = nullptr; };
  }

  // Looks at every modal window while `run` runs: saves its picture, notes
  // what a user would stumble on, then answers it: a file dialog gets
  // `file` typed into its name box, the first `accepts` others are
  // accepted, the rest closed.
  void Watch(const QString& what, const std::function<void()>& run, const QString& file = {},
             int accepts = 0) {
    std::set<QWidget*> seen;
    QTimer closer;
    closer.setInterval(40);
    QObject::connect(&closer, &QTimer::timeout, [&] {
      QWidget* m = QApplication::activeModalWidget();
      if (!m || qobject_cast<QProgressDialog*>(m) || !m->isVisible() || seen.count(m)) return;
      seen.insert(m);
      Look(m, what);
      if (auto* fd = qobject_cast<QFileDialog*>(m)) {
        if (!file.isEmpty()) {
          if (auto* edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(file);
          static_cast<QDialog*>(fd)->accept();
          return;
        }
      }
      auto* d = qobject_cast<QDialog*>(m);
      if (d && accepts-- > 0)
        d->accept();
      else if (d)
        d->reject();
      else
        m->close();
    });
    closer.start();
    run();
    closer.stop();
    Settle();
  }

  void Look(QWidget* w, const QString& what) {
    Settle();
    if (!shots_.isEmpty())
      w->grab().save(QStringLiteral("%1/%2-%3-%4.png")
                         .arg(shots_)
                         .arg(language_)
                         .arg(++count_, 2, 10, QLatin1Char('0'))
                         .arg(what));
    const std::string where = what.toStdString() + " / " + w->windowTitle().toStdString();
    // Clipped texts: a label or button narrower than its own smallest size.
    for (QWidget* c : w->findChildren<QWidget*>()) {
      if (!c->isVisibleTo(w)) continue;
      auto* label = qobject_cast<QLabel*>(c);
      auto* button = qobject_cast<QAbstractButton*>(c);
      if ((!label || label->wordWrap() || label->text().isEmpty()) && !button) continue;
      if (button && button->text().isEmpty()) continue;
      const QString text = label ? label->text() : button->text();
      EXPECT_GE(c->width(), c->minimumSizeHint().width())
          << where << ": \"" << text.toStdString() << "\" is cut (" << c->width() << " of "
          << c->minimumSizeHint().width() << " pixels)";
    }
    // Mnemonics: one letter, one control.
    QMap<QChar, QString> keys;
    for (QWidget* c : w->findChildren<QWidget*>()) {
      if (!c->isVisibleTo(w)) continue;
      QString text;
      if (auto* label = qobject_cast<QLabel*>(c); label && label->buddy()) text = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(c)) text = button->text();
      const int amp = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
      if (amp < 0) continue;
      const QChar key = text.at(amp + 1).toLower();
      EXPECT_FALSE(keys.contains(key))
          << where << ": Alt+" << QString(key).toStdString() << " is both \"" << keys.value(key).toStdString()
          << "\" and \"" << text.toStdString() << "\"";
      keys.insert(key, text);
    }
  }

  void Trigger(const char* action, const QString& file = {}, int accepts = 0) {
    QAction* a = window->findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(a, nullptr) << action;
    Watch(
        QString::fromLatin1(action), [a] { a->trigger(); }, file, accepts);
  }

  // A copy a killed program left behind, offered at the next start.
  void LeaveRecoveryCopy() {
    const QString folder = QString::fromStdString(progpath + "recovery");
    Document doc;
    ASSERT_TRUE(OpenProjectFile(doc, ql::ToUtf8(SamplePath()), ReadOptions::FromDocument(doc)));
    platform::RecoveryFile copy(folder);
    ASSERT_TRUE(copy.Write(doc, QDateTime(QDate(2026, 3, 14), QTime(9, 30), Qt::UTC)));
    ASSERT_TRUE(QFile::rename(copy.path(), folder + QStringLiteral("/2147483000-1-0.qlr")));
  }

  QString shots_;
  int language_ = 0;
  int count_ = 0;
};

TEST_F(ScreenshotTest, DialogsInEveryLanguageShowTheirWholeTexts) {
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    if (l.column == 0) continue;  // German: the texts themselves
    SCOPED_TRACE(l.code);
    language_ = l.column;
    count_ = 0;
    LeaveRecoveryCopy();
    Watch(QStringLiteral("recovery"), [&] { Start(l.column); });
    ASSERT_TRUE(window->OpenDocument(SamplePath()));
    Settle();
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    ASSERT_NE(tabs, nullptr);
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setCurrentIndex(i);
      Look(window.get(), QStringLiteral("tab%1").arg(i + 1));
    }
    tabs->setCurrentIndex(0);
    const QString dir = QString::fromStdString(progpath);
    Trigger("AlsPDFDateiexportieren1");
    // The options, the file name, the preflight list, the closing word.
    Trigger("AlsDruckPDFexportieren1", dir + QStringLiteral("druck%1.pdf").arg(l.column), 2);
    Trigger("SeitenalsBilderexportieren1");
    Trigger("AlsHTMLBltterkatalogexportieren1");
    Trigger("Preislisteerzeugen1");
    Trigger("AllePreiseaendern1");
    Trigger("SuchenundErsetzen1");
    Trigger("VariantenSortieren1");
    Trigger("Uebersetzen1");
    window->document().changed = false;
    window.reset();
  }
}

}  // namespace
}  // namespace uitest
