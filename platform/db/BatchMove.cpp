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

    // Build every record first.
    std::vector<std::vector<std::uint8_t>> records;
    std::vector<std::vector<std::pair<int, QByteArray>>> blobs;
    if (recordCount_ == 0) source_->First();
    int left = recordCount_;
    while (source_->RecordCount() > 0 && !source_->Eof() && (recordCount_ == 0 || left-- > 0)) {
      std::vector<std::uint8_t> rec(static_cast<std::size_t>(dest.recordSize_), 0);
      std::vector<std::pair<int, QByteArray>> recBlobs;
      for (std::size_t i = 0; i < dfields.size(); ++i) {
        if (from[i] < 0) continue;
        const FieldDef& df = dfields[i];
        const FieldDef& sf = source_->FieldList()[static_cast<std::size_t>(from[i])];
        std::uint8_t* out = rec.data() + dest.offsets_[i];
        const std::uint8_t* in = source_->FieldBytes(from[i]);
        const int dw = FieldWidth(df.type, df.size);
        if (IsBlobType(df.type) || IsBlobType(sf.type)) {
          if (IsBlobType(df.type) && IsBlobType(sf.type)) {
            QByteArray value = source_->StoredBlob(from[i]);
            if (sf.type == FieldType::Graphic && df.type != FieldType::Graphic)
              value = GraphicFromStored(value);
            if (df.type == FieldType::Graphic && sf.type != FieldType::Graphic && !value.isEmpty())
              value = GraphicToStored(value);
            if (!value.isEmpty()) recBlobs.emplace_back(static_cast<int>(i), value);
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
      records.push_back(std::move(rec));
      blobs.push_back(std::move(recBlobs));
      source_->Next();
    }

    if (dest.keyFields_ > 0) {
      std::vector<const std::uint8_t*> keys;
      for (const auto& r : records) keys.push_back(r.data());
      std::sort(keys.begin(), keys.end(),
                [&](auto a, auto b) { return dest.ComparePrimary(a, b) < 0; });
      for (std::size_t i = 0; i < keys.size(); ++i) {
        if ((i > 0 && dest.ComparePrimary(keys[i - 1], keys[i]) == 0) ||
            dest.FindPrimary(keys[i]) != Table::kNoSlot) {
          throw DbError(
              ErrorKind::KeyViolation,
              QStringLiteral("%1: key violation, a moved record has the key of another record")
                  .arg(dest.DisplayName()));
        }
      }
    }

    for (std::size_t r = 0; r < records.size(); ++r) {
      for (const auto& [field, value] : blobs[r]) {
        const auto f = static_cast<std::size_t>(field);
        const int w = dest.offsets_[f + 1] - dest.offsets_[f];
        std::uint8_t* p = records[r].data() + dest.offsets_[f];
        const QByteArray lead =
            (dest.fields_[f].type == FieldType::Graphic ? value.mid(8) : value).left(w - 10);
        std::memcpy(p, lead.constData(), static_cast<std::size_t>(lead.size()));
        WriteBlobRef(p, w, dest.StoreBlob(field, value));
      }
      const std::uint32_t slot = dest.NewSlot(records[r].data());
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
