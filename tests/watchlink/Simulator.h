#pragma once
// The watch simulator (tools/watchsim) as a child process serving a
// pseudo-terminal, with the bytes it received read back from its log.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>
#include <string>

namespace test {

class Simulator {
 public:
  Simulator(const QString& folder, const QStringList& options)
      : link_(folder + "/watch"), log_(folder + "/watchsim.log") {
    process_.setProgram(QStringLiteral(KELDORAN_BIN_DIR "/watchsim"));
    process_.setArguments(QStringList{"--link", link_, "--log", log_} + options);
    process_.start();
  }
  ~Simulator() {
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
  }

  // True once the simulator serves its pseudo-terminal.
  bool Ready() {
    if (!process_.waitForStarted(5000)) return false;
    for (int i = 0; i < 100; ++i) {
      if (process_.canReadLine() || process_.waitForReadyRead(50)) {
        if (process_.readLine().startsWith("watchsim: serving")) return QFileInfo::exists(link_);
      }
    }
    return false;
  }

  // The bytes received so far, as "7F FF ...".
  std::string Received() const {
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly)) return {};
    std::string bytes;
    static const QRegularExpression rx(QStringLiteral(" rx ([0-9A-F]{2})$"));
    for (const QByteArray& line : f.readAll().split('\n')) {
      const auto m = rx.match(QString::fromLatin1(line));
      if (m.hasMatch()) bytes += (bytes.empty() ? "" : " ") + m.captured(1).toStdString();
    }
    return bytes;
  }
  // Waits up to two seconds for `expected` to be logged.
  std::string ReceivedWhenSettled(const std::string& expected) const {
    for (int i = 0; i < 40 && Received() != expected; ++i) QThread::msleep(50);
    return Received();
  }

  const QString& Link() const { return link_; }

 private:
  QString link_;
  QString log_;
  QProcess process_;
};

}  // namespace test
