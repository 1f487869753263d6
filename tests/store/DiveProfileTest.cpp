// Reading profile files into samples: sections, value texts, unit
// conversion, sample times and the extremes of a load sequence.
#include <gtest/gtest.h>

#include "store/DiveProfile.h"
#include "tests/support/TestFolders.h"

namespace {

using store::kImperial;
using store::kMetric;
using store::kNoProfile;

std::vector<QString> Texts(const std::vector<store::ProfileSample>& samples) {
  std::vector<QString> out;
  for (const auto& s : samples) out.push_back(s.text);
  return out;
}

TEST(ProfileText, SectionsEndAtAnEmptyLineOrTheEnd) {
  struct Case {
    const char* name;
    QByteArray text;
    std::vector<QString> depth, water;
  };
  const QByteArray header = "M,2001,5,12,1,9,0,0,9,40,0,0,0,123,182,80,40\n\n";
  const Case cases[] = {
      {"both sections", header + "007\n123\n\n250\n248\n", {"007", "123"}, {"250", "248"}},
      {"empty depth section", header + "\n250\n248\n", {}, {"250", "248"}},
      {"no temperature section", header + "010\n020\n", {"010", "020"}, {}},
      {"section end at the end of the file", header + "010\n\n", {"010"}, {}},
      {"an empty line ends the temperatures", header + "010\n\n250\n\n999\n", {"010"}, {"250"}},
      {"line breaks with carriage returns", "M,1\r\n\r\n010\r\n020\r\n\r\n250\r\n", {"010", "020"}, {"250"}},
      {"blanks around values; a blank line is empty", header + " 010 \n  \n 250\n", {"010"}, {"250"}},
      {"no line break after the last sample", header + "010\n\n250", {"010"}, {"250"}},
      {"header only", "M,2001,5,12\n", {}, {}},
      {"placeholder of a hand-made record", "this is dummy log File.", {}, {}},
      {"empty file", "", {}, {}},
  };
  for (const Case& c : cases) {
    const store::ProfileLines lines = store::SplitProfileText(c.text);
    EXPECT_EQ(lines.depth, c.depth) << c.name;
    EXPECT_EQ(lines.water, c.water) << c.name;
  }
}

TEST(ProfileText, MetricValueTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {"007", "  0.7"}, {"123", " 12.3"}, {"5", "  0.5"},    {"000", "  0.0"},
      {"1234", "123.4"}, {"abc", "  0.0"}, {"12.5", "  0.0"}, {"-5", " -0.5"},
      {"-123", "-12.3"}, {"+5", "  0.5"}, {"0012", "  1.2"}, {"-0", "  0.0"},
      {"123456789", "12345678.9"}, {"2147483647", "214748364.7"}, {"2147483648", "  0.0"},
      {"12a", "  0.0"}, {"-", "  0.0"}, {"+-1", "  0.0"}, {"", "  0.0"},
  };
  for (const auto& [line, text] : cases) EXPECT_EQ(store::MetricValueText(line), text) << line;
}

