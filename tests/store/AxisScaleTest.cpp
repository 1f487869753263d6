// The axis rule: depth, temperature and time axes from the extremes of a
// load sequence, their titles, and the plan applied to a chart.
#include <gtest/gtest.h>

#include "platform/chart/Chart.h"
#include "store/AxisScale.h"

namespace {

using store::kImperial;
using store::kMetric;

store::ProfileExtremes Extremes(int maxDepth, double minWater, double maxWater, int longest = 600) {
  store::ProfileExtremes e;
  e.maxDepth = maxDepth;
  e.minWater = minWater;
  e.maxWater = maxWater;
  e.longestTime = longest;
  return e;
}

TEST(AxisScale, TimeAxis) {
  struct Case {
    const char* name;
    int longest, span, increment;
  };
  const Case cases[] = {
      {"25-minute dive", 1500, 1800, 300},
      {"35-minute dive", 2100, 2400, 600},
      {"37-minute dive", 2220, 2400, 600},
      {"one second past 30 minutes", 1801, 2400, 600},
      {"exactly one hour", 3600, 3600, 600},
      {"75 minutes: 8 tens raised to 12", 4500, 7200, 600},
      {"2 h 10 min raised to 3 hours", 7800, 10800, 1800},
      {"3-hour dive", 10800, 10800, 1800},
      {"one sample", 5, 600, 300},
  };
  for (const Case& c : cases) {
    const store::AxisPlan plan = store::PlanAxes(Extremes(10, 20, 25, c.longest), kMetric, false);
    EXPECT_EQ(plan.timeSpan, c.span) << c.name;
    EXPECT_EQ(plan.timeIncrement, c.increment) << c.name;
  }
}

TEST(AxisScale, DepthAxis) {
  struct Case {
    int maxDepth, minDepth;
    double top, step;
  };
  const Case cases[] = {
      {12, 0, 14, 2},    // 13 raised to a multiple of 2: 7 intervals
      {13, 0, 14, 2},    // 14 is a multiple already
      {0, 0, 2, 2},      // 1 raised to 2
      {18, 0, 20, 2},    // 19: step 2, raised to 20
      {19, 0, 20, 5},    // 20: step 5
      {48, 0, 50, 5},    // 49 raised to 50
      {49, 0, 50, 10},   // 50: step 10
      {98, 0, 100, 10},  // 99 raised to 100
      {120, 0, 150, 50}, // 121 raised to 150
      {12, -1, 14, 2},   // the axis starts at the smallest depth
  };
  for (const Case& c : cases) {
    store::ProfileExtremes e = Extremes(c.maxDepth, 20, 25);
    e.minDepth = c.minDepth;
    const store::AxisPlan plan = store::PlanAxes(e, kMetric, false);
    EXPECT_EQ(plan.depth.maximum, c.top) << c.maxDepth;
    EXPECT_EQ(plan.depth.increment, c.step) << c.maxDepth;
    EXPECT_EQ(plan.depth.minimum, c.minDepth) << c.maxDepth;
  }
}

TEST(AxisScale, TemperatureBounds) {
  struct Case {
    double value;
    int unit;
    int top, bottom;
  };
  const Case cases[] = {
      {25.8, kMetric, 27, 25},  // 268 ends in 8: another degree
      {18.2, kMetric, 19, 17},  // 182 ends in 2: a degree down
      {25.7, kMetric, 26, 25},
      {25.0, kMetric, 26, 24},
      {18.3, kMetric, 19, 18},
      {0.0, kMetric, 1, -1},
      {-1.5, kMetric, 0, -2},
      {77, kImperial, 79, 77},  // 78 ends in 8: one more
      {87, kImperial, 89, 87},  // 88 ends in 8: one more
      {62, kImperial, 63, 61},  // 62 ends in 2: one down
      {65.9, kImperial, 66, 65},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(store::TemperatureTop(c.value, c.unit), c.top) << c.value;
    EXPECT_EQ(store::TemperatureBottom(c.value, c.unit), c.bottom) << c.value;
  }
}

TEST(AxisScale, TemperatureAxisSharesTheDepthIntervals) {
  struct Case {
    const char* name;
    store::ProfileExtremes extremes;
    int unit;
    double minimum, maximum, increment;
  };
  store::ProfileExtremes noWater = Extremes(12, 10000.0, -10000.0);
  const Case cases[] = {
      // 12 m: 7 intervals. 17-27 needs step 2; 17 moves down to 16.
      {"water 18.2 to 25.8", Extremes(12, 18.2, 25.8), kMetric, 16, 30, 2},
      {"narrow range, step 1", Extremes(12, 20.5, 23.5), kMetric, 20, 27, 1},
      // 60 ft: 7 intervals over 61-79.
      {"feet and Fahrenheit", Extremes(60, 62, 77), kImperial, 60, 95, 5},
      {"no temperature samples", noWater, kMetric, -1, 6, 1},
      // 3 intervals over 19-31: step 5 would end at 30 once 19 moved to 15,
      // so the step grows to 10.
      {"the top stays on the axis", Extremes(4, 19.3, 30.5), kMetric, 10, 40, 10},
      // -3 on a step of 5 moves down to -5, not up to 0.
      {"below freezing: the bottom moves down to a step", Extremes(4, -2.1, 3.0), kMetric, -5, 10, 5},
      // Depth below 1 m leaves one interval, which cannot hold a range
      // across 0: the first step that spans the range is taken.
      {"one interval across freezing", Extremes(0, -0.5, 0.4), kMetric, -2, 0, 2},
      {"one interval, warm water", Extremes(0, 19.3, 30.5), kMetric, 0, 50, 50},
  };
  for (const Case& c : cases) {
    const store::AxisPlan plan = store::PlanAxes(c.extremes, c.unit, false);
    const double intervals = plan.depth.maximum / plan.depth.increment;
    EXPECT_EQ(plan.temperature.minimum, c.minimum) << c.name;
    EXPECT_EQ(plan.temperature.maximum, c.maximum) << c.name;
    EXPECT_EQ(plan.temperature.increment, c.increment) << c.name;
    EXPECT_EQ(plan.temperature.maximum - plan.temperature.minimum,
              intervals * plan.temperature.increment) << c.name;
    if (c.extremes.maxWater > c.extremes.minWater && c.extremes.maxDepth > 0) {
      EXPECT_LE(plan.temperature.minimum, c.extremes.minWater) << c.name;
      EXPECT_GE(plan.temperature.maximum, c.extremes.maxWater) << c.name;
    }
  }
}

TEST(AxisScale, Titles) {
  struct Case {
    int unit;
    bool japanese;
    std::optional<QString> depth, temperature;
  };
  const Case cases[] = {
      {kMetric, false, "meter", "Centigrade"},
      {kImperial, false, "feet", "Fahrenheit"},
      {kMetric, true, "m", "Centigrade"},
      {kImperial, true, "ft", "Fahrenheit"},
      {0, false, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const store::AxisPlan plan = store::PlanAxes(Extremes(10, 20, 25), c.unit, c.japanese);
    EXPECT_EQ(plan.depthTitle, c.depth) << c.unit << c.japanese;
    EXPECT_EQ(plan.temperatureTitle, c.temperature) << c.unit << c.japanese;
    EXPECT_EQ(plan.timeTitle, "Time");
    EXPECT_EQ(plan.sideTitlesRotated, !c.japanese);
  }
  // Our string table says "ENGLISH": the English layout applies.
  EXPECT_FALSE(store::JapaneseLayout());
  EXPECT_EQ(store::PlanAxes(Extremes(10, 20, 25), kMetric).depthTitle, "meter");
}

TEST(AxisScale, PlanOnAChart) {
  chart::Chart c;
  c.left.title = "kept";
  c.right.title = "kept too";
  store::ApplyAxisPlan(store::PlanAxes(Extremes(12, 18.2, 25.8, 2100), 0, true), c);
  EXPECT_EQ(c.left.title, "kept");  // another unit leaves the side titles
  EXPECT_EQ(c.right.title, "kept too");
  EXPECT_FALSE(c.left.titleRotated);

  store::ApplyAxisPlan(store::PlanAxes(Extremes(12, 18.2, 25.8, 2100), kMetric, false), c);
  EXPECT_TRUE(c.left.inverted);
  EXPECT_FALSE(c.right.inverted);
  EXPECT_EQ(c.left.maximum, 14);
  EXPECT_EQ(c.left.increment, 2);
  EXPECT_EQ(c.right.minimum, 16);
  EXPECT_EQ(c.right.maximum, 30);
  EXPECT_EQ(c.left.title, "meter");
  EXPECT_EQ(c.right.title, "Centigrade");
  EXPECT_TRUE(c.left.titleRotated && c.right.titleRotated);
  EXPECT_EQ(c.bottom.labels, chart::LabelStyle::ElapsedTime);
  EXPECT_EQ(c.bottom.minimum, 0);
  EXPECT_DOUBLE_EQ(c.bottom.maximum * 86400, 2400);  // chart time values are days
  EXPECT_DOUBLE_EQ(c.bottom.increment * 86400, 600);
  EXPECT_EQ(c.bottom.title, "Time");
}

}  // namespace
