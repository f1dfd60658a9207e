#include "ui/qtlifecycleui.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "ui/translatewidgets.h"

namespace ui {

QString QtFileFilter(const std::u16string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i < parts.size(); i += 2) {
    QString desc = parts[i].trimmed();
    if (i + 1 >= parts.size()) {
      if (!desc.isEmpty()) out << desc;
      break;
    }
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // Qt reads the patterns from the last parentheses: replace any that the
    // description already shows (with ";" separators Qt would not split).
    const int open = desc.lastIndexOf(QLatin1Char('('));
    if (open > 0 && desc.endsWith(QLatin1Char(')'))) desc = desc.left(open).trimmed();
    out << desc + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

void QtLifecycleUi::ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) {
  QMessageBox::Icon i = QMessageBox::Information;
  switch (icon) {
    case MessageIcon::Information:
      i = QMessageBox::Information;
      break;
    case MessageIcon::Warning:
      i = QMessageBox::Warning;
      break;
    case MessageIcon::Error:
      i = QMessageBox::Critical;
      break;
    case MessageIcon::Question:
      i = QMessageBox::Question;
      break;
  }
  QMessageBox box(i, Q(caption), Q(text), QMessageBox::Ok, parent_);
  FitCaption(&box);
  box.exec();
}

Answer QtLifecycleUi::Ask(const std::u16string& text, const std::u16string& caption, Buttons buttons) {
  QMessageBox::StandardButtons b = QMessageBox::Ok;
  if (buttons == Buttons::YesNo) b = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::YesNoCancel) b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), b, parent_);
  FitCaption(&box);
  switch (box.exec()) {
    case QMessageBox::Yes:
    case QMessageBox::Ok:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::u16string ExportStartName(const std::u16string& projectFile, const std::u16string& extension) {
  if (projectFile.empty()) return {};
  const QFileInfo project(Q(projectFile));
  return U(project.absolutePath() + QLatin1Char('/') + project.completeBaseName() + Q(extension));
}

Answer QtLifecycleUi::AskWithButtons(const std::u16string& text, const std::u16string& caption,
                                     const std::u16string& yes, const std::u16string& no) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::NoButton, parent_);
  QPushButton* y = box.addButton(Q(yes), QMessageBox::AcceptRole);
  QPushButton* n = box.addButton(Q(no), QMessageBox::DestructiveRole);
  box.setDefaultButton(y);
  box.exec();
  if (box.clickedButton() == y) return Answer::Yes;
  if (box.clickedButton() == n) return Answer::No;
  return Answer::Cancel;
}

bool RunFileDialog(QWidget* parent, bool save, bool confirmOverwrite, const std::u16string& filter,
                   const std::u16string& defaultExtension, std::u16string& name) {
  QFileDialog dlg(parent);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dlg.setNameFilters(QtFileFilter(filter).split(QStringLiteral(";;")));
  QString ext = Q(defaultExtension);
  if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  // The default extension is added before the overwrite question is asked.
  if (save) dlg.setDefaultSuffix(ext);
  if (!confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite);
  if (!name.empty()) {
    const QFileInfo start(Q(name));
    dlg.setDirectory(start.absolutePath());
    if (save) dlg.selectFile(start.fileName());
  }
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  name = U(dlg.selectedFiles().first());
  return !name.empty();
}

bool QtLifecycleUi::AskSaveFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                                    std::u16string& name) {
  return RunFileDialog(parent_, true, true, filter, defaultExtension, name);
}

bool QtLifecycleUi::AskOpenFileName(const std::u16string& filter, const std::u16string& defaultExtension,
                                    std::u16string& name) {
  return RunFileDialog(parent_, false, false, filter, defaultExtension, name);
}

}  // namespace ui
