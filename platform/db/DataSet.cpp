#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/db/Values.h"
#include "platform/os/Codec.h"
#include "platform/os/Formats.h"

namespace db {

// ---- DataSet ----

int DataSet::FieldIndex(const QString& name) const {
  // Callers almost always spell a name as the table does: try that first,
  // it costs a length check for most fields.
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name == name) return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  }
  return -1;
}

Field DataSet::FieldByName(const QString& name) {
  const int i = FieldIndex(name);
  if (i < 0)
    throw DbError(ErrorKind::NotFound,
                  QStringLiteral("%1: field \"%2\" not found").arg(DisplayName(), name));
  return Field(this, i);
}

void DataSet::DisableControls() { ++disabled_; }

void DataSet::EnableControls() {
  if (disabled_ > 0 && --disabled_ == 0) Notify(DataEvent::DataChanged);
}

void DataSet::AddObserver(DataObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void DataSet::RemoveObserver(DataObserver* observer) { std::erase(observers_, observer); }

void DataSet::Notify(DataEvent event) {
  if (disabled_ > 0) return;
  const auto copy = observers_;  // an observer may detach itself
  for (DataObserver* o : copy) o->DataSetEvent(event);
}

void DataSet::SetFieldList(std::vector<FieldDef> fields, int keyFields) {
  fields_ = std::move(fields);
  keyFields_ = keyFields;
  offsets_.assign(fields_.size() + 1, 0);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    offsets_[i + 1] = offsets_[i] + FieldWidth(fields_[i].type, fields_[i].size);
  }
  recordSize_ = offsets_.back();
  visible_.assign(fields_.size(), 1);
}

void DataSet::StepNext(std::size_t count) {
  if (static_cast<std::size_t>(pos_) + 1 < count) {
    ++pos_;
    bof_ = false;
    Notify(DataEvent::Scrolled);
  } else {
    eof_ = true;
  }
}

void DataSet::StepPrior() {
  if (pos_ > 0) {
    --pos_;
    eof_ = false;
    Notify(DataEvent::Scrolled);
  } else {
    bof_ = true;
  }
}

void DataSet::NoRecord() const {
  throw DbError(ErrorKind::NotFound,
                QStringLiteral("%1: there is no current record").arg(DisplayName()));
}

std::uint8_t* DataSet::WritableFieldBytes(int) {
  throw DbError(ErrorKind::Usage, QStringLiteral("%1 is read-only").arg(DisplayName()));
}

void DataSet::SetStoredBlob(int, const QByteArray&) {
  throw DbError(ErrorKind::Usage, QStringLiteral("%1 is read-only").arg(DisplayName()));
}

// ---- Field ----

const QString& Field::Name() const { return set_->fields_[static_cast<std::size_t>(index_)].name; }
FieldType Field::Type() const { return set_->fields_[static_cast<std::size_t>(index_)].type; }
int Field::Size() const { return set_->fields_[static_cast<std::size_t>(index_)].size; }
const std::uint8_t* Field::Bytes() const { return set_->FieldBytes(index_); }
std::uint8_t* Field::WritableBytes() const { return set_->WritableFieldBytes(index_); }

namespace {
const FieldDef& Def(const DataSet* set, int i) {
  return set->FieldList()[static_cast<std::size_t>(i)];
}
}  // namespace

bool Field::IsNull() const { return values::IsNull(Def(set_, index_), Bytes()); }

QString Field::AsString() const {
  const FieldDef& f = Def(set_, index_);
  if (IsBlobType(f.type)) {
    const QByteArray blob = AsBlob();
    return os::FromAnsi(blob);
  }
  return values::ToText(f, Bytes());
}

void Field::SetAsString(const QString& text) {
  const FieldDef& f = Def(set_, index_);
  if (f.type == FieldType::Memo || f.type == FieldType::FmtMemo) {
    SetAsBlob(os::ToAnsi(text));
    return;
  }
  values::FromText(f, text, WritableBytes());
}

int Field::AsInteger() const {
  const FieldDef& f = Def(set_, index_);
  if (values::IsNumeric(f.type)) {
    const double v = std::trunc(values::ToNumber(f, Bytes()));
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) {
      throw DbError(
          ErrorKind::Usage,
          QStringLiteral("Field \"%1\" holds a value beyond the integer range").arg(f.name));
    }
    return static_cast<int>(v);
  }
  const QString text = AsString();
  if (text.trimmed().isEmpty()) return 0;
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (!ok)
    throw DbError(ErrorKind::Usage, QStringLiteral("'%1' is not a valid integer value").arg(text));
  return v;
}

