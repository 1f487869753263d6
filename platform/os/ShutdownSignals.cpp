#include "platform/os/ShutdownSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace os {
namespace {
int g_pipe[2] = {-1, -1};

void Handler(int) {
  const char c = 1;
  // Only async-signal-safe work here: wake the GUI thread.
  [[maybe_unused]] auto n = ::write(g_pipe[1], &c, 1);
}
}  // namespace

void InstallShutdownSignals(std::function<void()> onSignal) {
  if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
  auto* notifier =
      new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                   [callback = std::move(onSignal)] {
                     char c;
                     [[maybe_unused]] auto n = ::read(g_pipe[0], &c, 1);
                     if (callback) callback();
                   });
  struct sigaction sa = {};
  sa.sa_handler = Handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

}  // namespace os
