#include "platform/os/WindowPlacement.h"

#include <QWidget>

namespace os {

WindowPlacement TakePlacement(const QWidget& window) {
  WindowPlacement p;
  p.length = sizeof(WindowPlacement);
  p.showCmd = window.isMaximized() ? kShowMaximized
              : window.isMinimized() ? kShowMinimized
                                     : kShowNormal;
  p.minX = p.minY = p.maxX = p.maxY = -1;
  const QRect r = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  p.left = r.left();
  p.top = r.top();
  p.right = r.left() + r.width();
  p.bottom = r.top() + r.height();
  return p;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& p) {
  if (p.length == 0 || p.right <= p.left || p.bottom <= p.top) return;
  window.setGeometry(p.left, p.top, p.right - p.left, p.bottom - p.top);
  if (p.showCmd == kShowMaximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

}  // namespace os
