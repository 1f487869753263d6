// watchrecv: one download from the watch on the console, the way the receive
// dialog runs it: "COMn" as set in KELDORAN.INI (section "Ports"), the
// profile file written to the path given. Prints the progress lines, the
// decoded header and the result code.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/os/Clock.h"
#include "platform/os/SerialPort.h"
#include "tools/ConsoleServices.h"
#include "watchlink/WatchLink.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: watchrecv PORT(1-3) PROFILE-FILE\n");
    return 2;
  }
  const int portNumber = std::atoi(argv[1]);
  os::QtSerialPort port;
  console::ConsoleProgress progress;
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
