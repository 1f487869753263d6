// The receive dialog end to end: the watch simulator on a pseudo-terminal
// behind "COM1", the real download and progress window, the journal table
// and its mirror on disk.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QPushButton>

#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalCsv.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"
#include "tests/watchlink/Simulator.h"
#include "tests/watchlink/WatchMemory.h"
#include "watchlink/Commainunit.h"
#include "watchlink/Dipeunit.h"

namespace {

class ReceiveSimulatorTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    DipeForm = &progress;
  }

  // The simulator serving `memory` behind "COM1".
  std::unique_ptr<test::Simulator> Serve(const std::vector<std::uint8_t>& memory,
                                         const QStringList& options = {}) {
    test::WriteAll(InProgram("memory.bin"),
                   QByteArray(reinterpret_cast<const char*>(memory.data()),
                              static_cast<qsizetype>(memory.size())));
    auto sim = std::make_unique<test::Simulator>(
        ProgramFolder(), QStringList{"--image", InProgram("memory.bin")} + options);
    EXPECT_TRUE(sim->Ready());
    velmq::SetProfPath("Ports", "COM1", sim->Link());
    return sim;
  }

  // The dialog as the main window shows it: Start once, then End.
  void ReceiveOnce() {
    ui.OnModal([](QDialog& d) {
      auto& form = static_cast<TCommForm&>(d);
      form.StartButton->click();
      form.FinishButton->click();
      return d.result();
    });
    TCommForm dialog;
    EXPECT_EQ(os::ShowModal(dialog), QDialog::Accepted);
  }

  std::vector<JournalRecord> StoredRecords() {
    // Read back from the file, not from the open cursor.
    dm.LogTable.Close();
    dm.LogTable.Open();
    std::vector<JournalRecord> out;
    for (dm.LogTable.First(); !dm.LogTable.Eof(); dm.LogTable.Next()) {
      out.push_back(journal::ReadRecord(dm.LogTable));
    }
    return out;
  }

  test::ScriptedUi ui;
  TVelmDataModule dm;
  TDipeForm progress;
};

TEST_F(ReceiveSimulatorTest, DownloadBecomesARecordAndItsProfileFileAndEndWritesTheMirror) {
  dm.DefaultDiver = "Ann";
  velmq::SetUconfIndexData("User Item", 1, "Camera,USER0001.LST");
  velmq::SetUconfIndexData("User Entry", 1, "Nikonos");
  test::Header header;
  header.diveNumber = 2;
  header.maxDepth = 125;
  header.minWater = 212;
  header.averageDepth = 52;
  header.minutes = 1;
  const auto sim = Serve(test::Memory(header, {5, 12, 34, 100, 125, 80, 9}, {215, 212}));
  test::WriteAll(dm.CsvPath(), "as it was");

  ReceiveOnce();

  EXPECT_EQ(test::ReadAll(dm.ProfilePath(1)),
            "M,2001,5,12,2,10,4,9,10,48,30,1,35,125,212,52,1\n\n"
            "005\n012\n034\n100\n125\n080\n009\n\n215\n212\n");
  JournalRecord expected;
  expected.ID = 1;
  expected.Mode = 1;
  expected.Date = *fmt::TryEncodeDate(2001, 5, 12);
  expected.No = "2";
  expected.EntryTime = *fmt::TryEncodeTime(10, 4, 9);
  expected.SurfTime = *fmt::TryEncodeTime(10, 48, 30);
  expected.RestTime = *fmt::TryEncodeTime(1, 35, 0);
  expected.MaxDepth = "12.5";
  expected.MinWater = "21.2";
  expected.AveWater = "21.3";
  expected.AveDepth = "5.2";
  expected.DiveTime = *fmt::TryEncodeTime(0, 0, 25);  // 012 034 100 125 080
  expected.Diver = "Ann";
  expected.UserArticle[0] = "Camera";
  expected.UserContent[0] = "Nikonos";
  expected.WatchData = 1;
  const std::vector<JournalRecord> stored = StoredRecords();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0], expected);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1526}));

  const QByteArray mirror = test::ReadAll(dm.CsvPath());
  ASSERT_EQ(mirror.size(), 545);
  EXPECT_EQ(csv::DecodeRecord(mirror.constData()), expected);
}

TEST_F(ReceiveSimulatorTest, FailedDownloadLeavesNoFileNoRecordAndTheMirrorAsItWas) {
  const auto sim = Serve(test::Memory(test::Header{}, {5, 12, 34}, {215}), {"--unit-byte", "0x12"});
  test::WriteAll(dm.CsvPath(), "as it was");

  ReceiveOnce();

  EXPECT_EQ(sim->ReceivedWhenSettled("7F FF"), "7F FF");
  EXPECT_FALSE(QFileInfo::exists(dm.ProfilePath(1)));
  EXPECT_TRUE(StoredRecords().empty());
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({2010}));
  EXPECT_EQ(test::ReadAll(dm.CsvPath()), "as it was");
}

}  // namespace
