// The block transfer against a scripted communication unit: request bytes,
// pauses, progress, retries, failures and the file it leaves.
#include "watchlink/WatchLink.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "store/Velm.h"
#include "tests/support/TestFolders.h"
#include "tests/watchlink/Fakes.h"
#include "tools/DiveImage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

Bytes Packed(const std::vector<int>& values) {
  Bytes out;
  watchsim::PackValues(values, out);
  return out;
}

// Data blocks 1 and 2: 21 depth values and a separator fill block 1 exactly
// (no end mark), block 2 holds the temperatures and ends with the fill.
Bytes TwoBlockStream() {
  std::vector<int> depths;
  for (int i = 1; i <= 21; ++i) depths.push_back(i * 10);
  Bytes s = Packed(depths);  // 32 bytes: 10 pairs (30) + one value (2)
  s.push_back(0xEF);         // first byte of block 2
  const Bytes temps = Packed({214, 212});
  s.insert(s.end(), temps.begin(), temps.end());
  return s;
}

Lines TwoBlockLines() {
  Lines lines{"M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44", ""};
  char text[8];
  for (int i = 1; i <= 21; ++i) {
    std::snprintf(text, sizeof text, "%03d", i * 10);
    lines.emplace_back(text);
  }
  lines.insert(lines.end(), {"", "214", "212"});
  return lines;
}

Lines FileLines(const QString& path) {
  const QByteArray bytes = test::ReadAll(path);
  Lines lines;
  std::string current;
  for (char c : bytes) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  EXPECT_TRUE(current.empty()) << "the last line ends with a line break";
  return lines;
}

class WatchLinkTest : public test::TestFolders {
 protected:
  WatchLinkTest() : port(clock), link(port, clock, progress) {
    link.DeviceForPort = [](int n) { return QStringLiteral("/dev/fake%1").arg(n); };
  }

  int Receive(int portNumber = 1) {
    return link.ReceiveWatchData(portNumber, Output(), header);
  }
  QString Output() const { return InProgram("VELM0001.LOG"); }

  test::FakeClock clock;
  test::FakeWatchPort port;
  test::RecordingProgress progress;
  watch::WatchLink link;
  watch::WatchHeader header;
};

TEST_F(WatchLinkTest, CompleteDownload) {
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  ASSERT_EQ(Receive(), watch::kOk);

  EXPECT_EQ(FileLines(Output()), TwoBlockLines());
  EXPECT_EQ(header.blockCount, 2);
  EXPECT_EQ(header.unit, 'M');
  // Start byte, three block requests (block 2 carries the end mark), end byte.
  EXPECT_EQ(test::Hex(port.written), "7F FF FF FF FF");
  EXPECT_EQ(clock.sleeps, std::vector<int>({1200, 10, 10}));
  EXPECT_EQ(port.events.front(), "open /dev/fake1");
  EXPECT_EQ(Lines(port.events.end() - 3, port.events.end()), Lines({"dtr 0", "purge both", "close"}));
  EXPECT_EQ(port.readTimeouts, std::vector<int>(3, 900));
  EXPECT_EQ(port.writeTimeouts, std::vector<int>(5, 900));
  EXPECT_EQ(port.settings.baudRate, 4800);
  EXPECT_EQ(port.settings.dataBits, 8);
  EXPECT_EQ(port.settings.parity, os::Parity::None);
  EXPECT_EQ(port.settings.stopBits, 1);
  EXPECT_TRUE(port.settings.dtr);
  EXPECT_TRUE(port.settings.rts);

  EXPECT_EQ(progress.calls, Lines({
                                "show|Data receive| | |0| ",
                                "update|Data receive|COM1|Start|0| |1",
                                "update|||receiveing|0|0/2|1",
                                "update|||receiveing|50|1/2|1",
                                "update||||100| |1",
                                "update|Data receive|COM1|Finish|-1| |1",
                                "hide|1",
                            }));
}

TEST_F(WatchLinkTest, HeaderWithEndMarkEndsAfterBlockZero) {
  port.memory = test::Memory(test::HeaderBlock(0, 0xAD, true), Packed({15, 30}));
  ASSERT_EQ(Receive(), watch::kOk);
  EXPECT_EQ(FileLines(Output()), Lines({"M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44", ""}));
  EXPECT_EQ(test::Hex(port.written), "7F FF FF");
  EXPECT_EQ(clock.sleeps, std::vector<int>({1200}));
}

