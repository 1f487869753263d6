#include "store/ProfileTables.h"

#include <gtest/gtest.h>

#include <cmath>

#include <QFileInfo>

#include "platform/chart/Chart.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

struct Row {
  QString time;
  QString value;
};

std::vector<Row> Rows(db::Table& table, const char* valueField) {
  std::vector<Row> rows;
  for (table.First(); !table.Eof(); table.Next()) {
    rows.push_back({fmt::TimeToStr(table.FieldByName("Time").AsDateTime()),
                    table.FieldByName(valueField).AsString()});
  }
  return rows;
}

class ProfileTablesTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }
  // A journal record with ID `id` and its profile file of `text`.
  void AddDive(int id, int mode, const QByteArray& text, int watchData = 1) {
    JournalRecord r;
    r.ID = id;
    r.Mode = mode;
    r.Date = fmt::TryEncodeDate(2026, 12, 11);
    r.No = QString::number(id);
    r.WatchData = watchData;
    journal::AppendRecord(dm.LogTable, r);
    test::WriteAll(dm.ProfilePath(id), text);
  }

  test::ScriptedUi ui;
  TVelmDataModule dm;
};

TEST_F(ProfileTablesTest, MetricDiveFillsSlotZeroAndItsSlot) {
  AddDive(3, 1, "M,2026,12,11,1,9,0,0,9,30,0,1,0,123,182,50,30\n\n007\n123\n\n258\n");
  const store::GraphLoad load = dm.LoadProfile(dm.LogTable, 2, 0);
  EXPECT_EQ(load.result, 1);
  ASSERT_TRUE(load.legend);
  EXPECT_EQ(load.legend->date, "2026/12/11 (Fri)");
  EXPECT_EQ(load.legend->number, "3");
  for (int slot : {0, 2}) {
    ASSERT_TRUE(dm.DepthTable[slot].Active()) << slot;
    const auto depth = Rows(dm.DepthTable[slot], "Depth");
    ASSERT_EQ(depth.size(), 2u);
    EXPECT_EQ(depth[0].time, "00:00:05");
    EXPECT_EQ(depth[0].value, "  0.7");
    EXPECT_EQ(depth[1].time, "00:00:10");
    EXPECT_EQ(depth[1].value, " 12.3");
    const auto water = Rows(dm.WaterTable[slot], "Water");
    ASSERT_EQ(water.size(), 1u);
    EXPECT_EQ(water[0].time, "00:05:00");
    EXPECT_EQ(water[0].value, " 25.8");
  }
  EXPECT_TRUE(QFileInfo::exists(InProgram("WORK/Depth02.DB")));
  EXPECT_TRUE(QFileInfo::exists(InProgram("WORK/WATER02.DB")));
  EXPECT_EQ(dm.Extremes.maxDepth, 12);
  EXPECT_EQ(dm.MaxMin.count, 2);
  EXPECT_EQ(dm.MaxMin.maxDepth[1], 12);
  EXPECT_EQ(dm.Extremes.longestTime, 300);

  dm.CloseGraphTables();
  EXPECT_FALSE(dm.DepthTable[2].Active());
  EXPECT_FALSE(dm.WaterTable[2].Active());
}

TEST_F(ProfileTablesTest, TheLoadHandsBackExactlyWhatTheSlotTablesHold) {
  // A table's rows as the graph used to read them: whole seconds and texts.
  const auto read = [](db::Table& table, const char* valueField) {
    store::WorkRows rows;
    for (table.First(); !table.Eof(); table.Next()) {
      rows.seconds.push_back(
          static_cast<int>(std::llround(table.FieldByName("Time").AsDateTime() * 86400.0)));
      rows.texts.push_back(table.FieldByName(valueField).AsString());
    }
    return rows;
  };
  struct Case {
    const char* name;
    int mode;
    int target;
    QByteArray samples;  // the lines after the header line and the empty line
  };
  const Case cases[] = {
      {"metric", 1, 0, "007\n123\n0\n-5\n\n258\n-12\n"},
      {"metric texts longer than the field", 1, 0, "1234567\n99999\n100000\n\n1000000\n"},
      {"metric lines that are no numbers", 1, 0, "abc\n 12 \n\xe9" "12\n\nx\n"},
      {"feet as written", 2, 0, "007\n40\n12.5\n5.\n.5\n\n77\n"},
      {"feet texts longer than the field", 2, 0,
       "1234567\n\xe9\xe9\xe9\xe9\xe9\xe9\xe9\n\n123456789\n"},
      {"feet in metres", 2, 1, "007\n40\n1234567\nabc\n\n77\n68\nzz\n"},
      {"metres in feet", 1, 2, "123\n99999\n0\n\n258\n1000000\n"},
      {"no temperatures", 1, 0, "100\n200\n"},
  };
  int id = 1;
  for (const Case& c : cases) {
    AddDive(id, c.mode, "M,2026,12,11,1,9,0,0,9,30,0,1,0,0,0,0,30\n\n" + c.samples);
    const int slot = id % store::kGraphSlots + 1;
    store::GraphLoad load = dm.LoadProfile(dm.LogTable, slot, c.target);
    ASSERT_EQ(load.result, c.mode) << c.name;
    for (int s : {0, slot}) {
      const store::WorkRows depth = read(dm.DepthTable[s], "Depth");
      const store::WorkRows water = read(dm.WaterTable[s], "Water");
      EXPECT_EQ(load.depth.seconds, depth.seconds) << c.name << " slot " << s;
      EXPECT_EQ(load.depth.texts, depth.texts) << c.name << " slot " << s;
      EXPECT_EQ(load.water.seconds, water.seconds) << c.name << " slot " << s;
      EXPECT_EQ(load.water.texts, water.texts) << c.name << " slot " << s;
    }
    ++id;
  }
}

