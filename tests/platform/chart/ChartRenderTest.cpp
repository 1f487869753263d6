// The chart drawn into images and probed pixel by pixel: series where their
// axes put them, the cursor, the grid, the three background kinds, the 3D
// walls and the legend.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <limits>
#include <optional>

#include "platform/chart/ChartRenderer.h"
#include "platform/chart/ChartWidget.h"

namespace {

using chart::AxisSide;
using chart::SeriesKind;

constexpr double kDay = 86400.0;
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 160, 0);
const QColor kYellow(255, 255, 0);
const QColor kMagenta(255, 0, 255);
const QColor kPanel(192, 192, 192);
const QSize kSize(400, 300);

// Depth 0-20 downward on the left, 10-30 on the right, one hour below.
chart::Chart BaseChart() {
  chart::Chart c;
  c.panelColor = kPanel;
  c.backColor = QColor(255, 255, 255);
  c.left = {0, 20, 2, true};
  c.right = {10, 30, 2, false};
  c.bottom.minimum = 0;
  c.bottom.maximum = 3600 / kDay;
  c.bottom.increment = 600 / kDay;
  c.bottom.labels = chart::LabelStyle::ElapsedTime;
  return c;
}

chart::Series Flat(SeriesKind kind, AxisSide side, double y, QColor color) {
  chart::Series s;
  s.kind = kind;
  s.verticalAxis = side;
  s.color = color;
  for (int t = 0; t <= 3600; t += kind == SeriesKind::Line ? 5 : 300) s.data.emplace_back(t / kDay, y);
  return s;
}

QImage Draw(const chart::Chart& c, QSize size = kSize) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  chart::Render(c, p, QRectF(QPointF(0, 0), size));
  return image;
}

