#pragma once
// The process-wide formats: every date, time and number conversion of the
// program goes through here.
//
//   short date   "yyyy/mm/dd"   date separator "/"
//   long time    "hh:nn:ss"
//   decimal "."  thousands ","
//
// Date-time values are held the way the journal has always held them: a
// double counting days since 1899-12-30, the fraction being the time of day
// (0.5 is noon). 0 is "no date". Negative values count back from that day,
// the fraction still being the time of day.
#include <optional>
#include <string_view>

#include <QString>

namespace fmt {

using DateTime = double;

inline constexpr const char* kShortDateFormat = "yyyy/mm/dd";
inline constexpr const char* kLongTimeFormat = "hh:nn:ss";
inline constexpr QChar kDateSeparator = u'/';
inline constexpr QChar kDecimalSeparator = u'.';
inline constexpr QChar kThousandSeparator = u',';

inline constexpr double kMsPerDay = 86400000.0;

std::optional<DateTime> TryEncodeDate(int year, int month, int day);
std::optional<DateTime> TryEncodeTime(int hour, int minute, int second, int msec = 0);

struct DateParts {
  int year = 0, month = 0, day = 0;
};
struct TimeParts {
  int hour = 0, minute = 0, second = 0, msec = 0;
};
DateParts DecodeDate(DateTime value);
TimeParts DecodeTime(DateTime value);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(DateTime value);
// The string number of the weekday name: 1001 "Sun" ... 1007 "Sat".
inline int WeekdayStringId(DateTime value) { return 1000 + DayOfWeek(value); }

QString DateToStr(DateTime value);      // "2001/05/12"
QString TimeToStr(DateTime value);      // "09:05:00"
// Date, and the time when the value has one: "2001/05/12 09:05:00".
QString DateTimeToStr(DateTime value);

// Accept unpadded texts: "2001/5/12", "1:2:3", "1:2" (seconds 0); blanks
// around the parts are allowed. Impossible values give nothing.
std::optional<DateTime> StrToDate(const QString& text);
std::optional<DateTime> StrToTime(const QString& text);
std::optional<DateTime> StrToDateTime(const QString& text);

// Numbers: "." as decimal separator; no thousands separators on input.
std::optional<double> StrToFloat(const QString& text);
std::optional<int> StrToInt(const QString& text);
QString FloatToStr(double value);  // shortest form: 1.5, 12, 0.25
// Fixed decimals: FormatFixed(1.466, 2) == "1.47".
QString FormatFixed(double value, int decimals);

// The same conversions on single-byte texts (Windows-1252, as files hold
// them), for the journal mirror's columns; they accept and give exactly
// what the QString forms do.
std::optional<DateTime> AnsiToDate(std::string_view text);
std::optional<DateTime> AnsiToTime(std::string_view text);
std::optional<int> AnsiToInt(std::string_view text);
void DateToAnsi(DateTime value, char* out);  // 10 bytes "2001/05/12"
void TimeToAnsi(DateTime value, char* out);  // 8 bytes "09:05:00"

}  // namespace fmt
