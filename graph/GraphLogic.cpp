#include "graph/GraphLogic.h"

#include <algorithm>

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>

#include "platform/db/Table.h"
#include "platform/os/Formats.h"
#include "store/DiveProfile.h"

namespace graph {

int CheckSelection(int selected) {
  if (selected <= 0) return store::kNoProfile;
  if (selected > kLines) return kTooManyDives;
  return 0;
}

QString LineValues::At(int second) const {
  const auto it = std::lower_bound(seconds.begin(), seconds.end(), second);
  if (it == seconds.end() || *it != second) return QString();
  return texts[static_cast<std::size_t>(it - seconds.begin())];
}

LineValues ReadWorkTable(db::Table& table, const QString& valueField) {
  LineValues values;
  if (!table.Active()) return values;
  db::Field time = table.FieldByName(QStringLiteral("Time"));
  db::Field value = table.FieldByName(valueField);
  values.seconds.reserve(static_cast<std::size_t>(table.RecordCount()));
  values.texts.reserve(static_cast<std::size_t>(table.RecordCount()));
  for (table.First(); !table.Eof(); table.Next()) {
    // Times are whole seconds; the stored milliseconds are rounded back.
    values.seconds.push_back(static_cast<int>(std::llround(time.AsDateTime() * 86400.0)));
    values.texts.push_back(value.AsString());
  }
  table.First();
  // The rows were written in time order; keep lookups sound if they were not.
  if (!std::is_sorted(values.seconds.begin(), values.seconds.end())) {
    std::vector<std::size_t> order(values.seconds.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return values.seconds[a] < values.seconds[b]; });
    LineValues sorted;
    for (std::size_t i : order) {
      sorted.seconds.push_back(values.seconds[i]);
      sorted.texts.push_back(values.texts[i]);
    }
    return sorted;
  }
  return values;
}

std::vector<QPointF> SeriesPoints(const LineValues& values) {
  std::vector<QPointF> points;
  points.reserve(values.seconds.size());
  for (std::size_t i = 0; i < values.seconds.size(); ++i) {
    points.emplace_back(values.seconds[i] / 86400.0, fmt::StrToFloat(values.texts[i].trimmed()).value_or(0.0));
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
