#include "store/Dataunit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/os/FreeSpace.h"
#include "profile_library/velm.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

constexpr qint64 kMiB = 1024 * 1024;

class DataModuleTest : public test::TestFolders {
 protected:
  void TearDown() override {
    os::SetFreeSpaceSource({});
    TestFolders::TearDown();
  }
  QString Ini(const char* section, const char* key) {
    char out[260] = {};
    if (get_prof_path(section, key, "KELDORAN.INI", 260, out) == 0) return QStringLiteral("<absent>");
    return QString::fromLocal8Bit(out);
  }
  // Stores written before the program starts: USERCONF must exist for them.
  void PrepareUserConf() { QDir(ProgramFolder()).mkdir("USERCONF"); }

  test::ScriptedUi ui;
};

TEST_F(DataModuleTest, FirstStartCreatesSettingsAndFolders) {
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(dm.ProgramFolder, QDir::currentPath());
  EXPECT_EQ(dm.LogBookFolder, InProgram("LOG"));
  EXPECT_EQ(dm.WorkFolder, InProgram("WORK"));
  for (const char* folder : {"USERCONF", "LOG", "WORK"}) {
    EXPECT_TRUE(QFileInfo(InProgram(folder)).isDir()) << folder;
  }
  EXPECT_EQ(Ini("Config", "Top Dir"), ProgramFolder());
  EXPECT_EQ(Ini("Config", "Log Dir"), InProgram("LOG"));
  EXPECT_EQ(Ini("Config", "Serial Port"), "1");
  EXPECT_EQ(dm.DepthUnitMode, 1);
  EXPECT_EQ(dm.Serial, 1);
  EXPECT_EQ(dm.AlbumMode, 2);
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_EQ(VelmDataModule, &dm);
}

TEST_F(DataModuleTest, StoredValuesAreNormalised) {
  struct Case {
    int mode, serial, total, album;
    int expectMode, expectSerial, expectTotal, expectAlbum;
  };
  const Case cases[] = {
      {0, 10000, 5, 0, 1, 1, 5, 2},       {3, 12345, 10001, 1, 1, 2345, 1, 1},
      {2, 0, 0, 2, 2, 1, 0, 2},           {1, 9999, 9999, 7, 1, 9999, 9999, 7},
  };
  PrepareUserConf();
  for (const Case& c : cases) {
    set_uconf_int("Measure", "Mode", 10, c.mode);
    set_uconf_int("Album", "Mode", 10, c.album);
    set_log_int("Count", "Serial", 10, c.serial);
    set_log_int("Count", "Total", 10, c.total);
    TVelmDataModule dm;
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    EXPECT_EQ(dm.DepthUnitMode, c.expectMode) << c.mode;
    EXPECT_EQ(dm.Serial, c.expectSerial) << c.serial;
    EXPECT_EQ(dm.Total, c.expectTotal) << c.total;
    EXPECT_EQ(dm.AlbumMode, c.expectAlbum) << c.album;
  }
}

TEST_F(DataModuleTest, AVanishedLogBookFolderFallsBackToLog) {
  set_prof_path("Config", "Log Dir", InProgram("deleted/book").toLocal8Bit().constData(),
                "KELDORAN.INI");
  set_prof_int("Config", "Serial Port", 10, 0, "KELDORAN.INI");
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(dm.LogBookFolder, InProgram("LOG"));
  EXPECT_TRUE(QFileInfo(InProgram("LOG")).isDir());
  EXPECT_EQ(Ini("Config", "Log Dir"), InProgram("LOG"));
  EXPECT_EQ(dm.SerialPort, 1);
  EXPECT_EQ(Ini("Config", "Serial Port"), "1");
}

TEST_F(DataModuleTest, AnotherCurrentDirectoryBecomesTheProgramFolder) {
  QDir(ProgramFolder()).mkpath("book");
  set_prof_path("Config", "Log Dir", InProgram("book").toLocal8Bit().constData(), "KELDORAN.INI");
  set_prof_path("Config", "Top Dir", "/old/place", "KELDORAN.INI");
  QDir(ProgramFolder()).mkdir("other");
  ASSERT_TRUE(QDir::setCurrent(InProgram("other")));
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(Ini("Config", "Top Dir"), InProgram("other"));
  EXPECT_EQ(dm.LogBookFolder, InProgram("book"));  // still in use: it exists
  EXPECT_TRUE(QFileInfo(InProgram("other/WORK")).isDir());
}

TEST_F(DataModuleTest, FreeSpaceDecidesWhetherTheStartGoesOn) {
  os::SetFreeSpaceSource([](const QString&) { return 5 * kMiB; });
  {
    TVelmDataModule dm;
    EXPECT_EQ(dm.CheckProgramFolderSpace(), 2);
    EXPECT_EQ(dm.VelmDataModuleCreate(), 0);
    EXPECT_TRUE(ui.Messages().empty());
  }
  QDir(InProgram("LOG")).removeRecursively();
  QDir(InProgram("WORK")).removeRecursively();
  QDir(InProgram("USERCONF")).removeRecursively();

  os::SetFreeSpaceSource([](const QString&) { return 3 * kMiB; });
  TVelmDataModule dm;
  EXPECT_EQ(dm.VelmDataModuleCreate(), 1);
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].textId, 1830);
  EXPECT_EQ(ui.Messages()[0].captionId, 1);
  EXPECT_EQ(ui.Messages()[0].icon, os::MsgIcon::Warning);
  for (const char* folder : {"USERCONF", "LOG", "WORK"}) {
    EXPECT_FALSE(QFileInfo::exists(InProgram(folder))) << folder;
  }
  EXPECT_FALSE(dm.EnsureProgramFolderSpace());
  EXPECT_EQ(ui.Messages().size(), 2u);
}

