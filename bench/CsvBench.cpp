// The journal CSV mirror on a 9999-record journal: writing it, rebuilding
// the journal from it, and copying a file of the same size for comparison.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"

namespace {

constexpr int kRecords = 9999;

JournalRecord Dive(int id) {
  JournalRecord r;
  r.ID = id;
  r.Mode = 1 + id % 2;
  r.Date = 36000 + id / 3;
  r.No = QString::number(1 + id % 3);
  r.EntryTime = *fmt::TryEncodeTime(8 + id % 10, id % 60, 0);
  r.SurfTime = *fmt::TryEncodeTime(9 + id % 10, id % 60, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 45, 0);
  r.Diver = QStringLiteral("Diver %1").arg(id % 97);
  r.Buddy = QStringLiteral("Buddy %1").arg(id % 13);
  r.Site = QStringLiteral("Site %1").arg(id % 31);
  r.MaxDepth = QString::number(10 + id % 300 / 10.0);
  r.AveDepth = QString::number(5 + id % 200 / 10.0);
  r.MinWater = QStringLiteral("18.5");
  r.Weather = QStringLiteral("Sunny");
  r.Memo = QStringLiteral("Dive %1: a calm dive along the wall with good light.").arg(id);
  r.WatchData = 1;
  return r;
}

// A program folder with a 9999-record journal and its mirror, made once.
struct Book {
  QTemporaryDir dir;
  std::unique_ptr<TVelmDataModule> dm;
  Book() {
    qputenv("KELDORAN_WINDIR", dir.filePath("WINDOWS").toLocal8Bit());
    QDir::setCurrent(dir.path());
    dm = std::make_unique<TVelmDataModule>();
    dm->VelmDataModuleCreate();
    for (int id = 1; id <= kRecords; ++id) journal::AppendRecord(dm->LogTable, Dive(id));
    dm->WriteCsvFile();
  }
};

Book& TheBook() {
  static Book book;
  return book;
}

void BM_WriteCsv(benchmark::State& state) {
  Book& b = TheBook();
  for (auto _ : state) benchmark::DoNotOptimize(b.dm->WriteCsvFile());
  state.counters["bytes"] = static_cast<double>(QFile(b.dm->CsvPath()).size());
}
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond);

void BM_RebuildFromCsv(benchmark::State& state) {
  Book& b = TheBook();
  const QString folder = b.dir.filePath("REBUILD");
  QDir().mkpath(folder);
  QFile::remove(folder + "/logtable.csv");
  QFile::copy(b.dm->CsvPath(), folder + "/logtable.csv");
  TVelmDataModule& dm = *b.dm;
  const QString own = dm.LogBookFolder;
  for (auto _ : state) {
    state.PauseTiming();
    dm.LogTable.Close();
    dm.LogBookFolder = folder;
    for (const QString& f : QDir(folder).entryList({"LOG.*"}, QDir::Files)) QFile::remove(folder + '/' + f);
    state.ResumeTiming();
    dm.OpenJournalTable();  // creates the journal and rebuilds it from the mirror
    benchmark::DoNotOptimize(dm.LogTable.RecordCount());
  }
  dm.LogTable.Close();
  dm.LogBookFolder = own;
  dm.OpenJournalTable();
}
BENCHMARK(BM_RebuildFromCsv)->Unit(benchmark::kMillisecond);

// The yardstick: copying a file of the mirror's size.
void BM_CopySameSize(benchmark::State& state) {
  Book& b = TheBook();
  const QString target = b.dir.filePath("copy.csv");
  for (auto _ : state) {
    QFile::remove(target);
    benchmark::DoNotOptimize(QFile::copy(b.dm->CsvPath(), target));
  }
}
BENCHMARK(BM_CopySameSize)->Unit(benchmark::kMillisecond);

// The same copy made as safe as the mirror's write: the copy is flushed to
// the disk before it counts as done, as the mirror is before it replaces
// the old file.
void BM_CopySameSizeToDisk(benchmark::State& state) {
  Book& b = TheBook();
  const QString target = b.dir.filePath("copy.csv");
  for (auto _ : state) {
    QFile::remove(target);
    QFile::copy(b.dm->CsvPath(), target);
    QFile copy(target);
    if (!copy.open(QIODevice::ReadWrite) || ::fsync(copy.handle()) != 0)
      state.SkipWithError("the copy could not be flushed");
  }
}
BENCHMARK(BM_CopySameSizeToDisk)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
