#include "app/JournalGridModel.h"

#include "platform/db/DataSource.h"
#include "platform/db/Table.h"

namespace {

// Shown in the row header of the current record.
constexpr char16_t kIndicator = u'\u25B6';

}  // namespace

JournalGridModel::JournalGridModel(db::Table& table, db::DataSource& source, QObject* parent)
    : QAbstractTableModel(parent), table_(&table) {
  connect(&source, &db::DataSource::DataChanged, this, &JournalGridModel::Reset);
  connect(&source, &db::DataSource::RecordScrolled, this, &JournalGridModel::Scrolled);
  connect(&source, &QObject::destroyed, this, &JournalGridModel::Detach);
  Reset();
}

void JournalGridModel::Reset() {
  beginResetModel();
  columns_.clear();
  if (table_ != nullptr && table_->Active()) {
    for (int f = 0; f < table_->FieldCount(); ++f) {
      if (table_->Fields(f).Visible()) columns_.push_back(f);
    }
  }
  indicatorRow_ = CurrentRow();
  endResetModel();
}

void JournalGridModel::Detach() {
  beginResetModel();
  table_ = nullptr;
  columns_.clear();
  indicatorRow_ = -1;
  endResetModel();
}

void JournalGridModel::Scrolled() {
  const int before = indicatorRow_;
  indicatorRow_ = CurrentRow();
  if (before == indicatorRow_) return;
  const int rows = rowCount();
  for (const int row : {before, indicatorRow_}) {
    if (row >= 0 && row < rows) emit headerDataChanged(Qt::Vertical, row, row);
  }
  emit CurrentRowChanged(indicatorRow_);
}

int JournalGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || table_ == nullptr || !table_->Active() || columns_.empty()) return 0;
  return table_->RecordCount();
}

int JournalGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant JournalGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
    return {};
  }
  return table_->DisplayText(index.row(), columns_[static_cast<std::size_t>(index.column())]);
}

QVariant JournalGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return FieldName(section);
  return section == indicatorRow_ ? QString(QChar(kIndicator)) : QString();
}

QString JournalGridModel::FieldName(int column) const {
  if (column < 0 || column >= columnCount()) return {};
  return table_->FieldList()[static_cast<std::size_t>(columns_[static_cast<std::size_t>(column)])].name;
}

int JournalGridModel::DisplayWidth(int column) const {
  if (column < 0 || column >= columnCount()) return 0;
  const db::FieldDef& f = table_->FieldList()[static_cast<std::size_t>(columns_[static_cast<std::size_t>(column)])];
  switch (f.type) {
    case db::FieldType::Alpha:
      return f.size;
    case db::FieldType::Date:
    case db::FieldType::Timestamp:
      return 10;  // "yyyy/mm/dd"
    case db::FieldType::Time:
      return 8;  // "hh:nn:ss"
    default:
      return 11;
  }
}

int JournalGridModel::CurrentRow() const {
  if (table_ == nullptr || !table_->Active() || table_->RecordCount() == 0) return -1;
  return table_->RecNo() - 1;
}

void JournalGridModel::MoveTo(int row) {
  if (row < 0 || row >= rowCount() || row == CurrentRow()) return;
  table_->GotoBookmark(table_->BookmarkAt(row));
}
