#pragma once
// A serial port as the program drives it: one device opened exclusively with
// fixed line settings, blocking reads and writes bounded by time-outs, purge
// and the DTR line. Production wraps QSerialPort; tests put a scripted port
// in its place.
#include <QString>
#include <QtGlobal>
#include <memory>

namespace os {

enum class Parity { None, Even, Odd };
enum class PurgeDirection { Input, Output, Both };

struct SerialSettings {
  qint32 baudRate = 9600;
  int dataBits = 8;
  Parity parity = Parity::None;
  int stopBits = 1;
  // Modem lines raised while the port is open. No flow control is used.
  bool dtr = true;
  bool rts = true;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens `device` for reading and writing (no sharing), applies `settings`,
  // purges both directions and raises the modem lines. False when the device
  // is absent, in use or refuses the settings; the port is closed then.
  virtual bool Open(const QString& device, const SerialSettings& settings) = 0;
  virtual bool IsOpen() const = 0;
  // Writes `size` bytes and waits until they have left the program, at most
  // `timeoutMs`. The number of bytes written, or -1 on an error.
  virtual qint64 Write(const char* data, qint64 size, int timeoutMs) = 0;
  // Reads until `size` bytes have arrived or `timeoutMs` has passed since
  // the call. The number of bytes read (fewer on a time-out), or -1 on an
  // error.
  virtual qint64 Read(char* data, qint64 size, int timeoutMs) = 0;
  // Discards what is queued in the given direction: received bytes not yet
  // read, bytes whose write did not complete.
  virtual void Purge(PurgeDirection direction) = 0;
  virtual bool SetDtr(bool on) = 0;
  virtual void Close() = 0;
};

// The real port, over QSerialPort. Modem lines that the device cannot carry
// (a pseudo-terminal has none) are not an error.
class QtSerialPort final : public SerialPort {
 public:
  QtSerialPort();
  ~QtSerialPort() override;
  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  bool Open(const QString& device, const SerialSettings& settings) override;
  bool IsOpen() const override;
  qint64 Write(const char* data, qint64 size, int timeoutMs) override;
  qint64 Read(char* data, qint64 size, int timeoutMs) override;
  void Purge(PurgeDirection direction) override;
  bool SetDtr(bool on) override;
  void Close() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace os
