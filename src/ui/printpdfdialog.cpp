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
#include <algorithm>
#include <cmath>

#include "core/codepage.h"
#include "core/settingstable.h"
#include "i18n/messages.h"
#include "project/feedback.h"
#include "render/render.h"
#include "ui/pageprogress.h"
#include "ui/qtlifecycleui.h"
#include "ui/translatewidgets.h"

namespace ui {

namespace {

// The papers the trim size box offers; anything else is "Eigene Größe".
struct Paper {
  const char* name;
  bool landscape;
  double w, h;
};
constexpr Paper kPapers[] = {{"A4", false, 210, 297},
                             {"A5", false, 148, 210},
                             {"A3", false, 297, 420},
                             {"A4", true, 297, 210},
                             {"Letter", false, 215.9, 279.4}};
constexpr int kPaperCount = sizeof kPapers / sizeof kPapers[0];

int PaperIndex(double w, double h) {
  for (int i = 0; i < kPaperCount; ++i)
    if (std::abs(kPapers[i].w - w) < 0.05 && std::abs(kPapers[i].h - h) < 0.05) return i;
  return kPaperCount;  // "Eigene Größe"
}

QDoubleSpinBox* MmBox(const char* setting, double value) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(QString::fromLatin1(setting));
  const SettingRange* r = FindSetting(setting);
  box->setRange(r ? std::max(r->lo, 1.0) : 1, r ? r->hi : 1000);
  box->setDecimals(1);
  box->setSuffix(QStringLiteral(" mm"));
  box->setValue(value);
  return box;
}

}  // namespace

bool RunPrintPdfDialog(QWidget* parent, output::VectorPdfOptions& o, TrimSize* trim) {
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
  // The trim box: the paper the pages are laid out for, whatever printer
  // the preview follows.
  QComboBox* paper = nullptr;
  QDoubleSpinBox *trimW = nullptr, *trimH = nullptr;
  if (trim) {
    paper = new QComboBox;
    paper->setObjectName(QStringLiteral("TrimPaperCombo"));
    for (const Paper& p : kPapers)
      paper->addItem(QStringLiteral("%1 (%2 x %3 mm)")
                         .arg(p.landscape ? QString::fromLatin1(p.name) + ' ' + TrW(QStringLiteral("quer"))
                                          : QString::fromLatin1(p.name))
                         .arg(p.w, 0, 'f', p.w == std::floor(p.w) ? 0 : 1)
                         .arg(p.h, 0, 'f', p.h == std::floor(p.h) ? 0 : 1));
    paper->addItem(TrW(QStringLiteral("Eigene Größe")));
    MarkDataWidget(paper);  // its entries are translated here, with their sizes
    form->addRow(QStringLiteral("Endformat:"), paper);
    trimW = MmBox("PDFWidthEd", trim->widthMm);
    trimH = MmBox("PDFHeightED", trim->heightMm);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(trimW);
    auto* times = new QLabel(QStringLiteral("x"));
    MarkDataWidget(times);  // no words to translate
    sizeRow->addWidget(times);
    sizeRow->addWidget(trimH);
    form->addRow(QString(), sizeRow);
    auto* note = new QLabel(QStringLiteral(
        "Die Seiten werden für dieses Format umbrochen. Ein anderes Format wird als PDF-Größe des Projekts "
        "gespeichert."));
    note->setWordWrap(true);
    form->addRow(note);
    paper->setCurrentIndex(PaperIndex(trim->widthMm, trim->heightMm));
    QObject::connect(paper, qOverload<int>(&QComboBox::activated), &d, [=](int i) {
      if (i >= kPaperCount) return;
      trimW->setValue(kPapers[i].w);
      trimH->setValue(kPapers[i].h);
    });
    auto follow = [=] { paper->setCurrentIndex(PaperIndex(trimW->value(), trimH->value())); };
    QObject::connect(trimW, qOverload<double>(&QDoubleSpinBox::valueChanged), &d, follow);
    QObject::connect(trimH, qOverload<double>(&QDoubleSpinBox::valueChanged), &d, follow);
  }
  auto* grayAsK = new QCheckBox(QStringLiteral("Graue Texte und feine Linien nur in Schwarz"));
  grayAsK->setChecked(o.ink.grayAsK);
  form->addRow(QString(), grayAsK);
  auto* richBlack = new QCheckBox(QStringLiteral("Tiefschwarz für große schwarze Flächen"));
  richBlack->setChecked(o.ink.richBlack);
  form->addRow(QString(), richBlack);
  auto* marks = new QCheckBox(QStringLiteral("Schnitt- und Beschnittmarken"));
  marks->setObjectName(QStringLiteral("MarksCheck"));
  marks->setChecked(o.marks);
  form->addRow(QString(), marks);
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
  if (trim) {
    trim->widthMm = trimW->value();
    trim->heightMm = trimH->value();
  }
  o.ink.grayAsK = grayAsK->isChecked();
  o.ink.richBlack = richBlack->isChecked();
  o.marks = marks->isChecked();
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

WrittenPdf ExportPrintPdf(QWidget* parent, render::RenderSession& session, const std::string& progpath,
                          output::VectorPdfOptions& options, Feedback& fb, const std::u16string& caption,
                          const std::function<void(const TrimSize&)>& changeTrim) {
  TrimSize before;
  output::VectorTrimSize(session.doc().settings, before.widthMm, before.heightMm);
  TrimSize trim = before;
  if (!RunPrintPdfDialog(parent, options, &trim)) return {};
  std::u16string name = ExportStartName(session.doc().afilename, u".pdf");
  if (!RunFileDialog(parent, true, true, i18n::Tr(u"PDF Dateien (*.pdf)|*.pdf"), u".pdf", name)) return {};
  if ((trim.widthMm != before.widthMm || trim.heightMm != before.heightMm) && changeTrim) changeTrim(trim);
  output::VectorPdfOptions o = options;
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
  if (!r.ok) return {};
  return {ql::ToUtf8(name), r.anzpages};
}

}  // namespace ui
