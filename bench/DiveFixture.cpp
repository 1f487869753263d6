#include "bench/DiveFixture.h"

#include <cmath>
#include <random>

#include <QDir>
#include <QFile>

#include "store/AxisScale.h"

namespace fixture {
namespace {

const QColor kLineColors[8] = {
    QColor(255, 0, 0),   QColor(0, 0, 255),   QColor(0, 128, 0),  QColor(255, 128, 0),
    QColor(128, 0, 128), QColor(0, 160, 160), QColor(128, 64, 0), QColor(255, 0, 255),
};

}  // namespace

QByteArray ProfileText(int n, int depthSamples, bool imperial) {
  std::mt19937 random(1234u + static_cast<unsigned>(n));
  std::normal_distribution<double> noise(0.0, 0.15);
  const double bottom = 9.0 + 4.0 * n;  // metres
  QByteArray text = imperial ? "F" : "M";
  text += ",2001,5,12,1,9,0,0,9,40,0,0,0,123,182,80,40\n\n";
  std::vector<double> depths;
  depths.reserve(static_cast<std::size_t>(depthSamples));
  for (int i = 0; i < depthSamples; ++i) {
    const double f = static_cast<double>(i) / depthSamples;
    double d;
    if (f < 0.08) {
      d = bottom * f / 0.08;  // descent
    } else if (f < 0.75) {      // bottom time on two levels with swell
      const double upper = std::clamp((f - 0.42) / 0.06, 0.0, 1.0);  // moving up to the second level
      const double level = bottom * (1.0 - 0.35 * upper);
      d = level + 1.2 * std::sin(f * 40.0 + n) + noise(random);
    } else if (f < 0.85) {      // ascent to the safety stop
      d = bottom * 0.65 * (0.85 - f) / 0.1 + 5.0 * (f - 0.75) / 0.1;
    } else if (f < 0.97) {
      d = 5.0 + noise(random);  // safety stop
    } else {
      d = 5.0 * (1.0 - f) / 0.03;
    }
    depths.push_back(std::max(0.0, d));
  }
  auto line = [&](double metric) {
    const int v = imperial ? static_cast<int>(metric * 3.28084) : static_cast<int>(metric * 10);
    text += QString::asprintf("%03d\n", std::clamp(v, 0, 999)).toLatin1();
  };
  for (double d : depths) line(d);
  text += "\n";
  for (std::size_t i = 59; i < depths.size(); i += 60) {
    const double celsius = 27.0 - 0.25 * depths[i] + 0.4 * n * 0.5;
    const int v = imperial ? static_cast<int>(celsius * 1.8 + 32) : static_cast<int>(celsius * 10);
    text += QString::asprintf("%03d\n", v).toLatin1();
  }
  return text;
}

QStringList WriteProfiles(const QString& folder, int count, int depthSamples, bool imperial) {
  QStringList paths;
  for (int n = 0; n < count; ++n) {
    const QString path = QDir(folder).filePath(QString::asprintf("VELM%04d.LOG", n + 1));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(ProfileText(n, depthSamples, imperial));
    paths << path;
  }
  return paths;
}

chart::Chart GraphChart() {
  chart::Chart c;
  c.panelColor = QColor(212, 208, 200);
  c.backColor = QColor(255, 255, 255);
  c.left.gridVisible = true;
  c.bottom.gridVisible = true;
  c.left.gridColor = c.bottom.gridColor = QColor(192, 192, 192);
  c.font = QFont(QStringLiteral("Arial"));
  c.font.setPixelSize(11);
  c.legendFont = QFont(QStringLiteral("Courier New"));
  c.legendFont.setPixelSize(11);
  return c;
}

void LoadOverlay(const QStringList& paths, int recordMode, int unit, chart::Chart& chart, bool spacers) {
  store::ProfileExtremes extremes;
  store::MAXMIN maxmin;
  int slot = 1;
  for (const QString& path : paths) {
    if (slot > store::kGraphSlots) break;
    const store::ProfileLoad load = store::LoadProfileSamples(path, recordMode, unit, slot, extremes, maxmin);
    if (load.result == store::kNoProfile) continue;
    if (spacers && slot > 1) {
      chart::Series spacer;
      spacer.title = QStringLiteral(" ");
      spacer.color = Qt::transparent;
      chart.series.push_back(spacer);
    }
    const QColor color = kLineColors[slot - 1];
    chart::Series depth;
    depth.title = QStringLiteral("2001/05/%1").arg(10 + slot);
    depth.color = color;
    depth.penWidth = slot == 1 ? 2 : 1;
    depth.data.reserve(load.samples.depth.size());
    for (const store::ProfileSample& s : load.samples.depth) depth.data.emplace_back(s.Time(), s.value);
    chart::Series water;
    water.kind = chart::SeriesKind::Points;
    water.verticalAxis = chart::AxisSide::Right;
    water.title = QStringLiteral("No.%1").arg(slot);
    water.color = color;
    for (const store::ProfileSample& s : load.samples.water) water.data.emplace_back(s.Time(), s.value);
    chart.series.push_back(std::move(depth));
    chart.series.push_back(std::move(water));
    ++slot;
  }
  store::ApplyAxisPlan(store::PlanAxes(extremes, unit == 0 ? recordMode : unit), chart);
}

}  // namespace fixture
