#include "watchlink/Portunit.h"

#include "platform/os/Clock.h"
#include "platform/os/SerialPort.h"
#include "watchlink/Dipeunit.h"
#include "watchlink/WatchLink.h"

namespace watch {

int ReceiveWatchData(int portNumber, const QString& outputPath, WatchHeader& header) {
  os::QtSerialPort port;
  WatchLink link(port, os::SystemClock(), *DipeForm);
  return link.ReceiveWatchData(portNumber, outputPath, header);
}

}  // namespace watch
