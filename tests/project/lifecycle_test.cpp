#include "project/lifecycle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "core/codepage.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "project/optionsfile.h"
#include "project/projectfile.h"
#include "projectfile_testutil.h"
#include "support/scripted_feedback.h"

namespace {

using lifecycle::Caption;
using lifecycle::LifecycleUi;

std::string TempFolder() {
  std::string tmpl = ::testing::TempDir() + "qllifeXXXXXX";
  char* d = mkdtemp(tmpl.data());
  EXPECT_NE(d, nullptr);
  return tmpl + "/";
}
bool Exists(const std::string& path) { return std::ifstream(path).good(); }
void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
std::u16string U(const std::string& s) { return ql::FromUtf8(s); }

// Scripted dialogs: message boxes through ScriptedFeedback, file dialogs from
// queues (an empty optional is a cancelled dialog).
class ScriptedUi : public LifecycleUi {
 public:
  ScriptedFeedback fb;
  std::deque<std::optional<std::u16string>> saveNames, openNames;
  std::u16string lastFilter, lastExtension;
  int saveDialogs = 0, openDialogs = 0;

  void ShowMessage(const std::u16string& t, const std::u16string& c, MessageIcon i) override {
    fb.ShowMessage(t, c, i);
  }
  Answer Ask(const std::u16string& t, const std::u16string& c, Buttons b) override { return fb.Ask(t, c, b); }
  bool AskSaveFileName(const std::u16string& filter, const std::u16string& ext,
                       std::u16string& name) override {
    ++saveDialogs;
    return Take(saveNames, filter, ext, name);
  }
  bool AskOpenFileName(const std::u16string& filter, const std::u16string& ext,
                       std::u16string& name) override {
    ++openDialogs;
    return Take(openNames, filter, ext, name);
  }

 private:
  bool Take(std::deque<std::optional<std::u16string>>& q, const std::u16string& filter,
            const std::u16string& ext, std::u16string& name) {
    lastFilter = filter;
    lastExtension = ext;
    if (q.empty() || !q.front()) {
      if (!q.empty()) q.pop_front();
      return false;
    }
    name = *q.front();
    q.pop_front();
    return true;
  }
};

// A shown document with one category, marked changed.
void MakeShownAndChanged(Document& doc) {
  doc.maincap = lifecycle::kMainCaption;
  doc.AddCategory(u"Werkzeug");
  doc.SetChanged();
}

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    i18n::SetCurrentTable(nullptr);
    i18n::SetLanguage(0);
    dir = TempFolder();
  }
  void TearDown() override {
    i18n::SetCurrentTable(nullptr);
    i18n::SetLanguage(0);
  }
  std::string dir;
  Document doc;
  ScriptedUi ui;
};

TEST_F(LifecycleTest, CaptionShowsFileNameAndChangeMarker) {
  EXPECT_EQ(Caption(doc), u"");
  int told = 0;
  doc.onCaptionChanged = [&] { ++told; };
  // Before the first showing neither call changes anything.
  doc.SetChanged();
  EXPECT_FALSE(doc.changed);
  doc.changed = true;
  doc.SetUnChanged();
  EXPECT_TRUE(doc.changed);
  EXPECT_EQ(told, 0);
  EXPECT_EQ(Caption(doc), u"");

  doc.changed = false;
  doc.maincap = u"Morvetta Quillane 1.0";
  doc.SetUnChanged();
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [unbenannt.pk2]");
  doc.SetChanged();
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [unbenannt.pk2*]");
  doc.afilename = u"/home/anna/Kataloge/Herbst 2024.pk2";
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [Herbst 2024.pk2*]");
  doc.afilename = u"C:\\Daten\\alt.pkd";
  doc.SetUnChanged();
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [alt.pkd]");
  EXPECT_EQ(told, 3);

  // The untitled name follows the current language.
  i18n::TranslationTable table;
  table.AddEntry(u"unbenannt");
  table.SetText(0, 1, u"untitled");
  i18n::SetCurrentTable(&table);
  i18n::SetLanguage(1);
  doc.afilename.clear();
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [untitled.pk2]");
}

