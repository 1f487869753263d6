#include "platform/os/SerialPort.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

namespace os {

struct QtSerialPort::Impl {
  QSerialPort port;

  // A modem line the device has not got (a pseudo-terminal) answers with
  // UnsupportedOperationError, which would stick to the port: forget it.
  bool LineResult(bool ok) {
    if (ok) return true;
    if (port.error() == QSerialPort::UnsupportedOperationError) {
      port.clearError();
      return true;
    }
    return false;
  }
};

QtSerialPort::QtSerialPort() : impl_(std::make_unique<Impl>()) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::Open(const QString& device, const SerialSettings& settings) {
  QSerialPort& port = impl_->port;
  if (port.isOpen()) port.close();
  port.setPortName(device);
  if (!port.open(QIODevice::ReadWrite)) return false;

  const auto dataBits = static_cast<QSerialPort::DataBits>(settings.dataBits);
  QSerialPort::Parity parity = QSerialPort::NoParity;
  if (settings.parity == Parity::Even) parity = QSerialPort::EvenParity;
  if (settings.parity == Parity::Odd) parity = QSerialPort::OddParity;
  const auto stopBits = settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;

  bool ok = port.setBaudRate(settings.baudRate) && port.setDataBits(dataBits) &&
            port.setParity(parity) && port.setStopBits(stopBits) &&
            port.setFlowControl(QSerialPort::NoFlowControl);
  if (ok) ok = port.clear(QSerialPort::AllDirections);
  if (ok) ok = impl_->LineResult(port.setRequestToSend(settings.rts));
  if (ok) ok = impl_->LineResult(port.setDataTerminalReady(settings.dtr));
  if (!ok) {
    port.close();
    return false;
  }
  return true;
}

bool QtSerialPort::IsOpen() const { return impl_->port.isOpen(); }

qint64 QtSerialPort::Write(const char* data, qint64 size, int timeoutMs) {
  QSerialPort& port = impl_->port;
  if (!port.isOpen()) return -1;
  if (port.write(data, size) != size) return -1;
  const QDeadlineTimer deadline(timeoutMs);
  while (port.bytesToWrite() > 0) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0) break;
    if (!port.waitForBytesWritten(static_cast<int>(left))) {
      if (port.error() != QSerialPort::TimeoutError) return -1;
      port.clearError();
      break;
    }
  }
#ifdef Q_OS_UNIX
  // Until here the bytes may still sit in the driver's queue, where a purge
  // would drop them.
  if (port.bytesToWrite() == 0) ::tcdrain(static_cast<int>(port.handle()));
#endif
  return size - port.bytesToWrite();
}

qint64 QtSerialPort::Read(char* data, qint64 size, int timeoutMs) {
  QSerialPort& port = impl_->port;
  if (!port.isOpen()) return -1;
  const QDeadlineTimer deadline(timeoutMs);
  qint64 got = 0;
  while (got < size) {
    const qint64 n = port.read(data + got, size - got);
    if (n < 0) return -1;
    got += n;
    if (got >= size) break;
    const qint64 left = deadline.remainingTime();
    if (left <= 0) break;
    if (!port.waitForReadyRead(static_cast<int>(left))) {
      if (port.error() != QSerialPort::TimeoutError) return -1;
      port.clearError();
      break;
    }
  }
  return got;
}

void QtSerialPort::Purge(PurgeDirection direction) {
  QSerialPort& port = impl_->port;
  if (direction != PurgeDirection::Output) port.clear(QSerialPort::Input);
  // Write drains what it sent, so only a write that timed out leaves bytes
  // to drop. Flushing the driver's output regardless would gain nothing on
  // a real port and, on a pseudo-terminal, can still drop a drained byte the
  // other end has not taken in yet.
  if (direction != PurgeDirection::Input && port.bytesToWrite() > 0) port.clear(QSerialPort::Output);
}

bool QtSerialPort::SetDtr(bool on) { return impl_->LineResult(impl_->port.setDataTerminalReady(on)); }

void QtSerialPort::Close() {
  if (impl_->port.isOpen()) impl_->port.close();
  impl_->port.clearError();
}

}  // namespace os