TEST_F(ProfileTablesTest, FeetDiveLoadedInMetresConvertsEveryValueAndKeepsItsMode) {
  AddDive(7, 2, "F,2026,12,11,1,9,0,0,9,30,0,1,0,40,77,20,30\n\n007\n40\n\n77\n68\n");
  const store::GraphLoad load = dm.LoadProfile(dm.LogTable, 1, 1);
  EXPECT_EQ(load.result, 2);
  const auto depth = Rows(dm.DepthTable[1], "Depth");
  ASSERT_EQ(depth.size(), 2u);
  EXPECT_EQ(depth[0].value, "2.1");   // 7 ft = 2.1336 m
  EXPECT_EQ(depth[1].value, "12.1");  // 40 ft = 12.192 m
  const auto water = Rows(dm.WaterTable[1], "Water");
  ASSERT_EQ(water.size(), 2u);
  EXPECT_EQ(water[0].value, "25");
  EXPECT_EQ(water[1].value, "20");
  EXPECT_EQ(water[1].time, "00:10:00");
}

TEST_F(ProfileTablesTest, DivesWithoutDepthSamplesGiveNoProfile) {
  struct Case {
    const char* name;
    QByteArray text;
    int watchData;
  };
  const Case cases[] = {
      {"empty depth section", "M,2026,12,11,1,9,0,0,9,30,0,1,0,0,182,0,30\n\n\n182\n190\n", 1},
      {"entered by hand", "this is dummy log File.", 2},
  };
  int id = 1;
  for (const Case& c : cases) {
    AddDive(id, 1, c.text, c.watchData);
    dm.ResetExtremes();
    EXPECT_EQ(dm.LoadProfile(dm.LogTable, 1, 0).result, store::kNoProfile) << c.name;
    EXPECT_EQ(dm.Extremes.maxDepth, store::ProfileExtremes::kNoMaxDepth) << c.name;
    ++id;
  }
  // A record whose profile file is gone.
  AddDive(9, 1, "M\n\n100\n");
  QFile::remove(dm.ProfilePath(9));
  const store::GraphLoad gone = dm.LoadProfile(dm.LogTable, 1, 0);
  EXPECT_EQ(gone.result, store::kNoProfile);
  EXPECT_FALSE(gone.legend);
}

TEST_F(ProfileTablesTest, ScaleAxesHandsBackTheTimeSpan) {
  QByteArray text = "M,2026,12,11,1,9,0,0,9,30,0,1,0,120,182,50,35\n\n";
  for (int i = 0; i < 420; ++i) text += "120\n";  // 35 minutes at 12.0 m
  AddDive(4, 1, text + "\n182\n258\n");
  dm.ResetExtremes();
  ASSERT_EQ(dm.LoadProfile(dm.LogTable, 1, 0).result, 1);
  chart::Chart chart;
  EXPECT_EQ(dm.ScaleAxes(1, chart), 2400);
  EXPECT_TRUE(chart.left.inverted);
  EXPECT_EQ(chart.left.maximum, 14);
  EXPECT_EQ(chart.left.increment, 2);
  EXPECT_DOUBLE_EQ(chart.bottom.maximum, 2400 / 86400.0);
}

}  // namespace
