// The main window: button bar, the six tab pages, the menus. It owns the one
// open document and its render session; commands call the engine libraries
// and ask the user through a LifecycleUi (message boxes and file dialogs, or
// scripted answers in tests).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "editing/selection.h"
#include "editing/variants.h"
#include "i18n/translate.h"
#include "imaging/dib/dib.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/userstore.h"
#include "project/document.h"
#include "project/lifecycle.h"
#include "render/render.h"
#include "ui/recentfiles.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTreeWidget;

namespace ui {

class BackgroundTab;
class DibBox;
class LogoTab;
class PagePreview;
class PrintCommands;
class PreviewTab;
class TemplateTab;
class UndoHistory;
class SettingsBinder;
class VariantGridModel;

// The tab "Produkte": four panels stacked top to bottom (categories,
// products, product editor, pictures and variants). Whenever the page
// changes size the upper three get (height - 80) div 4 and the lowest that
// height + 80.
class ProductsPage : public QWidget {
  Q_OBJECT
 public:
  explicit ProductsPage(QWidget* parent = nullptr);
  QWidget* panel(int i) const { return panels_[i]; }
  static int UpperPanelHeight(int pageHeight) { return (pageHeight - 80) / 4; }

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  QWidget* panels_[4];
};

struct MainWindowConfig {
  std::string progpath;                       // executable folder, ending in '/'
  std::vector<std::u16string> args;           // command-line arguments after the program
  std::string userStoreFile;                  // per-user options; empty: the user's own store
  lifecycle::LifecycleUi* dialogs = nullptr;  // null: message boxes and file dialogs
  bool offerTestProject = true;               // the one-second offer after start
  bool systemPrinter = true;                  // false: lay out for the A4 fallback page
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowConfig config, QWidget* parent = nullptr);
  ~MainWindow() override;

  Document& document() { return doc_; }
  render::RenderSession& session() { return *session_; }
  QTabWidget* pages() const { return pageControl_; }
  ProductsPage* productsPage() const { return productsPage_; }
  QScrollArea* previewScroll() const { return scrollBox_; }
  PagePreview* preview() const { return preview_; }
  PrintCommands& printing() { return *printing_; }
  QTreeWidget* categoryList() const { return listView2_; }
  QTreeWidget* productList() const { return listView1_; }
  const RecentFiles& recentFiles() const { return recent_; }
  QLineEdit* focusSink() const { return keyEdit_; }
  QString Caption() const;
  UndoHistory& history() { return *history_; }

  // What the lists select.
  editing::Selection CurrentSelection() const;
  // Reads a project file as "Öffnen..." does after its dialog.
  bool OpenDocument(const std::u16string& filename);
  // Rebuilds every control from the document (after open and new) and
  // starts a new undo history.
  void ShowDocument();

 public slots:
  void NewCmd();
  void OpenCmd();
  // A command of the variant grid's pop-up menu (0 "Spalte löschen" ...
  // 7 "Zeilenkopie einfügen") at column c, row r.
  void GridCommand(int command, int c, int r);
  // Adds picture files to the selected product as "Neue Bilder..." does.
  void AddPictureFiles(const std::vector<std::u16string>& names);
  bool SaveCmd();
  bool SaveAsCmd();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  // Drops (drops.cpp): files onto the picture list, the background and logo
  // tabs, project files onto the window.
  void AcceptDrops();
  bool DropFilter(QObject* watched, QEvent* e);
  static bool IsProjectFile(const QString& file);

  // Construction.
  void BuildMenus();
  QWidget* BuildButtonBar();
  QWidget* BuildProductsTab();
  void SettingChanged(const char* name);

  // Start-up.
  void FirstShow();
  void TranslateAllForms();
  void OfferTestProject();
  void UpdateCaption();

  // Lists and editor.
  void ListCategories(int select);
  void ListProds();
  void RefreshEditor();  // ListView1Click
  void SelectProduct(int index);
  void FillGrid();
  void FitListColumns(QTreeWidget* list);
  void ShowPreviewPicture(const std::u16string& file);
  void Repaint();  // the page preview, after anything it shows changed

