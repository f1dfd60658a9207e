#include "ui/printpdfdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

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
  auto* grayAsK = new QCheckBox(QStringLiteral("Graue Texte und feine Linien nur in Schwarz"));
  grayAsK->setChecked(o.ink.grayAsK);
  form->addRow(QString(), grayAsK);
  auto* richBlack = new QCheckBox(QStringLiteral("Tiefschwarz für große schwarze Flächen"));
  richBlack->setChecked(o.ink.richBlack);
  form->addRow(QString(), richBlack);
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
  o.ink.grayAsK = grayAsK->isChecked();
  o.ink.richBlack = richBlack->isChecked();
  return true;
}

QStringList PreflightLines(const pdfvec::Preflight& p) {
  QStringList lines;
  const auto file = [](const std::string& f) {
    return f.empty() ? TrW(QStringLiteral("(ohne Dateinamen)")) : QString::fromStdString(f);
  };
  for (const pdfvec::Preflight::MissingPicture& m : p.missingPictures)
    lines << (m.exists ? TrW(QStringLiteral("Bild nicht lesbar: %1")) : TrW(QStringLiteral("Bild fehlt: %1")))
                 .arg(QString::fromStdString(m.file));
  for (const pdfvec::Preflight::SubstitutedFont& f : p.substitutedFonts)
    lines << TrW(QStringLiteral("Schrift ersetzt: %1 durch %2"))
                 .arg(QString::fromStdString(f.asked), QString::fromStdString(f.used));
  for (const pdfvec::Preflight::LowPicture& l : p.lowResolution)
    lines << TrW(QStringLiteral("Bild mit %1 ppi (unter %2 ppi), Seite %3: %4"))
                 .arg(QString::number(l.ppi, 'f', 0), QString::number(p.minPpi, 'f', 0),
                      QString::number(l.firstPage), file(l.file));
  for (const pdfvec::Preflight::MissingCharacters& c : p.missingCharacters)
    lines << TrW(QStringLiteral("Zeichen fehlen in der Schrift %1, Seite %2: %3"))
                 .arg(QString::fromStdString(c.font), QString::number(c.firstPage),
                      QString::fromStdU16String(c.characters));
  for (const pdfvec::Preflight::TextPastPage& t : p.textsPastPage)
    lines << TrW(QStringLiteral("Text über den Seitenrand hinaus, Seite %1: %2"))
                 .arg(QString::number(t.page), QString::fromStdU16String(t.text));
  return lines;
}

bool ConfirmPreflight(QWidget* parent, const pdfvec::Preflight& p) {
  if (p.Empty()) return true;
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Als Druck-PDF exportieren..."));
  auto* box = new QVBoxLayout(&d);
  box->addWidget(new QLabel(QStringLiteral("Die Druckerei würde nachfragen:")));
  auto* list = new QListWidget;
  list->addItems(PreflightLines(p));
  MarkDataWidget(list);  // the lines are worded already
  box->addWidget(list);
  if (p.inkMaxPercent >= 0)
    box->addWidget(new QLabel(
        TrW(QStringLiteral("Höchster Farbauftrag: %1 %")).arg(QString::number(p.inkMaxPercent, 'f', 0))));
  auto* bb = new QDialogButtonBox;
  bb->addButton(QStringLiteral("Trotzdem exportieren"), QDialogButtonBox::AcceptRole);
  bb->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
  QObject::connect(bb, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(bb, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  box->addWidget(bb);
  d.resize(640, 360);
  TranslateWidgetTree(&d);
  QApplication::restoreOverrideCursor();
  const bool ok = d.exec() == QDialog::Accepted;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  return ok;
}

void ExportPrintPdf(QWidget* parent, render::RenderSession& session, const platform::PrinterPage& printer,
                    const std::string& progpath, output::VectorPdfOptions& options, Feedback& fb,
                    const std::u16string& caption) {
  if (!RunPrintPdfDialog(parent, options)) return;
  std::u16string name;
  if (!RunFileDialog(parent, true, true, i18n::Tr(u"PDF Dateien (*.pdf)|*.pdf"), u".pdf", name)) return;
  output::VectorPdfOptions o = options;
  o.printer = printer;
  o.progpath = progpath;
  PageProgress progress(parent, QStringLiteral("Als Druck-PDF exportieren..."));
  // The findings are shown before the file replaces anything.
  o.approve = [parent, &progress](const pdfvec::Preflight& p) {
    progress.Close();
    return ConfirmPreflight(parent, p);
  };
  auto onPage = [&progress](const output::PdfExportProgress& p) { return progress.Page(p.pagesDone); };
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const output::VectorPdfResult r = output::ExportVectorPDF(session, ql::ToUtf8(name), o, onPage);
  QApplication::restoreOverrideCursor();
  progress.Close();
  if (!r.ok && !r.cancelled && !r.refused) fb.ShowMessage(ql::FromUtf8(r.error), caption, MessageIcon::Error);
}

}  // namespace ui
