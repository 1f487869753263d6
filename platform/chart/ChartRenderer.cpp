#include "platform/chart/ChartRenderer.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

namespace chart {
namespace {

constexpr double kMargin = 8.0;    // around the whole drawing
constexpr double kTickLength = 4.0;
constexpr double kLabelGap = 2.0;  // tick to label
constexpr double kTitleGap = 4.0;  // labels to title
constexpr double kLegendPad = 4.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr int kMaxTicks = 2000;

// Fonts are sized at 96 dpi so that every device shows the same picture.
QFont PixelFont(QFont font) {
  if (font.pixelSize() <= 0) {
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 8.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
  }
  return font;
}

// A round step (1, 2 or 5 times a power of ten) near `rough`.
double RoundStep(double rough) {
  if (!(rough > 0) || !std::isfinite(rough)) return 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  const double f = rough / power;
  return (f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 5.0 ? 5.0 : 10.0) * power;
}

double Increment(const Axis& axis) {
  const double range = std::fabs(axis.maximum - axis.minimum);
  double inc = axis.increment > 0 && std::isfinite(axis.increment) ? axis.increment : 0.0;
  if (inc == 0.0 || range / inc > kMaxTicks) inc = RoundStep(range / 8.0);
  return inc;
}

int Decimals(double increment) {
  for (int d = 0; d < 6; ++d) {
    const double scaled = increment * std::pow(10.0, d);
    if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) return d;
  }
  return 6;
}

struct Metrics {
  QFont font;
  QFont legendFont;
  double lineHeight = 0;
  double leftLabels = 0;   // widest label
  double rightLabels = 0;
  double lastBottomLabel = 0;
};

double WidestLabel(const Axis& axis, const QFontMetricsF& fm) {
  double w = 0;
  for (const Tick& t : AxisTicks(axis)) w = std::max(w, fm.horizontalAdvance(t.label));
  return w;
}

Metrics Measure(const Chart& chart) {
  Metrics m;
  m.font = PixelFont(chart.font);
  m.legendFont = PixelFont(chart.legendFont);
  const QFontMetricsF fm(m.font);
  m.lineHeight = fm.height();
  if (chart.left.visible) m.leftLabels = WidestLabel(chart.left, fm);
  if (chart.right.visible) m.rightLabels = WidestLabel(chart.right, fm);
  if (chart.bottom.visible) {
    const std::vector<Tick> ticks = AxisTicks(chart.bottom);
    if (!ticks.empty()) m.lastBottomLabel = fm.horizontalAdvance(ticks.back().label);
  }
  return m;
}

// Pixel positions far outside any device are held where the painter's
// fixed-point rasterizer still works.
double Drawable(double pixel) { return std::clamp(pixel, -1e6, 1e6); }

double LegendRowHeight(const QFontMetricsF& fm) { return std::ceil(fm.height()) + 1; }

// Width taken beside the plot by a side axis: ticks, labels and title.
double SideWidth(const Axis& axis, double labels, const QFontMetricsF& fm) {
  if (!axis.visible) return 0.0;
  double w = kTickLength + kLabelGap + labels;
  if (!axis.title.isEmpty()) {
    w += kTitleGap + (axis.titleRotated ? fm.height() : fm.horizontalAdvance(axis.title));
  }
  return w;
}

}  // namespace

