// watchsim: plays the watch's communication unit on a pseudo-terminal (or a
// serial device), so that downloads can be tried without a watch.
//
// The unit answers request bytes from the PC:
//   0x7F after 2 s of quiet, or before any block of a download: start of a
//        download; no answer
//   0xFF: the next block (block 0, the header, first)
//   0x7F within a download: the last block again
//   0xFF after the last block (end mark, or block 222): end of the download
// Answers are paced like a 4800-baud line: one byte time for the request,
// then the 32 bytes one byte time apart. Every byte received is logged.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tools/DiveImage.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

struct Options {
  std::string link;    // create a pty and put a symbolic link to it here
  std::string device;  // or serve this device
  std::string image;   // memory image file; else a generated dive
  std::string writeImage;
  std::string log;
  int baud = 4800;  // 0: answer at once
  watchsim::DiveSpec dive;
  std::vector<int> shortBlocks;
  int shortBytes = 20;
  int shortTimes = 1;
  int silentAfter = -1;
  int unitByte = -1;
  bool noEndMark = false;
};

void Usage() {
  std::fputs(
      "usage: watchsim (--link PATH | --device PATH) [options]\n"
      "  --link PATH          create a pseudo-terminal, link PATH to it (printed)\n"
      "  --device PATH        serve an existing serial device or pty instead\n"
      "  --log FILE           log every byte received and every answer\n"
      "  --baud N             pacing of the answers (default 4800, 0: none)\n"
      "memory:\n"
      "  --image FILE         the watch memory (up to 7168 bytes, 0xFF-filled)\n"
      "  --write-image FILE   also save the memory served\n"
      "  otherwise a generated dive:\n"
      "  --date YYYY-MM-DD --time HH:MM:SS --minutes N --depth D\n"
      "  --water-top T --water-min T --dive-number N --rest H:MM --imperial\n"
      "  (metric: depth in metres, temperatures in degrees Celsius, one decimal;\n"
      "   --imperial: whole feet and degrees Fahrenheit)\n"
      "  --fill               stretch the dive over all 223 blocks\n"
      "faults:\n"
      "  --short K[,K...]     answer these blocks short (--short-bytes N, default 20)\n"
      "                       on their first --short-times N answers (default 1)\n"
      "  --silent-after K     answer nothing after block K\n"
      "  --unit-byte 0xNN     send this unit code in the header\n"
      "  --no-end-mark        never end a block with 0xFF (sent as 0x00)\n",
      stderr);
}

// Metres/degrees with one decimal as tenths; whole numbers in imperial.
int Units(const char* text, bool imperial) {
  const double v = std::atof(text);
  return static_cast<int>(imperial ? v + 0.5 : v * 10 + 0.5);
}

bool Parse(int argc, char** argv, Options& o) {
  std::vector<std::pair<std::string, std::string>> deferred;  // unit-dependent values
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "watchsim: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--link") o.link = next();
    else if (a == "--device") o.device = next();
    else if (a == "--image") o.image = next();
    else if (a == "--write-image") o.writeImage = next();
    else if (a == "--log") o.log = next();
    else if (a == "--baud") o.baud = std::atoi(next());
    else if (a == "--date") {
      if (std::sscanf(next(), "%d-%d-%d", &o.dive.year, &o.dive.month, &o.dive.day) != 3) return false;
    } else if (a == "--time") {
      if (std::sscanf(next(), "%d:%d:%d", &o.dive.hour, &o.dive.minute, &o.dive.second) != 3) return false;
    } else if (a == "--rest") {
      if (std::sscanf(next(), "%d:%d", &o.dive.restHours, &o.dive.restMinutes) != 2) return false;
    } else if (a == "--minutes") o.dive.minutes = std::atoi(next());
    else if (a == "--dive-number") o.dive.diveNumber = std::atoi(next());
    else if (a == "--depth" || a == "--water-top" || a == "--water-min") deferred.emplace_back(a, next());
    else if (a == "--imperial") o.dive.imperial = true;
    else if (a == "--fill") o.dive.fillMemory = true;
    else if (a == "--short") {
      std::string list = next();
      for (char* p = list.data(); *p;) {
        o.shortBlocks.push_back(static_cast<int>(std::strtol(p, &p, 10)));
        if (*p == ',') ++p;
        else if (*p) return false;
      }
    } else if (a == "--short-bytes") o.shortBytes = std::clamp(std::atoi(next()), 0, 31);
    else if (a == "--short-times") o.shortTimes = std::atoi(next());
    else if (a == "--silent-after") o.silentAfter = std::atoi(next());
    else if (a == "--unit-byte") o.unitByte = static_cast<int>(std::strtol(next(), nullptr, 0)) & 0xFF;
    else if (a == "--no-end-mark") o.noEndMark = true;
    else return false;
  }
  for (const auto& [key, value] : deferred) {
    const int v = Units(value.c_str(), o.dive.imperial);
    if (key == "--depth") o.dive.maxDepth = v;
    if (key == "--water-top") o.dive.surfaceWater = v;
    if (key == "--water-min") o.dive.bottomWater = v;
  }
  return o.link.empty() != o.device.empty();
}

