#pragma once
// The chart model: three axes, line and point series, background, 3D walls,
// legend and a vertical cursor line. It holds only what is drawn; the
// renderer (ChartRenderer.h) paints it on any QPainter, so a window, an
// image and a printer page share one code path.
//
// Geometry is in logical pixels at 96 dpi: pen widths, mark sizes, the 3D
// depth and the fonts (point sizes are taken at 96 dpi). A printer or a
// high-resolution image scales the painter and draws the same picture.
#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>

namespace chart {

enum class AxisSide { Left, Right, Bottom };

enum class LabelStyle {
  Number,       // decimals as many as the increment needs
  ElapsedTime,  // values are days (0.5 is 12 hours), labels "H:MM"
};

struct Axis {
  // Manual scale. Ticks, labels and grid lines fall on the multiples of the
  // increment inside [minimum, maximum]; an increment of 0 picks a round
  // step from the range. When labels would overlap, every n-th is kept.
  double minimum = 0.0;
  double maximum = 1.0;
  double increment = 0.0;
  // Side axes: minimum at the top (depth grows downward). Bottom axis:
  // minimum at the right.
  bool inverted = false;
  LabelStyle labels = LabelStyle::Number;
  QString title;
  // Side titles turned by 90 degrees, reading bottom to top; otherwise
  // written level beside the labels. The bottom title is always level.
  bool titleRotated = true;
  bool visible = true;
  bool gridVisible = false;
  QColor gridColor = QColor(128, 128, 128);
  QColor color = QColor(0, 0, 0);  // axis line, ticks, labels and title
};

enum class SeriesKind {
  Line,    // a polyline through the points, no marks
  Points,  // a filled diamond at every point
};

struct Series {
  SeriesKind kind = SeriesKind::Line;
  AxisSide verticalAxis = AxisSide::Left;  // Left or Right
  QString title;                           // the legend text
  QColor color = QColor(255, 0, 0);        // transparent: nothing drawn, legend row kept
  int penWidth = 1;                        // lines
  int markSize = 3;                        // points: the diamond reaches this far each way
  bool active = true;                      // inactive series are neither drawn nor listed
  // x on the bottom axis, y on the vertical axis. Line series draw the
  // points in the order given.
  std::vector<QPointF> data;
};

enum class Background { Color, Gradient, Picture };
enum class PictureMode { Stretch, Tile, Center };

struct Cursor {
  bool visible = false;
  double position = 0.0;  // a bottom-axis value
  QColor color = QColor(0, 0, 0);
};

struct Chart {
  Axis left;
  Axis right;
  Axis bottom;
  std::vector<Series> series;

  // Everything outside the plot area.
  QColor panelColor = QColor(255, 255, 255);

  // The plot area (inside the axes; the back wall in 3D).
  Background background = Background::Color;
  QColor backColor = QColor(255, 255, 255);
  QColor gradientStart = QColor(255, 255, 255);  // at the bottom
  QColor gradientEnd = QColor(0, 0, 255);        // at the top
  QImage picture;  // a null picture shows backColor
  PictureMode pictureMode = PictureMode::Stretch;

  // 3D view: the plot area moves back by depth3D pixels (up and to the
  // right) and the left and bottom walls join it to the axes.
  bool view3D = false;
  int depth3D = 15;
  QColor leftWallColor = QColor(255, 255, 224);
  QColor bottomWallColor = QColor(255, 255, 255);

  // Legend at the right: one row per active series, its symbol then its title.
  bool legendVisible = false;
  int legendSymbolWidth = 22;
  QColor legendColor = QColor(255, 255, 255);
  QFont legendFont;

  QFont font;  // axis labels and titles

  Cursor cursor;

  Axis& axis(AxisSide side) {
    return side == AxisSide::Left ? left : side == AxisSide::Right ? right : bottom;
  }
  const Axis& axis(AxisSide side) const {
    return side == AxisSide::Left ? left : side == AxisSide::Right ? right : bottom;
  }
};

}  // namespace chart
