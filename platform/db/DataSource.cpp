#include "platform/db/DataSource.h"

namespace db {

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource() { SetDataSet(nullptr); }

void DataSource::SetDataSet(DataSet* set) {
  if (set_ == set) return;
  if (set_) set_->RemoveObserver(this);
  set_ = set;
  if (set_) set_->AddObserver(this);
  emit DataChanged();
}

void DataSource::DataSetEvent(DataEvent event) {
  switch (event) {
    case DataEvent::Scrolled:
      emit RecordScrolled();
      break;
    case DataEvent::DataChanged:
      emit DataChanged();
      break;
    case DataEvent::StateChanged:
      emit StateChanged();
      break;
  }
}

}  // namespace db
