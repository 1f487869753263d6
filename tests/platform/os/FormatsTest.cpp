#include "platform/os/Formats.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/os/Codec.h"

using namespace fmt;

TEST(Formats, DatesCountDaysSince18991230) {
  EXPECT_EQ(*TryEncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(*TryEncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(*TryEncodeDate(2001, 5, 12), 37023.0);
  const DateParts p = DecodeDate(37023.75);
  EXPECT_EQ(p.year, 2001);
  EXPECT_EQ(p.month, 5);
  EXPECT_EQ(p.day, 12);
  EXPECT_FALSE(TryEncodeDate(2001, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2001, 13, 1));
}

TEST(Formats, TimesAreFractionsOfADay) {
  EXPECT_DOUBLE_EQ(*TryEncodeTime(12, 0, 0), 0.5);
  const TimeParts t = DecodeTime(*TryEncodeTime(23, 59, 59));
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 59);
  EXPECT_FALSE(TryEncodeTime(25, 0, 0));
  EXPECT_FALSE(TryEncodeTime(1, 60, 0));
}

TEST(Formats, TextsUseTheProcessWideFormats) {
  EXPECT_EQ(DateToStr(37023), "2001/05/12");
  EXPECT_EQ(TimeToStr(*TryEncodeTime(9, 5, 0)), "09:05:00");
  EXPECT_EQ(DateTimeToStr(37023), "2001/05/12");
  EXPECT_EQ(DateTimeToStr(37023 + *TryEncodeTime(9, 5, 7)), "2001/05/12 09:05:07");
}

TEST(Formats, UnpaddedTextsParse) {
  struct Case {
    const char* text;
    std::optional<double> expected;
  };
  const Case dates[] = {{"2001/5/12", 37023},  {"2001/05/12", 37023}, {" 2001/5/12 ", 37023},
                        {"2001/13/1", {}},     {"2001-05-12", {}},    {"", {}},
                        {"2001/5", {}},        {"y/5/12", {}}};
  for (const Case& c : dates) EXPECT_EQ(StrToDate(c.text), c.expected) << c.text;

  EXPECT_DOUBLE_EQ(*StrToTime("1:2:3"), *TryEncodeTime(1, 2, 3));
  EXPECT_DOUBLE_EQ(*StrToTime("1:2"), *TryEncodeTime(1, 2, 0));
  EXPECT_FALSE(StrToTime("25:00:00"));
  EXPECT_FALSE(StrToTime("12"));
  EXPECT_DOUBLE_EQ(*StrToDateTime("2001/5/12 1:2:3"), 37023 + *TryEncodeTime(1, 2, 3));
}

// The single-byte forms read file columns; they must agree with the QString
// forms on every text, including blanks, signs and values out of range.
TEST(Formats, SingleByteTextsConvertLikeStrings) {
  const std::string texts[] = {"2001/5/12", " 2001 / 05 / 12 ", "2001/5/12/1", "2001//12",
                               "1:2:3",     "23:59",            " 9:05:00\t", "1:2:3:4",
                               "24:00:00",  "42",               " +42 ",     "-2147483648",
                               "2147483648", "- 4",             "4x",        "",
                               "\xA0" "7\xA0", "7\x85",         "\x85" "7",   "0009999/1/1"};
  for (const std::string& t : texts) {
    const QString s = os::FromAnsi(t.data(), static_cast<qsizetype>(t.size()));
    EXPECT_EQ(AnsiToDate(t), StrToDate(s)) << t;
    EXPECT_EQ(AnsiToTime(t), StrToTime(s)) << t;
    EXPECT_EQ(AnsiToInt(t), StrToInt(s)) << t;
  }
  EXPECT_EQ(AnsiToInt(" -17 "), -17);
  EXPECT_EQ(AnsiToDate(" 2001 / 05 / 12 "), 37023);
  EXPECT_FALSE(AnsiToInt("7\x85"));  // an ellipsis in Windows-1252, not a blank

  char out[18];
  DateToAnsi(37023.25, out);
  TimeToAnsi(37023 + *TryEncodeTime(9, 5, 7), out + 10);
  EXPECT_EQ(std::string(out, 18), "2001/05/1209:05:07");
}

TEST(Formats, WeekdaysStartOnSunday) {
  EXPECT_EQ(DayOfWeek(0), 7);                         // 1899-12-30, a Saturday
  EXPECT_EQ(DayOfWeek(*TryEncodeDate(2001, 5, 13)), 1);  // a Sunday
  EXPECT_EQ(WeekdayStringId(*TryEncodeDate(2001, 5, 12)), 1007);
  EXPECT_EQ(WeekdayStringId(*TryEncodeDate(2026, 12, 11)), 1006);  // a Friday
  EXPECT_EQ(DayOfWeek(-1), 6);
}

TEST(Formats, NumbersUseADecimalPoint) {
  EXPECT_EQ(StrToFloat("12.5"), 12.5);
  EXPECT_FALSE(StrToFloat("12,5"));
  EXPECT_FALSE(StrToFloat("1,000"));
  EXPECT_FALSE(StrToFloat(""));
  EXPECT_EQ(FloatToStr(12.5), "12.5");
  EXPECT_EQ(FloatToStr(12), "12");
  EXPECT_EQ(FormatFixed(1.466, 2), "1.47");
  EXPECT_EQ(StrToInt(" 42 "), 42);
  EXPECT_FALSE(StrToInt("4x"));
}
