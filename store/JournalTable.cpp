#include "store/JournalTable.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "resources/Strings.h"
#include "store/Dataunit.h"

namespace journal {
namespace {

// Field string numbers in table order with their types; size 0 for the
// fixed-size types.
struct FieldSpec {
  int id;
  db::FieldType type;
  int size;
};

constexpr db::FieldType kInt = db::FieldType::Long;
constexpr db::FieldType kStamp = db::FieldType::Timestamp;
constexpr db::FieldType kTime = db::FieldType::Time;
constexpr db::FieldType kText = db::FieldType::Alpha;

constexpr FieldSpec kFields[] = {
    {48, kInt, 4},   {49, kInt, 4},   {50, kStamp, 8},  {51, kText, 1},  {52, kTime, 4},
    {53, kTime, 4},  {54, kText, 20}, {55, kText, 20},  {56, kText, 20}, {57, kText, 5},
    {58, kText, 5},  {59, kText, 5},  {60, kText, 5},   {61, kTime, 4},  {62, kTime, 4},
    {63, kText, 12}, {64, kText, 4},  {65, kText, 4},   {66, kText, 10}, {67, kText, 4},
    {68, kText, 4},  {69, kText, 4},  {70, kText, 7},   {71, kText, 4},  {72, kText, 12},
    {73, kText, 20}, {74, kText, 12}, {75, kText, 20},  {76, kText, 12}, {77, kText, 20},
    {78, kText, 12}, {79, kText, 20}, {80, kText, 200}, {81, kInt, 4},
};

// "DATE" and "REV_DATE": date, number of the day, entry and surfacing
// times, then the depths and water temperatures.
constexpr int kDateFields[] = {50, 51, 52, 53, 57, 58, 59, 60};

// Indexes named after their one field, in creation order.
constexpr int kOwnNameFields[] = {51, 52, 53, 57, 58, 59, 60, 61, 62, 54, 56, 55, 63, 64, 65,
                                  67, 66, 71, 68, 69, 72, 73, 74, 75, 76, 77, 78, 79, 80, 70};

struct Reverse {
  const char* name;
  int field;
};
constexpr Reverse kReverse[] = {
    {"REV_NO", 51},       {"REV_ENTRY", 52},    {"REV_SURF", 53},     {"REV_AVEDEPTH", 57},
    {"REV_MAXDEPTH", 58}, {"REV_AVEWATER", 59}, {"REV_RESTTIME", 61}, {"REV_DIVETIME", 62},
    {"REV_DIVER", 54},    {"REV_BUDDY", 56},    {"REV_SITE", 55},     {"REV_WEATHER", 63},
    {"REV_TEMP", 64},     {"REV_VISI", 65},     {"REV_CAPA", 67},     {"REV_MAT", 66},
    {"REV_WEIGHT", 71},   {"REV_START", 68},    {"REV_FINISH", 69},   {"REV_UE1", 72},
    {"REV_UEV1", 73},     {"REV_UE2", 74},      {"REV_UEV2", 75},     {"REV_UE3", 76},
    {"REV_UEV3", 77},     {"REV_UE4", 78},      {"REV_UEV4", 79},     {"REV_MEMO", 80},
    {"REV_CONS", 70},     {"REV_MINWATER", 60},
};

}  // namespace

std::vector<db::FieldDef> FieldDefs() {
  std::vector<db::FieldDef> fields;
  for (const FieldSpec& f : kFields) fields.push_back({res::LoadStr(f.id), f.type, f.size});
  return fields;
}

std::vector<db::IndexDef> IndexDefs() {
  std::vector<db::IndexDef> indexes;
  indexes.push_back({QString(), {res::LoadStr(kIdField)}, true, false});
  QStringList dateFields;
  for (int id : kDateFields) dateFields << res::LoadStr(id);
  indexes.push_back({QStringLiteral("DATE"), dateFields, false, false});
  for (int id : kOwnNameFields)
    indexes.push_back({res::LoadStr(id), {res::LoadStr(id)}, false, false});
  indexes.push_back({QStringLiteral("REV_DATE"), dateFields, false, true});
  for (const Reverse& r : kReverse) {
    indexes.push_back({QLatin1String(r.name), {res::LoadStr(r.field)}, false, true});
  }
  return indexes;
}

}  // namespace journal

namespace {

constexpr int kCaption = 1;  // "KELDORAN GRAPH 2"
const QString kTableName = QStringLiteral("LOG.DB");
const QString kCsvName = QStringLiteral("logtable.csv");

}  // namespace

void TVelmDataModule::CreateJournal(db::Table& table, bool withIndexes) {
  table.FieldDefs() = journal::FieldDefs();
  table.IndexDefs().clear();
  if (withIndexes) table.IndexDefs() = journal::IndexDefs();
  table.CreateTable();
}

bool TVelmDataModule::RebuildIfCsv() {
  if (!RebuildJournalFromCsv || !QFileInfo::exists(QDir(LogBookFolder).filePath(kCsvName)))
    return false;
  RebuildJournalFromCsv();
  return true;
}