QString AxisLabel(const Axis& axis, double value) {
  if (axis.labels == LabelStyle::ElapsedTime) {
    if (!std::isfinite(value)) return QString();
    long long seconds = std::llround(std::clamp(value * kSecondsPerDay, -1e15, 1e15));
    const bool negative = seconds < 0;
    if (negative) seconds = -seconds;
    return QStringLiteral("%1%2:%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(seconds / 3600)
        .arg((seconds % 3600) / 60, 2, 10, QLatin1Char('0'));
  }
  QString text = QString::number(value, 'f', Decimals(Increment(axis)));
  if (text.startsWith(u'-') && text.mid(1).remove(u'0').remove(u'.').isEmpty()) text.remove(0, 1);
  return text;
}

std::vector<Tick> AxisTicks(const Axis& axis) {
  std::vector<Tick> ticks;
  const double lo = std::min(axis.minimum, axis.maximum);
  const double hi = std::max(axis.minimum, axis.maximum);
  if (!std::isfinite(lo) || !std::isfinite(hi)) return ticks;
  const double inc = Increment(axis);
  const double first = std::ceil(lo / inc - 1e-9);
  const double last = std::floor(hi / inc + 1e-9);
  for (double k = first; k <= last && ticks.size() < static_cast<std::size_t>(kMaxTicks) + 1; ++k) {
    double v = k * inc;
    if (std::fabs(v) < inc * 1e-9) v = 0.0;
    ticks.push_back({v, AxisLabel(axis, v)});
  }
  return ticks;
}

// ---------------------------------------------------------------- layout

Layout::Layout(const Chart& chart, const QRectF& area) : area_(area) {
  const Metrics m = Measure(chart);
  const QFontMetricsF fm(m.font);
  QRectF r = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);

  if (chart.legendVisible) {
    const QFontMetricsF lfm(m.legendFont);
    int rows = 0;
    double text = 0;
    for (const Series& s : chart.series) {
      if (!s.active) continue;
      ++rows;
      text = std::max(text, lfm.horizontalAdvance(s.title));
    }
    const double rowHeight = LegendRowHeight(lfm);
    rows = std::min(rows, static_cast<int>((r.height() - kLegendPad * 2) / rowHeight));
    if (rows > 0) {
      legendRows_ = rows;
      const double w = kLegendPad * 3 + chart.legendSymbolWidth + text;
      const double h = rows * rowHeight + kLegendPad * 2;
      const double top = std::max(r.top(), r.center().y() - h / 2);
      legend_ = QRectF(std::round(r.right() - w), std::round(top), std::ceil(w), std::ceil(h));
      r.setRight(legend_.left() - kMargin);
    }
  }

  const double depth = chart.view3D ? std::max(0, chart.depth3D) : 0;
  const double leftW = SideWidth(chart.left, m.leftLabels, fm);
  const double rightW =
      std::max(SideWidth(chart.right, m.rightLabels, fm), chart.bottom.visible ? m.lastBottomLabel / 2 : 0.0);
  double bottomH = 0;
  if (chart.bottom.visible) {
    bottomH = kTickLength + kLabelGap + m.lineHeight;
    if (!chart.bottom.title.isEmpty()) bottomH += kTitleGap + m.lineHeight;
  }
  const double topH = m.lineHeight / 2 + depth;

  const double left = std::round(r.left() + leftW);
  const double top = std::round(r.top() + topH);
  const double right = std::round(r.right() - rightW - depth);
  const double bottom = std::round(r.bottom() - bottomH);
  frame_ = QRectF(left, top, std::max(1.0, right - left), std::max(1.0, bottom - top));
  back_ = frame_.translated(depth, -depth);

  left_ = {chart.left.minimum, chart.left.maximum, chart.left.inverted};
  right_ = {chart.right.minimum, chart.right.maximum, chart.right.inverted};
  bottom_ = {chart.bottom.minimum, chart.bottom.maximum, chart.bottom.inverted};
}

double Layout::Map(const Scale& s, double value, double from, double to) {
  const double span = s.maximum - s.minimum;
  if (span == 0 || !std::isfinite(span)) return from;
  double f = (value - s.minimum) / span;
  if (s.inverted) f = 1.0 - f;
  return from + f * (to - from);
}

double Layout::ValueToX(double value) const { return Map(bottom_, value, back_.left(), back_.right()); }

double Layout::XToValue(double x) const {
  const double span = bottom_.maximum - bottom_.minimum;
  if (back_.width() <= 0 || span == 0) return bottom_.minimum;
  double f = (x - back_.left()) / back_.width();
  if (bottom_.inverted) f = 1.0 - f;
  return bottom_.minimum + f * span;
}

double Layout::ValueToY(AxisSide side, double value) const {
  // A side axis that is not inverted has its minimum at the bottom.
  const Scale& s = side == AxisSide::Right ? right_ : left_;
  return Map(s, value, back_.bottom(), back_.top());
}

// ---------------------------------------------------------- line thinning

std::vector<QPointF> LinePoints(const Series& series, const Layout& layout) {
  const std::vector<QPointF>& data = series.data;
  std::vector<QPointF> mapped;
  mapped.reserve(data.size());
  bool ascending = true;
  for (const QPointF& p : data) {
    if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
    const QPointF q(Drawable(layout.ValueToX(p.x())), Drawable(layout.ValueToY(series.verticalAxis, p.y())));
    if (!mapped.empty() && q.x() < mapped.back().x()) ascending = false;
    mapped.push_back(q);
  }
  // A wide pen covers as many columns as it is wide: thin per pen width.
  const double bucket = std::max(1, series.penWidth);
  const double columns = std::max(1.0, layout.back().width() / bucket);
  if (!ascending || static_cast<double>(mapped.size()) <= 4 * columns) return mapped;

  std::vector<QPointF> out;
  out.reserve(static_cast<std::size_t>(columns) * 4 + 8);
  std::size_t start = 0;
  while (start < mapped.size()) {
    const double column = std::floor(mapped[start].x() / bucket);
    std::size_t end = start, low = start, high = start;
    while (end + 1 < mapped.size() && std::floor(mapped[end + 1].x() / bucket) == column) {
      ++end;
      if (mapped[end].y() < mapped[low].y()) low = end;
      if (mapped[end].y() > mapped[high].y()) high = end;
    }
    out.push_back(mapped[start]);
    const std::size_t a = std::min(low, high), b = std::max(low, high);
    if (a != start && a != end) out.push_back(mapped[a]);
    if (b != a && b != start && b != end) out.push_back(mapped[b]);
    if (end != start) out.push_back(mapped[end]);
    start = end + 1;
  }
  return out;
}

