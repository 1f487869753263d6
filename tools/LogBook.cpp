#include "tools/LogBook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>
#include <map>
#include <set>

#include "platform/db/MemoryDataSet.h"
#include "platform/db/Table.h"
#include "platform/os/Codec.h"
#include "platform/os/Formats.h"
#include "profile_library/velm.h"
#include "resources/Strings.h"
#include "store/DiveProfile.h"
#include "store/JournalCsv.h"
#include "store/JournalRecords.h"
#include "store/JournalTable.h"
#include "store/Velm.h"

namespace logbook {
namespace {

constexpr int kFirstField = 48;  // "ID"
constexpr int kFieldCount = 34;  // to 81 "WatchData"
constexpr int kHeaderValues = 17;
constexpr int kPathBuffer = 260;

const QString kCsvName = QStringLiteral("logtable.csv");

QString Numbered(const char* extension, int id) {
  return QStringLiteral("VELM%1.%2").arg(id, 4, 10, QChar(u'0')).arg(QLatin1String(extension));
}

QString DateText(const std::optional<double>& value) {
  return value ? fmt::DateToStr(*value) : QString();
}

QString TimeText(const std::optional<double>& value) {
  return value ? fmt::TimeToStr(*value) : QString();
}

// The mirror drops the blanks a text ends with; so does the comparison.
QString WithoutTrailingBlanks(QString text) {
  qsizetype n = text.size();
  while (n > 0 && text[n - 1] == u' ') --n;
  text.truncate(n);
  return text;
}

// The profile file of a record, as the graph and the receive read it.
void CheckProfile(const QString& folder, const JournalRecord& r, CheckReport& report) {
  const QString name = Numbered("LOG", r.ID);
  const QString path = QDir(folder).filePath(name);
  if (!QFileInfo::exists(path)) {
    report.problems << QStringLiteral("record %1: its profile file %2 is missing").arg(r.ID).arg(name);
    return;
  }
  // A record entered by hand has a placeholder that only reserves the number.
  if (r.WatchData != 1) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    report.problems << QStringLiteral("record %1: %2 cannot be read").arg(r.ID).arg(name);
    return;
  }
  const QByteArray text = file.readAll();
  const QList<QByteArray> header = text.left(text.indexOf('\n')).trimmed().split(',');
  bool valid = header.size() == kHeaderValues && header[0].size() == 1 &&
               (header[0] == "M" || header[0] == "F");
  for (qsizetype i = 1; valid && i < header.size(); ++i) header[i].toInt(&valid);
  if (!valid) {
    report.problems << QStringLiteral("record %1: %2 has no valid header line").arg(r.ID).arg(name);
    return;
  }
  const int unitMode = header[0] == "F" ? store::kImperial : store::kMetric;
  if (unitMode != r.Mode) {
    report.problems << QStringLiteral("record %1: %2 holds a dive in %3 but the record's \"Mode\" is %4")
                           .arg(r.ID)
                           .arg(name, unitMode == store::kImperial ? QStringLiteral("feet (F)")
                                                                   : QStringLiteral("metres (M)"))
                           .arg(r.Mode);
  }
  const store::ProfileLines lines = store::SplitProfileText(text);
  int bad = 0;
  for (const auto* section : {&lines.depth, &lines.water}) {
    for (const QString& line : *section) {
      bool ok = false;
      line.toInt(&ok);
      if (!ok) ++bad;
    }
  }
  if (bad > 0) {
    report.problems << QStringLiteral("record %1: %2 holds %3 sample line(s) that are no number")
                           .arg(r.ID)
                           .arg(name)
                           .arg(bad);
  }
}

// The album file of a record and the captures its movies point at. The
// media files themselves lie outside the log book: a missing one is a note.
void CheckAlbum(const QString& folder, int id, CheckReport& report) {
  const QString name = Numbered("ALB", id);
  const QString path = QDir(folder).filePath(name);
  if (!QFileInfo::exists(path)) {
    if (QFileInfo(QDir(folder).filePath(Numbered("VID", id))).isDir()) {
      report.notes << QStringLiteral("record %1: %2 holds captures but the record has no album file %3")
                          .arg(id)
                          .arg(Numbered("VID", id), name);
    }
    return;
  }
  const QByteArray file = QFile::encodeName(path);
  const int count = get_album_prof_int(id, "List", "Count", 10, file.constData());
  for (int i = 1; i <= count; ++i) {
    char entry[kPathBuffer] = {};
    get_album_prof_idx_data(id, "List", i, kPathBuffer, entry, file.constData());
    const QString media = os::FromAnsi(entry, static_cast<qsizetype>(std::strlen(entry)));
    VelmAlbumData data{};
    if (get_album_prof_data(id, entry, &data, file.constData()) == VELM_NO_ALBUM_DATA) {
      report.notes << QStringLiteral("record %1: %2 entry %3 (%4) has no data and is left out when "
                                     "the album is shown")
                          .arg(id)
                          .arg(name)
                          .arg(i)
                          .arg(media);
      continue;
    }
    if (data.Kind != 1 && data.Kind != 2) {
      report.problems << QStringLiteral("record %1: %2 entry %3 (%4) is of unknown kind %5")
                             .arg(id)
                             .arg(name)
                             .arg(i)
                             .arg(media)
                             .arg(data.Kind);
      continue;
    }
    if (!QFileInfo::exists(media)) {
      report.notes << QStringLiteral("record %1: %2 entry %3: %4 %5 is not there")
                          .arg(id)
                          .arg(name)
                          .arg(i)
                          .arg(data.Kind == 1 ? QStringLiteral("picture") : QStringLiteral("movie"),
                               media);
    }
    if (data.Kind != 2) continue;
    const QString capture = os::FromAnsi(data.Capture, static_cast<qsizetype>(strnlen(data.Capture, sizeof data.Capture)));
    const QString capturePath = Numbered("VID", id) + u'/' + capture;
    if (capture.isEmpty()) {
      report.problems << QStringLiteral("record %1: %2 entry %3 (%4) is a movie without a capture")
                             .arg(id)
                             .arg(name)
                             .arg(i)
                             .arg(media);
    } else if (!QFileInfo::exists(QDir(folder).filePath(capturePath))) {
      report.problems << QStringLiteral("record %1: %2 entry %3 (%4): its capture %5 is missing")
                             .arg(id)
                             .arg(name)
                             .arg(i)
                             .arg(media, capturePath);
    }
  }
}

// The journal against its mirror: records on one side only, and fields
// that differ.
void CheckMirror(const QString& folder, const std::vector<JournalRecord>& records,
                 CheckReport& report) {
  const QString path = QDir(folder).filePath(kCsvName);
  if (!QFileInfo::exists(path)) {
    if (!records.empty()) {
      report.problems << QStringLiteral("%1 is missing (the journal holds %2 records)")
                             .arg(kCsvName)
                             .arg(records.size());
    }
    return;
  }
  std::map<int, JournalRecord> mirror;
  std::set<int> doubled;
  int unreadable = 0;
  // Each mirror record passes through one record in memory with the
  // journal's fields, as the rebuild reads it into the journal.
  db::MemoryDataSet one(journal::FieldDefs());
  one.AppendRecord();
  const csv::Columns columns(one);
  const journal::FieldMap fields(one);
  const csv::ReadResult read = csv::ReadFile(path, [&](const char* bytes) {
    if (!columns.Decode(bytes, one)) {
      ++unreadable;
      return;
    }
    JournalRecord r = fields.Read(one);
    const int id = r.ID;
    if (!mirror.emplace(id, std::move(r)).second) doubled.insert(id);
  });
  if (!read.opened) {
    report.problems << QStringLiteral("%1 cannot be read").arg(kCsvName);
    return;
  }
  if (unreadable > 0) {
    report.problems << QStringLiteral("%1 holds %2 record(s) without a readable \"ID\"")
                           .arg(kCsvName)
                           .arg(unreadable);
  }
  for (const int id : doubled) {
    report.problems << QStringLiteral("record %1 is in %2 more than once").arg(id).arg(kCsvName);
  }
  if (const qint64 rest = QFileInfo(path).size() % csv::kRecordSize; rest != 0) {
    report.notes << QStringLiteral("%1 ends with %2 byte(s) that make no whole record; they are "
                                   "never read")
                        .arg(kCsvName)
                        .arg(rest);
  }

  const QStringList names = FieldNames();
  std::set<int> inJournal;
  for (const JournalRecord& r : records) {
    inJournal.insert(r.ID);
    const auto it = mirror.find(r.ID);
    if (it == mirror.end()) {
      report.problems << QStringLiteral("record %1 is in LOG.DB but not in %2").arg(r.ID).arg(kCsvName);
      continue;
    }
    const QStringList stored = FieldTexts(r);
    const QStringList mirrored = FieldTexts(it->second);
    for (int f = 0; f < kFieldCount; ++f) {
      const QString a = WithoutTrailingBlanks(stored[f]);
      const QString b = WithoutTrailingBlanks(mirrored[f]);
      if (a == b) continue;
      report.problems << QStringLiteral("record %1: \"%2\" is \"%3\" in LOG.DB but \"%4\" in %5")
                             .arg(r.ID)
                             .arg(names[f], DumpLine({a}), DumpLine({b}), kCsvName);
    }
  }
  for (const auto& [id, r] : mirror) {
    if (!inJournal.count(id)) {
      report.problems << QStringLiteral("record %1 is in %2 but not in LOG.DB").arg(id).arg(kCsvName);
    }
  }
}

// Files of the log-book folder that no record claims, and what an
// interrupted album edit or import leaves behind.
void CheckLeftovers(const QString& folder, const std::set<int>& ids, CheckReport& report) {
  static const QRegularExpression numbered(QStringLiteral("^VELM(\\d{4})\\.(LOG|ALB|VID|WOK)$"),
                                           QRegularExpression::CaseInsensitiveOption);
  const QStringList entries =
      QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries) {
    if (entry.compare(QStringLiteral("TMPDIR"), Qt::CaseInsensitive) == 0) {
      report.notes << QStringLiteral("%1 is left from an album edit that did not finish").arg(entry);
      continue;
    }
    if (entry.compare(QStringLiteral("IMPDATA"), Qt::CaseInsensitive) == 0) {
      report.notes << QStringLiteral("%1 is left from an import that did not finish; the next "
                                     "import stops at it")
                          .arg(entry);
      continue;
    }
    const auto m = numbered.match(entry);
    if (!m.hasMatch()) continue;
    if (m.captured(2).compare(QStringLiteral("WOK"), Qt::CaseInsensitive) == 0) {
      report.notes << QStringLiteral("%1 is left from an album edit that did not finish").arg(entry);
    } else if (!ids.count(m.captured(1).toInt())) {
      report.notes << QStringLiteral("%1 belongs to no journal record").arg(entry);
    }
  }
}

}  // namespace