TEST_F(LifecycleTest, AskToSaveGuardFollowsTheAnswers) {
  // Nothing unsaved: no question.
  EXPECT_TRUE(lifecycle::AskToSave(doc, ui));
  EXPECT_EQ(ui.fb.Questions(), 0);

  MakeShownAndChanged(doc);
  doc.afilename = U(dir + "katalog.pk2");

  ui.fb.answers = {Answer::Cancel};
  EXPECT_FALSE(lifecycle::AskToSave(doc, ui));
  ASSERT_EQ(ui.fb.shown.size(), 1u);
  EXPECT_EQ(ui.fb.shown[0].text, i18n::MessageTable(12));
  EXPECT_EQ(ui.fb.shown[0].caption, u"Speichern");
  EXPECT_EQ(ui.fb.shown[0].buttons, Buttons::YesNoCancel);

  ui.fb.answers = {Answer::No};
  EXPECT_TRUE(lifecycle::AskToSave(doc, ui));
  EXPECT_TRUE(doc.changed);
  EXPECT_FALSE(Exists(dir + "katalog.pk2"));

  ui.fb.answers = {Answer::Yes};
  EXPECT_TRUE(lifecycle::AskToSave(doc, ui));
  EXPECT_FALSE(doc.changed);
  EXPECT_TRUE(Exists(dir + "katalog.pk2"));
  EXPECT_EQ(ui.saveDialogs, 0);
  EXPECT_TRUE(ui.fb.AllAnswersUsed());
}

TEST_F(LifecycleTest, YesWithCancelledOrFailedSaveStopsTheCommand) {
  MakeShownAndChanged(doc);
  // Untitled: Yes opens the save dialog; cancelling it leaves everything.
  ui.fb.answers = {Answer::Yes};
  ui.saveNames = {std::nullopt};
  EXPECT_FALSE(lifecycle::NewFile(doc, ui));
  EXPECT_EQ(ui.saveDialogs, 1);
  EXPECT_EQ(ui.lastFilter, u"Produkt Kataloge (*.pk2)|*.pk2");
  EXPECT_EQ(ui.lastExtension, u".pk2");
  EXPECT_EQ(doc.kats.Count(), 1u);
  EXPECT_TRUE(doc.changed);
  EXPECT_TRUE(doc.afilename.empty());

  // A save that cannot be written reports message 49 with the file name and
  // keeps the document marked changed; the close guard keeps the window open.
  const std::u16string bad = u"/nonexistent-quillane-folder/k.pk2";
  doc.afilename = bad;
  ui.fb.answers = {Answer::Yes};
  EXPECT_FALSE(lifecycle::CanClose(doc, ui));
  ASSERT_EQ(ui.fb.Messages(), 1);
  const auto& msg = ui.fb.shown.back();
  EXPECT_FALSE(msg.question);
  EXPECT_EQ(msg.icon, MessageIcon::Error);
  EXPECT_EQ(msg.text.rfind(i18n::MessageTable(49), 0), 0u) << ql::ToUtf8(msg.text);
  EXPECT_NE(msg.text.find(bad), std::u16string::npos);
  EXPECT_TRUE(doc.changed);
  EXPECT_EQ(doc.kats.Count(), 1u);

  ui.fb.answers = {Answer::No};
  EXPECT_TRUE(lifecycle::CanClose(doc, ui));
  ui.fb.answers = {Answer::No};
  EXPECT_TRUE(lifecycle::NewFile(doc, ui));
  EXPECT_EQ(doc.kats.Count(), 0u);
  EXPECT_FALSE(doc.changed);
  EXPECT_TRUE(doc.afilename.empty());
}

