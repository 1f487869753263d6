// Draws the journal entry form with a filled record into a PNG file, for a
// visual check: entry_form_gallery FILE
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "journal_edit/Diaryeditunit.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("entry-form.png");
  QTemporaryDir dir;
  qputenv("KELDORAN_WINDIR", dir.filePath("WINDOWS").toLocal8Bit());
  const QString target = QDir(QDir::currentPath()).absoluteFilePath(out);
  QDir::setCurrent(dir.path());

  TVelmDataModule dm;
  if (dm.VelmDataModuleCreate() != 0) return 1;
  dm.PressureUnit = "bar";
  dm.CapacityUnit = "l";
  dm.WeightUnit = "kg";
  JournalRecord r;
  r.ID = 12;
  r.Mode = 1;
  r.WatchData = 1;
  r.Date = *fmt::TryEncodeDate(2026, 11, 28);
  r.No = "2";
  r.EntryTime = *fmt::TryEncodeTime(10, 42, 5);
  r.SurfTime = *fmt::TryEncodeTime(11, 29, 40);
  r.RestTime = *fmt::TryEncodeTime(1, 35, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 47, 35);
  r.MaxDepth = "24.6";
  r.AveDepth = "14.2";
  r.AveWater = "23";
  r.MinWater = "22.4";
  r.Diver = "Ann Okafor";
  r.Buddy = "Dan Ito";
  r.Site = "Shark Reef";
  r.Weather = "Sunny";
  r.Temp = "29";
  r.Clarity = "25";
  r.TankMaterial = "Aluminium";
  r.TankCapacity = "11";
  r.StartPres = "200";
  r.EndPres = "60";
  r.AirConsum = "1.34";
  r.Weight = "4";
  r.UserArticle = {"Camera", "Nitrox", "", ""};
  r.UserContent = {"Housing", "32%", "", ""};
  r.Memo = "Turtle at the cleaning station, strong current on the north corner.";
  journal::AppendRecord(dm.LogTable, r);
  dm.LogTable.First();

  TDiaryEditForm form;
  form.SetMode(1);
  form.adjustSize();
  form.show();
  app.processEvents();
  return form.grab().save(target) ? 0 : 1;
}
