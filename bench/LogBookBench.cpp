// keldoran-tool's reading of a full log book: 9999 records, each with a
// 45-minute profile file and the journal CSV mirror. The journal read-only
// in "ID" order, the dump's text lines, and the whole consistency check.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "bench/DiveFixture.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "tools/LogBook.h"

namespace {

constexpr int kRecords = 9999;
constexpr int kDepthSamples = 540;  // 45 minutes

// A program folder with the log book, made once.
struct Book {
  QTemporaryDir dir;
  QString folder;
  Book() {
    qputenv("KELDORAN_WINDIR", dir.filePath("WINDOWS").toLocal8Bit());
    QDir::setCurrent(dir.path());
    TVelmDataModule dm;
    dm.VelmDataModuleCreate();
    for (int id = 1; id <= kRecords; ++id) {
      JournalRecord r;
      r.ID = id;
      r.Date = 36000 + id / 3;
      r.EntryTime = *fmt::TryEncodeTime(8 + id % 10, id % 60, 0);
      r.Diver = QStringLiteral("Diver %1").arg(id % 97);
      r.MaxDepth = QString::number(10 + id % 300 / 10.0);
      r.Memo = QStringLiteral("Dive %1 along the wall.\r\nGood light.").arg(id);
      journal::AppendRecord(dm.LogTable, r);
    }
    dm.WriteCsvFile();
    folder = dm.LogBookFolder;
    fixture::WriteProfiles(folder, kRecords, kDepthSamples, false);
  }
};

Book& TheBook() {
  static Book book;
  return book;
}

void BM_ReadJournal(benchmark::State& state) {
  const Book& b = TheBook();
  for (auto _ : state) benchmark::DoNotOptimize(logbook::ReadJournal(b.folder).size());
}
BENCHMARK(BM_ReadJournal)->Unit(benchmark::kMillisecond);

void BM_DumpLines(benchmark::State& state) {
  const auto records = logbook::ReadJournal(TheBook().folder);
  for (auto _ : state) {
    qsizetype size = 0;
    for (const JournalRecord& r : records) size += logbook::DumpLine(logbook::FieldTexts(r)).size();
    benchmark::DoNotOptimize(size);
  }
}
BENCHMARK(BM_DumpLines)->Unit(benchmark::kMillisecond);

void BM_Check(benchmark::State& state) {
  const Book& b = TheBook();
  for (auto _ : state) {
    const logbook::CheckReport report = logbook::Check(b.folder, logbook::ReadJournal(b.folder));
    if (!report.problems.isEmpty()) state.SkipWithError(report.problems.front().toUtf8().constData());
    benchmark::DoNotOptimize(report.records);
  }
}
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
