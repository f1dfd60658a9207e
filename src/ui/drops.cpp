// Files dropped onto the window: a picture onto the background or logo tab
// (as its file name box), a project file anywhere else (opened after the
// ask-to-save guard). The product tab takes pictures dropped onto its
// picture list itself.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QTabWidget>

#include "ui/dropfiles.h"
#include "ui/mainwindow.h"
#include "ui/qtlifecycleui.h"

namespace ui {
namespace {

// The picture file box a drop onto `page` goes to, or null.
QLineEdit* PictureBoxOf(QObject* page) {
  const QString n = page->objectName();
  if (n == QLatin1String("TabHintergrund"))
    return page->findChild<QLineEdit*>(QStringLiteral("FilenameEdit2"));
  if (n == QLatin1String("TabLogo")) return page->findChild<QLineEdit*>(QStringLiteral("FilenameEdit1"));
  return nullptr;
}

}  // namespace

void MainWindow::AcceptDrops() {
  setAcceptDrops(true);
  for (int i = 0; i < pageControl_->count(); ++i) {
    QWidget* page = pageControl_->widget(i);
    if (!PictureBoxOf(page)) continue;
    page->setAcceptDrops(true);
    page->installEventFilter(this);
  }
}

bool MainWindow::DropFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::Drop) return false;
  QLineEdit* box = PictureBoxOf(watched);
  if (!box) return false;
  auto* de = static_cast<QDropEvent*>(e);
  const QStringList files = LocalFiles(de->mimeData());
  if (!ArePictureFiles(files)) return false;  // a project file is left to the window
  de->acceptProposedAction();
  if (t != QEvent::Drop) return true;
  box->setText(files.front());
  emit box->textEdited(files.front());  // stores the name like typing does
  return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  const QStringList files = LocalFiles(e->mimeData());
  if (files.size() == 1 && IsProjectFile(files.front())) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  const QStringList files = LocalFiles(e->mimeData());
  if (files.size() != 1 || !IsProjectFile(files.front())) return;
  e->acceptProposedAction();
  if (!lifecycle::AskToSave(doc_, *dialogs_)) return;
  OpenDocument(U(files.front()));
}

}  // namespace ui
