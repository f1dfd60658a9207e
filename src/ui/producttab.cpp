#include "ui/producttab.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/codepage.h"
#include "core/linebreaks.h"
#include "editing/bulk.h"
#include "editing/categories.h"
#include "editing/picturelist.h"
#include "editing/products.h"
#include "editing/variants.h"
#include "imaging/pixoran.h"
#include "ui/dialogs.h"
#include "ui/dropfiles.h"
#include "ui/preview.h"
#include "ui/qtlifecycleui.h"
#include "ui/translatewidgets.h"
#include "ui/undohistory.h"
#include "ui/variantgridmodel.h"

namespace ui {
namespace {

QPushButton* Button(QBoxLayout* lay, const char* obj, const char* text) {
  auto* b = new QPushButton(QString::fromUtf8(text));
  b->setObjectName(QString::fromLatin1(obj));
  lay->addWidget(b);
  return b;
}

QTreeWidget* ReportList(const char* obj, const QStringList& headings, bool multi) {
  auto* l = new QTreeWidget;
  l->setObjectName(QString::fromLatin1(obj));
  l->setRootIsDecorated(false);
  l->setHeaderLabels(headings);
  l->header()->setStretchLastSection(false);
  l->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  l->setEditTriggers(QAbstractItemView::EditKeyPressed);
  return l;
}

// Typing in one box of one product merges into one undo step.
QString EditKey(const editing::Selection& sel) {
  QString k = QString::number(sel.kat);
  for (int p : sel.prods) k += QLatin1Char(',') + QString::number(p);
  return k;
}

}  // namespace

ProductTab::ProductTab(Document& doc, ViewState& view, Feedback& fb, std::string progpath, Hooks hooks,
                       QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      view_(view),
      fb_(fb),
      progpath_(std::move(progpath)),
      hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("TabProdukte"));
  static const char* names[4] = {"KategorienPanel", "ProduktePanel", "EditorPanel", "BilderVariantenPanel"};
  for (int i = 0; i < 4; ++i) {
    panels_[i] = new QWidget(this);
    panels_[i]->setObjectName(QString::fromLatin1(names[i]));
  }
  BuildCategoryPanel(panels_[0]);
  BuildProductPanel(panels_[1]);
  BuildEditorPanel(panels_[2]);
  BuildPicturePanel(panels_[3]);
  // Files dropped onto the picture list become pictures of the product.
  pictureList_->setAcceptDrops(true);
  pictureList_->viewport()->installEventFilter(this);
}

void ProductTab::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  const int h = UpperPanelHeight(height());
  int y = 0;
  for (int i = 0; i < 4; ++i) {
    const int ph = i < 3 ? h : h + 80;
    panels_[i]->setGeometry(0, y, width(), std::max(0, ph));
    y += std::max(0, ph);
  }
}

bool ProductTab::eventFilter(QObject* watched, QEvent* e) {
  // The lists are watched from the moment they are made, before the picture list exists.
  if (pictureList_ && watched == pictureList_->viewport())
    return DropPictures(e) || QWidget::eventFilter(watched, e);
  if (e->type() == QEvent::Resize && (watched == listView1_ || watched == listView2_))
    FitListColumns(static_cast<QTreeWidget*>(watched));
  // While a cell is edited its editor has the keys, not the view.
  if (gridView_ && watched == gridView_ && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && ClearSelectedCells()) return true;
  }
  return QWidget::eventFilter(watched, e);
}

void ProductTab::FitListColumns(QTreeWidget* list) {
  const int w = list->width();
  if (list == listView1_) {
    list->setColumnWidth(0, 150);
    list->setColumnWidth(1, std::max(0, w - 160));
  } else {
    list->setColumnWidth(0, std::max(0, w - 10));
  }
}

