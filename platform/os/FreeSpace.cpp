#include "platform/os/FreeSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace os {
namespace {

FreeSpaceSource& Source() {
  static FreeSpaceSource source;
  return source;
}

qint64 RealFreeBytes(const QString& folder) {
  // A folder that does not exist yet lies on the drive of its nearest
  // existing parent.
  QString path = QDir(folder).absolutePath();
  while (!QFileInfo::exists(path)) {
    const QString parent = QFileInfo(path).path();
    if (parent == path) break;
    path = parent;
  }
  const QStorageInfo info(path);
  if (!info.isValid()) return -1;
  return info.bytesAvailable();
}

}  // namespace

qint64 FreeBytes(const QString& folder) {
  return Source() ? Source()(folder) : RealFreeBytes(folder);
}

void SetFreeSpaceSource(FreeSpaceSource source) { Source() = std::move(source); }

int CheckFreeSpace(const QString& folder) {
  const qint64 bytes = FreeBytes(folder);
  if (bytes < 0) return -1;
  const qint64 mib = bytes / (1024 * 1024);
  if (mib > 6) return 1;
  if (mib > 3) return 2;
  return -1;
}

}  // namespace os
