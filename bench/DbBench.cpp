// The journal engine on a generated 9999-record journal with its 63 indexes:
// open and read, index switch, appends one post at a time, a LIKE search,
// and pxlib reading the same file for comparison.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "store/JournalTable.h"

extern "C" {
#include <paradox.h>
}

namespace {

constexpr int kRecords = 9999;

const char* const kDivers[] = {"Ann",   "Bob", "Cara",  "Dirk", "Eva",
                               "Femke", "Gus", "Hanna", "Ivo",  "Jill"};
const char* const kSites[] = {"Blue Hole", "Reef", "Wreck Point", "Cave", "Jetty", "Bay"};

void FillRecord(db::Table& t, int id) {
  t.FieldByName("ID").SetAsInteger(id);
  t.FieldByName("Mode").SetAsInteger(1 + id % 2);
  t.FieldByName("Date").SetAsDateTime(36000 + id / 3);
  t.FieldByName("No").SetAsString(QString::number(1 + id % 3));
  t.FieldByName("Entry Time").SetAsString(QStringLiteral("%1:%2:00").arg(8 + id % 10).arg(id % 60));
  t.FieldByName("Surf. Time").SetAsString(QStringLiteral("%1:%2:00").arg(9 + id % 10).arg(id % 60));
  t.FieldByName("Diver").SetAsString(QStringLiteral("%1 %2").arg(kDivers[id % 10]).arg(id % 97));
  t.FieldByName("Buddy").SetAsString(kDivers[(id / 10) % 10]);
  t.FieldByName("Loc./Site").SetAsString(kSites[id % 6]);
  t.FieldByName("Ave.Depth").SetAsString(QString::number(5 + id % 200 / 10.0));
  t.FieldByName("Max.Depth").SetAsString(QString::number(10 + id % 300 / 10.0));
  t.FieldByName("Min.Water").SetAsString("18.5");
  t.FieldByName("Dive Time").SetAsString("00:45:00");
  t.FieldByName("Weather").SetAsString("Sunny");
  t.FieldByName("User Article1").SetAsString("Camera");
  t.FieldByName("User Article Content1").SetAsString(id % 50 == 0 ? "wreck photo" : "reef");
  t.FieldByName("Memo").SetAsString(
      QStringLiteral("Dive %1: a calm dive along the wall with good light.").arg(id));
  t.FieldByName("WatchData").SetAsInteger(1);
}

void DefineJournal(db::Table& t, const QString& folder, bool indexes) {
  t.SetDatabaseName(folder);
  t.SetTableName("LOG.DB");
  t.FieldDefs() = journal::FieldDefs();
  t.IndexDefs().clear();
  if (indexes) t.IndexDefs() = journal::IndexDefs();
}

// The generated journal, made once per run.
const QString& JournalFolder() {
  static QTemporaryDir dir;
  static const bool made = [] {
    db::Table t;
    DefineJournal(t, dir.path(), true);
    t.CreateTable();
    t.Open();
    for (int id = 1; id <= kRecords; ++id) {
      t.Append();
      FillRecord(t, id);
      t.Post();
    }
    t.Close();
    return true;
  }();
  (void)made;
  static const QString path = dir.path();
  return path;
}

// Every value of every record in its own type, as the pxlib loop below
// reads them: texts as strings, numbers and dates as numbers.
void BM_EngineOpenAndReadAll(benchmark::State& state) {
  const QString folder = JournalFolder();
  for (auto _ : state) {
    db::Table t;
    t.SetDatabaseName(folder);
    t.SetTableName("LOG.DB");
    t.Open();
    double total = 0;
    for (t.First(); !t.Eof(); t.Next()) {
      for (int f = 0; f < t.FieldCount(); ++f) {
        db::Field field = t.Fields(f);
        switch (field.Type()) {
          case db::FieldType::Alpha:
            total += static_cast<double>(field.AsString().size());
            break;
          case db::FieldType::Long:
            total += field.AsInteger();
            break;
          default:
            total += field.AsDateTime();
        }
      }
    }
    benchmark::DoNotOptimize(total);
    if (t.RecordCount() != kRecords) state.SkipWithError("wrong record count");
  }
}
BENCHMARK(BM_EngineOpenAndReadAll)->Unit(benchmark::kMillisecond);

// The same with every value turned into its display text.
void BM_EngineOpenAndReadAllAsText(benchmark::State& state) {
  const QString folder = JournalFolder();
  for (auto _ : state) {
    db::Table t;
    t.SetDatabaseName(folder);
    t.SetTableName("LOG.DB");
    t.Open();
    qsizetype chars = 0;
    for (t.First(); !t.Eof(); t.Next()) {
      for (int f = 0; f < t.FieldCount(); ++f) chars += t.Fields(f).AsString().size();
    }
    benchmark::DoNotOptimize(chars);
    if (t.RecordCount() != kRecords) state.SkipWithError("wrong record count");
  }
}
BENCHMARK(BM_EngineOpenAndReadAllAsText)->Unit(benchmark::kMillisecond);

void BM_PxlibOpenAndReadAll(benchmark::State& state) {
  const QByteArray path = QDir(JournalFolder()).filePath("LOG.DB").toLocal8Bit();
  for (auto _ : state) {
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, path.constData()) < 0) {
      state.SkipWithError("pxlib refused the file");
      break;
    }
    const int n = PX_get_num_fields(doc);
    pxfield_t* fields = PX_get_fields(doc);
    std::vector<char> data(static_cast<std::size_t>(doc->px_head->px_recordsize));
    const int records = PX_get_num_records(doc);
    long total = 0;
    for (int r = 0; r < records; ++r) {
      PX_get_record(doc, r, data.data());
      int offset = 0;
      for (int i = 0; i < n; ++i) {
        char* p = data.data() + offset;
        const int len = fields[i].px_flen;
        if (fields[i].px_ftype == pxfAlpha) {
          char* value = nullptr;
          if (PX_get_data_alpha(doc, p, len, &value) > 0 && value) {
            total += static_cast<long>(std::strlen(value));
            doc->free(doc, value);
          }
        } else if (fields[i].px_ftype == pxfTimestamp) {
          double v = 0;
          PX_get_data_double(doc, p, len, &v);
          total += static_cast<long>(v) & 1;
        } else {
          long v = 0;
          PX_get_data_long(doc, p, len, &v);
          total += v & 1;
        }
        offset += len;
      }
    }
    benchmark::DoNotOptimize(total);
    PX_close(doc);
    PX_delete(doc);
  }
}
BENCHMARK(BM_PxlibOpenAndReadAll)->Unit(benchmark::kMillisecond);

