#include "ui/templatetab.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editing/templatecols.h"
#include "i18n/messages.h"
#include "ui/qtlifecycleui.h"
#include "ui/settingsbinder.h"
#include "ui/tabhelpers.h"

namespace ui {
namespace {
const std::u16string kTemplateFilter = u"Vorlagen für Varianten Tabelle (*.vor)|*.vor";
}  // namespace

TemplateTab::TemplateTab(Document& doc, SettingsBinder& binder, Feedback& fb,
                         std::function<void(const char*)> record, std::function<std::u16string()> title,
                         QWidget* parent)
    : QWidget(parent), doc_(doc), fb_(fb), record_(std::move(record)), title_(std::move(title)) {
  QWidget* page = this;
  page->setObjectName(QStringLiteral("TabVoreinstellungen"));
  auto* lay = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  listView3_ = new QTreeWidget;
  listView3_->setObjectName(QStringLiteral("ListView3"));
  listView3_->setRootIsDecorated(false);
  listView3_->setHeaderLabels(
      {QStringLiteral("Vorlage für die Spalten der Varianten Tabelle eines neuen Produktes")});
  listView3_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listView3_->setEditTriggers(QAbstractItemView::EditKeyPressed);
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
    record_("Vorlage ändern");
  });

  CatalogSettings& s = doc_.settings;
  SettingsBinder& b = binder;
  auto* geo = new QGridLayout;
  int row = 0;
  geo->addWidget(Label("Anzahl Preisspalten:"), row, 0);
  geo->addWidget(b.Integer("PreDefAnzPreisEd", s.PreDefAnzPreisEd), row++, 1);
  geo->addWidget(b.Check("DefineFixedWidthCheck", s.DefineFixedWidthCheck,
                         QStringLiteral("Feste Breite für die Tabellenzellen definieren:")),
                 row++, 0, 1, 4);
  double* cols[10] = {&s.RxSpinEdit1, &s.RxSpinEdit2, &s.RxSpinEdit3, &s.RxSpinEdit4,  &s.RxSpinEdit5,
                      &s.RxSpinEdit7, &s.RxSpinEdit8, &s.RxSpinEdit9, &s.RxSpinEdit10, &s.RxSpinEdit11};
  static const char* colNames[10] = {"RxSpinEdit1",  "RxSpinEdit2", "RxSpinEdit3", "RxSpinEdit4",
                                     "RxSpinEdit5",  "RxSpinEdit7", "RxSpinEdit8", "RxSpinEdit9",
                                     "RxSpinEdit10", "RxSpinEdit11"};
  for (int i = 0; i < 10; ++i) {
    geo->addWidget(new QLabel(QString::number(i + 1) + QStringLiteral(". Spalte:")), row + i % 5,
                   (i / 5) * 2);
    geo->addWidget(b.Number(colNames[i], *cols[i]), row + i % 5, (i / 5) * 2 + 1);
  }
  row += 5;
  geo->addWidget(b.Check("DefineFixedHeightCheck", s.DefineFixedHeightCheck,
                         QStringLiteral("Feste Höhe für die Tabellenzellen definieren:")),
                 row++, 0, 1, 4);
  geo->addWidget(Label("Zeilenhöhe:"), row, 0);
  geo->addWidget(b.Number("RxSpinEdit6", s.RxSpinEdit6), row++, 1);
  geo->addWidget(b.Check("FixWidthForTableCheck", s.FixWidthForTableCheck,
                         QStringLiteral("Feste Breite für die ganze Tabelle definieren:")),
                 row++, 0, 1, 4);
  geo->addWidget(Label("Breite:"), row, 0);
  geo->addWidget(b.Number("FixedWidthForTableEd", s.FixedWidthForTableEd), row++, 1);
  geo->addWidget(b.Check("DefMaxCellWidthCheck", s.DefMaxCellWidthCheck,
                         QStringLiteral("Maximale Breite für Tabellenzelle definieren:")),
                 row++, 0, 1, 4);
  geo->addWidget(Label("Breite:"), row, 0);
  geo->addWidget(b.Number("MaxCellWidthEd", s.MaxCellWidthEd), row++, 1);
  geo->setRowStretch(row, 1);
  lay->addLayout(geo, 1);
}

void TemplateTab::FillTemplateList() {
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

void TemplateTab::NewTemplateColumnCmd() {
  const int32_t i = editing::NewTemplateColumn(doc_);
  record_("Neue Spalte");
  FillTemplateList();
  SelectRow(listView3_, i);
  if (QTreeWidgetItem* it = listView3_->topLevelItem(i)) listView3_->editItem(it, 0);
}

void TemplateTab::EditTemplateColumnCmd() {
  const std::vector<int32_t> rows = SelectedRows(listView3_);
  if (!rows.empty()) listView3_->editItem(listView3_->topLevelItem(rows.front()), 0);
}

void TemplateTab::DeleteTemplateColumnsCmd() {
  if (editing::DeleteTemplateColumns(doc_, SelectedRows(listView3_)) <= 0) return;
  record_("Vorlage ändern");
  FillTemplateList();
}

void TemplateTab::MoveTemplateColumnCmd(bool up) {
  const std::vector<int32_t> rows = SelectedRows(listView3_);
  const int32_t to =
      up ? editing::MoveTemplateColumnUp(doc_, rows) : editing::MoveTemplateColumnDown(doc_, rows);
  if (to < 0) return;
  record_("Vorlage ändern");
  FillTemplateList();
  SelectRow(listView3_, to);
}

void TemplateTab::LoadTemplateCmd() {
  std::u16string name, error;
  if (!RunFileDialog(this, false, false, i18n::Tr(kTemplateFilter), u".vor", name)) return;
  if (!editing::LoadTemplate(doc_, name, &error)) {
    fb_.ShowMessage(error, title_(), MessageIcon::Error);
    return;
  }
  record_("Vorlage öffnen...");
  FillTemplateList();
}

void TemplateTab::SaveTemplateCmd() {
  std::u16string name, error;
  if (!RunFileDialog(this, true, true, i18n::Tr(kTemplateFilter), u".vor", name)) return;
  if (!editing::SaveTemplate(doc_, name, &error)) fb_.ShowMessage(error, title_(), MessageIcon::Error);
}

}  // namespace ui