TEST_F(LifecycleTest, SaveAndSaveAsNameTheDocumentOnlyWhenWritten) {
  MakeShownAndChanged(doc);
  ui.saveNames = {U(dir + "neu.pk2")};
  EXPECT_TRUE(lifecycle::SaveFile(doc, ui));
  EXPECT_EQ(doc.afilename, U(dir + "neu.pk2"));
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [neu.pk2]");

  doc.SetChanged();
  ui.saveNames = {U("/nonexistent-quillane-folder/anders.pk2")};
  EXPECT_FALSE(lifecycle::SaveFileAs(doc, ui));
  EXPECT_EQ(doc.afilename, U(dir + "neu.pk2"));
  EXPECT_TRUE(doc.changed);

  // A named document saves without a dialog.
  EXPECT_TRUE(lifecycle::SaveFile(doc, ui));
  EXPECT_EQ(ui.saveDialogs, 2);
  EXPECT_FALSE(doc.changed);

  Document back;
  EXPECT_TRUE(lifecycle::OpenFileByName(back, U(dir + "neu.pk2")));
  ASSERT_EQ(back.kats.Count(), 1u);
  EXPECT_EQ(back.afilename, U(dir + "neu.pk2"));
}

TEST_F(LifecycleTest, ReaderIsChosenByExtension) {
  using lifecycle::ReaderFor;
  for (const char16_t* n : {u"a.pkd", u"A.PKD", u"/x/Alt.Pkd", u"C:\\x\\y.pKd"})
    EXPECT_EQ(ReaderFor(n), ProjectFormat::Older) << ql::ToUtf8(n);
  for (const char16_t* n : {u"a.pk2", u"a", u"/x.pkd/datei", u"a.pkd.pk2", u"a.pkdx", u"pkd", u""})
    EXPECT_EQ(ReaderFor(n), ProjectFormat::Current) << ql::ToUtf8(n);
}

TEST_F(LifecycleTest, OpenFailureIsReportedAndTheCommandLineUsesTheCurrentReader) {
  MakeShownAndChanged(doc);
  ui.fb.answers = {Answer::No};
  ui.openNames = {U(dir + "fehlt.pk2")};
  EXPECT_FALSE(lifecycle::OpenFile(doc, ui));
  EXPECT_EQ(ui.lastFilter, u"Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd");
  ASSERT_EQ(ui.fb.Messages(), 1);
  EXPECT_NE(ui.fb.shown.back().text.find(U(dir + "fehlt.pk2")), std::u16string::npos);
  EXPECT_EQ(ui.fb.shown.back().icon, MessageIcon::Error);
  EXPECT_EQ(doc.kats.Count(), 1u);
  EXPECT_TRUE(doc.changed);

  // A damaged file: the reader's own message with the file name; the open
  // document, its name and its changed flag stay as they were.
  {
    Document big;
    for (int i = 0; i < 5; ++i) big.AddProduct(*big.AddCategory(u"K"))->description = u"Beschreibung";
    ASSERT_TRUE(SaveProjectFile(big, dir + "kaputt.pk2"));
    const std::string bytes = pftest::ReadBytes(dir + "kaputt.pk2");
    pftest::WriteBytes(dir + "kaputt.pk2", bytes.substr(0, bytes.size() / 3));
    const std::u16string nameBefore = doc.afilename;
    ui.fb.answers = {Answer::No};
    ui.openNames = {U(dir + "kaputt.pk2")};
    EXPECT_FALSE(lifecycle::OpenFile(doc, ui));
    ASSERT_EQ(ui.fb.Messages(), 2);
    const std::u16string& text = ui.fb.shown.back().text;
    EXPECT_NE(text.find(U(dir + "kaputt.pk2")), std::u16string::npos) << ql::ToUtf8(text);
    Document probe;
    std::u16string readerSays;
    ASSERT_FALSE(OpenFileWithName(probe, dir + "kaputt.pk2", &readerSays));
    EXPECT_EQ(text, readerSays);
    EXPECT_GT(text.size(), dir.size() + 20);  // says what is wrong, not only the name
    EXPECT_EQ(doc.kats.Count(), 1u);
    EXPECT_EQ(doc.kats[0].name, u"Werkzeug");
    EXPECT_EQ(doc.afilename, nameBefore);
    EXPECT_TRUE(doc.changed);
    // From the command line too, when the window passes its feedback.
    EXPECT_FALSE(lifecycle::OpenCommandLineFile(doc, {U(dir + "kaputt.pk2")}, &ui));
    EXPECT_EQ(ui.fb.Messages(), 3);
    EXPECT_EQ(doc.kats[0].name, u"Werkzeug");
  }

  // Current-format content under a ".pkd" name opens from the command line.
  Document src;
  src.AddCategory(u"Garten");
  src.AddCategory(u"Haus");
  ASSERT_TRUE(SaveProjectFile(src, dir + "aktuell.pkd"));
  EXPECT_FALSE(lifecycle::OpenCommandLineFile(doc, {}));
  EXPECT_TRUE(lifecycle::OpenCommandLineFile(doc, {U(dir + "aktuell.pkd"), u"ignored"}));
  EXPECT_EQ(doc.kats.Count(), 2u);
  EXPECT_FALSE(doc.changed);
  EXPECT_EQ(doc.afilename, U(dir + "aktuell.pkd"));
}