void Field::SetAsInteger(int value) {
  const FieldDef& f = Def(set_, index_);
  if (values::IsNumeric(f.type)) {
    values::FromNumber(f, value, WritableBytes());
  } else {
    SetAsString(QString::number(value));
  }
}

double Field::AsFloat() const {
  const FieldDef& f = Def(set_, index_);
  if (values::IsNumeric(f.type)) return values::ToNumber(f, Bytes());
  if (values::IsDateLike(f.type)) return values::ToDateTime(f, Bytes());
  const QString text = AsString();
  if (text.trimmed().isEmpty()) return 0;
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok) throw DbError(ErrorKind::Usage, QStringLiteral("'%1' is not a valid number").arg(text));
  return v;
}

void Field::SetAsFloat(double value) {
  const FieldDef& f = Def(set_, index_);
  if (values::IsNumeric(f.type)) {
    values::FromNumber(f, value, WritableBytes());
  } else if (values::IsDateLike(f.type)) {
    values::FromDateTime(f, value, WritableBytes());
  } else {
    SetAsString(QString::number(value));
  }
}

double Field::AsDateTime() const {
  const FieldDef& f = Def(set_, index_);
  if (values::IsDateLike(f.type)) return values::ToDateTime(f, Bytes());
  const QString text = AsString();
  if (text.trimmed().isEmpty()) return 0;
  auto v = fmt::StrToDateTime(text);
  if (!v) v = fmt::StrToDate(text);
  if (!v) v = fmt::StrToTime(text);
  if (!v)
    throw DbError(ErrorKind::Usage, QStringLiteral("'%1' is not a valid date and time").arg(text));
  return *v;
}

void Field::SetAsDateTime(double value) {
  const FieldDef& f = Def(set_, index_);
  if (values::IsDateLike(f.type)) {
    values::FromDateTime(f, value, WritableBytes());
  } else {
    SetAsString(fmt::DateTimeToStr(value));
  }
}

namespace {
void RequireAlpha(const FieldDef& f) {
  if (f.type != FieldType::Alpha)
    throw DbError(ErrorKind::Usage, QStringLiteral("Field \"%1\" is not an alpha field").arg(f.name));
}
}  // namespace

std::string_view Field::AsAnsi() const {
  const FieldDef& f = Def(set_, index_);
  RequireAlpha(f);
  const auto* c = reinterpret_cast<const char*>(Bytes());
  return {c, strnlen(c, static_cast<std::size_t>(f.size))};
}

void Field::SetAsAnsi(std::string_view bytes) {
  const FieldDef& f = Def(set_, index_);
  RequireAlpha(f);
  std::uint8_t* p = WritableBytes();
  const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(f.size));
  std::memcpy(p, bytes.data(), n);
  std::memset(p + n, 0, static_cast<std::size_t>(f.size) - n);
}

QByteArray Field::AsBlob() const {
  const FieldDef& f = Def(set_, index_);
  if (!IsBlobType(f.type)) {
    throw DbError(ErrorKind::Usage, QStringLiteral("Field \"%1\" is not a blob field").arg(f.name));
  }
  const QByteArray stored = set_->StoredBlob(index_);
  return f.type == FieldType::Graphic ? GraphicFromStored(stored) : stored;
}

void Field::SetAsBlob(const QByteArray& value) {
  const FieldDef& f = Def(set_, index_);
  if (!IsBlobType(f.type)) {
    throw DbError(ErrorKind::Usage, QStringLiteral("Field \"%1\" is not a blob field").arg(f.name));
  }
  set_->SetStoredBlob(
      index_, f.type == FieldType::Graphic && !value.isEmpty() ? GraphicToStored(value) : value);
}

void Field::Clear() {
  const FieldDef& f = Def(set_, index_);
  if (IsBlobType(f.type)) {
    set_->SetStoredBlob(index_, {});
    return;
  }
  std::memset(WritableBytes(), 0, static_cast<std::size_t>(FieldWidth(f.type, f.size)));
}

bool Field::Visible() const { return set_->visible_[static_cast<std::size_t>(index_)] != 0; }

void Field::SetVisible(bool visible) {
  set_->visible_[static_cast<std::size_t>(index_)] = visible ? 1 : 0;
  set_->Notify(DataEvent::DataChanged);
}

}  // namespace db