TEST(ProfileText, ConversionsCutAfterTheFirstDecimal) {
  struct Case {
    const char* what;
    bool depth;
    QString text;
    int target;
    QString expected;
  };
  const Case cases[] = {
      {"40 feet in metres (12.192)", true, "40", kMetric, "12.1"},
      {"12.3 metres in feet (40.354...)", true, " 12.3", kImperial, "40.3"},
      {"0.7 metres in feet (2.296...)", true, "  0.7", kImperial, "2.2"},
      {"feet line with leading zeros", true, "007", kMetric, "2.1"},
      {"zero stays zero", true, "  0.0", kImperial, "0"},
      {"33.8 Fahrenheit lands a hair under 1 Celsius and is cut", false, "33.8", kMetric, "0.9"},
      {"a whole result has no point to cut", true, "1000", kMetric, "304.8"},
      {"77 Fahrenheit in Celsius", false, "77", kMetric, "25"},
      {"25.0 Celsius in Fahrenheit", false, " 25.0", kImperial, "77"},
      {"18.2 Celsius in Fahrenheit (64.76)", false, " 18.2", kImperial, "64.7"},
      {"20 Fahrenheit is below zero (-6.66...)", false, "20", kMetric, "-6.6"},
      {"a text that is no number is kept", true, "abc", kMetric, "abc"},
      {"another target keeps the text", false, "77", 3, "77"},
  };
  for (const Case& c : cases) {
    const QString got =
        c.depth ? store::ConvertDepthText(c.text, c.target) : store::ConvertWaterText(c.text, c.target);
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

TEST(ProfileText, SampleTimesAndUnits) {
  store::ProfileLines lines;
  for (int i = 0; i < 721; ++i) lines.depth.push_back("007");
  lines.water = {"077", "076"};

  const store::ProfileSamples feet = store::SamplesFromLines(lines, kImperial, 0);
  EXPECT_EQ(feet.depth[0].text, "007");  // feet lines stay as they are
  EXPECT_EQ(feet.depth[0].value, 7);
  EXPECT_EQ(feet.water[1].text, "076");
  EXPECT_EQ(feet.depth[0].seconds, 5);
  EXPECT_EQ(store::SampleTimeText(feet.depth[0].seconds), "00:00:05");
  EXPECT_EQ(store::SampleTimeText(feet.depth[720].seconds), "01:00:05");
  EXPECT_EQ(feet.water[0].seconds, 300);
  EXPECT_EQ(store::SampleTimeText(feet.water[1].seconds), "00:10:00");
  EXPECT_DOUBLE_EQ(feet.water[0].Time(), 300 / 86400.0);

  const store::ProfileSamples metric = store::SamplesFromLines(lines, kMetric, 0);
  EXPECT_EQ(metric.depth[0].text, "  0.7");
  EXPECT_DOUBLE_EQ(metric.depth[0].value, 0.7);
  EXPECT_EQ(metric.water[0].text, "  7.7");

  // A feet record drawn in metres: every depth and temperature converted.
  const store::ProfileSamples converted = store::SamplesFromLines(lines, kImperial, kMetric);
  EXPECT_EQ(Texts(converted.water), (std::vector<QString>{"25", "24.4"}));
  for (const auto& d : converted.depth) EXPECT_EQ(d.text, "2.1");
}

class ProfileLoadTest : public test::TestFolders {
 protected:
  QString Write(const QString& name, const QByteArray& samples) {
    const QString path = InProgram(name);
    test::WriteAll(path, "M,2001,5,12,1,9,0,0,9,40,0,0,0,123,182,80,40\n\n" + samples);
    return path;
  }
  store::ProfileExtremes extremes;
  store::MAXMIN maxmin;
};

TEST_F(ProfileLoadTest, ExtremesOfASequence) {
  // Slot 1: 3 depth samples to 12.3 m, temperatures 18.2 and 25.8.
  const QString first = Write("VELM0001.LOG", "050\n123\n080\n\n258\n182\n");
  // Slot 2: 70 samples of 4.5 m and one temperature of 20.0.
  QByteArray longer;
  for (int i = 0; i < 70; ++i) longer += "045\n";
  const QString second = Write("VELM0002.LOG", longer + "\n200\n");

  store::ProfileLoad load = store::LoadProfileSamples(first, kMetric, 0, 1, extremes, maxmin);
  EXPECT_EQ(load.result, kMetric);
  EXPECT_EQ(Texts(load.samples.depth), (std::vector<QString>{"  5.0", " 12.3", "  8.0"}));
  EXPECT_EQ(maxmin.maxDepth[0], 12);
  EXPECT_DOUBLE_EQ(maxmin.maxWater[0], 25.8);
  EXPECT_DOUBLE_EQ(maxmin.minWater[0], 18.2);
  EXPECT_EQ(maxmin.count, 1);
  EXPECT_EQ(extremes.longestTime, 600);  // two temperatures outlast three depths

  load = store::LoadProfileSamples(second, kMetric, 0, 2, extremes, maxmin);
  EXPECT_EQ(load.result, kMetric);
  EXPECT_EQ(maxmin.maxDepth[1], 4);
  EXPECT_EQ(maxmin.count, 2);
  // Position 2 combines the two dives.
  EXPECT_EQ(maxmin.maxDepth[2], 12);
  EXPECT_DOUBLE_EQ(maxmin.maxWater[2], 25.8);
  EXPECT_DOUBLE_EQ(maxmin.minWater[2], 18.2);

  EXPECT_EQ(extremes.maxDepth, 12);
  EXPECT_EQ(extremes.minDepth, 0);
  EXPECT_DOUBLE_EQ(extremes.maxWater, 25.8);
  EXPECT_DOUBLE_EQ(extremes.minWater, 18.2);
  EXPECT_EQ(extremes.longestTime, 600);  // 70 x 5 s is less than 600 s

  // Loading slot 1 again replaces its position, then recombines.
  const QString shallow = Write("VELM0003.LOG", "020\n\n300\n");
  store::LoadProfileSamples(shallow, kMetric, 0, 1, extremes, maxmin);
  EXPECT_EQ(maxmin.maxDepth[0], 2);
  EXPECT_EQ(maxmin.count, 1);
  EXPECT_DOUBLE_EQ(maxmin.maxWater[1], 30.0);
}

TEST_F(ProfileLoadTest, FeetRecordInMetresKeepsItsOwnMode) {
  const QString path = Write("VELM0004.LOG", "040\n010\n\n077\n");
  const store::ProfileLoad load = store::LoadProfileSamples(path, kImperial, kMetric, 1, extremes, maxmin);
  EXPECT_EQ(load.result, kImperial);
  EXPECT_EQ(Texts(load.samples.depth), (std::vector<QString>{"12.1", "3.0"}));
  EXPECT_EQ(Texts(load.samples.water), (std::vector<QString>{"25"}));
  EXPECT_EQ(extremes.maxDepth, 12);
  EXPECT_DOUBLE_EQ(extremes.maxWater, 25);
}

TEST_F(ProfileLoadTest, DivesWithoutDepthSamplesGiveNoProfileAndLeaveTheExtremes) {
  const QString good = Write("VELM0005.LOG", "100\n\n200\n");
  ASSERT_EQ(store::LoadProfileSamples(good, kMetric, 0, 1, extremes, maxmin).result, kMetric);
  const store::ProfileExtremes before = extremes;

  struct Case {
    const char* name;
    QString path;
  };
  const Case cases[] = {
      {"empty depth section with temperatures", Write("VELM0006.LOG", "\n350\n360\n")},
      {"placeholder of a hand-made record", InProgram("VELM0007.LOG")},
      {"missing file", InProgram("VELM0008.LOG")},
  };
  test::WriteAll(InProgram("VELM0007.LOG"), "this is dummy log File.");
  for (const Case& c : cases) {
    maxmin.maxDepth[1] = 99;  // left from an earlier sequence
    const store::ProfileLoad load = store::LoadProfileSamples(c.path, kMetric, 0, 2, extremes, maxmin);
    EXPECT_EQ(load.result, kNoProfile) << c.name;
    EXPECT_TRUE(load.samples.depth.empty()) << c.name;
    EXPECT_EQ(maxmin.maxDepth[1], 0) << c.name;
    EXPECT_DOUBLE_EQ(maxmin.maxWater[1], -9999.0) << c.name;
    EXPECT_EQ(extremes.maxDepth, before.maxDepth) << c.name;
    EXPECT_DOUBLE_EQ(extremes.maxWater, before.maxWater) << c.name;
    EXPECT_DOUBLE_EQ(extremes.minWater, before.minWater) << c.name;
    EXPECT_EQ(extremes.longestTime, before.longestTime) << c.name;
  }
  // Slots outside 1-8 are refused without touching anything.
  for (int slot : {0, 9}) {
    EXPECT_EQ(store::LoadProfileSamples(good, kMetric, 0, slot, extremes, maxmin).result, kNoProfile);
  }
}

TEST(ProfileExtremesTest, ResetValues) {
  store::MAXMIN m;
  m.count = 3;
  m.maxDepth[8] = 5;
  m.minWater[4] = 1;
  m.Reset();
  EXPECT_EQ(m.count, 0);
  for (int p = 0; p < store::MAXMIN::kPositions; ++p) {
    EXPECT_EQ(m.maxDepth[p], 0);
    EXPECT_DOUBLE_EQ(m.maxWater[p], -9999.0);
    EXPECT_DOUBLE_EQ(m.minWater[p], 9999.0);
  }
  store::ProfileExtremes e{12, -1, 25.0, 18.0, 600};
  e.Reset();
  EXPECT_EQ(e.maxDepth, -10000);
  EXPECT_EQ(e.minDepth, 0);
  EXPECT_DOUBLE_EQ(e.maxWater, -10000.0);
  EXPECT_DOUBLE_EQ(e.minWater, 10000.0);
  EXPECT_EQ(e.longestTime, 0);
}

}  // namespace
