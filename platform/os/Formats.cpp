#include "platform/os/Formats.h"

#include <QDate>
#include <algorithm>
#include <cmath>

namespace fmt {
namespace {

constexpr qint64 kJulianDayZero = 2415019;  // 1899-12-30

// Blanks as the texts' own characters: QChar's white space, and for
// Windows-1252 bytes the same set after decoding (0x85 is an ellipsis there).
bool IsBlank(QChar c) { return c.isSpace(); }
bool IsBlank(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b == ' ' || (b >= 9 && b <= 13) || b == 0xA0;
}
char16_t Unit(QChar c) { return c.unicode(); }
char16_t Unit(char c) { return static_cast<unsigned char>(c); }

// A decimal number between blanks; `signedValue` allows a leading + or -.
// Nothing for an empty text, other characters or a value beyond int.
template <class Ch>
std::optional<int> ParseInt(const Ch* b, const Ch* e, bool signedValue) {
  while (b != e && IsBlank(*b)) ++b;
  while (e != b && IsBlank(*(e - 1))) --e;
  bool negative = false;
  if (signedValue && b != e && (Unit(*b) == u'+' || Unit(*b) == u'-')) {
    negative = Unit(*b) == u'-';
    ++b;
  }
  if (b == e) return std::nullopt;
  long long v = 0;
  for (; b != e; ++b) {
    const char16_t c = Unit(*b);
    if (c < u'0' || c > u'9') return std::nullopt;
    v = v * 10 + (c - u'0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return std::nullopt;
  return static_cast<int>(v);
}

// Splits at `separator` into at most `maxParts` unsigned numbers; the part
// count when every part is a number, 0 otherwise.
template <class Ch>
int ParseParts(const Ch* b, const Ch* e, char16_t separator, int* parts, int maxParts) {
  int n = 0;
  for (const Ch* start = b;; ++b) {
    if (b == e || Unit(*b) == separator) {
      if (n == maxParts) return 0;
      const auto v = ParseInt(start, b, false);
      if (!v) return 0;
      parts[n++] = *v;
      if (b == e) return n;
      start = b + 1;
    }
  }
}

template <class Ch>
std::optional<DateTime> ParseDate(const Ch* b, const Ch* e) {
  int p[3];
  if (ParseParts(b, e, u'/', p, 3) != 3) return std::nullopt;
  return TryEncodeDate(p[0], p[1], p[2]);
}

template <class Ch>
std::optional<DateTime> ParseTime(const Ch* b, const Ch* e) {
  int p[3] = {0, 0, 0};
  if (ParseParts(b, e, u':', p, 3) < 2) return std::nullopt;
  return TryEncodeTime(p[0], p[1], p[2]);
}

const char* End(std::string_view t) { return t.data() + t.size(); }
const QChar* End(const QString& t) { return t.constData() + t.size(); }

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
void PutDigits(char* out, int value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}
}  // namespace

void DateToAnsi(DateTime value, char* out) {
  const DateParts p = DecodeDate(value);
  PutDigits(out, std::clamp(p.year, 0, 9999), 4);
  out[4] = out[7] = '/';
  PutDigits(out + 5, p.month, 2);
  PutDigits(out + 8, p.day, 2);
}

void TimeToAnsi(DateTime value, char* out) {
  const TimeParts t = DecodeTime(value);
  PutDigits(out, t.hour, 2);
  out[2] = out[5] = ':';
  PutDigits(out + 3, t.minute, 2);
  PutDigits(out + 6, t.second, 2);
}

QString DateToStr(DateTime value) {
  char s[10];
  DateToAnsi(value, s);
  return QString::fromLatin1(s, 10);
}

QString TimeToStr(DateTime value) {
  char s[8];
  TimeToAnsi(value, s);
  return QString::fromLatin1(s, 8);
}

QString DateTimeToStr(DateTime value) {
  QString s = DateToStr(value);
  if (value != std::trunc(value)) s += u' ' + TimeToStr(value);
  return s;
}

std::optional<DateTime> StrToDate(const QString& text) {
  return ParseDate(text.constData(), End(text));
}
std::optional<DateTime> StrToTime(const QString& text) {
  return ParseTime(text.constData(), End(text));
}
std::optional<DateTime> AnsiToDate(std::string_view text) { return ParseDate(text.data(), End(text)); }
std::optional<DateTime> AnsiToTime(std::string_view text) { return ParseTime(text.data(), End(text)); }

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
  return ParseInt(text.constData(), End(text), true);
}
std::optional<int> AnsiToInt(std::string_view text) { return ParseInt(text.data(), End(text), true); }

QString FloatToStr(double value) { return QString::number(value, 'g', 15); }

QString FormatFixed(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

}  // namespace fmt
