// libFuzzer target: any bytes as a watch memory. The first 32 go to the
// header decoder, the rest to the sample decoder; neither may read outside
// its input or crash, and the samples give one line per complete value and
// separator.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "watchlink/WatchData.h"

namespace {

class CountingSink final : public watch::ProfileSink {
 public:
  bool WriteLine(std::string_view) override {
    ++lines;
    return true;
  }
  std::size_t lines = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < watch::kBlockSize) return 0;
  CountingSink sink;
  watch::WatchHeader header;
  watch::DecodeHeader(std::span<const std::uint8_t, watch::kBlockSize>(data, watch::kBlockSize), sink,
                      header);

  const std::span<const std::uint8_t> stream(data + watch::kBlockSize, size - watch::kBlockSize);
  std::size_t expected = 0;
  int position = 0;
  for (const std::uint8_t b : stream) {
    if (b == watch::kEndByte) break;
    if (b == watch::kSeparator) {
      ++expected;
      position = 0;
    } else {
      expected += position != 0;
      position = (position + 1) % 3;
    }
  }
  CountingSink samples;
  if (watch::DecodeSamples(stream, samples) != watch::kOk || samples.lines != expected) std::abort();
  return 0;
}
