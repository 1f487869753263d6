#include "store/ListFiles.h"

#include <QFile>

#include "platform/os/Codec.h"

namespace lists {

QStringList ReadLines(const QString& path) {
  QStringList lines;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return lines;
  const QByteArray all = file.readAll();
  qsizetype start = 0;
  while (start < all.size()) {
    qsizetype end = all.indexOf('\n', start);
    const bool last = end < 0;
    if (last) end = all.size();
    qsizetype stop = end;
    while (stop > start && (all[stop - 1] == '\r' || all[stop - 1] == '\n')) --stop;
    lines << os::FromAnsi(all.constData() + start, stop - start);
    start = end + 1;
  }
  return lines;
}

QStringList ReadPlainList(const QString& path) {
  QStringList entries = ReadLines(path);
  for (QString& e : entries) e = os::CutToWidth(e, kEntryWidth);
  return entries;
}

void ReadUserDefList(const QString& path, QStringList& names, QStringList& files) {
  for (const QString& line : ReadLines(path)) {
    const qsizetype comma = line.indexOf(u',');
    names << (comma < 0 ? line : line.left(comma));
    files << (comma < 0 ? QString() : line.mid(comma + 1));
  }
}

}  // namespace lists
