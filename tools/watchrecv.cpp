// watchrecv: one download from the watch on the console, the way the receive
// dialog runs it: "COMn" as set in KELDORAN.INI (section "Ports"), the
// profile file written to the path given. Prints the progress lines, the
// decoded header and the result code.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/os/Clock.h"
#include "platform/os/SerialPort.h"
#include "watchlink/WatchLink.h"

namespace {

class ConsoleProgress final : public ProgressDisplay {
 public:
  int ShowProgress(const QString& caption, const QString& line1, const QString& line2, int position,
                   const QString& line3) override {
    caption_ = caption;
    line1_ = line1;
    line2_ = line2;
    line3_ = line3;
    Print(position);
    return 1;
  }
  void UpdateProgress(const QString& caption, const QString& line1, const QString& line2,
                      int position, const QString& line3, int token) override {
    if (token != 1) return;
    if (!caption.isEmpty()) caption_ = caption;
    if (!line1.isEmpty()) line1_ = line1;
    if (!line2.isEmpty()) line2_ = line2;
    if (!line3.isEmpty()) line3_ = line3;
    Print(position);
  }
  void HideProgress(int) override {}

 private:
  void Print(int position) {
    std::printf("%s | %s | %s | %3d%% | %s\n", qPrintable(caption_), qPrintable(line1_),
                qPrintable(line2_), std::clamp(position, 0, 100), qPrintable(line3_));
    std::fflush(stdout);
  }
  QString caption_, line1_, line2_, line3_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: watchrecv PORT(1-3) PROFILE-FILE\n");
    return 2;
  }
  const int portNumber = std::atoi(argv[1]);
  os::QtSerialPort port;
  ConsoleProgress progress;
  watch::WatchLink link(port, os::SystemClock(), progress);
  std::printf("COM%d is %s\n", portNumber, qPrintable(watch::WatchPortDevice(portNumber)));
  watch::WatchHeader h;
  const int r = link.ReceiveWatchData(portNumber, QString::fromLocal8Bit(argv[2]), h);
  if (r == watch::kOk) {
    char buffer[160];
    const auto line = watch::FormatHeaderLine(h, buffer);
    std::printf("header: %.*s (%d data blocks)\n", static_cast<int>(line.size()), line.data(),
                h.blockCount);
  }
  std::printf("result: %d\n", r);
  return r == watch::kOk ? 0 : 1;
}
