#include "journal_edit/EntryLogic.h"

#include <gtest/gtest.h>

using namespace entry;

TEST(EntryLogic, DepthFactorBands) {
  struct Case {
    const char* depth;
    int unitMode;
    double factor;
  };
  const Case cases[] = {
      {"2.9", 1, 1.00},  {"3", 1, 0.76},    {"3.0", 1, 0.76}, {"12.0", 1, 0.45},
      {"38.9", 1, 0.21}, {"39", 1, -1},     {"-1", 1, -1},    {"", 1, -1},
      {"9", 2, 1.00},    {"10", 2, 0.76},   {"40", 2, 0.45},  {"129", 2, 0.21},
      {"130", 2, -1},    {"abc", 1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(DepthFactor(c.depth, c.unitMode), c.factor) << c.depth << " mode " << c.unitMode;
  }
}

TEST(EntryLogic, AirConsumption) {
  struct Case {
    const char *start, *end, *depth, *h, *m, *s;
    int message;
    const char* text;
  };
  const Case cases[] = {
      {"200", "50", "12.0", "0", "45", "30", 0, "1.47"},   // 150 / 46 * 0.45
      {"200", "50", "2.9", "1", "0", "0", 0, "2.5"},       // 150 / 60 * 1.00
      {"200", "200", "5", "0", "30", "0", 0, "0"},
      {"200", "50", "5", "0", "0", "29", 1925, ""},
      {"200", "50", "2", "0", "0", "30", 0, "150"},        // 30 seconds count as a minute
      {"", "50", "5", "0", "10", "0", 1921, ""},
      {"200", "", "5", "0", "10", "0", 1922, ""},
      {"200", "50", "", "0", "10", "0", 1923, ""},
      {"200", "50", "5", "0", "", "0", 1924, ""},
      {"200", "50", "-1", "0", "10", "0", 1926, ""},
      {"200bar", "x", "5", "0", "10", "0", 0, "15.2"},     // leading numbers; none is 0
  };
  for (const Case& c : cases) {
    const auto r = CalcAirConsumption(c.start, c.end, c.depth, c.h, c.m, c.s, 1);
    EXPECT_EQ(r.messageId, c.message) << c.start << "/" << c.end << " " << c.depth;
    EXPECT_EQ(r.text, c.text) << c.start << "/" << c.end << " " << c.depth;
  }
}

TEST(EntryLogic, RequiredFields) {
  EXPECT_EQ(CheckRequired("2001", "5", "12", "1"), 0);
  EXPECT_EQ(CheckRequired("2001", "5", "12", "-"), 0);
  EXPECT_EQ(CheckRequired("2001", "5", "12", "0"), 0);
  EXPECT_EQ(CheckRequired("", "5", "12", "1"), 1900);
  EXPECT_EQ(CheckRequired("2001", "5", "12", ""), 1900);
  EXPECT_EQ(CheckRequired("2001", "5", "12", "-1"), 1890);
  EXPECT_EQ(CheckRequired("2001", "5", "12", "x"), 1890);  // no number: a message, not a failure
  EXPECT_EQ(StoredNo("0"), "-");
  EXPECT_EQ(StoredNo("3"), "3");
}

TEST(EntryLogic, FieldChecks) {
  EXPECT_EQ(CheckDate("2001", "2", "29"), 1891);
  EXPECT_EQ(CheckDate("2000", "2", "29"), 0);
  EXPECT_EQ(CheckDate("2001", "", "29"), 0);  // checked once all parts are there
  EXPECT_EQ(CheckDecimal("12.5", false), 0);
  EXPECT_EQ(CheckDecimal("12,5", false), 1891);
  EXPECT_EQ(CheckDecimal("-", true), 0);
  EXPECT_EQ(CheckDecimal("-", false), 1891);
  EXPECT_EQ(CheckDecimal("", false), 0);
  const std::pair<const char*, int> hours[] = {{"0", 0}, {"23", 0}, {" 7 ", 0}, {"24", 1910},
                                               {"-1", 1910}, {"a", 1910}, {"", 0}};
  for (const auto& [text, message] : hours) EXPECT_EQ(CheckHour(text), message) << text;
  const std::pair<const char*, int> minutes[] = {{"59", 0}, {"60", 1920}, {"5x", 1920}};
  for (const auto& [text, message] : minutes) EXPECT_EQ(CheckMinuteOrSecond(text), message) << text;
}

TEST(EntryLogic, TimesAndMemo) {
  EXPECT_EQ(JoinTime("1", "", " 5 "), "1:00:5");
  EXPECT_EQ(JoinTime("", "", ""), "00:00:00");
  QString h, m, s;
  SplitTime("09:05:30", h, m, s);
  EXPECT_EQ(h, "09");
  EXPECT_EQ(m, "05");
  EXPECT_EQ(s, "30");
  EXPECT_EQ(JoinMemo("line one\r\nline two\nthree"), "line oneline twothree");
  EXPECT_EQ(FormatHundredths(1.4673913), "1.47");
  EXPECT_EQ(FormatHundredths(2.5), "2.5");
  EXPECT_EQ(FormatHundredths(3.0), "3");
}
