#pragma once
// In-process stand-ins for the download's surroundings: a communication unit
// behind a scripted serial port, a clock that only counts, a progress
// display that records its calls, and profile sinks in memory.
#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/os/Clock.h"
#include "platform/os/SerialPort.h"
#include "watchlink/Progress.h"
#include "watchlink/WatchData.h"

namespace test {

class FakeClock final : public os::Clock {
 public:
  void Sleep(int ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  void Advance(int ms) { now += ms; }
  std::vector<int> sleeps;
  long long now = 0;
};

// The unit answers like the real one: the first 0x7F of a download gets no
// answer, 0xFF the next block, a later 0x7F the last block again.
class FakeWatchPort final : public os::SerialPort {
 public:
  explicit FakeWatchPort(FakeClock& clock, std::vector<std::uint8_t> memory = {})
      : memory(std::move(memory)), clock_(clock) {}

  std::vector<std::uint8_t> memory;
  // Faults.
  bool openFails = false;
  int failWriteAt = 0;                 // 1-based write that fails; 0: none
  std::map<int, int> shortAnswers;     // block -> how many answers come short
  int shortBytes = 20;
  bool lateRest = false;               // the rest of a short answer arrives after the time-out
  int silentAfter = -1;                // no answer after this block

  // What happened, in order: "open DEV", "write 7F", "read 32/32", "purge in",
  // "purge both", "dtr 0", "close".
  std::vector<std::string> events;
  std::vector<std::uint8_t> written;  // request bytes that went out
  QString device;
  std::vector<int> readTimeouts;
  std::vector<int> writeTimeouts;

  bool Open(const QString& dev, const os::SerialSettings& settings) override;
  bool IsOpen() const override { return open_; }
  qint64 Write(const char* data, qint64 size, int timeoutMs) override;
  qint64 Read(char* data, qint64 size, int timeoutMs) override;
  void Purge(os::PurgeDirection direction) override;
  bool SetDtr(bool on) override;
  void Close() override;

  os::SerialSettings settings;

 private:
  void Answer(int block);

  FakeClock& clock_;
  bool open_ = false;
  int writes_ = 0;
  int sent_ = -1;
  std::vector<std::uint8_t> input_;
  std::vector<std::uint8_t> late_;
};

class RecordingProgress final : public ProgressDisplay {
 public:
  int ShowProgress(const QString& caption, const QString& line1, const QString& line2, int position,
                   const QString& line3) override;
  void UpdateProgress(const QString& caption, const QString& line1, const QString& line2,
                      int position, const QString& line3, int token) override;
  void HideProgress(int token) override;

  int token = 1;  // what ShowProgress returns
  // "show|caption|line1|line2|position|line3", "update|...|token", "hide|token"
  std::vector<std::string> calls;
};

class LineSink final : public watch::ProfileSink {
 public:
  bool WriteLine(std::string_view line) override {
    lines.emplace_back(line);
    return true;
  }
  std::vector<std::string> lines;
};

// Fails its n-th write (1-based) and every write after it.
class FailingSink final : public watch::ProfileSink {
 public:
  explicit FailingSink(int failAt) : failAt_(failAt) {}
  bool WriteLine(std::string_view) override { return ++attempts < failAt_; }
  int attempts = 0;

 private:
  int failAt_;
};

// A header block with the given block count and unit code, the rest as in
// the examples: 2001/5/12, dive 3, 10:04:09 to 10:48:30, rest 1:35, maximum
// 185, minimum water 214, average 092, 44 minutes; end mark as given.
std::vector<std::uint8_t> HeaderBlock(int blockCount, std::uint8_t unit = 0xAD, bool endMark = false);

// A memory image: the header, then `stream`, 0xFF-filled to 7168 bytes.
std::vector<std::uint8_t> Memory(const std::vector<std::uint8_t>& header,
                                 const std::vector<std::uint8_t>& stream);

std::string Hex(const std::vector<std::uint8_t>& bytes);

}  // namespace test
