#include "store/ListFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

#include "platform/os/Codec.h"
#include "platform/os/SaveFile.h"

namespace lists {

QStringList ReadLines(const QString& path) { return TryReadLines(path).value_or(QStringList()); }

std::optional<QStringList> TryReadLines(const QString& path) {
  QStringList lines;
  QFile file(path);
  if (!file.exists()) return lines;
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray all = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
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

bool WriteLines(const QString& path, const QStringList& lines) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  for (const QString& line : lines) {
    const QByteArray bytes = os::ToAnsi(line) + '\n';
    if (file.write(bytes) != bytes.size()) {
      file.cancelWriting();
      return false;
    }
  }
  return os::CommitComplete(file);
}

bool ReplaceThroughMoveFile(const QString& current, const QString& temp, const QString& move) {
  QFile::remove(move);
  if (QFileInfo::exists(current) && !QFile::copy(current, move)) return false;
  // rename() puts the new file in place in one step: the current name is
  // never without a complete list.
  if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(current).constData()) != 0) {
    QFile::remove(move);
    return false;
  }
  QFile::remove(move);
  return true;
}

void RecoverMoveFile(const QStringList& currents, const QString& move) {
  if (!QFileInfo::exists(move)) return;
  QStringList missing;
  for (const QString& c : currents) {
    if (!QFileInfo::exists(c)) missing << c;
  }
  if (missing.isEmpty()) {
    QFile::remove(move);
  } else if (missing.size() == 1) {
    QFile::rename(move, missing.first());
  }
}

}  // namespace lists
