#include "updater/Console.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/os/UiServices.h"
#include "updater/Replace.h"

namespace updater {

bool HasMessageBoxService() {
#if defined(_WIN32) || defined(__APPLE__)
  return true;
#else
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.startsWith("offscreen") || platform.startsWith("minimal")) return false;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

Messenger MessageBoxMessenger() {
  return [](const QString& caption, const QString& text) {
    os::MessageRequest box;
    box.caption = caption;
    box.text = text;
    box.buttons = os::MsgButtons::Ok;
    os::Ui().MessageBox(box);
  };
}

Messenger StandardErrorMessenger() {
  return [](const QString& caption, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
    std::fflush(stderr);
  };
}

int RunUpdateProgram(int& argc, char** argv) {
  RealFileOps ops;
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (HasMessageBoxService()) {
    QApplication app(argc, argv);
    RunUpdate(here, AppPathsFile(), ops, MessageBoxMessenger());
  } else {
    RunUpdate(here, AppPathsFile(), ops, StandardErrorMessenger());
  }
  return 0;
}

}  // namespace updater
