// The CSV exchange of "Datei" (export and the imports, which change the
// document), the bulk edits of "Bearbeiten", and the number format they
// read and write.
#include <QLocale>

#include "core/codepage.h"
#include "csv/csvexport.h"
#include "csv/csvimport.h"
#include "editing/bulk.h"
#include "editing/collect.h"
#include "editing/products.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "ui/dialogs.h"
#include "ui/mainwindow.h"
#include "ui/producttab.h"
#include "ui/qtlifecycleui.h"
#include "ui/translatewidgets.h"

namespace ui {
namespace {

const std::u16string kCsvFilter = u"CSV Dateien (*.csv)|*.csv";

}  // namespace

editing::NumberLocale MainWindow::NumberFormat() const {
  // A desktop without a language (C, POSIX) says nothing about numbers: the
  // interface language decides, so a German window reads "24,95 €".
  if (!editing::EnvironmentNamesLanguage()) return editing::InterfaceNumberLocale(state_.languagesetto);
  // Otherwise the platform's number format, the one the user sees in every
  // other program; the command-line tool reads the environment instead
  // (editing::EnvironmentNumberLocale).
  editing::NumberLocale loc;
  const QLocale l = QLocale::system();
  const QString dec = l.decimalPoint();
  const QString group = l.groupSeparator();
  if (dec.size() == 1) loc.decimal = dec.at(0).unicode();
  if (group.size() == 1) loc.thousands = group.at(0).unicode();
  return loc;
}

void MainWindow::ExportCsvCmd() {
  std::string chosen;
  auto choose = [this, &chosen]() -> std::string {
    std::u16string name = ExportStartName(doc_.afilename, u".csv");
    // This save dialog does not ask before replacing a file.
    if (!RunFileDialog(this, true, false, i18n::Tr(kCsvFilter), u".csv", name)) return {};
    return chosen = ql::ToUtf8(name);
  };
  if (csv::ExportalsCSVDatei(doc_, productTab_->CurrentSelection().kat, *dialogs_, choose))
    ReportWritten(TrW(QStringLiteral("Die CSV Datei wurde gespeichert:")), chosen, 0, chosen);
}

void MainWindow::ImportCsvCmd(int kind) {
  const int kat = productTab_->CurrentSelection().kat;
  if (kind == 0 && !csv::RequireImportCategory(doc_, kat, *dialogs_)) return;
  std::u16string name;
  if (!RunFileDialog(this, false, false, i18n::Tr(kCsvFilter), u".csv", name)) return;
  csv::ImportContext ctx;
  ctx.pictureWidth = productTab_->PictureWidth();
  ctx.decimalSeparator = NumberFormat().decimal;
  const std::string path = ql::ToUtf8(name);
  csv::ImportResult r;
  if (kind == 0)
    r = csv::ImportCSVFile(doc_, kat, path, ctx, *dialogs_);
  else if (kind == 1)
    r = csv::ImportCSVFileComplete(doc_, kat, path, ctx, *dialogs_);
  else
    r = csv::ImportCSVFileCategories(doc_, kat, path, ctx, *dialogs_);
  static const char* const names[3] = {"Artikel aus CSV Datei importieren...",
                                       "Artikel aus CSV Datei importieren (1. Spalte ist Kategoriename)...",
                                       "Kategorien importieren..."};
  productTab_->ListCategories(r.selected >= 0 ? r.selected : kat);
  Record(names[kind]);
  UpdateCaption();
}

// ---- "Bearbeiten"

void MainWindow::SortVariantsCmd() {
  if (!RunSortVariantsDialog(this, sortColumn_)) return;
  productTab_->SelectProduct(-1);
  editing::SortAllVariants(doc_, sortColumn_, NumberFormat());
  Record("Varianten aller Produkte sortieren...");
  productTab_->RefreshEditor();
  Repaint();
}

void MainWindow::ChangePricesCmd() {
  editing::PriceChange change;
  if (!RunPriceChangeDialog(this, change)) return;
  productTab_->SelectProduct(-1);
  const int changed = editing::ChangeAllPrices(doc_, change, NumberFormat());
  Record("Alle Preise ändern...");
  productTab_->RefreshEditor();
  Repaint();
  editing::ReportPricesChanged(*dialogs_, changed);
}

void MainWindow::CollectPicturesCmd() {
  if (!RunCollectDialog(this, collectFolder_)) return;
  productTab_->ListCategories(-1);  // the category is deselected first
  editing::CollectPictures(doc_, collectFolder_, *dialogs_, IsReadablePicture);
  Record("Bilddateien alle in ein Verzeichnis kopieren...");
  productTab_->RefreshEditor();
  Repaint();
}

void MainWindow::FindProductsCmd() {
  const bool ok = RunSearchDialog(this, searchText_, searchInDescription_);
  SaveUserOptions();
  const std::vector<editing::FoundProduct> found =
      ok ? editing::FindProducts(doc_, searchText_, searchInDescription_)
         : std::vector<editing::FoundProduct>{};
  if (found.empty()) {
    editing::ReportNothingFound(*dialogs_);
    return;
  }
  int row = -1;
  if (!RunFoundDialog(this, found, row)) return;
  editing::Selection sel;
  if (!editing::LocateFoundProduct(doc_, editing::DecimalText(found[row].katnr),
                                   editing::DecimalText(found[row].prodnr), sel))
    return;
  productTab_->ShowFound(sel);
}

void MainWindow::ReplaceCmd() {
  if (!RunReplaceDialog(this, replaceFrom_, replaceTo_)) return;
  productTab_->SelectProduct(-1);
  editing::ReplaceInAllTables(doc_, replaceFrom_, replaceTo_);
  Record("Suchen und Ersetzen in den Variantentabellen...");
  productTab_->RefreshEditor();
  Repaint();
}

}  // namespace ui
