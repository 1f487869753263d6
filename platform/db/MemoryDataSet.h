#pragma once
// A data set whose records live only in memory, in the engine's own field
// encodings. It stages many records for one batch move into a table, so
// the table writes its file once instead of once per record. It has no
// blob fields.
#include <vector>

#include "platform/db/Table.h"

namespace db {

class MemoryDataSet final : public DataSet {
 public:
  explicit MemoryDataSet(std::vector<FieldDef> fields);

  // Adds an empty record (every field null) and makes it current; its
  // fields are then set through Fields()/FieldByName().
  void AppendRecord();
  // Makes room for `records` records in all without moving them again.
  void Reserve(int records);
  // Removes the current record.
  void DeleteRecord();

  void Open() override;
  void Close() override;
  void First() override { Move(0); }
  void Next() override { Move(pos_ + 1); }
  void Prior() override { Move(pos_ - 1); }
  void Last() override { Move(RecordCount() - 1); }
  int RecordCount() const override;

 protected:
  const std::uint8_t* FieldBytes(int i) const override;
  std::uint8_t* WritableFieldBytes(int i) override;
  QByteArray StoredBlob(int) const override { return QByteArray(); }
  QString DisplayName() const override { return QStringLiteral("records in memory"); }

 private:
  void Move(int position);
  std::vector<std::uint8_t> records_;
};

}  // namespace db
