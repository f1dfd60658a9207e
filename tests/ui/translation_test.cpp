// The translation editor over the live table, Qt's own texts in the chosen
// language, and keyboard access to the menus.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "fixture.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "ui/mnemonics.h"
#include "ui/qttranslations.h"
#include "ui/translatewidgets.h"
#include "ui/translationeditor.h"

namespace uitest {
namespace {

// Records where the editor's grid stood at every question.
class GridWatch : public ScriptedFeedback {
 public:
  QTableView* grid = nullptr;
  std::vector<QModelIndex> at;
  Answer Ask(const std::u16string& t, const std::u16string& c, Buttons b) override {
    if (grid) at.push_back(grid->currentIndex());
    return ScriptedFeedback::Ask(t, c, b);
  }
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir.isValid());
    file = dir.filePath(QStringLiteral("translate.dat")).toStdString();
    table.SetFile(file);
    Add(u"Datei", u"File");
    Add(u"Speichern", u"Save");
    Add(i18n::MessageTable(12), u"The file has not been saved. Save it now?");
    Add(u"Öffnen...", u"Open...");
    Add(u"Beenden", u"Quit");
    // The editor's own messages, as the window's first showing adds them.
    for (int n : {3, 29, 30, 31}) table.AddEntry(i18n::MessageTable(n));
    ASSERT_TRUE(table.SaveTranslationTable());
    i18n::SetCurrentTable(&table);
    i18n::SetLanguage(0);
    ui::SetWindowLanguage(0);  // whatever window a test before this one started
  }
  void TearDown() override { i18n::SetCurrentTable(nullptr); }
  void Add(const std::u16string& german, const std::u16string& english) {
    table.SetText(uint32_t(table.AddEntry(german)), 1, english);
  }
  // The table as the next start reads it.
  std::u16string OnDisk(int row, int column) {
    i18n::TranslationTable t;
    t.Load(dir.path().toStdString() + "/");
    return row < int(t.Count()) ? t.Entry(uint32_t(row)).texts[column] : u"<none>";
  }

  QTemporaryDir dir;
  std::string file;
  i18n::TranslationTable table;
  GridWatch fb;
};

TEST_F(EditorTest, GridShowsTheTableAndEditsReachTheFile) {
  ui::TranslationEditor ed(table, fb);
  QAbstractItemModel* m = ed.grid()->model();
  EXPECT_EQ(m->columnCount(), 20);
  EXPECT_EQ(m->rowCount(), 9);
  EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("German"));
  EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Français"));
  EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Nederlands"));
  EXPECT_EQ(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Español"));
  EXPECT_EQ(m->headerData(5, Qt::Horizontal).toString(), QStringLiteral("language5"));
  EXPECT_EQ(m->headerData(19, Qt::Horizontal).toString(), QStringLiteral("language19"));
  EXPECT_EQ(ed.grid()->columnWidth(5), 250);
  EXPECT_EQ(m->index(1, 1).data().toString(), QStringLiteral("Save"));

  ASSERT_TRUE(m->setData(m->index(1, 2), QStringLiteral("Enregistrer")));
  EXPECT_EQ(table.Entry(1).texts[2], u"Enregistrer") << "the model edits the live table";
  EXPECT_EQ(OnDisk(1, 2), u"Enregistrer") << "and the file holds it at once";
  EXPECT_EQ(table.TranslateText(u"Speichern", 2), u"Enregistrer");
}

// The language table names the editor's columns; the others are numbered.
TEST_F(EditorTest, HeadingsFollowTheLanguageTable) {
  ui::TranslationEditor ed(table, fb);
  QAbstractItemModel* m = ed.grid()->model();
  QSet<int> named;
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    EXPECT_EQ(m->headerData(l.column, Qt::Horizontal).toString(), QString::fromUtf8(l.heading));
    named.insert(l.column);
  }
  for (int c = 0; c < i18n::kColumns; ++c)
    if (!named.contains(c)) {
      EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), QStringLiteral("language%1").arg(c));
    }
}

