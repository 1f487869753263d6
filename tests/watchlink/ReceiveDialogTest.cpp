// The receive dialog against a scripted communication unit: the record each
// download makes, the profile file beside it, the messages, and what a
// failed download leaves behind. Also the profile-file summaries on their
// own.
#include "watchlink/Commainunit.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>

#include "platform/db/DbError.h"
#include "platform/os/Formats.h"
#include "profile_library/velm.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"
#include "tests/watchlink/Fakes.h"
#include "tests/watchlink/WatchMemory.h"
#include "tools/DiveImage.h"
#include "watchlink/ReceivedRecord.h"
#include "watchlink/WatchLink.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Header;
using test::Memory;

std::optional<JournalRecord> RecordWithId(db::Table& table, int id) {
  for (table.First(); !table.Eof(); table.Next()) {
    JournalRecord r = journal::ReadRecord(table);
    if (r.ID == id) return r;
  }
  return std::nullopt;
}

double Time(int h, int m, int s) { return *fmt::TryEncodeTime(h, m, s); }

class ReceiveDialogTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }

  // A dialog whose downloads read `memory` through the scripted unit.
  std::unique_ptr<TCommForm> Dialog() {
    auto form = std::make_unique<TCommForm>();
    form->Download = [this](int port, const QString& path, watch::WatchHeader& header) {
      ++downloads;
      test::FakeWatchPort unit(clock, memory);
      unit.openFails = openFails;
      unit.silentAfter = silentAfter;
      test::RecordingProgress progress;
      watch::WatchLink link(unit, clock, progress);
      link.DeviceForPort = [](int n) { return QStringLiteral("COM%1").arg(n); };
      return link.ReceiveWatchData(port, path, header);
    };
    return form;
  }

  QString Profile(int n) const { return dm.ProfilePath(n); }

  test::ScriptedUi ui;
  TVelmDataModule dm;
  test::FakeClock clock;
  Bytes memory;
  bool openFails = false;
  int silentAfter = -1;
  int downloads = 0;
};

// Each case is one Start; the dialog stays open and numbers go 1, 2, ...
TEST_F(ReceiveDialogTest, EachStartMakesOneRecordFromTheHeaderAndTheSamples) {
  struct Case {
    const char* name;
    Header header;
    std::vector<int> depths, water;
    // Expected.
    int mode;
    const char* no;
    const char* maxDepth;
    const char* aveWater;
    double diveTime;
  };
  Header imperial;
  imperial.unit = 0xA6;
  imperial.maxDepth = 35;
  Header shallow;
  shallow.maxDepth = 5;
  Header none, ten, seven;
  none.diveNumber = 0;
  ten.diveNumber = 10;
  seven.diveNumber = 7;
  const std::vector<int> hour(720, 100);
  const Case cases[] = {
      {"empty data stream", shallow, {}, {}, 1, "3", "0.5", "0", 0},
      {"feet", imperial, {3, 4, 35}, {77}, 2, "3", "35", "77", Time(0, 0, 10)},
      {"dive number 0", none, {}, {}, 1, "-", "18.5", "0", 0},
      {"dive number 10", ten, {}, {}, 1, "1", "18.5", "0", 0},
      {"dive number 7", seven, {}, {}, 1, "7", "18.5", "0", 0},
      {"1.0 m counts, 0.9 m does not", Header{}, {5, 9, 10, 125}, {215, 214, 212}, 1, "3", "18.5",
       "21.3", Time(0, 0, 10)},
      {"720 counting samples", Header{}, hour, {215}, 1, "3", "18.5", "21.5", Time(1, 0, 0)},
  };
  auto form = Dialog();
  int id = 0;
  for (const Case& c : cases) {
    memory = Memory(c.header, c.depths, c.water);
    form->StartButtonClick();
    ++id;
    SCOPED_TRACE(c.name);
    const auto r = RecordWithId(dm.LogTable, id);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->Mode, c.mode);
    EXPECT_EQ(r->No, c.no);
    EXPECT_EQ(r->MaxDepth, c.maxDepth);
    EXPECT_EQ(r->AveWater, c.aveWater);
    ASSERT_TRUE(r->DiveTime.has_value());
    EXPECT_NEAR(*r->DiveTime, c.diveTime, 1e-9);
    EXPECT_EQ(r->WatchData, 1);
    EXPECT_TRUE(QFileInfo::exists(Profile(id)));
  }
  EXPECT_EQ(dm.LogTable.RecordCount(), id);
  EXPECT_TRUE(form->RecordAdded);
}

