#include "store/JournalCsv.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

#include "platform/os/Codec.h"
#include "platform/os/Formats.h"
#include "platform/os/SaveFile.h"

namespace csv {
namespace {

struct Column {
  int start;
  int width;
};

// Column positions, in file order.
constexpr Column kId{0, 4}, kMode{5, 1}, kDate{7, 10}, kNo{18, 1}, kEntry{20, 8}, kSurf{29, 8},
    kAveDepth{38, 5}, kMaxDepth{44, 5}, kAveWater{50, 5}, kMinWater{56, 5}, kRest{62, 8},
    kDive{71, 8}, kWatchData{80, 1}, kDiver{82, 20}, kBuddy{103, 20}, kSite{124, 20},
    kWeather{145, 12}, kTemp{158, 4}, kClarity{163, 4}, kCapacity{168, 4}, kMaterial{173, 10},
    kWeight{184, 4}, kStart{189, 4}, kEnd{194, 4}, kConsum{199, 7}, kMemo{343, 200};
constexpr Column kArticle[4] = {{207, 12}, {241, 12}, {275, 12}, {309, 12}};
constexpr Column kContent[4] = {{220, 20}, {254, 20}, {288, 20}, {322, 20}};

// Every column is followed by a comma, except the memo, which the line end
// follows.
constexpr int kCommas[] = {4,   6,   17,  19,  28,  37,  43,  49,  55,  61,  70,  79,
                           81,  102, 123, 144, 157, 162, 167, 172, 183, 188, 193, 198,
                           206, 219, 240, 253, 274, 287, 308, 321, 342};

void Put(char* record, Column c, const QByteArray& bytes) {
  std::memcpy(record + c.start, bytes.constData(),
              static_cast<std::size_t>(std::min<qsizetype>(bytes.size(), c.width)));
}

void Put(char* record, Column c, const QString& text) {
  os::ToAnsiInto(text, record + c.start, c.width);
}

void PutTime(char* record, Column c, const std::optional<double>& value) {
  if (value) Put(record, c, fmt::TimeToStr(*value));
}

// The column's text with trailing blanks removed.
QString Take(const char* record, Column c) {
  int n = c.width;
  while (n > 0 && (record[c.start + n - 1] == ' ' || record[c.start + n - 1] == '\0')) --n;
  return os::FromAnsi(record + c.start, n);
}

std::optional<double> TakeTime(const char* record, Column c) {
  const QString text = Take(record, c);
  if (text.isEmpty()) return std::nullopt;
  return fmt::StrToTime(text);
}

}  // namespace

QByteArray EncodeRecord(const JournalRecord& r) {
  QByteArray out(kRecordSize, ' ');
  char* p = out.data();
  Put(p, kId, QByteArray::number(r.ID).rightJustified(4, ' '));
  p[kMode.start] = r.Mode == 2 ? 'F' : 'M';
  if (r.Date) Put(p, kDate, fmt::DateToStr(*r.Date));
  Put(p, kNo, r.No);
  PutTime(p, kEntry, r.EntryTime);
  PutTime(p, kSurf, r.SurfTime);
  Put(p, kAveDepth, r.AveDepth);
  Put(p, kMaxDepth, r.MaxDepth);
  Put(p, kAveWater, r.AveWater);
  Put(p, kMinWater, r.MinWater);
  PutTime(p, kRest, r.RestTime);
  PutTime(p, kDive, r.DiveTime);
  Put(p, kWatchData, QByteArray::number(r.WatchData));
  Put(p, kDiver, r.Diver);
  Put(p, kBuddy, r.Buddy);
  Put(p, kSite, r.Site);
  Put(p, kWeather, r.Weather);
  Put(p, kTemp, r.Temp);
  Put(p, kClarity, r.Clarity);
  Put(p, kCapacity, r.TankCapacity);
  Put(p, kMaterial, r.TankMaterial);
  Put(p, kWeight, r.Weight);
  Put(p, kStart, r.StartPres);
  Put(p, kEnd, r.EndPres);
  Put(p, kConsum, r.AirConsum);
  for (int i = 0; i < 4; ++i) {
    Put(p, kArticle[i], r.UserArticle[static_cast<std::size_t>(i)]);
    Put(p, kContent[i], r.UserContent[static_cast<std::size_t>(i)]);
  }
  Put(p, kMemo, r.Memo);
  for (int comma : kCommas) p[comma] = ',';
  p[543] = '\r';
  p[544] = '\n';
  std::replace(out.begin(), out.end(), '\0', ' ');
  return out;
}

std::optional<JournalRecord> DecodeRecord(const char* p) {
  JournalRecord r;
  const auto id = fmt::StrToInt(Take(p, kId));
  if (!id) return std::nullopt;
  r.ID = *id;
  r.Mode = p[kMode.start] == 'F' ? 2 : 1;
  const QString date = Take(p, kDate);
  if (!date.isEmpty()) r.Date = fmt::StrToDate(date);
  r.No = Take(p, kNo);
  r.EntryTime = TakeTime(p, kEntry);
  r.SurfTime = TakeTime(p, kSurf);
  r.AveDepth = Take(p, kAveDepth);
  r.MaxDepth = Take(p, kMaxDepth);
  r.AveWater = Take(p, kAveWater);
  r.MinWater = Take(p, kMinWater);
  r.RestTime = TakeTime(p, kRest);
  r.DiveTime = TakeTime(p, kDive);
  r.WatchData = fmt::StrToInt(Take(p, kWatchData)).value_or(0);
  r.Diver = Take(p, kDiver);
  r.Buddy = Take(p, kBuddy);
  r.Site = Take(p, kSite);
  r.Weather = Take(p, kWeather);
  r.Temp = Take(p, kTemp);
  r.Clarity = Take(p, kClarity);
  r.TankCapacity = Take(p, kCapacity);
  r.TankMaterial = Take(p, kMaterial);
  r.Weight = Take(p, kWeight);
  r.StartPres = Take(p, kStart);
  r.EndPres = Take(p, kEnd);
  r.AirConsum = Take(p, kConsum);
  for (int i = 0; i < 4; ++i) {
    r.UserArticle[static_cast<std::size_t>(i)] = Take(p, kArticle[i]);
    r.UserContent[static_cast<std::size_t>(i)] = Take(p, kContent[i]);
  }
  r.Memo = Take(p, kMemo);
  return r;
}

bool WriteFile(const QString& path, const RecordSource& source) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  JournalRecord record;
  while (source(record)) {
    if (file.write(EncodeRecord(record)) != kRecordSize) {
      file.cancelWriting();
      return false;
    }
  }
  return os::CommitComplete(file);
}

ReadResult ReadFile(const QString& path, const std::function<void(const JournalRecord&)>& sink) {
  ReadResult result;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return result;
  result.opened = true;
  char buffer[kRecordSize];
  while (file.read(buffer, kRecordSize) == kRecordSize) {
    if (const auto record = DecodeRecord(buffer)) {
      sink(*record);
      ++result.records;
    } else {
      ++result.skipped;
    }
  }
  return result;
}

}  // namespace csv