TEST_F(EditorTest, SearchWalksEveryHitAndStopsOnNo) {
  ui::TranslationEditor ed(table, fb);
  fb.grid = ed.grid();
  ed.searchBox()->setText(QStringLiteral("speichern"));
  fb.answers = {Answer::Yes, Answer::Yes};
  ed.Search();
  ASSERT_EQ(fb.at.size(), 2u) << "\"Speichern\" and message 12 (\"gespeichert\")";
  EXPECT_EQ(fb.at[0], ed.grid()->model()->index(1, 0));
  EXPECT_EQ(fb.at[1], ed.grid()->model()->index(2, 0));
  EXPECT_EQ(fb.shown[0].text, i18n::Msg(30));
  EXPECT_EQ(fb.shown[0].caption, i18n::Msg(29));
  EXPECT_EQ(fb.shown[0].buttons, Buttons::YesNo);

  fb.at.clear();
  fb.answers = {Answer::Yes, Answer::Yes, Answer::No};
  ed.searchBox()->clear();  // an empty text matches every cell
  ed.Search();
  ASSERT_EQ(fb.at.size(), 3u);
  EXPECT_EQ(fb.at[1], ed.grid()->model()->index(0, 1));
  EXPECT_EQ(fb.at[2], ed.grid()->model()->index(0, 2));
}

TEST_F(EditorTest, DeletingARowKeepsEveryOtherLookup) {
  ui::TranslationEditor ed(table, fb);
  ed.grid()->setCurrentIndex(ed.grid()->model()->index(1, 1));
  fb.answers = {Answer::No};
  ed.DeleteCurrentRow();
  EXPECT_EQ(table.Count(), 9u);
  ASSERT_EQ(fb.Questions(), 1);
  EXPECT_EQ(fb.shown[0].text, i18n::Msg(31) + u"\n\nSpeichern")
      << "the question and the row's text in the body";
  EXPECT_EQ(fb.shown[0].caption, i18n::Msg(3));
  EXPECT_EQ(fb.shown[0].buttons, Buttons::YesNoCancel);

  fb.answers = {Answer::Yes};
  ed.DeleteCurrentRow();
  EXPECT_EQ(table.Count(), 8u);
  EXPECT_EQ(table.Find(u"Speichern"), -1);
  EXPECT_EQ(OnDisk(1, 0), i18n::MessageTable(12));
  EXPECT_EQ(ed.grid()->currentIndex().row(), 1) << "the same row is current again";
  EXPECT_EQ(table.TranslateText(u"Datei", 1), u"File");
  EXPECT_EQ(table.TranslateText(u"Öffnen...", 1), u"Open...");
  EXPECT_EQ(table.TranslateText(u"Beenden", 1), u"Quit");
  EXPECT_EQ(table.TranslateText(i18n::MessageTable(12), 1), u"The file has not been saved. Save it now?");
}

TEST_F(EditorTest, DeleteKeyDeletesOnlyOutsideCellEditing) {
  ui::TranslationEditor ed(table, fb);
  ed.show();
  QApplication::setActiveWindow(&ed);
  QTableView* grid = ed.grid();
  const QModelIndex cell = grid->model()->index(3, 1);
  grid->setCurrentIndex(cell);
  grid->edit(cell);
  QWidget* editor = grid->indexWidget(cell) ? grid->indexWidget(cell) : QApplication::focusWidget();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(ed.CellBeingEdited());
  QTest::keyClick(editor, Qt::Key_Delete);
  EXPECT_EQ(table.Count(), 9u) << "the key edits the cell text";
  EXPECT_EQ(fb.Questions(), 0);
  grid->setFocus();  // ends the edit
  QApplication::processEvents();
  ASSERT_FALSE(ed.CellBeingEdited());
  fb.answers = {Answer::Yes};
  QTest::keyClick(grid, Qt::Key_Delete);
  EXPECT_EQ(table.Count(), 8u);
  EXPECT_EQ(table.Find(u"Öffnen..."), -1);
}

