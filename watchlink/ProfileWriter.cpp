#include "watchlink/ProfileWriter.h"

namespace watch {

bool ProfileFileWriter::Create(const QString& path) {
  file_.setFileName(path);
  return file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

bool ProfileFileWriter::WriteLine(std::string_view line) {
  if (!file_.isOpen()) return false;
  const auto size = static_cast<qint64>(line.size());
  if (size > 0 && file_.write(line.data(), size) != size) return false;
  return file_.putChar('\n');
}

bool ProfileFileWriter::Close() {
  if (!file_.isOpen()) return false;
  const bool ok = file_.flush();
  file_.close();
  return ok && file_.error() == QFileDevice::NoError;
}

}  // namespace watch
