#pragma once
// A watch memory image put together from header values and sample lists,
// for the receive tests.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "tools/DiveImage.h"

namespace test {

// A header as the watch sends it.
struct Header {
  std::uint8_t unit = 0xAD;
  int year = 2001, month = 5, day = 12;
  int diveNumber = 3;
  int entry[3] = {10, 4, 9};
  int surfacing[3] = {10, 48, 30};
  int rest[2] = {1, 35};
  int maxDepth = 185, minWater = 214, averageDepth = 92, minutes = 44;
};

inline void PutThree(std::uint8_t* p, bool highFirst, int v) {
  const int d1 = v / 100 % 10, d2 = v / 10 % 10, d3 = v % 10;
  if (highFirst) {
    p[0] = static_cast<std::uint8_t>(d1 << 4 | d2);
    p[1] = static_cast<std::uint8_t>((p[1] & 0x0F) | d3 << 4);
  } else {
    p[0] = static_cast<std::uint8_t>((p[0] & 0xF0) | d1);
    p[1] = static_cast<std::uint8_t>(d2 << 4 | d3);
  }
}

// The watch memory: header, depth samples, separator, temperatures.
inline std::vector<std::uint8_t> Memory(const Header& h, const std::vector<int>& depths, const std::vector<int>& water) {
  std::vector<std::uint8_t> stream;
  if (!depths.empty() || !water.empty()) {
    watchsim::PackValues(depths, stream);
    stream.push_back(0xEF);
    watchsim::PackValues(water, stream);
  }
  std::vector<std::uint8_t> b(32, 0x00);
  const int blocks = (static_cast<int>(stream.size()) + 1 + 31) / 32;
  b[3] = static_cast<std::uint8_t>(stream.empty() ? 0 : blocks);
  b[4] = h.unit;
  b[5] = watchsim::Bcd(h.year / 100);
  b[6] = watchsim::Bcd(h.year % 100);
  b[7] = watchsim::Bcd(h.month);
  b[8] = watchsim::Bcd(h.day);
  b[9] = static_cast<std::uint8_t>(h.diveNumber);
  for (int i = 0; i < 3; ++i) b[10 + i] = watchsim::Bcd(h.entry[i]);
  for (int i = 0; i < 3; ++i) b[13 + i] = watchsim::Bcd(h.surfacing[i]);
  b[16] = watchsim::Bcd(h.rest[0]);
  b[17] = watchsim::Bcd(h.rest[1]);
  PutThree(&b[18], true, h.maxDepth);
  PutThree(&b[19], false, h.minWater);
  PutThree(&b[21], true, h.averageDepth);
  PutThree(&b[22], false, h.minutes);
  b[31] = stream.empty() ? 0xFF : 0x00;
  b.resize(7168, 0xFF);
  std::copy(stream.begin(), stream.end(), b.begin() + 32);
  return b;
}

}  // namespace test
