// The tabs "Voreinstellungen", "Katalog erzeugen" and "Layout": settings
// controls bound to the document's settings, the template list and the page
// preview; the reactions to every setting change.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstring>

#include "editing/templatecols.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "ui/backgroundtab.h"
#include "ui/logotab.h"
#include "ui/mainwindow.h"
#include "ui/preview.h"
#include "ui/qtlifecycleui.h"
#include "ui/settingsbinder.h"
#include "ui/tabhelpers.h"
#include "ui/translatewidgets.h"

namespace ui {
namespace {

const std::u16string kTemplateFilter = u"Vorlagen für Varianten Tabelle (*.vor)|*.vor";

// A page of a settings tab, scrollable when the window is small.
QWidget* Scrolled(QWidget* content) {
  auto* area = new QScrollArea;
  area->setWidget(content);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  return area;
}

}  // namespace

void MainWindow::SettingChanged(const char* name) {
  auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
  if (is("FilenameEdit2")) {
    session_->PrepareBackground(2);
    backgroundTab_->ShowPicture(session_->di2);
  } else if (is("FilenameEdit3")) {
    session_->PrepareBackground(3);
  } else if (is("GrayScaleCheck") || is("LightenCheck") || is("HellEd") || is("SatEd")) {
    session_->PrepareBackgrounds();
    backgroundTab_->ShowPicture(session_->di2);
  } else if (is("FilenameEdit1")) {
    session_->LoadLogo();
    logoTab_->ShowPicture(session_->di3);
  } else if (is("PreDefAnzPreisEd")) {
    doc_.SetChanged();
  } else if (is("LayoutCombo")) {
    keyEdit_->setFocus();
  }
  Record("Einstellung ändern", QString::fromLatin1(name));
  Repaint();
}

// ---- "Voreinstellungen"

QWidget* MainWindow::BuildTemplateTab() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("TabVoreinstellungen"));
  auto* lay = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  listView3_ = new QTreeWidget;
  listView3_->setObjectName(QStringLiteral("ListView3"));
  listView3_->setRootIsDecorated(false);
  listView3_->setHeaderLabels({QStringLiteral("Vorlage für die Spalten der Varianten Tabelle eines neuen Produktes")});
  listView3_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listView3_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  listView3_->installEventFilter(this);
  left->addWidget(listView3_, 1);
  auto* buttons = new QGridLayout;
  auto button = [&](const char* text, int r, int c, auto slot) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    buttons->addWidget(b, r, c);
    connect(b, &QPushButton::clicked, this, slot);
  };
  button("Neue Spalte", 0, 0, [this] { NewTemplateColumnCmd(); });
  button("Bearbeiten", 0, 1, [this] { EditTemplateColumnCmd(); });
  button("Nach oben", 0, 2, [this] { MoveTemplateColumnCmd(true); });
  button("Löschen", 1, 0, [this] { DeleteTemplateColumnsCmd(); });
  button("Nach unten", 1, 2, [this] { MoveTemplateColumnCmd(false); });
  button("Vorlage öffnen...", 2, 0, [this] { LoadTemplateCmd(); });
  button("Vorlage speichern unter...", 2, 1, [this] { SaveTemplateCmd(); });
  left->addLayout(buttons);
  lay->addLayout(left, 1);
  connect(listView3_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* it, int) {
    editing::RenameTemplateColumn(doc_, listView3_->indexOfTopLevelItem(it), U(it->text(0)));
    Record("Vorlage ändern");
  });

  CatalogSettings& s = doc_.settings;
  SettingsBinder& b = *binder_;
  auto* geo = new QGridLayout;
  int row = 0;
  geo->addWidget(Label("Anzahl Preisspalten:"), row, 0);
  geo->addWidget(b.Integer("PreDefAnzPreisEd", s.PreDefAnzPreisEd, 1, 100), row++, 1);
  geo->addWidget(b.Check("DefineFixedWidthCheck", s.DefineFixedWidthCheck,
                         QStringLiteral("Feste Breite für die Tabellenzellen definieren:")),
                 row++, 0, 1, 4);
  double* cols[10] = {&s.RxSpinEdit1, &s.RxSpinEdit2, &s.RxSpinEdit3, &s.RxSpinEdit4, &s.RxSpinEdit5,
                      &s.RxSpinEdit7, &s.RxSpinEdit8, &s.RxSpinEdit9, &s.RxSpinEdit10, &s.RxSpinEdit11};
  static const char* colNames[10] = {"RxSpinEdit1", "RxSpinEdit2", "RxSpinEdit3", "RxSpinEdit4", "RxSpinEdit5",
                                     "RxSpinEdit7", "RxSpinEdit8", "RxSpinEdit9", "RxSpinEdit10", "RxSpinEdit11"};
  for (int i = 0; i < 10; ++i) {
    geo->addWidget(new QLabel(QString::number(i + 1) + QStringLiteral(". Spalte:")), row + i % 5, (i / 5) * 2);
    geo->addWidget(b.Number(colNames[i], *cols[i], 0, 1000), row + i % 5, (i / 5) * 2 + 1);
  }
  row += 5;
  geo->addWidget(b.Check("DefineFixedHeightCheck", s.DefineFixedHeightCheck,
                         QStringLiteral("Feste Höhe für die Tabellenzellen definieren:")),
                 row++, 0, 1, 4);
  geo->addWidget(Label("Zeilenhöhe:"), row, 0);
  geo->addWidget(b.Number("RxSpinEdit6", s.RxSpinEdit6, 0, 1000), row++, 1);
  geo->addWidget(b.Check("FixWidthForTableCheck", s.FixWidthForTableCheck,
                         QStringLiteral("Feste Breite für die ganze Tabelle definieren:")),
                 row++, 0, 1, 4);
  geo->addWidget(Label("Breite:"), row, 0);
  geo->addWidget(b.Number("FixedWidthForTableEd", s.FixedWidthForTableEd, 0, 1000), row++, 1);
  geo->addWidget(b.Check("DefMaxCellWidthCheck", s.DefMaxCellWidthCheck,
                         QStringLiteral("Maximale Breite für Tabellenzelle definieren:")),
                 row++, 0, 1, 4);
  geo->addWidget(Label("Breite:"), row, 0);
  geo->addWidget(b.Number("MaxCellWidthEd", s.MaxCellWidthEd, 0, 1000), row++, 1);
  geo->setRowStretch(row, 1);
  lay->addLayout(geo, 1);
  return page;
}

