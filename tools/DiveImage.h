#pragma once
// A generated dive as the watch keeps it in its 7168-byte memory: the header
// block, then the depth samples (one every 5 s), a separator, the
// water-temperature samples (one every 5 min) and the 0xFF fill. Used by the
// watch simulator, the tests and the benchmarks.
#include <cstdint>
#include <vector>

namespace watchsim {

inline constexpr int kMemorySize = 7168;
inline constexpr int kBlockBytes = 32;
inline constexpr int kTransferBlocks = 223;

struct DiveSpec {
  bool imperial = false;  // feet and Fahrenheit instead of tenths of metres and Celsius
  int year = 2026;
  int month = 7;
  int day = 14;
  int diveNumber = 1;
  int hour = 10;
  int minute = 30;
  int second = 0;
  int restHours = 1;
  int restMinutes = 30;
  int minutes = 45;         // dive time
  int maxDepth = 185;       // tenths of a metre or whole feet
  int surfaceWater = 240;   // tenths of a degree Celsius or whole degrees Fahrenheit
  int bottomWater = 215;    // temperature at the greatest depth
  // Stretch the dive so that its samples fill every block the PC reads: no
  // block then ends with 0xFF.
  bool fillMemory = false;
};

struct Dive {
  std::vector<int> depths;
  std::vector<int> temperatures;
  std::vector<std::uint8_t> memory;  // kMemorySize bytes
  int dataBlocks = 0;                // blocks after the header that carry the stream
};

Dive MakeDive(const DiveSpec& spec);

// Three-digit values packed two into three bytes; an odd last value takes
// two bytes and leaves the next value's hundreds digit 0.
void PackValues(const std::vector<int>& values, std::vector<std::uint8_t>& out);
std::uint8_t Bcd(int twoDigits);

}  // namespace watchsim
