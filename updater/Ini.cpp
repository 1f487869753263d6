#include "updater/Ini.h"

#include <QFile>

namespace updater {

std::optional<QString> IniValue(const std::filesystem::path& file, const QString& section,
                                const QString& key) {
  QFile f(QString::fromStdU16String(file.u16string()));
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  bool inSection = false;
  while (!f.atEnd()) {
    const QString line = QString::fromUtf8(f.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[')) {
      inSection = line.endsWith(u']') &&
                  line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection) continue;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) continue;
    if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
      return line.mid(eq + 1).trimmed();
    }
  }
  return std::nullopt;
}

}  // namespace updater