TEST_F(DataModuleTest, ListsAndDefaultsAreReadAtStart) {
  PrepareUserConf();
  test::WriteAll(InProgram("USERCONF/DIVER.LST"),
                 "Ann\n\nA name that is longer than twenty\nBob, Jr.\n");
  test::WriteAll(InProgram("USERCONF/LOCA.LST"), "Blue Hole\r\nReef\r\n");
  test::WriteAll(InProgram("USERCONF/USERDEF.LST"), "Camera,USER0001.LST\nNitrox,USER0002.LST\n");
  set_uconf_string("Default", "Diver", "Ann");
  set_uconf_string("Default", "Buddy", "A buddy name of more than twenty");
  set_uconf_string("Default", "Location", "Reef");
  set_uconf_int("Weather", "Count", 10, 2);
  set_uconf_index_data("Weather", 1, "Sunny");
  set_uconf_index_data("Weather", 2, "Cloudy and windy today");
  set_uconf_int("Tank", "Count", 10, 1);
  set_uconf_index_data("Tank", 1, "Steel");
  set_uconf_string("Measure", "Preaaure", "bar");
  set_uconf_string("Measure", "Weight", "kilograms!!");

  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(dm.DiverList, QStringList({"Ann", "", "A name that is longe", "Bob, Jr."}));
  EXPECT_EQ(dm.DefaultDiver, "Ann");
  EXPECT_EQ(dm.DefaultBuddy, "A buddy name of more");
  EXPECT_EQ(dm.PlaceList, QStringList({"Blue Hole", "Reef"}));
  EXPECT_EQ(dm.DefaultPlace, "Reef");
  EXPECT_EQ(dm.ArticleNames, QStringList({"Camera", "Nitrox"}));
  EXPECT_EQ(dm.ArticleFiles, QStringList({"USER0001.LST", "USER0002.LST"}));
  EXPECT_EQ(dm.WeatherList, QStringList({"Sunny", "Cloudy and w"}));  // 13-byte buffer
  EXPECT_EQ(dm.TankList, QStringList({"Steel"}));
  EXPECT_EQ(dm.PressureUnit, "bar");
  EXPECT_EQ(dm.WeightUnit, "kilograms!");  // 11-byte buffer
}

TEST_F(DataModuleTest, NoUserConfigurationFolderShows1930ForEachList) {
  test::WriteAll(InProgram("USERCONF"), "a file where the folder should be");
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1930, 1930, 1930}));
  EXPECT_TRUE(dm.DiverList.isEmpty());
  EXPECT_TRUE(dm.ArticleNames.isEmpty());
}

TEST_F(DataModuleTest, ShutdownWritesCountersPlacementsGraphAndSortField) {
  {
    TVelmDataModule dm;
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    dm.Serial = 77;
    dm.Total = 12;
    dm.Graph.Reserved = 0xABCD1234;
    dm.GraphLines[2].Width = 9;
    dm.LogTable.SetIndexName("REV_DIVER");
    dm.TakeMainPlacement = [] {
      os::WindowPlacement p;
      p.length = 44;
      p.showCmd = 1;
      p.left = 5;
      p.top = 6;
      p.right = 905;
      p.bottom = 606;
      return p;
    };
    dm.VelmDataModuleDestroy();
  }
  os::WindowPlacement applied;
  TVelmDataModule dm;
  dm.ApplyMainPlacement = [&](const os::WindowPlacement& p) { applied = p; };
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(dm.Serial, 77);
  EXPECT_EQ(dm.Total, 12);
  EXPECT_EQ(dm.Graph.Reserved, 0xABCD1234u);
  EXPECT_EQ(dm.GraphLines[2].Width, 9);
  EXPECT_EQ(applied.right, 905);
  char sort[1024];
  ASSERT_EQ(get_uconf_string("Default", "Sort Field", 1024, sort), 1);
  EXPECT_STREQ(sort, "REV_DIVER");
}

TEST_F(DataModuleTest, SettingsSaveWritesWhatTheEnvironmentDialogChanges) {
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  dm.SerialPort = 3;
  dm.DepthUnitMode = 2;
  dm.CapacityUnit = QStringLiteral("cuft");
  dm.SaveSettings();
  EXPECT_EQ(get_prof_int("Config", "Serial Port", 10, "KELDORAN.INI"), 3);
  EXPECT_EQ(get_uconf_int("Measure", "Mode", 10), 2);
  char out[11];
  get_uconf_string("Measure", "Capacity", 11, out);
  EXPECT_STREQ(out, "cuft");
}

}  // namespace
