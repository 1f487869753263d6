// Draws the profile graph in its looks into PNG files for a visual check:
//   chart_gallery [prefix]      (default prefix "/tmp/chart-")
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "bench/DiveFixture.h"
#include "platform/chart/ChartRenderer.h"
#include "store/AxisScale.h"

namespace {

// A sea-bed picture for the picture backgrounds.
QImage SeaPicture(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sea(0, 0, 0, size.height());
  sea.setColorAt(0, QColor(180, 225, 250));
  sea.setColorAt(1, QColor(20, 70, 130));
  p.fillRect(image.rect(), sea);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 12; ++i) {
    QRadialGradient bubble(QPointF(size.width() * (i * 37 % 100) / 100.0, size.height() * (i * 53 % 100) / 100.0),
                           size.width() / 14.0);
    bubble.setColorAt(0, QColor(255, 255, 255, 150));
    bubble.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(bubble);
    p.drawEllipse(bubble.center(), size.width() / 14.0, size.width() / 14.0);
  }
  return image;
}

struct Shot {
  const char* name;
  QSize size;
  int dives;
  bool imperial;
  std::function<void(chart::Chart&)> look;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString prefix = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/chart-");

  QTemporaryDir folder;
  QDir().mkpath(folder.filePath("m"));
  QDir().mkpath(folder.filePath("f"));
  const QStringList metric = fixture::WriteProfiles(folder.filePath("m"), 8, 1200, false);
  const QStringList feet = fixture::WriteProfiles(folder.filePath("f"), 8, 1200, true);

  auto cursor = [](chart::Chart& c) { c.cursor = {true, c.bottom.maximum * 0.4, QColor(0, 0, 0)}; };
  const Shot shots[] = {
      {"single-metric", {640, 420}, 1, false, cursor},
      {"single-imperial", {640, 420}, 1, true, cursor},
      {"single-3d", {640, 420}, 1, false,
       [&](chart::Chart& c) {
         cursor(c);
         c.view3D = true;
         c.leftWallColor = QColor(255, 255, 200);
         c.bottomWallColor = QColor(220, 220, 220);
       }},
      {"overlay-metric", {700, 350}, 8, false, [](chart::Chart& c) { c.legendVisible = true; }},
      {"overlay-imperial", {700, 350}, 8, true, [](chart::Chart& c) { c.legendVisible = true; }},
      {"overlay-3d-gradient", {800, 500}, 8, false,
       [&](chart::Chart& c) {
         cursor(c);
         c.view3D = true;
         c.background = chart::Background::Gradient;
         c.gradientStart = QColor(255, 255, 255);
         c.gradientEnd = QColor(90, 150, 230);
         c.leftWallColor = QColor(200, 220, 255);
       }},
      {"single-picture-stretch", {640, 420}, 1, false,
       [&](chart::Chart& c) {
         c.background = chart::Background::Picture;
         c.picture = SeaPicture({320, 200});
         c.pictureMode = chart::PictureMode::Stretch;
       }},
      {"single-picture-tile", {640, 420}, 1, false,
       [&](chart::Chart& c) {
         c.background = chart::Background::Picture;
         c.picture = SeaPicture({120, 90});
         c.pictureMode = chart::PictureMode::Tile;
       }},
      {"single-picture-center", {640, 420}, 1, false,
       [&](chart::Chart& c) {
         c.background = chart::Background::Picture;
         c.picture = SeaPicture({200, 140});
         c.pictureMode = chart::PictureMode::Center;
         c.backColor = QColor(255, 250, 230);
       }},
      {"single-japanese-layout", {640, 420}, 1, false,
       [&](chart::Chart& c) {
         store::ProfileExtremes e;
         e.maxDepth = 24;
         e.minWater = 18.2;
         e.maxWater = 25.8;
         e.longestTime = 1500;
         store::AxisPlan plan = store::PlanAxes(e, store::kMetric, true);
         c.left.title = *plan.depthTitle;
         c.left.titleRotated = c.right.titleRotated = plan.sideTitlesRotated;
         cursor(c);
       }},
  };
  for (const Shot& shot : shots) {
    chart::Chart c = fixture::GraphChart();
    const QStringList& paths = shot.imperial ? feet : metric;
    fixture::LoadOverlay(paths.mid(0, shot.dives), shot.imperial ? store::kImperial : store::kMetric, 0, c,
                         shot.dives > 1);
    shot.look(c);
    QImage image(shot.size, QImage::Format_RGB32);
    {
      QPainter painter(&image);
      chart::Render(c, painter, QRectF(QPointF(0, 0), shot.size));
    }
    const QString path = prefix + shot.name + ".png";
    if (!image.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
    std::printf("%s\n", qPrintable(path));
  }

  // The printer's road: a 1200-dpi PDF page, the painter scaled from the
  // chart's 96-dpi pixels.
  chart::Chart c = fixture::GraphChart();
  fixture::LoadOverlay(metric, store::kMetric, 0, c, true);
  c.legendVisible = true;
  c.view3D = true;
  const QString pdf = prefix + "overlay-print.pdf";
  QPdfWriter writer(pdf);
  writer.setResolution(1200);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageOrientation(QPageLayout::Landscape);
  {
    QPainter painter(&writer);
    const double scale = writer.resolution() / 96.0;
    painter.scale(scale, scale);
    chart::Render(c, painter, QRectF(0, 0, writer.width() / scale, writer.height() / scale * 0.6));
  }
  std::printf("%s\n", qPrintable(pdf));
  return 0;
}
