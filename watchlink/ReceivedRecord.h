#pragma once
// A dive received from the watch as a journal record: the decoded header,
// the profile number, the defaults that prefill every new record, and the
// two summaries counted from the dive's profile file. No widgets here; the
// receive dialog calls these.
#include <array>

#include <QString>
#include <QStringList>

#include "store/JournalRecord.h"
#include "store/Velm.h"
#include "watchlink/WatchData.h"

class TVelmDataModule;
namespace db {
class Table;
}

namespace watch {

// What a new record is prefilled with.
struct RecordDefaults {
  QString diver;
  QString buddy;
  QString place;
  std::array<velmq::UserArticleDefault, 4> articles;
};

// The defaults as the data module and the user configuration store hold
// them now.
RecordDefaults ReadRecordDefaults(const TVelmDataModule& dataModule);

// The dive time counted from the depth samples of a profile file: 5 seconds
// for every sample of at least 1.0 m (unit 'M', the line 010) or 4 ft (unit
// 'F'), as "hh:mm:ss". "00:00:00" when the file cannot be read.
QString CountDiveTime(const QString& path);

// The mean of the water-temperature samples of a profile file, truncated
// toward zero; 0 when the file cannot be read or holds no such sample.
int AverageWaterTemperature(const QString& path);

// A depth or temperature as the journal holds it: tenths with one decimal
// under unit 'M' (123 gives "12.3", 5 gives "0.5"), the plain integer under
// 'F'.
QString UnitValueText(char unit, int value);

struct ReceivedRecord {
  JournalRecord record;
  // Header values that give no valid date or time, each as the field name
  // and the value read ("Date 2026/13/5"); their fields stay empty.
  QStringList unreadable;
};

// The record of a dive received under profile number `number`, with the
// dive time and average water temperature counted from its profile file.
ReceivedRecord BuildReceivedRecord(const WatchHeader& header, int number,
                                   const RecordDefaults& defaults, const QString& diveTime,
                                   int averageWater);

// Counts the profile file at `path`, builds the record and appends it to
// `table` (open). Database errors are thrown as db::DbError; nothing is
// appended then.
ReceivedRecord CreateReceivedRecord(db::Table& table, const WatchHeader& header, int number,
                                    const QString& path, const RecordDefaults& defaults);

}  // namespace watch
