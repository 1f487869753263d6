#include "graph/GraphLogic.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

TEST(GraphLogicTest, SelectionSizes) {
  EXPECT_EQ(graph::CheckSelection(0), -10);
  EXPECT_EQ(graph::CheckSelection(1), 0);
  EXPECT_EQ(graph::CheckSelection(8), 0);
  EXPECT_EQ(graph::CheckSelection(9), graph::kTooManyDives);
}

TEST(GraphLogicTest, DepthAtTheCursor) {
  struct Case {
    const char* stored;
    const char* shown;
  };
  const Case cases[] = {
      {"  0.0", ""}, {"000", ""},   {"  0.5", ".5"}, {"035", "35"},
      {" 12.3", "12.3"}, {"", ""}, {"40.3", "40.3"},
  };
  for (const Case& c : cases) EXPECT_EQ(graph::CursorDepthText(c.stored), c.shown) << c.stored;
}

TEST(GraphLogicTest, CursorMovesStayInsideTheAxis) {
  struct Case {
    int cursor, delta, expected;
  };
  // Axis 0 .. 2400 seconds.
  const Case cases[] = {
      {0, -5, 0},       {3, -5, 0},          {300, -300, 0},     {10, -5, 5},
      {2400, 5, 2400},  {2398, 5, 2400},     {2100, 300, 2400},  {0, 5, 5},
      {2400, -5, 2395}, {1200, 0, 1200},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(graph::MoveCursor(c.cursor, c.delta, 0, 2400), c.expected) << c.cursor << " " << c.delta;
  }
}

TEST(GraphLogicTest, ValuesAreFoundOnlyAtTheirExactTime) {
  graph::LineValues v{{5, 10, 15, 300}, {"a", "b", "c", "d"}};
  EXPECT_EQ(v.At(10), "b");
  EXPECT_EQ(v.At(300), "d");
  EXPECT_EQ(v.At(11), "");
  EXPECT_EQ(v.At(0), "");
  EXPECT_EQ(v.At(301), "");
}

TEST(GraphLogicTest, SeriesPointsReadTheStoredTextsAsNumbers) {
  struct Case {
    QString text;
    double y;
  };
  const Case cases[] = {
      {"  0.7", 0.7},   {" 12.3", 12.3}, {"123456", 123456}, {" -0.5", -0.5}, {"007", 7},
      {"5.", 5},        {".5", 0.5},     {"1e5", 100000},    {"abc", 0},      {"", 0},
      {"1.2.3", 0},     {"-", 0},        {QString::fromLatin1("\xe9" "12"), 0},
  };
  graph::LineValues values;
  for (const Case& c : cases) {
    values.seconds.push_back(static_cast<int>(values.seconds.size() + 1) * 5);
    values.texts.push_back(c.text);
  }
  const std::vector<QPointF> points = graph::SeriesPoints(values);
  ASSERT_EQ(points.size(), std::size(cases));
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(points[i].x(), values.seconds[i] / 86400.0) << cases[i].text.toStdString();
    EXPECT_EQ(points[i].y(), cases[i].y) << cases[i].text.toStdString();
  }
}

TEST(GraphLogicTest, GraphLookOnTheChart) {
  QTemporaryDir dir;
  GraphConf conf;
  conf.BackColor = 0x00FF00;  // green
  conf.GridColor = 0x0000FF;  // red
  conf.Flags = GraphConf::View3D | GraphConf::GridShown | GraphConf::Picture | GraphConf::PictureTile;
  conf.ImageFile = dir.filePath("gone.jpg");
  chart::Chart c;
  QString imagePath = "old";
  graph::ApplyConfToChart(conf, c, imagePath, QString());
  EXPECT_TRUE(c.view3D);
  EXPECT_TRUE(c.left.gridVisible);
  EXPECT_EQ(c.left.gridColor, QColor(255, 0, 0));
  EXPECT_EQ(c.background, chart::Background::Color);  // the picture is gone
  EXPECT_EQ(c.backColor, QColor(0, 255, 0));
  EXPECT_TRUE(imagePath.isEmpty());

  // Neither grid bit leaves the grid as it is; the gradient is shown stretched.
  const QString grad = dir.filePath("Grad.BMP");
  ASSERT_TRUE(graph::GradientImage(0x0000FF, 0xFF0000).save(grad, "BMP"));
  conf.Flags = GraphConf::View2D | GraphConf::Gradient;
  graph::ApplyConfToChart(conf, c, imagePath, grad);
  EXPECT_FALSE(c.view3D);
  EXPECT_TRUE(c.left.gridVisible);
  EXPECT_EQ(c.background, chart::Background::Picture);
  EXPECT_EQ(c.pictureMode, chart::PictureMode::Stretch);
  EXPECT_EQ(c.picture.size(), QSize(640, 400));
  EXPECT_GE(c.picture.pixelColor(320, 399).red(), 250);  // start colour at the bottom
  EXPECT_GE(c.picture.pixelColor(320, 0).blue(), 250);  // end colour at the top

  conf.Flags = GraphConf::GridHidden;
  graph::ApplyConfToChart(conf, c, imagePath, grad);
  EXPECT_FALSE(c.left.gridVisible);
  EXPECT_FALSE(c.bottom.gridVisible);
  EXPECT_EQ(c.background, chart::Background::Color);
}

}  // namespace