bool ProductTab::DropPictures(QEvent* e) {
  const QEvent::Type t = e->type();
  if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::Drop) return false;
  auto* de = static_cast<QDropEvent*>(e);
  const QStringList files = LocalFiles(de->mimeData());
  // Pictures need a product to go to; a project file is left to the window.
  if (!ArePictureFiles(files) || !editing::PositionProduct(doc_, CurrentSelection())) return false;
  de->acceptProposedAction();
  if (t != QEvent::Drop) return true;
  std::vector<std::u16string> names;
  for (const QString& f : files) names.push_back(U(f));
  AddPictureFiles(names);
  return true;
}

void ProductTab::BuildCategoryPanel(QWidget* panel) {
  auto* lay = new QHBoxLayout(panel);
  lay->setContentsMargins(2, 2, 2, 2);
  listView2_ = ReportList("ListView2", {QStringLiteral("Kategorie")}, false);
  listView2_->installEventFilter(this);
  lay->addWidget(listView2_, 1);
  auto* col = new QVBoxLayout;
  connect(Button(col, "NeueKategorieBtn", "Neue Kategorie"), &QPushButton::clicked, this,
          &ProductTab::NewCategoryCmd);
  connect(Button(col, "KategorieBearbeitenBtn", "Bearbeiten"), &QPushButton::clicked, this,
          &ProductTab::EditCategoryCmd);
  connect(Button(col, "KategorieHochBtn", "Nach oben"), &QPushButton::clicked, this,
          [this] { MoveCategoryCmd(true); });
  connect(Button(col, "KategorieLoeschenBtn", "Löschen"), &QPushButton::clicked, this,
          &ProductTab::DeleteCategoryCmd);
  connect(Button(col, "KategorieRunterBtn", "Nach unten"), &QPushButton::clicked, this,
          [this] { MoveCategoryCmd(false); });
  col->addStretch(1);
  lay->addLayout(col);
  connect(listView2_, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (doc_.donotupdate) return;
    // A change notification of the category list: marks the document.
    editing::SelectCategory(doc_, CurrentSelection().kat);
    ListProds();
  });
  connect(listView2_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* it, int) {
    if (doc_.donotupdate) return;
    editing::RenameCategory(doc_, listView2_->indexOfTopLevelItem(it), U(it->text(0)));
    Record("Kategorie umbenennen");
    Repaint();
  });
  connect(listView2_, &QTreeWidget::itemDoubleClicked, this, [this] { EditCategoryCmd(); });
}

void ProductTab::BuildProductPanel(QWidget* panel) {
  auto* lay = new QHBoxLayout(panel);
  lay->setContentsMargins(2, 2, 2, 2);
  listView1_ = ReportList("ListView1", {QStringLiteral("Bezeichnung"), QStringLiteral("Beschreibung")}, true);
  listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listView1_->installEventFilter(this);
  lay->addWidget(listView1_, 1);
  auto* col = new QVBoxLayout;
  QPushButton* b[5];
  b[0] = Button(col, "NeuesProduktBtn", "Neues Produkt");
  b[1] = Button(col, "ProduktLoeschenBtn", "Löschen");
  b[2] = Button(col, "ProduktHochBtn", "Nach oben");
  b[3] = Button(col, "ProduktRunterBtn", "Nach unten");
  b[4] = Button(col, "AndereKategBtn", "Andere Kateg.");
  col->addStretch(1);
  lay->addLayout(col);
  connect(b[0], &QPushButton::clicked, this, &ProductTab::NewProductCmd);
  connect(b[1], &QPushButton::clicked, this, &ProductTab::DeleteProductsCmd);
  connect(b[2], &QPushButton::clicked, this, [this] { MoveProductCmd(true); });
  connect(b[3], &QPushButton::clicked, this, [this] { MoveProductCmd(false); });
  connect(b[4], &QPushButton::clicked, this, &ProductTab::MoveProductsCmd);
  productControls_.assign(b, b + 5);
  connect(listView1_, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (!doc_.donotupdate) RefreshEditor();
  });
}

