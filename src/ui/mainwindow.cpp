#include "ui/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstring>

#include "core/codepage.h"
#include "csv/csvimport.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "platform/shell.h"
#include "project/optionsfile.h"
#include "ui/backgroundtab.h"
#include "ui/dialogs.h"
#include "ui/exportcommands.h"
#include "ui/layouttab.h"
#include "ui/logotab.h"
#include "ui/mnemonics.h"
#include "ui/preview.h"
#include "ui/previewtab.h"
#include "ui/printcommands.h"
#include "ui/producttab.h"
#include "ui/qtlifecycleui.h"
#include "ui/qttranslations.h"
#include "ui/settingsbinder.h"
#include "ui/templatetab.h"
#include "ui/translatewidgets.h"
#include "ui/translationeditor.h"
#include "ui/undohistory.h"

namespace ui {

// ---- MainWindow

MainWindow::MainWindow(MainWindowConfig config, QWidget* parent)
    : QMainWindow(parent), config_(std::move(config)) {
  if (!config_.openFile) config_.openFile = platform::OpenWithDefaultApplication;
  setObjectName(QStringLiteral("MainForm"));
  state_.progpath = options::WithTrailingSeparator(config_.progpath);
  doc_.progpath = ql::FromUtf8(state_.progpath);
  if (config_.dialogs) {
    dialogs_ = config_.dialogs;
  } else {
    ownDialogs_ = std::make_unique<QtLifecycleUi>(this);
    dialogs_ = ownDialogs_.get();
  }
  // Window creation: translation table and options.dat; English until the
  // window is first shown.
  lifecycle::StartProgram(state_, table_);
  // Without a language in the environment (C, POSIX) the number boxes write
  // the interface language's decimal separator, as the price commands read
  // it (NumberFormat): "8,00" in a German window. Set before any box exists.
  if (!editing::EnvironmentNamesLanguage()) {
    QLocale::setDefault(InterfaceLocale(state_.languagesetto));
    setLocale(QLocale());  // the window itself exists already; its boxes inherit its locale
  }
  store_ = config_.userStoreFile.empty() ? std::make_unique<platform::UserStore>()
                                         : std::make_unique<platform::UserStore>(config_.userStoreFile);
  store_->LoadOptions(doc_.options, view_.ZoomEd);
  pdfDpi_ = store_->LoadInt("PDFAufl/DPIEd", 300, 10, 4000);
  searchInDescription_ = store_->LoadInt("ArtikelSuchen/InDescription", 0, 0, 1) != 0;

  recovery_ = std::make_unique<platform::RecoveryFile>(config_.recoveryFolder.empty()
                                                           ? platform::DefaultRecoveryFolder()
                                                           : QString::fromStdString(config_.recoveryFolder));
  recoveryTimer_ = new QTimer(this);
  recoveryTimer_->setSingleShot(true);
  connect(recoveryTimer_, &QTimer::timeout, this, [this] { WriteRecovery(); });
  sinceInput_.start();

  measurer_ = std::make_unique<platform::QtTextMeasurer>();
  session_ = std::make_unique<render::RenderSession>(doc_, *measurer_, loader_);
  session_->feedback = dialogs_;

  binder_ =
      std::make_unique<SettingsBinder>(doc_.settings, this, [this](const char* n) { SettingChanged(n); });
  history_ = new UndoHistory(
      doc_,
      [this] {
        const editing::Selection sel = productTab_->CurrentSelection();
        return QVariant(QPoint(sel.kat, sel.prods.empty() ? -1 : sel.prods.front()));
      },
      [this](const QVariant& view) { AfterStep(view.toPoint()); }, this);

  auto* central = new QWidget(this);
  auto* lay = new QVBoxLayout(central);
  lay->setContentsMargins(4, 4, 4, 4);
  lay->addWidget(BuildButtonBar());
  pageControl_ = new QTabWidget;
  pageControl_->setObjectName(QStringLiteral("PageControl1"));
  productTab_ = new ProductTab(
      doc_, view_, *dialogs_, state_.progpath,
      {[this](const char* name, const QString& key) { Record(name, key); }, [this] { Repaint(); }});
  pageControl_->addTab(productTab_, QStringLiteral("Produkte"));
  templateTab_ = new TemplateTab(
      doc_, *binder_, *dialogs_, [this](const char* name) { Record(name); },
      [this] { return appTitle_.isEmpty() ? lifecycle::kApplicationTitle : U(appTitle_); });
  pageControl_->addTab(templateTab_, QStringLiteral("Voreinstellungen"));
  previewTab_ = new PreviewTab(*session_, view_, [this](int i) {
    doc_.settings.LayoutCombo = i;
    SettingChanged("LayoutCombo");
  });
  preview_ = previewTab_->preview();
  scrollBox_ = previewTab_->scrollBox();
  keyEdit_ = previewTab_->focusSink();
  pageControl_->addTab(previewTab_, QStringLiteral("Katalog erzeugen"));
  pageControl_->addTab(new LayoutTab(doc_.settings, *binder_), QStringLiteral("Layout"));
  backgroundTab_ = new BackgroundTab(*session_, *binder_);
  pageControl_->addTab(backgroundTab_, QStringLiteral("Hintergrund"));
  logoTab_ = new LogoTab(*session_, *binder_);
  pageControl_->addTab(logoTab_, QStringLiteral("Logo"));
  lay->addWidget(pageControl_, 1);
  setCentralWidget(central);
  BuildMenus();
  connect(pageControl_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == 2) {
      preview_->Invalidate();
      keyEdit_->setFocus();
    }
  });

  previewTab_->SetPrinter(config_.systemPrinter ? platform::DefaultPrinterPage()
                                                : platform::FallbackPrinterPage());
  printing_ = std::make_unique<PrintCommands>(
      this, *session_, *dialogs_,
      PrintCommands::Hooks{[this] { return doc_.options.DruckenDialoganzeigenvordemDrucken1; },
                           [this](const platform::PrinterPage& page) {
                             previewTab_->SetPrinter(page);
                             Repaint();
                           },
                           [this] { Repaint(); }});
  doc_.onCaptionChanged = [this] {
    UpdateCaption();
    ScheduleRecovery();
  };
  session_->LoadFurniturePictures();
  ShowDocument();

  // options.dat: English is checked until the stored language is known.
  langActions_.value(options::kEnglish)->setChecked(true);
  state_.dontchlang = true;
  if (QAction* stored = langActions_.value(state_.languagesetto)) stored->setChecked(true);
  state_.dontchlang = false;

  AcceptDrops();
  // Key presses anywhere hold the recovery copy back; undo keys in text
  // boxes may go to the document's history (eventFilter).
  qApp->installEventFilter(this);
  resize(1000, 760);
}

