#pragma once
// The download as the receive dialog starts it: the configured port "COMn"
// (1 to 3), the real serial port and clock, and the progress window.
#include <QString>

#include "watchlink/WatchData.h"

namespace watch {

// Progress shows in `DipeForm`. Result codes as WatchLink::ReceiveWatchData.
int ReceiveWatchData(int portNumber, const QString& outputPath, WatchHeader& header);

}  // namespace watch
