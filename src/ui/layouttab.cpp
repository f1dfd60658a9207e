#include "ui/layouttab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/settings.h"
#include "ui/settingsbinder.h"
#include "ui/tabhelpers.h"

namespace ui {

LayoutTab::LayoutTab(CatalogSettings& s, SettingsBinder& b, QWidget* parent) : QTabWidget(parent) {
  QTabWidget* tabs = this;
  tabs->setObjectName(QStringLiteral("LayoutTabs"));

  {  // "Ränder und Abstände"
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    int row = 0;
    auto mm = [&](const char* label, const char* name, double& f, double step = 1) {
      g->addWidget(Label(label), row, 0);
      g->addWidget(b.Number(name, f, step), row++, 1);
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
    g->addWidget(Label("Farbe über HEX Code setzen z.B. #FFAACC (Eingabe mit Enter bestätigen)"), row++, 0, 1,
                 3);
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
    g->addWidget(Label("Farbe über HEX Code setzen z.B. #FFAACC (Eingabe mit Enter bestätigen)"), row++, 0, 1,
                 3);
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
    for (QRadioButton* r :
         b.Exclusive("BildAlign", {&s.BildLinks, &s.BildZentr, &s.BildRechts},
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
    check("ZwischenLinienCheck", s.ZwischenLinienCheck,
          "Keine Zwischenlinien zwischen den Produkten im Layout 1");
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
    g->addWidget(
        Label("Der Platzhalter %DATE% fügt das aktuelle Datum ein, %CATEGORY% fügt die Kategorie ein"), row++,
        0, 1, 2);
    g->addWidget(b.Check("LogoChecked", s.LogoChecked, QStringLiteral("Logo in Kopfzeile anzeigen")), row++,
                 0, 1, 2);
    g->addWidget(
        b.Check("xchangecheck", s.xchangecheck, QStringLiteral("Vertausche gerade/ungerade Fußzeilen")),
        row++, 0, 1, 2);
    g->addWidget(Label("Erste Seite hat Nummer:"), row, 0);
    g->addWidget(b.Integer("FirstPageNr", s.FirstPageNr), row++, 1);
    g->setRowStretch(row, 1);
    tabs->addTab(Scrolled(w), QStringLiteral("Kopf- und Fußzeile"));
  }
}

}  // namespace ui
