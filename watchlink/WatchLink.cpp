#include "watchlink/WatchLink.h"

#include <span>

#include "resources/Strings.h"
#include "store/Velm.h"
#include "watchlink/ProfileWriter.h"

namespace watch {
namespace {

constexpr int kCaptionId = 227;   // "Data receive"
constexpr int kStartId = 172;     // "Start"
constexpr int kReceivingId = 173; // "receiveing"
constexpr int kFinishId = 174;    // "Finish"

QString PortName(int portNumber) { return QStringLiteral("COM%1").arg(portNumber); }

}  // namespace

os::SerialSettings WatchPortSettings() {
  os::SerialSettings s;
  s.baudRate = 4800;
  s.dataBits = 8;
  s.parity = os::Parity::None;
  s.stopBits = 1;
  s.dtr = true;
  s.rts = true;
  return s;
}

QString WatchPortDevice(int portNumber) {
  if (portNumber < 1) return {};
  const QByteArray key = PortName(portNumber).toLatin1();
  if (const auto device = velmq::GetProfPath("Ports", key.constData()); device && !device->isEmpty()) {
    return *device;
  }
#ifdef Q_OS_WIN
  return PortName(portNumber);
#else
  return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

WatchLink::WatchLink(os::SerialPort& port, os::Clock& clock, ProgressDisplay& progress)
    : port_(port), clock_(clock), progress_(progress) {
  image_.fill(kEndByte);
}

bool WatchLink::OpenWatchPort(int portNumber) {
  const QString device = DeviceForPort ? DeviceForPort(portNumber) : QString();
  if (device.isEmpty()) return false;
  return port_.Open(device, WatchPortSettings());
}

void WatchLink::CloseWatchPort() {
  port_.SetDtr(false);
  port_.Purge(os::PurgeDirection::Both);
  port_.Close();
}

bool WatchLink::SendRequestByte(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  return port_.Write(&c, 1, kPortTimeoutMs) == 1;
}

bool WatchLink::ReadBlock(std::uint8_t* block) {
  for (int attempt = 1; attempt <= kBlockAttempts; ++attempt) {
    std::uint8_t request = kRequestBlock;
    if (attempt > 1) {
      clock_.Sleep(kRetryPauseMs);
      // The rest of a short answer may have come in late; read as the start
      // of the repeated block it would shift every byte of it.
      port_.Purge(os::PurgeDirection::Input);
      request = kRequestAgain;
    }
    if (!SendRequestByte(request)) return false;
    if (port_.Read(reinterpret_cast<char*>(block), kBlockSize, kPortTimeoutMs) == kBlockSize) {
      return true;
    }
  }
  return false;
}

int WatchLink::TransferBlocks(ProfileSink& out, WatchHeader& header) {
  if (!SendRequestByte(kRequestAgain)) return kTransferFailed;
  clock_.Sleep(kStartPauseMs);
  image_.fill(kEndByte);

  int step = 1;
  for (int k = 0; k < kMaxBlocks; ++k) {
    std::uint8_t* block = image_.data() + k * kBlockSize;
    if (!ReadBlock(block)) return kTransferFailed;
    if (k == 0) {
      const int r = DecodeHeader(std::span<const std::uint8_t, kBlockSize>(block, kBlockSize), out,
                                 header);
      if (r < 0) return r;
      step = header.blockCount / 10;
      if (step == 0) step = 1;
    }
    if (block[kBlockSize - 1] == kEndByte) {
      progress_.UpdateProgress({}, {}, {}, 100, QStringLiteral(" "), token_);
      break;
    }
    if (k % step == 0) {
      const int n = header.blockCount;
      const QString line3 = n > 0 ? QStringLiteral("%1/%2").arg(k).arg(n) : QString::number(k);
      progress_.UpdateProgress({}, {}, res::LoadStr(kReceivingId), n > 0 ? k * 100 / n : -1, line3,
                               token_);
      clock_.Sleep(kProgressPauseMs);
    } else {
      clock_.Sleep(kBlockPauseMs);
    }
  }
  SendRequestByte(kRequestBlock);  // end of the download; nothing answers it
  return DecodeSamples(std::span<const std::uint8_t>(image_).subspan(kBlockSize), out);
}

int WatchLink::ReceiveWatchData(int portNumber, const QString& outputPath, WatchHeader& header) {
  const QString caption = res::LoadStr(kCaptionId);
  const QString blank = QStringLiteral(" ");
  token_ = progress_.ShowProgress(caption, blank, blank, 0, blank);
  if (token_ < 0) token_ = -1;

  const QString name = PortName(portNumber);
  if (!OpenWatchPort(portNumber)) {
    progress_.HideProgress(token_);
    return kPortFailed;
  }
  progress_.UpdateProgress(caption, name, res::LoadStr(kStartId), 0, blank, token_);

  ProfileFileWriter file;
  if (!file.Create(outputPath)) {
    CloseWatchPort();
    progress_.HideProgress(token_);
    return kCreateFailed;
  }
  int r = TransferBlocks(file, header);
  progress_.UpdateProgress(caption, name, res::LoadStr(kFinishId), -1, blank, token_);
  // What was still buffered goes to disk only here; a failure then is a
  // failed download like any other write failure.
  if (!file.Close() && r == kOk) r = kWriteFailed;
  CloseWatchPort();
  progress_.HideProgress(token_);
  return r;
}

}  // namespace watch
