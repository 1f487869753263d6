#include "tests/watchlink/Fakes.h"

#include <algorithm>
#include <cstdio>

namespace test {

bool FakeWatchPort::Open(const QString& dev, const os::SerialSettings& s) {
  device = dev;
  settings = s;
  events.push_back("open " + dev.toStdString());
  if (openFails) return false;
  open_ = true;
  return true;
}

qint64 FakeWatchPort::Write(const char* data, qint64 size, int timeoutMs) {
  writeTimeouts.push_back(timeoutMs);
  ++writes_;
  char text[16];
  std::snprintf(text, sizeof text, "write %02X", static_cast<std::uint8_t>(data[0]));
  events.emplace_back(text);
  if (!open_ || writes_ == failWriteAt) {
    clock_.Advance(timeoutMs);
    return 0;
  }
  for (qint64 i = 0; i < size; ++i) {
    const auto byte = static_cast<std::uint8_t>(data[i]);
    written.push_back(byte);
    if (byte == 0x7F) {
      if (sent_ >= 0) Answer(sent_);  // the same block again
    } else if (byte == 0xFF) {
      Answer(sent_ + 1);
    }
  }
  return size;
}

void FakeWatchPort::Answer(int block) {
  sent_ = block;
  if (silentAfter >= 0 && block > silentAfter) return;
  const std::size_t at = static_cast<std::size_t>(block) * 32;
  if (at + 32 > memory.size()) return;
  int count = 32;
  if (auto it = shortAnswers.find(block); it != shortAnswers.end() && it->second > 0) {
    --it->second;
    count = shortBytes;
  }
  input_.insert(input_.end(), memory.begin() + static_cast<long>(at),
                memory.begin() + static_cast<long>(at) + count);
  if (count < 32 && lateRest) {
    late_.insert(late_.end(), memory.begin() + static_cast<long>(at) + count,
                 memory.begin() + static_cast<long>(at) + 32);
  }
}

qint64 FakeWatchPort::Read(char* data, qint64 size, int timeoutMs) {
  readTimeouts.push_back(timeoutMs);
  if (!open_) return -1;
  const auto n = std::min<qint64>(size, static_cast<qint64>(input_.size()));
  std::copy_n(input_.begin(), n, data);
  input_.erase(input_.begin(), input_.begin() + n);
  events.push_back("read " + std::to_string(n) + "/" + std::to_string(size));
  if (n < size) {
    clock_.Advance(timeoutMs);
    // What was late has arrived by now.
    input_.insert(input_.end(), late_.begin(), late_.end());
    late_.clear();
  }
  return n;
}

void FakeWatchPort::Purge(os::PurgeDirection direction) {
  if (direction != os::PurgeDirection::Output) input_.clear();
  events.emplace_back(direction == os::PurgeDirection::Input    ? "purge in"
                      : direction == os::PurgeDirection::Output ? "purge out"
                                                                : "purge both");
}

bool FakeWatchPort::SetDtr(bool on) {
  events.push_back(on ? "dtr 1" : "dtr 0");
  return open_;
}

void FakeWatchPort::Close() {
  events.emplace_back("close");
  open_ = false;
}

namespace {
std::string Join(std::initializer_list<std::string> parts) {
  std::string s;
  for (const auto& p : parts) {
    if (!s.empty()) s += '|';
    s += p;
  }
  return s;
}
}  // namespace

int RecordingProgress::ShowProgress(const QString& caption, const QString& line1,
                                    const QString& line2, int position, const QString& line3) {
  calls.push_back(Join({"show", caption.toStdString(), line1.toStdString(), line2.toStdString(),
                        std::to_string(position), line3.toStdString()}));
  return token;
}

void RecordingProgress::UpdateProgress(const QString& caption, const QString& line1,
                                       const QString& line2, int position, const QString& line3,
                                       int t) {
  calls.push_back(Join({"update", caption.toStdString(), line1.toStdString(), line2.toStdString(),
                        std::to_string(position), line3.toStdString(), std::to_string(t)}));
}

void RecordingProgress::HideProgress(int t) { calls.push_back("hide|" + std::to_string(t)); }

std::vector<std::uint8_t> HeaderBlock(int blockCount, std::uint8_t unit, bool endMark) {
  std::vector<std::uint8_t> h(32, 0x00);
  h[3] = static_cast<std::uint8_t>(blockCount);
  h[4] = unit;
  h[5] = 0x20;
  h[6] = 0x01;
  h[7] = 0x05;
  h[8] = 0x12;
  h[9] = 3;
  h[10] = 0x10;
  h[11] = 0x04;
  h[12] = 0x09;
  h[13] = 0x10;
  h[14] = 0x48;
  h[15] = 0x30;
  h[16] = 0x01;
  h[17] = 0x35;
  h[18] = 0x18;  // maximum depth 1 8 | 5
  h[19] = 0x52;  // minimum water 2 | 1 4
  h[20] = 0x14;
  h[21] = 0x09;  // average depth 0 9 | 2
  h[22] = 0x20;  // dive time 0 | 4 4
  h[23] = 0x44;
  h[31] = endMark ? 0xFF : 0x00;
  return h;
}

std::vector<std::uint8_t> Memory(const std::vector<std::uint8_t>& header,
                                 const std::vector<std::uint8_t>& stream) {
  std::vector<std::uint8_t> m(7168, 0xFF);
  std::copy(header.begin(), header.end(), m.begin());
  std::copy(stream.begin(), stream.end(), m.begin() + 32);
  return m;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string s;
  char text[4];
  for (auto b : bytes) {
    std::snprintf(text, sizeof text, s.empty() ? "%02X" : " %02X", b);
    s += text;
  }
  return s;
}

}  // namespace test
