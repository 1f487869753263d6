#pragma once
// Readable test failures: a journal record shown as the CSV line it makes.
#include <ostream>

#include "store/JournalCsv.h"

inline void PrintTo(const JournalRecord& r, std::ostream* os) {
  *os << csv::EncodeRecord(r).toStdString();
}
