// The recovery copy of the open document: while it has unsaved changes the
// window writes it now and then to a file of its own in the user's data
// folder, so a crash or a power cut loses at most the last minutes of work.
// The copy is never written over the project file; a save or a clean exit
// removes it, and the next start offers what a program left behind.
//
// Each running program has its own file, named after its process id and
// the time the process started ("<pid>-<start>-<n>.qlr"). A copy whose
// process no longer runs (no such process, or one that started at another
// time) is left over from a program that ended without removing it.
#pragma once

#include <QDateTime>
#include <QString>
#include <string>
#include <vector>

#include "project/document.h"

namespace platform {

// "<the user's data folder>/Quillane/recovery".
QString DefaultRecoveryFolder();

// A copy left over by an earlier program.
struct RecoveryCopy {
  QString path;            // the .qlr file
  std::u16string project;  // the project file it was a copy of; empty when untitled
  QDateTime written;       // when it was written (UTC)
};

class RecoveryFile {
 public:
  // `folder` is made when the first copy is written.
  explicit RecoveryFile(const QString& folder);
  RecoveryFile(const RecoveryFile&) = delete;
  RecoveryFile& operator=(const RecoveryFile&) = delete;

  // Writes `doc` (its content, file name and the time `now`) through
  // ql::SafeFile, replacing this program's previous copy only when the new
  // one is complete. False with `error` set when it could not be written.
  bool Write(const Document& doc, const QDateTime& now, std::u16string* error = nullptr);
  // Removes this program's copy (nothing to do when there is none).
  void Remove();
  bool Exists() const;
  const QString& path() const { return path_; }

  // Copies in the folder whose program no longer runs, newest first. Each
  // is first renamed to a name of this program, so two programs started
  // together do not both offer it, and one not discarded is offered again
  // after this program ended.
  std::vector<RecoveryCopy> TakeLeftOver();
  // Reads a left-over copy into `doc` as a project file is read (the
  // document is replaced only by a complete read) and gives it the project
  // file's name; the caller marks it changed. False with `error` set when
  // the copy is damaged; the document is then unchanged.
  static bool Restore(const RecoveryCopy& copy, Document& doc, std::u16string* error = nullptr);
  // Deletes a left-over copy.
  static void Discard(const RecoveryCopy& copy);

 private:
  QString folder_;
  QString prefix_;  // "<pid>-<start>-<n>"
  QString path_;
  int taken_ = 0;
};

}  // namespace platform
