// Decoding a full watch memory (7168 bytes, 223 blocks read) into a profile
// file: the work done after the last block of a download arrives; and the
// summaries the received record counts from that file.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <algorithm>
#include <span>
#include <string>

#include "tools/DiveImage.h"
#include "watchlink/ProfileWriter.h"
#include "watchlink/ReceivedRecord.h"
#include "watchlink/WatchData.h"

namespace {

std::vector<std::uint8_t> FullMemory(bool withGaps) {
  watchsim::DiveSpec spec;
  spec.fillMemory = true;
  watchsim::Dive dive = watchsim::MakeDive(spec);
  if (withGaps) {
    // Every fourth pair of depth samples missing: many short runs to fill.
    std::vector<int> depths = dive.depths;
    for (std::size_t i = 0; i < depths.size(); i += 8) {
      depths[i] = 999;
      if (i + 1 < depths.size()) depths[i + 1] = 999;
    }
    std::vector<std::uint8_t> stream;
    watchsim::PackValues(depths, stream);
    std::copy(stream.begin(), stream.end(), dive.memory.begin() + 32);
  }
  return dive.memory;
}

class StringSink final : public watch::ProfileSink {
 public:
  bool WriteLine(std::string_view line) override {
    text.append(line);
    text.push_back('\n');
    return true;
  }
  std::string text;
};

int Decode(const std::vector<std::uint8_t>& memory, watch::ProfileSink& out) {
  watch::WatchHeader header;
  const int r = watch::DecodeHeader(std::span<const std::uint8_t, 32>(memory.data(), 32), out, header);
  if (r != watch::kOk) return r;
  return watch::DecodeSamples(std::span<const std::uint8_t>(memory).subspan(32, 223 * 32 - 32), out);
}

void BM_DecodeFullMemoryToFile(benchmark::State& state) {
  const auto memory = FullMemory(state.range(0) != 0);
  QTemporaryDir dir;
  const QString path = dir.filePath("VELM0001.LOG");
  for (auto _ : state) {
    watch::ProfileFileWriter file;
    if (!file.Create(path)) state.SkipWithError("cannot create the profile file");
    int r = Decode(memory, file);
    if (!file.Close()) r = watch::kWriteFailed;
    if (r != watch::kOk) state.SkipWithError("decoding failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * watchsim::kMemorySize);
}
BENCHMARK(BM_DecodeFullMemoryToFile)->ArgName("gaps")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DecodeFullMemoryInMemory(benchmark::State& state) {
  const auto memory = FullMemory(state.range(0) != 0);
  std::size_t lines = 0;
  for (auto _ : state) {
    StringSink sink;
    sink.text.reserve(32 * 1024);
    if (Decode(memory, sink) != watch::kOk) state.SkipWithError("decoding failed");
    lines = static_cast<std::size_t>(std::count(sink.text.begin(), sink.text.end(), '\n'));
    benchmark::DoNotOptimize(sink.text.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * watchsim::kMemorySize);
}
BENCHMARK(BM_DecodeFullMemoryInMemory)->ArgName("gaps")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The two summaries a received record takes from its new profile file
// (dive time and average water temperature), on the largest file a
// download can write.
void BM_ReceivedRecordSummaries(benchmark::State& state) {
  const auto memory = FullMemory(false);
  QTemporaryDir dir;
  const QString path = dir.filePath("VELM0001.LOG");
  {
    watch::ProfileFileWriter file;
    if (!file.Create(path) || Decode(memory, file) != watch::kOk || !file.Close()) {
      state.SkipWithError("cannot write the profile file");
    }
  }
  for (auto _ : state) {
    QString diveTime = watch::CountDiveTime(path);
    int water = watch::AverageWaterTemperature(path);
    benchmark::DoNotOptimize(diveTime);
    benchmark::DoNotOptimize(water);
  }
}
BENCHMARK(BM_ReceivedRecordSummaries)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
