#include "platform/os/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace os {

QString WindowsFolder() {
  QString folder = qEnvironmentVariable("KELDORAN_WINDIR");
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
             QStringLiteral("/keldoran");
  }
  QDir().mkpath(folder);
  return QDir(folder).absolutePath();
}

SingleInstance::SingleInstance(const QString& name)
    : lock_(std::make_unique<QLockFile>(WindowsFolder() + u'/' + name + QStringLiteral(".lck"))) {
  lock_->setStaleLockTime(0);  // only a dead holder's lock is stale
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Acquire() { return lock_->tryLock(0); }

}  // namespace os
