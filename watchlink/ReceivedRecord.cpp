#include "watchlink/ReceivedRecord.h"

#include <QFile>
#include <cstdlib>

#include "platform/os/Formats.h"
#include "resources/Strings.h"
#include "store/Dataunit.h"
#include "store/DiveProfile.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"

namespace watch {
namespace {

constexpr int kDateField = 50;       // "Date"
constexpr int kEntryField = 52;      // "Entry Time"
constexpr int kSurfField = 53;       // "Surf. Time"
constexpr int kRestField = 61;       // "Rest Time"
constexpr int kDiveTimeField = 62;   // "Dive Time"

constexpr int kSecondsPerSample = 5;
constexpr int kMetricDepthCounts = 10;   // 1.0 m in tenths
constexpr int kImperialDepthCounts = 4;  // 4 ft

// A sample line as its decimal number: leading digits after an optional
// sign, like the C library reads it; 0 when there are none.
long long LineValue(const QString& line) {
  qsizetype i = 0;
  bool negative = false;
  if (i < line.size() && (line[i] == u'-' || line[i] == u'+')) negative = line[i++] == u'-';
  long long v = 0;
  for (; i < line.size() && line[i].isDigit() && v < 1'000'000'000LL; ++i) {
    v = v * 10 + line[i].digitValue();
  }
  return negative ? -v : v;
}

QByteArray ReadFile(const QString& path, bool* ok) {
  QFile file(path);
  *ok = file.open(QIODevice::ReadOnly);
  return *ok ? file.readAll() : QByteArray();
}

QString TwoDigits(long long v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); }

}  // namespace

RecordDefaults ReadRecordDefaults(const TVelmDataModule& dm) {
  RecordDefaults d;
  d.diver = dm.DefaultDiver;
  d.buddy = dm.DefaultBuddy;
  d.place = dm.DefaultPlace;
  d.articles = velmq::UserArticleDefaults();
  return d;
}

QString CountDiveTime(const QString& path) {
  bool ok = false;
  const QByteArray text = ReadFile(path, &ok);
  long long count = 0;
  if (ok && !text.isEmpty()) {
    const char unit = text.at(0);
    const long long threshold =
        unit == 'M' ? kMetricDepthCounts : unit == 'F' ? kImperialDepthCounts : -1;
    if (threshold > 0) {
      for (const QString& line : store::SplitProfileText(text).depth) {
        if (LineValue(line) >= threshold) ++count;
      }
    }
  }
  const long long seconds = count * kSecondsPerSample;
  return TwoDigits(seconds / 3600) + u':' + TwoDigits(seconds % 3600 / 60) + u':' +
         TwoDigits(seconds % 60);
}

int AverageWaterTemperature(const QString& path) {
  bool ok = false;
  const QByteArray text = ReadFile(path, &ok);
  if (!ok) return 0;
  const std::vector<QString> water = store::SplitProfileText(text).water;
  if (water.empty()) return 0;
  long long sum = 0;
  for (const QString& line : water) sum += LineValue(line);
  return static_cast<int>(sum / static_cast<long long>(water.size()));
}

QString UnitValueText(char unit, int value) {
  if (unit != 'M') return QString::number(value);
  const QString sign = value < 0 ? QStringLiteral("-") : QString();
  const int a = std::abs(value);
  return sign + QString::number(a / 10) + u'.' + QString::number(a % 10);
}

ReceivedRecord BuildReceivedRecord(const WatchHeader& h, int number, const RecordDefaults& d,
                                   const QString& diveTime, int averageWater) {
  ReceivedRecord out;
  JournalRecord& r = out.record;
  // A value that gives no valid date or time leaves its field empty and is
  // named for the user; the rest of the dive is kept.
  const auto convert = [&out](int fieldId, const QString& text, auto conversion) {
    std::optional<double> value = conversion(text);
    if (!value) out.unreadable << res::LoadStr(fieldId) + u' ' + text;
    return value;
  };
  const auto date = [](const QString& t) { return fmt::StrToDate(t); };
  const auto time = [](const QString& t) { return fmt::StrToTime(t); };
  const auto hms = [](int a, int b, int c) {
    return QStringLiteral("%1:%2:%3").arg(a).arg(b).arg(c);
  };

  r.Mode = h.unit == 'F' ? 2 : 1;
  r.Date = convert(kDateField, QStringLiteral("%1/%2/%3").arg(h.year).arg(h.month).arg(h.day), date);
  r.No = h.diveNumber == 0 ? QStringLiteral("-") : QString::number(h.diveNumber);
  r.EntryTime = convert(kEntryField, hms(h.entryHour, h.entryMinute, h.entrySecond), time);
  r.SurfTime = convert(kSurfField, hms(h.surfacingHour, h.surfacingMinute, h.surfacingSecond), time);
  r.RestTime = convert(kRestField, QStringLiteral("%1:%2:00").arg(h.restHours).arg(h.restMinutes), time);
  r.MaxDepth = UnitValueText(h.unit, h.maxDepth);
  r.MinWater = UnitValueText(h.unit, h.minWaterTemperature);
  r.AveWater = averageWater == 0 ? QStringLiteral("0") : UnitValueText(h.unit, averageWater);
  r.AveDepth = UnitValueText(h.unit, h.averageDepth);
  r.DiveTime = convert(kDiveTimeField, diveTime, time);
  r.WatchData = 1;
  r.ID = number;
  r.Diver = d.diver;
  r.Buddy = d.buddy;
  r.Site = d.place;
  for (std::size_t i = 0; i < 4; ++i) {
    r.UserArticle[i] = d.articles[i].article;
    r.UserContent[i] = d.articles[i].content;
  }
  return out;
}

ReceivedRecord CreateReceivedRecord(db::Table& table, const WatchHeader& header, int number,
                                    const QString& path, const RecordDefaults& defaults) {
  ReceivedRecord out = BuildReceivedRecord(header, number, defaults, CountDiveTime(path),
                                           AverageWaterTemperature(path));
  journal::AppendRecord(table, out.record);
  return out;
}

}  // namespace watch
