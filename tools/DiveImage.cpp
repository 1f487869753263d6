#include "tools/DiveImage.h"

#include <algorithm>
#include <numeric>

namespace watchsim {
namespace {

int PackedSize(int count) { return count / 2 * 3 + (count % 2 ? 2 : 0); }

std::vector<int> DepthProfile(const DiveSpec& s, int count) {
  // Descent 18 m/min, ascent 9 m/min (60 and 30 ft/min), and a bottom phase
  // that wanders up to a fifth above the greatest depth.
  const int down = s.imperial ? 5 : 15;
  const int up = s.imperial ? 3 : 8;
  std::vector<int> depths(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int fromStart = (i + 1) * down;
    const int toEnd = (count - 1 - i) * up;
    const int wave = i % 40 < 20 ? i % 40 : 40 - i % 40;  // 0..20..0
    const int bottom = s.maxDepth - s.maxDepth * wave / 100;
    depths[static_cast<std::size_t>(i)] = std::clamp(std::min({fromStart, toEnd, bottom}), 0, 999);
  }
  return depths;
}

std::vector<int> TemperatureProfile(const DiveSpec& s, const std::vector<int>& depths) {
  // One sample every 5 minutes (60 depth samples), colder with depth.
  std::vector<int> temperatures;
  const int deepest = std::max(1, s.maxDepth);
  for (std::size_t i = 59; i < depths.size(); i += 60) {
    const int t = s.surfaceWater - (s.surfaceWater - s.bottomWater) * depths[i] / deepest;
    temperatures.push_back(std::clamp(t, 0, 998));
  }
  return temperatures;
}

void PutThreeDigits(std::uint8_t* p, bool startHigh, int value) {
  // Three BCD digits from the given nibble on.
  const int d[3] = {value / 100 % 10, value / 10 % 10, value % 10};
  int nibble = startHigh ? 0 : 1;
  for (int k = 0; k < 3; ++k, ++nibble) {
    std::uint8_t& b = p[nibble / 2];
    if (nibble % 2 == 0) {
      b = static_cast<std::uint8_t>((b & 0x0F) | (d[k] << 4));
    } else {
      b = static_cast<std::uint8_t>((b & 0xF0) | d[k]);
    }
  }
}

}  // namespace

std::uint8_t Bcd(int twoDigits) {
  return static_cast<std::uint8_t>((twoDigits / 10 % 10) << 4 | twoDigits % 10);
}

void PackValues(const std::vector<int>& values, std::vector<std::uint8_t>& out) {
  auto digit = [](int v, int weight) { return v / weight % 10; };
  for (std::size_t i = 0; i < values.size(); i += 2) {
    const int a = values[i];
    const bool hasB = i + 1 < values.size();
    const int b = hasB ? values[i + 1] : 0;
    out.push_back(static_cast<std::uint8_t>(digit(a, 100) << 4 | digit(a, 10)));
    out.push_back(static_cast<std::uint8_t>(digit(a, 1) << 4 | digit(b, 100)));
    if (hasB) out.push_back(static_cast<std::uint8_t>(digit(b, 10) << 4 | digit(b, 1)));
  }
}

Dive MakeDive(const DiveSpec& s) {
  Dive dive;
  int minutes = std::max(0, s.minutes);
  int depthCount = minutes * 12;
  dive.depths = DepthProfile(s, depthCount);
  dive.temperatures = TemperatureProfile(s, dive.depths);

  if (s.fillMemory) {
    // Grow the depth section until the stream fills blocks 1 to 222 exactly.
    const int room = (kTransferBlocks - 1) * kBlockBytes;
    // About one temperature for every 60 depth samples.
    int temperatureCount = std::max(1, (room - 1) * 2 / 3 / 61);
    int depthBytes = room - 1 - PackedSize(temperatureCount);
    while (depthBytes % 3 == 1) {
      ++temperatureCount;
      depthBytes = room - 1 - PackedSize(temperatureCount);
    }
    depthCount = depthBytes / 3 * 2 + (depthBytes % 3 == 2 ? 1 : 0);
    minutes = depthCount * 5 / 60;
    dive.depths = DepthProfile(s, depthCount);
    dive.temperatures = TemperatureProfile(s, dive.depths);
    dive.temperatures.resize(static_cast<std::size_t>(temperatureCount), s.bottomWater);
  }

  std::vector<std::uint8_t> stream;
  if (!dive.depths.empty() || !dive.temperatures.empty()) {
    PackValues(dive.depths, stream);
    stream.push_back(0xEF);
    PackValues(dive.temperatures, stream);
  }
  const int maxStream = (kTransferBlocks - 1) * kBlockBytes;
  if (static_cast<int>(stream.size()) > maxStream) stream.resize(static_cast<std::size_t>(maxStream));
  dive.dataBlocks = s.fillMemory ? kTransferBlocks - 1
                                 : (stream.empty() ? 0 : (static_cast<int>(stream.size()) + 1 + 31) / 32);

  dive.memory.assign(kMemorySize, 0xFF);
  std::uint8_t* h = dive.memory.data();
  std::fill(h, h + kBlockBytes, 0x00);
  h[3] = static_cast<std::uint8_t>(dive.dataBlocks);
  h[4] = s.imperial ? 0xA6 : 0xAD;
  h[5] = Bcd(s.year / 100);
  h[6] = Bcd(s.year % 100);
  h[7] = Bcd(s.month);
  h[8] = Bcd(s.day);
  h[9] = static_cast<std::uint8_t>(s.diveNumber);
  h[10] = Bcd(s.hour);
  h[11] = Bcd(s.minute);
  h[12] = Bcd(s.second);
  const int surfacing = (s.hour * 3600 + s.minute * 60 + s.second + minutes * 60) % 86400;
  h[13] = Bcd(surfacing / 3600);
  h[14] = Bcd(surfacing / 60 % 60);
  h[15] = Bcd(surfacing % 60);
  h[16] = Bcd(s.restHours);
  h[17] = Bcd(s.restMinutes);
  const int maxDepth =
      dive.depths.empty() ? 0 : *std::max_element(dive.depths.begin(), dive.depths.end());
  const int minWater = dive.temperatures.empty()
                           ? s.surfaceWater
                           : *std::min_element(dive.temperatures.begin(), dive.temperatures.end());
  const long sum = std::accumulate(dive.depths.begin(), dive.depths.end(), 0L);
  const int average = dive.depths.empty() ? 0 : static_cast<int>(sum / static_cast<long>(dive.depths.size()));
  PutThreeDigits(h + 18, true, maxDepth);
  PutThreeDigits(h + 19, false, minWater);
  PutThreeDigits(h + 21, true, average);
  PutThreeDigits(h + 22, false, std::min(minutes, 999));
  h[31] = dive.dataBlocks == 0 ? 0xFF : 0x00;

  std::copy(stream.begin(), stream.end(), dive.memory.begin() + kBlockBytes);
  return dive;
}

}  // namespace watchsim
