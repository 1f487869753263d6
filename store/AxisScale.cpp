#include "store/AxisScale.h"

#include <algorithm>
#include <cmath>

#include "platform/chart/Chart.h"
#include "resources/Strings.h"

namespace store {
namespace {

// Tenths of a degree, truncated. Temperatures come from texts with one
// decimal, so a hair of slack keeps 18.2 (held as 18.19999...) at 182.
// Values far outside any water are held at a bound the integers can carry.
int Truncated(double value, double slack) {
  value = std::clamp(value, -1e8, 1e8);
  return static_cast<int>(std::trunc(value + (value >= 0 ? slack : -slack)));
}

int Tenths(double degrees) { return Truncated(degrees * 10.0, 1e-7); }
int Whole(double degrees) { return Truncated(degrees, 1e-9); }

// The largest multiple of `step` at or below `value`.
long long FloorTo(long long value, long long step) {
  const long long r = value % step;
  return r == 0 ? value : r > 0 ? value - r : value - r - step;
}

// 1, 2, 5, 10, 20, 50, 100, 200, 500, ...
long long NextStep(long long step) {
  long long power = 1;
  while (step >= power * 10) power *= 10;
  const long long lead = step / power;
  return (lead == 1 ? 2 : lead == 2 ? 5 : 10) * power;
}

// Temperatures are held within +-1e7 degrees, so no range needs more.
constexpr long long kLargestStep = 100000000;

// The temperature step for `intervals` intervals over lo..hi: the first of
// 1, 2, 5, 10, 20, 50, ... whose intervals span the range, taken further
// until the axis still reaches hi once its bottom has moved down to a
// multiple of the step. When no step does (one interval across a multiple
// of every step), the first spanning step.
long long TemperatureStep(int lo, int hi, int intervals) {
  const long long diff = static_cast<long long>(hi) - lo;
  long long spanning = 0;
  for (long long e = 1; e <= kLargestStep; e = NextStep(e)) {
    if (e * intervals < diff) continue;
    if (spanning == 0) spanning = e;
    if (e * intervals + FloorTo(lo, e) >= hi) return e;
  }
  return spanning != 0 ? spanning : kLargestStep;
}

}  // namespace

int TemperatureTop(double highest, int unit) {
  if (unit == kImperial) {
    int y = Whole(highest) + 1;
    if (y % 10 > 7) y += 1;
    return y;
  }
  int y = Tenths(highest) + 10;
  if (y % 10 > 7) y += 10;
  return y / 10;
}

int TemperatureBottom(double lowest, int unit) {
  if (unit == kImperial) {
    int y = Whole(lowest);
    if (y % 10 < 3) y -= 1;
    return y;
  }
  int y = Tenths(lowest);
  if (y % 10 < 3) y -= 10;
  return y / 10;
}

int TimeAxisSpan(int longest) {
  const int minutes = (std::max(longest, 0) + 59) / 60;
  int tens = (minutes + 9) / 10;
  if (tens > 6 && tens % 6 != 0) tens += 6 - tens % 6;
  return tens * 600;
}

int TimeAxisIncrement(int span) { return span <= 1800 ? 300 : span > 7200 ? 1800 : 600; }

bool JapaneseLayout() { return res::LoadStr(2200) == QLatin1String("JAPAN"); }

AxisPlan PlanAxes(const ProfileExtremes& e, int unit, bool japanese) {
  AxisPlan plan;

  // A sequence without temperature samples still gets a sensible axis; and
  // without depth samples the depth axis starts from the smallest depth.
  const double minWater = e.minWater == ProfileExtremes::kNoMinWater ? 0.0 : e.minWater;
  const double maxWater = std::max(e.maxWater, minWater);
  const long long maxDepth = std::max(e.maxDepth, e.minDepth);

  // Depth: one more than the maximum, raised to a multiple of the step.
  int top = static_cast<int>(std::clamp((maxDepth * 10 + 15) / 10, -1000000LL, 1000000LL));
  const int step = top < 20 ? 2 : top < 50 ? 5 : top < 100 ? 10 : 50;
  top = static_cast<int>(-FloorTo(-top, step));
  top = std::max(top, step);
  const int intervals = top / step;

  // Temperature: the same number of intervals on a step that covers the
  // range once its bottom has moved down to a multiple of the step.
  const int hi = TemperatureTop(maxWater, unit);
  const int lo = TemperatureBottom(minWater, unit);
  const long long wstep = TemperatureStep(lo, hi, intervals);
  const long long bottom = FloorTo(lo, wstep);

  plan.depth = {static_cast<double>(e.minDepth), static_cast<double>(top), static_cast<double>(step)};
  plan.temperature = {static_cast<double>(bottom), static_cast<double>(wstep) * intervals + bottom,
                      static_cast<double>(wstep)};

  plan.timeSpan = TimeAxisSpan(e.longestTime);
  plan.timeIncrement = TimeAxisIncrement(plan.timeSpan);

  if (unit == kMetric) {
    plan.depthTitle = japanese ? QStringLiteral("m") : QStringLiteral("meter");
    plan.temperatureTitle = res::LoadStr(122);
  } else if (unit == kImperial) {
    plan.depthTitle = japanese ? QStringLiteral("ft") : QStringLiteral("feet");
    plan.temperatureTitle = res::LoadStr(123);
  }
  plan.timeTitle = res::LoadStr(124);
  plan.sideTitlesRotated = !japanese;
  return plan;
}

void ApplyAxisPlan(const AxisPlan& plan, chart::Chart& chart) {
  constexpr double kSecondsPerDay = 86400.0;
  chart::Axis& depth = chart.left;
  depth.minimum = plan.depth.minimum;
  depth.maximum = plan.depth.maximum;
  depth.increment = plan.depth.increment;
  depth.inverted = true;
  depth.labels = chart::LabelStyle::Number;

  chart::Axis& water = chart.right;
  water.minimum = plan.temperature.minimum;
  water.maximum = plan.temperature.maximum;
  water.increment = plan.temperature.increment;
  water.inverted = false;
  water.labels = chart::LabelStyle::Number;

  chart::Axis& time = chart.bottom;
  time.minimum = 0;
  time.maximum = plan.timeSpan / kSecondsPerDay;
  time.increment = plan.timeIncrement / kSecondsPerDay;
  time.inverted = false;
  time.labels = chart::LabelStyle::ElapsedTime;

  if (plan.depthTitle) depth.title = *plan.depthTitle;
  if (plan.temperatureTitle) water.title = *plan.temperatureTitle;
  depth.titleRotated = plan.sideTitlesRotated;
  water.titleRotated = plan.sideTitlesRotated;
  time.title = plan.timeTitle;
}

}  // namespace store
