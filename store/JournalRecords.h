#pragma once
// Moving a whole journal record between a table's current record and plain
// values. Fields are addressed by their names (strings 48 to 81).
#include "store/JournalRecord.h"

namespace db {
class DataSet;
class Table;
}  // namespace db

namespace journal {

JournalRecord ReadRecord(db::DataSet& table);
// Sets every field of the table's current record, which must be in edit or
// insert state; empty texts and absent times leave their fields empty.
void WriteFields(db::Table& table, const JournalRecord& record);
// Appends `record` to `table` and posts it.
void AppendRecord(db::Table& table, const JournalRecord& record);

}  // namespace journal
