#include "ui/variantgridmodel.h"

namespace ui {

QVariant VariantGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return QString::fromStdU16String(grid_.Cell(index.column(), index.row()));
}

bool VariantGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::u16string text = value.toString().toStdU16String();
  if (text == grid_.Cell(index.column(), index.row())) return true;
  if (store_) store_(index.column(), index.row(), text);
  emit dataChanged(index, index);
  return true;
}

Qt::ItemFlags VariantGridModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void VariantGridModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ui
