#include "watchlink/WatchData.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace watch {
namespace {

int High(std::uint8_t b) { return b >> 4; }
int Low(std::uint8_t b) { return b & 0x0F; }
int TwoDigits(std::uint8_t b) { return High(b) * 10 + Low(b); }

// "%03d" of a sample value without going through printf for every line.
bool WriteSample(int value, ProfileSink& out) {
  if (value < 0 || value > 999) {
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%03d", value);
    return out.WriteLine(std::string_view(text, static_cast<std::size_t>(n)));
  }
  const char text[3] = {static_cast<char>('0' + value / 100), static_cast<char>('0' + value / 10 % 10),
                        static_cast<char>('0' + value % 10)};
  return out.WriteLine(std::string_view(text, 3));
}

}  // namespace

std::string_view FormatHeaderLine(const WatchHeader& h, std::span<char, 160> buffer) {
  const int n = std::snprintf(buffer.data(), buffer.size(),
                              "%c,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", h.unit, h.year,
                              h.month, h.day, h.diveNumber, h.entryHour, h.entryMinute,
                              h.entrySecond, h.surfacingHour, h.surfacingMinute, h.surfacingSecond,
                              h.restHours, h.restMinutes, h.maxDepth, h.minWaterTemperature,
                              h.averageDepth, h.diveMinutes);
  return std::string_view(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

int DecodeHeader(std::span<const std::uint8_t, kBlockSize> b, ProfileSink& out, WatchHeader& h) {
  h = WatchHeader{};
  h.blockCount = b[3];
  if (b[4] != 0xAD && b[4] != 0xA6) return kBadUnit;
  h.unit = static_cast<char>(b[4] - 96);
  h.year = High(b[5]) * 1000 + Low(b[5]) * 100 + High(b[6]) * 10 + Low(b[6]);
  h.month = TwoDigits(b[7]);
  h.day = TwoDigits(b[8]);
  h.diveNumber = b[9];
  h.entryHour = TwoDigits(b[10]);
  h.entryMinute = TwoDigits(b[11]);
  h.entrySecond = TwoDigits(b[12]);
  h.surfacingHour = TwoDigits(b[13]);
  h.surfacingMinute = TwoDigits(b[14]);
  h.surfacingSecond = TwoDigits(b[15]);
  h.restHours = TwoDigits(b[16]);
  h.restMinutes = TwoDigits(b[17]);
  h.maxDepth = High(b[18]) * 100 + Low(b[18]) * 10 + High(b[19]);
  h.minWaterTemperature = Low(b[19]) * 100 + High(b[20]) * 10 + Low(b[20]);
  h.averageDepth = High(b[21]) * 100 + Low(b[21]) * 10 + High(b[22]);
  h.diveMinutes = Low(b[22]) * 100 + High(b[23]) * 10 + Low(b[23]);

  char buffer[160];
  if (!out.WriteLine(FormatHeaderLine(h, buffer)) || !out.WriteLine({})) return kWriteFailed;
  return kOk;
}

int FillGap(int a, int b, int n, ProfileSink& out) {
  const int d = a - b;
  const int q = d / (n + 1);  // both truncate toward zero: r has the sign of d
  const int r = d % (n + 1);
  // The remainder itself is compared with 4 (not half the divisor); a
  // negative remainder never rounds.
  const int step = q + (r > 4 ? 1 : 0);
  for (int k = 1; k <= n; ++k) {
    int value = a - k * step;
    value = a > b ? std::max(value, b) : std::min(value, b);
    if (!WriteSample(value, out)) return kWriteFailed;
  }
  return WriteSample(b, out) ? kOk : kWriteFailed;
}

int DecodeSamples(std::span<const std::uint8_t> stream, ProfileSink& out) {
  int last = 0;     // last good value; kept across a separator
  int missing = 0;  // missing samples waiting for the next good value
  int position = 0; // byte of the 3-byte group
  int hundreds = 0;
  int tens = 0;

  auto take = [&](int value) -> bool {
    if (value == kMissingSample) {
      ++missing;
      return true;
    }
    const bool ok = missing > 0 ? FillGap(last, value, missing, out) == kOk : WriteSample(value, out);
    missing = 0;
    last = value;
    return ok;
  };
  // A run of missing samples cut off by a separator or the end steps to 0.
  auto closeRun = [&]() -> bool {
    if (missing == 0) return true;
    const bool ok = FillGap(last, 0, missing - 1, out) == kOk;
    missing = 0;
    return ok;
  };

  for (const std::uint8_t byte : stream) {
    if (byte == kEndByte) break;
    if (byte == kSeparator) {
      if (!closeRun() || !out.WriteLine({})) return kWriteFailed;
      position = 0;
      continue;
    }
    switch (position) {
      case 0:
        hundreds = High(byte);
        tens = Low(byte);
        position = 1;
        break;
      case 1:
        if (!take(hundreds * 100 + tens * 10 + High(byte))) return kWriteFailed;
        hundreds = Low(byte);
        position = 2;
        break;
      default:
        if (!take(hundreds * 100 + High(byte) * 10 + Low(byte))) return kWriteFailed;
        position = 0;
        break;
    }
  }
  return closeRun() ? kOk : kWriteFailed;
}

int DecodeImage(std::span<const std::uint8_t> image, ProfileSink& out, WatchHeader& header) {
  header = WatchHeader{};
  if (image.size() < static_cast<std::size_t>(kBlockSize)) return kBadUnit;
  std::array<std::uint8_t, kImageSize> memory;
  memory.fill(kEndByte);
  // The blocks a download would read: up to the end-marked one.
  for (std::size_t start = 0; start < image.size() && start < std::size_t{kMaxBlocks} * kBlockSize;
       start += kBlockSize) {
    const std::size_t n = std::min<std::size_t>(kBlockSize, image.size() - start);
    std::copy_n(image.data() + start, n, memory.data() + start);
    if (memory[start + kBlockSize - 1] == kEndByte) break;
  }
  const int r =
      DecodeHeader(std::span<const std::uint8_t, kBlockSize>(memory.data(), kBlockSize), out, header);
  if (r != kOk) return r;
  return DecodeSamples(std::span<const std::uint8_t>(memory).subspan(kBlockSize), out);
}

}  // namespace watch
