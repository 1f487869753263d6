#include "platform/db/MemoryDataSet.h"

#include <algorithm>

#include "platform/db/DbError.h"

namespace db {

MemoryDataSet::MemoryDataSet(std::vector<FieldDef> fields) {
  for (const FieldDef& f : fields) {
    if (IsBlobType(f.type)) {
      throw DbError(ErrorKind::Usage, QStringLiteral("Field \"%1\": records in memory hold no blobs").arg(f.name));
    }
  }
  SetFieldList(std::move(fields), 0);
  state_ = DataState::Browse;
}

void MemoryDataSet::AppendRecord() {
  records_.resize(records_.size() + static_cast<std::size_t>(recordSize_), 0);
  Move(RecordCount() - 1);
}

void MemoryDataSet::Reserve(int records) {
  records_.reserve(static_cast<std::size_t>(std::max(records, 0)) * static_cast<std::size_t>(recordSize_));
}

void MemoryDataSet::DeleteRecord() {
  if (RecordCount() == 0) NoRecord();
  const auto at = records_.begin() + static_cast<std::ptrdiff_t>(pos_) * recordSize_;
  records_.erase(at, at + recordSize_);
  Move(pos_);
}

void MemoryDataSet::Open() {
  state_ = DataState::Browse;
  First();
}

void MemoryDataSet::Close() { state_ = DataState::Inactive; }

int MemoryDataSet::RecordCount() const {
  return recordSize_ == 0 ? 0 : static_cast<int>(records_.size() / static_cast<std::size_t>(recordSize_));
}

const std::uint8_t* MemoryDataSet::FieldBytes(int i) const {
  if (pos_ < 0 || pos_ >= RecordCount()) NoRecord();
  return records_.data() + static_cast<std::size_t>(pos_) * recordSize_ + offsets_[static_cast<std::size_t>(i)];
}

std::uint8_t* MemoryDataSet::WritableFieldBytes(int i) {
  return const_cast<std::uint8_t*>(FieldBytes(i));
}

void MemoryDataSet::Move(int position) {
  const int n = RecordCount();
  bof_ = position < 0 || n == 0;
  eof_ = position >= n || n == 0;
  pos_ = std::clamp(position, 0, std::max(n - 1, 0));
}

}  // namespace db
