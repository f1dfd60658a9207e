#include "ui/exportdialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/translatewidgets.h"

namespace ui {

namespace {

QSpinBox* Spin(const char* name, int lo, int hi, int step, int value) {
  auto* s = new QSpinBox;
  s->setObjectName(QString::fromLatin1(name));
  s->setRange(lo, hi);
  s->setSingleStep(step);
  s->setValue(value);
  return s;
}

QDialogButtonBox* OkAbbrechen(QDialog* d) {
  auto* bb = new QDialogButtonBox(d);
  bb->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OKBtn"));
  bb->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("CancelBtn"));
  QObject::connect(bb, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(bb, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return bb;
}

}  // namespace

TBitmapResolution::TBitmapResolution(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("BitmapResolution"));
  setWindowTitle(QStringLiteral("Wählen Sie die Bildauflösung und Qualität"));
  auto* grid = new QGridLayout(this);
  radioButton1_ = new QRadioButton(QStringLiteral("Alle Seiten exportieren"));
  radioButton1_->setObjectName(QStringLiteral("RadioButton1"));
  radioButton2_ = new QRadioButton(QStringLiteral("Ausgewählte Seiten exportieren"));
  radioButton2_->setObjectName(QStringLiteral("RadioButton2"));
  radioButton1_->setChecked(true);
  frompageed_ = Spin("frompageed", 1, 1000000, 1, 1);
  topageed_ = Spin("topageed", 1, 1000000, 1, 1);
  resEd_ = Spin("ResEd", 10, 1440, 5, 150);
  compressEd_ = Spin("CompressEd", 0, 100, 5, 5);
  grid->addWidget(radioButton1_, 0, 0, 1, 4);
  grid->addWidget(radioButton2_, 1, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("Von Seite:")), 2, 0);
  grid->addWidget(frompageed_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("Nach Seite:")), 2, 2);
  grid->addWidget(topageed_, 2, 3);
  grid->addWidget(new QLabel(QStringLiteral("Bild Auflösung")), 3, 0);
  grid->addWidget(resEd_, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("DPI")), 3, 2);
  auto* presets = new QHBoxLayout;
  const int dpis[] = {72, 96, 150, 300};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QPushButton(QStringLiteral("%1 DPI").arg(dpis[i]));
    b->setObjectName(QStringLiteral("BitBtn%1").arg(i + 1));
    const int dpi = dpis[i];
    connect(b, &QPushButton::clicked, this, [this, dpi] { resEd_->setValue(dpi); });
    presets->addWidget(b);
  }
  grid->addLayout(presets, 4, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("Bild Komprimierung")), 5, 0);
  grid->addWidget(compressEd_, 5, 1);
  grid->addWidget(new QLabel(QStringLiteral("(0 = beste Qualität; 100 = kleinste Datei)")), 5, 2, 1, 2);
  grid->addWidget(OkAbbrechen(this), 6, 0, 1, 4);
  TranslateWidgetTree(this);
}

bool TBitmapResolution::Run(bool rangeChoices) {
  if (!rangeChoices) radioButton1_->setChecked(true);
  radioButton1_->setEnabled(rangeChoices);
  radioButton2_->setEnabled(rangeChoices);
  const bool ok = exec() == QDialog::Accepted;
  radioButton1_->setEnabled(true);
  radioButton2_->setEnabled(true);
  return ok;
}

bool TBitmapResolution::allPages() const { return !radioButton2_->isChecked(); }
int TBitmapResolution::frompage() const { return frompageed_->value(); }
int TBitmapResolution::topage() const { return topageed_->value(); }
int TBitmapResolution::resolution() const { return resEd_->value(); }
int TBitmapResolution::compression() const { return compressEd_->value(); }
void TBitmapResolution::SetResolution(int dpi) { resEd_->setValue(dpi); }

TSelectFolderForm::TSelectFolderForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SelectFolderForm"));
  setWindowTitle(QStringLiteral("Als HTML Blätterkatalog exportieren"));
  auto* lay = new QVBoxLayout(this);
  lay->addWidget(new QLabel(QStringLiteral("Ausgabe Verzeichnis für alle HTML Dateien und Bilder:")));
  auto* row = new QHBoxLayout;
  directoryEdit1_ = new QLineEdit;
  directoryEdit1_->setObjectName(QStringLiteral("DirectoryEdit1"));
  directoryEdit1_->setMinimumWidth(360);
  auto* browse = new QToolButton;
  browse->setObjectName(QStringLiteral("DirectoryBtn"));
  browse->setText(QStringLiteral("..."));
  connect(browse, &QToolButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(this, windowTitle(), directoryEdit1_->text());
    if (!dir.isEmpty()) directoryEdit1_->setText(dir);
  });
  row->addWidget(directoryEdit1_, 1);
  row->addWidget(browse);
  lay->addLayout(row);
  auto* hint = new QLabel(QStringLiteral(
      "Klicken Sie auf den kleinen Button rechts neben dem Eingabefeld, um das Verzeichnis auszuwählen."));
  hint->setWordWrap(true);
  lay->addWidget(hint);
  withPdf_ = new QCheckBox(QStringLiteral("Auch das Druck-PDF zum Herunterladen schreiben"));
  withPdf_->setObjectName(QStringLiteral("WithPdfCheck"));
  lay->addWidget(withPdf_);
  lay->addWidget(OkAbbrechen(this));
  TranslateWidgetTree(this);
}

bool TSelectFolderForm::Run(const QString& suggested) {
  const QString text = directoryEdit1_->text().trimmed();
  if (!suggested.isEmpty() && (text.isEmpty() || text == suggested_)) directoryEdit1_->setText(suggested);
  suggested_ = suggested;
  return exec() == QDialog::Accepted;
}
QString TSelectFolderForm::folder() const { return directoryEdit1_->text().trimmed(); }
bool TSelectFolderForm::withPdf() const { return withPdf_->isChecked(); }

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

}  // namespace ui