bool Near(QColor a, QColor b, int tolerance = 0) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor At(const QImage& image, double x, double y) {
  return image.pixelColor(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

// Rows of column x (within the frame's height) that show `color`.
std::vector<int> RowsOf(const QImage& image, int x, const QRectF& span, QColor color) {
  std::vector<int> rows;
  for (int y = static_cast<int>(span.top()); y <= static_cast<int>(span.bottom()); ++y) {
    if (Near(image.pixelColor(x, y), color)) rows.push_back(y);
  }
  return rows;
}

std::optional<int> ColumnOf(const QImage& image, int y, const QRectF& span, QColor color) {
  for (int x = static_cast<int>(span.left()); x <= static_cast<int>(span.right()); ++x) {
    if (Near(image.pixelColor(x, y), color)) return x;
  }
  return std::nullopt;
}

TEST(ChartRender, SeriesLieWhereTheirAxesPutThem) {
  struct Case {
    const char* name;
    SeriesKind kind;
    AxisSide side;
    double value;
    bool active;
    double expectedFraction;  // from the top of the plot; < 0: not drawn at all
  };
  const Case cases[] = {
      {"depth 18 lies low on the downward axis", SeriesKind::Line, AxisSide::Left, 18, true, 0.9},
      {"depth 2 lies high", SeriesKind::Line, AxisSide::Left, 2, true, 0.1},
      {"temperature 28 lies high on the right axis", SeriesKind::Points, AxisSide::Right, 28, true, 0.1},
      {"temperature 12 lies low", SeriesKind::Points, AxisSide::Right, 12, true, 0.9},
      {"inactive line is not drawn", SeriesKind::Line, AxisSide::Left, 10, false, -1},
      {"inactive points are not drawn", SeriesKind::Points, AxisSide::Right, 20, false, -1},
  };
  for (const Case& c : cases) {
    chart::Chart ch = BaseChart();
    ch.series.push_back(Flat(c.kind, c.side, c.value, kRed));
    ch.series.back().active = c.active;
    const QImage image = Draw(ch);
    const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
    const QRectF& b = layout.back();
    // Points sit every 5 minutes: probe the column of the 30-minute mark.
    const int x = static_cast<int>(std::round(layout.ValueToX(1800 / kDay)));
    const std::vector<int> rows = RowsOf(image, x, b, kRed);
    if (c.expectedFraction < 0) {
      EXPECT_TRUE(rows.empty()) << c.name;
      continue;
    }
    ASSERT_FALSE(rows.empty()) << c.name;
    const double middle = (rows.front() + rows.back()) / 2.0;
    EXPECT_NEAR((middle - b.top()) / b.height(), c.expectedFraction, 0.02) << c.name;
  }
}

TEST(ChartRender, PointsAreDiamondsOfTheirSize) {
  chart::Chart ch = BaseChart();
  ch.series.push_back(Flat(SeriesKind::Points, AxisSide::Right, 20, kRed));
  const QImage image = Draw(ch);
  const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
  const int x = static_cast<int>(std::round(layout.ValueToX(1800 / kDay)));
  const std::vector<int> rows = RowsOf(image, x, layout.back(), kRed);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back() - rows.front() + 1, 7);  // three pixels each way and the centre
  const int y = (rows.front() + rows.back()) / 2;
  EXPECT_TRUE(Near(image.pixelColor(x + 3, y), kRed));
  EXPECT_FALSE(Near(image.pixelColor(x + 3, y - 2), kRed));  // a diamond, not a square
}

TEST(ChartRender, CursorLineFollowsItsPositionAndMapsBack) {
  for (double fraction : {0.0, 0.25, 0.5, 0.9}) {
    chart::Chart ch = BaseChart();
    ch.cursor = {true, fraction * 3600 / kDay, kBlue};
    const QImage image = Draw(ch);
    const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
    const QRectF& b = layout.back();
    const std::optional<int> x = ColumnOf(image, static_cast<int>(b.center().y()), b, kBlue);
    ASSERT_TRUE(x.has_value()) << fraction;
    EXPECT_NEAR(*x, b.left() + fraction * b.width(), 1.0) << fraction;
    // The line runs from the top of the plot to its bottom.
    EXPECT_GE(RowsOf(image, *x, b, kBlue).size(), static_cast<std::size_t>(b.height() - 2)) << fraction;
    EXPECT_NEAR(layout.XToValue(layout.ValueToX(ch.cursor.position)) * kDay, fraction * 3600, 1e-6);
    EXPECT_NEAR(layout.XToValue(*x) * kDay, fraction * 3600, 3600.0 / b.width()) << fraction;
  }
  chart::Chart hidden = BaseChart();
  hidden.cursor = {false, 1800 / kDay, kBlue};
  const chart::Layout layout(hidden, QRectF(QPoint(0, 0), kSize));
  EXPECT_FALSE(ColumnOf(Draw(hidden), static_cast<int>(layout.back().center().y()), layout.back(), kBlue));
}

TEST(ChartRender, GridLinesOfLeftAndBottomAxes) {
  struct Case {
    bool left, bottom;
  };
  for (const Case& c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
    chart::Chart ch = BaseChart();
    ch.left.gridVisible = c.left;
    ch.left.gridColor = kGreen;
    ch.bottom.gridVisible = c.bottom;
    ch.bottom.gridColor = kMagenta;
    const QImage image = Draw(ch);
    const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
    const QRectF& b = layout.back();
    // The left tick 10 and the bottom tick 0:10, probed away from each other's lines.
    const double y = std::round(layout.ValueToY(AxisSide::Left, 10));
    const double x = std::round(layout.ValueToX(600 / kDay));
    EXPECT_EQ(Near(At(image, b.left() + b.width() * 0.37, y), kGreen), c.left) << c.left << c.bottom;
    EXPECT_EQ(Near(At(image, x, b.top() + b.height() * 0.37), kMagenta), c.bottom) << c.left << c.bottom;
  }
}

TEST(ChartRender, BackgroundKinds) {
  // An 8 x 8 picture: left half green, right half magenta.
  QImage picture(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) picture.setPixelColor(x, y, x < 4 ? kGreen : kMagenta);
  }
  struct Probe {
    double fx, fy;  // fraction of the plot, or pixels from its top-left when >= 1
    QColor color;
    int tolerance;
  };
  struct Case {
    const char* name;
    chart::Background background;
    chart::PictureMode mode;
    bool withPicture;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {"plain colour", chart::Background::Color, {}, false, {{0.5, 0.5, kYellow, 0}, {0.1, 0.9, kYellow, 0}}},
      {"gradient runs from the start colour at the bottom to the end colour at the top",
       chart::Background::Gradient,
       {},
       false,
       {{0.5, 0.99, kRed, 8}, {0.5, 0.01, kBlue, 8}, {0.5, 0.5, QColor(128, 0, 128), 8}}},
      {"stretched picture fills the plot", chart::Background::Picture, chart::PictureMode::Stretch, true,
       {{0.25, 0.5, kGreen, 0}, {0.75, 0.5, kMagenta, 0}}},
      {"tiled picture repeats from the top-left corner", chart::Background::Picture, chart::PictureMode::Tile,
       true, {{2, 2, kGreen, 0}, {6, 2, kMagenta, 0}, {10, 10, kGreen, 0}, {14, 18, kMagenta, 0}}},
      {"centred picture sits in the middle on the back colour", chart::Background::Picture,
       chart::PictureMode::Center, true, {{0.1, 0.1, kYellow, 0}, {0.9, 0.9, kYellow, 0}}},
      {"a missing picture shows the back colour", chart::Background::Picture, chart::PictureMode::Stretch,
       false, {{0.25, 0.5, kYellow, 0}, {0.75, 0.5, kYellow, 0}}},
  };
  for (const Case& c : cases) {
    chart::Chart ch = BaseChart();
    ch.backColor = kYellow;
    ch.gradientStart = kRed;
    ch.gradientEnd = kBlue;
    ch.background = c.background;
    ch.pictureMode = c.mode;
    if (c.withPicture) ch.picture = picture;
    const QImage image = Draw(ch);
    const QRectF b = chart::Layout(ch, QRectF(QPoint(0, 0), kSize)).back();
    for (const Probe& p : c.probes) {
      const double x = p.fx >= 1 ? b.left() + p.fx : b.left() + p.fx * b.width();
      const double y = p.fy >= 1 ? b.top() + p.fy : b.top() + p.fy * b.height();
      EXPECT_TRUE(Near(At(image, x, y), p.color, p.tolerance))
          << c.name << " at " << x << "," << y << ": " << At(image, x, y).name().toStdString();
    }
    if (c.mode == chart::PictureMode::Center && c.withPicture) {
      // The picture's halves meet at the middle of the plot.
      const std::optional<int> green =
          ColumnOf(image, static_cast<int>(b.center().y()), b, kGreen);
      ASSERT_TRUE(green.has_value()) << c.name;
      EXPECT_NEAR(*green, b.center().x() - 4, 1) << c.name;
      EXPECT_TRUE(Near(At(image, *green + 4, b.center().y()), kMagenta)) << c.name;
    }
  }
}

