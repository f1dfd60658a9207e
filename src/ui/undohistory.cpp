#include "ui/undohistory.h"

#include <QAction>
#include <QUndoStack>
#include <string_view>
#include <vector>

#include "project/projectfile.h"
#include "ui/translatewidgets.h"

namespace ui {

// One step: the document before and after a command. Consecutive steps
// share their snapshots (implicitly shared byte arrays), so a step costs
// about one snapshot.
class SnapshotStep : public QUndoCommand {
 public:
  struct State {
    QByteArray bytes;
    QVariant view;
  };
  SnapshotStep(UndoHistory& h, const QString& text, QString mergeKey, State before, State after)
      : QUndoCommand(text),
        h_(h),
        key_(std::move(mergeKey)),
        before_(std::move(before)),
        after_(std::move(after)) {}

  void undo() override { h_.Restore(before_.bytes, before_.view); }
  void redo() override {
    if (pushed_) h_.Restore(after_.bytes, after_.view);
    pushed_ = true;  // the first redo is the push: the command already ran
  }
  int id() const override { return key_.isEmpty() ? -1 : 1; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* o = static_cast<const SnapshotStep*>(other);
    if (o->key_ != key_ || o->text() != text()) return false;
    after_ = o->after_;
    return true;
  }
  const QByteArray& before() const { return before_.bytes; }
  const QByteArray& after() const { return after_.bytes; }
  const State& beforeState() const { return before_; }
  const State& afterState() const { return after_; }
  const QString& key() const { return key_; }