void MainWindow::FillTemplateList() {
  const QSignalBlocker block(listView3_);
  listView3_->clear();
  for (const std::u16string& t : doc_.templatecolumns) {
    auto* it = new QTreeWidgetItem(listView3_, {Q(t)});
    it->setFlags(it->flags() | Qt::ItemIsEditable);
  }
}

namespace {
std::vector<int32_t> SelectedRows(QTreeWidget* list) {
  std::vector<int32_t> rows;
  for (QTreeWidgetItem* it : list->selectedItems()) rows.push_back(list->indexOfTopLevelItem(it));
  std::sort(rows.begin(), rows.end());
  return rows;
}
void SelectRow(QTreeWidget* list, int row) {
  list->clearSelection();
  if (QTreeWidgetItem* it = list->topLevelItem(row)) {
    list->setCurrentItem(it);
    it->setSelected(true);
  }
}
}  // namespace

void MainWindow::NewTemplateColumnCmd() {
  const int32_t i = editing::NewTemplateColumn(doc_);
  Record("Neue Spalte");
  FillTemplateList();
  SelectRow(listView3_, i);
  if (QTreeWidgetItem* it = listView3_->topLevelItem(i)) listView3_->editItem(it, 0);
}

void MainWindow::EditTemplateColumnCmd() {
  const std::vector<int32_t> rows = SelectedRows(listView3_);
  if (!rows.empty()) listView3_->editItem(listView3_->topLevelItem(rows.front()), 0);
}

void MainWindow::DeleteTemplateColumnsCmd() {
  if (editing::DeleteTemplateColumns(doc_, SelectedRows(listView3_)) <= 0) return;
  Record("Vorlage ändern");
  FillTemplateList();
}

void MainWindow::MoveTemplateColumnCmd(bool up) {
  const std::vector<int32_t> rows = SelectedRows(listView3_);
  const int32_t to = up ? editing::MoveTemplateColumnUp(doc_, rows) : editing::MoveTemplateColumnDown(doc_, rows);
  if (to < 0) return;
  Record("Vorlage ändern");
  FillTemplateList();
  SelectRow(listView3_, to);
}

void MainWindow::LoadTemplateCmd() {
  std::u16string name, error;
  if (!RunFileDialog(this, false, false, i18n::Tr(kTemplateFilter), u".vor", name)) return;
  if (!editing::LoadTemplate(doc_, name, &error)) {
    dialogs_->ShowMessage(error, appTitle_.isEmpty() ? lifecycle::kApplicationTitle : U(appTitle_),
                          MessageIcon::Error);
    return;
  }
  Record("Vorlage öffnen...");
  FillTemplateList();
}

