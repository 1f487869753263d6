#include "watchlink/Portunit.h"

#include <memory>

#include "platform/os/Clock.h"
#include "platform/os/SerialPort.h"
#include "watchlink/Dipeunit.h"
#include "watchlink/WatchLink.h"

namespace watch {

int ReceiveWatchData(int portNumber, const QString& outputPath, WatchHeader& header) {
  // The window made at start; a caller running without it gets one for the
  // length of the download.
  std::unique_ptr<TDipeForm> own;
  ProgressDisplay* progress = DipeForm;
  if (!progress) {
    own = std::make_unique<TDipeForm>();
    progress = own.get();
  }
  os::QtSerialPort port;
  WatchLink link(port, os::SystemClock(), *progress);
  return link.ReceiveWatchData(portNumber, outputPath, header);
}

}  // namespace watch
