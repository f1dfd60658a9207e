// Files dropped onto the window: pictures onto the picture list (as
// "Neue Bilder..."), a picture onto the background or logo tab (as its file
// name box), a project file anywhere else (opened after the ask-to-save
// guard).
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

#include "ui/mainwindow.h"
#include "ui/qtlifecycleui.h"

namespace ui {
namespace {

QStringList LocalFiles(const QMimeData* mime) {
  QStringList files;
  if (!mime) return files;
  for (const QUrl& u : mime->urls())
    if (u.isLocalFile()) files << u.toLocalFile();
  return files;
}

// The picture file box a drop onto `page` goes to, or null.
QLineEdit* PictureBoxOf(QObject* page) {
  const QString n = page->objectName();
  if (n == QLatin1String("TabHintergrund"))
    return page->findChild<QLineEdit*>(QStringLiteral("FilenameEdit2"));
  if (n == QLatin1String("TabLogo")) return page->findChild<QLineEdit*>(QStringLiteral("FilenameEdit1"));
  return nullptr;
}

}  // namespace

bool MainWindow::IsProjectFile(const QString& file) {
  const QString ext = QFileInfo(file).suffix().toLower();
  return ext == QLatin1String("pk2") || ext == QLatin1String("pkd");
}

void MainWindow::AcceptDrops() {
  setAcceptDrops(true);
  pictureList_->setAcceptDrops(true);
  pictureList_->viewport()->installEventFilter(this);
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
  const bool onPictures = watched == pictureList_->viewport();
  QLineEdit* box = onPictures ? nullptr : PictureBoxOf(watched);
  if (!onPictures && !box) return false;
  auto* de = static_cast<QDropEvent*>(e);
  const QStringList files = LocalFiles(de->mimeData());
  // Pictures need a product to go to; a project file is left to the window.
  const bool usable = !files.isEmpty() && !(files.size() == 1 && IsProjectFile(files.front())) &&
                      (!onPictures || editing::PositionProduct(doc_, CurrentSelection()));
  if (!usable) return false;  // the widget's own handling: nothing, or the window's
  de->acceptProposedAction();
  if (t != QEvent::Drop) return true;
  if (onPictures) {
    std::vector<std::u16string> names;
    for (const QString& f : files) names.push_back(U(f));
    AddPictureFiles(names);
  } else {
    box->setText(files.front());
    emit box->textEdited(files.front());  // stores the name like typing does
  }
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
