#pragma once
// The process entry: single-instance guard, splash window, creation of the
// main window and the data module, the message loop, and the orderly end.
#include <functional>

class QApplication;
class TMainForm;

struct StartOptions {
  // Called once the main window is shown and the data module exists; tests
  // use it to operate the running program and close it.
  std::function<void(TMainForm&)> onRunning;
};

// Returns the process exit code.
int RunKeldoran(QApplication& app, const StartOptions& options = {});