void ProductTab::BuildEditorPanel(QWidget* panel) {
  auto* lay = new QGridLayout(panel);
  lay->setContentsMargins(2, 2, 2, 2);
  lay->addWidget(new QLabel(QStringLiteral("Bezeichnung:")), 0, 0);
  lay->addWidget(new QLabel(QStringLiteral("Beschreibung:")), 0, 1);
  nameEd_ = new QPlainTextEdit;
  nameEd_->setObjectName(QStringLiteral("NameEd"));
  descEd_ = new QPlainTextEdit;
  descEd_->setObjectName(QStringLiteral("BeschreibungEd"));
  lay->addWidget(nameEd_, 1, 0);
  lay->addWidget(descEd_, 1, 1);
  dibPrev_ = new DibBox(DibBox::Mode::Fit);
  dibPrev_->setObjectName(QStringLiteral("DibPrev"));
  dibPrev_->setMinimumWidth(120);
  lay->addWidget(dibPrev_, 0, 2, 2, 1);
  lay->setColumnStretch(0, 2);
  lay->setColumnStretch(1, 3);
  lay->setColumnStretch(2, 1);
  // The name and the description: the box, the list column it shows in, the
  // edit and the name of its undo step.
  using Setter = bool (*)(Document&, const editing::Selection&, const std::u16string&);
  auto bind = [this](QPlainTextEdit* box, int column, Setter set, const char* step) {
    connect(box, &QPlainTextEdit::textChanged, this, [this, box, column, set, step] {
      if (refreshing_) return;
      const editing::Selection sel = CurrentSelection();
      const std::u16string text = ql::WithLineBreaks(U(box->toPlainText()), u"\r\n");
      if (!set(doc_, sel, text)) return;
      const int i = editing::FirstSelectedProduct(doc_.kats[sel.kat], sel.prods);
      if (QTreeWidgetItem* it = listView1_->topLevelItem(i)) it->setText(column, Q(text));
      Record(step, EditKey(sel));
      Repaint();
    });
    box->setProperty(kStoresAtOnce, true);
    editorControls_.push_back(box);
  };
  bind(nameEd_, 0, &editing::SetProductName, "Bezeichnung:");
  bind(descEd_, 1, &editing::SetProductDescription, "Beschreibung:");
}

void ProductTab::BuildPicturePanel(QWidget* panel) {
  auto* lay = new QHBoxLayout(panel);
  lay->setContentsMargins(2, 2, 2, 2);
  auto* pics = new QVBoxLayout;
  pics->addWidget(new QLabel(QStringLiteral("Bilder:")));
  pictureList_ = new QListWidget;
  pictureList_->setObjectName(QStringLiteral("BilderList"));
  pics->addWidget(pictureList_, 1);
  auto* row = new QHBoxLayout;
  QPushButton* newPics = Button(row, "NeueBilderBtn", "Neue Bilder...");
  QPushButton* delPic = Button(row, "BildLoeschenBtn", "Löschen");
  pics->addLayout(row);
  auto* row2 = new QHBoxLayout;
  QPushButton* upPic = Button(row2, "BildHochBtn", "Nach oben");
  QPushButton* downPic = Button(row2, "BildRunterBtn", "Nach unten");
  pics->addLayout(row2);
  auto* row3 = new QHBoxLayout;
  row3->addWidget(new QLabel(QStringLiteral("Bild Breite in cm:")));
  bildBreitEd_ = new QDoubleSpinBox;
  bildBreitEd_->setObjectName(QStringLiteral("BildBreitEd"));
  bildBreitEd_->setRange(editing::kMinPictureWidth, editing::kMaxPictureWidth);
  bildBreitEd_->setDecimals(2);
  bildBreitEd_->setValue(view_.BildBreitEd);
  bildBreitEd_->setKeyboardTracking(false);
  bildBreitEd_->setToolTip(QStringLiteral("Die Breite VOR dem Hinzufügen der Bilder einstellen."));
  row3->addWidget(bildBreitEd_);
  pics->addLayout(row3);
  lay->addLayout(pics, 1);
  connect(newPics, &QPushButton::clicked, this, &ProductTab::AddPicturesCmd);
  connect(delPic, &QPushButton::clicked, this, &ProductTab::DeletePictureCmd);
  connect(upPic, &QPushButton::clicked, this, [this] { MovePictureCmd(true); });
  connect(downPic, &QPushButton::clicked, this, [this] { MovePictureCmd(false); });
  connect(pictureList_, &QListWidget::itemClicked, this, [this] { PictureClicked(); });
  connect(bildBreitEd_, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this](double v) {
    view_.BildBreitEd = v;
    if (refreshing_) return;
    if (!editing::SetPictureWidth(doc_, CurrentSelection(), pictureList_->currentRow(), v)) return;
    Record("Bild Breite in cm:", EditKey(CurrentSelection()) + QString::number(pictureList_->currentRow()));
    Repaint();
  });

  BuildVariantPanel(lay);
  for (QWidget* w : std::initializer_list<QWidget*>{pictureList_, newPics, delPic, upPic, downPic})
    editorControls_.push_back(w);
}