MainWindow::~MainWindow() {
  doc_.onCaptionChanged = nullptr;
  doc_.NewAll();
}

QString MainWindow::Caption() const { return Q(lifecycle::Caption(doc_)); }

void MainWindow::UpdateCaption() {
  const QString c = Caption();
  setWindowTitle(c.isEmpty() ? Q(lifecycle::kMainCaption) : c);
}

QWidget* MainWindow::BuildButtonBar() {
  auto* bar = new QWidget;
  bar->setObjectName(QStringLiteral("Panel1"));
  auto* lay = new QHBoxLayout(bar);
  lay->setContentsMargins(0, 0, 0, 0);
  auto add = [&](const char* obj, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(QString::fromLatin1(obj));
    lay->addWidget(b);
    return b;
  };
  connect(add("OpenBtn", "Öffnen..."), &QPushButton::clicked, this, &MainWindow::OpenCmd);
  connect(add("SaveBtn", "Speichern"), &QPushButton::clicked, this, &MainWindow::SaveCmd);
  connect(add("SaveAsBtn", "Speichern unter..."), &QPushButton::clicked, this, &MainWindow::SaveAsCmd);
  connect(add("PrintBtn", "Drucken"), &QPushButton::clicked, this, [this] { printing_->Print(); });
  connect(add("EndeBtn", "Beenden"), &QPushButton::clicked, this, &QWidget::close);
  lay->addStretch(1);
  return bar;
}

