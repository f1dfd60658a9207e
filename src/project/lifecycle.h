// Start, stop, new, open, save and close of the one open document, the
// window caption and the ask-to-save guards. The window supplies the dialogs
// through LifecycleUi; everything else is here so that it can run without a
// window (and be tested with scripted answers).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "i18n/translate.h"
#include "project/document.h"
#include "project/feedback.h"
#include "project/optionsfile.h"
#include "project/projectfile.h"

namespace lifecycle {

// Both go through the translation table at start.
inline const std::u16string kApplicationTitle = u"Quillane";
inline const std::u16string kMainCaption = u"Morvetta Quillane 1.0";

// File dialog filters (translated as one text each).
inline const std::u16string kSaveFilter = u"Produkt Kataloge (*.pk2)|*.pk2";
inline const std::u16string kOpenFilter = u"Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd";

// The dialogs the lifecycle needs from the window, besides message boxes.
class LifecycleUi : public Feedback {
 public:
  // The save dialog (default extension, asks before overwriting an existing
  // file). Returns false when cancelled; otherwise `name` is the chosen file.
  virtual bool AskSaveFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                               std::u16string& name) = 0;
  // The open dialog. Returns false when cancelled.
  virtual bool AskOpenFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                               std::u16string& name) = 0;
  // A question whose two buttons say what they do (`yes`, `no`, both
  // translated by the caller): Yes or No, Cancel when the box is closed
  // otherwise. By default a Yes/No question.
  virtual Answer AskWithButtons(const std::u16string& text, const std::u16string& caption,
                                const std::u16string& yes, const std::u16string& no) {
    (void)yes;
    (void)no;
    return Ask(text, caption, Buttons::YesNo);
  }
};

// --- Caption.

// The name of afilename without its folder, or message 24 + ".pk2" for an
// untitled document.
std::u16string FilePart(const Document& doc);
// maincap + " - [" + file part + "*]" while changed, "]" otherwise; empty
// before the first showing of the window (maincap empty).
std::u16string Caption(const Document& doc);

// --- Files.

// The reader for a file name: ".pkd" in any letter case is the older
// format, everything else (".pk2", no extension, ...) the current one.
ProjectFormat ReaderFor(const std::u16string& filename);

// Reads `filename` with the reader its extension picks; on success the
// document takes the name and is marked unchanged. Failure leaves the
// document as it was and puts the reader's message (file name and what is
// wrong) into `error` when given.
bool OpenFileByName(Document& doc, const std::u16string& filename, std::u16string* error = nullptr);
// Reads `filename` with the current-format reader whatever its extension
// (the command-line file and the test project).
bool OpenCurrentFormat(Document& doc, const std::u16string& filename, std::u16string* error = nullptr);
// Shows a reader's failure message (error icon, the application title).
void ShowOpenFailure(const std::u16string& error, Feedback& fb);

// Writes the document to afilename in the current format, replacing an
// existing file. On failure shows message 49 with the file name and returns
// false; the document stays marked changed.
bool SaveTheFile(Document& doc, Feedback& fb);
// Save: to afilename, or through the save dialog for an untitled document.
// False when cancelled or not written. On success the document is unchanged.
bool SaveFile(Document& doc, LifecycleUi& ui);
// Save as: always through the save dialog. A failed write keeps the old
// file name.
bool SaveFileAs(Document& doc, LifecycleUi& ui);

// --- Guards and commands.

// The ask-to-save guard: true when the caller may go on (nothing unsaved,
// "No", or "Yes" and the save succeeded); false on "Cancel" or when the save
// was cancelled or failed.
bool AskToSave(Document& doc, LifecycleUi& ui);
// The close guard: whether the window may close. Same answers as AskToSave.
bool CanClose(Document& doc, LifecycleUi& ui);

// "Neu": guard, then an empty untitled document, unchanged.
bool NewFile(Document& doc, LifecycleUi& ui);
// "Öffnen...": guard, then the open dialog and the reader its extension picks;
// a file that cannot be read is reported with the reader's message.
bool OpenFile(Document& doc, LifecycleUi& ui);

// --- Start and stop.

struct ProgramState {
  std::string progpath;                   // executable folder, ending in '/'
  int languagesetto = options::kEnglish;  // from options.dat
  bool infirst = false;                   // first-show initialisation has run
  bool dontchlang = false;                // language commands do nothing while set
};

// Window creation: loads progpath + "translate.dat" into `table` and
// installs it for i18n::Tr / i18n::Msg, then reads options.dat into
// languagesetto. Until the first showing the language is English.
i18n::LoadStatus StartProgram(ProgramState& state, i18n::TranslationTable& table);

struct FirstShowTexts {
  std::u16string applicationTitle;
  std::u16string mainCaption;
};

// First showing of the window (runs once): every message goes through the
// table (missing ones are added), the language becomes languagesetto,
// `translateAllForms` runs when that is not German, the template gets
// messages 15 ... 19, maincap is set and the document marked unchanged.
// Returns the translated application title and caption (empty texts when
// it already ran).
FirstShowTexts FirstShow(ProgramState& state, Document& doc, const std::function<void()>& translateAllForms);

// Opens the first command-line argument, if any, with the current-format
// reader. False when there is none or it could not be read; a file that
// could not be read is reported through `fb` when given.
bool OpenCommandLineFile(Document& doc, const std::vector<std::u16string>& args, Feedback* fb = nullptr);

// The start-up timer's offer: asks message 27 (caption 28, Yes/No); on Yes
// opens message 32 ("test.pk2", relative to the current folder) without the
// ask-to-save guard. True when a file was opened.
bool OfferTestProject(Document& doc, Feedback& fb);

// A language menu command: ignored while dontchlang is set; otherwise the
// language changes at once for messages and message 2 (caption 3) says the
// windows follow at the next start.
void ChooseLanguage(ProgramState& state, int language, Feedback& fb);

// Closing: writes the current language to options.dat (silently ignored
// when the folder is not writable).
bool ShutDown(const ProgramState& state);

}  // namespace lifecycle