// --------------------------------------------------------------- painting

namespace {

class ChartPainter {
 public:
  ChartPainter(const Chart& chart, QPainter& p, const QRectF& area)
      : c_(chart), p_(p), area_(area), l_(chart, area), m_(Measure(chart)), fm_(m_.font) {
    depth_ = chart.view3D ? std::max(0, chart.depth3D) : 0;
  }

  void Paint() {
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.fillRect(area_, c_.panelColor);
    if (c_.view3D) Walls();
    Background();
    Grid();
    p_.setPen(QPen(QColor(0, 0, 0), 1));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(l_.back());
    // Axes behind the values, so that a cursor or a line on an edge shows.
    LeftAxis();
    RightAxis();
    BottomAxis();
    p_.save();
    p_.setClipRect(l_.back().adjusted(0, 0, 1, 1));
    CursorLine();
    for (const Series& s : c_.series) SeriesValues(s);
    p_.restore();
    Legend();
  }

 private:
  // Ticks that keep their labels apart on an axis `length` pixels long.
  std::vector<Tick> Spaced(const Axis& axis, double length, bool vertical) const {
    std::vector<Tick> ticks = AxisTicks(axis);
    if (ticks.size() < 2) return ticks;
    double need = m_.lineHeight + 2;
    if (!vertical) {
      for (const Tick& t : ticks) need = std::max(need, fm_.horizontalAdvance(t.label) + 6);
    }
    const double range = std::fabs(axis.maximum - axis.minimum);
    const double spacing = length * std::fabs(ticks[1].value - ticks[0].value) / (range > 0 ? range : 1);
    std::size_t every = ticks.size();  // only the first when the spacing is no number
    if (spacing >= need) {
      every = 1;
    } else if (spacing > 0 && std::isfinite(spacing)) {
      every = static_cast<std::size_t>(std::min(std::ceil(need / spacing), static_cast<double>(ticks.size())));
    }
    std::vector<Tick> kept;
    for (std::size_t i = 0; i < ticks.size(); i += every) kept.push_back(ticks[i]);
    return kept;
  }

  void Walls() {
    const QRectF& f = l_.frame();
    const QRectF& b = l_.back();
    p_.setPen(QPen(QColor(0, 0, 0), 1));
    p_.setBrush(c_.leftWallColor);
    p_.drawPolygon(QPolygonF({f.topLeft(), b.topLeft(), b.bottomLeft(), f.bottomLeft()}));
    p_.setBrush(c_.bottomWallColor);
    p_.drawPolygon(QPolygonF({f.bottomLeft(), b.bottomLeft(), b.bottomRight(), f.bottomRight()}));
  }

  void Background() {
    const QRectF& b = l_.back();
    if (c_.background == chart::Background::Gradient) {
      QLinearGradient g(b.bottomLeft(), b.topLeft());
      g.setColorAt(0, c_.gradientStart);
      g.setColorAt(1, c_.gradientEnd);
      p_.fillRect(b, g);
      return;
    }
    p_.fillRect(b, c_.backColor);
    if (c_.background != chart::Background::Picture || c_.picture.isNull()) return;
    p_.save();
    p_.setClipRect(b);
    switch (c_.pictureMode) {
      case PictureMode::Stretch:
        p_.drawImage(b, c_.picture);
        break;
      case PictureMode::Tile:
        p_.setBrushOrigin(b.topLeft());
        p_.fillRect(b, QBrush(c_.picture));
        break;
      case PictureMode::Center: {
        const QSizeF size = c_.picture.size();
        const QPointF at(std::round(b.center().x() - size.width() / 2),
                         std::round(b.center().y() - size.height() / 2));
        p_.drawImage(at, c_.picture);
        break;
      }
    }
    p_.restore();
  }