TEST_F(ReceiveDialogTest, RecordFieldsDefaultsAndCompletionMessage) {
  dm.DefaultDiver = "Ann";
  dm.DefaultBuddy = "Bo";
  dm.DefaultPlace = "Blue Hole";
  velmq::SetUconfIndexData("User Item", 1, "Camera,USER0001.LST");
  velmq::SetUconfIndexData("User Entry", 1, "ABCDEFGHIJKLMNOPQRST");  // the full 20 characters
  velmq::SetUconfIndexData("User Item", 2, "NoComma");
  velmq::SetUconfIndexData("User Entry", 2, "kept");
  velmq::SetUconfIndexData("User Item", 3, ",USER0003.LST");
  memory = Memory(Header{}, {5, 9, 10, 125}, {215, 214, 212});

  auto form = Dialog();
  form->StartButtonClick();

  JournalRecord expected;
  expected.ID = 1;
  expected.Mode = 1;
  expected.Date = *fmt::TryEncodeDate(2001, 5, 12);
  expected.No = "3";
  expected.EntryTime = Time(10, 4, 9);
  expected.SurfTime = Time(10, 48, 30);
  expected.RestTime = Time(1, 35, 0);
  expected.MaxDepth = "18.5";
  expected.MinWater = "21.4";
  expected.AveWater = "21.3";
  expected.AveDepth = "9.2";
  expected.DiveTime = Time(0, 0, 10);
  expected.WatchData = 1;
  expected.Diver = "Ann";
  expected.Buddy = "Bo";
  expected.Site = "Blue Hole";
  expected.UserArticle = {"Camera", "", "", ""};
  expected.UserContent = {"ABCDEFGHIJKLMNOPQRST", "kept", "", ""};
  const auto r = RecordWithId(dm.LogTable, 1);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->Date, expected.Date);
  EXPECT_EQ(r->UserArticle, expected.UserArticle);
  EXPECT_EQ(r->UserContent, expected.UserContent);
  EXPECT_EQ(*r, expected);

  EXPECT_EQ(test::ReadAll(Profile(1)),
            "M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44\n\n005\n009\n010\n125\n\n215\n214\n212\n");
  ASSERT_EQ(ui.MessageIds(), std::vector<int>({1526}));
  EXPECT_EQ(ui.Messages()[0].captionId, 44);
  EXPECT_EQ(ui.Messages()[0].icon, os::MsgIcon::Information);
  EXPECT_EQ(ui.Messages()[0].owner, form.get());
}

// The header line is written as the watch sent it; the record keeps every
// value that converts and the user learns which did not.
TEST_F(ReceiveDialogTest, ImpossibleDateAndTimeKeepTheDiveWithThoseFieldsEmpty) {
  Header h;
  h.month = 13;
  h.entry[0] = 25;
  memory = Memory(h, {10, 20}, {215});
  auto form = Dialog();
  form->StartButtonClick();

  const auto r = RecordWithId(dm.LogTable, 1);
  ASSERT_TRUE(r.has_value());
  EXPECT_FALSE(r->Date.has_value());
  EXPECT_FALSE(r->EntryTime.has_value());
  EXPECT_EQ(r->SurfTime, Time(10, 48, 30));
  EXPECT_EQ(r->MaxDepth, "18.5");
  EXPECT_EQ(r->AveWater, "21.5");
  EXPECT_TRUE(test::ReadAll(Profile(1)).startsWith("M,2001,13,12,3,25,4,9,"));
  EXPECT_TRUE(form->RecordAdded);

  const auto& m = ui.Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].textId, 1526);
  EXPECT_EQ(m[1].captionId, 44);
  EXPECT_EQ(m[1].icon, os::MsgIcon::Warning);
  EXPECT_TRUE(m[1].text.contains("Date 2001/13/12")) << m[1].text.toStdString();
  EXPECT_TRUE(m[1].text.contains("Entry Time 25:4:9")) << m[1].text.toStdString();
  EXPECT_FALSE(m[1].text.contains("Surf. Time")) << m[1].text.toStdString();
}

