// The 8-dive overlay: loading 8 profile files of 7000 depth samples and
// drawing them into an 800 x 500 image.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QDir>
#include <QTemporaryDir>

#include "bench/DiveFixture.h"
#include "platform/chart/ChartRenderer.h"

namespace {

constexpr int kSamples = 7000;
const QSize kImageSize(800, 500);

QStringList Profiles(bool imperial) {
  static QTemporaryDir folder;
  static QStringList metric, feet;
  auto make = [&](const QString& sub, bool imp) {
    QDir().mkpath(folder.filePath(sub));
    return fixture::WriteProfiles(folder.filePath(sub), 8, kSamples, imp);
  };
  if (!imperial && metric.isEmpty()) metric = make("metric", false);
  if (imperial && feet.isEmpty()) feet = make("feet", true);
  return imperial ? feet : metric;
}

// Args: record mode, target unit.
void BM_LoadEightProfiles(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const int unit = static_cast<int>(state.range(1));
  const QStringList paths = Profiles(mode == store::kImperial);
  for (auto _ : state) {
    store::ProfileExtremes extremes;
    store::MAXMIN maxmin;
    int slot = 1;
    for (const QString& path : paths) {
      store::ProfileLoad load = store::LoadProfileSamples(path, mode, unit, slot++, extremes, maxmin);
      benchmark::DoNotOptimize(load);
    }
  }
  state.SetItemsProcessed(state.iterations() * 8 * kSamples);
}
BENCHMARK(BM_LoadEightProfiles)
    ->ArgNames({"mode", "unit"})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);

enum Look { Plain, ThreeD, Gradient, Legend };

chart::Chart Overlay(int look) {
  chart::Chart c = fixture::GraphChart();
  fixture::LoadOverlay(Profiles(false), store::kMetric, 0, c, look == Legend);
  c.view3D = look == ThreeD;
  if (look == Gradient) {
    c.background = chart::Background::Gradient;
    c.gradientStart = QColor(255, 255, 255);
    c.gradientEnd = QColor(64, 128, 255);
  }
  c.legendVisible = look == Legend;
  c.cursor = {true, c.bottom.maximum / 3, QColor(0, 0, 0)};
  return c;
}

// Arg: look (0 plain, 1 3D, 2 gradient, 3 legend).
void BM_RenderOverlay(benchmark::State& state) {
  const chart::Chart c = Overlay(static_cast<int>(state.range(0)));
  QImage image(kImageSize, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    chart::Render(c, painter, QRectF(QPointF(0, 0), kImageSize));
  }
}
BENCHMARK(BM_RenderOverlay)->ArgName("look")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Depth lines 1 to 10 pixels wide.
void BM_RenderOverlayPenWidth(benchmark::State& state) {
  chart::Chart c = Overlay(Plain);
  for (chart::Series& s : c.series) s.penWidth = static_cast<int>(state.range(0));
  QImage image(kImageSize, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    chart::Render(c, painter, QRectF(QPointF(0, 0), kImageSize));
  }
}
BENCHMARK(BM_RenderOverlayPenWidth)->ArgName("width")->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond);

// The whole overlay: load 8 profiles, scale the axes, draw.
void BM_LoadAndRenderOverlay(benchmark::State& state) {
  const QStringList paths = Profiles(false);
  QImage image(kImageSize, QImage::Format_RGB32);
  for (auto _ : state) {
    chart::Chart c = fixture::GraphChart();
    fixture::LoadOverlay(paths, store::kMetric, 0, c);
    QPainter painter(&image);
    chart::Render(c, painter, QRectF(QPointF(0, 0), kImageSize));
  }
}
BENCHMARK(BM_LoadAndRenderOverlay)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