  void Grid() {
    const QRectF& b = l_.back();
    const QRectF& f = l_.frame();
    if (c_.left.visible && c_.left.gridVisible) {
      p_.setPen(QPen(c_.left.gridColor, 1));
      for (const Tick& t : Spaced(c_.left, b.height(), true)) {
        const double y = std::round(l_.ValueToY(AxisSide::Left, t.value));
        p_.drawLine(QPointF(b.left(), y), QPointF(b.right(), y));
        if (depth_ > 0) p_.drawLine(QPointF(f.left(), y + depth_), QPointF(b.left(), y));
      }
    }
    if (c_.bottom.visible && c_.bottom.gridVisible) {
      p_.setPen(QPen(c_.bottom.gridColor, 1));
      for (const Tick& t : Spaced(c_.bottom, b.width(), false)) {
        const double x = std::round(l_.ValueToX(t.value));
        p_.drawLine(QPointF(x, b.top()), QPointF(x, b.bottom()));
        if (depth_ > 0) p_.drawLine(QPointF(x - depth_, f.bottom()), QPointF(x, b.bottom()));
      }
    }
  }

  void CursorLine() {
    if (!c_.cursor.visible) return;
    if (!std::isfinite(c_.cursor.position)) return;
    const double x = std::round(Drawable(l_.ValueToX(c_.cursor.position)));
    p_.setPen(QPen(c_.cursor.color, 1));
    p_.drawLine(QPointF(x, l_.back().top()), QPointF(x, l_.back().bottom()));
  }

