#include "graph/GraphLogic.h"

#include <algorithm>

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>

#include "platform/os/Formats.h"
#include "store/DiveProfile.h"

namespace graph {

int CheckSelection(int selected) {
  if (selected <= 0) return store::kNoProfile;
  if (selected > kLines) return kTooManyDives;
  return 0;
}

std::vector<QPointF> SeriesPoints(const LineValues& values) {
  std::vector<QPointF> points;
  points.reserve(values.seconds.size());
  for (std::size_t i = 0; i < values.seconds.size(); ++i) {
    points.emplace_back(values.seconds[i] / 86400.0, store::ValueOfText(values.texts[i]));
  }
  return points;
}

QString CursorDepthText(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return QString();
  const std::optional<double> value = fmt::StrToFloat(trimmed);
  if (value && *value == 0) return QString();
  qsizetype lead = 0;
  while (lead < trimmed.size() && trimmed.at(lead) == u'0') ++lead;
  return trimmed.mid(lead).trimmed();
}

int MoveCursor(int cursor, int delta, int minimum, int maximum) {
  if (delta < 0) {
    if (cursor < minimum) return cursor;
    return std::max(cursor + delta, minimum);
  }
  if (delta > 0) {
    if (cursor >= maximum) return cursor;
    return std::min(cursor + delta, maximum);
  }
  return cursor;
}

QString CursorTimeText(int seconds) { return store::SampleTimeText(std::max(seconds, 0)); }

QColor ToColor(WinColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QImage GradientImage(WinColor start, WinColor end) {
  QImage image(640, 400, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, image.height(), 0, 0);
  gradient.setColorAt(0, ToColor(start));
  gradient.setColorAt(1, ToColor(end));
  painter.fillRect(image.rect(), gradient);
  return image;
}

void ApplyConfToChart(const GraphConf& conf, chart::Chart& chart, QString& imagePath,
                      const QString& gradientPath) {
  chart.view3D = (conf.Flags & GraphConf::View3D) != 0;
  chart.bottomWallColor = ToColor(conf.BottomWallColor);
  chart.leftWallColor = ToColor(conf.LeftWallColor);
  chart.panelColor = ToColor(conf.PanelColor);
  chart.backColor = ToColor(conf.BackColor);
  chart.background = chart::Background::Color;
  chart.picture = QImage();

  if (conf.Flags & GraphConf::Picture) {
    chart.pictureMode = (conf.Flags & GraphConf::PictureStretch) ? chart::PictureMode::Stretch
                        : (conf.Flags & GraphConf::PictureTile) ? chart::PictureMode::Tile
                                                                : chart::PictureMode::Center;
    imagePath = conf.ImageFile;
    if (!imagePath.isEmpty()) {
      QImage picture;
      if (QFileInfo::exists(imagePath) && picture.load(imagePath)) {
        chart.picture = picture;
        chart.background = chart::Background::Picture;
      } else {
        imagePath.clear();
      }
    }
  }
  if (conf.Flags & GraphConf::Gradient) {
    QImage picture;
    if (picture.load(gradientPath)) {
      chart.picture = picture;
      chart.pictureMode = chart::PictureMode::Stretch;
      chart.background = chart::Background::Picture;
    }
  }
  const bool grid = (conf.Flags & GraphConf::GridShown) != 0;
  if (grid || (conf.Flags & GraphConf::GridHidden)) {
    for (chart::Axis* axis : {&chart.left, &chart.bottom}) {
      axis->gridVisible = grid;
      axis->gridColor = ToColor(conf.GridColor);
    }
  }
}

}  // namespace graph
