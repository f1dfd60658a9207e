// The main window: button bar, the six tab pages, the menus and the
// document's lifecycle (new, open, save, close). It owns the one open
// document, its render session and its undo history; each tab owns its
// controls and reports its edits here. Commands call the engine libraries
// and ask the user through a LifecycleUi (message boxes and file dialogs, or
// scripted answers in tests).
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editing/numbers.h"
#include "i18n/translate.h"
#include "output/catalogoutput.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/recoveryfile.h"
#include "platform/userstore.h"
#include "project/document.h"
#include "project/lifecycle.h"
#include "render/render.h"
#include "ui/recentfiles.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QLineEdit;
class QScrollArea;
class QTabWidget;
class QTimer;

namespace ui {

class BackgroundTab;
class LogoTab;
struct TrimSize;
class PagePreview;
class PrintCommands;
class PreviewTab;
class ProductTab;
class TemplateTab;
class UndoHistory;
class SettingsBinder;

struct MainWindowConfig {
  std::string progpath;                       // executable folder, ending in '/'
  std::vector<std::u16string> args;           // command-line arguments after the program
  std::string userStoreFile;                  // per-user options; empty: the user's own store
  lifecycle::LifecycleUi* dialogs = nullptr;  // null: message boxes and file dialogs
  bool offerTestProject = true;               // the one-second offer after start
  bool systemPrinter = true;                  // false: lay out for the A4 fallback page
  // Opens a written file (an export) for the user; null: the desktop's
  // default application.
  std::function<bool(const std::string&)> openFile;
  // The recovery copy: its folder (empty: platform::DefaultRecoveryFolder),
  // the least time between two copies and the pause after the last edit or
  // key press before one is written.
  std::string recoveryFolder;
  int recoveryIntervalMs = 120000;
  int recoveryQuietMs = 3000;
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowConfig config, QWidget* parent = nullptr);
  ~MainWindow() override;

  Document& document() { return doc_; }
  render::RenderSession& session() { return *session_; }
  QTabWidget* pages() const { return pageControl_; }
  ProductTab* productTab() const { return productTab_; }
  QScrollArea* previewScroll() const { return scrollBox_; }
  PagePreview* preview() const { return preview_; }
  PrintCommands& printing() { return *printing_; }
  const RecentFiles& recentFiles() const { return recent_; }
  QLineEdit* focusSink() const { return keyEdit_; }
  QString Caption() const;
  // Replaces how written files are opened (MainWindowConfig::openFile).
  void SetOpenFileHook(std::function<bool(const std::string&)> open) {
    if (open) config_.openFile = std::move(open);
  }
  UndoHistory& history() { return *history_; }
  // This program's recovery copy of the document (see WriteRecovery).
  const platform::RecoveryFile& recovery() const { return *recovery_; }

  // Reads a project file as "Öffnen..." does after its dialog.
  bool OpenDocument(const std::u16string& filename);
  // Rebuilds every control from the document (after open and new) and
  // starts a new undo history.
  void ShowDocument();

 public slots:
  void NewCmd();
  void OpenCmd();
  bool SaveCmd();
  bool SaveAsCmd();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  // Drops (drops.cpp): files onto the background and logo tabs, project
  // files onto the window (the product tab takes pictures itself).
  void AcceptDrops();
  bool DropFilter(QObject* watched, QEvent* e);
  // Whether an undo or redo key pressed in a text box of the window goes to
  // the document's history rather than to the box.
  bool UndoKeyForHistory(QObject* watched, class QKeyEvent* k) const;

  // Construction.
  void BuildMenus();
  QWidget* BuildButtonBar();
  void SettingChanged(const char* name);

  // Start-up.
  void FirstShow();
  void TranslateAllForms();
  void OfferTestProject();
  // Offers the recovery copies earlier programs left behind ("Wiederherstellen"
  // / "Verwerfen"); true when one was restored.
  bool OfferRecovery();
  void UpdateCaption();
  // The recovery copy: written while the document has unsaved changes, at
  // most every recoveryIntervalMs and only after recoveryQuietMs without an
  // edit or key press; removed once nothing is unsaved.
  void ScheduleRecovery();
  void WriteRecovery(bool now = false);  // now: without waiting for a pause in typing
  void Repaint();                        // the page preview, after anything it shows changed
  // Tells what an export wrote (`what`, the file or folder `shown`, the page
  // count when pages > 0) and offers to open `open`.
  void ReportWritten(const QString& what, const std::string& shown, int32_t pages, const std::string& open);
  // The print-ready PDF's trim size chosen in its dialog becomes the PDF
  // page size setting (one undo step).
  void SetTrimSize(const TrimSize& trim);

  // Menu commands. The exports (exportcommands.cpp): one "Datei" entry per
  // output of the table, each calling ExportCmd.
  void AddExportEntries(QMenu* datei);
  void ExportCmd(const output::OutputEntry& entry);
  // The output's file (or folder) dialog, `configure` on its own options,
  // progress, errors and pictures not drawn, and `written` (German) with
  // the file afterwards.
  void ExportToFileCmd(const output::OutputEntry& entry, const QString& written,
                       const std::function<void(output::CatalogOutput&)>& configure);
  output::OutputOptions OutputCommon() const;  // the window's printer page and program folder
  void ExportPrintPdfCmd();
  void ExportImagesCmd();
  void ExportHtmlCmd();
  // editcommands.cpp
  void ExportCsvCmd();
  void ImportCsvCmd(int kind);  // 0 products, 1 with category column, 2 categories
  void SortVariantsCmd();
  void ChangePricesCmd();
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
  // The decimal and thousands separators the price commands and the CSV
  // import read and write.
  editing::NumberLocale NumberFormat() const;
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
  int pdfDpi_ = 300;
  bool searchInDescription_ = false;
  std::u16string searchText_, replaceFrom_, replaceTo_, collectFolder_;
  int sortColumn_ = 1;

  // Controls.
  QTabWidget* pageControl_ = nullptr;
  ProductTab* productTab_ = nullptr;
  TemplateTab* templateTab_ = nullptr;
  PreviewTab* previewTab_ = nullptr;
  // Parts of the preview tab the window reaches.
  QScrollArea* scrollBox_ = nullptr;
  PagePreview* preview_ = nullptr;
  QLineEdit* keyEdit_ = nullptr;
  BackgroundTab* backgroundTab_ = nullptr;
  LogoTab* logoTab_ = nullptr;
  QMap<int, QAction*> langActions_;  // by language column
  QMenu* datei_ = nullptr;
  QAction* recentEnd_ = nullptr;  // the separator after the recent files
  std::vector<QAction*> recentActions_;
  RecentFiles recent_;
  QAction* optLeere_ = nullptr;
  QAction* optCmyk_ = nullptr;
  QAction* optPrintDialog_ = nullptr;
  QAction* optImportTitles_ = nullptr;
  QString appTitle_;
  std::unique_ptr<platform::RecoveryFile> recovery_;
  QTimer* recoveryTimer_ = nullptr;
  QElapsedTimer sinceRecovery_;  // invalid until the first copy
  QElapsedTimer sinceInput_;     // the last edit or key press
};

}  // namespace ui
