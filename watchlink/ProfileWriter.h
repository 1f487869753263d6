#pragma once
// The profile file on disk: created in text mode, replacing an existing file.
#include <QFile>
#include <QString>

#include "watchlink/WatchData.h"

namespace watch {

class ProfileFileWriter final : public ProfileSink {
 public:
  // False when the file cannot be created.
  bool Create(const QString& path);
  bool WriteLine(std::string_view line) override;
  // Writes out what is still buffered and closes the file; false when that
  // write fails (a full disk often shows only here).
  bool Close();

 private:
  QFile file_;
};

}  // namespace watch
