// The translation editor "Übersetzen": a grid over the live translation
// table (one row per entry, 20 language columns) in which translators type
// the texts of each language. There is no cancel: every finished cell edit
// and every row deletion is written to translate.dat at once.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include "i18n/translate.h"
#include "project/feedback.h"

class QCheckBox;
class QLineEdit;
class QTableView;

namespace ui {

// The table as a Qt model: row r is entry r, column c its text c. A
// language's column has its heading from i18n::InterfaceLanguages()
// ("German", "English", "Français", ...), any other "language<c>". Edits go straight into the table and are
// saved through its safe write.
class TranslationModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TranslationModel(i18n::TranslationTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Removes entry `row` (the index is rebuilt by the table) and saves.
  void RemoveEntry(int row);
  // Re-reads the table (after it changed behind the model's back).
  void Reload();

  static QString Heading(int column);

 private:
  i18n::TranslationTable& table_;
};

class TranslationEditor : public QDialog {
  Q_OBJECT
 public:
  // Questions go through `fb` (message boxes, or scripted answers in tests).
  TranslationEditor(i18n::TranslationTable& table, Feedback& fb, QWidget* parent = nullptr);

  QTableView* grid() const { return grid_; }
  QLineEdit* searchBox() const { return searchBox_; }
  QCheckBox* freezeBox() const { return freeze_; }
  TranslationModel* model() const { return model_; }

  // "Suchen": walks the grid row by row from the top, asking message 30
  // (caption 29) at every cell that contains the search text (any letter
  // case; an empty text matches every cell) until the user answers No.
  void Search();
  // "Zeile löchen" and the Delete key outside cell editing: asks with the
  // entry's German text (caption message 31, Yes/No/Cancel).
  void DeleteCurrentRow();
  bool CellBeingEdited() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void SetFrozen(bool on);
  void PlaceFrozen();

  i18n::TranslationTable& table_;
  Feedback& fb_;
  TranslationModel* model_;
  QTableView* grid_;
  QTableView* frozen_;  // column 0 drawn over the grid while it is fixed
  QLineEdit* searchBox_;
  QCheckBox* freeze_;
};

}  // namespace ui
