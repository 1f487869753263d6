#include "platform/chart/ChartWidget.h"

#include <QPainter>

namespace chart {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Render(chart_, painter, QRectF(rect()));
}

}  // namespace chart
