#pragma once
// How the updater talks to the user: through a message box when there is a
// display to show it on, else by printing the caption and the text to
// standard error, so that a run in a terminal without a display still says
// what happened.
#include "updater/Updater.h"

namespace updater {

// True on Windows and macOS; elsewhere when DISPLAY or WAYLAND_DISPLAY is set
// and Qt is not told to use a platform nobody sees (offscreen, minimal).
bool HasMessageBoxService();

// A message box with the caption, the text and an OK button, shown through
// the UI services (needs a QApplication).
Messenger MessageBoxMessenger();
// "caption: text" and a line end on standard error, in UTF-8.
Messenger StandardErrorMessenger();

// The whole program: runs the update from the current folder against the
// registered installation, tells the outcome, and returns the exit code,
// which is always 0.
int RunUpdateProgram(int& argc, char** argv);

}  // namespace updater
