#pragma once
#include <functional>

namespace os {

// Turns SIGTERM, SIGINT and SIGHUP (a session logout or a `kill`) into a
// call of `onSignal` on the GUI thread, so the program can close its main
// window the normal way and write its settings as on Exit.
void InstallShutdownSignals(std::function<void()> onSignal);

}  // namespace os
