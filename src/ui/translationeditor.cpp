#include "ui/translationeditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "i18n/languages.h"
#include "i18n/messages.h"
#include "ui/translatewidgets.h"

namespace ui {

// ---- TranslationModel

TranslationModel::TranslationModel(i18n::TranslationTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int TranslationModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(table_.Count());
}

int TranslationModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : i18n::kColumns;
}

QVariant TranslationModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(table_.Count())) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return QString::fromStdU16String(table_.Entry(uint32_t(index.row())).texts[index.column()]);
}

bool TranslationModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.row() >= int(table_.Count())) return false;
  const std::u16string text = value.toString().toStdU16String();
  if (table_.Entry(uint32_t(index.row())).texts[index.column()] == text) return true;
  table_.SetText(uint32_t(index.row()), index.column(), text);
  // Every edit is on disk at once; an unwritable folder keeps the edit for
  // this run (as lookups do).
  table_.SaveTranslationTable();
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

QString TranslationModel::Heading(int column) {
  if (const i18n::InterfaceLanguage* l = i18n::FindInterfaceLanguage(column))
    return QString::fromUtf8(l->heading);
  return QStringLiteral("language%1").arg(column);
}

QVariant TranslationModel::headerData(int section, Qt::Orientation o, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (o == Qt::Horizontal) return Heading(section);
  return section + 1;
}

Qt::ItemFlags TranslationModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void TranslationModel::RemoveEntry(int row) {
  if (row < 0 || row >= int(table_.Count())) return;
  beginRemoveRows(QModelIndex(), row, row);
  table_.DeleteEntry(uint32_t(row));
  endRemoveRows();
}

void TranslationModel::Reload() {
  beginResetModel();
  endResetModel();
}

// ---- TranslationEditor

TranslationEditor::TranslationEditor(i18n::TranslationTable& table, Feedback& fb, QWidget* parent)
    : QDialog(parent), table_(table), fb_(fb) {
  setObjectName(QStringLiteral("TranslateForm"));
  setWindowTitle(TrW(QStringLiteral("Übersetzen")));
  auto* lay = new QVBoxLayout(this);
  auto* tools = new QHBoxLayout;
  auto* back = new QPushButton(TrW(QStringLiteral("Zurück...")));
  back->setObjectName(QStringLiteral("ZurueckBtn"));
  searchBox_ = new QLineEdit;
  searchBox_->setObjectName(QStringLiteral("SuchenEd"));
  auto* search = new QPushButton(TrW(QStringLiteral("Suchen")));
  search->setObjectName(QStringLiteral("SuchenBtn"));
  auto* del = new QPushButton(TrW(QStringLiteral("Zeile löchen")));
  del->setObjectName(QStringLiteral("ZeileLoeschenBtn"));
  freeze_ = new QCheckBox(TrW(QStringLiteral("Erste Spalte fixieren")));
  freeze_->setObjectName(QStringLiteral("FixierenCheck"));
  tools->addWidget(back);
  tools->addWidget(searchBox_, 1);
  tools->addWidget(search);
  tools->addWidget(del);
  tools->addWidget(freeze_);
  lay->addLayout(tools);

  model_ = new TranslationModel(table_, this);
  grid_ = new QTableView;
  grid_->setObjectName(QStringLiteral("StringGrid1"));
  grid_->setModel(model_);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setDefaultSectionSize(250);
  grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  grid_->installEventFilter(this);
  lay->addWidget(grid_, 1);

  // The fixed German column: a second view of column 0 over the grid's left
  // edge, scrolled vertically with it but never sideways.
  frozen_ = new QTableView(grid_);
  frozen_->setObjectName(QStringLiteral("FrozenColumn"));
  frozen_->setModel(model_);
  frozen_->setSelectionModel(grid_->selectionModel());
  frozen_->verticalHeader()->hide();
  frozen_->horizontalHeader()->setDefaultSectionSize(250);
  frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  frozen_->setFocusPolicy(Qt::NoFocus);
  frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollMode(grid_->verticalScrollMode());
  frozen_->setEditTriggers(grid_->editTriggers());
  frozen_->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
  for (int c = 1; c < i18n::kColumns; ++c) frozen_->setColumnHidden(c, true);
  frozen_->installEventFilter(this);
  frozen_->hide();
  connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, grid_->verticalScrollBar(),
          &QAbstractSlider::setValue);
  connect(grid_->verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
          &QAbstractSlider::setValue);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
    if (section == 0) frozen_->setColumnWidth(0, size);
    PlaceFrozen();
  });

  connect(back, &QPushButton::clicked, this, &QDialog::accept);
  connect(search, &QPushButton::clicked, this, &TranslationEditor::Search);
  connect(del, &QPushButton::clicked, this, &TranslationEditor::DeleteCurrentRow);
  connect(freeze_, &QCheckBox::toggled, this, &TranslationEditor::SetFrozen);
  resize(1000, 600);
}

void TranslationEditor::SetFrozen(bool on) {
  frozen_->setVisible(on);
  PlaceFrozen();
}

void TranslationEditor::PlaceFrozen() {
  const int f = grid_->frameWidth();
  frozen_->setGeometry(f, f, grid_->columnWidth(0) + 1,
                       grid_->viewport()->height() + grid_->horizontalHeader()->height());
  frozen_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->value());
}

void TranslationEditor::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  PlaceFrozen();
}

bool TranslationEditor::eventFilter(QObject* watched, QEvent* e) {
  if ((watched == grid_ || watched == frozen_) && e->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
    // While a cell is being edited the key belongs to the cell's text.
    if (CellBeingEdited()) return false;
    DeleteCurrentRow();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

bool TranslationEditor::CellBeingEdited() const {
  // A cell editor is a child of a grid's viewport holding the focus.
  const QWidget* f = QApplication::focusWidget();
  return f && f != grid_ && f != frozen_ && (grid_->isAncestorOf(f) || frozen_->isAncestorOf(f));
}

void TranslationEditor::DeleteCurrentRow() {
  const QModelIndex at = grid_->currentIndex();
  const int row = at.isValid() ? at.row() : -1;
  const int column = at.isValid() ? at.column() : 0;
  if (row >= 0 && row < int(table_.Count())) {
    const std::u16string german = table_.Entry(uint32_t(row)).texts[0];
    // The question and the row's text stand in the body (a caption is cut
    // short); the caption names the editor.
    if (fb_.Ask(i18n::Msg(31) + u"\n\n" + german, i18n::Msg(3), Buttons::YesNoCancel) == Answer::Yes)
      model_->RemoveEntry(row);
  }
  table_.SaveTranslationTable();
  model_->Reload();
  if (row >= 0 && row < model_->rowCount()) grid_->setCurrentIndex(model_->index(row, column));
}

void TranslationEditor::Search() {
  const QString wanted = searchBox_->text().toUpper();
  for (int r = 0; r < model_->rowCount(); ++r) {
    for (int c = 0; c < i18n::kColumns; ++c) {
      const QModelIndex at = model_->index(r, c);
      if (!at.data().toString().toUpper().contains(wanted)) continue;
      grid_->setCurrentIndex(at);
      grid_->scrollTo(at, QAbstractItemView::PositionAtTop);
      grid_->horizontalScrollBar()->setValue(grid_->horizontalHeader()->sectionPosition(c));
      if (fb_.Ask(i18n::Msg(30), i18n::Msg(29), Buttons::YesNo) != Answer::Yes) return;
    }
  }
}

}  // namespace ui