 private:
  UndoHistory& h_;
  QString key_;
  State before_, after_;
  bool pushed_ = false;
};

UndoHistory::UndoHistory(Document& doc, std::function<QVariant()> view,
                         std::function<void(const QVariant&)> restored, QObject* parent)
    : QObject(parent),
      doc_(doc),
      view_(std::move(view)),
      restored_(std::move(restored)),
      stack_(new QUndoStack(this)) {
  top_ = Snapshot(doc_);
  connect(stack_, &QUndoStack::indexChanged, this, [this] {
    // Undo and redo follow the saved state; a push marks the document
    // itself (Record).
    if (!quiet_) FollowCleanState();
    RefreshActions();
  });
  connect(stack_, &QUndoStack::undoTextChanged, this, &UndoHistory::RefreshActions);
  connect(stack_, &QUndoStack::redoTextChanged, this, &UndoHistory::RefreshActions);
}

UndoHistory::~UndoHistory() = default;

QByteArray UndoHistory::Snapshot(const Document& doc) {
  // No project folder: picture names are written and read back as held.
  const std::string bytes = ProjectFileBytes(doc, std::string());
  return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

void UndoHistory::Reset() {
  const QuietGuard quiet(quiet_);
  stack_->clear();
  stack_->setClean();
  top_ = Snapshot(doc_);
  topView_ = view_ ? view_() : QVariant();
}

namespace {
// A step is named after the control or menu entry that made it, without the
// label's colon or the entry's dots: "Rückgängig: Alle Preise ändern".
QString StepName(QString text) {
  for (;;) {
    const QString before = text;
    text = text.trimmed();
    for (const QString& tail : {QStringLiteral("..."), QStringLiteral("\u2026"), QStringLiteral(":")})
      if (text.endsWith(tail)) text.chop(tail.size());
    if (text == before) return text;
  }
}
}  // namespace

void UndoHistory::Record(const QString& name, const QString& mergeKey) {
  if (restoring_) return;
  QByteArray now = Snapshot(doc_);
  if (now == top_) return;  // nothing changed: no step
  {
    // QUndoStack folds a step into the one below only while the index is
    // not the saved state, so the first keystroke after a save starts a new
    // step that the following keystrokes of the same run join.
    const QuietGuard quiet(quiet_);
    QVariant view = view_ ? view_() : QVariant();
    stack_->push(new SnapshotStep(*this, StepName(TrW(name)), mergeKey, {top_, topView_}, {now, view}));
    top_ = std::move(now);
    topView_ = std::move(view);
    Trim();
  }
  // Every change of the document is unsaved work, also from commands that
  // do not mark it themselves (bulk edits, settings, the template).
  doc_.SetChanged();
}

void UndoHistory::MarkSaved() {
  stack_->setClean();
  top_ = Snapshot(doc_);
}

void UndoHistory::MarkUnsaved() { stack_->resetClean(); }

bool UndoHistory::Undo() {
  if (!stack_->canUndo()) return false;
  stack_->undo();
  return true;
}

bool UndoHistory::Redo() {
  if (!stack_->canRedo()) return false;
  stack_->redo();
  return true;
}

bool UndoHistory::CanUndo() const { return stack_->canUndo(); }
bool UndoHistory::CanRedo() const { return stack_->canRedo(); }
int UndoHistory::Steps() const { return stack_->count(); }

qsizetype UndoHistory::Memory() const {
  qsizetype total = 0;
  const void* last = nullptr;
  for (int i = 0; i < stack_->count(); ++i) {
    const auto* s = static_cast<const SnapshotStep*>(stack_->command(i));
    if (s->before().constData() != last) total += s->before().size();
    total += s->after().size();
    last = s->after().constData();
  }
  return total;
}

void UndoHistory::Restore(const QByteArray& bytes, const QVariant& view) {
  // The snapshot keeps everything a project file holds; the file name and
  // the program options are the window's, not the step's.
  const std::u16string name = doc_.afilename;
  ReadOptions o;
  o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = false;  // exact: keep empty rows
  restoring_ = true;
  if (ReadProjectBytes(doc_, std::string_view(bytes.constData(), size_t(bytes.size())),
                       ProjectFormat::Current, std::string(), o)) {
    top_ = bytes;
    topView_ = view;
  }
  doc_.afilename = name;
  if (restored_) restored_(view);
  restoring_ = false;
}

void UndoHistory::FollowCleanState() {
  if (stack_->isClean())
    doc_.SetUnChanged();
  else
    doc_.SetChanged();
}

void UndoHistory::Trim() {
  if (stack_->count() <= kMaxSteps && Memory() <= kMemoryCap) return;
  const QuietGuard quiet(quiet_);
  // QUndoStack cannot drop single old steps: rebuild it from the newest
  // steps that fit. The index is at the top (a push just happened).
  struct Kept {
    QString text;
    SnapshotStep::State before, after;
  };
  std::vector<Kept> kept;
  qsizetype memory = 0;
  for (int i = stack_->count() - 1; i >= 0 && int(kept.size()) < kMaxSteps; --i) {
    const auto* s = static_cast<const SnapshotStep*>(stack_->command(i));
    const qsizetype cost = s->after().size() + (i == stack_->count() - 1 ? s->before().size() : 0);
    if (!kept.empty() && memory + cost > kMemoryCap) break;
    memory += cost;
    kept.push_back({s->text(), s->beforeState(), s->afterState()});
  }
  const int dropped = stack_->count() - int(kept.size());
  const int clean = stack_->cleanIndex() - dropped;  // negative: the saved state dropped out
  const bool wasClean = stack_->cleanIndex() >= 0;
  stack_->clear();
  int index = 0;
  if (wasClean && clean == 0) stack_->setClean();
  for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
    auto* step = new SnapshotStep(*this, it->text, QString(), it->before, it->after);
    stack_->push(step);  // the first redo does nothing
    if (wasClean && ++index == clean) stack_->setClean();
  }
  if (!wasClean || clean < 0) stack_->resetClean();
}

QAction* UndoHistory::CreateStepAction(QObject* parent, bool undo) {
  // The prefix stays German here; it is translated whenever the text is
  // set, as the window language is fixed only at the first showing.
  auto* a = new QAction(undo ? QStringLiteral("Rückgängig") : QStringLiteral("Wiederholen"), parent);
  a->setProperty("qlPrefix", a->text());
  a->setEnabled(false);
  actions_.push_back({a, undo});
  connect(a, &QAction::triggered, this, [this, undo] { undo ? Undo() : Redo(); });
  return a;
}

void UndoHistory::RefreshActions() {
  for (const StepAction& s : actions_) {
    if (!s.action) continue;
    // The mnemonic pass may have marked the prefix; the step name follows it.
    const QString marked = s.action->property("qlMarkedPrefix").toString();
    const QString prefix = marked.isEmpty() ? TrW(s.action->property("qlPrefix").toString()) : marked;
    const QString t = s.undo ? stack_->undoText() : stack_->redoText();
    s.action->setText(t.isEmpty() ? prefix : prefix + QStringLiteral(": ") + t);
    s.action->setEnabled(s.undo ? stack_->canUndo() : stack_->canRedo());
  }
}

}  // namespace ui
