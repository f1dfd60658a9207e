#include "ui/dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/linebreaks.h"
#include "imaging/qtdib.h"
#include "ui/settingsbinder.h"
#include "ui/translatewidgets.h"

namespace ui {
namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

QDialogButtonBox* OkCancel(QDialog* d, bool cancel = true) {
  auto* bb = new QDialogButtonBox(d);
  bb->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  if (cancel) bb->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
  QObject::connect(bb, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(bb, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return bb;
}

bool Exec(QDialog& d) {
  TranslateWidgetTree(&d);
  return d.exec() == QDialog::Accepted;
}

QDoubleSpinBox* Mm(double v, double lo = 0, double hi = 1000) {
  auto* s = new QDoubleSpinBox;
  s->setRange(lo, hi);
  s->setDecimals(2);
  s->setValue(v);
  return s;
}

// A colour swatch for a dialog field.
ColorSwatch* Swatch(QWidget* parent, TColor& c) {
  auto* w = new ColorSwatch;
  w->SetColor(c);
  QObject::connect(w, &ColorSwatch::clicked, w, [w, parent, &c] {
    const QColor chosen = QColorDialog::getColor(QColor(TColorToQRgb(c)), parent, QString());
    if (!chosen.isValid()) return;
    c = QRgbToTColor(chosen.rgb());
    w->SetColor(c);
  });
  return w;
}

}  // namespace

bool RunCategoryDialog(QWidget* parent, editing::CategoryDialogValues& v, const QString& pictureFilter) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Kategorie bearbeiten"));
  editing::CategoryDialogValues w = v;
  auto* form = new QVBoxLayout(&d);
  auto* top = new QFormLayout;
  auto* name = new QLineEdit(Q(w.name));
  top->addRow(QStringLiteral("Name:"), name);
  auto* pic = new QLineEdit(Q(w.picfile));
  auto* browse = new QPushButton(QStringLiteral("Bild auswählen..."));
  auto* picRow = new QHBoxLayout;
  picRow->addWidget(pic, 1);
  picRow->addWidget(browse);
  top->addRow(QStringLiteral("Bild:"), picRow);
  auto* width = new QDoubleSpinBox;
  width->setRange(editing::kMinCategoryPicWidth, editing::kMaxCategoryPicWidth);
  width->setDecimals(2);
  width->setValue(w.picwidth);
  width->setToolTip(QStringLiteral("Die Breite VOR dem Hinzufügen der Bilder einstellen."));
  top->addRow(QStringLiteral("Bild Breite in cm:"), width);
  form->addLayout(top);

  auto* before = new QRadioButton(QStringLiteral("Bild vor Kategorienamen anzeigen"));
  auto* below = new QRadioButton(QStringLiteral("Bild unter Kategorienamen anzeigen"));
  (w.picbelowname == 1 ? below : before)->setChecked(true);
  form->addWidget(before);
  form->addWidget(below);
  auto check = [&](const char* text, bool on) {
    auto* c = new QCheckBox(QString::fromUtf8(text));
    c->setChecked(on);
    form->addWidget(c);
    return c;
  };
  QCheckBox* introbelow = check("Einführungstext unter dem Bild statt neben dem Bild", w.introbelowpic);
  QCheckBox* asbg = check("Bild als Hintergrundbild benutzen", w.picasbackground);
  form->addWidget(new QLabel(QStringLiteral("Kategorie Einführungstext:")));
  auto* intro = new QPlainTextEdit(Q(w.introtext));
  intro->setFixedHeight(80);
  form->addWidget(intro);
  QCheckBox* nonew = check("Kategorie muss nicht auf einer neuen Seite beginnen", w.nonewpage);
  QCheckBox* istoc = check("Diese Kategorie soll das Inhaltsverzeichnis sein", w.istoc);
  QCheckBox* firstnew =
      check("Das erste Produkt der Kategorie soll auf einer neuen Seite beginnen", w.firstproductnewpage);
  QCheckBox* onlypic = check("Nur das Bild anzeigen und keinen Text, danach Seitenumbruch", w.pictureonly);
  QCheckBox* notintoc = check("Diese Kategorie nicht im Inhaltsverzeichnis auflisten", w.notintoc);
  QCheckBox* subonly =
      check("Im Inhaltsverzeichnis nur die folgenden Unterkategorien auflisten", w.tocsubcategoriesonly);
  QCheckBox* allcats =
      check("Im Inhaltsverzeichnis alle Kategorien auflisten, nicht nur nachfolgende", w.tocallcategories);
  QCheckBox* deact = check("Kategorie deaktivieren", w.deactivated);
  auto colorRow = [&](const char* text, bool on, TColor& c) {
    auto* row = new QHBoxLayout;
    auto* cb = new QCheckBox(QString::fromUtf8(text));
    cb->setChecked(on);
    row->addWidget(cb, 1);
    row->addWidget(Swatch(&d, c));
    form->addLayout(row);
    return cb;
  };
  QCheckBox* ownfont = colorRow("Eigene Schriftfarbe festlegen", w.ownfontcolor, w.fontcolor);
  QCheckBox* ownname =
      colorRow("Kategoriename mit eigener Hintergrundfarbe unterlegen", w.ownnamecolor, w.namecolor);
  QCheckBox* ownarea =
      colorRow("Kategoriebereich mit eigener Hintergrundfarbe unterlegen", w.ownareacolor, w.areacolor);
  QCheckBox* withprods = check("Auch die Produkte im Inhaltsverzeichnis auflisten", w.tocwithproducts);
  QCheckBox* nocats = check("Kategorien nicht im Inhaltsverzeichnis auflisten", w.tocnocategories);
  form->addWidget(OkCancel(&d));

  QObject::connect(browse, &QPushButton::clicked, &d, [&] {
    const QString f = QFileDialog::getOpenFileName(&d, QString(), pic->text(), pictureFilter);
    if (!f.isEmpty()) pic->setText(f);
  });
  auto onlyPictureRule = [&] {
    w.pictureonly = onlypic->isChecked();
    editing::CategoryDialogCheckClicked(w);
    if (w.picbelowname == 1) below->setChecked(true);
  };
  for (QCheckBox* c : {onlypic, notintoc, deact})
    QObject::connect(c, &QCheckBox::clicked, &d, onlyPictureRule);

  name->setFocus();
  name->setCursorPosition(name->text().size());
  if (!Exec(d)) return false;
  w.name = name->text().toStdU16String();
  w.picfile = pic->text().toStdU16String();
  w.picwidth = width->value();
  w.picbelowname = below->isChecked() ? 1 : 0;
  w.introbelowpic = introbelow->isChecked();
  w.picasbackground = asbg->isChecked();
  w.introtext = ql::WithLineBreaks(intro->toPlainText().toStdU16String(), u"\r\n");
  w.nonewpage = nonew->isChecked();
  w.istoc = istoc->isChecked();
  w.firstproductnewpage = firstnew->isChecked();
  w.pictureonly = onlypic->isChecked();
  w.notintoc = notintoc->isChecked();
  w.tocsubcategoriesonly = subonly->isChecked();
  w.tocallcategories = allcats->isChecked();
  w.deactivated = deact->isChecked();
  w.ownfontcolor = ownfont->isChecked();
  w.ownnamecolor = ownname->isChecked();
  w.ownareacolor = ownarea->isChecked();
  w.tocwithproducts = withprods->isChecked();
  w.tocnocategories = nocats->isChecked();
  v = w;
  return true;
}

bool RunMoveDialog(QWidget* parent, const std::vector<std::u16string>& names, int& target) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("In andere Kategorie verschieben"));
  auto* form = new QFormLayout(&d);
  auto* combo = new QComboBox;
  MarkDataWidget(combo);
  for (const auto& n : names) combo->addItem(Q(n));
  if (!names.empty()) combo->setCurrentIndex(0);
  form->addRow(QStringLiteral("Kategorie:"), combo);
  form->addRow(OkCancel(&d));
  if (!Exec(d) || combo->currentIndex() < 0) return false;
  target = combo->currentIndex();
  return true;
}