void ProductTab::BuildVariantPanel(QBoxLayout* lay) {
  auto* vars = new QVBoxLayout;
  vars->addWidget(new QLabel(QStringLiteral("Varianten:")));
  gridView_ = new QTableView;
  gridView_->setObjectName(QStringLiteral("StringGrid1"));
  gridModel_ = new VariantGridModel(
      grid_,
      [this](int col, int row, const std::u16string& text) {
        if (!editing::TypeInCell(doc_, CurrentSelection(), grid_, col, row, text)) return;
        Record("Varianten:", EditKey(CurrentSelection()) + QStringLiteral("/%1/%2").arg(col).arg(row));
        Repaint();
      },
      this);
  gridView_->setModel(gridModel_);
  gridView_->installEventFilter(this);  // Delete and Backspace empty the selected cells
  gridView_->horizontalHeader()->hide();
  gridView_->verticalHeader()->hide();
  gridView_->verticalHeader()->setDefaultSectionSize(24);
  gridView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(gridView_, &QWidget::customContextMenuRequested, this, &ProductTab::GridMenu);
  vars->addWidget(gridView_, 1);
  auto* opts = new QHBoxLayout;
  opts->addWidget(new QLabel(QStringLiteral("Anzahl Preisspalten:")));
  anzPreisEd_ = new QSpinBox;
  anzPreisEd_->setObjectName(QStringLiteral("AnzPreisSpaltenEd"));
  anzPreisEd_->setRange(editing::kMinPriceColumns, editing::kMaxPriceColumns);
  anzPreisEd_->setKeyboardTracking(false);
  opts->addWidget(anzPreisEd_);
  pageBreakCheck_ = new QCheckBox(QStringLiteral("Seitenumbruch nach dem Produkt"));
  deactivateCheck_ = new QCheckBox(QStringLiteral("Produkt deaktivieren"));
  auto* tableBtn = new QPushButton(QStringLiteral("Tabellen Einstellungen..."));
  opts->addWidget(tableBtn);
  opts->addStretch(1);
  vars->addLayout(opts);
  // The check boxes in a row of their own: in French and Dutch one row
  // cannot hold them beside the price columns.
  auto* checks = new QHBoxLayout;
  checks->addWidget(pageBreakCheck_);
  checks->addWidget(deactivateCheck_);
  checks->addStretch(1);
  vars->addLayout(checks);
  lay->addLayout(vars, 3);
  connect(anzPreisEd_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
    if (refreshing_ || !editing::SetPriceColumns(doc_, CurrentSelection(), v)) return;
    Record("Anzahl Preisspalten:", EditKey(CurrentSelection()));
    Repaint();
  });
  connect(pageBreakCheck_, &QCheckBox::clicked, this, [this](bool on) {
    if (!editing::SetPageBreakAfter(doc_, CurrentSelection(), on)) return;
    Record("Seitenumbruch nach dem Produkt");
    Repaint();
  });
  connect(deactivateCheck_, &QCheckBox::clicked, this, [this](bool on) {
    if (!editing::SetProductsDeactivated(doc_, CurrentSelection(), on)) return;
    Record("Produkt deaktivieren");
    Repaint();
  });
  connect(tableBtn, &QPushButton::clicked, this, &ProductTab::TableSettingsCmd);
  for (QWidget* w :
       std::initializer_list<QWidget*>{gridView_, anzPreisEd_, pageBreakCheck_, deactivateCheck_, tableBtn})
    editorControls_.push_back(w);
}

