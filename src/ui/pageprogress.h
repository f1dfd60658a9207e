// The progress of a page-by-page export: a window-modal progress dialog
// with the command's title, the number of pages done after it, and
// "Abbrechen".
#pragma once

#include <QApplication>
#include <QProgressDialog>
#include <QString>
#include <cstdint>

#include "output/catalogoutput.h"
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

}  // namespace ui
