// Decoding of the header block and the sample stream into profile lines.
#include "watchlink/WatchData.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "tests/support/TestFolders.h"
#include "tests/watchlink/Fakes.h"
#include "tools/DiveImage.h"
#include "watchlink/ProfileWriter.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

Bytes Packed(const std::vector<int>& values) {
  Bytes out;
  watchsim::PackValues(values, out);
  return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---- FillGap ---------------------------------------------------------------

struct GapCase {
  const char* name;
  int a, b, n;
  Lines expected;
};

void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }

class FillGapTest : public ::testing::TestWithParam<GapCase> {};

TEST_P(FillGapTest, WritesTheStepsThenTheTarget) {
  const GapCase& c = GetParam();
  test::LineSink sink;
  EXPECT_EQ(watch::FillGap(c.a, c.b, c.n, sink), watch::kOk);
  EXPECT_EQ(sink.lines, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FillGapTest,
    ::testing::Values(
        GapCase{"upward_even", 100, 200, 3, {"125", "150", "175", "200"}},
        // Remainder 6 is above 4: the step rounds up from 2 to 3.
        GapCase{"to_zero_rounding_up", 20, 0, 6, {"017", "014", "011", "008", "005", "002", "000"}},
        // Quotient 0, remainder 5: step 1, held at the target.
        GapCase{"held_at_target", 5, 0, 9,
                {"004", "003", "002", "001", "000", "000", "000", "000", "000", "000"}},
        // Remainder -1 (sign of the difference) never rounds: step -3.
        GapCase{"negative_remainder", 10, 17, 1, {"013", "017"}},
        // Remainder 4 is not above 4.
        GapCase{"remainder_four", 9, 0, 4, {"008", "007", "006", "005", "000"}},
        GapCase{"no_gap", 40, 7, 0, {"007"}},
        GapCase{"equal_ends", 50, 50, 2, {"050", "050", "050"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- DecodeSamples ---------------------------------------------------------

struct StreamCase {
  const char* name;
  Bytes stream;
  Lines expected;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class DecodeSamplesTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(DecodeSamplesTest, WritesTheProfileLines) {
  const StreamCase& c = GetParam();
  test::LineSink sink;
  EXPECT_EQ(watch::DecodeSamples(c.stream, sink), watch::kOk);
  EXPECT_EQ(sink.lines, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeSamplesTest,
    ::testing::Values(
        StreamCase{"starts_with_end_byte", {0xFF, 0x01, 0x50, 0x25}, {}},
        StreamCase{"two_values_in_three_bytes", {0x01, 0x50, 0x25, 0xFF}, {"015", "025"}},
        StreamCase{"depths_separator_temperatures",
                   Packed({15, 30, 45}) + Bytes{0xEF} + Packed({214, 212}),
                   {"015", "030", "045", "", "214", "212"}},
        StreamCase{"every_separator_writes_a_line", {0xEF, 0xEF, 0xFF}, {"", ""}},
        // First byte of a group only: value A is dropped.
        StreamCase{"separator_after_one_byte", {0x01, 0xEF, 0x02, 0x10, 0x00}, {"", "021", "000"}},
        // Two bytes: A is complete, B's hundreds digit is dropped.
        StreamCase{"separator_after_two_bytes", {0x01, 0x52, 0xEF, 0x03, 0x00, 0x40},
                   {"015", "", "030", "040"}},
        StreamCase{"incomplete_value_at_the_end", {0x01, 0x50, 0x25, 0x03, 0xFF}, {"015", "025"}},
        StreamCase{"missing_sample_before_separator", Packed({100, 999}) + Bytes{0xEF},
                   {"100", "000", ""}},
        StreamCase{"missing_between_good_values", Packed({100, 999, 999, 999, 200}),
                   {"100", "125", "150", "175", "200"}},
        StreamCase{"missing_at_the_start_step_from_zero", Packed({999, 999, 30}),
                   {"010", "020", "030"}},
        // The last depth value carries over into the temperature section.
        StreamCase{"missing_at_the_start_of_temperatures",
                   Packed({200}) + Bytes{0xEF} + Packed({999, 999, 180}),
                   {"200", "", "194", "188", "180"}},
        StreamCase{"missing_run_reaching_the_end", Packed({20, 999, 999, 999, 999, 999, 999, 999}),
                   {"020", "017", "014", "011", "008", "005", "002", "000"}},
        StreamCase{"nibbles_above_nine_keep_their_weight", {0xAB, 0xC0, 0x00}, {"1122", "000"}},
        StreamCase{"no_end_byte_stops_at_the_end", Packed({7, 8}), {"007", "008"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the stream holds, every complete value gives exactly one line
// (a missing one included, once filled) and every separator one empty line;
// with decimal digits only, no line shows the missing-sample mark.
TEST(DecodeSamples, OneLinePerValueAndSeparatorOnAnyStream) {
  std::mt19937 random(20260714);
  for (bool digitsOnly : {true, false}) {
    for (int round = 0; round < 400; ++round) {
      Bytes stream(random() % 120);
      for (auto& b : stream) {
        const unsigned pick = random() % 100;
        if (pick < 8) b = 0xEF;
        else if (pick < 10) b = 0xFF;
        else if (pick < 40) b = 0x99;
        else if (digitsOnly) b = static_cast<std::uint8_t>((random() % 10) << 4 | random() % 10);
        else b = static_cast<std::uint8_t>(random() % 256);
      }
      std::size_t values = 0;
      std::size_t separators = 0;
      int position = 0;
      for (auto b : stream) {
        if (b == 0xFF) break;
        if (b == 0xEF) {
          ++separators;
          position = 0;
        } else {
          values += position != 0;
          position = (position + 1) % 3;
        }
      }
      test::LineSink sink;
      ASSERT_EQ(watch::DecodeSamples(stream, sink), watch::kOk);
      ASSERT_EQ(sink.lines.size(), values + separators) << test::Hex(stream);
      const auto empty = static_cast<std::size_t>(std::count(sink.lines.begin(), sink.lines.end(), ""));
      EXPECT_EQ(empty, separators) << test::Hex(stream);
      if (digitsOnly) {
        EXPECT_EQ(std::count(sink.lines.begin(), sink.lines.end(), "999"), 0) << test::Hex(stream);
      }
    }
  }
}

TEST(DecodeSamples, StopsAtTheFirstFailedWrite) {
  const Bytes stream = Packed({10, 999, 999, 40, 50, 60}) + Bytes{0xEF} + Packed({1, 2});
  for (int failAt : {1, 2, 4, 6, 7, 8}) {
    test::FailingSink sink(failAt);
    EXPECT_EQ(watch::DecodeSamples(stream, sink), watch::kWriteFailed) << failAt;
    EXPECT_EQ(sink.attempts, failAt) << "no write after the failed one";
  }
}

TEST(FillGap, ReportsAFailedWrite) {
  test::FailingSink first(1);
  EXPECT_EQ(watch::FillGap(20, 0, 6, first), watch::kWriteFailed);
  test::FailingSink last(7);
  EXPECT_EQ(watch::FillGap(20, 0, 6, last), watch::kWriteFailed);
  EXPECT_EQ(last.attempts, 7);
}

// ---- DecodeHeader ----------------------------------------------------------

TEST(DecodeHeader, DecodesEveryField) {
  const Bytes block = test::HeaderBlock(17);
  test::LineSink sink;
  watch::WatchHeader h;
  ASSERT_EQ(watch::DecodeHeader(std::span<const std::uint8_t, 32>(block.data(), 32), sink, h),
            watch::kOk);
  EXPECT_EQ(h.blockCount, 17);
  EXPECT_EQ(h.unit, 'M');
  EXPECT_EQ(h.year, 2001);
  EXPECT_EQ(h.month, 5);
  EXPECT_EQ(h.day, 12);
  EXPECT_EQ(h.diveNumber, 3);
  EXPECT_EQ(h.entryHour, 10);
  EXPECT_EQ(h.entryMinute, 4);
  EXPECT_EQ(h.entrySecond, 9);
  EXPECT_EQ(h.surfacingHour, 10);
  EXPECT_EQ(h.surfacingMinute, 48);
  EXPECT_EQ(h.surfacingSecond, 30);
  EXPECT_EQ(h.restHours, 1);
  EXPECT_EQ(h.restMinutes, 35);
  EXPECT_EQ(h.maxDepth, 185);
  EXPECT_EQ(h.minWaterTemperature, 214);
  EXPECT_EQ(h.averageDepth, 92);
  EXPECT_EQ(h.diveMinutes, 44);
  // %d fields: month 5 is "5", minute 4 is "4", average 92 is "92".
  EXPECT_EQ(sink.lines, Lines({"M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44", ""}));
}

struct HeaderCase {
  const char* name;
  std::size_t byte;
  std::uint8_t value;
  std::string line;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class HeaderLineTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderLineTest, WritesTheFieldAsDecoded) {
  Bytes block = test::HeaderBlock(2);
  block[GetParam().byte] = GetParam().value;
  test::LineSink sink;
  watch::WatchHeader h;
  ASSERT_EQ(watch::DecodeHeader(std::span<const std::uint8_t, 32>(block.data(), 32), sink, h),
            watch::kOk);
  EXPECT_EQ(sink.lines.at(0), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderLineTest,
    ::testing::Values(
        HeaderCase{"imperial", 4, 0xA6, "F,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44"},
        HeaderCase{"dive_number_zero", 9, 0, "M,2001,5,12,0,10,4,9,10,48,30,1,35,185,214,92,44"},
        HeaderCase{"dive_number_binary", 9, 0x12, "M,2001,5,12,18,10,4,9,10,48,30,1,35,185,214,92,44"},
        HeaderCase{"month_not_validated", 7, 0x13, "M,2001,13,12,3,10,4,9,10,48,30,1,35,185,214,92,44"},
        HeaderCase{"nibble_above_nine", 8, 0x1F, "M,2001,5,25,3,10,4,9,10,48,30,1,35,185,214,92,44"},
        // Byte 19 is shared: its high nibble ends the depth, its low one starts the temperature.
        HeaderCase{"shared_byte", 19, 0x93, "M,2001,5,12,3,10,4,9,10,48,30,1,35,189,314,92,44"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeHeader, RefusesAnUnknownUnitWithoutWriting) {
  for (std::uint8_t unit : {0x00, 0xAC, 0xA7, 0xFF}) {
    const Bytes block = test::HeaderBlock(2, unit);
    test::LineSink sink;
    watch::WatchHeader h;
    h.year = 1999;
    EXPECT_EQ(watch::DecodeHeader(std::span<const std::uint8_t, 32>(block.data(), 32), sink, h),
              watch::kBadUnit);
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(h.year, 0) << "the record is cleared first";
    EXPECT_EQ(h.blockCount, 2);
  }
}

TEST(DecodeHeader, ReportsAFailedWrite) {
  const Bytes block = test::HeaderBlock(2);
  for (int failAt : {1, 2}) {
    test::FailingSink sink(failAt);
    watch::WatchHeader h;
    EXPECT_EQ(watch::DecodeHeader(std::span<const std::uint8_t, 32>(block.data(), 32), sink, h),
              watch::kWriteFailed)
        << failAt;
  }
}

// ---- DecodeImage -----------------------------------------------------------

struct ImageCase {
  const char* name;
  Bytes image;
  int result;
  Lines expected;
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.name; }

class DecodeImageTest : public ::testing::TestWithParam<ImageCase> {};

TEST_P(DecodeImageTest, DecodesAsTheDownloadWould) {
  test::LineSink sink;
  watch::WatchHeader h;
  EXPECT_EQ(watch::DecodeImage(GetParam().image, sink, h), GetParam().result);
  EXPECT_EQ(sink.lines, GetParam().expected);
}

const std::string kHeaderLine = "M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44";

Bytes Cut(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeImageTest,
    ::testing::Values(
        ImageCase{"whole_memory",
                  test::Memory(test::HeaderBlock(1), Packed({5, 12}) + Bytes{0xEF} + Packed({215, 214})),
                  watch::kOk, Lines({kHeaderLine, "", "005", "012", "", "215", "214"})},
        // A saved image may stop short of the memory's size: the rest reads as 0xFF.
        ImageCase{"cut_after_the_samples",
                  Cut(test::Memory(test::HeaderBlock(1), Packed({5, 12}) + Bytes{0xEF} + Packed({215, 214})), 32 + 7),
                  watch::kOk, Lines({kHeaderLine, "", "005", "012", "", "215", "214"})},
        // An end-marked header block ends the download: what follows is never read.
        ImageCase{"end_marked_header",
                  test::Memory(test::HeaderBlock(0, 0xAD, true), Packed({5, 12})),
                  watch::kOk, Lines({kHeaderLine, ""})},
        ImageCase{"no_header_block", Cut(test::HeaderBlock(1), 31), watch::kBadUnit, Lines{}},
        ImageCase{"bad_unit", test::Memory(test::HeaderBlock(1, 0x12), Packed({5, 12})),
                  watch::kBadUnit, Lines{}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The profile file on disk ----------------------------------------------

TEST(ProfileFileWriter, WritesLinesInTextMode) {
  QTemporaryDir dir;
  const QString path = dir.filePath("VELM0001.LOG");
  test::WriteAll(path, "an older file that is much longer than the new one\n");
  watch::ProfileFileWriter file;
  ASSERT_TRUE(file.Create(path));
  EXPECT_TRUE(file.WriteLine("M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44"));
  EXPECT_TRUE(file.WriteLine(""));
  EXPECT_TRUE(file.WriteLine("015"));
  EXPECT_TRUE(file.Close());
#ifdef Q_OS_WIN
  EXPECT_EQ(test::ReadAll(path), "M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44\r\n\r\n015\r\n");
#else
  EXPECT_EQ(test::ReadAll(path), "M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44\n\n015\n");
#endif
}

TEST(ProfileFileWriter, CannotCreateInAMissingFolder) {
  QTemporaryDir dir;
  watch::ProfileFileWriter file;
  EXPECT_FALSE(file.Create(dir.filePath("absent/VELM0001.LOG")));
  EXPECT_FALSE(file.WriteLine("015"));
}

#ifdef Q_OS_LINUX
TEST(ProfileFileWriter, AFullDiskFailsAtTheLatestWhenClosing) {
  watch::ProfileFileWriter file;
  ASSERT_TRUE(file.Create(QStringLiteral("/dev/full")));
  bool allWritten = true;
  for (int i = 0; i < 10; ++i) allWritten = file.WriteLine("015") && allWritten;
  EXPECT_FALSE(allWritten && file.Close());
}
#endif

}  // namespace