void MainWindow::BuildMenus() {
  auto item = [this](QMenu* m, const char* obj, const char* text, auto slot) {
    QAction* a = m->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromLatin1(obj));
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  auto toggle = [this](QMenu* m, const char* obj, const char* text, bool& field) {
    QAction* a = m->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromLatin1(obj));
    a->setCheckable(true);
    a->setChecked(field);
    connect(a, &QAction::toggled, this, [this, &field](bool on) {
      field = on;
      SaveUserOptions();
    });
    return a;
  };

  QMenu* datei = new QMenu(QStringLiteral("Datei"), this);
  item(datei, "Neu1", "Neu", [this] { NewCmd(); });
  item(datei, "Oeffnen1", "Öffnen...", [this] { OpenCmd(); });
  item(datei, "Speichern1", "Speichern", [this] { SaveCmd(); });
  item(datei, "Speichernunter1", "Speichern unter...", [this] { SaveAsCmd(); });
  datei->addSeparator();
  item(datei, "ExportalsCSVDatei1", "Export als CSV Datei...", [this] { ExportCsvCmd(); });
  item(datei, "ImportCSV1", "Artikel aus CSV Datei importieren...", [this] { ImportCsvCmd(0); });
  item(datei, "ImportCSVComplete1", "Artikel aus CSV Datei importieren (1. Spalte ist Kategoriename)...",
       [this] { ImportCsvCmd(1); });
  item(datei, "ImportInfo1", "Informationen zum Import Dateiformat...", [this] {
    dialogs_->ShowMessage(csv::ProductFormatInfoText(), csv::FormatInfoCaption(), MessageIcon::Information);
  });
  item(datei, "KategorienImport1", "Kategorien importieren...", [this] { ImportCsvCmd(2); });
  item(datei, "KategorienImportInfo1", "Informationen zum Kategorien Import Dateiformat...", [this] {
    dialogs_->ShowMessage(csv::CategoryFormatInfoText(), csv::FormatInfoCaption(), MessageIcon::Information);
  });
  AddExportEntries(datei);  // the outputs, "Drucken" last
  item(datei, "EinzelneSeitedrucken1", "Einzelne Seite drucken...", [this] { printing_->PrintOnePage(); });
  item(datei, "Druckereinrichten1", "Drucker einrichten", [this] { printing_->PrinterSetup(); });
  datei->addSeparator();
  QAction* quit = item(datei, "Beenden1", "Beenden", [this] { close(); });
  recentEnd_ = datei->insertSeparator(quit);
  datei->setToolTipsVisible(true);  // the recent files show their full names
  datei_ = datei;
  recent_.Set([this] {
    QStringList l;
    for (const std::u16string& f : store_->LoadTextList("Recent/Files")) l << Q(f);
    return l;
  }());
  FillRecentMenu();
  menuBar()->addMenu(datei);

  QMenu* bearb = new QMenu(QStringLiteral("Bearbeiten"), this);
  QAction* undo = history_->CreateStepAction(bearb, true);
  undo->setObjectName(QStringLiteral("Rueckgaengig1"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = history_->CreateStepAction(bearb, false);
  redo->setObjectName(QStringLiteral("Wiederholen1"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  bearb->addAction(undo);
  bearb->addAction(redo);
  bearb->addSeparator();
  item(bearb, "VariantenSortieren1", "Varianten aller Produkte sortieren...", [this] { SortVariantsCmd(); });
  item(bearb, "AllePreiseaendern1", "Alle Preise ändern...", [this] { ChangePricesCmd(); });
  item(bearb, "InhaltderTabellenzelle1",
       "Inhalt der Tabellenzelle in alle Tabellen für alle Produkte übernehmen...",
       [this] { productTab_->WriteCellCmd(); });
  bearb->addSeparator();
  item(bearb, "Produktnamensortieren1", "Produktnamen alphabetisch sortieren...",
       [this] { productTab_->SortNamesCmd(); });
  bearb->addSeparator();
  item(bearb, "Produktduplizieren1", "Produkt duplizieren...",
       [this] { productTab_->DuplicateProductCmd(); });
  item(bearb, "Bilddateienkopieren1", "Bilddateien alle in ein Verzeichnis kopieren...",
       [this] { CollectPicturesCmd(); });
  bearb->addSeparator();
  item(bearb, "Artikelsuchen1", "Artikel suchen...", [this] { FindProductsCmd(); });
  item(bearb, "SuchenundErsetzen1", "Suchen und Ersetzen in den Variantentabellen...",
       [this] { ReplaceCmd(); });
  menuBar()->addMenu(bearb);

  QMenu* sprache = new QMenu(QStringLiteral("Sprache"), this);
  auto* group = new QActionGroup(this);
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages()) {
    const int i = l.column;
    QAction* a = sprache->addAction(QString::fromUtf8(l.nativeName));
    a->setObjectName(QStringLiteral("Sprache%1").arg(i));
    a->setCheckable(true);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, i] { LanguageCmd(i); });
    langActions_[i] = a;
  }
  sprache->addSeparator();
  item(sprache, "Uebersetzen1", "Übersetzen...", [this] { TranslateCmd(); });
  menuBar()->addMenu(sprache);

  QMenu* opt = new QMenu(QStringLiteral("Optionen"), this);
  optLeere_ = toggle(opt, "LeereVariantenSpaltenundZeilenbeimffnenentfernen1",
                     "Leere Varianten Spalten und Zeilen beim Öffnen entfernen",
                     doc_.options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1);
  optCmyk_ = toggle(opt, "PDFDateienmitCMYKFarbenausgeben1", "PDF Dateien mit CMYK Farben ausgeben",
                    doc_.options.PDFDateienmitCMYKFarbenausgeben1);
  opt->addSeparator();
  item(opt, "PDFAuflsungeinstellen1", "PDF Auflösung einstellen...", [this] { PdfResolutionCmd(); });
  optPrintDialog_ =
      toggle(opt, "DruckenDialoganzeigenvordemDrucken1", "Drucken Dialog anzeigen vor dem Drucken",
             doc_.options.DruckenDialoganzeigenvordemDrucken1);
  optImportTitles_ =
      toggle(opt, "BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1",
             "Beim Importieren die Spaltenüberschriften der Variantentabelle aus der Vorlage übernehmen",
             doc_.options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1);
  menuBar()->addMenu(opt);

  QMenu* hilfe = new QMenu(QStringLiteral("Hilfe"), this);
  SetMenuShortcuts(menuBar());
  item(hilfe, "Ueber1", "Über...",
       [this] { ShowAboutBox(this, Q(doc_.maincap.empty() ? lifecycle::kMainCaption : doc_.maincap)); });
  menuBar()->addMenu(hilfe);
}