TEST(ChartRender, ThreeDimensionalViewDrawsWallsAndMovesThePlotBack) {
  for (bool view3D : {false, true}) {
    chart::Chart ch = BaseChart();
    ch.view3D = view3D;
    ch.depth3D = 12;
    ch.leftWallColor = kGreen;
    ch.bottomWallColor = kMagenta;
    ch.series.push_back(Flat(SeriesKind::Line, AxisSide::Left, 10, kRed));
    const QImage image = Draw(ch);
    const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
    const QRectF& f = layout.frame();
    const QRectF& b = layout.back();
    EXPECT_EQ(b.topLeft(), f.topLeft() + QPointF(view3D ? 12 : 0, view3D ? -12 : 0));
    EXPECT_EQ(Near(At(image, f.left() + 6, f.center().y()), kGreen), view3D);
    EXPECT_EQ(Near(At(image, f.center().x(), f.bottom() - 6), kMagenta), view3D);
    // The series lies on the back wall.
    const int x = static_cast<int>(std::round(layout.ValueToX(1800 / kDay)));
    const std::vector<int> rows = RowsOf(image, x, b, kRed);
    ASSERT_FALSE(rows.empty()) << view3D;
    EXPECT_NEAR(rows.front(), b.center().y(), 1.5) << view3D;
  }
}

