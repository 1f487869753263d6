#pragma once
// Moves records from a table or query into a table.
//   Copy:   the destination is replaced by a new table with the source's
//           fields (and primary key) holding a copy of the records.
//   Append: the records are added to the existing destination.
// Fields are matched by name; a destination field without a source field
// stays blank, and a value of another type is converted through its text.
// With RecordCount 0 every record moves, from the first; with n > 0, n
// records move from the source's current record on. The destination keeps
// its open or closed state. Appending to a keyed table checks every key
// first: a key that exists (or comes twice) raises a key violation and
// nothing is written. The records are written with one flush at the end.
#include "platform/db/Table.h"

namespace db {

class BatchMove {
 public:
  enum class Mode { Copy, Append };

  void SetSource(DataSet* source) { source_ = source; }
  DataSet* Source() const { return source_; }
  void SetDestination(Table* destination) { destination_ = destination; }
  Table* Destination() const { return destination_; }
  void SetMode(Mode mode) { mode_ = mode; }
  Mode GetMode() const { return mode_; }
  void SetRecordCount(int count) { recordCount_ = count; }
  int RecordCount() const { return recordCount_; }

  // Returns the number of records moved.
  int Execute();
  int MovedCount() const { return moved_; }

 private:
  DataSet* source_ = nullptr;
  Table* destination_ = nullptr;
  Mode mode_ = Mode::Copy;
  int recordCount_ = 0;
  int moved_ = 0;
};

}  // namespace db
