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

namespace csv {

inline constexpr int kRecordSize = 545;

QByteArray EncodeRecord(const JournalRecord& record);

// Nothing when the ID column holds no number: such a record cannot be
// placed in the journal. An empty date or time column gives an empty field.
std::optional<JournalRecord> DecodeRecord(const char* bytes);

// Hands out the journal's records in order; false when there are no more.
using RecordSource = std::function<bool(JournalRecord& next)>;

// Writes every record of `source` to `path`: the new file is written
// completely under a temporary name and then renamed into place, so a
// failure or a crash in the middle leaves the previous file as it was.
// False when the file could not be written.
bool WriteFile(const QString& path, const RecordSource& source);

struct ReadResult {
  bool opened = false;
  int records = 0;   // whole records handed to the sink
  int skipped = 0;   // whole records without a readable ID
};
// Reads `path` 545 bytes at a time; a shorter rest ends the reading.
ReadResult ReadFile(const QString& path, const std::function<void(const JournalRecord&)>& sink);

}  // namespace csv
