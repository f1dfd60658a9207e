// The recovery copy of the window's document: written after changes, offered
// at the next start when a program ended without saving or closing.
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <algorithm>

#include "i18n/messages.h"
#include "ui/mainwindow.h"
#include "ui/producttab.h"
#include "ui/qtlifecycleui.h"
#include "ui/qttranslations.h"
#include "ui/undohistory.h"

namespace ui {
namespace {

// The moment of a copy in the window language's short date and time.
QString CopyTime(const QDateTime& utc, int language) {
  return InterfaceLocale(language).toString(utc.toLocalTime(), QLocale::ShortFormat);
}

}  // namespace

void MainWindow::ScheduleRecovery() {
  if (!recoveryTimer_) return;  // still being built
  if (!doc_.changed) {
    // Saved, opened, new, or undone to the saved state: nothing to keep.
    recoveryTimer_->stop();
    recovery_->Remove();
    return;
  }
  qint64 wait = config_.recoveryQuietMs - sinceInput_.elapsed();
  if (sinceRecovery_.isValid()) wait = std::max(wait, config_.recoveryIntervalMs - sinceRecovery_.elapsed());
  wait = std::max<qint64>(wait, 0);
  // A timer already running for the same moment or earlier stays: typing
  // only ever moves the copy later through WriteRecovery's own check.
  if (recoveryTimer_->isActive() && recoveryTimer_->remainingTime() <= wait) return;
  recoveryTimer_->start(int(std::min<qint64>(wait, 24 * 3600 * 1000)));
}

void MainWindow::WriteRecovery(bool now) {
  if (!doc_.changed) {
    recovery_->Remove();
    return;
  }
  // Never while the user types: wait for a pause.
  const qint64 pause = config_.recoveryQuietMs - sinceInput_.elapsed();
  if (!now && pause > 0) {
    recoveryTimer_->start(int(pause));
    return;
  }
  // A failed copy is tried again at the next change; the user's work is
  // still in the window, so there is nothing to tell yet.
  if (recovery_->Write(doc_, QDateTime::currentDateTimeUtc())) sinceRecovery_.start();
}

bool MainWindow::OfferRecovery() {
  for (const platform::RecoveryCopy& copy : recovery_->TakeLeftOver()) {
    const QString project = copy.project.empty() ? Q(lifecycle::FilePart(Document())) : Q(copy.project);
    const QString text =
        Q(i18n::Tr(u"Das Programm wurde beendet, ohne die Änderungen an %1 zu speichern. Es gibt eine "
                   u"Sicherungskopie vom %2."))
            .arg(project, CopyTime(copy.written, state_.languagesetto));
    const Answer a = dialogs_->AskWithButtons(U(text), i18n::Tr(u"Sicherungskopie"),
                                              i18n::Tr(u"Wiederherstellen"), i18n::Tr(u"Verwerfen"));
    if (a == Answer::Cancel) continue;  // kept: offered again at the next start
    if (a == Answer::No) {
      platform::RecoveryFile::Discard(copy);
      continue;
    }
    std::u16string error;
    if (!platform::RecoveryFile::Restore(copy, doc_, &error)) {
      lifecycle::ShowOpenFailure(error, *dialogs_);
      platform::RecoveryFile::Discard(copy);
      continue;
    }
    ShowDocument();  // a new history: the restored state is where it begins
    history_->MarkUnsaved();
    doc_.SetChanged();
    // The copy is this program's work now: kept as its own recovery copy
    // at once, then the old file goes.
    WriteRecovery(true);
    platform::RecoveryFile::Discard(copy);
    return true;
  }
  return false;
}

}  // namespace ui