void MainWindow::SaveUserOptions() {
  store_->SaveOptions(doc_.options, view_.ZoomEd);
  store_->SaveInt("PDFAufl/DPIEd", pdfDpi_);
  store_->SaveInt("ArtikelSuchen/InDescription", searchInDescription_ ? 1 : 0);
  store_->Sync();
}

// ---- start and stop

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!state_.infirst) FirstShow();
}

void MainWindow::TranslateAllForms() { TranslateWidgetTree(this); }

void MainWindow::FirstShow() {
  SetWindowLanguage(state_.languagesetto);
  InstallQtTranslations(state_.languagesetto);
  const lifecycle::FirstShowTexts texts = lifecycle::FirstShow(state_, doc_, [this] { TranslateAllForms(); });
  appTitle_ = Q(texts.applicationTitle);
  templateTab_->FillTemplateList();
  history_->Reset();  // the start-up template is where the history begins
  // Undo and redo show their prefix in the window's language before the
  // mnemonics are chosen from the menu texts, then take the marked prefix.
  history_->RefreshActions();
  MarkMnemonics(menuBar());  // on the translated texts
  history_->RefreshActions();
  UpdateCaption();
  if (lifecycle::OpenCommandLineFile(doc_, config_.args, dialogs_)) ShowDocument();
  // A restored copy is unsaved work: no test project is offered over it.
  if (OfferRecovery()) return;
  if (config_.offerTestProject) QTimer::singleShot(1000, this, [this] { OfferTestProject(); });
}