void RunTableSettingsDialog(QWidget* parent, editing::TableSettingsValues& v) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Tabellen Einstellungen..."));
  auto* grid = new QGridLayout(&d);
  auto* over = new QCheckBox(
      QStringLiteral("Die Einstellungen für dieses Produkt überschreiben die Voreinstellungen"));
  over->setChecked(v.overwrite);
  grid->addWidget(over, 0, 0, 1, 4);
  auto* fixw = new QCheckBox(QStringLiteral("Feste Breite für die Tabellenzellen definieren:"));
  fixw->setChecked(v.fixcellwidth);
  grid->addWidget(fixw, 1, 0, 1, 4);
  QDoubleSpinBox* cols[10];
  for (int i = 0; i < 10; ++i) {
    cols[i] = Mm(v.colwidth[i]);
    grid->addWidget(new QLabel(QString::number(i + 1) + QStringLiteral(". Spalte:")), 2 + i % 5, (i / 5) * 2);
    grid->addWidget(cols[i], 2 + i % 5, (i / 5) * 2 + 1);
  }
  auto* fixh = new QCheckBox(QStringLiteral("Feste Höhe für die Tabellenzellen definieren:"));
  fixh->setChecked(v.fixcellheight);
  grid->addWidget(fixh, 7, 0, 1, 4);
  QDoubleSpinBox* rowh = Mm(v.rowheight);
  grid->addWidget(new QLabel(QStringLiteral("Zeilenhöhe:")), 8, 0);
  grid->addWidget(rowh, 8, 1);
  auto* fixt = new QCheckBox(QStringLiteral("Feste Breite für die ganze Tabelle definieren:"));
  fixt->setChecked(v.fixtablewidth);
  grid->addWidget(fixt, 9, 0, 1, 4);
  QDoubleSpinBox* tw = Mm(v.tablewidth);
  grid->addWidget(new QLabel(QStringLiteral("Breite:")), 10, 0);
  grid->addWidget(tw, 10, 1);
  grid->addWidget(OkCancel(&d, false), 11, 0, 1, 4);
  Exec(d);
  // Closing the window counts like OK: every field is taken.
  v.overwrite = over->isChecked();
  v.fixcellwidth = fixw->isChecked();
  for (int i = 0; i < 10; ++i) v.colwidth[i] = cols[i]->value();
  v.fixcellheight = fixh->isChecked();
  v.rowheight = rowh->value();
  v.fixtablewidth = fixt->isChecked();
  v.tablewidth = tw->value();
}

