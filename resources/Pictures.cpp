#include "resources/Pictures.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace res {
namespace {
QString PathOf(const char* name) {
  return QStringLiteral(":/keldoran/pictures/%1.svg").arg(QLatin1String(name));
}
}  // namespace

bool HasPicture(const char* name) { return QFile::exists(PathOf(name)); }

QPixmap LoadPicture(const char* name, QSize size) {
  QSvgRenderer renderer(PathOf(name));
  if (!renderer.isValid()) return {};
  if (size.isEmpty()) size = renderer.defaultSize();
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

QIcon LoadIcon(const char* name) {
  QIcon icon;
  const QPixmap base = LoadPicture(name);
  if (base.isNull()) return icon;
  icon.addPixmap(base);
  icon.addPixmap(LoadPicture(name, base.size() * 2));
  return icon;
}

}  // namespace res
