// Message boxes and file dialogs of the desktop program behind the
// Feedback / LifecycleUi interfaces of the engine.
#pragma once

#include <QString>
#include <string>

#include "project/lifecycle.h"

class QWidget;

namespace ui {

inline QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
inline std::u16string U(const QString& s) { return s.toStdU16String(); }

// "Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd" (description|patterns pairs)
// as a Qt name filter list: "Produkt Kataloge (*.pk2 *.pkd)". A text without
// "|" is taken as a description alone and gets no pattern.
QString QtFileFilter(const std::u16string& filter);

// A modal file dialog; `save` asks for a new name (the default extension is
// added to a name without one before an overwrite question, which is asked
// only with `confirmOverwrite`). A `name` given on entry is where the dialog
// starts (its folder, and for a save its file name). False when cancelled.
bool RunFileDialog(QWidget* parent, bool save, bool confirmOverwrite, const std::u16string& filter,
                   const std::u16string& defaultExtension, std::u16string& name);

// Where an export of the project `projectFile` is first offered: its folder
// and its name with `extension` (".pdf"); empty for an untitled project.
std::u16string ExportStartName(const std::u16string& projectFile, const std::u16string& extension);

class QtLifecycleUi : public lifecycle::LifecycleUi {
 public:
  explicit QtLifecycleUi(QWidget* parent) : parent_(parent) {}

  void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) override;
  Answer Ask(const std::u16string& text, const std::u16string& caption, Buttons buttons) override;
  bool AskSaveFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                       std::u16string& name) override;
  bool AskOpenFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                       std::u16string& name) override;
  Answer AskWithButtons(const std::u16string& text, const std::u16string& caption, const std::u16string& yes,
                        const std::u16string& no) override;

 private:
  QWidget* parent_;
};

}  // namespace ui
