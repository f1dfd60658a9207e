#include "ui/exportcommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/codepage.h"
#include "core/settingstable.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "output/htmlcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"
#include "project/feedback.h"
#include "render/render.h"
#include "ui/dialogs.h"
#include "ui/exportdialogs.h"
#include "ui/mainwindow.h"
#include "ui/pageprogress.h"
#include "ui/preview.h"
#include "ui/printcommands.h"
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
  form->addRow(grayAsK);  // the whole width: long in French
  auto* richBlack = new QCheckBox(QStringLiteral("Tiefschwarz für große schwarze Flächen"));
  richBlack->setChecked(o.ink.richBlack);
  form->addRow(richBlack);  // the whole width: long in French
  auto* marks = new QCheckBox(QStringLiteral("Schnitt- und Beschnittmarken"));
  marks->setObjectName(QStringLiteral("MarksCheck"));
  marks->setChecked(o.marks);
  form->addRow(marks);
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
  const output::OutputEntry& entry = *output::FindOutput("vector-pdf");
  std::u16string name = ExportStartName(session.doc().afilename, u".pdf");
  if (!RunFileDialog(parent, true, true, i18n::Tr(ql::FromUtf8(entry.fileFilter)), u".pdf", name)) return {};
  if ((trim.widthMm != before.widthMm || trim.heightMm != before.heightMm) && changeTrim) changeTrim(trim);
  const std::unique_ptr<output::CatalogOutput> out = entry.make();
  output::VectorPdfOptions& o = *output::FormatOf<output::VectorPdfOptions>(*out);
  o = options;
  PageProgress progress(parent, QString::fromUtf8(entry.menuText));
  // The findings are shown before the file replaces anything.
  o.approve = [parent, &progress](const pdfvec::Preflight& p) {
    progress.Close();
    return ConfirmPreflight(parent, p);
  };
  output::OutputOptions common;
  common.progpath = progpath;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const output::OutputResult r = out->Write(session, ql::ToUtf8(name), common, progress.Callback());
  QApplication::restoreOverrideCursor();
  progress.Close();
  if (!r.ok && !r.cancelled && !r.refused) fb.ShowMessage(ql::FromUtf8(r.error), caption, MessageIcon::Error);
  if (!r.ok) return {};
  return {ql::ToUtf8(name), r.pages};
}

// ---- The window's export commands

namespace {

QString BoxCaption(const QString& appTitle) {
  return appTitle.isEmpty() ? QStringLiteral("Quillane") : appTitle;
}

// The extension of a table filter "Name (*.ext)|*.ext", with its dot.
std::u16string FilterExtension(const char* filter) {
  const std::string f = filter;
  const size_t star = f.rfind("*.");
  return star == std::string::npos ? std::u16string() : ql::FromUtf8(f.substr(star + 1));
}

}  // namespace

output::OutputOptions MainWindow::OutputCommon() const {
  output::OutputOptions common;
  common.progpath = state_.progpath;
  common.printer = preview_->printer();
  return common;  // the document's own layout
}

void MainWindow::AddExportEntries(QMenu* datei) {
  for (const output::OutputEntry& e : output::OutputTable()) {
    if (e.target == output::OutputTarget::Printer) datei->addSeparator();
    QAction* a = datei->addAction(QString::fromUtf8(e.menuText));
    a->setObjectName(QString::fromLatin1(e.menuName));
    connect(a, &QAction::triggered, this, [this, &e] { ExportCmd(e); });
  }
}

void MainWindow::ExportCmd(const output::OutputEntry& entry) {
  const std::string id = entry.id;
  // The outputs with dialogs of their own; any other is a file or folder
  // dialog and the output's defaults.
  if (id == "vector-pdf") {
    ExportPrintPdfCmd();
  } else if (id == "images") {
    ExportImagesCmd();
  } else if (id == "html") {
    ExportHtmlCmd();
  } else if (id == "price-list") {
    printing_->PriceList();
  } else if (id == "print") {
    printing_->Print();
  } else if (id == "pdf") {
    ExportToFileCmd(entry, QStringLiteral("Die PDF Datei wurde gespeichert:"),
                    [this](output::CatalogOutput& out) {
                      output::PdfExportOptions& o = *output::FormatOf<output::PdfExportOptions>(out);
                      o.dpi = pdfDpi_;
                      o.cmyk = doc_.options.PDFDateienmitCMYKFarbenausgeben1;
                    });
  } else {
    ExportToFileCmd(entry, QStringLiteral("Die Ausgabe wurde gespeichert:"), {});
  }
}