void BM_OpenOnly(benchmark::State& state) {
  const QString folder = JournalFolder();
  for (auto _ : state) {
    db::Table t;
    t.SetDatabaseName(folder);
    t.SetTableName("LOG.DB");
    t.Open();
    benchmark::DoNotOptimize(t.RecordCount());
  }
}
BENCHMARK(BM_OpenOnly)->Unit(benchmark::kMillisecond);

void BM_SwitchToRevDiverAndWalk(benchmark::State& state) {
  db::Table t;
  t.SetDatabaseName(JournalFolder());
  t.SetTableName("LOG.DB");
  t.Open();
  const int diver = t.FieldIndex("Diver");
  for (auto _ : state) {
    t.SetIndexName("REV_DIVER");
    qsizetype chars = 0;
    for (t.First(); !t.Eof(); t.Next()) chars += t.Fields(diver).AsString().size();
    benchmark::DoNotOptimize(chars);
    t.SetIndexName("");
  }
}
BENCHMARK(BM_SwitchToRevDiverAndWalk)->Unit(benchmark::kMillisecond);

void BM_Append9999OnePostEach(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    db::Table t;
    DefineJournal(t, dir.path(), true);
    t.CreateTable();
    t.Open();
    state.ResumeTiming();
    for (int id = 1; id <= kRecords; ++id) {
      t.Append();
      FillRecord(t, id);
      t.Post();
    }
    state.PauseTiming();
    t.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Append9999OnePostEach)->Unit(benchmark::kMillisecond)->Iterations(3);