TEST_F(WatchLinkTest, StopsAfter223BlocksWithoutEndMark) {
  watchsim::DiveSpec spec;
  spec.fillMemory = true;
  const watchsim::Dive dive = watchsim::MakeDive(spec);
  port.memory = dive.memory;
  // Block 223 would have data; it must never be asked for.
  std::fill(port.memory.begin() + 223 * 32, port.memory.end(), 0x11);
  ASSERT_EQ(Receive(), watch::kOk);

  const Bytes expected = [] {
    Bytes b{0x7F};
    b.insert(b.end(), 223 + 1, 0xFF);
    return b;
  }();
  EXPECT_EQ(port.written, expected);
  // The memory image ends with 0xFF after block 222, which ends the stream.
  const Lines lines = FileLines(Output());
  ASSERT_EQ(lines.size(), 2 + dive.depths.size() + 1 + dive.temperatures.size());
  char text[8];
  std::snprintf(text, sizeof text, "%03d", dive.temperatures.back());
  EXPECT_EQ(lines.back(), text);
  std::snprintf(text, sizeof text, "%03d", dive.depths.front());
  EXPECT_EQ(lines[2], text);
}

struct StepCase {
  const char* name;
  int blockCount;
  std::vector<std::string> updates;  // the block progress lines
  std::vector<int> sleeps;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class ProgressStepTest : public WatchLinkTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(ProgressStepTest, ReportsEveryStepBlocks) {
  const StepCase& c = GetParam();
  // 150 bytes of depth values: blocks 1 to 4 are full, block 5 ends with
  // the fill.
  std::vector<int> depths(100, 123);
  port.memory = test::Memory(test::HeaderBlock(c.blockCount), Packed(depths));
  ASSERT_EQ(Receive(), watch::kOk);
  Lines updates;
  for (const auto& call : progress.calls) {
    if (call.rfind("update|||", 0) == 0) updates.push_back(call);
  }
  EXPECT_EQ(updates, c.updates);
  EXPECT_EQ(clock.sleeps, c.sleeps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressStepTest,
    ::testing::Values(
        StepCase{"count_zero_every_block_empty_bar",
                 0,
                 {"update|||receiveing|-1|0|1", "update|||receiveing|-1|1|1",
                  "update|||receiveing|-1|2|1", "update|||receiveing|-1|3|1",
                  "update|||receiveing|-1|4|1", "update||||100| |1"},
                 {1200, 10, 10, 10, 10, 10}},
        StepCase{"count_25_every_second_block",
                 25,
                 {"update|||receiveing|0|0/25|1", "update|||receiveing|8|2/25|1",
                  "update|||receiveing|16|4/25|1", "update||||100| |1"},
                 {1200, 10, 15, 10, 15, 10}},
        // Fewer blocks announced than sent: the bar runs past 100 and the
        // window holds it at its limit.
        StepCase{"count_3_runs_past_the_end",
                 3,
                 {"update|||receiveing|0|0/3|1", "update|||receiveing|33|1/3|1",
                  "update|||receiveing|66|2/3|1", "update|||receiveing|100|3/3|1",
                  "update|||receiveing|133|4/3|1", "update||||100| |1"},
                 {1200, 10, 10, 10, 10, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WatchLinkTest, BadUnitStopsWithoutAnotherByte) {
  port.memory = test::Memory(test::HeaderBlock(2, 0x12), TwoBlockStream());
  EXPECT_EQ(Receive(), watch::kBadUnit);
  EXPECT_EQ(test::Hex(port.written), "7F FF");
  EXPECT_EQ(test::ReadAll(Output()), QByteArray());
  EXPECT_EQ(progress.calls.back(), "hide|1");
}

struct RetryCase {
  const char* name;
  int shortAnswers;  // on block 1
  int result;
  std::string requests;
};

void PrintTo(const RetryCase& c, std::ostream* os) { *os << c.name; }

class RetryTest : public WatchLinkTest, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(RetryTest, ShortAnswersAreAskedAgain) {
  const RetryCase& c = GetParam();
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  port.shortAnswers[1] = c.shortAnswers;
  EXPECT_EQ(Receive(), c.result);
  EXPECT_EQ(test::Hex(port.written), c.requests);
  int retryPauses = 0;
  for (int ms : clock.sleeps) retryPauses += ms == 20;
  EXPECT_EQ(retryPauses, std::min(c.shortAnswers, 6));
  if (c.result == watch::kOk) {
    EXPECT_EQ(FileLines(Output()), TwoBlockLines());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RetryTest,
    ::testing::Values(RetryCase{"one_short_answer", 1, watch::kOk, "7F FF FF 7F FF FF"},
                      RetryCase{"six_short_answers", 6, watch::kOk,
                                "7F FF FF 7F 7F 7F 7F 7F 7F FF FF"},
                      // Seven attempts fail: no end byte follows.
                      RetryCase{"seven_short_answers", 7, watch::kTransferFailed,
                                "7F FF FF 7F 7F 7F 7F 7F 7F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WatchLinkTest, LateRestOfAShortAnswerIsNotTakenForTheRepeat) {
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  port.shortAnswers[1] = 1;
  port.lateRest = true;
  ASSERT_EQ(Receive(), watch::kOk);
  EXPECT_EQ(FileLines(Output()), TwoBlockLines());
}

TEST_F(WatchLinkTest, SilentUnitCostsSevenTimeOutsPerBlock) {
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  port.silentAfter = 0;
  EXPECT_EQ(Receive(), watch::kTransferFailed);
  EXPECT_EQ(test::Hex(port.written), "7F FF FF 7F 7F 7F 7F 7F 7F");
  // 1200 + 10 after block 0, then 7 x 900 ms time-outs and 6 x 20 ms pauses.
  EXPECT_EQ(clock.now, 1200 + 10 + 7 * 900 + 6 * 20);
}

struct WriteFailCase {
  const char* name;
  int failAt;
  std::string attempted;
};

void PrintTo(const WriteFailCase& c, std::ostream* os) { *os << c.name; }

class UnwritableRequestTest : public WatchLinkTest,
                              public ::testing::WithParamInterface<WriteFailCase> {};

TEST_P(UnwritableRequestTest, FailsAtOnce) {
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  port.failWriteAt = GetParam().failAt;
  EXPECT_EQ(Receive(), watch::kTransferFailed);
  Lines writes;
  for (const auto& e : port.events) {
    if (e.rfind("write", 0) == 0) writes.push_back(e.substr(6));
  }
  std::string attempted;
  for (const auto& w : writes) attempted += (attempted.empty() ? "" : " ") + w;
  EXPECT_EQ(attempted, GetParam().attempted);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnwritableRequestTest,
                         ::testing::Values(WriteFailCase{"start_byte", 1, "7F"},
                                           WriteFailCase{"header_request", 2, "7F FF"},
                                           WriteFailCase{"data_request", 3, "7F FF FF"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WatchLinkTest, PortThatCannotBeOpenedCreatesNoFile) {
  port.openFails = true;
  EXPECT_EQ(Receive(), watch::kPortFailed);
  EXPECT_FALSE(QFileInfo::exists(Output()));
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ(progress.calls, Lines({"show|Data receive| | |0| ", "hide|1"}));
}

TEST_F(WatchLinkTest, FileThatCannotBeCreatedClosesThePort) {
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  EXPECT_EQ(link.ReceiveWatchData(1, InProgram("absent/VELM0001.LOG"), header), watch::kCreateFailed);
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ(port.events.back(), "close");
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(progress.calls.back(), "hide|1");
}

#ifdef Q_OS_LINUX
TEST_F(WatchLinkTest, FullDiskIsAFailedWrite) {
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  EXPECT_EQ(link.ReceiveWatchData(1, QStringLiteral("/dev/full"), header), watch::kWriteFailed);
}
#endif

TEST_F(WatchLinkTest, RefusedTokenKeepsTheWindowAlone) {
  progress.token = -4;
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  ASSERT_EQ(Receive(), watch::kOk);
  for (std::size_t i = 1; i < progress.calls.size(); ++i) {
    EXPECT_EQ(progress.calls[i].substr(progress.calls[i].rfind('|')), "|-1") << progress.calls[i];
  }
}

// ---- "COMn" and its device ---------------------------------------------------

TEST_F(WatchLinkTest, PortNumberMapsThroughTheSettingsFile) {
  velmq::SetProfPath("Ports", "COM2", QStringLiteral("/dev/ttyUSB0"));
  EXPECT_EQ(watch::WatchPortDevice(2), "/dev/ttyUSB0");
#ifndef Q_OS_WIN
  EXPECT_EQ(watch::WatchPortDevice(1), "/dev/ttyS0");
  EXPECT_EQ(watch::WatchPortDevice(3), "/dev/ttyS2");
#endif
  EXPECT_EQ(watch::WatchPortDevice(0), QString());

  link.DeviceForPort = watch::WatchPortDevice;
  port.memory = test::Memory(test::HeaderBlock(2), TwoBlockStream());
  ASSERT_EQ(Receive(2), watch::kOk);
  EXPECT_EQ(port.device, "/dev/ttyUSB0");
  EXPECT_EQ(progress.calls.at(1), "update|Data receive|COM2|Start|0| |1");

  port.events.clear();
  EXPECT_EQ(Receive(0), watch::kPortFailed);
  EXPECT_TRUE(port.events.empty()) << "no device to open";
}

}  // namespace