QString LogBookFolderOf(const QString& programFolder) {
  const QDir program(programFolder);
  if (const auto logDir = velmq::GetProfPath("Config", "Log Dir"); logDir && !logDir->isEmpty()) {
    const QString folder = QDir::cleanPath(program.absoluteFilePath(*logDir));
    if (QFileInfo(folder).isDir()) return folder;
  }
  return program.absoluteFilePath(QStringLiteral("LOG"));
}

std::vector<JournalRecord> ReadJournal(const QString& folder) {
  db::Table table;
  table.SetDatabaseName(folder);
  table.SetTableName(QStringLiteral("LOG.DB"));
  table.SetReadOnly(true);
  table.Open();
  const journal::FieldMap fields(table);
  std::vector<JournalRecord> records;
  records.reserve(static_cast<std::size_t>(table.RecordCount()));
  for (table.First(); !table.Eof(); table.Next()) records.push_back(fields.Read(table));
  table.Close();
  return records;
}

QStringList FieldNames() {
  QStringList names;
  for (int i = 0; i < kFieldCount; ++i) names << res::LoadStr(kFirstField + i);
  return names;
}

QStringList FieldTexts(const JournalRecord& r) {
  QStringList t{QString::number(r.ID), QString::number(r.Mode), DateText(r.Date), r.No,
                TimeText(r.EntryTime), TimeText(r.SurfTime), r.Diver, r.Site, r.Buddy,
                r.AveDepth, r.MaxDepth, r.AveWater, r.MinWater, TimeText(r.RestTime),
                TimeText(r.DiveTime), r.Weather, r.Temp, r.Clarity, r.TankMaterial,
                r.TankCapacity, r.StartPres, r.EndPres, r.AirConsum, r.Weight};
  for (std::size_t n = 0; n < 4; ++n) t << r.UserArticle[n] << r.UserContent[n];
  t << r.Memo << QString::number(r.WatchData);
  return t;
}

QString DumpLine(const QStringList& texts) {
  QStringList escaped;
  escaped.reserve(texts.size());
  for (const QString& text : texts) {
    QString e;
    e.reserve(text.size());
    for (const QChar c : text) {
      switch (c.unicode()) {
        case u'\\': e += QStringLiteral("\\\\"); break;
        case u'\t': e += QStringLiteral("\\t"); break;
        case u'\r': e += QStringLiteral("\\r"); break;
        case u'\n': e += QStringLiteral("\\n"); break;
        default: e += c;
      }
    }
    escaped << e;
  }
  return escaped.join(u'\t');
}

CheckReport Check(const QString& folder, const std::vector<JournalRecord>& records) {
  CheckReport report;
  report.records = static_cast<int>(records.size());
  CheckMirror(folder, records, report);
  std::set<int> ids;
  for (const JournalRecord& r : records) {
    ids.insert(r.ID);
    CheckProfile(folder, r, report);
    CheckAlbum(folder, r.ID, report);
  }
  CheckLeftovers(folder, ids, report);
  return report;
}

}  // namespace logbook