void MainWindow::ExportToFileCmd(const output::OutputEntry& entry, const QString& written,
                                 const std::function<void(output::CatalogOutput&)>& configure) {
  std::string target;
  if (entry.target == output::OutputTarget::Folder) {
    const QString dir = QFileDialog::getExistingDirectory(this, TrW(QString::fromUtf8(entry.menuText)));
    if (dir.isEmpty()) return;
    target = dir.toStdString();
  } else {
    const std::u16string ext = FilterExtension(entry.fileFilter);
    std::u16string name = ExportStartName(doc_.afilename, ext);
    if (!RunFileDialog(this, true, true, i18n::Tr(ql::FromUtf8(entry.fileFilter)), ext, name)) return;
    target = ql::ToUtf8(name);
  }
  const std::unique_ptr<output::CatalogOutput> out = entry.make();
  if (configure) configure(*out);
  PageProgress progress(this, QString::fromUtf8(entry.menuText));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const output::OutputResult r = out->Write(*session_, target, OutputCommon(), progress.Callback());
  QApplication::restoreOverrideCursor();
  progress.Close();
  const std::u16string caption = U(BoxCaption(appTitle_));
  // A failed export says why (the file is not left half written).
  if (!r.ok && !r.cancelled) dialogs_->ShowMessage(ql::FromUtf8(r.error), caption, MessageIcon::Error);
  // The pictures the export could not draw, like a printer's preflight.
  const QString missing = PictureProblemsText(r.pictures);
  if (r.ok && !missing.isEmpty()) dialogs_->ShowMessage(U(missing), caption, MessageIcon::Warning);
  if (r.ok) ReportWritten(TrW(written), target, r.pages, r.files.empty() ? target : r.files.front());
  Repaint();
}

void MainWindow::ExportPrintPdfCmd() {
  static output::VectorPdfOptions printPdf = output::PrintPdfPreset();  // kept for the session
  const WrittenPdf w =
      ExportPrintPdf(this, *session_, state_.progpath, printPdf, *dialogs_, U(BoxCaption(appTitle_)),
                     [this](const TrimSize& trim) { SetTrimSize(trim); });
  Repaint();
  if (!w.path.empty())
    ReportWritten(TrW(QStringLiteral("Die Druck-PDF Datei wurde gespeichert:")), w.path, w.pages, w.path);
}

void MainWindow::PdfResolutionCmd() {
  RunPdfResolutionDialog(this, pdfDpi_);
  SaveUserOptions();
}

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
  const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("images")->make();
  output::PageImagesOptions& o = *output::FormatOf<output::PageImagesOptions>(*out);
  o.compress = res.compression();
  o.allPages = res.allPages();
  o.from = res.frompage();
  o.to = res.topage();
  o.filterIndex = filterIndex > 0 ? filterIndex : 6;
  output::OutputOptions common = OutputCommon();
  common.dpi = res.resolution();
  output::OutputResult r;
  {
    ExportProgress progress(this, pageControl_, previewTab_,
                            TrW(QStringLiteral("Seiten als Bilder exportieren...")));
    r = out->Write(*session_, chosen.toStdString(), common, progress.Callback());
  }
  Repaint();
  QString text =
      TrW(QStringLiteral("Bilder gespeichert:")) + QStringLiteral(" ") + QString::number(r.filesWritten);
  if (r.cancelled) text = TrW(QStringLiteral("Export abgebrochen.")) + QStringLiteral("\n") + text;
  if (!r.ok && !r.cancelled) text = QString::fromStdString(r.error) + QStringLiteral("\n") + text;
  QMessageBox box(r.ok || r.cancelled ? QMessageBox::Information : QMessageBox::Warning,
                  BoxCaption(appTitle_), text, QMessageBox::NoButton, this);
  QPushButton* openFolder = nullptr;
  if (r.filesWritten > 0)
    openFolder = box.addButton(TrW(QStringLiteral("Ordner öffnen")), QMessageBox::ActionRole);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
  if (openFolder && box.clickedButton() == openFolder)
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(QString::fromStdString(r.files.front())).absolutePath()));
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
  const std::unique_ptr<output::CatalogOutput> out = output::FindOutput("html")->make();
  output::HtmlCatalogOptions& o = *output::FormatOf<output::HtmlCatalogOptions>(*out);
  o.writeImages = res.Run(false);
  o.compress = res.compression();
  if (folderForm.withPdf()) o.pdfFile = output::kHtmlPdfName;
  output::OutputOptions common = OutputCommon();
  common.dpi = res.resolution();
  output::OutputResult r;
  {
    ExportProgress progress(this, pageControl_, previewTab_,
                            TrW(QStringLiteral("Als HTML Blätterkatalog exportieren...")));
    r = out->Write(*session_, folderForm.folder().toStdString(), common, progress.Callback());
  }
  Repaint();
  if (!r.ok && !r.cancelled)
    QMessageBox::warning(this, BoxCaption(appTitle_), QString::fromStdString(r.error));
  else if (r.cancelled)
    QMessageBox::information(this, BoxCaption(appTitle_), TrW(QStringLiteral("Export abgebrochen.")));
  // Whenever the catalog was written, also without page images, the user is
  // told where and may open it in the browser.
  if (!r.files.empty())
    ReportWritten(TrW(QStringLiteral("Der HTML Blätterkatalog wurde gespeichert im Verzeichnis:")),
                  folderForm.folder().toStdString(), o.writeImages && !r.cancelled ? r.pages : 0,
                  r.files.front());
}

}  // namespace ui
