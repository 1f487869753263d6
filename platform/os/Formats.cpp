#include "platform/os/Formats.h"

#include <QDate>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace fmt {
namespace {

constexpr qint64 kJulianDayZero = 2415019;  // 1899-12-30

std::optional<int> PartToInt(const QString& part) {
  bool ok = false;
  const QString t = part.trimmed();
  if (t.isEmpty()) return std::nullopt;
  for (QChar c : t) {
    if (!c.isDigit()) return std::nullopt;
  }
  const int v = t.toInt(&ok);
  if (!ok) return std::nullopt;
  return v;
}

}  // namespace

std::optional<DateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999) return std::nullopt;
  const QDate d(year, month, day);
  if (!d.isValid()) return std::nullopt;
  return static_cast<double>(d.toJulianDay() - kJulianDayZero);
}

std::optional<DateTime> TryEncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      msec < 0 || msec > 999) {
    return std::nullopt;
  }
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMsPerDay;
}

DateParts DecodeDate(DateTime value) {
  const qint64 days = static_cast<qint64>(std::trunc(value));
  const QDate d = QDate::fromJulianDay(days + kJulianDayZero);
  return {d.year(), d.month(), d.day()};
}

TimeParts DecodeTime(DateTime value) {
  double frac = std::fabs(value - std::trunc(value));
  qint64 ms = std::llround(frac * kMsPerDay);
  if (ms >= static_cast<qint64>(kMsPerDay)) ms = static_cast<qint64>(kMsPerDay) - 1;
  TimeParts t;
  t.msec = static_cast<int>(ms % 1000);
  ms /= 1000;
  t.second = static_cast<int>(ms % 60);
  ms /= 60;
  t.minute = static_cast<int>(ms % 60);
  t.hour = static_cast<int>(ms / 60);
  return t;
}

int DayOfWeek(DateTime value) {
  const qint64 days = static_cast<qint64>(std::trunc(value));
  // 1899-12-30 was a Saturday (7).
  const qint64 r = ((days % 7) + 7 + 6) % 7;  // 0 = Sunday
  return static_cast<int>(r) + 1;
}

namespace {
// Zero-padded digits written straight into the text: these run for every
// date and time of every record the journal mirror writes.
void PutDigits(QChar* out, int value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = QChar(static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  }
}
}  // namespace

QString DateToStr(DateTime value) {
  const DateParts p = DecodeDate(value);
  QString s(10, kDateSeparator);
  PutDigits(s.data(), std::clamp(p.year, 0, 9999), 4);
  PutDigits(s.data() + 5, p.month, 2);
  PutDigits(s.data() + 8, p.day, 2);
  return s;
}

QString TimeToStr(DateTime value) {
  const TimeParts t = DecodeTime(value);
  QString s(8, u':');
  PutDigits(s.data(), t.hour, 2);
  PutDigits(s.data() + 3, t.minute, 2);
  PutDigits(s.data() + 6, t.second, 2);
  return s;
}

QString DateTimeToStr(DateTime value) {
  QString s = DateToStr(value);
  if (value != std::trunc(value)) s += u' ' + TimeToStr(value);
  return s;
}

std::optional<DateTime> StrToDate(const QString& text) {
  const QStringList parts = text.trimmed().split(kDateSeparator);
  if (parts.size() != 3) return std::nullopt;
  const auto y = PartToInt(parts[0]);
  const auto m = PartToInt(parts[1]);
  const auto d = PartToInt(parts[2]);
  if (!y || !m || !d) return std::nullopt;
  return TryEncodeDate(*y, *m, *d);
}

std::optional<DateTime> StrToTime(const QString& text) {
  const QStringList parts = text.trimmed().split(u':');
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  const auto h = PartToInt(parts[0]);
  const auto n = PartToInt(parts[1]);
  const auto s = parts.size() == 3 ? PartToInt(parts[2]) : std::optional<int>(0);
  if (!h || !n || !s) return std::nullopt;
  return TryEncodeTime(*h, *n, *s);
}

std::optional<DateTime> StrToDateTime(const QString& text) {
  const QString t = text.trimmed();
  const qsizetype space = t.indexOf(u' ');
  if (space < 0) return StrToDate(t);
  const auto d = StrToDate(t.left(space));
  const auto tm = StrToTime(t.mid(space + 1));
  if (!d || !tm) return std::nullopt;
  return *d + *tm;
}

std::optional<double> StrToFloat(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  for (QChar c : t) {
    if (!(c.isDigit() || c == kDecimalSeparator || c == u'-' || c == u'+' || c == u'e' ||
          c == u'E')) {
      return std::nullopt;
    }
  }
  bool ok = false;
  const double v = t.toDouble(&ok);  // QString::toDouble is locale-independent "C"
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int> StrToInt(const QString& text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return v;
}

QString FloatToStr(double value) { return QString::number(value, 'g', 15); }

QString FormatFixed(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

}  // namespace fmt
