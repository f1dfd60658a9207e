#include "project/lifecycle.h"

#include "core/codepage.h"
#include "i18n/messages.h"

namespace lifecycle {
namespace {

const std::u16string kDefaultExtension = u".pk2";
const std::u16string kOpenDefaultExtension = u".pkd";

std::u16string Lower(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return s;
}

// Writes to `filename`; afilename is set only by callers.
bool WriteTo(Document& doc, const std::u16string& filename, Feedback& fb) {
  std::u16string error;
  if (SaveProjectFile(doc, ql::ToUtf8(filename), &error)) return true;
  if (error.empty()) error = i18n::Msg(49) + u" " + filename;
  fb.ShowMessage(error, i18n::Msg(13), MessageIcon::Error);
  return false;
}

}  // namespace

std::u16string FilePart(const Document& doc) {
  if (doc.afilename.empty()) return i18n::Msg(24) + u".pk2";
  const size_t slash = doc.afilename.find_last_of(u"/\\");
  return slash == std::u16string::npos ? doc.afilename : doc.afilename.substr(slash + 1);
}

std::u16string Caption(const Document& doc) {
  if (doc.maincap.empty()) return {};
  return doc.maincap + u" - [" + FilePart(doc) + (doc.changed ? u"*]" : u"]");
}

ProjectFormat ReaderFor(const std::u16string& filename) {
  const size_t slash = filename.find_last_of(u"/\\");
  const std::u16string name = slash == std::u16string::npos ? filename : filename.substr(slash + 1);
  const size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string::npos && Lower(name.substr(dot)) == u".pkd") return ProjectFormat::Older;
  return ProjectFormat::Current;
}

bool OpenFileByName(Document& doc, const std::u16string& filename, std::u16string* error) {
  const std::string path = ql::ToUtf8(filename);
  const bool ok = ReaderFor(filename) == ProjectFormat::Older ? OpenFileWithNameOLD(doc, path, error)
                                                              : OpenFileWithName(doc, path, error);
  if (!ok) return false;
  doc.afilename = filename;
  doc.SetUnChanged();
  return true;
}

bool OpenCurrentFormat(Document& doc, const std::u16string& filename, std::u16string* error) {
  if (!OpenFileWithName(doc, ql::ToUtf8(filename), error)) return false;
  doc.afilename = filename;
  doc.SetUnChanged();
  return true;
}

bool SaveTheFile(Document& doc, Feedback& fb) { return WriteTo(doc, doc.afilename, fb); }

bool SaveFile(Document& doc, LifecycleUi& ui) {
  if (doc.afilename.empty()) return SaveFileAs(doc, ui);
  if (!SaveTheFile(doc, ui)) return false;
  doc.SetUnChanged();
  return true;
}

bool SaveFileAs(Document& doc, LifecycleUi& ui) {
  std::u16string name;
  if (!ui.AskSaveFileName(i18n::Tr(kSaveFilter), kDefaultExtension, name) || name.empty()) return false;
  // The document takes the new name only once it is written there, so a
  // failed write leaves the caption and later saves pointing at the file
  // that really holds the catalog.
  if (!WriteTo(doc, name, ui)) return false;
  doc.afilename = name;
  doc.SetUnChanged();
  return true;
}

bool AskToSave(Document& doc, LifecycleUi& ui) {
  if (!doc.changed) return true;
  switch (ui.Ask(i18n::Msg(12), i18n::Msg(13), Buttons::YesNoCancel)) {
    case Answer::Yes:
      return SaveFile(doc, ui);
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

bool CanClose(Document& doc, LifecycleUi& ui) { return AskToSave(doc, ui); }

bool NewFile(Document& doc, LifecycleUi& ui) {
  if (!AskToSave(doc, ui)) return false;
  doc.NewAll();
  doc.SetUnChanged();
  return true;
}

bool OpenFile(Document& doc, LifecycleUi& ui) {
  if (!AskToSave(doc, ui)) return false;
  std::u16string name;
  if (!ui.AskOpenFileName(i18n::Tr(kOpenFilter), kOpenDefaultExtension, name) || name.empty()) return false;
  std::u16string error;
  if (OpenFileByName(doc, name, &error)) return true;
  ShowOpenFailure(error, ui);
  return false;
}

void ShowOpenFailure(const std::u16string& error, Feedback& fb) {
  fb.ShowMessage(error, i18n::Tr(kApplicationTitle), MessageIcon::Error);
}

i18n::LoadStatus StartProgram(ProgramState& state, i18n::TranslationTable& table) {
  const i18n::LoadStatus status = table.Load(state.progpath);
  i18n::SetCurrentTable(&table);
  i18n::SetLanguage(options::kEnglish);
  state.languagesetto = options::LoadOptions(state.progpath).language;
  return status;
}

FirstShowTexts FirstShow(ProgramState& state, Document& doc, const std::function<void()>& translateAllForms) {
  FirstShowTexts texts;
  if (state.infirst) return texts;
  state.infirst = true;
  for (int n = 1; n <= i18n::HighestMessageNumber(); ++n) i18n::Msg(n);
  i18n::SetLanguage(state.languagesetto);
  if (state.languagesetto != options::kGerman && translateAllForms) translateAllForms();
  texts.applicationTitle = i18n::Tr(kApplicationTitle);
  texts.mainCaption = i18n::Tr(kMainCaption);
  doc.templatecolumns.clear();
  for (int n = 15; n <= 19; ++n) doc.templatecolumns.push_back(i18n::Msg(n));
  doc.maincap = texts.mainCaption;
  doc.SetUnChanged();
  return texts;
}

bool OpenCommandLineFile(Document& doc, const std::vector<std::u16string>& args, Feedback* fb) {
  if (args.empty() || args[0].empty()) return false;
  std::u16string error;
  if (OpenCurrentFormat(doc, args[0], &error)) return true;
  if (fb) ShowOpenFailure(error, *fb);
  return false;
}

bool OfferTestProject(Document& doc, Feedback& fb) {
  if (fb.Ask(i18n::Msg(27), i18n::Msg(28), Buttons::YesNo) != Answer::Yes) return false;
  return OpenCurrentFormat(doc, i18n::Msg(32));
}

void ChooseLanguage(ProgramState& state, int language, Feedback& fb) {
  if (state.dontchlang) return;
  i18n::SetLanguage(language);
  fb.ShowMessage(i18n::Msg(2), i18n::Msg(3), MessageIcon::Information);
}

bool ShutDown(const ProgramState& state) { return options::SaveOptions(state.progpath, i18n::Language()); }

}  // namespace lifecycle