TEST_F(LifecycleTest, StartAndFirstShowInstallTableLanguageAndTemplate) {
  lifecycle::ProgramState state;
  state.progpath = dir;
  WriteAll(dir + "options.dat", std::string("\x02\0\0\0", 4));
  i18n::TranslationTable table;
  EXPECT_EQ(lifecycle::StartProgram(state, table), i18n::LoadStatus::Missing);
  EXPECT_EQ(state.languagesetto, 2);
  EXPECT_EQ(i18n::CurrentTable(), &table);
  EXPECT_EQ(i18n::Language(), 1);  // English until the first showing
  table.AddEntry(u"Preis");
  table.SetText(0, 2, u"Prix");

  int translations = 0;
  const auto texts = lifecycle::FirstShow(state, doc, [&] { ++translations; });
  EXPECT_EQ(translations, 1);
  EXPECT_EQ(i18n::Language(), 2);
  EXPECT_EQ(texts.mainCaption, u"Morvetta Quillane 1.0");
  EXPECT_EQ(texts.applicationTitle, u"Quillane");
  EXPECT_EQ(doc.maincap, u"Morvetta Quillane 1.0");
  EXPECT_EQ(doc.templatecolumns,
            (std::vector<std::u16string>{u"Name", u"Art. Nummer", u"Prix", u"Ab 10 Stk.", u"Ab 100 Stk."}));
  EXPECT_FALSE(doc.changed);
  EXPECT_EQ(Caption(doc), u"Morvetta Quillane 1.0 - [unbenannt.pk2]");

  // Every message reached the new translate.dat beside the program.
  i18n::TranslationTable written;
  ASSERT_EQ(written.Load(dir), i18n::LoadStatus::Loaded);
  for (int n : i18n::MessageNumbers()) {
    std::u16string key = i18n::MessageTable(n);
    while (!key.empty() && key.back() == u' ') key.pop_back();
    EXPECT_GE(written.Find(key), 0) << n;
  }

  // Runs once.
  EXPECT_TRUE(lifecycle::FirstShow(state, doc, [&] { ++translations; }).mainCaption.empty());
  EXPECT_EQ(translations, 1);

  // German windows are not translated.
  lifecycle::ProgramState german;
  german.languagesetto = 0;
  Document other;
  lifecycle::FirstShow(german, other, [&] { ++translations; });
  EXPECT_EQ(translations, 1);
  EXPECT_EQ(other.templatecolumns[2], u"Preis");

  // Closing writes the current language.
  i18n::SetLanguage(3);
  EXPECT_TRUE(lifecycle::ShutDown(state));
  EXPECT_EQ(options::LoadOptions(dir).language, 3);
}