TEST(ChartRender, LineThinningKeepsEverySpike) {
  chart::Chart ch = BaseChart();
  chart::Series s;
  s.color = kRed;
  for (int i = 0; i < 7000; ++i) s.data.emplace_back(i * (3600.0 / 7000) / kDay, i == 3501 ? 19.0 : 2.0);
  ch.series.push_back(s);
  const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
  const std::vector<QPointF> points = chart::LinePoints(ch.series[0], layout);
  EXPECT_LE(points.size(), static_cast<std::size_t>(4 * (layout.back().width() + 1)));
  const QImage image = Draw(ch);
  const int x = static_cast<int>(std::floor(layout.ValueToX(s.data[3501].x())));
  bool reachesBottom = false;
  for (int dx = -1; dx <= 1; ++dx) {
    const std::vector<int> rows = RowsOf(image, x + dx, layout.back(), kRed);
    if (!rows.empty() && rows.back() >= layout.ValueToY(AxisSide::Left, 19) - 1) reachesBottom = true;
  }
  EXPECT_TRUE(reachesBottom);
}

TEST(ChartRender, ValuesOffTheScaleOrNotNumbersAreSkipped) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (SeriesKind kind : {SeriesKind::Line, SeriesKind::Points}) {
    chart::Chart ch = BaseChart();
    chart::Series s = Flat(kind, AxisSide::Left, 6, kRed);
    s.data.insert(s.data.begin() + 1, {{nan, 3}, {600 / kDay, inf}, {700 / kDay, 1e300}, {800 / kDay, -1e300}});
    s.data.emplace_back(inf, nan);
    ch.series.push_back(s);
    ch.cursor = {true, nan, kBlue};
    const QImage image = Draw(ch);
    const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
    const int x = static_cast<int>(std::round(layout.ValueToX(1800 / kDay)));
    const std::vector<int> rows = RowsOf(image, x, layout.back(), kRed);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR((rows.front() + rows.back()) / 2.0, layout.ValueToY(AxisSide::Left, 6), 1.5);
    EXPECT_FALSE(ColumnOf(image, static_cast<int>(layout.back().center().y()), layout.back(), kBlue));
  }
}

TEST(ChartRender, LegendListsActiveSeriesInTheirStyle) {
  chart::Chart ch = BaseChart();
  ch.series.push_back(Flat(SeriesKind::Line, AxisSide::Left, 5, kRed));
  ch.series.back().title = "2001/05/12";
  ch.series.back().penWidth = 3;
  ch.series.push_back(Flat(SeriesKind::Points, AxisSide::Right, 20, kBlue));
  ch.series.back().title = "No.7";
  ch.series.push_back(Flat(SeriesKind::Line, AxisSide::Left, 15, kGreen));
  ch.series.back().active = false;
  for (bool visible : {false, true}) {
    ch.legendVisible = visible;
    const QImage image = Draw(ch);
    const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
    EXPECT_EQ(!layout.legend().isEmpty(), visible);
    if (!visible) continue;
    EXPECT_LT(layout.back().right(), layout.legend().left());
    bool red = false, blue = false, green = false;
    const QRect box = layout.legend().toRect();
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        red |= Near(c, kRed);
        blue |= Near(c, kBlue);
        green |= Near(c, kGreen);
      }
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
    EXPECT_FALSE(green);
  }
}

