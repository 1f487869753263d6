#include "store/JournalCsv.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/db/MemoryDataSet.h"
#include "platform/db/Table.h"
#include "platform/os/Formats.h"
#include "platform/os/SaveFile.h"
#include "store/JournalTable.h"

namespace csv {
namespace {

enum class Kind { Id, Mode, Date, Time, Text, Digit };

// One column of the file: the journal field (by string number) it holds,
// where it starts and how wide it is.
struct Column {
  int field;
  int start;
  int width;
  Kind kind;
};

// In file order. Every column is followed by a comma, except the memo,
// which the line end follows.
constexpr Column kColumns[] = {
    {48, 0, 4, Kind::Id},      {49, 5, 1, Kind::Mode},    {50, 7, 10, Kind::Date},
    {51, 18, 1, Kind::Text},   {52, 20, 8, Kind::Time},   {53, 29, 8, Kind::Time},
    {57, 38, 5, Kind::Text},   {58, 44, 5, Kind::Text},   {59, 50, 5, Kind::Text},
    {60, 56, 5, Kind::Text},   {61, 62, 8, Kind::Time},   {62, 71, 8, Kind::Time},
    {81, 80, 1, Kind::Digit},  {54, 82, 20, Kind::Text},  {56, 103, 20, Kind::Text},
    {55, 124, 20, Kind::Text}, {63, 145, 12, Kind::Text}, {64, 158, 4, Kind::Text},
    {65, 163, 4, Kind::Text},  {67, 168, 4, Kind::Text},  {66, 173, 10, Kind::Text},
    {71, 184, 4, Kind::Text},  {68, 189, 4, Kind::Text},  {69, 194, 4, Kind::Text},
    {70, 199, 7, Kind::Text},  {72, 207, 12, Kind::Text}, {73, 220, 20, Kind::Text},
    {74, 241, 12, Kind::Text}, {75, 254, 20, Kind::Text}, {76, 275, 12, Kind::Text},
    {77, 288, 20, Kind::Text}, {78, 309, 12, Kind::Text}, {79, 322, 20, Kind::Text},
    {80, 343, 200, Kind::Text},
};
static_assert(std::size(kColumns) == 34);

constexpr int kLineEnd = 543;

// The column's bytes with trailing blanks (and zero bytes) removed.
std::string_view Take(const char* record, const Column& c) {
  int n = c.width;
  while (n > 0 && (record[c.start + n - 1] == ' ' || record[c.start + n - 1] == '\0')) --n;
  return {record + c.start, static_cast<std::size_t>(n)};
}

// A number as "%d" prints it, right-aligned in its column or from its left
// end; what does not fit is cut, as with texts.
void PutNumber(char* out, const Column& c, int value, bool rightAligned) {
  char digits[12];
  int n = 0;
  long long v = value;
  const bool negative = v < 0;
  if (negative) v = -v;
  do {
    digits[sizeof digits - 1 - n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (negative) digits[sizeof digits - 1 - n++] = '-';
  const char* text = digits + sizeof digits - n;
  const int shown = std::min(n, c.width);
  const int pad = rightAligned ? std::max(0, c.width - n) : 0;
  std::memcpy(out + c.start + pad, text, static_cast<std::size_t>(shown));
}

}  // namespace

Columns::Columns(db::DataSet& set) : fields_(set) {}

void Columns::Encode(db::DataSet& set, char* out) const {
  std::memset(out, ' ', kRecordSize);
  for (const Column& c : kColumns) {
    const db::Field f = set.Fields(fields_.Index(c.field));
    switch (c.kind) {
      case Kind::Id:
        PutNumber(out, c, f.AsInteger(), true);  // "%4d"
        break;
      case Kind::Digit:
        PutNumber(out, c, f.AsInteger(), false);
        break;
      case Kind::Mode:
        out[c.start] = f.AsInteger() == 2 ? 'F' : 'M';
        break;
      case Kind::Date:
        if (!f.IsNull()) fmt::DateToAnsi(f.AsDateTime(), out + c.start);
        break;
      case Kind::Time:
        if (!f.IsNull()) fmt::TimeToAnsi(f.AsDateTime(), out + c.start);
        break;
      case Kind::Text: {
        // Stored texts end at their first zero byte, so the record holds none.
        const std::string_view text = f.AsAnsi();
        std::memcpy(out + c.start, text.data(),
                    std::min(text.size(), static_cast<std::size_t>(c.width)));
        break;
      }
    }
    if (c.start + c.width < kLineEnd) out[c.start + c.width] = ',';
  }
  out[kLineEnd] = '\r';
  out[kLineEnd + 1] = '\n';
}

std::optional<int> RecordId(const char* in) { return fmt::AnsiToInt(Take(in, kColumns[0])); }

bool Columns::Decode(const char* in, db::DataSet& set) const {
  const std::optional<int> id = RecordId(in);
  if (!id) return false;
  for (const Column& c : kColumns) {
    db::Field f = set.Fields(fields_.Index(c.field));
    const std::string_view text = Take(in, c);
    switch (c.kind) {
      case Kind::Id:
        f.SetAsInteger(*id);
        break;
      case Kind::Digit:
        f.SetAsInteger(fmt::AnsiToInt(text).value_or(0));
        break;
      case Kind::Mode:
        f.SetAsInteger(in[c.start] == 'F' ? 2 : 1);
        break;
      case Kind::Date:
      case Kind::Time: {
        const auto value = text.empty()              ? std::nullopt
                           : c.kind == Kind::Date ? fmt::AnsiToDate(text)
                                                  : fmt::AnsiToTime(text);
        if (value) f.SetAsDateTime(*value);
        else f.Clear();
        break;
      }
      case Kind::Text:
        f.SetAsAnsi(text);
        break;
    }
  }
  return true;
}

QByteArray EncodeRecord(const JournalRecord& record) {
  db::MemoryDataSet one(journal::FieldDefs());
  one.AppendRecord();
  const Columns columns(one);
  journal::FieldMap(one).Write(one, record);
  QByteArray out(kRecordSize, Qt::Uninitialized);
  columns.Encode(one, out.data());
  return out;
}

std::optional<JournalRecord> DecodeRecord(const char* bytes) {
  db::MemoryDataSet one(journal::FieldDefs());
  one.AppendRecord();
  if (!Columns(one).Decode(bytes, one)) return std::nullopt;
  return journal::FieldMap(one).Read(one);
}

bool WriteFile(const QString& path, const RecordSource& source) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // Records are gathered into large writes: a journal of thousands of
  // records is written with a few dozen calls.
  constexpr int kPerWrite = 120;
  std::vector<char> buffer(static_cast<std::size_t>(kPerWrite) * kRecordSize);
  bool more = true;
  int writes = 0;
  while (more) {
    int n = 0;
    while (n < kPerWrite && (more = source(buffer.data() + static_cast<std::size_t>(n) * kRecordSize)))
      ++n;
    const qint64 size = static_cast<qint64>(n) * kRecordSize;
    if (size > 0 && (file.write(buffer.data(), size) != size ||
                     (++writes % 16 == 0 && !os::StartWriteBack(file)))) {
      file.cancelWriting();
      return false;
    }
  }
  return os::CommitComplete(file);
}

ReadResult ReadFile(const QString& path, const std::function<void(const char* record)>& sink) {
  ReadResult result;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return result;
  result.opened = true;
  constexpr int kPerRead = 120;
  std::vector<char> buffer(static_cast<std::size_t>(kPerRead) * kRecordSize);
  qint64 kept = 0;  // bytes of a record begun in the previous read
  for (;;) {
    const qint64 got = file.read(buffer.data() + kept, static_cast<qint64>(buffer.size()) - kept);
    if (got <= 0) break;
    const qint64 have = kept + got;
    const qint64 whole = have / kRecordSize;
    for (qint64 r = 0; r < whole; ++r) {
      sink(buffer.data() + r * kRecordSize);
      ++result.records;
    }
    kept = have - whole * kRecordSize;
    std::memmove(buffer.data(), buffer.data() + whole * kRecordSize, static_cast<std::size_t>(kept));
  }
  return result;
}

}  // namespace csv