  // Category commands.
  void NewCategoryCmd();
  void EditCategoryCmd();
  void DeleteCategoryCmd();
  void MoveCategoryCmd(bool up);
  void MoveProductsCmd();
  // Product commands.
  void NewProductCmd();
  void DeleteProductsCmd();
  void MoveProductCmd(bool up);
  void DuplicateProductCmd();
  void SortNamesCmd();
  // Pictures.
  void AddPicturesCmd();
  void DeletePictureCmd();
  void MovePictureCmd(bool up);
  void PictureClicked();
  // Grid.
  void GridMenu(const QPoint& pos);
  void TableSettingsCmd();
  // Menu commands.
  void ExportCsvCmd();
  void ImportCsvCmd(int kind);  // 0 products, 1 with category column, 2 categories
  void ExportPdfCmd();
  void ExportImagesCmd();  // exportcmds.cpp
  void ExportHtmlCmd();
  void SortVariantsCmd();
  void ChangePricesCmd();
  void WriteCellCmd();
  void CollectPicturesCmd();
  void FindProductsCmd();
  void ReplaceCmd();
  void LanguageCmd(int language);
  void TranslateCmd();  // "Übersetzen...": the translation editor
  // Recently used project files under "Datei".
  void NoteRecent();
  void StoreRecent();  // to the per-user store, and the menu
  void FillRecentMenu();
  void OpenRecent(const QString& file);
  void PdfResolutionCmd();
  void SaveUserOptions();

  // Undo and redo: a command that may have changed the document names
  // itself (German, shown translated); typing in one box merges by `key`.
  void Record(const char* name, const QString& key = QString());
  void AfterStep(QPoint view);  // a step put a snapshot back: rebuild the controls, select (kat, product)
  void ShowControls();          // every control from the document

  MainWindowConfig config_;
  Document doc_;
  i18n::TranslationTable table_;
  lifecycle::ProgramState state_;
  std::unique_ptr<lifecycle::LifecycleUi> ownDialogs_;
  lifecycle::LifecycleUi* dialogs_ = nullptr;
  std::unique_ptr<platform::UserStore> store_;
  std::unique_ptr<platform::QtTextMeasurer> measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
  std::unique_ptr<SettingsBinder> binder_;
  std::unique_ptr<PrintCommands> printing_;
  UndoHistory* history_ = nullptr;
  ViewState view_;
  editing::VariantGrid grid_;
  dib di_;  // the product editor's picture preview
  // The product whose picture the preview shows (null: none); any other
  // product in the editor clears the preview.
  const Product* previewProduct_ = nullptr;
  int pdfDpi_ = 300;
  bool searchInDescription_ = false;
  std::u16string searchText_, replaceFrom_, replaceTo_, collectFolder_;
  int sortColumn_ = 1;
  bool refreshing_ = false;  // the editor is being filled: its change signals are not edits
  int wheelRest_ = 0;

  // Controls.
  QTabWidget* pageControl_ = nullptr;
  ProductsPage* productsPage_ = nullptr;
  QTreeWidget* listView2_ = nullptr;  // categories
  QTreeWidget* listView1_ = nullptr;  // products
  TemplateTab* templateTab_ = nullptr;
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
  PreviewTab* previewTab_ = nullptr;
  // Parts of the preview tab the window reaches.
  QScrollArea* scrollBox_ = nullptr;
  PagePreview* preview_ = nullptr;
  QLineEdit* keyEdit_ = nullptr;
  BackgroundTab* backgroundTab_ = nullptr;
  LogoTab* logoTab_ = nullptr;
  QAction* langActions_[4] = {};
  QMenu* datei_ = nullptr;
  QAction* recentEnd_ = nullptr;  // the separator after the recent files
  std::vector<QAction*> recentActions_;
  RecentFiles recent_;
  QAction* optLeere_ = nullptr;
  QAction* optCmyk_ = nullptr;
  QAction* optPrintDialog_ = nullptr;
  QAction* optImportTitles_ = nullptr;
  QString appTitle_;
};

}  // namespace ui
