#pragma once
// The data-source role: views (grids, navigators, memo controls) connect to
// a DataSource instead of a table, and hear through its signals when the
// cursor moves, the records change or the edit state changes. Nothing is
// signalled while the data set's controls are disabled.
#include <QObject>

#include "platform/db/Table.h"

namespace db {

class DataSource : public QObject, public DataObserver {
  Q_OBJECT

 public:
  explicit DataSource(QObject* parent = nullptr);
  ~DataSource() override;

  // The data set must outlive the source, or be detached (nullptr) first.
  void SetDataSet(DataSet* set);
  DataSet* GetDataSet() const { return set_; }

  void DataSetEvent(DataEvent event) override;

 signals:
  void RecordScrolled();
  void DataChanged();
  void StateChanged();

 private:
  DataSet* set_ = nullptr;
};

}  // namespace db
