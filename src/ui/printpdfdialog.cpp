#include "ui/printpdfdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "project/feedback.h"
#include "render/render.h"
#include "ui/pageprogress.h"
#include "ui/qtlifecycleui.h"
#include "ui/translatewidgets.h"

namespace ui {

bool RunPrintPdfDialog(QWidget* parent, output::VectorPdfOptions& o) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Als Druck-PDF exportieren..."));
  auto* form = new QFormLayout(&d);
  auto* use = new QComboBox;
  use->addItems({QStringLiteral("Druck"), QStringLiteral("Bildschirm")});
  use->setCurrentIndex(o.cmyk || o.bleedMm > 0 ? 0 : 1);
  form->addRow(QStringLiteral("Verwendung:"), use);
  auto* colours = new QComboBox;
  colours->addItems({QStringLiteral("CMYK"), QStringLiteral("RGB")});
  colours->setCurrentIndex(o.cmyk ? 0 : 1);
  form->addRow(QStringLiteral("Farben:"), colours);
  auto* bleed = new QDoubleSpinBox;
  bleed->setRange(0, 25);
  bleed->setDecimals(1);
  bleed->setValue(o.bleedMm);
  form->addRow(QStringLiteral("Beschnitt in mm:"), bleed);
  auto* ppi = new QSpinBox;
  ppi->setRange(0, 4000);
  ppi->setValue(static_cast<int>(o.maxPictureppi));
  form->addRow(QStringLiteral("Maximale Bildauflösung in ppi:"), ppi);
  auto* profileRow = new QHBoxLayout;
  auto* profile = new QLineEdit(QString::fromStdString(o.profilePath));
  profile->setPlaceholderText(QStringLiteral("Standard"));
  auto* browse = new QPushButton(QStringLiteral("Durchsuchen..."));
  profileRow->addWidget(profile);
  profileRow->addWidget(browse);
  form->addRow(QStringLiteral("Farbprofil:"), profileRow);
  QObject::connect(browse, &QPushButton::clicked, &d, [&d, profile] {
    const QString f =
        QFileDialog::getOpenFileName(&d, QString(), profile->text(), QStringLiteral("ICC (*.icc *.icm)"));
    if (!f.isEmpty()) profile->setText(f);
  });
  // The presets: print is CMYK with bleed at 300 ppi, screen RGB without.
  QObject::connect(use, qOverload<int>(&QComboBox::activated), &d, [=](int i) {
    const output::VectorPdfOptions p = i == 0 ? output::PrintPdfPreset() : output::ScreenPdfPreset();
    colours->setCurrentIndex(p.cmyk ? 0 : 1);
    bleed->setValue(p.bleedMm);
    ppi->setValue(static_cast<int>(p.maxPictureppi));
  });
  auto* bb = new QDialogButtonBox(&d);
  bb->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  bb->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
  QObject::connect(bb, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(bb, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  form->addRow(bb);
  TranslateWidgetTree(&d);
  if (d.exec() != QDialog::Accepted) return false;
  o.cmyk = colours->currentIndex() == 0;
  o.bleedMm = bleed->value();
  o.maxPictureppi = ppi->value() > 0 && ppi->value() < 36 ? 36 : ppi->value();
  o.profilePath = profile->text().trimmed().toStdString();
  return true;
}

WrittenPdf ExportPrintPdf(QWidget* parent, render::RenderSession& session,
                          const platform::PrinterPage& printer, const std::string& progpath,
                          output::VectorPdfOptions& options, Feedback& fb, const std::u16string& caption) {
  if (!RunPrintPdfDialog(parent, options)) return {};
  std::u16string name = ExportStartName(session.doc().afilename, u".pdf");
  if (!RunFileDialog(parent, true, true, i18n::Tr(u"PDF Dateien (*.pdf)|*.pdf"), u".pdf", name)) return {};
  output::VectorPdfOptions o = options;
  o.printer = printer;
  o.progpath = progpath;
  PageProgress progress(parent, QStringLiteral("Als Druck-PDF exportieren..."));
  auto onPage = [&progress](const output::PdfExportProgress& p) { return progress.Page(p.pagesDone); };
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const output::VectorPdfResult r = output::ExportVectorPDF(session, ql::ToUtf8(name), o, onPage);
  QApplication::restoreOverrideCursor();
  progress.Close();
  if (!r.ok && !r.cancelled) fb.ShowMessage(ql::FromUtf8(r.error), caption, MessageIcon::Error);
  if (!r.ok) return {};
  return {ql::ToUtf8(name), r.anzpages};
}

}  // namespace ui