TEST_F(ReceiveDialogTest, FailedDownloadLeavesNoFileAndNoRecord) {
  struct Case {
    const char* name;
    bool openFails;
    int silentAfter;
    std::uint8_t unit;
  };
  const Case cases[] = {
      {"port cannot be opened", true, -1, 0xAD},
      {"bad unit code", false, -1, 0x12},
      {"unit falls silent after the header", false, 0, 0xAD},
      {"unit falls silent in the samples", false, 1, 0xAD},
  };
  std::vector<int> depths(100, 50);
  auto form = Dialog();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.Clear();
    Header h;
    h.unit = c.unit;
    memory = Memory(h, depths, {215});
    openFails = c.openFails;
    silentAfter = c.silentAfter;
    const int serial = dm.Serial;
    form->StartButtonClick();
    EXPECT_FALSE(QFileInfo::exists(Profile(serial)));
    ASSERT_EQ(ui.MessageIds(), std::vector<int>({2010}));
    EXPECT_EQ(ui.Messages()[0].captionId, 44);
    EXPECT_EQ(ui.Messages()[0].icon, os::MsgIcon::Warning);
    EXPECT_EQ(dm.LogTable.RecordCount(), 0);
  }
  EXPECT_FALSE(form->RecordAdded);

  // End after failures only leaves the journal mirror as it was.
  test::WriteAll(dm.CsvPath(), "as it was");
  form->FinishButtonClick();
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(test::ReadAll(dm.CsvPath()), "as it was");
}

TEST_F(ReceiveDialogTest, EndOrEscAfterARecordRewritesTheJournalMirror) {
  memory = Memory(Header{}, {10}, {215});
  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Esc" : "End");
    test::WriteAll(dm.CsvPath(), "as it was");
    auto form = Dialog();
    form->StartButtonClick();
    if (escape) form->reject();
    else form->FinishButton->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    const QByteArray csv = test::ReadAll(dm.CsvPath());
    EXPECT_EQ(csv.size(), 545 * dm.LogTable.RecordCount());  // fixed 545-byte records
  }
}

TEST_F(ReceiveDialogTest, NoFreeNumberStopsBeforeAnyTransfer) {
  for (int n = 1; n <= 9999; ++n) test::WriteAll(Profile(n), "x");
  memory = Memory(Header{}, {10}, {215});
  auto form = Dialog();
  form->StartButtonClick();
  EXPECT_EQ(downloads, 0);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1992}));
  EXPECT_EQ(dm.LogTable.RecordCount(), 0);
  EXPECT_FALSE(form->RecordAdded);
}

// A record the journal refuses (its number is held by a record whose
// profile file is gone) leaves no orphan file behind.
TEST_F(ReceiveDialogTest, RecordTheJournalRefusesTakesItsFileAlong) {
  JournalRecord held;
  held.ID = 1;
  held.WatchData = 2;
  journal::AppendRecord(dm.LogTable, held);
  memory = Memory(Header{}, {10}, {215});
  auto form = Dialog();
  EXPECT_THROW(form->StartButtonClick(), db::DbError);
  EXPECT_FALSE(QFileInfo::exists(Profile(1)));
  EXPECT_EQ(dm.LogTable.RecordCount(), 1);
  EXPECT_FALSE(form->RecordAdded);

  form->StartButtonClick();  // the next number is free
  EXPECT_TRUE(RecordWithId(dm.LogTable, 2).has_value());
  EXPECT_TRUE(QFileInfo::exists(Profile(2)));
}

