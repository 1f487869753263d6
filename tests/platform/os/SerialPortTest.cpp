// The Qt serial port against a pseudo-terminal whose other end the test
// holds: raw bytes both ways, reads gathered up to their count or time-out,
// input purge, exclusive use.
#include "platform/os/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QByteArray>
#include <thread>

namespace {

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    device_ = QString::fromLocal8Bit(ptsname(master_));
    settings_.baudRate = 4800;
    ASSERT_TRUE(port_.Open(device_, settings_));
  }
  void TearDown() override {
    port_.Close();
    if (master_ >= 0) close(master_);
  }

  void Send(const QByteArray& bytes) {
    ASSERT_EQ(write(master_, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
  }
  QByteArray Take(int count) {
    QByteArray got;
    char buffer[64];
    while (got.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 1000) <= 0) break;
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, n);
    }
    return got;
  }

  int master_ = -1;
  QString device_;
  os::SerialSettings settings_;
  os::QtSerialPort port_;
};

TEST_F(SerialPortTest, EveryByteValuePassesUnchanged) {
  QByteArray all;
  for (int i = 0; i < 32; ++i) all.append(static_cast<char>(i * 8 + 7));  // 0x07 ... 0xFF
  all.append("\x00\x11\x13\xff\x0d\x0a", 6);
  ASSERT_EQ(port_.Write(all.constData(), all.size(), 900), all.size());
  EXPECT_EQ(Take(all.size()), all);

  Send(all);
  QByteArray read(all.size(), '\0');
  EXPECT_EQ(port_.Read(read.data(), read.size(), 900), all.size());
  EXPECT_EQ(read, all);
}

TEST_F(SerialPortTest, ReadGathersAnAnswerThatComesInParts) {
  std::thread unit([this] {
    Send(QByteArray(10, 'a'));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Send(QByteArray(22, 'b'));
  });
  char block[32];
  const qint64 n = port_.Read(block, 32, 900);
  unit.join();
  EXPECT_EQ(n, 32);
  EXPECT_EQ(QByteArray(block, 32), QByteArray(10, 'a') + QByteArray(22, 'b'));
}

TEST_F(SerialPortTest, ShortAnswerEndsAtTheTimeOut) {
  Send(QByteArray(20, 'c'));
  char block[32];
  EXPECT_EQ(port_.Read(block, 32, 100), 20);
  EXPECT_EQ(port_.Read(block, 32, 50), 0) << "nothing more came";
}

TEST_F(SerialPortTest, PurgeDropsWhatArrivedButWasNotRead) {
  Send("stale");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  port_.Purge(os::PurgeDirection::Input);
  Send("new");
  char buffer[8];
  ASSERT_EQ(port_.Read(buffer, 3, 900), 3);
  EXPECT_EQ(QByteArray(buffer, 3), "new");
}

TEST_F(SerialPortTest, DrainedBytesSurviveAClosingPurge) {
  const char end = static_cast<char>(0xFF);
  ASSERT_EQ(port_.Write(&end, 1, 900), 1);
  port_.SetDtr(false);
  port_.Purge(os::PurgeDirection::Both);
  port_.Close();
  EXPECT_EQ(Take(1), QByteArray(1, end));
}

TEST_F(SerialPortTest, ADeviceInUseOrAbsentDoesNotOpen) {
  os::QtSerialPort second;
  EXPECT_FALSE(second.Open(device_, settings_));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Open(QStringLiteral("/dev/no-such-serial-port"), settings_));
  EXPECT_EQ(second.Read(nullptr, 0, 0), -1);

  port_.Close();
  EXPECT_TRUE(second.Open(device_, settings_));
}

}  // namespace
