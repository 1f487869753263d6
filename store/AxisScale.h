#pragma once
// The axis rule of the profile graph: from the extremes of a load sequence
// to the depth (left, downward), temperature (right) and time (bottom)
// axes, shared by the graph window, the HTML graph images and printing.
#include <optional>

#include <QString>

#include "store/DiveProfile.h"

namespace chart {
struct Chart;
}

namespace store {

struct AxisRange {
  double minimum = 0;
  double maximum = 0;
  double increment = 0;
};

struct AxisPlan {
  AxisRange depth;        // left axis, drawn downward
  AxisRange temperature;  // right axis; as many intervals as the depth axis
  int timeSpan = 0;       // bottom axis from 0 to this many seconds
  int timeIncrement = 0;  // seconds between time labels
  // Titles for units 1 and 2; another unit leaves the side titles as they are.
  std::optional<QString> depthTitle;
  std::optional<QString> temperatureTitle;
  QString timeTitle;
  bool sideTitlesRotated = true;
};

// Temperature axis bounds from the highest and lowest temperature. Metric
// (unit 1) values are in degrees with one decimal; the bounds keep about a
// degree of room and step off a last tenth near the edge.
int TemperatureTop(double highest, int unit);
int TemperatureBottom(double lowest, int unit);

// Seconds covered by the time axis for a dive of `longest` seconds: whole
// tens of minutes, beyond an hour whole hours.
int TimeAxisSpan(int longest);
// Label step for a time axis of `span` seconds.
int TimeAxisIncrement(int span);

// The Japanese title layout applies when string 2200 reads "JAPAN".
bool JapaneseLayout();

// The axes for unit mode `unit` (1 metric, 2 imperial). The extremes are
// not changed: the raised depth top is the depth axis maximum and the time
// span is handed back in the plan.
AxisPlan PlanAxes(const ProfileExtremes& extremes, int unit, bool japanese);
inline AxisPlan PlanAxes(const ProfileExtremes& extremes, int unit) {
  return PlanAxes(extremes, unit, JapaneseLayout());
}

// Sets the chart's axes from the plan: manual scales, depth inverted, time
// labels "H:MM" on exact steps (chart time values are days).
void ApplyAxisPlan(const AxisPlan& plan, chart::Chart& chart);

}  // namespace store
