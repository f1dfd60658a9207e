// The progress of a page-by-page export: a window-modal progress dialog
// with the command's title, the number of pages done after it, and
// "Abbrechen" (PageProgress); or the same while the preview tab's page box
// follows the page being exported (ExportProgress).
#pragma once

#include <QApplication>
#include <QProgressDialog>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QString>
#include <QTabWidget>
#include <cstdint>

#include "output/catalogoutput.h"
#include "ui/preview.h"
#include "ui/previewtab.h"
#include "ui/translatewidgets.h"

namespace ui {

class PageProgress {
 public:
  // `germanTitle` is the command's text (translated here).
  PageProgress(QWidget* parent, const QString& germanTitle)
      : dialog_(TrW(germanTitle), TrW(QStringLiteral("Abbrechen")), 0, 0, parent) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    label_ = dialog_.labelText();
  }
  // For the exports' progress callbacks: shows the count, keeps the window
  // responsive, and is false once the user cancelled.
  bool Page(int32_t done) {
    dialog_.setLabelText(label_ + QStringLiteral(" ") + QString::number(done));
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  }
  // The same as an output's progress callback.
  output::OutputProgressFn Callback() {
    return [this](const output::OutputProgress& p) { return Page(p.page); };
  }
  void Close() { dialog_.close(); }

 private:
  QProgressDialog dialog_;
  QString label_;
};

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
  output::OutputProgressFn Callback() {
    return [this](const output::OutputProgress& p) { return Page(p.page); };
  }

 private:
  bool Page(int32_t page) {
    const QSignalBlocker block(seite_);
    seite_->setValue(page);
    dialog_.setLabelText(dialog_.windowTitle() + QStringLiteral(" ") + QString::number(page));
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  }

  QProgressDialog dialog_;
  PreviewTab* tab_;
  QSpinBox* seite_;
  QWidget* preview_;
};

}  // namespace ui
