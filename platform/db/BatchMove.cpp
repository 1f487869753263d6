#include "platform/db/BatchMove.h"

#include <QFile>
#include <algorithm>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/Values.h"

namespace db {

int BatchMove::Execute() {
  moved_ = 0;
  if (!source_ || !destination_)
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("A batch move needs a source and a destination"));
  if (!source_->Active()) source_->Open();
  Table& dest = *destination_;
  const bool wasOpen = dest.Active();

  if (mode_ == Mode::Copy) {
    dest.Close();
    dest.FieldDefs() = source_->FieldList();
    dest.IndexDefs().clear();
    if (source_->KeyFieldCount() > 0) {
      IndexDef primary;
      primary.primary = true;
      for (int i = 0; i < source_->KeyFieldCount(); ++i)
        primary.fields << source_->FieldList()[static_cast<std::size_t>(i)].name;
      dest.IndexDefs().push_back(primary);
    }
    dest.CreateTable();
  }
  if (!dest.Active()) dest.Open();

  try {
    if (dest.state_ == DataState::Edit || dest.state_ == DataState::Insert) dest.Post();
    // Which source field feeds each destination field.
    const auto& dfields = dest.fields_;
    std::vector<int> from(dfields.size(), -1);
    for (std::size_t i = 0; i < dfields.size(); ++i) from[i] = source_->FieldIndex(dfields[i].name);

    // Build every record first, side by side in one buffer.
    const auto size = static_cast<std::size_t>(dest.recordSize_);
    std::vector<std::uint8_t> records;
    const int expected = recordCount_ > 0 ? std::min(recordCount_, source_->RecordCount())
                                          : source_->RecordCount();
    records.reserve(static_cast<std::size_t>(std::max(expected, 0)) * size);
    struct Blob {
      std::size_t record;
      int field;
      QByteArray value;
    };
    std::vector<Blob> blobs;
    if (recordCount_ == 0) source_->First();
    int left = recordCount_;
    while (source_->RecordCount() > 0 && !source_->Eof() && (recordCount_ == 0 || left-- > 0)) {
      const std::size_t r = records.size() / size;
      records.resize(records.size() + size, 0);
      std::uint8_t* rec = records.data() + r * size;
      for (std::size_t i = 0; i < dfields.size(); ++i) {
        if (from[i] < 0) continue;
        const FieldDef& df = dfields[i];
        const FieldDef& sf = source_->FieldList()[static_cast<std::size_t>(from[i])];
        std::uint8_t* out = rec + dest.offsets_[i];
        const std::uint8_t* in = source_->FieldBytes(from[i]);
        const int dw = FieldWidth(df.type, df.size);
        if (IsBlobType(df.type) || IsBlobType(sf.type)) {
          if (IsBlobType(df.type) && IsBlobType(sf.type)) {
            QByteArray value = source_->StoredBlob(from[i]);
            if (sf.type == FieldType::Graphic && df.type != FieldType::Graphic)
              value = GraphicFromStored(value);
            if (df.type == FieldType::Graphic && sf.type != FieldType::Graphic && !value.isEmpty())
              value = GraphicToStored(value);
            if (!value.isEmpty()) blobs.push_back({r, static_cast<int>(i), value});
          } else if (df.type == FieldType::Alpha &&
                     (sf.type == FieldType::Memo || sf.type == FieldType::FmtMemo)) {
            const QByteArray text = source_->StoredBlob(from[i]).left(dw);
            std::memcpy(out, text.constData(), static_cast<std::size_t>(text.size()));
          }
          continue;
        }
        if (df.type == sf.type && dw == FieldWidth(sf.type, sf.size)) {
          std::memcpy(out, in, static_cast<std::size_t>(dw));
        } else if (df.type == FieldType::Alpha && sf.type == FieldType::Alpha) {
          std::memcpy(out, in, static_cast<std::size_t>(std::min(dw, sf.size)));
        } else if (values::IsNull(sf, in)) {
          // stays blank
        } else if (values::IsDateLike(df.type) && values::IsDateLike(sf.type)) {
          values::FromDateTime(df, values::ToDateTime(sf, in), out);
        } else if (values::IsNumeric(df.type) && values::IsNumeric(sf.type)) {
          values::FromNumber(df, values::ToNumber(sf, in), out);
        } else {
          values::FromText(df, values::ToText(sf, in), out);
        }
      }
      source_->Next();
    }
    const std::size_t count = records.size() / size;
    const auto at = [&](std::size_t r) { return records.data() + r * size; };

    // The records go into the table in key order, so that moving into an
    // empty table fills each block before starting the next.
    std::vector<std::size_t> order(count);
    for (std::size_t r = 0; r < count; ++r) order[r] = r;
    if (dest.keyFields_ > 0) {
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t a, std::size_t b) { return dest.ComparePrimary(at(a), at(b)) < 0; });
      for (std::size_t i = 0; i < count; ++i) {
        if ((i > 0 && dest.ComparePrimary(at(order[i - 1]), at(order[i])) == 0) ||
            dest.FindPrimary(at(order[i])) != Table::kNoSlot) {
          throw DbError(
              ErrorKind::KeyViolation,
              QStringLiteral("%1: key violation, a moved record has the key of another record")
                  .arg(dest.DisplayName()));
        }
      }
    }

    for (const Blob& blob : blobs) {
      const auto f = static_cast<std::size_t>(blob.field);
      const int w = dest.offsets_[f + 1] - dest.offsets_[f];
      std::uint8_t* p = at(blob.record) + dest.offsets_[f];
      const QByteArray lead =
          (dest.fields_[f].type == FieldType::Graphic ? blob.value.mid(8) : blob.value).left(w - 10);
      std::memcpy(p, lead.constData(), static_cast<std::size_t>(lead.size()));
      WriteBlobRef(p, w, dest.StoreBlob(blob.field, blob.value));
    }
    dest.ReserveSlots(count);
    for (std::size_t r : order) {
      const std::uint32_t slot = dest.NewSlot(at(r));
      dest.PlaceInBlocks(slot, Table::kNoSlot);
      ++dest.live_;
      ++moved_;
    }
    dest.Flush();
    dest.BuildOrder();
    dest.SettleCursor(0);
    dest.bof_ = true;
    dest.Notify(DataEvent::DataChanged);
  } catch (...) {
    if (!wasOpen) dest.Close();
    throw;
  }
  if (!wasOpen) dest.Close();
  return moved_;
}

}  // namespace db
