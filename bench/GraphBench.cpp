// The graph window's 8-dive overlay: 8 profiles of 7000 depth samples
// loaded through the graph work tables into the window's series, then
// drawn into an image of the chart's size on screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench/GraphSetup.h"
#include "platform/chart/ChartRenderer.h"
#include "platform/chart/ChartWidget.h"

namespace {

constexpr int kSamples = 7000;

fixture::GraphSetup& Setup() {
  static fixture::GraphSetup setup(kSamples);
  return setup;
}

void Render(const chart::Chart& c, QImage& image) {
  QPainter painter(&image);
  chart::Render(c, painter, QRectF(image.rect()));
}

// The whole overlay: load, scale, draw.
void BM_GraphOverlay(benchmark::State& state) {
  fixture::GraphSetup& s = Setup();
  QImage image(QSize(640 - 192, 480 - 32), QImage::Format_RGB32);
  for (auto _ : state) {
    if (s.Draw(s.metric) != 1) state.SkipWithError("the overlay did not load");
    Render(s.form->DBChart->model(), image);
  }
  state.SetItemsProcessed(state.iterations() * 8 * kSamples);
}
BENCHMARK(BM_GraphOverlay)->Unit(benchmark::kMillisecond);

// Its parts: the work-table loads alone, and one drawing.
void BM_GraphLoadOnly(benchmark::State& state) {
  fixture::GraphSetup& s = Setup();
  for (auto _ : state) benchmark::DoNotOptimize(s.Draw(s.metric));
}
BENCHMARK(BM_GraphLoadOnly)->Unit(benchmark::kMillisecond);

void BM_GraphRenderOnly(benchmark::State& state) {
  fixture::GraphSetup& s = Setup();
  s.Draw(s.metric);
  QImage image(QSize(640 - 192, 480 - 32), QImage::Format_RGB32);
  for (auto _ : state) Render(s.form->DBChart->model(), image);
}
BENCHMARK(BM_GraphRenderOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
