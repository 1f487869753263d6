#pragma once
// The download from the watch's communication unit.
//
// The PC drives the exchange with single request bytes; the unit answers
// each with a 32-byte block:
//   0x7F once, then a 1200 ms pause: start of a download
//   0xFF: the next block (block 0 is the header)
//   0x7F after a short answer: the same block again (20 ms pause first, at
//        most six times)
//   0xFF once after the last block: end of the download
// A block whose last byte is 0xFF is the last one; at most 223 blocks are
// read. Between blocks the PC pauses 10 ms (after a progress update) or
// 15 ms. Port: 4800 baud, 8N1, DTR and RTS raised, 900 ms read and write
// time-outs.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "platform/os/Clock.h"
#include "platform/os/SerialPort.h"
#include "watchlink/Progress.h"
#include "watchlink/WatchData.h"

namespace watch {

inline constexpr int kBlockAttempts = 7;
inline constexpr int kPortTimeoutMs = 900;
inline constexpr int kStartPauseMs = 1200;
inline constexpr int kProgressPauseMs = 10;
inline constexpr int kBlockPauseMs = 15;
inline constexpr int kRetryPauseMs = 20;
inline constexpr std::uint8_t kRequestBlock = 0xFF;
inline constexpr std::uint8_t kRequestAgain = 0x7F;

// The port settings of the communication unit.
os::SerialSettings WatchPortSettings();

// "COM1".."COM3" name the ports the user chooses from; each maps to a device
// through KELDORAN.INI, section "Ports", key "COMn". Without the key: the
// platform's n-th serial device. Empty for a number below 1.
QString WatchPortDevice(int portNumber);

class WatchLink {
 public:
  WatchLink(os::SerialPort& port, os::Clock& clock, ProgressDisplay& progress);

  // Where "COMn" leads; WatchPortDevice unless replaced.
  std::function<QString(int portNumber)> DeviceForPort = WatchPortDevice;

  // The whole download into the profile file at `outputPath`. kOk or one of
  // kBadUnit, kPortFailed, kTransferFailed, kCreateFailed, kWriteFailed. The
  // caller deletes the file on any other result than kOk.
  int ReceiveWatchData(int portNumber, const QString& outputPath, WatchHeader& header);
  // The block loop over the open port. kOk, kTransferFailed, kBadUnit or
  // kWriteFailed.
  int TransferBlocks(ProfileSink& out, WatchHeader& header);
  // One block, in up to seven attempts.
  bool ReadBlock(std::uint8_t* block);
  // True only when the byte was written, all of it.
  bool SendRequestByte(std::uint8_t byte);
  bool OpenWatchPort(int portNumber);
  void CloseWatchPort();

 private:
  os::SerialPort& port_;
  os::Clock& clock_;
  ProgressDisplay& progress_;
  int token_ = -1;
  std::array<std::uint8_t, kImageSize> image_{};
};

}  // namespace watch
