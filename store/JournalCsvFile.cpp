// The journal's CSV mirror "logtable.csv": written after every change of
// the journal, read back when the journal table had to be created anew.
#include <QDir>
#include <QFileInfo>
#include <unordered_set>

#include "platform/db/MemoryDataSet.h"
#include "platform/db/Table.h"
#include "store/Dataunit.h"
#include "store/JournalCsv.h"
#include "store/JournalTable.h"

namespace {
constexpr int kCaption = 1;        // "KELDORAN GRAPH 2"
constexpr int kSaveFailed = 2000;  // "File save failed"
}  // namespace

QString TVelmDataModule::CsvPath() const {
  return QDir(LogBookFolder).filePath(QStringLiteral("logtable.csv"));
}

int TVelmDataModule::WriteCsvFile() {
  if (!LogTable.Active()) return 0;  // no journal open: the mirror stays as it is
  LogTable.DisableControls();
  const db::Bookmark mark = LogTable.RecordCount() > 0 ? LogTable.GetBookmark() : db::Bookmark{};
  bool ok = false;
  try {
    const csv::Columns columns(LogTable);
    LogTable.First();
    ok = csv::WriteFile(CsvPath(), [this, &columns](char* record) {
      if (LogTable.Eof()) return false;
      columns.Encode(LogTable, record);
      LogTable.Next();
      return true;
    });
  } catch (const db::DbError&) {
    ok = false;
  }
  if (mark.serial != 0 && LogTable.BookmarkValid(mark)) LogTable.GotoBookmark(mark);
  LogTable.EnableControls();
  if (!ok) {
    // The previous mirror is still in place; the user must know that this
    // one was not written.
    ShowMessageId(kSaveFailed, kCaption, os::MsgIcon::Warning);
    return -1;
  }
  return 0;
}

void TVelmDataModule::RebuildFromCsv() {
  // The records are staged in memory and moved into the journal at once, so
  // the table's files are written once, not once per record.
  db::MemoryDataSet staged(journal::FieldDefs());
  staged.Reserve(static_cast<int>(QFileInfo(CsvPath()).size() / csv::kRecordSize));
  const csv::Columns columns(staged);
  std::unordered_set<int> numbers;
  csv::ReadFile(CsvPath(), [&](const char* record) {
    const std::optional<int> id = csv::RecordId(record);
    // A record without a number cannot be placed; a number seen before
    // stays with the first record that had it.
    if (!id || !numbers.insert(*id).second) return;
    staged.AppendRecord();
    columns.Decode(record, staged);
    Total = *id;
    Serial = *id + 1;
  });
  LogTable.Open();
  try {
    AppendAll(staged, LogTable);
  } catch (...) {
    LogTable.Close();
    throw;
  }
  LogTable.Close();
}

void TVelmDataModule::AppendAll(db::DataSet& source, db::Table& destination) {
  BatchMove.SetMode(db::BatchMove::Mode::Append);
  BatchMove.SetSource(&source);
  BatchMove.SetDestination(&destination);
  BatchMove.SetRecordCount(0);
  try {
    BatchMove.Execute();
  } catch (...) {
    BatchMove.SetMode(db::BatchMove::Mode::Copy);
    BatchMove.SetSource(nullptr);
    throw;
  }
  BatchMove.SetMode(db::BatchMove::Mode::Copy);
  BatchMove.SetSource(nullptr);
}

bool TVelmDataModule::ReadCsvRecord(db::Table& table, const char* record,
                                    const csv::Columns* columns) {
  const std::optional<int> id = csv::RecordId(record);
  if (!id) return false;
  try {
    table.Append();
    try {
      if (columns != nullptr) columns->Decode(record, table);
      else csv::Columns(table).Decode(record, table);
      table.Post();
    } catch (...) {
      table.Cancel();
      throw;
    }
  } catch (const db::DbError&) {
    return false;  // a number the journal has already: the first record keeps it
  }
  if (&table == &LogTable) {
    Total = *id;
    Serial = *id + 1;
  }
  return true;
}