void MainWindow::SaveTemplateCmd() {
  std::u16string name, error;
  if (!RunFileDialog(this, true, true, i18n::Tr(kTemplateFilter), u".vor", name)) return;
  if (!editing::SaveTemplate(doc_, name, &error))
    dialogs_->ShowMessage(error, appTitle_.isEmpty() ? lifecycle::kApplicationTitle : U(appTitle_),
                          MessageIcon::Error);
}

// ---- "Layout"

QWidget* MainWindow::BuildLayoutTab() {
  CatalogSettings& s = doc_.settings;
  SettingsBinder& b = *binder_;
  auto* tabs = new QTabWidget;
  tabs->setObjectName(QStringLiteral("LayoutTabs"));

  {  // "Ränder und Abstände"
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    int row = 0;
    auto mm = [&](const char* label, const char* name, double& f, double step = 1) {
      g->addWidget(Label(label), row, 0);
      g->addWidget(b.Number(name, f, 0, 1000, step), row++, 1);
    };
    mm("Linker Seitenrand in mm:", "LinksEd", s.LinksEd);
    mm("Oberer Seitenrand in mm:", "ObenEd", s.ObenEd);
    mm("Rechter Seitenrand in mm:", "RechtsEd", s.RechtsEd);
    mm("Unterer Seitenrand in mm:", "UntenEd", s.UntenEd);
    mm("Rand um Bilder in mm:", "RandBildEd", s.RandBildEd);
    mm("Platz unter Kopfzeile in mm:", "KopfEdmm", s.KopfEdmm);
    mm("Linker Rand für Kopfzeile:", "RandKopfEd", s.RandKopfEd);
    mm("Platz über Fußzeile in mm:", "PlatzueberEd", s.PlatzueberEd);
    mm("Linker Rand für Fußzeile:", "LinkRandFussEd", s.LinkRandFussEd);
    mm("Platz zwischen Spalten mm:", "PlatzZwischenSpaltenEd", s.PlatzZwischenSpaltenEd);
    g->addWidget(b.Check("RahmenCheck", s.RahmenCheck, QStringLiteral("Rahmen um Seite")), row++, 0, 1, 2);
    mm("Linienstärke in mm:", "LineWidthEd", s.LineWidthEd, 0.1);
    mm("Linienstärke für Varianten Tabelle in mm:", "LineWidthEd2", s.LineWidthEd2, 0.1);
    mm("Zusätzlicher Platz unter der Trennlinie in mm:", "LineAddSpaceEd", s.LineAddSpaceEd, 0.1);
    mm("Rand um den Text in mm (Layout 2):", "RandTextEd", s.RandTextEd);
    mm("Zusätzlicher Rand um PDF Datei in mm", "PDFRandEd", s.PDFRandEd, 0.1);
    g->addWidget(b.Check("SetPDFSizeCheck", s.SetPDFSizeCheck,
                         QStringLiteral("Größe für PDF Datei unabhängig von Druckereinstellung festlegen:")),
                 row++, 0, 1, 2);
    mm("Breite der PDF in mm:", "PDFWidthEd", s.PDFWidthEd, 0.1);
    mm("Höhe der PDF in mm:", "PDFHeightED", s.PDFHeightED, 0.1);
    g->addWidget(b.Check("ZerrePDFCheck", s.ZerrePDFCheck,
                         QStringLiteral("PDF Ausgabe wie in Vorschau aber auf diese Größe verzerren")),
                 row++, 0, 1, 2);
    g->setRowStretch(row, 1);
    g->setColumnStretch(2, 1);
    tabs->addTab(Scrolled(w), QStringLiteral("Ränder und Abstände"));
  }

  {  // "Schriftarten"
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    struct F {
      const char* name;
      TFontSpec* font;
      const char* caption;
    } fonts[] = {
        {"FontDialog2", &s.FontDialog2, "Schriftart für Kategoriename..."},
        {"FontDialog3", &s.FontDialog3, "Schriftart für Produktname..."},
        {"FontDialog4", &s.FontDialog4, "Schriftart für Beschreibung..."},
        {"FontDialog5", &s.FontDialog5, "Schriftart für Preise..."},
        {"FontDialog6", &s.FontDialog6, "Schriftart für Tabellenüberschriften..."},
        {"FontDialog7", &s.FontDialog7, "Schriftart für Tabellentext..."},
        {"FontDialog8", &s.FontDialog8, "Schriftart für Fußzeile..."},
        {"FontDialog9", &s.FontDialog9, "Schriftart für Kopfzeile..."},
        {"FontDialog11", &s.FontDialog11, "Schriftart für Inhaltsverzeichnis..."},
        {"FontDialog1", &s.FontDialog1, "Schriftart 2 für Inhaltsverzeichnis..."},
        {"FontDialog12", &s.FontDialog12, "Schriftart für Kategorien Beschreibung..."},
    };
    int row = 0;
    for (const F& f : fonts) {
      g->addWidget(b.FontButton(f.name, *f.font, QString::fromUtf8(f.caption)), row, 0);
      g->addWidget(b.FontColorButton(f.name, *f.font, QStringLiteral("Schriftfarbe setzen...")), row, 1);
      g->addWidget(b.HexBox(f.name, f.font->color), row, 2);
      ++row;
    }
    g->addWidget(Label("Farbe über HEX Code setzen z.B. #FFAACC (Eingabe mit Enter bestätigen)"), row++, 0, 1, 3);
    g->setRowStretch(row, 1);
    g->setColumnStretch(3, 1);
    tabs->addTab(Scrolled(w), QStringLiteral("Schriftarten"));
  }

  {  // "Farben"
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    int row = 0;
    auto color = [&](const char* label, const char* name, TColor& c) {
      g->addWidget(Label(label), row, 0);
      g->addWidget(b.Color(name, c), row, 1);
      g->addWidget(b.HexBox(name, c), row++, 2);
    };
    g->addWidget(b.Check("FarbRechtKopfCheck", s.FarbRechtKopfCheck,
                         QStringLiteral("Kopfzeile mit farbigem Rechteck unterlegen")),
                 row++, 0, 1, 3);
    color("Farbe für Kopfzeile:", "Shape1", s.Shape1);
    g->addWidget(b.Check("FarbrechtFussCheck", s.FarbrechtFussCheck,
                         QStringLiteral("Fußzeile mit farbigem Rechteck unterlegen")),
                 row++, 0, 1, 3);
    color("Farbe für Fußzeile:", "Shape2", s.Shape2);
    g->addWidget(b.Check("UnterlegeKategorie", s.UnterlegeKategorie,
                         QStringLiteral("Kategoriename mit Hintergrundfarbe unterlegen")),
                 row++, 0, 1, 3);
    color("Farbe für Unterlegung:", "Shape3", s.Shape3);
    g->addWidget(b.Check("KatBereichUnterCheck", s.KatBereichUnterCheck,
                         QStringLiteral("Kategoriebereich mit Hintergrundfarbe unterlegen")),
                 row++, 0, 1, 3);
    color("Farbe für Bereich:", "Shape4", s.Shape4);
    color("Farbe für Tabellenhintergrund:", "Shape7", s.Shape7);
    color("Farbe für Kopfzeile der Tabelle:", "Shape8", s.Shape8);
    color("Farbe für Preisspalten der Tabelle:", "Shape9", s.Shape9);
    color("Farbe der Linie unter der Tabelle:", "Shape10", s.Shape10);
    color("Farbe für Linien:", "Shape11", s.Shape11);
    g->addWidget(Label("Farbe über HEX Code setzen z.B. #FFAACC (Eingabe mit Enter bestätigen)"), row++, 0, 1, 3);
    g->setRowStretch(row, 1);
    g->setColumnStretch(3, 1);
    tabs->addTab(Scrolled(w), QStringLiteral("Farben"));
  }

  {  // "Formatierung"
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    auto check = [&](const char* name, bool& f, const char* caption) {
      v->addWidget(b.Check(name, f, QString::fromUtf8(caption)));
    };
    check("OnlyOneColumnCheck", s.OnlyOneColumnCheck, "Artikelbeschreibung mit nur einer Spalte");
    auto* align = new QGroupBox;
    auto* al = new QHBoxLayout(align);
    for (QRadioButton* r : b.Exclusive("BildAlign", {&s.BildLinks, &s.BildZentr, &s.BildRechts},
                                       {QStringLiteral("Bilder linksbündig"), QStringLiteral("Bilder zentriert"),
                                        QStringLiteral("Bilder rechtsbündig")}))
      al->addWidget(r);
    v->addWidget(align);
    check("ArtNotBlockCheck", s.ArtNotBlockCheck, "Artikelbeschreibung NICHT im Blocksatz");
    check("ZentrTabelleCheck", s.ZentrTabelleCheck, "Tabelle mit Artikelvarianten zentrieren");
    check("CapsCheck", s.CapsCheck, "Kategorienamen in Großbuchstaben");
    check("ZentrCheck", s.ZentrCheck, "Überschrift zentriert");
    check("ZentrFussCheck", s.ZentrFussCheck, "Fußzeile zentriert");
    check("NoLineBelowVariantsCheck", s.NoLineBelowVariantsCheck, "Keine Linie unter den Varianten");
    check("CoverCheck", s.CoverCheck, "Keine Kopfzeile und Fußzeile auf erster und letzter Seite (Cover)");
    check("AllowPageBreak", s.AllowPageBreak, "Seitenumbruch mitten im Produkt erlauben");
    auto* cols = new QGroupBox;
    auto* cl = new QHBoxLayout(cols);
    for (QRadioButton* r : b.Exclusive("Columns", {&s.ZweiColumns, &s.dreiColumns, &s.FourColumns},
                                       {QStringLiteral("Zwei Spalten"), QStringLiteral("Drei Spalten"),
                                        QStringLiteral("Vier Spalten")}))
      cl->addWidget(r);
    v->addWidget(cols);
    check("ZwischenLinienCheck", s.ZwischenLinienCheck, "Keine Zwischenlinien zwischen den Produkten im Layout 1");
    check("DonotShowVariantsCheck", s.DonotShowVariantsCheck, "Variantentabelle ausblenden");
    check("BilderrahmenCheck", s.BilderrahmenCheck, "Bilder umrahmen im Layout 1");
    check("PreisLinksCheck", s.PreisLinksCheck, "Preisspalten linksbündig");
    check("NoRahmenCheck", s.NoRahmenCheck, "Keine Tabellen-Rahmen um die Produkte im Layout 2");
    check("PreisCentCheck", s.PreisCentCheck, "Preisspalten zentriert");
    check("AndereRechtsCheck", s.AndereRechtsCheck, "Andere als Preisspalten rechtsbündig");
    check("AndereZentriertCheck", s.AndereZentriertCheck, "Andere als Preisspalten zentriert");
    check("DoLineBreakinTableCellsCheck", s.DoLineBreakinTableCellsCheck, "Zeilenumbruch in Tabellenspalten");
    check("DonotShowPriceColumnscheck", s.DonotShowPriceColumnscheck, "Preisspalten nicht anzeigen");
    check("LinesInVariantCheck", s.LinesInVariantCheck, "Linien um die Variantentabelle");
    check("FooterLeftCheck", s.FooterLeftCheck, "Fußzeile immer linksbündig");
    check("UseColorInInhaltCheck", s.UseColorInInhaltCheck,
          "Benutze Hintergrundfarbe der Kategorie im Inhaltsverzeichnis");
    check("DonotIncreaseFontSizeCheck", s.DonotIncreaseFontSizeCheck,
          "Schriftgröße für Hauptkategorien nicht vergrößern");
    check("SetPicHeightCheck", s.SetPicHeightCheck, "Bildhöhe statt Bildbreite festlegen im Layout 1");
    v->addStretch(1);
    tabs->addTab(Scrolled(w), QStringLiteral("Formatierung"));
  }

  {  // "Kopf- und Fußzeile"
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    int row = 0;
    auto text = [&](const char* label, const char* name, std::u16string& f) {
      g->addWidget(Label(label), row, 0);
      g->addWidget(b.Text(name, f), row++, 1);
    };
    text("Kopfzeile:", "KopfEd", s.KopfEd);
    text("Fußzeile ungerade Seiten:", "FussEd", s.FussEd);
    text("Fußzeile gerade Seiten:", "FussEd2", s.FussEd2);
    text("Zusätzliche Fußzeile:", "Fuss2Ed", s.Fuss2Ed);
    g->addWidget(Label("Der Platzhalter %DATE% fügt das aktuelle Datum ein, %CATEGORY% fügt die Kategorie ein"),
                 row++, 0, 1, 2);
    g->addWidget(b.Check("LogoChecked", s.LogoChecked, QStringLiteral("Logo in Kopfzeile anzeigen")), row++, 0, 1, 2);
    g->addWidget(b.Check("xchangecheck", s.xchangecheck, QStringLiteral("Vertausche gerade/ungerade Fußzeilen")),
                 row++, 0, 1, 2);
    g->addWidget(Label("Erste Seite hat Nummer:"), row, 0);
    g->addWidget(b.Integer("FirstPageNr", s.FirstPageNr, -2147483647, 2147483647), row++, 1);
    g->setRowStretch(row, 1);
    tabs->addTab(Scrolled(w), QStringLiteral("Kopf- und Fußzeile"));
  }
  return tabs;
}

}  // namespace ui