  void SeriesValues(const Series& s) {
    if (!s.active || s.data.empty() || s.color.alpha() == 0) return;
    if (s.kind == SeriesKind::Line) {
      const std::vector<QPointF> points = LinePoints(s, l_);
      QPen pen(s.color, std::max(1, s.penWidth), Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
      p_.setPen(pen);
      p_.drawPolyline(points.data(), static_cast<int>(points.size()));
      return;
    }
    p_.setPen(QPen(s.color, 1));
    p_.setBrush(s.color);
    for (const QPointF& v : s.data) {
      if (!std::isfinite(v.x()) || !std::isfinite(v.y())) continue;
      const QPointF at(std::round(Drawable(l_.ValueToX(v.x()))),
                       std::round(Drawable(l_.ValueToY(s.verticalAxis, v.y()))));
      Diamond(at, s.markSize);
    }
    p_.setBrush(Qt::NoBrush);
  }

  void Diamond(const QPointF& at, int size) {
    const double r = std::max(1, size);
    const QPointF d[4] = {{at.x(), at.y() - r}, {at.x() + r, at.y()}, {at.x(), at.y() + r}, {at.x() - r, at.y()}};
    p_.drawPolygon(d, 4);
  }

  void Text(const QRectF& box, int flags, const QString& text, const QColor& color) {
    p_.setPen(color);
    p_.drawText(box, flags | Qt::TextDontClip, text);
  }

  void SideTitle(const Axis& axis, double edge, bool onLeft) {
    if (axis.title.isEmpty()) return;
    const QRectF& f = onLeft ? l_.frame() : l_.back();
    const double cy = f.center().y();
    if (axis.titleRotated) {
      const double h = m_.lineHeight;
      const double cx = onLeft ? edge - h / 2 : edge + h / 2;
      p_.save();
      p_.translate(cx, cy);
      p_.rotate(-90);
      Text(QRectF(-f.height() / 2, -h / 2, f.height(), h), Qt::AlignCenter, axis.title, axis.color);
      p_.restore();
      return;
    }
    const double w = fm_.horizontalAdvance(axis.title);
    const QRectF box(onLeft ? edge - w : edge, cy - m_.lineHeight / 2, w, m_.lineHeight);
    Text(box, Qt::AlignVCenter | (onLeft ? Qt::AlignRight : Qt::AlignLeft), axis.title, axis.color);
  }

  void LeftAxis() {
    const Axis& a = c_.left;
    if (!a.visible) return;
    p_.setFont(m_.font);
    const QRectF& f = l_.frame();
    p_.setPen(QPen(a.color, 1));
    p_.drawLine(QPointF(f.left(), f.top()), QPointF(f.left(), f.bottom()));
    const double labelRight = f.left() - kTickLength - kLabelGap;
    for (const Tick& t : Spaced(a, f.height(), true)) {
      const double y = std::round(l_.ValueToY(AxisSide::Left, t.value) + depth_);
      p_.setPen(QPen(a.color, 1));
      p_.drawLine(QPointF(f.left() - kTickLength, y), QPointF(f.left(), y));
      Text(QRectF(labelRight - m_.leftLabels, y - m_.lineHeight / 2, m_.leftLabels, m_.lineHeight),
           Qt::AlignRight | Qt::AlignVCenter, t.label, a.color);
    }
    SideTitle(a, labelRight - m_.leftLabels - kTitleGap, true);
  }

  void RightAxis() {
    const Axis& a = c_.right;
    if (!a.visible) return;
    p_.setFont(m_.font);
    const QRectF& b = l_.back();
    p_.setPen(QPen(a.color, 1));
    p_.drawLine(QPointF(b.right(), b.top()), QPointF(b.right(), b.bottom()));
    const double labelLeft = b.right() + kTickLength + kLabelGap;
    for (const Tick& t : Spaced(a, b.height(), true)) {
      const double y = std::round(l_.ValueToY(AxisSide::Right, t.value));
      p_.setPen(QPen(a.color, 1));
      p_.drawLine(QPointF(b.right(), y), QPointF(b.right() + kTickLength, y));
      Text(QRectF(labelLeft, y - m_.lineHeight / 2, m_.rightLabels, m_.lineHeight),
           Qt::AlignLeft | Qt::AlignVCenter, t.label, a.color);
    }
    SideTitle(a, labelLeft + m_.rightLabels + kTitleGap, false);
  }

  void BottomAxis() {
    const Axis& a = c_.bottom;
    if (!a.visible) return;
    p_.setFont(m_.font);
    const QRectF& f = l_.frame();
    p_.setPen(QPen(a.color, 1));
    p_.drawLine(QPointF(f.left(), f.bottom()), QPointF(f.right(), f.bottom()));
    const double labelTop = f.bottom() + kTickLength + kLabelGap;
    for (const Tick& t : Spaced(a, f.width(), false)) {
      const double x = std::round(l_.ValueToX(t.value) - depth_);
      p_.setPen(QPen(a.color, 1));
      p_.drawLine(QPointF(x, f.bottom()), QPointF(x, f.bottom() + kTickLength));
      const double w = fm_.horizontalAdvance(t.label);
      Text(QRectF(x - w / 2, labelTop, w, m_.lineHeight), Qt::AlignCenter, t.label, a.color);
    }
    if (!a.title.isEmpty()) {
      const QRectF box(f.left(), labelTop + m_.lineHeight + kTitleGap, f.width(), m_.lineHeight);
      Text(box, Qt::AlignCenter, a.title, a.color);
    }
  }

  void Legend() {
    const QRectF& box = l_.legend();
    if (!c_.legendVisible || box.isEmpty()) return;
    p_.setPen(QPen(QColor(0, 0, 0), 1));
    p_.setBrush(c_.legendColor);
    p_.drawRect(box);
    p_.setBrush(Qt::NoBrush);
    p_.setFont(m_.legendFont);
    const QFontMetricsF lfm(m_.legendFont);
    const double rowHeight = LegendRowHeight(lfm);
    double y = box.top() + kLegendPad;
    int row = 0;
    for (const Series& s : c_.series) {
      if (!s.active) continue;
      if (row++ == l_.legendRows()) break;
      const double cy = std::round(y + rowHeight / 2);
      const double x0 = box.left() + kLegendPad;
      if (s.color.alpha() != 0) {
        if (s.kind == SeriesKind::Line) {
          const int width = std::clamp(s.penWidth, 1, static_cast<int>(rowHeight / 2));
          p_.setPen(QPen(s.color, width, Qt::SolidLine, Qt::FlatCap));
          p_.drawLine(QPointF(x0, cy), QPointF(x0 + c_.legendSymbolWidth, cy));
        } else {
          p_.setPen(QPen(s.color, 1));
          p_.setBrush(s.color);
          Diamond(QPointF(std::round(x0 + c_.legendSymbolWidth / 2.0), cy), s.markSize);
          p_.setBrush(Qt::NoBrush);
        }
      }
      const QRectF text(x0 + c_.legendSymbolWidth + kLegendPad, y, box.right() - x0, rowHeight);
      Text(text, Qt::AlignLeft | Qt::AlignVCenter, s.title, QColor(0, 0, 0));
      y += rowHeight;
    }
  }

  const Chart& c_;
  QPainter& p_;
  QRectF area_;
  Layout l_;
  Metrics m_;
  QFontMetricsF fm_;
  double depth_ = 0;
};

}  // namespace

void Render(const Chart& chart, QPainter& painter, const QRectF& area) {
  painter.save();
  ChartPainter(chart, painter, area).Paint();
  painter.restore();
}

}  // namespace chart