TEST_F(LifecycleTest, TestProjectOfferOpensTestPk2FromTheCurrentFolder) {
  MakeShownAndChanged(doc);
  ScriptedFeedback fb;
  fb.answers = {Answer::No};
  EXPECT_FALSE(lifecycle::OfferTestProject(doc, fb));
  ASSERT_EQ(fb.shown.size(), 1u);
  EXPECT_EQ(fb.shown[0].text, i18n::MessageTable(27));
  EXPECT_EQ(fb.shown[0].caption, i18n::MessageTable(28));
  EXPECT_EQ(fb.shown[0].buttons, Buttons::YesNo);

  Document test;
  test.AddCategory(u"Test");
  test.AddCategory(u"Noch ein Test");
  ASSERT_TRUE(SaveProjectFile(test, dir + "test.pk2"));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  fb.answers = {Answer::Yes};
  const bool opened = lifecycle::OfferTestProject(doc, fb);  // no ask-to-save guard
  ASSERT_EQ(chdir(cwd), 0);
  EXPECT_TRUE(opened);
  EXPECT_EQ(doc.kats.Count(), 2u);
  EXPECT_FALSE(doc.changed);
  EXPECT_EQ(fb.Questions(), 2);

  // Missing test project: Yes opens nothing.
  ASSERT_EQ(chdir("/"), 0);
  fb.answers = {Answer::Yes};
  EXPECT_FALSE(lifecycle::OfferTestProject(doc, fb));
  ASSERT_EQ(chdir(cwd), 0);
  EXPECT_EQ(doc.kats.Count(), 2u);
}

TEST_F(LifecycleTest, LanguageCommandIsIgnoredWhileTheMenuIsBeingSet) {
  lifecycle::ProgramState state;
  ScriptedFeedback fb;
  state.dontchlang = true;
  lifecycle::ChooseLanguage(state, 3, fb);
  EXPECT_EQ(i18n::Language(), 0);
  EXPECT_TRUE(fb.shown.empty());
  state.dontchlang = false;
  lifecycle::ChooseLanguage(state, 3, fb);
  EXPECT_EQ(i18n::Language(), 3);
  ASSERT_EQ(fb.shown.size(), 1u);
  EXPECT_EQ(fb.shown[0].caption, u"Übersetzen");
  EXPECT_EQ(fb.shown[0].icon, MessageIcon::Information);
}

TEST(ProgramOptions, MissingShortOrForeignOptionsGiveEnglish) {
  const std::string dir = TempFolder();
  auto o = options::LoadOptions(dir);
  EXPECT_EQ(o.language, options::kEnglish);
  EXPECT_FALSE(o.fromFile);

  struct Case {
    std::string bytes;
    int language;
    bool fromFile;
  };
  // The first column after the language table's is no language.
  const char unused = static_cast<char>(i18n::InterfaceLanguages().size());
  for (const Case& c :
       {Case{std::string("\x00\x00", 2), 1, false}, Case{std::string(), 1, false},
        Case{std::string(1, unused) + std::string("\0\0\0", 3), 1, false},
        Case{std::string("\xff\xff\xff\xff", 4), 1, false}, Case{std::string("\0\0\0\x01", 4), 1, false},
        Case{std::string("\0\0\0\0", 4), 0, true}, Case{std::string("\x03\0\0\0junk", 8), 3, true}}) {
    WriteAll(dir + "options.dat", c.bytes);
    o = options::LoadOptions(dir);
    EXPECT_EQ(o.language, c.language) << c.bytes.size();
    EXPECT_EQ(o.fromFile, c.fromFile) << c.bytes.size();
  }

  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    ASSERT_TRUE(options::SaveOptions(dir, l.column));
    EXPECT_EQ(options::LoadOptions(dir).language, l.column) << l.code;
    std::ifstream in(dir + "options.dat", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              std::string(1, static_cast<char>(l.column)) + std::string("\0\0\0", 3));
  }
  EXPECT_FALSE(Exists(dir + "options.dat.tmp"));
  EXPECT_FALSE(options::SaveOptions("/nonexistent-quillane-folder/", 2));
  EXPECT_EQ(options::WithTrailingSeparator("/opt/q"), "/opt/q/");
  EXPECT_EQ(options::WithTrailingSeparator("/opt/q/"), "/opt/q/");
}

}  // namespace