TEST_F(EditorTest, FirstColumnStaysWhileTheGridScrollsSideways) {
  ui::TranslationEditor ed(table, fb);
  ed.resize(800, 400);
  ed.show();
  QApplication::processEvents();
  auto* frozen = ed.findChild<QTableView*>(QStringLiteral("FrozenColumn"));
  ASSERT_NE(frozen, nullptr);
  EXPECT_FALSE(frozen->isVisible());
  ed.freezeBox()->setChecked(true);
  ed.grid()->horizontalScrollBar()->setValue(1000);
  QApplication::processEvents();
  EXPECT_TRUE(frozen->isVisible());
  EXPECT_EQ(frozen->columnViewportPosition(0), 0) << "the German column is where it was";
  EXPECT_EQ(frozen->model()->index(2, 0).data().toString(),
            QString::fromStdU16String(i18n::MessageTable(12)));
  ed.freezeBox()->setChecked(false);
  EXPECT_FALSE(frozen->isVisible());
}

TEST_F(WindowTest, QtButtonsSpeakTheChosenLanguage) {
  Start(-1);
  window->findChild<QAction*>(QStringLiteral("Sprache0"))->trigger();  // Deutsch
  QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Ja"));
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Nein"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Abbrechen"));
  window->findChild<QAction*>(QStringLiteral("Sprache2"))->trigger();  // Français
  QMessageBox fr(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"), QMessageBox::Yes);
  EXPECT_EQ(fr.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Oui"));
  ui::InstallQtTranslations(1);
}

// The "Sprache" menu lists the language table in its order, and the
// language options.dat names is the one checked at start.
TEST_F(WindowTest, LanguageMenuFollowsTheLanguageTable) {
  for (const i18n::InterfaceLanguage& stored : i18n::InterfaceLanguages()) {
    SCOPED_TRACE(stored.code);
    if (window) TearDown();
    Start(stored.column);
    QMenu* menu = nullptr;
    for (QAction* a : window->menuBar()->actions())
      if (QString(a->menu()->title()).remove(QLatin1Char('&')) == ui::TrW(QStringLiteral("Sprache")))
        menu = a->menu();
    ASSERT_NE(menu, nullptr);
    QList<QAction*> entries;
    for (QAction* a : menu->actions())
      if (a->isCheckable()) entries << a;
    ASSERT_EQ(entries.size(), static_cast<int>(i18n::InterfaceLanguages().size()));
    for (size_t i = 0; i < i18n::InterfaceLanguages().size(); ++i) {
      const i18n::InterfaceLanguage& l = i18n::InterfaceLanguages()[i];
      QAction* a = entries[static_cast<int>(i)];
      EXPECT_EQ(QString(a->text()).remove(QLatin1Char('&')), QString::fromUtf8(l.nativeName));
      EXPECT_EQ(a->objectName(), QStringLiteral("Sprache%1").arg(l.column));
      EXPECT_EQ(a->isChecked(), l.column == stored.column) << l.code;
    }
  }
  TearDown();
  Start(0);  // the window texts in German again for the tests after this one
}

// A window started in Spanish: menus, tabs, messages and Qt's buttons.
TEST_F(WindowTest, SpanishWindowSpeaksSpanish) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                          QString::fromStdString(progpath + "translate.dat")));
  Start(4);
  QStringList titles;
  for (QAction* a : window->menuBar()->actions()) titles << QString(a->text()).remove(QLatin1Char('&'));
  EXPECT_EQ(titles, QStringList({"Archivo", "Editar", "Idioma", "Opciones", "Ayuda"}));
  EXPECT_EQ(window->pages()->tabText(0), QStringLiteral("Productos"));
  EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("Sprache4"))->isChecked());
  EXPECT_EQ(QString(window->findChild<QAction*>(QStringLiteral("Sprache4"))->text()).remove(QLatin1Char('&')),
            QStringLiteral("Español"));
  QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
                  QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Sí"));
  window->findChild<QAction*>(QStringLiteral("Sprache4"))->trigger();
  ASSERT_EQ(answers.fb.Messages(), 1);
  EXPECT_EQ(answers.fb.shown[0].text, u"Cierre el programa y vuelva a iniciarlo.");
  EXPECT_EQ(answers.fb.shown[0].caption, u"Traducir");
  ui::InstallQtTranslations(1);
}