bool MakeRaw(int fd, int baud) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK);
  if (baud == 4800) {
    cfsetispeed(&t, B4800);
    cfsetospeed(&t, B4800);
  }
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

class Unit {
 public:
  Unit(const Options& o, std::vector<std::uint8_t> memory, std::FILE* log)
      : o_(o), memory_(std::move(memory)), log_(log), start_(Clock::now()) {
    for (int k : o.shortBlocks) shortLeft_[k] = o.shortTimes;
    if (o.baud > 0) byteTime_ = std::chrono::nanoseconds(10'000'000'000LL / o.baud);
  }

  void Receive(std::uint8_t byte, Clock::time_point now) {
    const bool quiet = now - lastRx_ >= std::chrono::seconds(2);
    lastRx_ = now;
    Log(now, "rx %02X", byte);
    if (byte == 0x7F) {
      if (sent_ < 0 || quiet) {
        sent_ = -1;
        finished_ = false;
        Log(now, "start of a download");
      } else {
        Answer(sent_, now);
      }
    } else if (byte == 0xFF) {
      if (finished_) {
        Log(now, "end of the download");
        sent_ = -1;
        finished_ = false;
      } else {
        Answer(sent_ + 1, now);
      }
    } else {
      Log(now, "ignored");
    }
  }

  // Bytes due by `now`, in order.
  std::vector<std::uint8_t> Due(Clock::time_point now) {
    std::vector<std::uint8_t> out;
    while (!queue_.empty() && queue_.front().first <= now) {
      out.push_back(queue_.front().second);
      queue_.pop_front();
    }
    return out;
  }
  bool HasPending() const { return !queue_.empty(); }
  Clock::time_point NextDue() const { return queue_.front().first; }

 private:
  void Answer(int k, Clock::time_point now) {
    sent_ = k;
    if (o_.silentAfter >= 0 && k > o_.silentAfter) {
      Log(now, "silent (block %d)", k);
      return;
    }
    std::uint8_t block[watchsim::kBlockBytes];
    std::copy_n(memory_.begin() + k * watchsim::kBlockBytes, watchsim::kBlockBytes, block);
    if (k == 0 && o_.unitByte >= 0) block[4] = static_cast<std::uint8_t>(o_.unitByte);
    if (o_.noEndMark && block[31] == 0xFF) block[31] = 0x00;
    finished_ = block[31] == 0xFF || k >= watchsim::kTransferBlocks - 1;

    int count = watchsim::kBlockBytes;
    if (auto it = shortLeft_.find(k); it != shortLeft_.end() && it->second > 0) {
      --it->second;
      count = o_.shortBytes;
    }
    // The request took one byte time on the line; each answer byte another.
    Clock::time_point t = std::max(now, queue_.empty() ? now : queue_.back().first) + byteTime_;
    for (int i = 0; i < count; ++i) {
      t += byteTime_;
      queue_.emplace_back(t, block[i]);
    }
    Log(now, "tx block %d (%d bytes)", k, count);
  }

  template <typename... Args>
  void Log(Clock::time_point now, const char* format, Args... args) {
    if (!log_) return;
    const double ms = std::chrono::duration<double, std::milli>(now - start_).count();
    std::fprintf(log_, "%10.3f ", ms);
    std::fprintf(log_, format, args...);
    std::fputc('\n', log_);
    std::fflush(log_);
  }

  const Options& o_;
  std::vector<std::uint8_t> memory_;
  std::FILE* log_;
  Clock::time_point start_;
  Clock::time_point lastRx_{};
  std::chrono::nanoseconds byteTime_{0};
  std::deque<std::pair<Clock::time_point, std::uint8_t>> queue_;
  std::map<int, int> shortLeft_;
  int sent_ = -1;
  bool finished_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    Usage();
    return 2;
  }