editing::Selection ProductTab::CurrentSelection() const {
  editing::Selection sel;
  const QList<QTreeWidgetItem*> cats = listView2_->selectedItems();
  if (!cats.isEmpty()) sel.kat = listView2_->indexOfTopLevelItem(cats.first());
  for (QTreeWidgetItem* it : listView1_->selectedItems())
    sel.prods.push_back(listView1_->indexOfTopLevelItem(it));
  std::sort(sel.prods.begin(), sel.prods.end());
  return sel;
}

double ProductTab::PictureWidth() const { return bildBreitEd_->value(); }

void ProductTab::ShowDocument() {
  previewProduct_ = nullptr;  // the previous document's picture goes with it
  // A document read or created shows its first category with its products.
  ListCategories(doc_.kats.Empty() ? -1 : 0);
}

void ProductTab::ShowSelection(int kat, int prod) {
  if (kat < 0 || kat >= int(doc_.kats.Count())) return;
  ListCategories(kat);
  if (prod >= 0 && prod < int(doc_.kats[kat].products.Count())) SelectProduct(prod);
}

void ProductTab::ShowFound(const editing::Selection& sel) {
  // Selecting the category is a change of the category list, as by a click.
  listView2_->clearSelection();
  if (QTreeWidgetItem* it = listView2_->topLevelItem(sel.kat)) {
    listView2_->setCurrentItem(it);
    it->setSelected(true);
    listView2_->scrollToItem(it, QAbstractItemView::PositionAtTop);
  }
  if (!sel.prods.empty()) SelectProduct(sel.prods.front());
}

void ProductTab::ListCategories(int select) {
  {
    editing::NoUpdateGuard guard(doc_);
    const QSignalBlocker block(listView2_);
    listView2_->clear();
    for (const Category& c : doc_.kats) {
      auto* it = new QTreeWidgetItem(listView2_, {Q(c.name)});
      it->setFlags(it->flags() | Qt::ItemIsEditable);
    }
    if (select >= 0 && select < listView2_->topLevelItemCount()) {
      listView2_->setCurrentItem(listView2_->topLevelItem(select));
      listView2_->topLevelItem(select)->setSelected(true);
    }
  }
  listView2_->viewport()->update();
  ListProds();
}

void ProductTab::ListProds() {
  const editing::Selection sel = CurrentSelection();
  {
    editing::NoUpdateGuard guard(doc_);
    const QSignalBlocker block(listView1_);
    listView1_->clear();
    if (Category* c = editing::PositionCategory(doc_, sel.kat))
      for (const Product& p : c->products) new QTreeWidgetItem(listView1_, {Q(p.name), Q(p.description)});
  }
  for (QWidget* w : productControls_) w->setEnabled(sel.kat >= 0);
  RefreshEditor();
  Repaint();
}

void ProductTab::SelectProduct(int index) {
  {
    editing::NoUpdateGuard guard(doc_);
    const QSignalBlocker block(listView1_);
    listView1_->clearSelection();
    if (QTreeWidgetItem* it = listView1_->topLevelItem(index)) {
      listView1_->setCurrentItem(it);
      it->setSelected(true);
      listView1_->scrollToItem(it);
    }
  }
  RefreshEditor();
}

