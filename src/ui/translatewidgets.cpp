#include "ui/translatewidgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

#include "i18n/messages.h"
#include "i18n/translate.h"

namespace ui {
namespace {
int g_windowLanguage = 0;

bool IsData(const QObject* o) { return o->property("qlData").toBool(); }

void TranslateMenu(QMenu* m) {
  m->setTitle(TrW(m->title()));
  for (QAction* a : m->actions()) {
    if (a->menu()) continue;                          // a sub-menu is translated as a menu of its own
    if (a->property("qlPrefix").isValid()) continue;  // sets its own translated text
    if (IsData(a)) continue;                          // a file name, not a window text
    const QString german = a->text();
    const QString tip = a->toolTip();
    if (!a->isSeparator()) a->setText(TrW(german));
    // Without a tip of its own an action derives one from its text (no
    // dots, no mark); that is no window text and must not be looked up.
    QAction derived;
    derived.setText(german);
    if (!tip.isEmpty() && tip != derived.toolTip()) a->setToolTip(TrW(tip));
  }
}

void TranslateOne(QWidget* w) {
  if (IsData(w)) return;
  if (!w->toolTip().isEmpty()) w->setToolTip(TrW(w->toolTip()));
  if (w->isWindow() && !w->windowTitle().isEmpty()) w->setWindowTitle(TrW(w->windowTitle()));
  if (auto* l = qobject_cast<QLabel*>(w)) {
    if (!l->text().isEmpty()) l->setText(TrW(l->text()));
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (!b->text().isEmpty()) b->setText(TrW(b->text()));
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(TrW(g->title()));
  } else if (auto* t = qobject_cast<QTabWidget*>(w)) {
    for (int i = 0; i < t->count(); ++i) t->setTabText(i, TrW(t->tabText(i)));
  } else if (auto* tv = qobject_cast<QTreeWidget*>(w)) {
    QTreeWidgetItem* h = tv->headerItem();
    for (int c = 0; h && c < h->columnCount(); ++c) h->setText(c, TrW(h->text(c)));
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    for (int i = 0; i < c->count(); ++i) c->setItemText(i, TrW(c->itemText(i)));
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    if (!e->placeholderText().isEmpty()) e->setPlaceholderText(TrW(e->placeholderText()));
  }
}
}  // namespace

void SetWindowLanguage(int language) { g_windowLanguage = language; }

QString TrW(const QString& german) {
  if (g_windowLanguage == 0 || german.isEmpty()) return german;
  const std::u16string g = german.toStdU16String();
  if (i18n::Language() == g_windowLanguage) return QString::fromStdU16String(i18n::Tr(g));
  i18n::TranslationTable* t = i18n::CurrentTable();
  return t ? QString::fromStdU16String(t->TranslateText(g, g_windowLanguage)) : german;
}

int CaptionWidth(const QString& caption) {
  // The window system draws captions in its own font, often bold and a
  // little larger than the application's: measure generously, and leave
  // room for the icon and the buttons of the title bar.
  QFont f = QApplication::font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.1);
  return QFontMetrics(f).horizontalAdvance(caption) + 120;
}

void FitCaption(QWidget* window) {
  if (!window || !window->isWindow() || window->windowTitle().isEmpty()) return;
  const int need = CaptionWidth(window->windowTitle());
  if (auto* box = qobject_cast<QMessageBox*>(window)) {
    // A message box fixes its own size from its layout: widen the layout.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
      grid->addItem(new QSpacerItem(need, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                    1, grid->columnCount());
    return;
  }
  if (window->minimumWidth() < need) window->setMinimumWidth(need);
}

void TranslateWidgetTree(QWidget* root) {
  if (!root) return;
  if (g_windowLanguage == 0) {
    FitCaption(root);
    return;
  }
  TranslateOne(root);
  for (QWidget* w : root->findChildren<QWidget*>()) {
    // Menus (of the menu bar and pop-ups) must be children of the tree.
    if (auto* m = qobject_cast<QMenu*>(w)) {
      TranslateMenu(m);
      continue;
    }
    bool data = false;
    for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
      if (IsData(p)) data = true;
    if (!data) TranslateOne(w);
  }
  FitCaption(root);
}

void MarkDataWidget(QWidget* w) { w->setProperty("qlData", true); }

}  // namespace ui
