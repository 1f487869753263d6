#include "journal_edit/EntryLogic.h"

#include <array>
#include <cmath>

#include "platform/os/Formats.h"

namespace entry {
namespace {

constexpr int kRequired = 1900;        // "Date and No. are required field"
constexpr int kNumericOrDash = 1890;   // "Enter numeric value or "-""
constexpr int kInvalid = 1891;         // "Invalid data entry"
constexpr int kHourRange = 1910;       // "Enter number between 0 to 23"
constexpr int kMinuteRange = 1920;     // "Enter number between 0 to 59"
constexpr int kNoStartPressure = 1921;  // "Beginning air pressure not entered"
constexpr int kNoEndPressure = 1922;    // "Ending air pressure not entered"
constexpr int kNoAverageDepth = 1923;   // "Average depth figure not entered"
constexpr int kNoDiveTime = 1924;       // "Diving time not entered"
constexpr int kNoMinute = 1925;         // "Must have one minute diving time for calculation"
constexpr int kOutOfRange = 1926;       // "Average depth exceeds mesurable range"

constexpr std::array<double, 13> kFactors = {1.00, 0.76, 0.62, 0.52, 0.45, 0.40, 0.35,
                                             0.32, 0.29, 0.27, 0.25, 0.23, 0.21};

// The leading integer of a text ("12.3" -> 12, "-1" -> -1), or nothing.
std::optional<int> LeadingInteger(const QString& text) {
  return fmt::StrToInt(text.section(u'.', 0, 0));
}

// The leading numeric part of a text, 0 when there is none.
float LeadingNumber(const QString& text) {
  const QString t = text.trimmed();
  qsizetype n = 0;
  while (n < t.size() && (t[n].isDigit() || t[n] == u'.' || (n == 0 && (t[n] == u'-' || t[n] == u'+'))))
    ++n;
  for (; n > 0; --n) {
    if (const auto v = fmt::StrToFloat(t.left(n))) return static_cast<float>(*v);
  }
  return 0.0f;
}

int CheckRange(const QString& text, int maximum, int messageId) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return 0;
  bool digits = true;
  for (QChar c : t) digits = digits && c.isDigit();
  const auto v = fmt::StrToInt(t);
  return digits && v && *v >= 0 && *v <= maximum ? 0 : messageId;
}

}  // namespace

QString JoinTime(const QString& hour, const QString& minute, const QString& second) {
  const auto part = [](const QString& p) {
    const QString t = p.trimmed();
    return t.isEmpty() ? QStringLiteral("00") : t;
  };
  return part(hour) + u':' + part(minute) + u':' + part(second);
}

void SplitTime(const QString& time, QString& hour, QString& minute, QString& second) {
  hour = time.section(u':', 0, 0);
  minute = time.section(u':', 1, 1);
  second = time.section(u':', 2);
}

int CheckRequired(const QString& year, const QString& month, const QString& day,
                  const QString& no) {
  if (year.isEmpty() || month.isEmpty() || day.isEmpty() || no.isEmpty()) return kRequired;
  if (no == QStringLiteral("-")) return 0;
  // A No that is no number at all gets the same message as a negative one.
  const auto n = fmt::StrToInt(no);
  return n && *n >= 0 ? 0 : kNumericOrDash;
}

QString StoredNo(const QString& no) { return no == QStringLiteral("0") ? QStringLiteral("-") : no; }

int CheckDate(const QString& year, const QString& month, const QString& day) {
  if (year.isEmpty() || month.isEmpty() || day.isEmpty()) return 0;
  return fmt::StrToDate(year + u'/' + month + u'/' + day) ? 0 : kInvalid;
}

int CheckDecimal(const QString& text, bool dashAllowed) {
  if (text.isEmpty()) return 0;
  if (dashAllowed && text == QStringLiteral("-")) return 0;
  return fmt::StrToFloat(text) ? 0 : kInvalid;
}

int CheckHour(const QString& text) { return CheckRange(text, 23, kHourRange); }

int CheckMinuteOrSecond(const QString& text) { return CheckRange(text, 59, kMinuteRange); }

double DepthFactor(const QString& averageDepth, int unitMode) {
  const auto d = LeadingInteger(averageDepth);
  if (!d) return -1;
  const int width = unitMode == 2 ? 10 : 3;
  if (*d < 0) return -1;
  const int band = *d / width;
  return band < static_cast<int>(kFactors.size()) ? kFactors[static_cast<std::size_t>(band)] : -1;
}

AirConsumption CalcAirConsumption(const QString& startPressure, const QString& endPressure,
                                  const QString& averageDepth, const QString& hour,
                                  const QString& minute, const QString& second, int unitMode) {
  AirConsumption r;
  if (startPressure.isEmpty()) r.messageId = kNoStartPressure;
  else if (endPressure.isEmpty()) r.messageId = kNoEndPressure;
  else if (averageDepth.isEmpty()) r.messageId = kNoAverageDepth;
  else if (hour.isEmpty() || minute.isEmpty() || second.isEmpty()) r.messageId = kNoDiveTime;
  if (r.messageId != 0) return r;

  int minutes = static_cast<int>(LeadingNumber(hour)) * 60 + static_cast<int>(LeadingNumber(minute));
  if (LeadingNumber(second) >= 30) ++minutes;
  if (minutes == 0) {
    r.messageId = kNoMinute;
    return r;
  }
  const float start = LeadingNumber(startPressure);
  const float end = LeadingNumber(endPressure);
  const double factor = DepthFactor(averageDepth, unitMode);
  if (factor < 0) {
    r.messageId = kOutOfRange;
    return r;
  }
  r.value = (static_cast<double>(start) - end) / minutes * factor;
  r.text = FormatHundredths(r.value);
  return r;
}

QString FormatHundredths(double value) {
  QString s = QString::number(std::round(value * 100.0) / 100.0, 'f', 2);
  while (s.endsWith(u'0')) s.chop(1);
  if (s.endsWith(u'.')) s.chop(1);
  if (s == QStringLiteral("-0")) s = QStringLiteral("0");
  return s;
}

QString JoinMemo(const QString& memo) {
  QString out = memo;
  out.remove(u'\r');
  out.remove(u'\n');
  return out;
}

}  // namespace entry