  std::vector<std::uint8_t> memory;
  if (!o.image.empty()) {
    std::ifstream in(o.image, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "watchsim: cannot read %s\n", o.image.c_str());
      return 1;
    }
    memory.assign(std::istreambuf_iterator<char>(in), {});
    memory.resize(watchsim::kMemorySize, 0xFF);
  } else {
    memory = watchsim::MakeDive(o.dive).memory;
  }
  if (!o.writeImage.empty()) {
    std::ofstream out(o.writeImage, std::ios::binary);
    out.write(reinterpret_cast<const char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
  }

  std::FILE* log = nullptr;
  if (!o.log.empty() && !(log = std::fopen(o.log.c_str(), "w"))) {
    std::fprintf(stderr, "watchsim: cannot write %s\n", o.log.c_str());
    return 1;
  }

  int fd = -1;
  int keepOpen = -1;  // our own slave end: the pty stays up between downloads
  std::string served = o.device;
  if (!o.link.empty()) {
    fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
      std::perror("watchsim: pseudo-terminal");
      return 1;
    }
    served = ptsname(fd);
    keepOpen = open(served.c_str(), O_RDWR | O_NOCTTY);
    if (keepOpen < 0 || !MakeRaw(keepOpen, o.baud)) {
      std::perror("watchsim: pseudo-terminal");
      return 1;
    }
    unlink(o.link.c_str());
    if (symlink(served.c_str(), o.link.c_str()) != 0) {
      std::perror("watchsim: link");
      return 1;
    }
  } else {
    fd = open(o.device.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0 || !MakeRaw(fd, o.baud)) {
      std::perror("watchsim: device");
      return 1;
    }
  }

  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::printf("watchsim: serving %s%s%s\n", served.c_str(), o.link.empty() ? "" : " as ",
              o.link.c_str());
  std::fflush(stdout);

  Unit unit(o, std::move(memory), log);
  while (!g_stop) {
    int timeoutMs = 200;
    if (unit.HasPending()) {
      const auto wait = std::chrono::floor<std::chrono::milliseconds>(unit.NextDue() - Clock::now());
      timeoutMs = static_cast<int>(std::clamp<long long>(wait.count(), 0, 200));
    }
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0 && (p.revents & POLLIN)) {
      std::uint8_t buffer[256];
      const ssize_t n = read(fd, buffer, sizeof buffer);
      const auto now = Clock::now();
      for (ssize_t i = 0; i < n; ++i) unit.Receive(buffer[i], now);
    } else if (ready > 0 && (p.revents & (POLLHUP | POLLERR))) {
      usleep(10000);  // the other end is closed; wait for the next open
    }
    // Sleep off the rest of the byte time so that bytes leave on time.
    if (unit.HasPending()) {
      const auto wait = unit.NextDue() - Clock::now();
      if (wait > std::chrono::nanoseconds(0) && wait < std::chrono::milliseconds(3)) {
        std::this_thread::sleep_for(wait);
      }
    }
    const auto due = unit.Due(Clock::now());
    if (!due.empty() && write(fd, due.data(), due.size()) < 0 && errno != EAGAIN) break;
  }

  if (!o.link.empty()) unlink(o.link.c_str());
  if (keepOpen >= 0) close(keepOpen);
  close(fd);
  if (log) std::fclose(log);
  return 0;
}
