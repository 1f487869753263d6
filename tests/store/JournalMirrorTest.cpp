#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>

#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalCsv.h"
#include "store/JournalRecords.h"
#include "tests/support/ScriptedUi.h"
#include "tests/store/JournalRecordPrint.h"
#include "tests/support/TestFolders.h"


namespace {

JournalRecord Dive(int id, const QString& diver) {
  JournalRecord r;
  r.ID = id;
  r.Mode = id % 2 == 0 ? 2 : 1;
  r.Date = *fmt::TryEncodeDate(2001, 5, 1 + id % 28);
  r.No = QString::number(id % 10);
  r.EntryTime = *fmt::TryEncodeTime(9, id % 60, 0);
  r.SurfTime = *fmt::TryEncodeTime(10, 0, 30);
  r.RestTime = *fmt::TryEncodeTime(2, 0, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 45, 30);
  r.Diver = diver;
  r.Buddy = "Buddy Twenty Chars!!";
  r.Site = "Blue Hole, Dahab";
  r.MaxDepth = "123.4";
  r.AveDepth = "12.3";
  r.AveWater = "25";
  r.MinWater = "18.2";
  r.Weather = "Sunny, calm!";
  r.TankMaterial = "Aluminium!";
  r.TankCapacity = "11.1";
  r.StartPres = "200";
  r.EndPres = "50";
  r.AirConsum = "1.47";
  r.Weight = "4.5";
  r.UserArticle = {"Camera", "Nitrox", "", "Suit"};
  r.UserContent = {"Housing, 20 letters!", "32%", "", "7mm"};
  r.Memo = QString(150, u'm') + "\r\nsecond line";
  r.WatchData = 1;
  return r;
}

class JournalMirrorTest : public test::TestFolders {
 protected:
  void Start(TVelmDataModule& dm) { ASSERT_EQ(dm.VelmDataModuleCreate(), 0); }
  void RemoveJournalTable() {
    for (const QString& f : QDir(InProgram("LOG")).entryList({"LOG.*"}, QDir::Files)) {
      QFile::remove(InProgram("LOG/" + f));
    }
  }
  std::vector<int> CsvIds() {
    std::vector<int> ids;
    csv::ReadFile(InProgram("LOG/logtable.csv"), [&](const char* r) { ids.push_back(csv::RecordId(r).value_or(-1)); });
    return ids;
  }
  test::ScriptedUi ui;
};

TEST_F(JournalMirrorTest, WrittenInTheCurrentOrderWithTheCursorKept) {
  TVelmDataModule dm;
  Start(dm);
  journal::AppendRecord(dm.LogTable, Dive(1, "Bob"));
  journal::AppendRecord(dm.LogTable, Dive(2, "Carla"));
  journal::AppendRecord(dm.LogTable, Dive(3, "Ann"));
  dm.LogTable.SetIndexName("REV_DIVER");
  dm.LogTable.First();
  dm.LogTable.Next();  // on Bob
  ASSERT_EQ(dm.WriteCsvFile(), 0);
  EXPECT_EQ(CsvIds(), std::vector<int>({2, 1, 3}));
  EXPECT_EQ(journal::ReadRecord(dm.LogTable).ID, 1);
  EXPECT_EQ(QFile(InProgram("LOG/logtable.csv")).size(), 3 * 545);
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(JournalMirrorTest, AJournalLostIsRebuiltWithEveryField) {
  std::vector<JournalRecord> dives = {Dive(5, "Ann"), Dive(12, "Bob"), Dive(9999, "Cy")};
  dives[1].Date.reset();       // a record without date and times
  dives[1].EntryTime.reset();
  dives[1].No.clear();
  dives[2].EntryTime = 0.0;    // midnight is a time, not an empty field
  {
    TVelmDataModule dm;
    Start(dm);
    for (const auto& d : dives) journal::AppendRecord(dm.LogTable, d);
    dm.VelmDataModuleDestroy();  // shutdown writes the mirror
  }
  RemoveJournalTable();
  TVelmDataModule dm;
  Start(dm);
  ASSERT_EQ(dm.LogTable.RecordCount(), 3);
  dm.LogTable.First();
  for (const auto& expected : dives) {
    EXPECT_EQ(journal::ReadRecord(dm.LogTable), expected);
    dm.LogTable.Next();
  }
  EXPECT_EQ(dm.Total, 9999);
  EXPECT_EQ(dm.Serial, 10000);  // the numbering wraps to 1 from here
  EXPECT_EQ(dm.NextFreeProfileNumber(), 1);
}

TEST_F(JournalMirrorTest, TheRebuildSkipsARepeatedNumberAndAPartialRecord) {
  QDir(ProgramFolder()).mkdir("LOG");
  QByteArray file = csv::EncodeRecord(Dive(3, "First")) + csv::EncodeRecord(Dive(3, "Again")) +
                    csv::EncodeRecord(Dive(4, "Last"));
  file += csv::EncodeRecord(Dive(6, "Cut")).left(200);
  test::WriteAll(InProgram("LOG/logtable.csv"), file);
  TVelmDataModule dm;
  Start(dm);
  ASSERT_EQ(dm.LogTable.RecordCount(), 2);
  dm.LogTable.First();
  EXPECT_EQ(journal::ReadRecord(dm.LogTable).Diver, "First");
  EXPECT_EQ(dm.Serial, 5);
}

TEST_F(JournalMirrorTest, AFailedWriteIsReportedAndTheOldMirrorStays) {
  TVelmDataModule dm;
  Start(dm);
  journal::AppendRecord(dm.LogTable, Dive(1, "Ann"));
  ASSERT_EQ(dm.WriteCsvFile(), 0);
  const QByteArray before = test::ReadAll(dm.CsvPath());
  journal::AppendRecord(dm.LogTable, Dive(2, "Bob"));
  // The disk fills up in the middle of the new mirror: no file may grow
  // past 800 bytes for the moment.
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{800, limit.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = dm.WriteCsvFile();
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({2000}));
  EXPECT_EQ(test::ReadAll(dm.CsvPath()), before);
}

}  // namespace
