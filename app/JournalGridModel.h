#pragma once
// The journal grid's model: one row per record of the table's current
// order, one column per visible field in table order. Rows are read only
// when the view asks for them, without moving the table's cursor, so a
// journal of thousands of records opens and scrolls at once. The model
// follows the data source: a change of the records, the order or the
// visible fields resets it; a cursor move only moves the row indicator.
#include <QAbstractTableModel>
#include <vector>

namespace db {
class DataSource;
class Table;
}  // namespace db

class JournalGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `source` must show `table`; the model lets go of both when the source
  // is destroyed.
  JournalGridModel(db::Table& table, db::DataSource& source, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The field name of a column; empty when out of range.
  QString FieldName(int column) const;
  // The width a column's values need, in characters.
  int DisplayWidth(int column) const;
  // The row of the table's current record; -1 when there is none.
  int CurrentRow() const;
  // Makes the record of `row` the table's current record.
  void MoveTo(int row);

 signals:
  // The table's cursor moved to another record (not sent for a reset).
  void CurrentRowChanged(int row);

 private:
  void Reset();
  void Scrolled();
  void Detach();

  db::Table* table_;
  std::vector<int> columns_;  // field positions of the visible fields
  int indicatorRow_ = -1;
};