TEST(ChartRender, LegendLeavesOutRowsThatDoNotFit) {
  chart::Chart ch = BaseChart();
  ch.legendVisible = true;
  for (int i = 0; i < 30; ++i) ch.series.push_back(Flat(SeriesKind::Line, AxisSide::Left, 5, kRed));
  for (int height : {120, 300, 900}) {
    const QRectF area(0, 0, 400, height);
    const chart::Layout layout(ch, area);
    EXPECT_TRUE(area.contains(layout.legend())) << height;
    EXPECT_GT(layout.legendRows(), 0) << height;
    EXPECT_EQ(layout.legendRows() < 30, height < 900) << height;
  }
}

TEST(ChartRender, AxisTicksFallOnExactSteps) {
  struct Case {
    const char* name;
    chart::Axis axis;
    std::vector<QString> labels;
  };
  chart::Axis time;
  time.labels = chart::LabelStyle::ElapsedTime;
  auto timeAxis = [&](int span, int step) {
    chart::Axis a = time;
    a.maximum = span / kDay;
    a.increment = step / kDay;
    return a;
  };
  const Case cases[] = {
      {"40 minutes by 10", timeAxis(2400, 600), {"0:00", "0:10", "0:20", "0:30", "0:40"}},
      {"30 minutes by 5", timeAxis(1800, 300), {"0:00", "0:05", "0:10", "0:15", "0:20", "0:25", "0:30"}},
      {"3 hours by 30", timeAxis(10800, 1800), {"0:00", "0:30", "1:00", "1:30", "2:00", "2:30", "3:00"}},
      {"depth 0-14 by 2", {0, 14, 2}, {"0", "2", "4", "6", "8", "10", "12", "14"}},
      {"downward axis still ascends", {0, 6, 2, true}, {"0", "2", "4", "6"}},
      {"temperature 16-30 by 2", {16, 30, 2}, {"16", "18", "20", "22", "24", "26", "28", "30"}},
      {"range off the steps", {17, 27, 5}, {"20", "25"}},
      {"negative values", {-4, 2, 2}, {"-4", "-2", "0", "2"}},
      {"fractions", {0, 1, 0.25}, {"0.00", "0.25", "0.50", "0.75", "1.00"}},
      {"no increment picks a round step", {0, 100, 0}, {"0", "20", "40", "60", "80", "100"}},
      {"empty range", {5, 5, 1}, {"5"}},
  };
  for (const Case& c : cases) {
    std::vector<QString> labels;
    for (const chart::Tick& t : chart::AxisTicks(c.axis)) labels.push_back(t.label);
    EXPECT_EQ(labels, c.labels) << c.name;
  }
}

TEST(ChartRender, WidgetPaintsWhatAnImageGets) {
  chart::ChartWidget widget;
  widget.resize(kSize);
  widget.model() = BaseChart();
  widget.model().series.push_back(Flat(SeriesKind::Line, AxisSide::Left, 12, kRed));
  widget.model().cursor = {true, 900 / kDay, kBlue};
  const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, Draw(widget.model()));
  EXPECT_EQ(widget.chartLayout().back(), chart::Layout(widget.model(), QRectF(QPoint(0, 0), kSize)).back());
}

TEST(ChartRender, ScaledPainterDrawsTheSamePictureLarger) {
  // The printer path: a painter scaled to the device draws in the same
  // logical pixels.
  chart::Chart ch = BaseChart();
  ch.series.push_back(Flat(SeriesKind::Line, AxisSide::Left, 16, kRed));
  QImage big(kSize * 2, QImage::Format_RGB32);
  big.fill(Qt::black);
  {
    QPainter p(&big);
    p.scale(2, 2);
    chart::Render(ch, p, QRectF(QPoint(0, 0), kSize));
  }
  const chart::Layout layout(ch, QRectF(QPoint(0, 0), kSize));
  const QRectF b(layout.back().topLeft() * 2, layout.back().size() * 2);
  const int x = static_cast<int>(std::round(layout.ValueToX(1800 / kDay) * 2));
  const std::vector<int> rows = RowsOf(big, x, b, kRed);
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR((rows.front() - b.top()) / b.height(), 0.8, 0.02);
  EXPECT_TRUE(Near(big.pixelColor(2, 2), kPanel));
}

}  // namespace
