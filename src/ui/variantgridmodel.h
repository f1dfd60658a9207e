// The editor grid "Varianten:" as a table model over editing::VariantGrid:
// 100 x 100 editable cells without headings; a finished cell edit goes to
// the window, which stores it into the product's table.
#pragma once

#include <QAbstractTableModel>
#include <functional>

#include "editing/variants.h"

namespace ui {

class VariantGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using StoreFn = std::function<void(int col, int row, const std::u16string& text)>;
  VariantGridModel(editing::VariantGrid& grid, StoreFn store, QObject* parent = nullptr)
      : QAbstractTableModel(parent), grid_(grid), store_(std::move(store)) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : editing::kGridRows;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : editing::kGridCols;
  }
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The grid changed underneath (refresh, row and column commands).
  void Reload();

 private:
  editing::VariantGrid& grid_;
  StoreFn store_;
};

}  // namespace ui
