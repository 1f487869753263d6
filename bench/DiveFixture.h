#pragma once
// Generated dives for the benchmarks and the chart gallery: profile files
// as the watch link writes them, and the chart set up the way the graph
// window and the HTML images draw them.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/chart/Chart.h"
#include "store/DiveProfile.h"

namespace fixture {

// The text of a profile file: dive `n` (0-7) with `depthSamples` depth
// samples and a temperature every 60 of them, in metric (tenths) or
// imperial (whole feet and degrees Fahrenheit) values.
QByteArray ProfileText(int n, int depthSamples, bool imperial);

// Writes dives 0 .. count-1 as "VELM%04d.LOG" into `folder`; their paths.
QStringList WriteProfiles(const QString& folder, int count, int depthSamples, bool imperial);

// A chart in the graph window's default look (white plot, grey grid,
// downward depth axis); no series.
chart::Chart GraphChart();

// Loads the files into slots 1.. in `unit`, adds a depth line and
// temperature points per dive in `colors` order, and scales the axes.
// With `spacers` an empty legend row separates consecutive dives, as the
// HTML overlay does.
void LoadOverlay(const QStringList& paths, int recordMode, int unit, chart::Chart& chart,
                 bool spacers = false);

}  // namespace fixture
