#pragma once
#include <memory>

#include <QString>

class QLockFile;

namespace os {

// The folder that stands in for the Windows folder (home of KELDORAN.INI):
// $KELDORAN_WINDIR when set, else the per-user configuration folder of the
// program. Created when missing.
QString WindowsFolder();

// A named, per-user guard held for the life of the process. A guard left by
// a crashed process is taken over.
class SingleInstance {
 public:
  explicit SingleInstance(const QString& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process now holds the guard; false when another does.
  bool Acquire();

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace os
