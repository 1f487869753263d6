#pragma once
// What the graph window decides without a display: selection limits, the
// cursor's moves and the values shown at it, and the graph look applied to
// the chart model.
#include <vector>

#include <QColor>
#include <QImage>
#include <QString>

#include "platform/chart/Chart.h"
#include "store/GraphSettings.h"
#include "store/ProfileTables.h"

namespace graph {

inline constexpr int kTooManyDives = -18;  // more than eight rows selected
inline constexpr int kUnitCancelled = -6;  // the unit question was cancelled
inline constexpr int kMultiShown = -80;    // several dives are drawn already
inline constexpr int kLines = 8;

// 0 when `selected` rows can be drawn, -10 for none, -18 for more than eight.
int CheckSelection(int selected);

// One work table as the graph holds it: sample times in whole seconds, in
// ascending order, with their value texts.
using LineValues = store::WorkRows;
// The points of a series: x in days, y the value texts as numbers.
std::vector<QPointF> SeriesPoints(const LineValues& values);

// A depth as the legend shows it at the cursor: trimmed, empty for 0,
// leading zeros dropped ("035" shows "35", "0.5" shows ".5").
QString CursorDepthText(const QString& text);

// The cursor after a move of `delta` seconds inside [minimum, maximum]: a
// backward move only from at or above the minimum, a forward one only from
// below the maximum, results held at the bounds.
int MoveCursor(int cursor, int delta, int minimum, int maximum);

// "hh:mm:ss" of an elapsed time.
QString CursorTimeText(int seconds);

// A Windows RGB value (red in the low byte) as a colour.
QColor ToColor(WinColor color);

// The 640 x 400 gradient picture: `start` at the bottom, `end` at the top.
QImage GradientImage(WinColor start, WinColor end);

// Applies the chart part of the graph look: 3D, walls, panel, background
// (plain, picture, gradient) and grid. `imagePath` becomes the picture in
// use, emptied when its file is missing (the plain colour shows then).
// `gradientPath` is the gradient picture shown with the gradient bit.
void ApplyConfToChart(const GraphConf& conf, chart::Chart& chart, QString& imagePath,
                      const QString& gradientPath);

}  // namespace graph
