// Menu commands "Seiten als Bilder exportieren..." and "Als HTML
// Blätterkatalog exportieren...": the dialogs, progress with "Abbrechen",
// and what the user is told afterwards.
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "output/htmlcatalog.h"
#include "output/pageimages.h"
#include "platform/shell.h"
#include "ui/exportdialogs.h"
#include "ui/mainwindow.h"
#include "ui/preview.h"
#include "ui/previewtab.h"
#include "ui/qtlifecycleui.h"
#include "ui/translatewidgets.h"

namespace ui {

namespace {

// The dialogs live while the program runs (their values are kept).
TBitmapResolution& ResolutionDialog(QWidget* owner) {
  static QPointer<TBitmapResolution> d;
  if (!d) d = new TBitmapResolution(owner);
  return *d;
}
TSelectFolderForm& FolderDialog(QWidget* owner) {
  static QPointer<TSelectFolderForm> d;
  if (!d) d = new TSelectFolderForm(owner);
  return *d;
}

// Progress with "Abbrechen" while the preview tab shows the page number
// being exported. The preview itself is not repainted during the export:
// it would render with the same session between the export's pages; once
// the export ends it shows the page the box has reached.
class ExportProgress {
 public:
  ExportProgress(QWidget* owner, QTabWidget* tabs, PreviewTab* tab, const QString& title)
      : dialog_(title, TrW(QStringLiteral("Abbrechen")), 0, 0, owner),
        tab_(tab),
        seite_(tab->pageBox()),
        preview_(tab->preview()) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(300);
    tabs->setCurrentIndex(2);  // "Katalog erzeugen"
    preview_->setUpdatesEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
  }
  ~ExportProgress() {
    QApplication::restoreOverrideCursor();
    dialog_.close();
    preview_->setUpdatesEnabled(true);
    tab_->ShowBoxPage();
  }
  bool Page(int32_t page) {
    const QSignalBlocker block(seite_);
    seite_->setValue(page);
    dialog_.setLabelText(dialog_.windowTitle() + QStringLiteral(" ") + QString::number(page));
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
  PreviewTab* tab_;
  QSpinBox* seite_;
  QWidget* preview_;
};

QString BoxCaption(const QString& appTitle) {
  return appTitle.isEmpty() ? QStringLiteral("Quillane") : appTitle;
}

}  // namespace

void MainWindow::ReportWritten(const QString& what, const std::string& shown, int32_t pages,
                               const std::string& open) {
  // The question stands in the body with what was written; the caption is
  // the program's.
  QString text = what + QStringLiteral("\n") + QString::fromStdString(shown);
  if (pages > 0)
    text +=
        QStringLiteral("\n") + TrW(QStringLiteral("Seiten:")) + QStringLiteral(" ") + QString::number(pages);
  text += QStringLiteral("\n\n") + TrW(QStringLiteral("Jetzt öffnen?"));
  if (dialogs_->Ask(text.toStdU16String(), BoxCaption(appTitle_).toStdU16String(), Buttons::YesNo) ==
      Answer::Yes)
    config_.openFile(open);
}

void MainWindow::ExportImagesCmd() {
  // The image layer's formats, JPEG preset; no overwrite question.
  const QString filters = QString::fromStdString(GetDIBSaveFilter());
  const QStringList list = filters.split(QStringLiteral(";;"));
  QFileDialog fd(this, TrW(QStringLiteral("Seiten als Bilder exportieren...")));
  fd.setAcceptMode(QFileDialog::AcceptSave);
  fd.setOption(QFileDialog::DontConfirmOverwrite, true);
  fd.setNameFilters(list);
  if (list.size() >= 6) fd.selectNameFilter(list[5]);
  // The project's folder and name; the pages add their numbers and the
  // format its extension.
  if (!doc_.afilename.empty()) {
    const QFileInfo project(QString::fromStdU16String(doc_.afilename));
    fd.setDirectory(project.absolutePath());
    fd.selectFile(project.completeBaseName());
  }
  if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return;
  const QString chosen = fd.selectedFiles().first();
  const int filterIndex = static_cast<int>(list.indexOf(fd.selectedNameFilter())) + 1;

  TBitmapResolution& res = ResolutionDialog(this);
  if (!res.Run(true)) return;
  output::PageImagesOptions o;
  o.dpi = res.resolution();
  o.compress = res.compression();
  o.allPages = res.allPages();
  o.from = res.frompage();
  o.to = res.topage();
  o.filterIndex = filterIndex > 0 ? filterIndex : 6;
  o.printer = preview_->printer();
  output::PageImagesResult r;
  {
    ExportProgress progress(this, pageControl_, previewTab_,
                            TrW(QStringLiteral("Seiten als Bilder exportieren...")));
    r = output::ExportPageImages(
        *session_, chosen.toStdString(), o,
        [&progress](const output::PageImagesProgress& p) { return progress.Page(p.page); });
  }
  Repaint();
  QString text = TrW(QStringLiteral("Bilder gespeichert:")) + QStringLiteral(" ") + QString::number(r.saved);
  if (r.cancelled) text = TrW(QStringLiteral("Export abgebrochen.")) + QStringLiteral("\n") + text;
  if (!r.ok && !r.cancelled) text = QString::fromStdString(r.error) + QStringLiteral("\n") + text;
  QMessageBox box(r.ok || r.cancelled ? QMessageBox::Information : QMessageBox::Warning,
                  BoxCaption(appTitle_), text, QMessageBox::NoButton, this);
  QPushButton* openFolder = nullptr;
  if (r.saved > 0) openFolder = box.addButton(TrW(QStringLiteral("Ordner öffnen")), QMessageBox::ActionRole);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
  if (openFolder && box.clickedButton() == openFolder)
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(QString::fromStdString(r.firstFile)).absolutePath()));
}

void MainWindow::ExportHtmlCmd() {
  TSelectFolderForm& folderForm = FolderDialog(this);
  if (!folderForm.Run(QString::fromStdU16String(ExportStartName(doc_.afilename, u"")))) return;
  if (folderForm.folder().isEmpty()) {
    QMessageBox::critical(this, BoxCaption(appTitle_), QString::fromStdU16String(i18n::Msg(38)));
    return;
  }
  TBitmapResolution& res = ResolutionDialog(this);
  res.SetResolution(50);
  output::HtmlCatalogOptions o;
  o.progpath = state_.progpath;
  o.writeImages = res.Run(false);
  o.dpi = res.resolution();
  o.compress = res.compression();
  o.printer = preview_->printer();
  output::HtmlCatalogResult r;
  {
    ExportProgress progress(this, pageControl_, previewTab_,
                            TrW(QStringLiteral("Als HTML Blätterkatalog exportieren...")));
    r = output::ExportHtmlCatalog(
        *session_, folderForm.folder().toStdString(), o,
        [&progress](const output::HtmlCatalogProgress& p) { return progress.Page(p.page); });
  }
  Repaint();
  if (!r.ok && !r.cancelled)
    QMessageBox::warning(this, BoxCaption(appTitle_), QString::fromStdString(r.error));
  else if (r.cancelled)
    QMessageBox::information(this, BoxCaption(appTitle_), TrW(QStringLiteral("Export abgebrochen.")));
  // Whenever the catalog was written, also without page images, the user is
  // told where and may open it in the browser.
  if (!r.catalogFile.empty())
    ReportWritten(TrW(QStringLiteral("Der HTML Blätterkatalog wurde gespeichert im Verzeichnis:")),
                  folderForm.folder().toStdString(), o.writeImages && !r.cancelled ? r.anzpages : 0,
                  r.catalogFile);
}

}  // namespace ui
