#include "resources/Strings.h"

#include <QFile>
#include <QHash>

namespace res {
namespace {

QString Unescape(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\' && i + 1 < text.size()) {
      const QChar n = text[++i];
      out += n == u'n' ? QChar(u'\n') : n == u't' ? QChar(u'\t') : n;
    } else {
      out += c;
    }
  }
  return out;
}

const QHash<int, QString>& Table() {
  static const QHash<int, QString> table = [] {
    QHash<int, QString> t;
    QFile file(QStringLiteral(":/keldoran/strings.txt"));
    if (!file.open(QIODevice::ReadOnly)) return t;
    const QString all = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(all).split(u'\n')) {
      if (line.isEmpty() || line.startsWith(u'#')) continue;
      const qsizetype tab = line.indexOf(u'\t');
      if (tab <= 0) continue;
      bool ok = false;
      const int id = line.left(tab).toInt(&ok);
      if (ok) t.insert(id, Unescape(line.mid(tab + 1)));
    }
    return t;
  }();
  return table;
}

}  // namespace

QString LoadStr(int id) { return Table().value(id); }

bool HasStr(int id) { return Table().contains(id); }

std::vector<int> StringIds() {
  std::vector<int> ids(Table().keyBegin(), Table().keyEnd());
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace res
