#pragma once
// A window control that shows a chart. It paints the model through the
// same renderer as images and printouts, and keeps the layout of its last
// paint so that a pixel column can be turned into a bottom-axis value.
#include <QWidget>

#include "platform/chart/Chart.h"
#include "platform/chart/ChartRenderer.h"

namespace chart {

class ChartWidget : public QWidget {
 public:
  explicit ChartWidget(QWidget* parent = nullptr);

  // Change the model, then call update() to repaint.
  Chart& model() { return chart_; }
  const Chart& model() const { return chart_; }

  // The layout for the widget's current size.
  Layout chartLayout() const { return Layout(chart_, QRectF(rect())); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Chart chart_;
};

}  // namespace chart