bool RunPriceChangeDialog(QWidget* parent, editing::PriceChange& c) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Alle Preise ändern"));
  auto* form = new QFormLayout(&d);
  QDoubleSpinBox* pct = Mm(c.percent, -editing::kPriceChangeLimit, editing::kPriceChangeLimit);
  QDoubleSpinBox* amt = Mm(c.amount, -editing::kPriceChangeLimit, editing::kPriceChangeLimit);
  form->addRow(QStringLiteral("Prozentsatz:"), pct);
  form->addRow(QStringLiteral("Betrag:"), amt);
  const char* modes[] = {"Preise um Prozentsatz erhöhen", "Preise um Prozentsatz verringern",
                         "Preise um festen Betrag erhöhen", "Preise um festen Betrag verringern"};
  QRadioButton* r[4];
  for (int i = 0; i < 4; ++i) {
    r[i] = new QRadioButton(QString::fromUtf8(modes[i]));
    form->addRow(r[i]);
  }
  r[static_cast<int>(c.mode)]->setChecked(true);
  auto* note = new QLabel(QStringLiteral(
      "Bitte überprüfen Sie, ob die korrekte Anzahl der Preisspalten für alle Produkte eingestellt ist."));
  note->setWordWrap(true);
  form->addRow(note);
  form->addRow(OkCancel(&d));
  if (!Exec(d)) return false;
  c.percent = pct->value();
  c.amount = amt->value();
  for (int i = 0; i < 4; ++i)
    if (r[i]->isChecked()) c.mode = static_cast<editing::PriceChange::Mode>(i);
  return true;
}

bool RunSortVariantsDialog(QWidget* parent, int& column) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Varianten aller Produkte sortieren"));
  auto* form = new QFormLayout(&d);
  auto* col = new QSpinBox;
  col->setRange(1, 10000);
  col->setValue(column);
  form->addRow(QStringLiteral("Sortieren nach Spalte Nr.:"), col);
  form->addRow(OkCancel(&d));
  if (!Exec(d)) return false;
  column = col->value();
  return true;
}

