#include "ui/mnemonics.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <vector>

namespace ui {
namespace {

bool HasMark(const QString& t) {
  for (int i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != QLatin1Char('&')) continue;
    if (t[i + 1].isLetterOrNumber()) return true;
    if (t[i + 1] == QLatin1Char('&')) ++i;
  }
  return false;
}

QChar MarkedLetter(const QString& t) {
  for (int i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != QLatin1Char('&')) continue;
    if (t[i + 1].isLetterOrNumber()) return t[i + 1].toLower();
    if (t[i + 1] == QLatin1Char('&')) ++i;
  }
  return {};
}

// The position of the letter to mark in `t`, or -1.
int Choose(const QString& t, const QSet<QChar>& used) {
  // Word-initial letters first, then any letter or digit.
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < t.size(); ++i) {
      const QChar c = t[i];
      if (!c.isLetterOrNumber() || used.contains(c.toLower())) continue;
      const bool initial = i == 0 || !t[i - 1].isLetterOrNumber();
      if (pass == 0 && !initial) continue;
      return i;
    }
  }
  return -1;
}

QString Mark(const QString& t, int at) {
  QString out;
  for (int i = 0; i < t.size(); ++i) {
    if (i == at) out += QLatin1Char('&');
    out += t[i];
    if (t[i] == QLatin1Char('&')) out += QLatin1Char('&');
  }
  return out;
}

}  // namespace

QStringList WithMnemonics(const QStringList& texts) {
  QSet<QChar> used;
  for (const QString& t : texts)
    if (HasMark(t)) used.insert(MarkedLetter(t));
  QStringList out;
  for (const QString& t : texts) {
    if (HasMark(t)) {
      out << t;
      continue;
    }
    const int at = Choose(t, used);
    if (at >= 0) used.insert(t[at].toLower());
    out << (at >= 0 ? Mark(t, at) : Mark(t, -1));
  }
  return out;
}

namespace {
void MarkMenu(QMenu* menu) {
  std::vector<QAction*> entries;
  QStringList texts;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    entries.push_back(a);
    const QVariant prefix = a->property("qlPrefix");
    texts << (prefix.isValid() ? a->text().section(QStringLiteral(": "), 0, 0) : a->text());
  }
  const QStringList marked = WithMnemonics(texts);
  for (size_t i = 0; i < entries.size(); ++i) {
    QAction* a = entries[i];
    if (a->property("qlPrefix").isValid())
      a->setProperty("qlMarkedPrefix", marked[int(i)]);
    else
      a->setText(marked[int(i)]);
    if (a->menu()) MarkMenu(a->menu());
  }
}
}  // namespace

void MarkMnemonics(QMenuBar* bar) {
  std::vector<QMenu*> menus;
  QStringList titles;
  for (QAction* a : bar->actions()) {
    if (!a->menu()) continue;
    menus.push_back(a->menu());
    titles << a->menu()->title();
  }
  const QStringList marked = WithMnemonics(titles);
  for (size_t i = 0; i < menus.size(); ++i) {
    menus[i]->setTitle(marked[int(i)]);
    MarkMenu(menus[i]);
  }
}

void SetMenuShortcuts(QMenuBar* bar) {
  struct Key {
    const char* german;
    QKeySequence key;
  };
  const Key keys[] = {
      {"Neu", QKeySequence::New},
      {"Öffnen...", QKeySequence::Open},
      {"Speichern", QKeySequence::Save},
      {"Speichern unter...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {"Drucken", QKeySequence::Print},
      {"Beenden", QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {"Artikel suchen...", QKeySequence::Find},
  };
  for (QAction* title : bar->actions()) {
    if (!title->menu()) continue;
    for (QAction* a : title->menu()->actions()) {
      for (const Key& k : keys)
        if (a->text() == QString::fromUtf8(k.german) && a->shortcut().isEmpty()) a->setShortcut(k.key);
    }
  }
}

}  // namespace ui
