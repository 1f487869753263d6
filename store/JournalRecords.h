#pragma once
// Moving a whole journal record between a table's current record and plain
// values. Fields are addressed by their names (strings 48 to 81).
#include <array>

#include "store/JournalRecord.h"

namespace db {
class DataSet;
class Table;
}  // namespace db

namespace journal {

// The positions of the journal's fields in one data set, looked up once,
// for reading or writing many records.
class FieldMap {
 public:
  explicit FieldMap(db::DataSet& table);
  JournalRecord Read(db::DataSet& table) const;
  void Write(db::DataSet& table, const JournalRecord& record) const;
  // The position of the field named by string `id` (48 to 81).
  int Index(int id) const { return index_[static_cast<std::size_t>(id - 48)]; }

 private:
  std::array<int, 34> index_;  // by string number - 48
};

JournalRecord ReadRecord(db::DataSet& table);
// Sets every field of the table's current record, which must be in edit or
// insert state; empty texts and absent times leave their fields empty.
void WriteFields(db::Table& table, const JournalRecord& record);
// Appends `record` to `table` and posts it.
void AppendRecord(db::Table& table, const JournalRecord& record);

}  // namespace journal
