// The tab "Produkte": four panels stacked top to bottom (categories,
// products, product editor, pictures and variants). It owns their controls
// and edits the document through the editing library, the same functions the
// command-line tool calls.
//
// Every command that may have changed the document is reported through
// `record` (its German name, and a merge key for typing in one box of one
// product, see UndoHistory); anything the page preview shows is reported
// through `repaint`.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "editing/selection.h"
#include "editing/variants.h"
#include "imaging/dib/dib.h"
#include "project/document.h"
#include "project/feedback.h"

class QBoxLayout;
class QCheckBox;
class QDoubleSpinBox;
class QListWidget;
class QPlainTextEdit;
class QPoint;
class QSpinBox;
class QTableView;
class QTreeWidget;

namespace ui {

class DibBox;
class VariantGridModel;

class ProductTab : public QWidget {
  Q_OBJECT
 public:
  struct Hooks {
    std::function<void(const char* name, const QString& mergeKey)> record;
    std::function<void()> repaint;
  };
  // `view` keeps the picture width box ("Bild Breite in cm") between
  // documents; `progpath` is the program folder pictures are stored against.
  ProductTab(Document& doc, ViewState& view, Feedback& fb, std::string progpath, Hooks hooks,
             QWidget* parent = nullptr);

  // Whenever the page changes size the upper three panels get
  // (height - 80) div 4 and the lowest that height + 80.
  static int UpperPanelHeight(int pageHeight) { return (pageHeight - 80) / 4; }
  QWidget* panel(int i) const { return panels_[i]; }

  QTreeWidget* categoryList() const { return listView2_; }
  QTreeWidget* productList() const { return listView1_; }
  // "Bild Breite in cm": the width new pictures get (imports use it too).
  double PictureWidth() const;

  // What the lists select.
  editing::Selection CurrentSelection() const;

  // Rebuilds the lists and the editor from a document read or made anew:
  // its first category is selected and its products listed.
  void ShowDocument();
  // Lists the categories and selects `select` (none when out of range).
  void ListCategories(int select);
  // Selects category `kat` and, when valid, its product `prod`, as after an
  // undo step.
  void ShowSelection(int kat, int prod);
  // Selects product `index` of the listed category (-1: none).
  void SelectProduct(int index);
  // Selects a found product: the category as by a click, then the product.
  void ShowFound(const editing::Selection& sel);
  // The editor and the variant grid from the selected product.
  void RefreshEditor();

  // Commands of the menu "Bearbeiten" that work on this tab's selection.
  void DuplicateProductCmd();
  void SortNamesCmd();
  // "Inhalt der Tabellenzelle in alle Tabellen ...": the grid's current cell.
  void WriteCellCmd();

  // A command of the variant grid's pop-up menu (0 "Spalte löschen" ...
  // 7 "Zeilenkopie einfügen") at column c, row r.
  void GridCommand(int command, int c, int r);
  // Adds picture files to the selected product as "Neue Bilder..." does
  // (also files dropped onto the picture list).
  void AddPictureFiles(const std::vector<std::u16string>& names);
  // Delete or Backspace on the grid: empties every selected cell as one
  // step. False when no cell is selected.
  bool ClearSelectedCells();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildCategoryPanel(QWidget* panel);
  void BuildProductPanel(QWidget* panel);
  void BuildEditorPanel(QWidget* panel);
  void BuildPicturePanel(QWidget* panel);
  void BuildVariantPanel(QBoxLayout* lay);

  void ListProds();
  void FillGrid();
  void FitListColumns(QTreeWidget* list);
  bool DropPictures(QEvent* e);
  void Record(const char* name, const QString& key = QString()) { hooks_.record(name, key); }
  void Repaint() { hooks_.repaint(); }

  void NewCategoryCmd();
  void EditCategoryCmd();
  void DeleteCategoryCmd();
  void MoveCategoryCmd(bool up);
  void MoveProductsCmd();
  void NewProductCmd();
  void DeleteProductsCmd();
  void MoveProductCmd(bool up);
  void AddPicturesCmd();
  void DeletePictureCmd();
  void MovePictureCmd(bool up);
  void PictureClicked();
  void ShowPreviewPicture(const std::u16string& file);
  void GridMenu(const QPoint& pos);
  void TableSettingsCmd();

  Document& doc_;
  ViewState& view_;
  Feedback& fb_;
  std::string progpath_;
  Hooks hooks_;
  editing::VariantGrid grid_;
  dib di_;  // the editor's picture preview
  // The product whose picture the preview shows (null: none); any other
  // product in the editor clears the preview.
  const Product* previewProduct_ = nullptr;
  bool refreshing_ = false;  // the editor is being filled: its change signals are not edits

  QWidget* panels_[4] = {};
  QTreeWidget* listView2_ = nullptr;  // categories
  QTreeWidget* listView1_ = nullptr;  // products
  QPlainTextEdit* nameEd_ = nullptr;
  QPlainTextEdit* descEd_ = nullptr;
  DibBox* dibPrev_ = nullptr;
  QListWidget* pictureList_ = nullptr;
  QDoubleSpinBox* bildBreitEd_ = nullptr;
  QTableView* gridView_ = nullptr;
  VariantGridModel* gridModel_ = nullptr;
  QSpinBox* anzPreisEd_ = nullptr;
  QCheckBox* pageBreakCheck_ = nullptr;
  QCheckBox* deactivateCheck_ = nullptr;
  std::vector<QWidget*> productControls_;  // enabled with a selected category
  std::vector<QWidget*> editorControls_;   // enabled with a selected product
};

}  // namespace ui