void ProductTab::RefreshEditor() {
  refreshing_ = true;
  const editing::Selection sel = CurrentSelection();
  Product* p = editing::PositionProduct(doc_, sel);
  pictureList_->clear();
  if (p) {
    anzPreisEd_->setValue(
        std::clamp<int>(p->pricecols, editing::kMinPriceColumns, editing::kMaxPriceColumns));
    pageBreakCheck_->setChecked(p->pagebreakafter);
    deactivateCheck_->setChecked(p->deactivated);
    nameEd_->setPlainText(Q(p->name));
    descEd_->setPlainText(Q(p->description));
    for (const Picture& pic : p->pictures) pictureList_->addItem(Q(pic.filename));
  } else {
    nameEd_->clear();
    descEd_->clear();
    pageBreakCheck_->setChecked(false);
    deactivateCheck_->setChecked(false);
  }
  for (QWidget* w : editorControls_) w->setEnabled(p != nullptr);
  // The preview shows a picture of this product or nothing.
  if (!p || p != previewProduct_ || p->pictures.Count() == 0) {
    previewProduct_ = nullptr;
    di_ = dib();
    dibPrev_->SetDib(di_);
  }
  FillGrid();
  refreshing_ = false;
}

void ProductTab::FillGrid() {
  const editing::Selection sel = CurrentSelection();
  if (Product* p = editing::PositionProduct(doc_, sel))
    grid_.Fill(*p);
  else
    grid_.Clear();
  gridModel_->Reload();
  const QFontMetrics fm(gridView_->font());
  for (int c = 0; c < editing::kGridCols; ++c)
    gridView_->setColumnWidth(
        c, grid_.ColumnWidth(c, [&fm](const std::u16string& s) { return fm.horizontalAdvance(Q(s)); }));
}

// ---- category commands

void ProductTab::NewCategoryCmd() {
  const int32_t i = editing::NewCategory(doc_);
  if (i < 0) return;
  ListCategories(i);
  Record("Neue Kategorie");  // after the list shows it: the step keeps the selection
  if (QTreeWidgetItem* it = listView2_->topLevelItem(i)) listView2_->editItem(it, 0);
  Repaint();
}

void ProductTab::EditCategoryCmd() {
  const int kat = CurrentSelection().kat;
  Category* c = editing::PositionCategory(doc_, kat);
  if (!c) return;
  editing::CategoryDialogValues v = editing::CategoryDialogFromCategory(*c);
  if (!RunCategoryDialog(this, v, QString::fromStdString(GetDIBOpenFilter()))) return;
  editing::ApplyCategoryDialog(doc_, kat, v);
  Record("Kategorie bearbeiten");
  if (QTreeWidgetItem* it = listView2_->topLevelItem(kat)) {
    editing::NoUpdateGuard guard(doc_);
    it->setText(0, Q(doc_.kats[kat].name));
  }
  Repaint();
}

void ProductTab::DeleteCategoryCmd() {
  if (!editing::DeleteCategory(doc_, CurrentSelection().kat, fb_)) return;
  ListCategories(-1);
  Record("Kategorie löschen");
}

void ProductTab::MoveCategoryCmd(bool up) {
  const int kat = CurrentSelection().kat;
  const int32_t to = up ? editing::MoveCategoryUp(doc_, kat) : editing::MoveCategoryDown(doc_, kat);
  if (to < 0 || to == kat) return;
  ListCategories(to);
  Record(up ? "Nach oben" : "Nach unten");
}

void ProductTab::MoveProductsCmd() {
  const editing::Selection sel = CurrentSelection();
  if (sel.kat < 0 || sel.prods.empty()) return;
  int target = -1;
  if (!RunMoveDialog(this, editing::MoveTargetNames(doc_, sel.kat), target)) return;
  if (!editing::MoveProductsToCategory(doc_, sel, target)) return;
  ListProds();
  Record("In andere Kategorie verschieben");
}

// ---- product commands

void ProductTab::NewProductCmd() {
  const int32_t i = editing::NewProduct(doc_, CurrentSelection().kat);
  if (i < 0) return;
  ListProds();
  SelectProduct(i);
  Record("Neues Produkt");
  nameEd_->setFocus();
  nameEd_->selectAll();
}

void ProductTab::DeleteProductsCmd() {
  if (!editing::DeleteProducts(doc_, CurrentSelection())) return;
  ListProds();
  Record("Produkt löschen");
}