TEST_F(WindowTest, TranslateEntryOpensTheEditorAndNotesTheRestart) {
  Start();
  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* ed = qobject_cast<ui::TranslationEditor*>(QApplication::activeModalWidget());
    shown = ed != nullptr;
    if (ed) ed->findChild<QPushButton*>(QStringLiteral("ZurueckBtn"))->click();
  });
  window->findChild<QAction*>(QStringLiteral("Uebersetzen1"))->trigger();
  EXPECT_TRUE(shown);
  ASSERT_EQ(answers.fb.Messages(), 1);
  EXPECT_EQ(answers.fb.shown[0].text, i18n::Msg(2));
  EXPECT_EQ(answers.fb.shown[0].caption, i18n::Msg(3));
}

TEST(Mnemonics, EachLetterOnceAndLiteralAmpersandsKept) {
  EXPECT_EQ(ui::WithMnemonics({"Datei", "Bearbeiten", "Sprache", "Optionen", "Hilfe"}),
            QStringList({"&Datei", "&Bearbeiten", "&Sprache", "&Optionen", "&Hilfe"}));
  const QStringList m = ui::WithMnemonics({"Speichern", "Speichern unter...", "Sortieren", "S & S", "&Neu"});
  EXPECT_EQ(m[0], QStringLiteral("&Speichern"));
  EXPECT_EQ(m[1], QStringLiteral("Speichern &unter..."));
  EXPECT_EQ(m[2], QStringLiteral("S&ortieren"));
  EXPECT_EQ(m[3], QStringLiteral("S && S")) << "no letter left: no mark, the ampersand doubled";
  EXPECT_EQ(m[4], QStringLiteral("&Neu"));
}

// In every language the marks of the menu bar and of each menu differ, and
// the marked texts are the translated ones.
TEST_F(WindowTest, MenuMarksDoNotClashInAnyLanguage) {
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    const int language = l.column;
    SCOPED_TRACE(l.code);
    QFile::remove(QString::fromStdString(progpath + "translate.dat"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/translate.dat"),
                            QString::fromStdString(progpath + "translate.dat")));
    if (window) TearDown();
    Start(language);
    auto letters = [](const QList<QAction*>& actions, bool titles) {
      QStringList seen;
      for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        const QString t = titles ? a->menu()->title() : a->text();
        const int at = t.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        if (at >= 0) seen << t.mid(at + 1, 1).toLower();
      }
      return seen;
    };
    const QStringList bar = letters(window->menuBar()->actions(), true);
    EXPECT_EQ(bar.size(), 5);
    EXPECT_EQ(QSet<QString>(bar.begin(), bar.end()).size(), bar.size());
    for (QAction* m : window->menuBar()->actions()) {
      const QStringList l = letters(m->menu()->actions(), false);
      EXPECT_EQ(QSet<QString>(l.begin(), l.end()).size(), l.size()) << m->menu()->title().toStdString();
    }
    QAction* open = window->findChild<QAction*>(QStringLiteral("Oeffnen1"));
    EXPECT_EQ(QString(open->text()).remove(QLatin1Char('&')), ui::TrW(QStringLiteral("Öffnen...")));
    EXPECT_EQ(open->shortcut(), QKeySequence(QKeySequence::Open));
    QFile shipped(QStringLiteral(QL_BIN_DIR "/translate.dat"));
    QFile used(QString::fromStdString(progpath + "translate.dat"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly) && used.open(QIODevice::ReadOnly));
    EXPECT_TRUE(shipped.readAll() == used.readAll()) << "starting the window added rows to the table";
  }
  EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("Artikelsuchen1"))->shortcut(),
            QKeySequence(QKeySequence::Find));
}

}  // namespace
}  // namespace uitest