// One post of a new record (the next free number, as new dives get) into a
// journal of Arg(0) records, 63 indexes defined and "DATE" current.
void BM_PostIntoJournal(benchmark::State& state) {
  QTemporaryDir dir;
  db::Table t;
  DefineJournal(t, dir.path(), true);
  t.CreateTable();
  t.Open();
  const int start = static_cast<int>(state.range(0));
  for (int id = 1; id <= start; ++id) {
    t.Append();
    FillRecord(t, id);
    t.Post();
  }
  t.SetIndexName("DATE");
  int id = start + 1;
  for (auto _ : state) {
    t.Append();
    FillRecord(t, id++);
    t.Post();
  }
}

// The same with numbers that land between existing records, so that
// blocks split (the worst case: a split rebuilds the .PX entries).
void BM_PostIntoJournalMiddle(benchmark::State& state) {
  QTemporaryDir dir;
  db::Table t;
  DefineJournal(t, dir.path(), true);
  t.CreateTable();
  t.Open();
  for (int id = 1; id <= state.range(0); ++id) {
    t.Append();
    FillRecord(t, id * 2);
    t.Post();
  }
  int id = 1;
  for (auto _ : state) {
    t.Append();
    FillRecord(t, id);
    id += 2;
    t.Post();
  }
}
BENCHMARK(BM_PostIntoJournalMiddle)->Arg(kRecords)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostIntoJournal)
    ->Arg(0)
    ->Arg(kRecords)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

// One post into an unkeyed work table like a graph table.
void BM_PostIntoWorkTable(benchmark::State& state) {
  QTemporaryDir dir;
  db::Table t;
  t.SetDatabaseName(dir.path());
  t.SetTableName("Depth00.DB");
  t.FieldDefs() = {db::FieldDef::DateTime("Time"), db::FieldDef::String("Depth", 6)};
  t.CreateTable();
  t.Open();
  for (int i = 0; i < state.range(0); ++i) {
    t.Append();
    t.Fields(1).SetAsString("12.3");
    t.Post();
  }
  for (auto _ : state) {
    t.Append();
    t.Fields(0).SetAsDateTime(0.5);
    t.Fields(1).SetAsString("12.3");
    t.Post();
  }
}
BENCHMARK(BM_PostIntoWorkTable)
    ->Arg(0)
    ->Arg(kRecords)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

void BM_LikeSearch(benchmark::State& state) {
  const QString folder = JournalFolder();
  db::Query q;
  q.SetDatabaseName(folder);
  q.SetSQL(QStringLiteral(R"(SELECT * FROM LOG WHERE ("Log"."Diver" LIKE '%ann%') )"));
  for (auto _ : state) {
    q.Open();
    state.counters["rows"] = q.RecordCount();
    q.Close();
  }
}
BENCHMARK(BM_LikeSearch)->Unit(benchmark::kMillisecond);

void BM_SearchWithKeywords(benchmark::State& state) {
  const QString folder = JournalFolder();
  db::Query q;
  q.SetDatabaseName(folder);
  q.SetSQL(QStringLiteral(
      R"(SELECT * FROM LOG WHERE ("Log"."Date" BETWEEN '01.01.2001' AND '31.12.2001') AND  (("Log"."User Article1" LIKE '%wreck%') OR ("Log"."User Article2" LIKE '%wreck%') OR ("Log"."User Article3" LIKE '%wreck%') OR ("Log"."User Article4" LIKE '%wreck%') OR ("Log"."User Article Content1" LIKE '%wreck%') OR ("Log"."User Article Content2" LIKE '%wreck%') OR ("Log"."User Article Content3" LIKE '%wreck%') OR ("Log"."User Article Content4" LIKE '%wreck%')))"));
  for (auto _ : state) {
    q.Open();
    state.counters["rows"] = q.RecordCount();
    q.Close();
  }
}
BENCHMARK(BM_SearchWithKeywords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