void ProductTab::MoveProductCmd(bool up) {
  const editing::Selection sel = CurrentSelection();
  const int32_t to = up ? editing::MoveProductUp(doc_, sel) : editing::MoveProductDown(doc_, sel);
  if (to < 0 || sel.prods.empty() || to == sel.prods.front()) return;
  ListProds();
  SelectProduct(to);
  Record(up ? "Nach oben" : "Nach unten");
}

void ProductTab::DuplicateProductCmd() {
  if (editing::DuplicateProduct(doc_, CurrentSelection()) < 0) return;
  ListProds();
  Record("Produkt duplizieren...");
}

void ProductTab::SortNamesCmd() {
  if (!editing::SortProductNames(doc_, fb_)) return;
  ListProds();
  Record("Produktnamen alphabetisch sortieren...");
}

void ProductTab::WriteCellCmd() {
  const QModelIndex at = gridView_->currentIndex();
  const int c = at.isValid() ? at.column() : 0, r = at.isValid() ? at.row() : 0;
  const std::u16string text = grid_.Cell(c, r);
  if (editing::WriteCellToAllTables(doc_, c, r, text, fb_) <= 0) return;
  Record("Inhalt der Tabellenzelle in alle Tabellen für alle Produkte übernehmen...");
  FillGrid();
  Repaint();
}

// ---- pictures

void ProductTab::AddPicturesCmd() {
  const editing::Selection sel = CurrentSelection();
  if (!editing::PositionProduct(doc_, sel)) return;
  const QStringList files =
      QFileDialog::getOpenFileNames(this, QString(), QString(), QString::fromStdString(GetDIBOpenFilter()));
  if (files.isEmpty()) return;
  std::vector<std::u16string> names;
  for (const QString& f : files) names.push_back(U(f));
  AddPictureFiles(names);
}

void ProductTab::AddPictureFiles(const std::vector<std::u16string>& names) {
  const editing::Selection sel = CurrentSelection();
  if (!editing::PositionProduct(doc_, sel)) return;
  auto probe = [](const std::u16string& path, int& w, int& h) {
    dib d;
    if (!OpenDib(d, ql::ToUtf8(path))) return false;
    w = d.width;
    h = d.height;
    return true;
  };
  const editing::AddPicturesResult r =
      editing::AddPictures(doc_, sel, names, ql::FromUtf8(progpath_), bildBreitEd_->value(), probe, fb_);
  Record("Neue Bilder...");
  if (!r.preview.empty()) ShowPreviewPicture(r.preview);
  const int keep = pictureList_->currentRow();
  RefreshEditor();
  pictureList_->setCurrentRow(keep);
  Repaint();
}

void ProductTab::ShowPreviewPicture(const std::u16string& file) {
  dib d;
  if (!OpenDib(d, ql::ToUtf8(file))) return;
  di_ = std::move(d);
  dibPrev_->SetDib(di_);
  previewProduct_ = editing::PositionProduct(doc_, CurrentSelection());
}

void ProductTab::DeletePictureCmd() {
  const int32_t next = editing::DeletePicture(doc_, CurrentSelection(), pictureList_->currentRow());
  Record("Bild löschen");
  RefreshEditor();
  pictureList_->setCurrentRow(next);
  Repaint();
}

void ProductTab::MovePictureCmd(bool up) {
  const editing::Selection sel = CurrentSelection();
  const int from = pictureList_->currentRow();
  const int32_t to = up ? editing::MovePictureUp(doc_, sel, from) : editing::MovePictureDown(doc_, sel, from);
  if (to < 0 || to == from) return;
  Record(up ? "Nach oben" : "Nach unten");
  RefreshEditor();
  pictureList_->setCurrentRow(to);
  Repaint();
}

