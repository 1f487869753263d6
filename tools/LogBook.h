#pragma once
// A log book as keldoran-tool reads it: where it lies, the journal's
// records, their text form, and the consistency of the journal table, its
// CSV mirror and the dive files beside them. Everything here only reads.
#include <QString>
#include <QStringList>
#include <vector>

#include "store/JournalRecord.h"

namespace logbook {

// The log-book folder of a program folder, by the program's rule: the folder
// KELDORAN.INI names in "Config"/"Log Dir" when that is a folder, else "LOG"
// under the program folder. Reads KELDORAN.INI without writing it.
QString LogBookFolderOf(const QString& programFolder);

// The journal "LOG.DB" of `folder`, opened for reading only, every record in
// "ID" order. Throws db::DbError when the table is missing or cannot be
// read.
std::vector<JournalRecord> ReadJournal(const QString& folder);

// The 34 field names (strings 48 to 81) in table order, and a record's
// values in the same order: numbers in decimal, dates "yyyy/mm/dd", times
// "hh:nn:ss", empty dates and times as empty texts, other texts as stored.
QStringList FieldNames();
QStringList FieldTexts(const JournalRecord& record);

// One line of the dump: the texts joined by tabs, with backslash, tab,
// carriage return and line feed inside a text written as \\, \t, \r, \n.
QString DumpLine(const QStringList& texts);

struct CheckReport {
  int records = 0;       // in the journal
  QStringList problems;  // what does not match
  QStringList notes;     // worth knowing, not a mismatch
};

// Compares the journal `records` with "logtable.csv" of `folder` and with
// the profile files, album files and captures there.
CheckReport Check(const QString& folder, const std::vector<JournalRecord>& records);

}  // namespace logbook