int TVelmDataModule::OpenJournalTable() {
  LogTable.Close();
  // The sort is applied again once the index definitions are sure to be there.
  const QString indexName = LogTable.IndexName();
  LogTable.SetIndexName(QString());
  LogTable.SetDatabaseName(LogBookFolder);
  LogTable.SetTableName(kTableName);
  if (!LogTable.Exists()) {
    CreateJournal(LogTable, true);
    RebuildIfCsv();
  }
  try {
    LogTable.Open();
  } catch (const db::DbError& error) {
    if (error.Kind() != db::ErrorKind::Corruption) throw;
    MendDamagedJournal(error);
  }
  // A journal brought from elsewhere without its index definitions (they
  // live beside the table) gets them back, so that every sort works.
  for (const db::IndexDef& index : journal::IndexDefs()) {
    if (index.primary) continue;
    const auto& present = LogTable.Indexes();
    if (std::none_of(present.begin(), present.end(), [&](const db::IndexDef& p) {
          return p.name.compare(index.name, Qt::CaseInsensitive) == 0;
        })) {
      LogTable.AddIndex(index);
    }
  }
  if (!indexName.isEmpty()) LogTable.SetIndexName(indexName);
  HideControlFields();
  return 0;
}

// A journal that cannot be read must not leave the program unusable: its
// files are kept aside under a name that says what they are, a new journal
// is created (and rebuilt from the CSV mirror when there is one), and the
// user is told. Nothing is deleted.
void TVelmDataModule::MendDamagedJournal(const db::DbError& error) {
  LogTable.Close();
  const QDir folder(LogBookFolder);
  const QString base = QFileInfo(LogTable.FilePath()).completeBaseName();
  const QString stamp = QStringLiteral(".damaged-") +
                        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
  QString suffix = stamp;
  for (int n = 2; !folder.entryList({base + QStringLiteral(".*") + suffix}, QDir::Files).isEmpty();
       ++n) {
    suffix = stamp + u'-' + QString::number(n);  // an earlier mend in the same second
  }
  std::vector<std::pair<QString, QString>> moved;
  for (const char* ext : {"DB", "PX", "MB", "KIX"}) {
    const QString name = base + u'.' + QLatin1String(ext);
    if (!folder.exists(name)) continue;
    if (!QFile::rename(folder.filePath(name), folder.filePath(name + suffix))) {
      for (const auto& [from, to] : moved)
        QFile::rename(folder.filePath(to), folder.filePath(from));
      throw error;  // nothing could be set aside: the error reaches the exception box
    }
    moved.emplace_back(name, name + suffix);
  }
  CreateJournal(LogTable, true);
  const bool rebuilt = RebuildIfCsv();
  LogTable.Open();

  os::MessageRequest request;
  request.captionId = kCaption;
  request.caption = res::LoadStr(kCaption);
  request.icon = os::MsgIcon::Warning;
  request.text =
      QStringLiteral("The journal table %1 could not be read:\n%2\n\nIts files were kept as %3. %4")
          .arg(QDir::toNativeSeparators(folder.filePath(kTableName)), error.Message(),
               moved.front().second,
               rebuilt
                   ? QStringLiteral("A new journal was created and filled from %1.").arg(kCsvName)
                   : QStringLiteral("A new, empty journal was created."));
  os::Ui().MessageBox(request);
}

void TVelmDataModule::HideControlFields() {
  if (!LogTable.Active()) return;
  for (int id : {journal::kModeField, journal::kWatchDataField, journal::kIdField}) {
    LogTable.FieldByName(res::LoadStr(id)).SetVisible(false);
  }
}

void TVelmDataModule::PrepareTmpLogTable() {
  if (!TmpLogTable.TableName().isEmpty()) {
    TmpLogTable.Close();
    if (TmpLogTable.Exists()) TmpLogTable.DeleteTable();
  }
  if (TmpLogTable.TableName() == kTableName) {
    TmpLogTable.SetDatabaseName(QString());
    TmpLogTable.SetTableName(QString());
    const QString stale = QDir(WorkFolder).filePath(kTableName);
    if (QFileInfo::exists(stale)) QFile::remove(stale);
  }
  TmpLogTable.SetDatabaseName(WorkFolder);
  TmpLogTable.SetTableName(kTableName);
  if (!TmpLogTable.Exists()) CreateJournal(TmpLogTable, false);
}

void TVelmDataModule::OpenSearchTable() {
  const QString search = QStringLiteral("SEARCH");
  QDir(LogBookFolder).mkdir(search);
  SearchLogTable.Close();
  SearchLogTable.SetDatabaseName(QDir(LogBookFolder).filePath(search));
  SearchLogTable.SetTableName(kTableName);
  if (!SearchLogTable.Exists()) CreateJournal(SearchLogTable, true);
  try {
    SearchLogTable.Open();
  } catch (const db::DbError& error) {
    // The search result is only a copy of journal records: a damaged one is
    // made anew rather than blocking every later search.
    if (error.Kind() != db::ErrorKind::Corruption) throw;
    CreateJournal(SearchLogTable, true);
    SearchLogTable.Open();
  }
}