void ProductTab::PictureClicked() {
  const int row = pictureList_->currentRow();
  const editing::Selection sel = CurrentSelection();
  dib loaded;
  auto probe = [&loaded](const std::u16string& path, int& w, int& h) {
    if (!OpenDib(loaded, ql::ToUtf8(path))) return false;
    w = loaded.width;
    h = loaded.height;
    return true;
  };
  const editing::PreviewResult r = editing::PreviewPicture(doc_, sel, row, probe, fb_);
  if (!r.loaded) return;
  di_ = std::move(loaded);
  dibPrev_->SetDib(di_);
  previewProduct_ = editing::PositionProduct(doc_, sel);
  refreshing_ = true;
  bildBreitEd_->setValue(r.width);
  refreshing_ = false;
}

// ---- variant grid

namespace {
// The grid's pop-up menu, separators after the second, fourth and sixth.
const char* const kGridCommands[8] = {"Spalte löschen", "Spalte einfügen",     "Zeile löschen",
                                      "Zeile einfügen", "Spalte kopieren",     "Spaltenkopie einfügen",
                                      "Zeile kopieren", "Zeilenkopie einfügen"};
}  // namespace

void ProductTab::GridMenu(const QPoint& pos) {
  const QModelIndex at = gridView_->indexAt(pos);
  if (!at.isValid()) return;
  gridView_->setCurrentIndex(at);
  QMenu menu(this);
  for (int i = 0; i < 8; ++i) {
    menu.addAction(TrW(QString::fromUtf8(kGridCommands[i])))->setData(i);
    if (i % 2 == 1 && i < 7) menu.addSeparator();
  }
  if (QAction* chosen = menu.exec(gridView_->viewport()->mapToGlobal(pos)))
    GridCommand(chosen->data().toInt(), at.column(), at.row());
}

void ProductTab::GridCommand(int command, int c, int r) {
  const editing::Selection sel = CurrentSelection();
  switch (command) {
    case 0:
      editing::DeleteGridColumn(doc_, sel, grid_, c);
      break;
    case 1:
      editing::InsertGridColumn(doc_, sel, grid_, c);
      break;
    case 2:
      editing::DeleteGridRow(doc_, sel, grid_, r);
      break;
    case 3:
      editing::InsertGridRow(doc_, sel, grid_, r);
      break;
    case 4:
      editing::CopyGridColumn(doc_, grid_, c);
      break;
    case 5:
      editing::PasteGridColumn(doc_, sel, grid_, c);
      break;
    case 6:
      editing::CopyGridRow(doc_, grid_, r);
      break;
    case 7:
      editing::PasteGridRow(doc_, sel, grid_, r);
      break;
    default:
      return;
  }
  Record(kGridCommands[command]);
  gridModel_->Reload();
  gridView_->setCurrentIndex(gridModel_->index(r, c));
  Repaint();
}

bool ProductTab::ClearSelectedCells() {
  const QModelIndexList cells = gridView_->selectionModel()->selectedIndexes();
  if (cells.isEmpty()) return false;
  const editing::Selection sel = CurrentSelection();
  bool any = false;
  for (const QModelIndex& at : cells)
    if (!grid_.Cell(at.column(), at.row()).empty())
      any |= editing::TypeInCell(doc_, sel, grid_, at.column(), at.row(), std::u16string());
  if (!any) return true;  // the key is taken either way: nothing else reacts to it
  Record("Zellen leeren");
  const QModelIndex current = gridView_->currentIndex();
  gridModel_->Reload();
  gridView_->setCurrentIndex(gridModel_->index(current.row(), current.column()));
  for (const QModelIndex& at : cells)
    gridView_->selectionModel()->select(gridModel_->index(at.row(), at.column()),
                                        QItemSelectionModel::Select);
  Repaint();
  return true;
}

void ProductTab::TableSettingsCmd() {
  const editing::Selection sel = CurrentSelection();
  editing::TableSettingsValues v;
  if (!editing::TableSettingsFromProduct(doc_, sel, v)) return;
  RunTableSettingsDialog(this, v);
  editing::ApplyTableSettings(doc_, sel, v);
  Record("Tabellen Einstellungen...");
  Repaint();
}

}  // namespace ui
