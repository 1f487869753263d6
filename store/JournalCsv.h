#pragma once
// The journal CSV file "logtable.csv": the journal's mirror and backup, and
// the core of a journal package. Fixed records of 545 single-byte bytes,
// read by position only:
//
//   bytes    width field              bytes    width field
//   0-3      4  ID "%4d"              145-156  12 Weather
//   5        1  Mode 'M' / 'F'        158-161  4  Temp.
//   7-16     10 Date yyyy/mm/dd       163-166  4  Clarity
//   18       1  No                    168-171  4  Tank Capacity
//   20-27    8  Entry Time hh:nn:ss   173-182  10 Tank Material
//   29-36    8  Surf. Time            184-187  4  Weight
//   38-42    5  Ave.Depth             189-192  4  Start Air Pres.
//   44-48    5  Max.Depth             194-197  4  End Air Pres.
//   50-54    5  Ave.Water             199-205  7  Air Consum.
//   56-60    5  Min.Water             207-218  12 User Article1
//   62-69    8  Rest Time             220-239  20 User Article Content1
//   71-78    8  Dive Time             241-252, 254-273   Article2, Content2
//   80       1  WatchData "%1d"       275-286, 288-307   Article3, Content3
//   82-101   20 Diver                 309-320, 322-341   Article4, Content4
//   103-122  20 Buddy                 343-542  200 Memo (may hold line breaks)
//   124-143  20 Loc./Site             543-544  CR LF
//
// A comma stands after every column; unwritten bytes and zero bytes are
// blanks; a text longer than its column is cut.
#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>

#include "store/JournalRecord.h"
#include "store/JournalRecords.h"

namespace db {
class DataSet;
}

namespace csv {

inline constexpr int kRecordSize = 545;

// The journal fields of a data set, mapped once onto the file's columns.
// Records move between the data set's current record and the file's bytes
// without passing through QStrings: texts are copied in their stored
// single-byte form, dates and times go through the process-wide formats.
class Columns {
 public:
  // Throws db::DbError (NotFound) when the data set lacks a journal field.
  explicit Columns(db::DataSet& set);
  // The current record as one file record of kRecordSize bytes.
  void Encode(db::DataSet& set, char* out) const;
  // Sets every field of the current record (in edit or insert state) from
  // a file record. An empty or unreadable date or time column gives an
  // empty field. False, with no field set, when the ID column holds no
  // number: such a record cannot be placed in the journal.
  bool Decode(const char* in, db::DataSet& set) const;

 private:
  journal::FieldMap fields_;
};

// The ID of a file record; nothing when its column holds no number.
std::optional<int> RecordId(const char* in);

// One record on its own (through a one-record data set with the journal's
// fields), for callers that hold records as plain values.
QByteArray EncodeRecord(const JournalRecord& record);
std::optional<JournalRecord> DecodeRecord(const char* bytes);

// Fills `record` (kRecordSize bytes) with the next file record; false when
// there are no more.
using RecordSource = std::function<bool(char* record)>;

// Writes every record of `source` to `path`: the new file is written
// completely under a temporary name, flushed to the disk and then renamed
// into place, so a failure or a crash in the middle leaves the previous
// file as it was. False when the file could not be written.
bool WriteFile(const QString& path, const RecordSource& source);

struct ReadResult {
  bool opened = false;
  int records = 0;  // whole records handed to the sink
};
// Hands `path`'s records to `sink` kRecordSize bytes at a time; a shorter
// rest ends the reading.
ReadResult ReadFile(const QString& path, const std::function<void(const char* record)>& sink);

}  // namespace csv
