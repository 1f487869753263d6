// The main window over a journal of 9999 records:
//   bench_main_window                 the Google Benchmark figures
//   bench_main_window --shot FILE N   a picture of the window over N records
// Runs offscreen in a scratch program folder and Windows folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "app/JournalGrid.h"
#include "app/JournalGridModel.h"
#include "app/Mainunit.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"

namespace {

const char* const kDivers[] = {"Carla Mendes", "Ann Okafor", "Bob Lind", "Eve Marsh", "Dan Ito", "Kai Berg"};
const char* const kSites[] = {"Blue Hole, Dahab", "Ras Mohammed", "Thistlegorm", "Shark Reef", "Elphinstone"};
const char* const kWeather[] = {"Sunny", "Cloudy", "Rain", "Windy"};

JournalRecord Dive(int id) {
  JournalRecord r;
  r.ID = id;
  r.Mode = id % 7 == 0 ? 2 : 1;
  r.Date = *fmt::TryEncodeDate(1998 + id % 9, 1 + id % 12, 1 + id % 28);
  r.No = QString::number(1 + id % 3);
  r.EntryTime = *fmt::TryEncodeTime(8 + id % 8, (id * 7) % 60, 0);
  r.SurfTime = *fmt::TryEncodeTime(9 + id % 8, (id * 7) % 60, 0);
  r.RestTime = *fmt::TryEncodeTime(1 + id % 3, (id * 13) % 60, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 30 + id % 29, (id * 11) % 60);
  r.Diver = kDivers[id % 6];
  r.Buddy = kDivers[(id + 3) % 6];
  r.Site = kSites[id % 5];
  r.MaxDepth = r.Mode == 1 ? QString::number(10 + id % 30) + ".4" : QString::number(40 + id % 90);
  r.AveDepth = r.Mode == 1 ? QString::number(6 + id % 12) + ".1" : QString::number(20 + id % 30);
  r.AveWater = r.Mode == 1 ? "24.5" : "76";
  r.MinWater = r.Mode == 1 ? "22.0" : "72";
  r.Weather = kWeather[id % 4];
  r.Temp = "29";
  r.Clarity = "20";
  r.TankMaterial = id % 2 ? "Aluminium" : "Steel";
  r.TankCapacity = "11";
  r.StartPres = "200";
  r.EndPres = QString::number(40 + id % 30);
  r.AirConsum = "15.2";
  r.Weight = "4";
  r.UserArticle = {"Camera", "Nitrox", "", ""};
  r.UserContent = {"Housing", "32%", "", ""};
  r.Memo = QStringLiteral("Dive %1: drift along the wall, turtles and a napoleon.").arg(id);
  return r;
}

// A program folder whose journal holds `records` dives; the current
// directory and KELDORAN_WINDIR point into it while it lives.
class Scratch {
 public:
  explicit Scratch(int records) {
    QDir::setCurrent(program_.path());
    qputenv("KELDORAN_WINDIR", windows_.path().toLocal8Bit());
    TVelmDataModule dm;
    dm.VelmDataModuleCreate();
    dm.PressureUnit = "bar";
    dm.CapacityUnit = "l";
    dm.WeightUnit = "kg";
    dm.SaveSettings();
    for (int id = 1; id <= records; ++id) journal::AppendRecord(dm.LogTable, Dive(id));
    dm.LogTable.Close();
  }

 private:
  QTemporaryDir program_;
  QTemporaryDir windows_;
};

void OpenAndShowFirstScreen(benchmark::State& state) {
  Scratch scratch(9999);
  for (auto _ : state) {
    TVelmDataModule dm;
    dm.VelmDataModuleCreate();
    TMainForm form;
    form.show();
    form.grab();  // paints the grid's first screen
    benchmark::DoNotOptimize(form.Grid()->JournalModel()->rowCount());
  }
}
BENCHMARK(OpenAndShowFirstScreen)->Unit(benchmark::kMillisecond);

// The window alone over a journal already open.
void ShowFirstScreen(benchmark::State& state) {
  Scratch scratch(9999);
  TVelmDataModule dm;
  dm.VelmDataModuleCreate();
  for (auto _ : state) {
    TMainForm form;
    form.show();
    form.grab();
    benchmark::DoNotOptimize(form.Grid()->JournalModel()->rowCount());
  }
}
BENCHMARK(ShowFirstScreen)->Unit(benchmark::kMillisecond);

void SwitchSortOrder(benchmark::State& state) {
  Scratch scratch(9999);
  TVelmDataModule dm;
  dm.VelmDataModuleCreate();
  TMainForm form;
  form.show();
  const JournalGridModel* model = form.Grid()->JournalModel();
  int diver = 0;
  while (model->FieldName(diver) != "Diver") ++diver;
  for (auto _ : state) {
    form.LogGridTitleClick(diver);  // ascending, descending, ...
    form.Grid()->viewport()->grab();
  }
}
BENCHMARK(SwitchSortOrder)->Unit(benchmark::kMillisecond);

void ScrollOnePage(benchmark::State& state) {
  Scratch scratch(9999);
  TVelmDataModule dm;
  dm.VelmDataModuleCreate();
  TMainForm form;
  form.show();
  int row = 0;
  for (auto _ : state) {
    row = (row + 30) % 9999;
    form.Grid()->scrollTo(form.Grid()->JournalModel()->index(row, 0));
    form.Grid()->viewport()->grab();
  }
}
BENCHMARK(ScrollOnePage)->Unit(benchmark::kMillisecond);

int Shot(const char* file, int records) {
  Scratch scratch(records);
  TVelmDataModule dm;
  dm.VelmDataModuleCreate();
  TMainForm form;
  form.resize(1100, 700);
  form.show();
  form.LogGridTitleClick(0);  // by date
  for (int i = 0; i < 5; ++i) form.NextSpdBtnClick();
  QApplication::processEvents();
  const bool saved = form.grab().save(QString::fromLocal8Bit(file));
  std::printf("%s %s\n", saved ? "wrote" : "could not write", file);
  return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 4 && std::strcmp(argv[1], "--shot") == 0) return Shot(argv[2], std::atoi(argv[3]));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
