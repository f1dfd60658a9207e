// Undo and redo of document commands through snapshots: the document is
// written with the project-file writer after every command that changes it,
// and a step restores the bytes from before or after through the reader.
// Writer and reader are exact, so a step gives back the document byte for
// byte, whatever the command did.
//
// Contract for the window: call Reset() after the document was replaced
// (new, open), Record() after every command that may have changed it, and
// MarkSaved() after a successful save. A Record() that finds the document
// unchanged leaves no step; one that finds it changed marks it changed.
// Steps named alike with the same merge key (typing in one box of one
// product) fold into one step, but never into the step that led to the
// saved state: a typing run begun after a save is one step of its own.
//
// Limits: at most kMaxSteps steps, and the snapshots together stay under
// kMemoryCap bytes; the oldest steps drop out first.
#pragma once

#include <QAction>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

#include "project/document.h"

class QUndoStack;

namespace ui {

// The property of a text box that stores every keystroke in the document at
// once (each a step of the history, merged per typing run): the undo keys
// in it go to the history, never to the box's own undo.
inline constexpr char kStoresAtOnce[] = "qlStoresAtOnce";

class UndoHistory : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxSteps = 100;
  static constexpr qsizetype kMemoryCap = qsizetype(256) << 20;

  // `view` tells what the window shows (its selection) when a step is
  // recorded; `restored` runs after a step put a snapshot back into the
  // document, with the view of that moment: the window rebuilds its
  // controls from it.
  UndoHistory(Document& doc, std::function<QVariant()> view, std::function<void(const QVariant&)> restored,
              QObject* parent = nullptr);
  ~UndoHistory() override;

  void Reset();
  void Record(const QString& name, const QString& mergeKey = QString());
  void MarkSaved();
  // No state of the history is the saved one (a document restored from a
  // recovery copy): undoing never clears the caption's "*".
  void MarkUnsaved();

  bool Undo();
  bool Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  int Steps() const;
  // Bytes held by the snapshots of all steps (shared snapshots counted once).
  qsizetype Memory() const;

  // Menu entries "Rückgängig: <name>" / "Wiederholen: <name>", translated,
  // enabled as the history allows. The texts follow the steps.
  QAction* CreateStepAction(QObject* parent, bool undo);
  // Updates the entries' texts and states (after their prefix was marked
  // with a mnemonic).
  void RefreshActions();

  // The document as the snapshot writes it.
  static QByteArray Snapshot(const Document& doc);

  QUndoStack* stack() const { return stack_; }

 private:
  friend class SnapshotStep;
  void Restore(const QByteArray& bytes, const QVariant& view);
  void Trim();
  void FollowCleanState();

  Document& doc_;
  std::function<QVariant()> view_;
  std::function<void(const QVariant&)> restored_;
  QVariant topView_;
  QUndoStack* stack_;
  QByteArray top_;  // the document as of the current step
  bool restoring_ = false;
  bool quiet_ = false;  // pushing or rebuilding: the caption is the command's business
  struct QuietGuard {
    explicit QuietGuard(bool& f) : f_(f), old_(f) { f_ = true; }
    ~QuietGuard() { f_ = old_; }
    bool& f_;
    bool old_;
  };
  struct StepAction {
    QPointer<QAction> action;
    bool undo;
  };
  std::vector<StepAction> actions_;
};

}  // namespace ui