void MainWindow::OfferTestProject() {
  // The test project replaces the open document: changes made in the first
  // second are not thrown away without asking.
  if (doc_.changed && !lifecycle::AskToSave(doc_, *dialogs_)) return;
  if (lifecycle::OfferTestProject(doc_, *dialogs_)) ShowDocument();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (!lifecycle::CanClose(doc_, *dialogs_)) {
    e->ignore();
    return;
  }
  lifecycle::ShutDown(state_);
  SaveUserOptions();
  // A clean exit: whatever was not saved, the user chose so.
  recoveryTimer_->stop();
  recovery_->Remove();
  e->accept();
}

void MainWindow::NewCmd() {
  if (lifecycle::NewFile(doc_, *dialogs_)) ShowDocument();
}

void MainWindow::OpenCmd() {
  if (lifecycle::OpenFile(doc_, *dialogs_)) ShowDocument();
}

bool MainWindow::OpenDocument(const std::u16string& filename) {
  if (!lifecycle::OpenFileByName(doc_, filename)) return false;
  ShowDocument();
  return true;
}

bool MainWindow::SaveCmd() {
  if (!lifecycle::SaveFile(doc_, *dialogs_)) return false;
  history_->MarkSaved();
  NoteRecent();
  return true;
}

bool MainWindow::SaveAsCmd() {
  if (!lifecycle::SaveFileAs(doc_, *dialogs_)) return false;
  history_->MarkSaved();
  NoteRecent();
  return true;
}

void MainWindow::NoteRecent() {
  if (doc_.afilename.empty()) return;
  recent_.Add(Q(doc_.afilename));
  StoreRecent();
}

void MainWindow::StoreRecent() {
  std::vector<std::u16string> files;
  for (const QString& f : recent_.Files()) files.push_back(U(f));
  store_->SaveTextList("Recent/Files", files);
  store_->Sync();
  FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
  for (QAction* a : recentActions_) delete a;
  recentActions_.clear();
  const QStringList& files = recent_.Files();
  for (int i = 0; i < files.size(); ++i) {
    auto* a = new QAction(RecentFiles::MenuText(i, files[i]), datei_);
    a->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
    a->setToolTip(files[i]);
    a->setProperty("qlData", true);  // a file name: never translated
    const QString file = files[i];
    connect(a, &QAction::triggered, this, [this, file] { OpenRecent(file); });
    datei_->insertAction(recentEnd_, a);
    recentActions_.push_back(a);
  }
  recentEnd_->setVisible(!files.isEmpty());
}

void MainWindow::OpenRecent(const QString& file) {
  if (!QFileInfo::exists(file)) {
    // Offered for removal rather than failing without a word.
    const std::u16string text =
        i18n::Tr(u"Die folgende Datei gibt es nicht mehr: ") + U(file) + u"\n\n" +
        i18n::Tr(u"Soll sie aus der Liste der zuletzt geöffneten Dateien entfernt werden?");
    if (dialogs_->Ask(text, i18n::Tr(u"Zuletzt geöffnete Dateien"), Buttons::YesNo) == Answer::Yes) {
      recent_.Remove(file);
      StoreRecent();
    }
    return;
  }
  if (!lifecycle::AskToSave(doc_, *dialogs_)) return;
  OpenDocument(U(file));
}

