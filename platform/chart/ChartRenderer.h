#pragma once
// Lays a chart out in a rectangle and paints it on a QPainter. The layout
// is also what turns a pixel column into a bottom-axis value and back, so a
// window can place its cursor where the user clicked.
#include <vector>

#include <QPointF>
#include <QRectF>
#include <QString>

#include "platform/chart/Chart.h"

class QPainter;

namespace chart {

struct Tick {
  double value = 0.0;
  QString label;
};

// The labelled ticks of an axis: the multiples of its increment inside its
// range, in ascending order.
std::vector<Tick> AxisTicks(const Axis& axis);
// One value as the axis labels it.
QString AxisLabel(const Axis& axis, double value);

class Layout {
 public:
  Layout() = default;
  // The layout of `chart` drawn into `area` (logical pixels).
  Layout(const Chart& chart, const QRectF& area);

  // The front plot rectangle: the left and bottom axes lie on its edges.
  const QRectF& frame() const { return frame_; }
  // The back wall, where background, grid, series and cursor are drawn; the
  // frame itself in 2D, moved up and right by the depth in 3D.
  const QRectF& back() const { return back_; }
  const QRectF& legend() const { return legend_; }
  // Legend rows that fit into the height; the rest are left out.
  int legendRows() const { return legendRows_; }

  // Bottom-axis value <-> pixel column on the back wall.
  double ValueToX(double value) const;
  double XToValue(double x) const;
  // Vertical value of the left or right axis -> pixel row on the back wall.
  double ValueToY(AxisSide side, double value) const;

 private:
  struct Scale {
    double minimum = 0.0, maximum = 1.0;
    bool inverted = false;
  };
  static double Map(const Scale& s, double value, double from, double to);

  QRectF area_;
  QRectF frame_;
  QRectF back_;
  QRectF legend_;
  int legendRows_ = 0;
  Scale left_, right_, bottom_;
};

// Paints `chart` into `area`. The painter's state is restored afterwards.
void Render(const Chart& chart, QPainter& painter, const QRectF& area);

// Pixel points of a line series on the back wall. When the points run
// left to right and outnumber the columns, they are thinned to at most four
// per column as wide as the pen (first, lowest, highest, last), so no
// spike is lost.
std::vector<QPointF> LinePoints(const Series& series, const Layout& layout);

}  // namespace chart