bool RunSearchDialog(QWidget* parent, std::u16string& text, bool& inDescription) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Artikel suchen"));
  auto* form = new QVBoxLayout(&d);
  form->addWidget(new QLabel(QStringLiteral("Suche nach Text in der Artikelbezeichnung:")));
  auto* box = new QLineEdit(Q(text));
  form->addWidget(box);
  auto* desc = new QCheckBox(QStringLiteral("Auch in Artikelbeschreibung suchen"));
  desc->setChecked(inDescription);
  form->addWidget(desc);
  form->addWidget(OkCancel(&d, false));
  box->setFocus();
  box->selectAll();
  const bool ok = Exec(d);
  inDescription = desc->isChecked();
  if (!ok) return false;
  text = box->text().toStdU16String();
  return true;
}

bool RunFoundDialog(QWidget* parent, const std::vector<editing::FoundProduct>& found, int& row) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Gefundene Artikel"));
  d.resize(640, 360);
  auto* lay = new QVBoxLayout(&d);
  auto* list = new QTreeWidget;
  list->setRootIsDecorated(false);
  list->setHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("Beschreibung"),
                         QStringLiteral("Kategorienr"), QStringLiteral("Artikelnr")});
  for (const auto& f : found)
    new QTreeWidgetItem(list, {Q(f.name), Q(f.description), Q(editing::DecimalText(f.katnr)),
                               Q(editing::DecimalText(f.prodnr))});
  if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
  lay->addWidget(list);
  lay->addWidget(OkCancel(&d, false));
  QObject::connect(list, &QTreeWidget::itemDoubleClicked, &d, &QDialog::accept);
  if (!Exec(d)) return false;
  row = list->currentItem() ? list->indexOfTopLevelItem(list->currentItem()) : -1;
  return row >= 0;
}

bool RunReplaceDialog(QWidget* parent, std::u16string& from, std::u16string& to) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Suchen und ersetzen"));
  auto* form = new QFormLayout(&d);
  auto* f = new QLineEdit(Q(from));
  auto* t = new QLineEdit(Q(to));
  form->addRow(QStringLiteral("Suchen:"), f);
  form->addRow(QStringLiteral("Ersetzen durch:"), t);
  form->addRow(OkCancel(&d, false));
  f->setFocus();
  if (!Exec(d)) return false;
  from = f->text().toStdU16String();
  to = t->text().toStdU16String();
  return true;
}

bool RunCollectDialog(QWidget* parent, std::u16string& folder) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Bilddateien umkopieren"));
  auto* form = new QFormLayout(&d);
  auto* box = new QLineEdit(Q(folder));
  auto* browse = new QPushButton(QStringLiteral("..."));
  auto* row = new QHBoxLayout;
  row->addWidget(box, 1);
  row->addWidget(browse);
  form->addRow(QStringLiteral("Verzeichnis für Bilddateien:"), row);
  form->addRow(OkCancel(&d));
  QObject::connect(browse, &QPushButton::clicked, &d, [&] {
    const QString f = QFileDialog::getExistingDirectory(&d, QString(), box->text());
    if (!f.isEmpty()) box->setText(f);
  });
  if (!Exec(d) || box->text().trimmed().isEmpty()) return false;
  folder = box->text().trimmed().toStdU16String();
  return true;
}

void RunPdfResolutionDialog(QWidget* parent, int& dpi) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("PDF Auflösung einstellen..."));
  auto* form = new QHBoxLayout(&d);
  form->addWidget(new QLabel(QStringLiteral("Auflösung:")));
  auto* box = new QSpinBox;
  box->setRange(10, 4000);
  box->setValue(dpi);
  form->addWidget(box);
  form->addWidget(new QLabel(QStringLiteral("DPI")));
  form->addWidget(OkCancel(&d, false));
  Exec(d);
  dpi = box->value();
}

void ShowAboutBox(QWidget* parent, const QString& caption) {
  QMessageBox box(parent);
  box.setWindowTitle(TrW(QStringLiteral("Info")));
  box.setIcon(QMessageBox::Information);
  box.setText(caption + QStringLiteral("\nVersion 1.0\n\nMorvetta GbR"));
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

}  // namespace ui