void MainWindow::Record(const char* name, const QString& key) {
  history_->Record(QString::fromUtf8(name), key);
  sinceInput_.restart();
  ScheduleRecovery();
}

void MainWindow::AfterStep(QPoint view) {
  ShowControls();
  // The category and product selected when the state was recorded.
  productTab_->ShowSelection(view.x(), view.y());
}

void MainWindow::ShowDocument() {
  ShowControls();
  // A document read or created anew starts a new history.
  history_->Reset();
  NoteRecent();
}

void MainWindow::ShowControls() {
  session_->LoadFurniturePictures();
  binder_->LoadAll();
  previewTab_->ShowLayout(doc_.settings.LayoutCombo);
  backgroundTab_->ShowPicture();
  logoTab_->ShowPicture();
  templateTab_->FillTemplateList();
  productTab_->ShowDocument();
  UpdateCaption();
  Repaint();
}

void MainWindow::SettingChanged(const char* name) {
  backgroundTab_->SettingChanged(name);
  logoTab_->SettingChanged(name);
  if (std::strcmp(name, "PreDefAnzPreisEd") == 0)
    doc_.SetChanged();
  else if (std::strcmp(name, "LayoutCombo") == 0)
    keyEdit_->setFocus();
  Record("Einstellung ändern", QString::fromLatin1(name));
  Repaint();
}

void MainWindow::SetTrimSize(const TrimSize& trim) {
  CatalogSettings& s = doc_.settings;
  s.SetPDFSizeCheck = true;
  s.PDFWidthEd = trim.widthMm;
  s.PDFHeightED = trim.heightMm;
  binder_->LoadAll();
  Record("Einstellung ändern", QStringLiteral("PrintPdfTrim"));
}

void MainWindow::Repaint() {
  if (preview_) preview_->Invalidate();
}

void MainWindow::LanguageCmd(int language) {
  if (state_.dontchlang) return;
  // Qt's own texts follow at once, so the notice has buttons in the new language.
  InstallQtTranslations(language);
  lifecycle::ChooseLanguage(state_, language, *dialogs_);
}

void MainWindow::TranslateCmd() {
  TranslationEditor editor(table_, *dialogs_, this);
  editor.exec();
  dialogs_->ShowMessage(i18n::Msg(2), i18n::Msg(3), MessageIcon::Information);
}

// ---- events

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) sinceInput_.restart();
  if (e->type() == QEvent::ShortcutOverride && UndoKeyForHistory(watched, static_cast<QKeyEvent*>(e)))
    return true;  // not accepted: the window's "Rückgängig" / "Wiederholen" takes the key
  if (DropFilter(watched, e)) return true;
  return QMainWindow::eventFilter(watched, e);
}

bool MainWindow::UndoKeyForHistory(QObject* watched, QKeyEvent* k) const {
  const bool undo = k->matches(QKeySequence::Undo);
  const bool redo = k->matches(QKeySequence::Redo) ||
                    k->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z) ||
                    k->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
  if (!undo && !redo) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != this) return false;  // dialogs keep their own keys
  bool own = false;
  if (auto* p = qobject_cast<QPlainTextEdit*>(w))
    own = undo ? p->document()->isUndoAvailable() : p->document()->isRedoAvailable();
  else if (auto* l = qobject_cast<QLineEdit*>(w))
    own = undo ? l->isUndoAvailable() : l->isRedoAvailable();
  else
    return false;
  // A box that stores every keystroke at once has nothing of its own to
  // undo: its typing runs are steps of the history. Other boxes undo their
  // own typing first (a grid cell being edited, a number not yet entered).
  const bool storesAtOnce = w->property(kStoresAtOnce).toBool();
  return storesAtOnce || !own;
}

}  // namespace ui