TEST_F(ReceiveDialogTest, PortChoiceGoesToTheDialogAndTheSetting) {
  dm.SerialPort = 2;
  auto form = Dialog();
  EXPECT_EQ(form->PortNumber, 2);
  EXPECT_EQ(form->LogFolder, dm.LogBookFolder);

  struct Case {
    const char* choose;
    bool ok;
    int expected;
  };
  const Case cases[] = {{"COM3", true, 3}, {"COM1", false, 3}, {"COM1", true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choose);
    int preset = -2;
    ui.OnModal([&](QDialog& d) {
      auto& port = static_cast<TPortForm&>(d);
      preset = port.ItemIndex();
      EXPECT_EQ(d.parentWidget(), form.get());
      d.findChild<QRadioButton*>(c.choose)->click();
      if (c.ok) port.OkButton->click();
      else port.CancelButton->click();
      return d.result();
    });
    const int before = dm.SerialPort;
    form->ComButton->click();
    EXPECT_EQ(preset, before - 1);
    EXPECT_EQ(form->PortNumber, c.expected);
    EXPECT_EQ(dm.SerialPort, c.expected);
    EXPECT_EQ(velmq::GetProfInt("Config", "Serial Port"), c.expected);
  }

  // The next download asks for the chosen port.
  int asked = 0;
  form->Download = [&asked](int port, const QString&, watch::WatchHeader&) {
    asked = port;
    return static_cast<int>(watch::kPortFailed);
  };
  form->StartButtonClick();
  EXPECT_EQ(asked, 1);
}

TEST_F(ReceiveDialogTest, HelpOpensItsTopic) {
  auto form = Dialog();
  form->HelpButton->click();
  EXPECT_EQ(ui.HelpContexts(), std::vector<int>({3008}));
}

// The summaries read from a profile file on their own.
class ProfileSummaryTest : public test::TestFolders {};

TEST_F(ProfileSummaryTest, DiveTimeAndAverageWaterFromTheFile) {
  QByteArray hour = "M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44\n\n";
  for (int i = 0; i < 720; ++i) hour += "100\n";
  hour += "009\n";
  struct Case {
    const char* name;
    QByteArray text;  // empty: no file
    const char* diveTime;
    int averageWater;
  };
  const Case cases[] = {
      {"no file", {}, "00:00:00", 0},
      {"header only", "M,2001,5,12,3,10,4,9,10,48,30,1,35,5,214,92,0\n\n", "00:00:00", 0},
      {"metric threshold 1.0 m", "M,x\n\n005\n009\n010\n125\n\n215\n214\n212\n", "00:00:10", 213},
      {"imperial threshold 4 ft", "F,x\n\n003\n004\n035\n\n077\n", "00:00:10", 77},
      {"one hour", hour + "\n", "01:00:00", 0},
      {"temperatures end at the next empty line", "M,x\n\n100\n\n200\n100\n\n999\n", "00:00:05", 150},
      {"line ends with carriage returns", "M,x\r\n\r\n100\r\n\r\n200\r\n", "00:00:05", 200},
      {"negative temperatures truncate toward zero", "F,x\n\n\n-3\n-2\n", "00:00:00", -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = InProgram("VELM0001.LOG");
    QFile::remove(path);
    if (!c.text.isEmpty()) test::WriteAll(path, c.text);
    EXPECT_EQ(watch::CountDiveTime(path), c.diveTime);
    EXPECT_EQ(watch::AverageWaterTemperature(path), c.averageWater);
  }
}

TEST(ReceivedRecord, DepthAndTemperatureTexts) {
  struct Case {
    char unit;
    int value;
    const char* text;
  };
  const Case cases[] = {{'M', 123, "12.3"}, {'M', 5, "0.5"}, {'M', 0, "0.0"}, {'M', 999, "99.9"},
                        {'F', 35, "35"},    {'F', 123, "123"}, {'F', 0, "0"}};
  for (const Case& c : cases) {
    EXPECT_EQ(watch::UnitValueText(c.unit, c.value), c.text) << c.unit << c.value;
  }
}

}  // namespace
