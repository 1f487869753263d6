// Downloads end to end: the program's own download (real QSerialPort, real
// clock, the progress window) against the watch simulator on a
// pseudo-terminal, at the line's real pace.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "platform/os/SerialPort.h"
#include "store/Velm.h"
#include "tests/support/TestFolders.h"
#include "tests/watchlink/Simulator.h"
#include "tools/DiveImage.h"
#include "watchlink/Dipeunit.h"
#include "watchlink/Portunit.h"
#include "watchlink/WatchLink.h"

namespace {

using Lines = std::vector<std::string>;

std::string Requests(int blocks) {
  std::string s = "7F";
  for (int i = 0; i < blocks + 1; ++i) s += " FF";
  return s;
}

Lines SampleLines(const watchsim::Dive& dive) {
  Lines lines;
  char text[8];
  for (int v : dive.depths) {
    std::snprintf(text, sizeof text, "%03d", v);
    lines.emplace_back(text);
  }
  lines.emplace_back();
  for (int v : dive.temperatures) {
    std::snprintf(text, sizeof text, "%03d", v);
    lines.emplace_back(text);
  }
  return lines;
}

Lines FileLines(const QString& path) {
  Lines lines;
  for (const QByteArray& line : test::ReadAll(path).split('\n')) lines.push_back(line.toStdString());
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

class SimulatorLinkTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    DipeForm = &form;
  }

  // "COM1" leads to the simulator through the settings file.
  std::unique_ptr<test::Simulator> Start(const QStringList& options) {
    auto sim = std::make_unique<test::Simulator>(ProgramFolder(), options);
    EXPECT_TRUE(sim->Ready());
    velmq::SetProfPath("Ports", "COM1", sim->Link());
    return sim;
  }

  QString Output() const { return InProgram("VELM0001.LOG"); }

  TDipeForm form;
  watch::WatchHeader header;
};

const QStringList kDive = {"--date",      "2026-07-14", "--time",      "10:30:00", "--minutes",
                           "20",          "--depth",    "18.5",        "--water-top", "24.0",
                           "--water-min", "21.5",       "--dive-number", "2"};

watchsim::DiveSpec DiveOf(int minutes) {
  watchsim::DiveSpec spec;
  spec.year = 2026;
  spec.month = 7;
  spec.day = 14;
  spec.hour = 10;
  spec.minute = 30;
  spec.second = 0;
  spec.minutes = minutes;
  spec.maxDepth = 185;
  spec.surfaceWater = 240;
  spec.bottomWater = 215;
  spec.diveNumber = 2;
  return spec;
}

TEST_F(SimulatorLinkTest, CompleteDownloadSendsExactlyTheseBytes) {
  const auto sim = Start(kDive);
  const watchsim::Dive dive = watchsim::MakeDive(DiveOf(20));

  ASSERT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kOk);

  // Start byte, one request per block up to the end mark, the end byte.
  EXPECT_EQ(sim->ReceivedWhenSettled(Requests(dive.dataBlocks + 1)), Requests(dive.dataBlocks + 1));
  const Lines lines = FileLines(Output());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 31), "M,2026,7,14,2,10,30,0,10,50,0,1");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), SampleLines(dive));
  EXPECT_EQ(header.blockCount, dive.dataBlocks);
  EXPECT_EQ(header.diveMinutes, 20);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.Label1->text(), "COM1");
  EXPECT_EQ(form.Label2->text(), "Finish");
}

// The one download at full length: 223 blocks, no end mark. The pace the
// pauses allow is 1200 ms + 223 x (33 bytes at 4800 baud) + 11 x 10 ms +
// 212 x 15 ms = 19.82 s; the wall time is reported beside it.
TEST_F(SimulatorLinkTest, FullMemoryAtTheLinePace) {
  const auto sim = Start({"--fill"});
  watchsim::DiveSpec spec;
  spec.fillMemory = true;
  const watchsim::Dive dive = watchsim::MakeDive(spec);

  QElapsedTimer timer;
  timer.start();
  ASSERT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kOk);
  const qint64 wall = timer.elapsed();

  const double paced = 1200 + 223 * 33 * 10 * 1000.0 / 4800 + 11 * 10 + 212 * 15;
  std::printf("full download: %lld ms wall, %.0f ms paced (%+.1f %%)\n", static_cast<long long>(wall),
              paced, (wall - paced) * 100 / paced);
  RecordProperty("wall_ms", static_cast<int>(wall));
  RecordProperty("paced_ms", static_cast<int>(paced));

  EXPECT_EQ(sim->ReceivedWhenSettled(Requests(223)), Requests(223));
  const Lines lines = FileLines(Output());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), SampleLines(dive));
}

TEST_F(SimulatorLinkTest, ShortAnswerIsAskedForAgain) {
  const auto sim = Start(kDive + QStringList{"--short", "2", "--short-bytes", "20"});
  const watchsim::Dive dive = watchsim::MakeDive(DiveOf(20));

  ASSERT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kOk);
  std::string expected = "7F FF FF FF 7F";
  for (int i = 3; i <= dive.dataBlocks + 1; ++i) expected += " FF";
  EXPECT_EQ(sim->ReceivedWhenSettled(expected), expected);
  const Lines lines = FileLines(Output());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), SampleLines(dive));
}

// A saved memory served without end marks (and without pacing): the PC
// reads all 223 blocks and the stream still ends at its end byte.
TEST_F(SimulatorLinkTest, MemoryImageWithoutEndMarkIsReadToTheLastBlock) {
  const watchsim::Dive dive = watchsim::MakeDive(DiveOf(20));
  test::WriteAll(InProgram("memory.bin"),
                 QByteArray(reinterpret_cast<const char*>(dive.memory.data()),
                            static_cast<qsizetype>(dive.memory.size())));
  const auto sim = Start({"--image", InProgram("memory.bin"), "--no-end-mark", "--baud", "0"});

  ASSERT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kOk);
  EXPECT_EQ(sim->ReceivedWhenSettled(Requests(223)), Requests(223));
  const Lines lines = FileLines(Output());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), SampleLines(dive));
}

TEST_F(SimulatorLinkTest, BadUnitByteEndsAfterTheHeader) {
  const auto sim = Start(kDive + QStringList{"--unit-byte", "0x12"});
  EXPECT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kBadUnit);
  QThread::msleep(200);
  EXPECT_EQ(sim->Received(), "7F FF");
  EXPECT_EQ(test::ReadAll(Output()), QByteArray());
}

TEST_F(SimulatorLinkTest, UnitFallingSilentFailsAfterSevenAttempts) {
  const auto sim = Start(kDive + QStringList{"--silent-after", "1"});
  EXPECT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kTransferFailed);
  EXPECT_EQ(sim->ReceivedWhenSettled("7F FF FF FF 7F 7F 7F 7F 7F 7F"), "7F FF FF FF 7F 7F 7F 7F 7F 7F");
}

TEST_F(SimulatorLinkTest, PortInUseOrAbsentCreatesNoFile) {
  const auto sim = Start(kDive);
  os::QtSerialPort holder;
  ASSERT_TRUE(holder.Open(sim->Link(), watch::WatchPortSettings()));
  EXPECT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kPortFailed);
  EXPECT_FALSE(QFileInfo::exists(Output()));
  holder.Close();

  velmq::SetProfPath("Ports", "COM1", InProgram("no-such-port"));
  EXPECT_EQ(watch::ReceiveWatchData(1, Output(), header), watch::kPortFailed);
  EXPECT_FALSE(QFileInfo::exists(Output()));
  EXPECT_EQ(sim->Received(), "");
}

}  // namespace
